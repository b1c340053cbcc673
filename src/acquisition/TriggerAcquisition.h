#pragma once
// The triggered shot and stacking: GO TRIGGER, "Exit from Trigger", one shot
// (written to data_trigger.txt as it arrives) or one more shot of a stacking
// series (summed into Dati), the channel collection with its alignment, and
// the end of a series. No widget: the shot talks to the units through the
// Link, to the operator through the Panel, and opens the geometry dialog, the
// save dialog and the "Message" window through the hooks below, so the same
// logic runs in the program, in quelda24-cli and in tests.
//
// One shot, unstacked:
//   GO TRIGGER -> geometry dialog -> data_trigger.txt header -> parameter
//   command with trigger mode 1, "Waiting for Trigger..." -> the trigger byte
//   -> start byte 0xFE, "Acquisition..." -> trigger-time reply (at most 60 s)
//   -> "Data Reception", "Press to Continue" -> trigger-time command -> one
//   data request per 256 samples per selected channel, each trace aligned by
//   Trg_offset and appended to the file -> traces drawn -> save dialog ->
//   units reset.
// With stacking on, each GO TRIGGER sums one more shot into Dati and asks
// "Keep on Stacking?": Yes arms the next shot at once, No writes the summed
// record, clears the sum and opens the save dialog. A series starts from an
// empty sum. With Review_hits the shot goes into a buffer of its own instead,
// and once the units are reset the operator sees it beside the sum so far
// and adds it, adds it reversed or rejects it; only added hits count. A
// series without an added hit writes and offers nothing.
//
// Every wait is an await: the event loop runs meanwhile, "Exit from Trigger"
// ends the wait for the trigger at once, and the owner of the line refuses
// every other command that would use the line. Whatever ends a shot that was
// armed (a stop, a unit that failed, a cancellation, its normal end), the
// units are reset exactly once. A cancelled shot ends at once: no question,
// no dialog, and data_trigger.txt keeps what it held.
#include <functional>
#include <optional>
#include <string>

#include "acquisition/ChannelSettings.h"
#include "acquisition/AcqParameters.h"
#include "acquisition/Operator.h"
#include "files/DataTextFile.h"
#include "files/Saving.h"
#include "link/LineOwner.h"
#include "link/Link.h"
#include "state/Panel.h"
#include "state/State.h"
#include "state/Task.h"

namespace q24 {

// True when every channel position 1..N_Geofoni has a unit (and when there is
// no position at all).
bool ChannelsNumbered(const State& s);

// Sets Dati to 0 for traces 1..N_Geofoni, samples 0..N_samples-1.
void ClearStack(State& s);

// 1500 - Trg_correction microseconds, never below 0.
int16_t TriggerDelay(int16_t trgCorrection);
// The trigger delay in samples: Trg_delay x Sampling_freq x 1e-6, in single
// precision as it is kept.
float TriggerOffset(int16_t trgDelay, int32_t samplingFreq);
// Where stored sample k (1-based) is taken from in Traccia: k + Trg_offset
// rounded to the nearest integer, halves to even.
long long AlignedIndex(float trgOffset, long long k);

// Picture backgrounds: stacking mode shows light cyan, otherwise white.
struct Background {
    int r, g, b;
};
inline constexpr Background kStackingBackground{192, 255, 255};
inline constexpr Background kPlainBackground{255, 255, 255};

// The end of a reviewed series whose hits were all rejected.
inline constexpr const char* kNoHitAdded = "No hit was added: nothing to save.";

// The stacking dialog's options: "STACKING" (true) turns stacking on and the
// picture light cyan, "NO  STACKING" (false) turns it off and the picture white.
void ChooseStacking(State& s, Panel& main, bool stacking);

// Where the current shot stands; Armed is the only phase a trigger can end.
enum class ShotPhase { Idle, Armed, Recording, Receiving };

// Observers of a shot; either may be left empty.
struct TriggerHooks {
    // Told each time the shot changes phase (the command-line tool's trigger
    // time limit watches it).
    std::function<void(ShotPhase)> phaseChanged;
    // The wall-clock moment the data file header shows.
    std::function<Stamp()> now = [] { return Stamp::now(); };
};

class TriggerAcquisition {
public:
    // The parameters' handlers re-derive N_samples and place the pre-trigger
    // line; the channel slots give the units asked at 500 Hz and below.
    // `owner` is told the shot's phases and resets the units; `env` says
    // where data_trigger.txt goes and how its header numbers look; `op`
    // shows the geometry, save and "Message" forms.
    TriggerAcquisition(State& s, Panel& panel, Operator& op, Link& link, LineOwner& owner, AcqParameters& params,
                       ChannelSlots& slots, FilesEnv env);

