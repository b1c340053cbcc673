#pragma once
// Timed sampling: every selected channel recorded without a trigger for a
// whole number of minutes at 125, 250 or 500 Hz, then saved as data.txt and
// converted to SEG-2.
//
// The units record continuously after one parameter command with a sample
// count of 1; the program then takes, block after block, one burst of N_slow
// (128) samples from the unit typed in each checked channel slot, marks the
// slot "OK" (green) or "ERROR" (red), and stores the burst in Dati_cont. A
// unit that fails does not stop the recording: its block keeps whatever the
// receive buffer held, and the status line names the unit.
//
// This object is the dialog `acquisizione` without its widgets: it holds what
// the dialog's controls show (Controls) and runs their handlers; the dialog
// mirrors it and forwards the operator's clicks, the command-line tool drives
// it directly, tests drive it against the emulated units.
#include <cstdint>
#include <functional>
#include <string>

#include "acquisition/ChannelSettings.h"
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

    // `yield` hands control to the event loop; it is called with no
    // descriptor and the present time, so it only runs what is pending.
    TimedMode(State& s, Panel& main, Link& link, ChannelSlots& slots, Link::Yield yield);

    const Controls& controls() const { return c_; }

    // "Continuous sampling", once the line is at the high rate: the dialog
    // loaded and set up for a recording, then shown.
    void Prepare();
    void Form_Load();
    void Command5_Click();   // ">>": one minute more, 60 wraps to 1
    void Command6_Click();   // "<<": one minute less, not below 1
    void Start_acq_Click();  // START: record, save, reset
    void Command7_Click();   // Abort: "Abort section ?", OK ends the program
    void Command2_Click();   // EXIT: units reset, dialog hidden
    // The dialog's close box or Escape: EXIT when idle, nothing while a
    // recording runs (only Abort ends one).
    void CloseRequested();

    // The recording itself (START's step 4); Dati_cont must already hold
    // N_Geofoni rows of N_slow x (N_samples_cont / N_slow) samples.
    void TimedSampling();

    // The save dialog's OK has saved: "FINE", Abort off, EXIT on, and START
    // on (after a recording, once the units have been reset).
    void SaveDone();

    bool recording() const { return recording_; }
    bool aborted() const { return aborted_; }

    // The save dialog `Percorsofile`, shown modally after each recording; on a
    // save it calls SaveDone().
    std::function<void()> showSave;
    // Abort's OK, after the units were reset: the program ends.
    std::function<void()> endProgram;
    // Told after the controls changed, so an open dialog can refresh itself.
    std::function<void()> changed;
    // Told after each burst: block, channel position, unit and whether it
    // arrived.
    std::function<void(int block, int ch, int unit, bool ok)> burstRead;

private:
    void notify();
    void yieldOnce();
    void showMinutes();
    void setStatus(const std::string& text);
    void abortNow();
    int perBlock() const;

    State& s_;
    Panel& main_;
    Link& link_;
    ChannelSlots& slots_;
    Link::Yield yield_;
    Controls c_;
    bool recording_ = false;
    bool busy_ = false;        // START's handler runs (recording, save, reset)
    bool abortAsked_ = false;  // Abort's OK came during a recording
    bool aborted_ = false;
};

}  // namespace q24
