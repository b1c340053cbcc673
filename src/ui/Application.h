#pragma once
// The program: owns the one State, the main window and the logic objects,
// runs the start-up and the EXIT command, and registers the menu commands.
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "acquisition/ChannelSettings.h"
#include "acquisition/AcqParameters.h"
#include "link/LineOwner.h"
#include "state/Regional.h"
#include "state/State.h"
#include "ui/analog.h"
#include "program/Startup.h"

namespace q24 {

struct LinkParts;

struct Options {
    std::string home;        // the program folder; the executable's folder by default
    std::string screenshot;  // save a picture of the window after start-up, then end
    // The unit link: COM numbers given on the command line (--port N=PATH),
    // the emulated units offered as COM1 (--simulate), and opening the lowest
    // given port without showing the port dialog (--no-port-dialog).
    std::vector<std::pair<int, std::string>> ports;
    bool simulate = false;
    bool noPortDialog = false;
};

// Reads the command line (--home DIR, --screenshot FILE, --port N=PATH,
// --simulate, --no-port-dialog). Unknown options are
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
    // Ends the program with `status`: the running sequence is cancelled and
    // cleans up (the units reset) first, within a few seconds at most.
    void endProgram(int status = 0);

    State& state() { return *state_; }
    analog& window() { return *window_; }
    // The main window as the logic sees it: its controls' enabled state
    // follows the owner of the line.
    GatedPanel& panel() { return *gated_; }
    // The owner of the line, built by WireLink.
    LineOwner& owner();
    AcqParameters& parameters() { return *params_; }
    // The channel settings' slots: unit numbers, selections, trigger choices.
    ChannelSettings& channels() { return *channels_; }
    StartupHooks& hooks() { return hooks_; }
    const Options& options() const { return options_; }
    // The unit link, built by WireLink.
    LinkParts& link() { return *link_; }
    void setLink(std::unique_ptr<LinkParts> parts);
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
    std::unique_ptr<analog> window_;
    std::unique_ptr<GatedPanel> gated_;
    std::unique_ptr<AcqParameters> params_;
    std::unique_ptr<ChannelSettings> channels_;
    StartupHooks hooks_;

    // --screenshot: a picture of the dialog in front (the port dialog at
    // start-up) or, once started, of the main window; then the program ends.
    void armScreenshot();
    bool started_ = false, shotTaken_ = false;
    bool ending_ = false;
    std::unique_ptr<class SignalWatch> signals_;

    std::unique_ptr<LinkParts> link_;  // last: goes first, before the window it talks to
};

}  // namespace q24
