#pragma once
// Timed sampling: every selected channel recorded without a trigger for a
// whole number of minutes at 125, 250 or 500 Hz, then saved as data.txt and
// converted to SEG-2.
//
// The units record continuously after one parameter command with a sample
// count of 1; the program then takes, block after block, one burst of N_slow
// (128) samples from the unit of each checked channel slot, marks the
// slot "OK" (green) or "ERROR" (red), and stores the burst in Dati_cont. A
// unit that fails does not stop the recording: its block keeps whatever the
// receive buffer held, and the status line names the unit. The handlers that
// wait are sequences (Tasks); the dialog starts them and follows `changed`,
// and a button that is off refuses its click. A cancellation (the program
// ends) stops a recording at once: the units are reset, nothing is saved.
//
// This object is the dialog `acquisizione` without its widgets: it holds what
// the dialog's controls show (Controls) and runs their handlers; the dialog
// mirrors it and forwards the operator's clicks, the command-line tool drives
// it directly, tests drive it against the emulated units.
#include <cstdint>
#include <functional>
#include <string>

#include "acquisition/ChannelSettings.h"
#include "acquisition/Operator.h"
#include "link/LineOwner.h"
#include "link/Link.h"
#include "state/Panel.h"
#include "state/State.h"

namespace q24 {

class TimedMode {
public:
    // The most samples (channels x samples per channel) a recording may hold.
    static constexpr int64_t kMaxSamples = 120000000;
    static constexpr int kProgressMax = 100;
    static constexpr int kMinutesMin = 1, kMinutesMax = 59;

    // What the dialog's controls show.
    struct Controls {
        std::string Finestra_tempo_acq;  // the minutes
        std::string Label5;              // the sampling frequency
        std::string Label7 = "Is Latency Time of Port";
        std::string Label3 = "END";      // status line
        bool Label3_visible = false;
        int ProgressBar1 = 0;            // 0 .. kProgressMax
        bool Start_acq = true;           // "START"
        bool Command7 = true;            // "Abort"
        bool Command2 = true;            // "EXIT"
        bool shown = false;              // the dialog is open
    };

    TimedMode(State& s, Panel& main, Operator& op, Link& link, LineOwner& owner, ChannelSlots& slots);

    const Controls& controls() const { return c_; }

    // "Continuous sampling", once the line is at the high rate: the dialog
    // loaded and set up for a recording, then shown.
    void Prepare();
    void Form_Load();
    void Command5_Click();   // ">>": one minute more, 60 wraps to 1
    void Command6_Click();   // "<<": one minute less, not below 1
    Task<void> Start_acq_Click();  // START: record, save, reset
    Task<void> Command7_Click();   // Abort: "Abort section ?", OK ends the program
    Task<void> Command2_Click();   // EXIT: units reset, dialog hidden
    // The dialog's close box or Escape: EXIT when EXIT is on, nothing during
    // a recording (only Abort ends one).
    Task<void> CloseRequested();

    // The recording itself (START's step 4); Dati_cont must already hold
    // N_Geofoni rows of N_slow x (N_samples_cont / N_slow) samples.
    Task<void> TimedSampling();

    // The save dialog's OK has saved: "FINE", Abort off. START and EXIT come
    // back once the recording's reset is done.
    void SaveDone();

    bool recording() const { return recording_; }
    bool aborted() const { return aborted_; }
    // A handler's sequence is under way (START up to its reset, EXIT's or
    // Abort's reset): the dialog may not go before it has ended.
    bool busy() const { return sequences_ > 0; }

    // Told after the controls changed, so an open dialog can refresh itself.
    std::function<void()> changed;
    // Told after each burst: block, channel position, unit and whether it
    // arrived.
    std::function<void(int block, int ch, int unit, bool ok)> burstRead;

private:
    void notify();
    void showMinutes();
    void setStatus(const std::string& text);
    Task<void> abortNow();
    Task<void> record();  // START's sequence once the recording is allocated
    bool stopped() const { return abortAsked_ || link_.cancelled(); }
    int perBlock() const;

    State& s_;
    Panel& main_;
    Operator& op_;
    Link& link_;
    LineOwner& owner_;
    ChannelSlots& slots_;
    Controls c_;
    bool recording_ = false;
    int sequences_ = 0;
    bool abortAsked_ = false;  // Abort's OK came during a recording
    bool aborted_ = false;
};

}  // namespace q24
