// Passive recording's part of the application: PASSIVE SEISMIC asks the owner
// of the line for a passive recording (running mode is stopped first: one
// line, one acquisition) and opens the dialog `Passive_seismic`; after a
// recording the trigger save dialog opens in passive mode.
#include <QObject>
#include <QPointer>

#include "acquisition/PassiveSeismic.h"
#include "acquisition/forms/Passive_seismic.h"
#include "files/forms/Percorsofile_tr.h"
#include "link/LineOwner.h"
#include "ui/Application.h"
#include "ui/DialogAwait.h"
#include "ui/LinkParts.h"
#include "ui/Wiring.h"

namespace q24 {

namespace {

// Owns the passive recording's logic for as long as the main window lives.
class PassiveParts : public QObject {
public:
    explicit PassiveParts(Application& app)
        : QObject(&app.window()),
          logic(app.state(), app.panel(), *app.link().link, env(app), app.owner()),
          app_(app) {
        setObjectName("q24PassiveParts");
        logic.showSave = [this] { return save(); };
    }

    void open() {
        app_.owner().request(Command::Passive, Activity::Passive, [this] {
            return Passive_seismic::Run(logic, app_.link().link->waits(), &app_.window());
        });
    }

    PassiveSeismic logic;

private:
    static FilesEnv env(Application& app) { return FilesEnv{app.options().home, app.regional()}; }

    // The trigger save dialog with Passive_mode set, over the passive dialog,
    // awaited; Closed when it went away without an answer (a cancellation
    // rejects it).
    Task<SaveResult> save() {
        QWidget* over = &app_.window();
        for (auto* d : app_.window().findChildren<Passive_seismic*>())
            if (d->isVisible()) over = d;
        return AwaitAndRead(new Percorsofile_tr(app_.state(), app_.panel(), env(app_), over), SaveResult::Closed,
                            [](Percorsofile_tr& d) { return d.result(); });
    }

    Application& app_;
};

}  // namespace

void WirePassive(Application& app) {
    auto* parts = new PassiveParts(app);
    app.window().setCommand(Ctl::Acq_pezzi, [parts] { parts->open(); });
}

}  // namespace q24
