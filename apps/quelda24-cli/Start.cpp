#include "Start.h"

#include <cstdio>

#include "ui/Startup.h"

namespace q24::cli {

bool StartLikeTheProgram(State& s, Panel& panel, Link& link, AcqParameters& params, ChannelSettings& channels,
                         const std::string& home) {
    bool opened = false;
    StartupHooks hooks;
    hooks.loadChannelDialogs = [&] { channels.Load(); };
    hooks.refreshChannelSlots = [&] { channels.RefreshChannelSlots(); };
    hooks.fillChannelSlots = [&] {
        channels.FillSlots();
        channels.SelectPositionsUpToTraceCount();
    };
    hooks.showPortDialog = [&] {
        s.Com_port = 1;
        opened = link.Open_port() == 1;
    };
    hooks.sendParameters = [&](int trigger, int samples, int freq, int pre, int trgMode, int opening, bool passive) {
        if (opened) link.Send_parameters(trigger, samples, freq, pre, trgMode, opening, passive);
    };
    hooks.resetUnits = [&] {
        if (opened) link.Reset_units();
    };
    StartupContext ctx{s, panel, params, home, hooks};
    for (const std::string& step : RunStartup(ctx)) std::fprintf(stderr, "start-up step skipped: %s\n", step.c_str());
    return opened;
}

std::string PortFailure(const std::string& lastMessage, const std::string& path) {
    return lastMessage.empty() ? "the port " + path + " could not be opened" : lastMessage;
}

}  // namespace q24::cli
