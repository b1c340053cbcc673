// quelda24-cli run --home DIR --port PATH [--sweeps N] [--threshold DB]:
// starts as the program does (ini.txt from DIR, the port opened, one
// parameter command, a unit reset), runs N running-mode sweeps (1 when not
// given) and prints, per sweep and selected channel, the RMS of the samples
// read, so a crew can check the spread from a script:
//
//   sweep 1 channel 1 unit 1 rms 2013.7
//   sweep 1 channel 2 unit 2 not working
//
// With --threshold DB (dB of the converter's full scale, -140 to 0) the
// noise monitor's figures follow the RMS, and a channel whose RMS lies above
// the threshold is marked noisy:
//
//   sweep 1 channel 1 unit 1 rms 2013.7 (-72.4 dB) peak -60.1 dB
//   sweep 1 channel 3 unit 3 rms 838860.8 (-20.0 dB) peak -8.1 dB noisy
//
// The program's own status lines (line speed, "Acquisition...", failures)
// come in between. Running mode is stopped and the units reset at the end.
// Status 0 when every sweep ran, 1 when running mode could not start or
// ended early (a framing error deselected a unit), 2 for wrong arguments.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "Command.h"
#include "Start.h"
#include "acquisition/NoiseMonitor.h"
#include "acquisition/RunningMode.h"
#include "state/Regional.h"
#include "program/TextOperator.h"

namespace q24::cli {
namespace {

double Rms(const float* samples, int n) {
    if (n <= 0) return 0;
    double sum = 0;
    for (int k = 0; k < n; ++k) sum += static_cast<double>(samples[k]) * samples[k];
    return std::sqrt(sum / n);
}

constexpr const char* kUsage = "run --home DIR --port PATH [--sweeps N] [--threshold DB]";

// The line of one channel's read.
void PrintRead(int sweep, int ch, int unit, const State& s, const RunningMode& mode, const NoiseMonitor* monitor) {
    std::printf("sweep %d channel %d unit %d rms %.1f", sweep, ch, unit,
                Rms(s.Dati.row(ch - 1), mode.samplesPerChannel()));
    if (const NoiseMonitor::Channel* c = monitor ? monitor->channel(ch) : nullptr)
        std::printf(" (%.1f dB) peak %.1f dB%s", c->level.rmsDb, c->level.peakDb, monitor->over(*c) ? " noisy" : "");
    std::printf("\n");
}

int runRunning(const QStringList& args) {
    const QString home = HomeFolder(args);
    const QString path = OptionValue(args, "--port");
    bool numeric = true;
    const int sweeps = OptionValue(args, "--sweeps", "1").toInt(&numeric);
    std::string why;
    double threshold = 0;
    const bool monitored = HasFlag(args, "--threshold");
    if (monitored) why = ParseThreshold(OptionValue(args, "--threshold").toStdString(), threshold);
    if (path.isEmpty() || !numeric || sweeps < 1 || !why.empty()) {
        if (!why.empty()) std::fprintf(stderr, "quelda24-cli run: --threshold: %s\n", why.c_str());
        std::fprintf(stderr, "usage: quelda24-cli %s  (N >= 1, DB from -140 to 0)\n", kUsage);
        return 2;
    }

    TextOperator op;
    Session session("run", op, home.toStdString(), path.toStdString());
    return session.exec([&]() -> Task<int> {
        if (!co_await session.start()) co_return 1;
        State* s = &session.s;
        RunningMode& mode = session.program.running();
        NoiseMonitor monitor;  // the threshold given, kept nowhere
        monitor.setThreshold(threshold);
        if (monitored) mode.noise = &monitor;
        // The sweep under way: one more each time the first selected channel is
        // read; STOP once the last one of the last sweep is (the sequence then
        // resets the units).
        int sweep = 0, first = 0, last = 0;
        for (int ch = 1; ch <= ClampTraceCount(s->N_Geofoni); ++ch)
            if (s->Ch_enabled[ch]) last = ch, first = first ? first : ch;
        bool complete = false;
        mode.channelRead = [&](int ch, int unit, bool ok) {
            if (ch == first) ++sweep;
            if (ok) PrintRead(sweep, ch, unit, *s, mode, mode.noise);
            else std::printf("sweep %d channel %d unit %d not working\n", sweep, ch, unit);
            std::fflush(stdout);
            if (ch == last && sweep == sweeps) {
                complete = true;
                mode.fine_loop();
            }
        };
        co_await mode.run();
        mode.noise = nullptr;
        if (session.signalled()) co_return 1;
        if (sweep == 0) co_return 1;  // running mode could not start: the message said why
        if (!complete) {
            std::fprintf(stderr, "running mode stopped during sweep %d\n", sweep);
            co_return 1;
        }
        co_return 0;
    });
}

CommandRegistration run{"run", kUsage, runRunning};

}  // namespace
}  // namespace q24::cli
