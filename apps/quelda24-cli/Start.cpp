#include "Start.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

#include "link/SignalWatch.h"
#include "program/Startup.h"

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
      link(s, gated, port, map, waits),
      owner(s, gated, link),
      params(s, gated, regional.decimal),
      channels(s) {}

Task<bool> Session::start(const std::string& home) {
    StartupHooks hooks;
    hooks.loadChannelDialogs = [&] { channels.Load(); };
    hooks.refreshChannelSlots = [&] { channels.RefreshChannelSlots(); };
    hooks.fillChannelSlots = [&] {
        channels.FillSlots();
        channels.SelectPositionsUpToTraceCount();
    };
    // The line's steps follow below, awaited, in the same order.
    StartupContext ctx{s, gated, params, home, hooks};
    for (const std::string& step : RunStartup(ctx)) std::fprintf(stderr, "start-up step skipped: %s\n", step.c_str());
    s.Com_port = 1;
    if (!co_await link.Open_port()) co_return false;
    link.Send_parameters(s.Trigger_unit, 256, 8000, 0, s.Trg_mode, s.Trg_opening, s.Passive_mode);
    co_await link.Reset_units();
    co_return !link.cancelled();
}

std::string Session::failure() const {
    return link.openError().empty() ? "the port " + portPath + " could not be opened" : link.openError();
}

int Session::exec(std::function<Task<int>()> work) {
    int status = 1;
    bool done = false;
    uint64_t resetsBefore = 0;
    SignalWatch watch([&](int signal) {
        if (signal_) return;
        signal_ = signal;
        resetsBefore = link.counters().resets;
        owner.cancel(CancelReason::Ending);
        // Whatever the work still waits for after its clean-up is not waited for.
        constexpr int kLastChanceMs = 3000;
        QTimer::singleShot(kLastChanceMs, qApp, [] { QCoreApplication::exit(1); });
    });
    Spawn(Call([&]() -> Task<void> {
        status = co_await work();
        done = true;
        QCoreApplication::exit(0);
    }));
    if (!done) QCoreApplication::exec();
    if (!signal_) return status;
    // The units may still be armed or recording: one reset byte, unless the
    // work's own clean-up has sent it.
    if (port.isOpen() && link.counters().resets == resetsBefore) {
        Task<int> reset = link.Reset_units();
        reset.start();
    }
    std::fprintf(stderr, "quelda24-cli: ended by signal %d\n", signal_);
    return SignalWatch::ExitStatus(signal_);
}

}  // namespace q24::cli
