#pragma once
// The program: owns the one State, the main window and the logic objects,
// runs the start-up and the EXIT command, and registers the menu commands.
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "acquisition/ChannelSettings.h"
#include "acquisition/Parameters.h"
#include "state/Regional.h"
#include "state/State.h"
#include "ui/Analog.h"
#include "ui/Startup.h"

namespace q24 {

struct Options {
    std::string home;        // the program folder; the executable's folder by default
    std::string screenshot;  // save a picture of the window after start-up, then end
};

// Reads the command line (--home DIR, --screenshot FILE). Unknown options are
// reported on stderr and ignored.
Options ParseOptions(const QStringList& args, const std::string& exeFolder);

class Application : public QObject {
    Q_OBJECT
public:
    explicit Application(Options options, Regional regional = Regional::fromSystem());
    ~Application() override;

    // Runs the start-up steps in order; returns the steps that failed.
    std::vector<std::string> start();
    // EXIT: the sample count from its bar, ini.txt written, the program ends.
    void exitProgram();

    State& state() { return *state_; }
    Analog& window() { return *window_; }
    AcqParameters& parameters() { return *params_; }
    // The channel settings' slots: unit numbers, selections, trigger choices.
    ChannelSettings& channels() { return *channels_; }
    StartupHooks& hooks() { return hooks_; }
    const Options& options() const { return options_; }
    const Regional& regional() const { return regional_; }

    // What the OK or Yes of the three questions opens.
    std::function<void()> openPassword, openProjectName, openTriggerCorrection;

private:
    void registerCommands();
    // The trace-count bar moved: the trace count and spacing follow, then the
    // channel slots.
    void traceCountChanged();

    Options options_;
    Regional regional_;
    std::unique_ptr<State> state_;
    std::unique_ptr<Analog> window_;
    std::unique_ptr<AcqParameters> params_;
    std::unique_ptr<ChannelSettings> channels_;
    StartupHooks hooks_;
};

}  // namespace q24