    TriggerHooks hooks;

    // GO TRIGGER, started by the owner of the line: the whole shot (and,
    // while the operator answers Yes to "Keep on Stacking?", the following
    // shots of the series).
    Task<void> puls_trigger_Click();
    // "Exit from Trigger": asks the shot to stop, hides the button and ends
    // the wait for the trigger at once.
    void ExitFromTrigger();

    // One unstacked shot, with data_trigger.txt. What came of it:
    enum class ShotEnd {
        Done,       // channels collected, file complete
        Stopped,    // the operator stopped it
        NotArmed,   // nothing was sent (no data file, no trigger unit)
        FileLost,   // the shot ran but the data file could not be completed
        Cancelled,  // the owner of the line cancelled it (the program ends)
    };
    // Neither resets the units: the series does that, once per shot.
    Task<ShotEnd> TriggerShot();
    // One stacked shot summed into Dati, no file.
    Task<ShotEnd> StackShot();
    // Reads every selected channel after a shot, aligns it into Dati (or sums
    // it there), appends it to `file` when given, then draws the traces.
    // Done, Stopped (Stop_flag or Stop_req) or Cancelled.
    Task<ShotEnd> Collect_channels(int displayMode, DataTextWriter* file = nullptr);
    // The summed record into data_trigger.txt; "" or the reason it failed.
    std::string WriteStackedFile();

    // The last hit recorded for review, aligned as the sum (row t-1 of trace t).
    const TraceArray& hit() const { return hit_; }

    ShotPhase phase() const { return phase_; }
    // How the last shot ended (a refused start counts as NotArmed).
    ShotEnd lastShot() const { return last_; }
    std::string dataFilePath() const;

private:
    // One shot of GO TRIGGER, its reset and its save; true when the operator
    // wants the next shot of the series.
    Task<bool> oneShot();
    // Arms the units and records; the file is given for an unstacked shot.
    Task<ShotEnd> armAndRecord(DataTextWriter* file);
    Task<bool> endOfSeries();  // "Keep on Stacking?" answered: true = Yes
    // The operator's decision on the hit under review, applied to the sum;
    // false when the sequence was cancelled meanwhile.
    Task<bool> reviewHit();
    // Clears the picture and draws every selected channel of Dati.
    void drawTraces(int displayMode);
    // After a wait: Cancelled, Stopped ("Exit from Trigger"), or nothing.
    std::optional<ShotEnd> interrupted();
    void setMenusEnabled(bool enabled);
    void setPhase(ShotPhase p);

    State& s_;
    Panel& panel_;
    Operator& op_;
    Link& link_;
    LineOwner& owner_;
    AcqParameters& params_;
    ChannelSlots& slots_;
    FilesEnv env_;
    ShotPhase phase_ = ShotPhase::Idle;
    ShotEnd last_ = ShotEnd::NotArmed;
    // The shot in hand goes to hit_ for review (not into the sum); hits_
    // counts the series' hits reviewed.
    bool reviewing_ = false;
    int hits_ = 0;
    TraceArray hit_;
};

}  // namespace q24
