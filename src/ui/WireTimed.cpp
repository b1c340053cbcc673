// Timed sampling's part of the application: "Continuous sampling" (a sequence
// of running mode's, which moves the line to the high rate first) opens the
// dialog `acquisizione` and lasts until it has closed; after each recording
// the save dialog `Percorsofile` writes data.txt and starts the converter.
// Neither dialog runs an event loop of its own: the sequences await them.
#include <QObject>
#include <QPointer>

#include "acquisition/RunningMode.h"
#include "acquisition/TimedMode.h"
#include "acquisition/forms/acquisizione.h"
#include "files/Saving.h"
#include "files/forms/Percorsofile.h"
#include "link/LineOwner.h"
#include "ui/Application.h"
#include "ui/DialogAwait.h"
#include "ui/LinkParts.h"
#include "ui/Wiring.h"

namespace q24 {

namespace {

// Owns timed sampling's logic and dialog for as long as the main window lives.
class TimedParts : public QObject {
public:
    explicit TimedParts(Application& app)
        : QObject(&app.window()),
          app_(app),
          mode_(app.state(), app.panel(), *app.link().link, app.owner(), app.channels()) {
        setObjectName("q24TimedParts");
        mode_.showSave = [this] { return showSave(); };
        mode_.endProgram = [&app] { app.endProgram(0); };
        mode_.changed = [this] {
            if (dialog_) dialog_->refresh();
            waits().wake();  // the sequence awaiting the dialog looks again
        };
    }

    // Shows the dialog, set up for a recording, and returns once it has
    // closed and its last handler has ended: its closing and every change of
    // TimedMode wake the wait. A cancellation (the program ends) closes it; a
    // recording under way stops and resets by itself, and since nothing may
    // wake the wait after that, it then looks again every 50 ms.
    Task<void> open() {
        if (!dialog_) {
            dialog_ = new acquisizione(mode_, &app_.window());
            connect(dialog_, &QDialog::finished, this, [this] { waits().wake(); });
        }
        mode_.Prepare();
        dialog_->show();
        for (;;) {
            if (waits().cancelled() && shown()) dialog_->done(QDialog::Rejected);
            if (!shown() && !mode_.busy()) co_return;
            co_await waits().until(-1, waits().cancelled() ? waits().now() + 0.05 : Waits::kNever);
        }
    }

private:
    Waits& waits() { return app_.link().link->waits(); }
    bool shown() const { return dialog_ && dialog_->isVisible(); }

    // `Percorsofile` over the timed dialog, awaited; a cancellation rejects it.
    Task<void> showSave() {
        State& s = app_.state();
        std::vector<std::string> texts;
        for (int k = 1; k <= s.N_Geofoni; ++k) texts.push_back(app_.channels().text(k));
        const FilesEnv env{app_.options().home, app_.regional()};
        QWidget* over = shown() ? static_cast<QWidget*>(dialog_) : &app_.window();
        QPointer<Percorsofile> save = new Percorsofile(s, app_.panel(), env, texts, over);
        OpenAwaited(save.data());
        co_await DialogFinished{save.data()};
        if (!save) co_return;
        const bool saved = save->result() == SaveResult::Saved;
        save->deleteLater();
        if (!saved || waits().cancelled()) co_return;
        mode_.SaveDone();
        co_await app_.panel().messageAsync(kSg2Created);
    }

    Application& app_;
    TimedMode mode_;
    QPointer<acquisizione> dialog_;
};

}  // namespace

void WireTimed(Application& app) {
    auto* parts = new TimedParts(app);
    RunningOf(app).openTimedSampling = [parts] { return parts->open(); };
}

}  // namespace q24
