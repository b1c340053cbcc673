#pragma once
// Running mode: every selected channel shown live, without a trigger, so the
// crew can watch the noise and check the spread before shooting.
//
// GO RUNNING picks one of the main window's two timers by the sampling
// frequency:
//   above 500 Hz  `Timer3` (10 ms): every tick sends the parameter command for
//                 one free-running recording of Running_N samples at
//                 Running_Fs, waits for the units' 4-byte "recording done"
//                 reply (at most Running_N / Sampling_freq + 0.5 s), then
//                 reads every selected channel with one data request per 256
//                 samples;
//   500 Hz and below  `Timer2` (1 ms): the parameter command is sent once, the
//                 units record continuously, and every tick takes one
//                 128-sample burst per selected channel.
// Each channel is drawn as soon as it is read. STOP only raises the stop
// signals; whichever wait, tick or read sees them turns its timer off and
// resets the units.
//
// The timers themselves belong to the window: this class starts and stops
// them through the Panel (Ctl::Timer2, Ctl::Timer3), and the window calls
// Timer2_Timer / Timer3_Timer on their ticks (tests call them directly).
#include <cstdint>
#include <functional>

#include "acquisition/ChannelSettings.h"
#include "acquisition/Parameters.h"
#include "link/Link.h"
#include "state/Panel.h"
#include "state/State.h"

namespace q24 {

class RunningMode {
public:
    enum class Path { Stopped, Fast, Slow };

    // `yield` hands control to the event loop; it is called with no
    // descriptor and the present time, so it only runs what is pending.
    RunningMode(State& s, Panel& main, Link& link, AcqParameters& params, const ChannelSlots& slots,
                Link::Yield yield);

    void puls_running_Click();  // GO RUNNING
    void fine_loop();           // STOP
    void Timer3_Timer();        // tick above 500 Hz
    void Timer2_Timer();        // tick at 500 Hz and below
    void ReceiveRunningData();  // reads and draws every selected channel once
    // "Continuous sampling": units and PC to the high rate, then the timed
    // sampling dialog. Running mode is stopped first; with no dialog wired
    // nothing is done, since only the dialog's EXIT brings the line back.
    void puls_sample_Click();

    // Another acquisition is about to use the line (GO TRIGGER, "Continuous
    // sampling"): both timers off and, when running mode was on, the stop
    // signals raised, the units reset and the menus back as STOP leaves them.
    // A sweep this interrupts (the click came while it waited) ends as soon as
    // it regains control, touching neither Dati nor the line any more.
    void stopRunningMode();

    // Running mode is on: a timer started by GO RUNNING has not yet been
    // stopped by a tick, a read or stopRunningMode. (STOP alone leaves it on
    // until the next tick or read has done the reset.)
    bool running() const { return path_ != Path::Stopped; }
    Path path() const { return path_; }
    // A tick is under way (its waits may be running other events).
    bool busy() const { return busy_; }

    // The timed sampling dialog (prepared and shown modally).
    std::function<void()> openTimedSampling;
    // Told after each channel's read: the channel position, the unit asked and
    // whether the trace arrived (it is then in Dati row ch - 1).
    std::function<void(int ch, int unit, bool ok)> channelRead;

    // Samples each sweep reads per channel; for the command-line summary.
    int32_t samplesPerChannel() const;

private:
    void yieldOnce();
    bool stale(Ctl timer);
    void stopTimer(Ctl timer);  // a tick saw the stop: timer off, units reset
    bool readChannel(int ch, int& unit);

    State& s_;
    Panel& main_;
    Link& link_;
    AcqParameters& params_;
    const ChannelSlots& slots_;
    Link::Yield yield_;
    Path path_ = Path::Stopped;
    bool busy_ = false;
    // Raised by stopRunningMode: a sweep that started before it must not go on.
    uint64_t generation_ = 0;
};

}  // namespace q24
