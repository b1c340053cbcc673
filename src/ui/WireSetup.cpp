#include <QObject>

#include "acquisition/ChannelSettings.h"
#include "acquisition/forms/Channels_setting.h"
#include "acquisition/forms/Initialisation_Par.h"
#include "acquisition/forms/Parametri.h"
#include "acquisition/RunningParameters.h"
#include "acquisition/forms/TRG_correction.h"
#include "acquisition/forms/TRG_units.h"
#include "acquisition/TriggerCorrection.h"
#include "acquisition/TriggerUnits.h"
#include "ui/Application.h"
#include "ui/Wiring.h"

namespace q24 {

namespace {

// The acquisition set-up: the trigger and running values' logic, and the two
// dialogs that are made hidden at start-up and live as long as the window.
class Setup : public QObject {
public:
    explicit Setup(Application& app)
        : QObject(&app.window()), app_(app), units_(app.state()), correction_(app.state()),
          running_(app.state(), app.panel()) {}

    // Start-up step 3: the channel settings and trigger units dialogs, hidden.
    void loadDialogs() {
        app_.channels().Load();
        if (!channels_) channels_ = new Channels_setting(app_.channels(), &app_.window());
        if (!trgUnits_) trgUnits_ = new TRG_units(units_, &app_.window());
    }

    void showParameters() {
        Parametri dialog(app_.parameters(), &app_.window());
        dialog.exec();
    }

    void showChannels() {
        loadDialogs();
        app_.channels().PrepareForShow();
        channels_->exec();
    }

    void showTriggerUnits() {
        loadDialogs();
        trgUnits_->exec();
    }

    void showRunningParameters() {
        Initialisation_Par dialog(running_, &app_.window());
        dialog.exec();
    }

    void showTriggerCorrection() {
        TRG_correction dialog(correction_, &app_.window());
        dialog.exec();
    }

private:
    Application& app_;
    TriggerUnits units_;
    TriggerCorrection correction_;
    RunningParameters running_;
    Channels_setting* channels_ = nullptr;  // owned by the window
    TRG_units* trgUnits_ = nullptr;         // owned by the window
};

}  // namespace

void WireSetup(Application& app) {
    auto* setup = new Setup(app);  // owned by the window
    StartupHooks& h = app.hooks();
    h.loadChannelDialogs = [setup] { setup->loadDialogs(); };
    h.refreshChannelSlots = [&app] { app.channels().RefreshChannelSlots(); };
    h.fillChannelSlots = [&app] {
        app.channels().FillSlots();
        app.channels().SelectPositionsUpToTraceCount();
    };

    analog& w = app.window();
    w.setCommand(Ctl::parameters, [setup] { setup->showParameters(); });
    w.setCommand(Ctl::canali, [setup] { setup->showChannels(); });
    w.setCommand(Ctl::Trigger_units, [setup] { setup->showTriggerUnits(); });
    w.setCommand(Ctl::Running_parameters, [setup] { setup->showRunningParameters(); });
    app.openTriggerCorrection = [setup] { setup->showTriggerCorrection(); };
}

}  // namespace q24
