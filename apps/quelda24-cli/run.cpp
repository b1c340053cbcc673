// quelda24-cli run --home DIR --port PATH [--sweeps N]: starts as the program
// does (ini.txt from DIR, the port opened, one parameter command, a unit
// reset), runs N running-mode sweeps (1 when not given) and prints, per sweep
// and selected channel, the RMS of the samples read, so a crew can check the
// spread from a script:
//
//   sweep 1 channel 1 unit 1 rms 2013.7
//   sweep 1 channel 2 unit 2 not working
//
// The program's own status lines (line speed, "Acquisition...", failures)
// come in between. Running mode is stopped and the units reset at the end.
// Status 0 when every sweep ran, 1 when running mode could not start or
// ended early (a framing error deselected a unit), 2 for wrong arguments.
#include <QCoreApplication>
#include <cmath>
#include <cstdio>
#include <memory>

#include "Command.h"
#include "Start.h"
#include "acquisition/Running.h"
#include "state/Regional.h"
#include "ui/TextPanel.h"

namespace q24::cli {
namespace {

double Rms(const float* samples, int n) {
    if (n <= 0) return 0;
    double sum = 0;
    for (int k = 0; k < n; ++k) sum += static_cast<double>(samples[k]) * samples[k];
    return std::sqrt(sum / n);
}

int runRunning(const QStringList& args) {
    const QString home = OptionValue(args, "--home", QCoreApplication::applicationDirPath());
    const QString path = OptionValue(args, "--port");
    bool numeric = true;
    const int sweeps = OptionValue(args, "--sweeps", "1").toInt(&numeric);
    if (path.isEmpty() || !numeric || sweeps < 1) {
        std::fprintf(stderr, "usage: quelda24-cli run --home DIR --port PATH [--sweeps N]  (N >= 1)\n");
        return 2;
    }

    TextPanel panel;
    Session session(panel, path.toStdString());
    if (!session.start(home.toStdString())) return 1;
    State* s = &session.s;

    RunningMode mode(*s, panel, session.link, session.params, session.channels, session.yield());
    int sweep = 0;
    mode.channelRead = [&](int ch, int unit, bool ok) {
        if (ok)
            std::printf("sweep %d channel %d unit %d rms %.1f\n", sweep, ch, unit,
                        Rms(s->Dati.row(ch - 1), mode.samplesPerChannel()));
        else
            std::printf("sweep %d channel %d unit %d not working\n", sweep, ch, unit);
        std::fflush(stdout);
    };
    mode.puls_running_Click();
    if (!mode.running()) return 1;  // the message said why
    auto tick = [&] {
        if (mode.path() == RunningMode::Path::Slow) mode.Timer2_Timer();
        else mode.Timer3_Timer();
    };
    for (sweep = 1; sweep <= sweeps; ++sweep) {
        tick();
        if (!mode.running() || s->Stop_req == 1) break;  // a unit was deselected
    }
    const bool complete = sweep > sweeps;
    if (mode.running()) {  // STOP, and the tick that follows it resets the units
        mode.fine_loop();
        tick();
    }
    if (!complete) {
        std::fprintf(stderr, "running mode stopped during sweep %d\n", sweep);
        return 1;
    }
    return 0;
}

CommandRegistration run{"run", "run --home DIR --port PATH [--sweeps N]", runRunning};

}  // namespace
}  // namespace q24::cli
