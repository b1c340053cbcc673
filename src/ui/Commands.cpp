// The window's commands. The acquisitions and the units reset are sequences
// the owner of the line runs (Program starts them); the set-up, file and
// analysis dialogs are modal and open only where the owner allows their
// command (the window asks it for every click).
#include <QBoxLayout>
#include <QCheckBox>
#include <QDialog>
#include <memory>

#include "acquisition/RunningParameters.h"
#include "acquisition/TriggerCorrection.h"
#include "acquisition/TriggerUnits.h"
#include "acquisition/forms/Channels_setting.h"
#include "acquisition/forms/Initialisation_Par.h"
#include "acquisition/forms/Noise_monitor.h"
#include "acquisition/forms/Parametri.h"
#include "acquisition/forms/TRG_correction.h"
#include "acquisition/forms/TRG_units.h"
#include "acquisition/forms/stacking.h"
#include "analysis/SpectrumSession.h"
#include "analysis/forms/ShowGeometry.h"
#include "analysis/forms/Spettro.h"
#include "display/Readout.h"
#include "display/Redraw.h"
#include "display/forms/Display.h"
#include "display/forms/TracePicture.h"
#include "files/forms/FileDialogs.h"
#include "link/forms/B_Rate.h"
#include "link/forms/Gestione_codice.h"
#include "link/forms/Password.h"
#include "ui/Application.h"

