// Running mode's part of the application: GO RUNNING and STOP on the toolbar,
// the main window's two timers `Timer3` (10 ms, above 500 Hz) and `Timer2`
// (1 ms, 500 Hz and below), the "Continuous sampling" button, and the stop
// that GO TRIGGER asks for before its shot.
#include <QObject>
#include <QTimer>

#include "acquisition/Running.h"
#include "acquisition/Trigger.h"
#include "ui/Application.h"
#include "ui/LinkParts.h"
#include "ui/Wiring.h"

namespace q24 {

namespace {

constexpr const char* kPartsName = "q24RunningParts";

// Owns running mode's logic for as long as the main window lives.
class RunningParts : public QObject {
public:
    explicit RunningParts(Application& app)
        : QObject(&app.window()),
          mode(app.state(), app.window(), *app.link().link, app.parameters(), app.channels(),
               [wait = &app.link().wait](int fd, double deadline) { (*wait)(fd, deadline); }) {
        setObjectName(kPartsName);
    }

    RunningMode mode;
};

// One of the window's timers; the window starts and stops it when the logic
// enables or disables Ctl::Timer2 / Ctl::Timer3.
QTimer* MakeTimer(QWidget& window, const char* name, int intervalMs, std::function<void()> tick) {
    auto* timer = new QTimer(&window);
    timer->setObjectName(name);
    timer->setInterval(intervalMs);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, &window, std::move(tick));
    return timer;
}

}  // namespace

RunningMode& RunningOf(Application& app) {
    if (auto* parts = app.window().findChild<QObject*>(kPartsName, Qt::FindDirectChildrenOnly))
        return static_cast<RunningParts*>(parts)->mode;
    return (new RunningParts(app))->mode;
}

void WireRunning(Application& app) {
    Analog& w = app.window();
    RunningMode& mode = RunningOf(app);
    MakeTimer(w, "Timer3", 10, [&mode] { mode.Timer3_Timer(); });
    MakeTimer(w, "Timer2", 1, [&mode] { mode.Timer2_Timer(); });

    w.setCommand(Ctl::GO_RUNNING, [&mode] { mode.puls_running_Click(); });
    w.setCommand(Ctl::STOP, [&mode] { mode.fine_loop(); });
    w.setCommand(Ctl::puls_sample, [&mode] { mode.puls_sample_Click(); });
    // Two acquisitions on one line would garble both: a shot stops running
    // mode first.
    TriggerOf(app).hooks.stopRunningMode = [&mode] { mode.stopRunningMode(); };
}

}  // namespace q24
