#include "link/LineOwner.h"

#include <QTimer>
#include <exception>
#include <utility>

namespace q24 {

namespace {

using A = Activity;
using C = Command;
using V = Verdict;

// Commands that neither use the line nor change what a sequence reads: they
// run in every activity.
bool Harmless(Command c) { return c == C::Gain || c == C::Spectrum; }

// Commands that end the program: whatever runs is cancelled first.
bool Ending(Command c) { return c == C::Exit || c == C::CloseBox; }

}  // namespace

Verdict Decide(Activity a, Command c) {
    if (Harmless(c)) return V::Allowed;
    if (Ending(c)) return a == A::Idle ? V::Allowed : V::Preempts;
    switch (a) {
        case A::Idle:
            // Nothing is armed and nothing runs: only the commands of a running
            // sequence have nothing to act on.
            return c == C::ExitTrigger || c == C::RunningTick ? V::Refused : V::Allowed;
        case A::ShotArmed:
            return c == C::ExitTrigger ? V::Allowed : V::Refused;
        case A::Running:
            switch (c) {
                case C::Stop:
                case C::RunningTick:
                case C::Display: return V::Allowed;
                // One line, one acquisition: these stop running mode first.
                case C::GoTrigger:
                case C::ContinuousSampling:
                case C::Passive: return V::Preempts;
                default: return V::Refused;
            }
        case A::Resetting:
        case A::SpeedChange:
        case A::Code:
            // The set-up that no sequence reads now may change meanwhile.
            switch (c) {
                case C::Geometry:
                case C::Display:
                case C::Stacking:
                case C::Refraction: return V::Allowed;
                default: return V::Refused;
            }
        case A::Probing:
            // STOP ends the search (its reset then runs).
            return c == C::Stop ? V::Allowed : V::Refused;
        case A::ShotReceiving:
        case A::Timed:
        case A::Passive:
        case A::Loading:
        case A::Saving: return V::Refused;
    }
    return V::Refused;
}

const char* ActivityName(Activity a) {
    switch (a) {
        case A::Idle: return "idle";
        case A::Resetting: return "resetting the units";
        case A::SpeedChange: return "changing the line speed";
        case A::Code: return "programming a unit code";
        case A::ShotArmed: return "waiting for the trigger";
        case A::ShotReceiving: return "receiving a shot";
        case A::Running: return "running mode";
        case A::Timed: return "timed sampling";
        case A::Passive: return "passive recording";
        case A::Loading: return "loading a file";
        case A::Saving: return "saving";
        case A::Probing: return "finding the units";
    }
    return "";
}

std::string RefusalText(Activity a) { return std::string("Not now: ") + ActivityName(a); }

std::optional<Command> CommandOf(Ctl control) {
    switch (control) {
        case Ctl::GO_TRIGGER: return C::GoTrigger;
        case Ctl::Termina_trigger: return C::ExitTrigger;
        case Ctl::GO_RUNNING: return C::GoRunning;
        case Ctl::STOP: return C::Stop;
        case Ctl::puls_sample: return C::ContinuousSampling;
        case Ctl::Acq_pezzi: return C::Passive;
        case Ctl::RESETTA: return C::Reset;
        case Ctl::codice: return C::Code;
        case Ctl::B_R: return C::BaudRate;
        case Ctl::File_load: return C::File;
        case Ctl::Refraction: return C::Refraction;
        case Ctl::canali: return C::Channels;
        case Ctl::Trigger_units: return C::TriggerUnits;
        case Ctl::parameters: return C::Parameters;
        case Ctl::Running_parameters: return C::RunningParameters;
        case Ctl::Init_par: return C::InitPar;
        case Ctl::Trg_corr: return C::TrgCorr;
        case Ctl::Stack: return C::Stacking;
        case Ctl::displ: return C::Display;
        case Ctl::SPECTRE: return C::Spectrum;
        case Ctl::sss: return C::Geometry;
        case Ctl::VScroll1: return C::TraceCount;
        case Ctl::TrueAmp:
        case Ctl::A10:
        case Ctl::A100:
        case Ctl::A1000:
        case Ctl::Auto_rng: return C::Gain;
        case Ctl::uscita: return C::Exit;
        default: return std::nullopt;
    }
}

// ---------------------------------------------------------------- GatedPanel

bool GatedPanel::wanted(Ctl c) const {
    auto it = wanted_.find(c);
    return it == wanted_.end() || it->second;
}

void GatedPanel::apply(Ctl c) {
    const auto command = CommandOf(c);
    const bool allowed = !command || Decide(activity_, *command) != Verdict::Refused;
    inner_.setEnabled(c, wanted(c) && allowed);
}

void GatedPanel::setEnabled(Ctl c, bool e) {
    wanted_[c] = e;
    apply(c);
}

void GatedPanel::setActivity(Activity a) {
    activity_ = a;
    // Every control that runs a command.
    for (int k = 0; k <= static_cast<int>(Ctl::uscita); ++k)
        if (CommandOf(static_cast<Ctl>(k))) apply(static_cast<Ctl>(k));
}

// ---------------------------------------------------------------- LineOwner

LineOwner::LineOwner(State& s, GatedPanel& panel, Link& link) : s_(s), panel_(panel), link_(link) {
    panel_.setActivity(activity_);
    constexpr int kRefusalShownMs = 2500;
    restore_ = std::make_unique<QTimer>();
    restore_->setSingleShot(true);
    restore_->setInterval(kRefusalShownMs);
    QObject::connect(restore_.get(), &QTimer::timeout, [this] {
        if (panel_.text(Ctl::testo) == shown_) panel_.setText(Ctl::testo, covered_);
    });
}

LineOwner::~LineOwner() = default;

void LineOwner::setActivity(Activity a) {
    activity_ = a;
    panel_.setActivity(a);
}

void LineOwner::phase(Activity a) { setActivity(a); }

void LineOwner::refuse(Activity a) {
    // The reason stands for a moment, then the status it covered comes back
    // (unless a sequence has shown something else meanwhile).
    const std::string text = RefusalText(a);
    if (panel_.text(Ctl::testo) != shown_) covered_ = panel_.text(Ctl::testo);
    shown_ = text;
    panel_.setText(Ctl::testo, text);
    panel_.setVisible(Ctl::testo, true);
    restore_->start();
}

bool LineOwner::allows(Command c) {
    if (Decide(activity_, c) != Verdict::Refused) return true;
    refuse(activity_);
    return false;
}

bool LineOwner::request(Command c, Activity a, std::function<Task<void>()> make) {
    const Verdict v = Decide(activity_, c);
    if (v == Verdict::Refused || (v == Verdict::Allowed && busy_ && make)) {
        refuse(busy_ ? activity_ : a);
        return false;
    }
    if (v == Verdict::Preempts) {
        // The new command starts when the running sequence has cleaned up.
        if (make) {
            nextActivity_ = a;
            next_ = std::move(make);
        }
        cancel(CancelReason::Preempted);
        return true;
    }
    if (make) start(a, std::move(make));
    return true;
}

void LineOwner::cancel(CancelReason why) {
    if (why == CancelReason::Preempted) {
        // Running mode's own stop: its sweep ends where it is and resets.
        s_.Stop_req = 1;
        s_.Stop_flag = true;
    }
    link_.waits().cancel(why);
    panel_.dismissQuestions();
}

void LineOwner::start(Activity a, std::function<Task<void>()> make) {
    busy_ = true;
    link_.waits().clearCancel();
    setActivity(a);
    Spawn(runSequence(std::move(make)));
}

Task<void> LineOwner::runSequence(std::function<Task<void>()> make) {
    try {
        co_await make();
    } catch (const std::exception& e) {
        if (failed) failed(e.what());
    }
    busy_ = false;
    setActivity(Activity::Idle);
    if (next_ && link_.waits().cancelReason() != CancelReason::Ending) {
        auto next = std::exchange(next_, {});
        start(nextActivity_, std::move(next));
        co_return;
    }
    next_ = {};
    if (idleAgain) idleAgain();
}

Task<int> LineOwner::reset(bool quick) {
    const Activity before = activity_;
    setActivity(Activity::Resetting);
    panel_.setText(Ctl::testo, "R E S E T .....");
    panel_.setVisible(Ctl::testo, true);
    const int ran = co_await link_.Reset_units(quick);
    panel_.setText(Ctl::testo, "");
    setActivity(before == Activity::Idle && !busy_ ? Activity::Idle : before);
    co_return ran;
}

}  // namespace q24
