// Passive recording's part of the application: PASSIVE SEISMIC opens the
// dialog `Passive_seismic`; after a recording the trigger save dialog opens in
// passive mode. Running mode is stopped first: one line, one acquisition.
#include <QObject>
#include <QPointer>

#include "acquisition/Passive.h"
#include "acquisition/PassiveSeismicDialog.h"
#include "acquisition/Running.h"
#include "files/FileDialogs.h"
#include "ui/Application.h"
#include "ui/LinkParts.h"
#include "ui/Wiring.h"

namespace q24 {

namespace {

// Owns the passive recording's logic for as long as the main window lives.
class PassiveParts : public QObject {
public:
    explicit PassiveParts(Application& app)
        : QObject(&app.window()),
          logic(app.state(), app.window(), *app.link().link, FilesEnv{app.options().home, app.regional()},
                [wait = &app.link().wait](int fd, double deadline) { (*wait)(fd, deadline); }),
          app_(app) {
        setObjectName("q24PassiveParts");
        logic.showSave = [this] {
            return ShowTriggerSave(app_.state(), app_.window(), FilesEnv{app_.options().home, app_.regional()});
        };
        logic.changed = [this] {
            if (dialog_) dialog_->refresh();
        };
    }

    void open() {
        if (dialog_) return;  // already open (a click that came during its waits)
        RunningOf(app_).stopRunningMode();
        PassiveSeismicDialog dialog(logic, &app_.window());
        dialog_ = &dialog;
        logic.Form_Load();
        dialog.exec();
        dialog_ = nullptr;
    }

    PassiveSeismic logic;

private:
    Application& app_;
    QPointer<PassiveSeismicDialog> dialog_;
};

}  // namespace

void WirePassive(Application& app) {
    auto* parts = new PassiveParts(app);
    app.window().setCommand(Ctl::Acq_pezzi, [parts] { parts->open(); });
}

}  // namespace q24
