#pragma once
// The owner of the line: what the program is doing (its Activity), which
// commands may run now, and the one sequence that uses the line.
//
// Every command that uses the line, or replaces the traces or the acquisition
// set-up, asks the owner first (request). The table in Decide says whether it
// is allowed, refused (the reason goes to the status text `testo`) or
// pre-empts the running sequence (running mode is stopped first: its
// clean-up reset runs, then the new command starts). The enabled state of
// every menu entry, toolbar button and panel control is that same table
// applied to the activity, ANDed with what the sequences themselves ask for
// (GatedPanel), and recomputed whenever the activity changes.
//
// A sequence is a Task started by request(); it may move between phases
// (phase(): a shot goes from armed to receiving). cancel() ends every wait
// of the sequence at once; its clean-up then runs, exactly once. When the
// program is ending, the clean-up reset only sends the reset byte.
#include <functional>
#include <memory>
#include <map>
#include <string>

#include "link/Link.h"
#include "state/Task.h"
#include "link/Waits.h"
#include "state/Panel.h"
#include "state/State.h"

class QTimer;

namespace q24 {

enum class Activity {
    Idle, Resetting, SpeedChange, Code, ShotArmed, ShotReceiving, Running, Timed, Passive, Loading, Saving,
    Probing,  // finding the units on the line
};

// What the operator (or the running timer, or the system) asks for.
enum class Command {
    GoTrigger, ExitTrigger, GoRunning, Stop, RunningTick, ContinuousSampling, Passive, Reset, Code, BaudRate,
    File, Refraction, Channels, TriggerUnits, Parameters, RunningParameters, InitPar, TrgCorr, Stacking,
    Display, Spectrum, Geometry, TraceCount, Gain, Exit, CloseBox, FindUnits,
};

enum class Verdict { Allowed, Refused, Preempts };

Verdict Decide(Activity a, Command c);
// The status text of a refusal in activity `a`.
std::string RefusalText(Activity a);
const char* ActivityName(Activity a);
// The command a control of the main window runs; nullopt for labels.
std::optional<Command> CommandOf(Ctl control);

// The main window as the sequences see it: setEnabled records what they ask
// and shows it only where the activity allows the control's command.
class GatedPanel : public PanelRelay<> {
public:
    using PanelRelay::PanelRelay;
    void setActivity(Activity a);

    void setEnabled(Ctl c, bool e) override;

    // What a sequence last asked for `c` (true when it never asked).
    bool wanted(Ctl c) const;

private:
    void apply(Ctl c);
    Activity activity_ = Activity::Idle;
    std::map<Ctl, bool> wanted_;
};

class LineOwner {
public:
    // `panel` is the gated panel the sequences are given.
    LineOwner(State& s, GatedPanel& panel, Link& link);
    ~LineOwner();

    Activity activity() const { return activity_; }
    bool idle() const { return activity_ == Activity::Idle && !busy_; }

    // Asks to run `make()` as activity `a` for command `c`: true when it
    // started (or waits for a pre-empted sequence to end). Commands that do not
    // use the line pass `make` = {} and run themselves when this says true.
    bool request(Command c, Activity a, std::function<Task<void>()> make = {});
    // Only asks: allowed (true), or refused with its reason shown (false).
    bool allows(Command c);
    // The running sequence moves on to another phase.
    void phase(Activity a);
    // Ends every wait of the running sequence at once.
    void cancel(CancelReason why);

    // The units reset as a sequence of its own ("R E S E T ....." in testo):
    // 1 when it ran. `quick`: see Link::Reset_units.
    Task<int> reset(bool quick = false);

    // Told each time the program becomes idle.
    std::function<void()> idleAgain;
    // Told when a sequence threw (it has ended; the program goes on).
    std::function<void(const std::string&)> failed;

private:
    void setActivity(Activity a);
    void refuse(Activity a);
    void start(Activity a, std::function<Task<void>()> make);
    Task<void> runSequence(std::function<Task<void>()> make);

    State& s_;
    GatedPanel& panel_;
    Link& link_;
    Activity activity_ = Activity::Idle;
    bool busy_ = false;
    // A command that pre-empted the sequence, run once it has ended.
    Activity nextActivity_ = Activity::Idle;
    std::function<Task<void>()> next_;
    // A refusal covers the status text for a moment.
    std::unique_ptr<QTimer> restore_;
    std::string covered_, shown_;
};

}  // namespace q24
