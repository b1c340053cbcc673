// Timed sampling's part of the application: the "Continuous sampling" button
// (through running mode, which stops itself and moves the line to the high
// rate first) opens the dialog `acquisizione`; after each recording the save
// dialog `Percorsofile` writes data.txt and starts the converter.
#include <QApplication>
#include <QObject>
#include <QPointer>

#include "acquisition/Running.h"
#include "acquisition/TimedSampling.h"
#include "acquisition/acquisizione.h"
#include "files/FileDialogs.h"
#include "ui/Application.h"
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
          mode_(app.state(), app.window(), *app.link().link, app.channels(),
                [wait = &app.link().wait](int fd, double deadline) { (*wait)(fd, deadline); }) {
        setObjectName("q24TimedParts");
        mode_.showSave = [this] { showSave(); };
        mode_.endProgram = [] { QApplication::exit(0); };
        mode_.changed = [this] {
            if (dialog_) dialog_->refresh();
        };
    }

    void open() {
        if (!dialog_) dialog_ = new acquisizione(mode_, &app_.window());
        mode_.Prepare();
        dialog_->exec();
    }

private:
    void showSave() {
        State& s = app_.state();
        std::vector<std::string> texts;
        for (int k = 1; k <= s.N_Geofoni; ++k) texts.push_back(app_.channels().text(k));
        const FilesEnv env{app_.options().home, app_.regional()};
        ShowTimedSave(s, app_.window(), env, texts, [this] { mode_.SaveDone(); });
    }

    Application& app_;
    TimedMode mode_;
    QPointer<acquisizione> dialog_;
};

}  // namespace

void WireTimed(Application& app) {
    auto* parts = new TimedParts(app);
    RunningOf(app).openTimedSampling = [parts] { parts->open(); };
}

}  // namespace q24
