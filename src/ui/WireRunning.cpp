// Running mode's part of the application: GO RUNNING and STOP on the toolbar
// and the "Continuous sampling" button. Both acquisitions are sequences the
// owner of the line runs: GO RUNNING sweeps until STOP, and GO TRIGGER,
// "Continuous sampling" or PASSIVE SEISMIC stop it first (the owner cancels
// it; it resets the units and the new command starts).
#include <QObject>

#include "acquisition/RunningMode.h"
#include "link/LineOwner.h"
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
          mode(app.state(), app.panel(), *app.link().link, app.owner(), app.parameters(), app.channels()) {
        setObjectName(kPartsName);
    }

    RunningMode mode;
};

}  // namespace

RunningMode& RunningOf(Application& app) {
    if (auto* parts = app.window().findChild<QObject*>(kPartsName, Qt::FindDirectChildrenOnly))
        return static_cast<RunningParts*>(parts)->mode;
    return (new RunningParts(app))->mode;
}

void WireRunning(Application& app) {
    analog& w = app.window();
    RunningMode& mode = RunningOf(app);
    LineOwner& owner = app.owner();
    w.setCommand(Ctl::GO_RUNNING, [&mode, &owner] {
        owner.request(Command::GoRunning, Activity::Running, [&mode] { return mode.run(); });
    });
    w.setCommand(Ctl::STOP, [&mode, &owner] {
        if (owner.allows(Command::Stop)) mode.fine_loop();
    });
    w.setCommand(Ctl::puls_sample, [&mode, &owner] {
        owner.request(Command::ContinuousSampling, Activity::Timed, [&mode] { return mode.puls_sample_Click(); });
    });
}

}  // namespace q24
