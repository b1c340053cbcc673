#pragma once
// The program without its windows, built one way for the window and for
// quelda24-cli: the state, the line (the COM number map, the port, the waits,
// the emulated units of --simulate), the link, the owner of the line, the
// parameters, the channel settings and the four acquisitions, the start-up in
// its fixed order and the commands that start sequences. What the operator
// sees and answers goes through the Operator it is given.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "acquisition/AcqParameters.h"
#include "acquisition/ChannelSettings.h"
#include "acquisition/Operator.h"
#include "acquisition/PassiveSeismic.h"
#include "acquisition/RunningMode.h"
#include "acquisition/TimedMode.h"
#include "acquisition/TriggerAcquisition.h"
#include "acquisition/UnitsProbe.h"
#include "files/Saving.h"
#include "link/LineOwner.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "state/Regional.h"
#include "state/State.h"

namespace q24 {

class Port;
class Waits;
namespace units {
class PtyUnits;
}

// The spread the emulated units answer to, as the first start under
// --simulate finds it without an ini.txt: `channels` geophones 5 m apart on
// units 1, 2, ... in slots 1, 2, ..., trigger unit 1, 1000 Hz x 1024 samples,
// the source 2.5 m before the first geophone, the line at 1000000 baud.
void SimulatedSpread(State& s, int channels = 24);

struct Options {
    std::string home;  // the program folder
    // COM numbers given on the command line (--port N=PATH), the emulated
    // units offered as COM1 (--simulate), and opening the lowest given port at
    // start-up without the port dialog (--no-port-dialog).
    std::vector<std::pair<int, std::string>> ports;
    bool simulate = false;
    bool noPortDialog = false;
};

class Program {
public:
    // On the serial line: the port map from the options and the devices
    // present, the real port, waits that sleep in the event loop.
    Program(Operator& op, Options options, Regional regional = Regional::fromSystem());
    // On a line and clock the caller owns (the emulated units in process).
    Program(Operator& op, Options options, Regional regional, Port& port, Waits& waits);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The start-up, steps 1 to 18: folders, ini.txt, the parameters, the main
    // window, the trace count, the channel slots and the port dialog. Each
    // step runs under resume-on-error; returns the steps skipped, each with
    // its reason.
    std::vector<std::string> start();
    // The start-up's line steps as one sequence, in their order: the line
    // opened (unless the port dialog did it), one parameter command, a units
    // reset. False when the line could not be opened (lineFailure() says
    // why) or the program is ending.
    Task<bool> startLine();
    std::string lineFailure() const;

    // The commands that start a sequence, through the owner of the line.
    void goTrigger();
    void exitTrigger();
    void goRunning();
    void stop();
    void continuousSampling();
    void passiveSeismic();
    void resetUnits();
    // FIND UNITS (activity Probing): the probe; once it has asked every
    // number, the units that answered fill the channel slots in order (those
    // with line errors unticked) and a message names the line errors. `done`
    // is told the result either way. STOP and EXIT end it (the reset runs).
    void findUnits(const std::function<void(const ProbeResult&)>& done = {});

    // The trace-count bar moved: the trace count and spacing follow, then the
    // channel slots.
    void traceCountChanged(int value);
    // EXIT's first half: the sample count from its bar, ini.txt written; ""
    // or why it could not be.
    std::string saveConfiguration();
    // Ends the event loop with `status`: a running sequence is cancelled
    // first and cleans up (the units reset), within three seconds at most.
    void end(int status);
    bool ending() const { return ending_; }

    State& state() { return *state_; }
    // The panel the logic is given: the operator's, with its controls'
    // enabled state following the owner of the line.
    GatedPanel& panel() { return gated_; }
    Operator& op() { return op_; }
    Link& link() { return link_; }
    LineOwner& owner() { return owner_; }
    Waits& waits() { return waits_; }
    Port& port() { return port_; }
    AcqParameters& parameters() { return params_; }
    ChannelSettings& channels() { return channels_; }
    TriggerAcquisition& shot() { return shot_; }
    RunningMode& running() { return running_; }
    TimedMode& timed() { return timed_; }
    PassiveSeismic& passive() { return passive_; }
    UnitsProbe& probe() { return probe_; }
    // The noise monitor of running mode (its threshold kept in monitor.ini);
    // fed by running mode only while running().noise points at it.
    NoiseMonitor& noise() { return noise_; }
    const FilesEnv& files() const { return files_; }
    const Options& options() const { return options_; }
    const Regional& regional() const { return regional_; }
    // The emulated units of --simulate; null without them.
    units::PtyUnits* simulatedUnits();

private:
    struct OwnLine;  // the port, waits and emulated units of the first constructor
    Program(Operator& op, Options options, Regional regional, std::unique_ptr<OwnLine> line, Port* port,
            Waits* waits);
    // The COM numbers of the options; the emulated units are started here.
    PortMap portMap();

    Options options_;
    Regional regional_;
    FilesEnv files_;
    Operator& op_;
    std::unique_ptr<OwnLine> line_;
    std::unique_ptr<State> state_;
    Port& port_;
    Waits& waits_;
    PortMap map_;
    GatedPanel gated_;
    Link link_;
    LineOwner owner_;
    AcqParameters params_;
    ChannelSettings channels_;
    TriggerAcquisition shot_;
    RunningMode running_;
    TimedMode timed_;
    PassiveSeismic passive_;
    UnitsProbe probe_;
    NoiseMonitor noise_;
    bool openAtStart_ = false;  // the start-up's line sequence opens the line
    bool ending_ = false;
};

}  // namespace q24
