// The trigger shot's part of the application: GO TRIGGER on the toolbar,
// "Exit from Trigger" on the trace picture, the STACKING menu, and the
// dialogs a shot opens (geometry, save, the "Message" window). The shot is a
// sequence the owner of the line runs; GO TRIGGER during running mode stops
// running mode first (the owner cancels it and starts the shot once it has
// reset the units). The dialogs are opened without a nested event loop and
// awaited; a cancellation closes them as their close box would.
#include <QObject>
#include <QPointer>

#include "acquisition/forms/stacking.h"
#include "acquisition/TriggerAcquisition.h"
#include "acquisition/forms/Message.h"
#include "acquisition/TriggerUnits.h"
#include "analysis/forms/geometria.h"
#include "files/forms/Percorsofile_tr.h"
#include "link/LineOwner.h"
#include "ui/Application.h"
#include "ui/DialogAwait.h"
#include "ui/LinkParts.h"
#include "ui/Wiring.h"

namespace q24 {

namespace {

constexpr const char* kPartsName = "q24TriggerParts";

// Owns the shot's logic for as long as the main window lives.
class TriggerParts : public QObject {
public:
    TriggerParts(Application& app, const FilesEnv& env)
        : QObject(&app.window()),
          shot(app.state(), app.panel(), *app.link().link, app.owner(), app.parameters(), app.channels(), env) {
        setObjectName(kPartsName);
    }

    TriggerAcquisition shot;
};

// The geometry dialog `geometria` over the main window, awaited.
Task<void> AwaitGeometry(State& s, analog& w, char decimal) {
    co_await AwaitAndRead(new geometria(s, Unit_letter(s), decimal, &w), 0, [](geometria&) { return 0; });
}

// The trigger save dialog `Percorsofile_tr`, awaited; Closed when it went
// away without an answer.
Task<SaveResult> AwaitTriggerSave(State& s, analog& w, FilesEnv env) {
    return AwaitAndRead(new Percorsofile_tr(s, w, std::move(env), &w), SaveResult::Closed,
                        [](Percorsofile_tr& d) { return d.result(); });
}

}  // namespace

TriggerAcquisition& TriggerOf(Application& app) {
    if (auto* parts = app.window().findChild<QObject*>(kPartsName, Qt::FindDirectChildrenOnly))
        return static_cast<TriggerParts*>(parts)->shot;
    return (new TriggerParts(app, FilesEnv{app.options().home, app.regional()}))->shot;
}

void WireTrigger(Application& app) {
    State& s = app.state();
    analog& w = app.window();
    LineOwner& owner = app.owner();
    TriggerAcquisition& shot = TriggerOf(app);
    const FilesEnv env{app.options().home, app.regional()};
    const char decimal = app.regional().decimal;
    auto* message = new Message(&w);

    shot.hooks.showGeometry = [&s, &w, decimal] { return AwaitGeometry(s, w, decimal); };
    shot.hooks.showSave = [&s, &w, env] { return AwaitTriggerSave(s, w, env); };
    shot.hooks.messageWindow = [message](bool shown) {
        if (shown) message->showNow();
        else message->hide();
    };

    w.setCommand(Ctl::GO_TRIGGER, [&shot, &owner] {
        owner.request(Command::GoTrigger, Activity::ShotArmed, [&shot] { return shot.puls_trigger_Click(); });
    });
    w.setCommand(Ctl::Termina_trigger, [&shot, &owner] {
        if (owner.allows(Command::ExitTrigger)) shot.ExitFromTrigger();
    });
    w.setCommand(Ctl::Stack, [&s, &w, &owner] {
        if (!owner.allows(Command::Stacking)) return;
        stacking dialog(s, w, &w);
        dialog.exec();
    });
}

}  // namespace q24