namespace q24 {

namespace {

// The set-up forms and their logic, as long as the window lives. The channel
// settings and trigger units dialogs are made once and keep their state.
struct SetupForms {
    explicit SetupForms(Application& app)
        : units(app.state()), correction(app.state()), running(app.state(), app.program().panel()) {}
    TriggerUnits units;
    TriggerCorrection correction;
    RunningParameters running;
    SpectrumSession spectrum;  // FFT plans and colour sequence for every opening
    QDialog* channels = nullptr;  // owned by the window
    QDialog* trgUnits = nullptr;  // owned by the window
};

template <class Dialog, class... Args>
void Modal(Args&&... args) {
    Dialog dialog(std::forward<Args>(args)...);
    dialog.exec();
}

void RegisterAcquisitions(Program& p, analog& w) {
    w.setCommand(Ctl::GO_TRIGGER, [&p] { p.goTrigger(); });
    w.setCommand(Ctl::Termina_trigger, [&p] { p.exitTrigger(); });
    w.setCommand(Ctl::GO_RUNNING, [&p] { p.goRunning(); });
    w.setCommand(Ctl::STOP, [&p] { p.stop(); });
    w.setCommand(Ctl::puls_sample, [&p] { p.continuousSampling(); });
    w.setCommand(Ctl::Acq_pezzi, [&p] { p.passiveSeismic(); });
    w.setCommand(Ctl::RESETTA, [&p] { p.resetUnits(); });
}

void RegisterLink(Program& p, analog& w) {
    State& s = p.state();
    w.setCommand(Ctl::B_R, [&s, &w] { Modal<B_Rate>(s, &w); });
    w.setCommand(Ctl::codice, [&p, &s, &w] {
        if (w.ask(Question::ProceedWithCode, "ONLY 1 UNIT MUST BE CONNECTED ! PROCEED ANYWAY ?", Buttons::OkCancel) !=
            Answer::Ok)
            return;
        Password password(&w);
        if (password.exec() != QDialog::Accepted) return;
        Gestione_codice code(p.owner(), p.link(), s, &w);
        if (code.exec() == QDialog::Accepted) p.resetUnits();  // the unit restarts with its new code
    });
}

void RegisterSetup(Program& p, analog& w, SetupForms& f) {
    State& s = p.state();
    w.setCommand(Ctl::Init_par, [] {});  // has no effect, as it always had
    w.setCommand(Ctl::parameters, [&p, &w] { Modal<Parametri>(p.parameters(), &w); });
    w.setCommand(Ctl::canali, [&p, &w, &f] {
        if (!f.channels) {
            auto* dialog = new Channels_setting(p.channels(), &w);
            dialog->findUnits = [&p](std::function<void()> finished) {
                p.findUnits([finished = std::move(finished)](const ProbeResult&) { finished(); });
            };
            dialog->stopFinding = [&p] { p.stop(); };
            f.channels = dialog;
        }
        p.channels().PrepareForShow();
        f.channels->exec();
    });
    w.setCommand(Ctl::Trigger_units, [&w, &f] {
        if (!f.trgUnits) f.trgUnits = new TRG_units(f.units, &w);
        f.trgUnits->exec();
    });
    w.setCommand(Ctl::Running_parameters, [&w, &f] { Modal<Initialisation_Par>(f.running, &w); });
    w.setCommand(Ctl::Trg_corr, [&w, &f] {
        if (w.ask(Question::ChangeTriggerTiming, "Changing this parameter affects precision of trigger event!",
                  Buttons::OkCancel) == Answer::Ok)
            Modal<TRG_correction>(f.correction, &w);
    });
    w.setCommand(Ctl::Stack, [&s, &w] { Modal<stacking>(s, w, &w); });
}

void RegisterViews(Program& p, analog& w, SetupForms& f) {
    State& s = p.state();
    const char decimal = p.regional().decimal;
    TracePicture* picture = w.picture();
    picture->attach(s);
    for (const GainButton& b : kGainButtons) w.setCommand(b.control, [&s, &w, gain = b.gain] { GainClicked(s, w, gain); });
    w.setCommand(Ctl::displ, [&s, &w] { Modal<Display>(s, w, &w); });
    QObject::connect(picture, &TracePicture::mouseDown, &w,
                     [&s, &w, picture](double x, double) { PictureMouseDown(s, w, x, picture->width()); });
    QObject::connect(picture, &TracePicture::mouseMoved, &w, [&s, &w, picture, decimal](double, double y) {
        PictureMouseMove(s, w, y, picture->height(), decimal);
    });
    w.setCommand(Ctl::SPECTRE, [&p, &s, &w, &f] { Modal<Spettro>(s, f.spectrum, p.regional(), &w); });
    w.setCommand(Ctl::sss, [&s, &w, decimal] { ShowGeometry(s, Unit_letter(s), decimal, &w); });
    w.setCommand(Ctl::File_load, [&p, &s, &w] { ShowLoad(s, w, p.files(), [&s, &w] { RedrawAll(s, w); }); });
    w.setCommand(Ctl::Refraction, [&p, &s, &w] {
        if (w.ask(Question::StartRefraction, "Do you want to start a REFRACTION Project?", Buttons::YesNo) ==
            Answer::Yes)
            ShowProjectName(s, w, p.files());
    });
}

// The noise monitor, below the trace picture and fed by running mode only
// while the panel's box is ticked.
void RegisterNoiseMonitor(Program& p, analog& w) {
    auto* view = new Noise_monitor(p.noise(), &w);
    auto* column = static_cast<QBoxLayout*>(w.centralWidget()->layout());
    column->insertWidget(column->indexOf(w.picture()) + 1, view);
    view->setVisible(false);
    QObject::connect(w.noiseSwitch(), &QCheckBox::toggled, view, [&p, view](bool on) {
        if (on) view->switchedOn(p.state());
        p.running().noise = on ? &p.noise() : nullptr;
        view->setVisible(on);
    });
}

}  // namespace

void RegisterCommands(Application& app) {
    Program& p = app.program();
    analog& w = app.window();
    auto* forms = new SetupForms(app);
    QObject::connect(&w, &QObject::destroyed, [forms] { delete forms; });
    w.setCommand(Ctl::uscita, [&app] { app.exitProgram(); });
    RegisterAcquisitions(p, w);
    RegisterLink(p, w);
    RegisterSetup(p, w, *forms);
    RegisterViews(p, w, *forms);
    RegisterNoiseMonitor(p, w);
}

}  // namespace q24
