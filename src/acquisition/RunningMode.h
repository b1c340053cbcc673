#pragma once
// Running mode: every selected channel shown live, without a trigger, so the
// crew can watch the noise and check the spread before shooting.
//
// GO RUNNING starts one sequence (run) that sweeps until it is ended. Each
// sweep, by the sampling frequency:
//   above 500 Hz  (Timer3_Timer) sends the parameter command for one
//                 free-running recording of Running_N samples at Running_Fs,
//                 waits for the units' 4-byte "recording done" reply (at most
//                 Running_N / Sampling_freq + 0.5 s), then reads every
//                 selected channel with one data request per 256 samples;
//                 10 ms pass between sweeps;
//   500 Hz and below  (Timer2_Timer) the parameter command went once, at the
//                 start; the units record continuously and each sweep takes
//                 one 128-sample burst per selected channel; 1 ms between.
// Each channel is drawn as soon as it is read. Running mode ends on STOP, on a
// lost line, on a cancellation (another acquisition takes the line, the
// program ends) or when a unit's bytes arrive broken (the unit is
// deselected); the units are then reset exactly once and the menus come back
// as STOP leaves them.
#include <cstdint>
#include <functional>

#include "acquisition/ChannelSettings.h"
#include "acquisition/AcqParameters.h"
#include "acquisition/NoiseMonitor.h"
#include "acquisition/Operator.h"
#include "link/LineOwner.h"
#include "link/Link.h"
#include "state/Panel.h"
#include "state/State.h"
#include "state/Task.h"

namespace q24 {

class RunningMode {
public:
    enum class Path { Stopped, Fast, Slow };

    RunningMode(State& s, Panel& main, Operator& op, Link& link, LineOwner& owner, AcqParameters& params,
                const ChannelSlots& slots);

    // GO RUNNING, as the sequence the owner runs (Command::GoRunning,
    // Activity::Running): the checks, the set-up, the sweeps, the reset.
    Task<void> run();
    // STOP: the stop signals raised, the menus back; the sweep under way ends
    // where it is and the sequence resets the units.
    void fine_loop();
    Task<void> Timer3_Timer();        // one sweep above 500 Hz
    Task<void> Timer2_Timer();        // one sweep at 500 Hz and below
    Task<void> ReceiveRunningData();  // reads and draws every selected channel once
    // "Continuous sampling", as the sequence the owner runs (Command::
    // ContinuousSampling, Activity::Timed): units and PC to the high rate, then
    // the timed sampling dialog, awaited until it is closed. Without a dialog
    // nothing is done, since only the dialog's EXIT brings the line back.
    Task<void> puls_sample_Click();

    // The sweeps are under way (set up, not yet ended).
    bool running() const { return path_ != Path::Stopped; }
    Path path() const { return path_; }

    // Told after each channel's read: the channel position, the unit asked and
    // whether the trace arrived (it is then in Dati row ch - 1). A read that a
    // stop or a cancellation ended is not told.
    std::function<void(int ch, int unit, bool ok)> channelRead;
    // The noise monitor, while it is on: told each sweep's positions and each
    // channel's read (before channelRead). Null: nothing is measured.
    NoiseMonitor* noise = nullptr;

    // Samples each sweep reads per channel; for the command-line summary.
    int32_t samplesPerChannel() const;

private:
    bool ended() const;  // STOP, a deselection or a cancellation
    void setUp();
    // A unit whose bytes arrive broken: deselected, running mode ends.
    Task<void> deselect(int ch, int unit);

    State& s_;
    Panel& main_;
    Operator& op_;
    Link& link_;
    LineOwner& owner_;
    AcqParameters& params_;
    const ChannelSlots& slots_;
    Path path_ = Path::Stopped;
};

}  // namespace q24
