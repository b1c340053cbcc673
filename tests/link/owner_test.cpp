// The owner of the line: every command in every activity is allowed, refused
// (with its reason in the status text) or pre-empts the running sequence, and
// the window's controls are enabled exactly where their command may run.
// Each activity is held by a sequence on the emulated units' clock.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "link/LineOwner.h"
#include "support/UnitsRig.h"

using namespace q24;

namespace {

constexpr std::array kActivities = {Activity::Idle,    Activity::Resetting, Activity::SpeedChange,
                                    Activity::Code,    Activity::ShotArmed, Activity::ShotReceiving,
                                    Activity::Running, Activity::Timed,     Activity::Passive,
                                    Activity::Loading, Activity::Saving,    Activity::Probing};

// One row per command, one letter per activity in the order above:
// A allowed, R refused, P pre-empts.
struct Row {
    Command command;
    const char* verdicts;
};
constexpr Row kTable[] = {
    {Command::GoTrigger, "ARRRRRPRRRRR"},   {Command::ExitTrigger, "RRRRARRRRRRR"},
    {Command::GoRunning, "ARRRRRRRRRRR"},   {Command::Stop, "ARRRRRARRRRA"},
    {Command::RunningTick, "RRRRRRARRRRR"}, {Command::ContinuousSampling, "ARRRRRPRRRRR"},
    {Command::Passive, "ARRRRRPRRRRR"},     {Command::Reset, "ARRRRRRRRRRR"},
    {Command::Code, "ARRRRRRRRRRR"},        {Command::BaudRate, "ARRRRRRRRRRR"},
    {Command::File, "ARRRRRRRRRRR"},        {Command::Refraction, "AAAARRRRRRRR"},
    {Command::Channels, "ARRRRRRRRRRR"},    {Command::TriggerUnits, "ARRRRRRRRRRR"},
    {Command::Parameters, "ARRRRRRRRRRR"},  {Command::RunningParameters, "ARRRRRRRRRRR"},
    {Command::InitPar, "ARRRRRRRRRRR"},     {Command::TrgCorr, "ARRRRRRRRRRR"},
    {Command::Stacking, "AAAARRRRRRRR"},    {Command::Display, "AAAARRARRRRR"},
    {Command::Spectrum, "AAAAAAAAAAAA"},    {Command::Geometry, "AAAARRRRRRRR"},
    {Command::TraceCount, "ARRRRRRRRRRR"},  {Command::Gain, "AAAAAAAAAAAA"},
    {Command::FindUnits, "ARRRRRRRRRRR"},   {Command::Exit, "APPPPPPPPPPP"},
    {Command::CloseBox, "APPPPPPPPPPP"},
};

// Every control of the main window that runs a command, and its command.
constexpr std::pair<Ctl, Command> kControls[] = {
    {Ctl::GO_TRIGGER, Command::GoTrigger},   {Ctl::GO_RUNNING, Command::GoRunning},
    {Ctl::STOP, Command::Stop},              {Ctl::puls_sample, Command::ContinuousSampling},
    {Ctl::Acq_pezzi, Command::Passive},      {Ctl::RESETTA, Command::Reset},
    {Ctl::codice, Command::Code},            {Ctl::B_R, Command::BaudRate},
    {Ctl::File_load, Command::File},         {Ctl::Refraction, Command::Refraction},
    {Ctl::canali, Command::Channels},        {Ctl::Trigger_units, Command::TriggerUnits},
    {Ctl::parameters, Command::Parameters},  {Ctl::Running_parameters, Command::RunningParameters},
    {Ctl::Init_par, Command::InitPar},       {Ctl::Trg_corr, Command::TrgCorr},
    {Ctl::Stack, Command::Stacking},         {Ctl::displ, Command::Display},
    {Ctl::SPECTRE, Command::Spectrum},       {Ctl::sss, Command::Geometry},
    {Ctl::VScroll1, Command::TraceCount},    {Ctl::A100, Command::Gain},
    {Ctl::uscita, Command::Exit},
};

struct Rig : test::UnitsRig<> {
    Rig() : UnitsRig(test::PatternUnits()) { EXPECT_EQ(openLine(), 1); }
    // A sequence still held ends as at the end of the program (its frame
    // freed, as LeakSanitizer checks).
    ~Rig() {
        owner.cancel(CancelReason::Ending);
        runUntilIdle();
    }
    bool holding = false;
    // Holds `a` until cancelled, then cleans up with a reset as every
    // sequence does.
    void hold(Activity a) {
        if (a == Activity::Idle) return;
        ASSERT_TRUE(owner.request(Command::Reset, a, [this, a]() -> Task<void> {
            holding = true;
            owner.phase(a);
            while (!link.cancelled()) co_await line.until(-1, line.now() + 0.5);
            holding = false;
            co_await owner.reset();
        }));
        line.runUntil([this] { return holding; });
    }
};

TEST(LineOwner, EveryCommandInEveryActivity) {
    for (const Row& row : kTable) {
        for (std::size_t i = 0; i < kActivities.size(); ++i) {
            const Activity a = kActivities[i];
            SCOPED_TRACE(std::string(ActivityName(a)) + ", command " + std::to_string(static_cast<int>(row.command)));
            Rig r;
            r.hold(a);
            r.panel.texts.clear();
            const bool accepted = r.owner.request(row.command, Activity::Idle);
            const char verdict = row.verdicts[i];
            EXPECT_EQ(std::tuple(accepted, r.link.cancelled()), std::tuple(verdict != 'R', verdict == 'P'));
            if (verdict != 'P')
                EXPECT_EQ(r.panel.text(Ctl::testo), verdict == 'A' ? "" : "Not now: " + std::string(ActivityName(a)));
            if (verdict == 'P') {
                r.runUntilIdle();  // the held sequence ends with its reset
                EXPECT_EQ(r.owner.activity(), Activity::Idle);
            }
        }
    }
}

TEST(LineOwner, ControlsAreEnabledWhereTheirCommandMayRunAndKeepWhatTheSequencesAsk) {
    for (std::size_t i = 0; i < kActivities.size(); ++i) {
        Rig r;
        r.gated.setEnabled(Ctl::parameters, false);  // what a sequence switched off stays off
        r.hold(kActivities[i]);
        for (const auto& [control, command] : kControls) {
            const Row& row = *std::find_if(std::begin(kTable), std::end(kTable),
                                           [command = command](const Row& x) { return x.command == command; });
            const bool want = control != Ctl::parameters && row.verdicts[i] != 'R';
            EXPECT_EQ(r.panel.enabled[control], want) << ActivityName(kActivities[i]) << " " << static_cast<int>(control);
        }
        // Back to idle, everything the sequences left on is on again.
        r.owner.cancel(CancelReason::Preempted);
        r.runUntilIdle();
        EXPECT_TRUE(r.panel.enabled[Ctl::GO_TRIGGER] && !r.panel.enabled[Ctl::parameters]);
    }
}

TEST(LineOwner, APreemptingCommandStartsAfterTheCleanUpResetAndAnEndingCutsItToTheResetByte) {
    Rig r;
    r.hold(Activity::Running);
    const std::size_t before = r.line.port.written.size();
    std::size_t resetAt = 0, startedAt = 0;
    ASSERT_TRUE(r.owner.request(Command::GoTrigger, Activity::ShotArmed, [&]() -> Task<void> {
        startedAt = r.line.port.written.size();
        EXPECT_EQ(r.owner.activity(), Activity::ShotArmed);
        co_return;
    }));
    r.line.onYield = [&] {
        if (!resetAt && r.line.port.written.size() > before) resetAt = r.line.port.written.size();
    };
    r.runUntilIdle();
    EXPECT_TRUE(resetAt > 0 && startedAt >= resetAt);  // the reset byte went out before the shot began
    EXPECT_EQ(r.line.port.written.at(before), 0xFF);
    // A second GO TRIGGER while the first shot is starting is refused, not queued.
    r.hold(Activity::ShotArmed);
    EXPECT_FALSE(r.owner.request(Command::GoTrigger, Activity::ShotArmed, [] { return Ready(); }));
    // The program's end cuts the clean-up to the reset byte.
    r.line.port.written.clear();
    const double t0 = r.line.t;
    r.owner.cancel(CancelReason::Ending);
    r.runUntilIdle();
    EXPECT_TRUE(r.line.port.written == std::vector<uint8_t>{0xFF} && r.line.t - t0 < 0.6);
}

}  // namespace
