// The trigger shot's part of the application: GO TRIGGER on the toolbar,
// "Exit from Trigger" on the trace picture, the STACKING menu, and the
// dialogs a shot opens (geometry, save, the "Message" window).
#include <QObject>
#include <memory>

#include "acquisition/StackingDialog.h"
#include "acquisition/Trigger.h"
#include "acquisition/TriggerMessage.h"
#include "acquisition/TriggerUnits.h"
#include "analysis/ShowGeometry.h"
#include "files/FileDialogs.h"
#include "ui/Application.h"
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
          wait_(&app.link().wait),
          shot(app.state(), app.window(), *app.link().link,
               [wait = wait_](int fd, double deadline) { (*wait)(fd, deadline); }, app.parameters(),
               app.channels(), env) {
        setObjectName(kPartsName);
    }

    EventLoopWait* wait_;
    TriggerAcquisition shot;
};

}  // namespace

TriggerAcquisition& TriggerOf(Application& app) {
    if (auto* parts = app.window().findChild<QObject*>(kPartsName, Qt::FindDirectChildrenOnly))
        return static_cast<TriggerParts*>(parts)->shot;
    return (new TriggerParts(app, FilesEnv{app.options().home, app.regional()}))->shot;
}

void WireTrigger(Application& app) {
    State& s = app.state();
    Analog& w = app.window();
    TriggerAcquisition& shot = TriggerOf(app);
    const FilesEnv env{app.options().home, app.regional()};
    const char decimal = app.regional().decimal;
    auto* message = new TriggerMessage(&w);

    shot.hooks.showGeometry = [&s, &w, decimal] { ShowGeometry(s, Unit_letter(s), decimal, &w); };
    shot.hooks.showSave = [&s, &w, env] { return ShowTriggerSave(s, w, env); };
    shot.hooks.messageWindow = [message](bool shown) {
        if (shown) message->showNow();
        else message->hide();
    };

    w.setCommand(Ctl::GO_TRIGGER, [&shot] { shot.puls_trigger_Click(); });
    w.setCommand(Ctl::Termina_trigger, [&shot] { shot.ExitFromTrigger(); });
    w.setCommand(Ctl::Stack, [&s, &w] {
        StackingDialog dialog(s, w, &w);
        dialog.exec();
    });
}

}  // namespace q24
