#include "Start.h"

#include <cstdio>

#include "ui/Startup.h"

namespace q24::cli {

Session::Session(Panel& p, const std::string& path, const Regional& regional)
    : panel(p),
      portPath(path),
      map([&] {
          PortMap m;
          m.assign(1, path);
          m.fillDefaults({});
          return m;
      }()),
      link(s, p, port, map, &EventLoopWait::Now, yield()),
      params(s, p, regional.decimal),
      channels(s) {}

Link::Yield Session::yield() {
    return [this](int fd, double deadline) {
        if (beforeWait) deadline = beforeWait(deadline);
        wait(fd, deadline);
    };
}

bool Session::startQuietly(const std::string& home) {
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

bool Session::start(const std::string& home, const std::string& lastMessage) {
    if (startQuietly(home)) return true;
    std::fprintf(stderr, "%s\n", failure(lastMessage).c_str());
    return false;
}

std::string Session::failure(const std::string& lastMessage) const {
    return lastMessage.empty() ? "the port " + portPath + " could not be opened" : lastMessage;
}

}  // namespace q24::cli
