// Running mode on the emulated units (simulated clock): the sweeps, and how
// STOP, another command and line faults end or spare it.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <tuple>

#include "acquisition/RunningMode.h"
#include "support/AcqRig.h"
#include "support/PatternTrace.h"
#include "support/UnitsRig.h"

namespace q24 {
namespace {

using namespace q24::units;
using Read = std::tuple<int, int, bool>;  // channel, unit, arrived

// Records, for each trace drawn, how many blocks and bursts had been read.
struct Picture : test::FakePanel {
    const Link* link = nullptr;
    std::vector<uint64_t> readsAtPlot;
    void plotTrace(int t, int style) override {
        FakePanel::plotTrace(t, style);
        readsAtPlot.push_back(link->counters().blocks + link->counters().bursts);
    }
};

UnitsConfig Pattern(std::vector<int> addresses = {1, 2, 3}) { return test::PatternUnits(std::move(addresses)); }
using test::Bytes, test::Cat, test::Cmd, test::Request, test::kResetThenSpeed;

struct Rig : test::UnitsRig<Picture> {
    AcqParameters params;
    test::TestSlots slots;  // the slow path reads the boxes
    RunningMode mode;
    std::vector<Read> reads;
    std::size_t stopAfter = 0;  // STOP once this many reads were told
    double lastReadAt = 0;

    explicit Rig(UnitsConfig c = Pattern())
        : UnitsRig(std::move(c)), params(*s, gated), mode(*s, gated, panel, link, owner, params, slots) {
        panel.link = &link;
        s->Baud_rate_high = 1000000, s->N_slow = s->Burst_N = 128, s->Trigger_unit = 1, s->Manual_trigger = true;
        s->Running_N = 256, s->Running_Fs = 2000, s->Display_mode = 2;
        params.setFreqPosition(6);  // 4000 Hz
        EXPECT_EQ(openLine(), 1);
        mode.channelRead = [this](int ch, int unit, bool ok) {
            reads.emplace_back(ch, unit, ok);
            lastReadAt = line.t;
            if (reads.size() == stopAfter) mode.fine_loop();
        };
    }
    void spread(int n) {
        s->N_Geofoni = static_cast<int16_t>(n);
        for (int ch = 1; ch <= n; ++ch) s->Ch_param[ch] = static_cast<int16_t>(ch), s->Ch_enabled[ch] = true;
        for (int ch = 1; ch <= std::min(n, 24); ++ch) slots.texts[ch] = std::to_string(ch);
    }
    void slowRate() { params.setFreqPosition(5), s->Sampling_freq = 250; }  // 250 Hz: bursts
    void go() { ASSERT_TRUE(owner.request(Command::GoRunning, Activity::Running, [this] { return mode.run(); })); }
    // GO RUNNING, STOP after `n` reads, until the units are reset.
    void runReads(std::size_t n) {
        stopAfter = n;
        go();
        runUntilIdle();
    }
    long resets() const { return test::CountByte(line.port.written, 0xFF); }
    // Exactly one reset, and nothing sent after it but its speed command.
    void expectOneResetLast() const {
        const Bytes& w = line.port.written;
        EXPECT_EQ(resets(), 1);
        ASSERT_GE(w.size(), kResetThenSpeed.size());
        EXPECT_EQ(Bytes(w.end() - kResetThenSpeed.size(), w.end()), kResetThenSpeed);
        EXPECT_EQ(owner.activity(), Activity::Idle);
        EXPECT_TRUE(panel.enabled.at(Ctl::uscita) && panel.enabled.at(Ctl::parameters));
    }
};

// The pattern of unit `ch` from sample `first` on, as the readers leave it.
void ExpectTrace(const State& s, int ch, int first, int n) {
    const std::vector<float> want = test::PatternRecordTrace(ch, n, first);
    for (std::size_t k = 0; k < want.size(); ++k)
        ASSERT_NEAR(s.Dati(ch - 1, static_cast<int>(k)), want[k], 0.5) << "channel " << ch << " sample " << k;
}

// Fast: a command and a data request per selected channel each sweep. Slow (a
// loaded file's 250 Hz, the bar still at 2000): one command, then bursts of
// 0x80 + unit / 128 the units answer in turn, as they record them.
TEST(Running, EachSweepRecordsAndDrawsEachChannelAfterItsRead) {
    for (const bool slow : {false, true}) {
        SCOPED_TRACE(slow);
        Rig r(Pattern(slow ? std::vector{1, 2} : std::vector{1, 2, 3}));
        r.spread(slow ? 2 : 3);
        if (slow) r.slowRate(); else r.s->Ch_enabled[2] = false;
        r.runReads(4);
        const Bytes sweep = Cat({Cmd(frames::ParameterCommand(1, 256, 2000, 0, 0)), Request(1), Request(3)});
        EXPECT_EQ(r.line.port.written, slow ? Cat({Cmd(frames::ParameterCommand(1, 128, 250, 0, 0)),
                                                   {0x80, 0x80, 0x80, 0x80}, kResetThenSpeed})
                                            : Cat({sweep, sweep, kResetThenSpeed}));
        const int second = slow ? 2 : 3, first = slow ? 128 : 0, n = slow ? 128 : 256;
        const std::string plot2 = "plot " + std::to_string(second) + " 1";
        EXPECT_EQ(r.panel.picture, (std::vector<std::string>{"clear", "plot 1 1", plot2, "clear", "plot 1 1", plot2}));
        EXPECT_EQ(r.panel.readsAtPlot, (std::vector<uint64_t>{1, 2, 3, 4}));
        for (int ch : {1, second}) ExpectTrace(*r.s, ch, first, n);
        if (slow) EXPECT_TRUE(r.s->Sampling_freq == 250 && r.s->N_samples == 128 && r.lastReadAt >= 2 * 128.0 / 250);
        else EXPECT_EQ(r.s->Dati(1, 5), 0.0f);  // the unselected channel is left alone
        r.expectOneResetLast();
    }
}

// How long a sweep waits for the units' reply before it asks for the data:
// the reply, after the recording, or the limit, which uses Sampling_freq.
TEST(RunningFast, TheReplyOrTheLimitEndsTheWait) {
    // bar position, Running_N, Running_Fs, seconds from the command to the first request
    for (auto [freqPosition, runningN, runningFs, wait] :
         {std::tuple{6, 256, 2000, 256.0 / 2000}, {6, 256, 125, 256.0 / 4000 + 0.5}, {4, 512, 125, 512.0 / 1000 + 0.5}}) {
        Rig r;
        r.spread(1);
        r.params.setFreqPosition(freqPosition);
        r.s->Running_N = static_cast<int16_t>(runningN), r.s->Running_Fs = static_cast<int16_t>(runningFs);
        double requestAt = -1;
        r.line.onYield = [&] {
            if (requestAt < 0 && r.line.port.written.size() > 11) requestAt = r.line.t;
        };
        r.stopAfter = 1;
        r.go();
        const double t0 = r.line.t;
        r.runUntilIdle();
        EXPECT_NEAR(requestAt - t0, wait, 2e-3) << runningFs;
        EXPECT_EQ(r.reads, (std::vector<Read>{{1, 1, true}}));  // read all the same
    }
}

// At 500 Hz and below a position asks the number typed in its box, else the
// unit the channel settings assigned (never unit 0).
TEST(RunningSlow, EachPositionAsksTheUnitOfItsSlot) {
    Rig r;
    r.spread(26);
    std::fill(r.s->Ch_enabled.begin() + 3, r.s->Ch_enabled.begin() + 25, false);
    r.slots.texts[1] = "7", r.slots.texts[2] = "", r.s->Ch_param[26] = 30;
    r.slowRate();
    r.runReads(4);
    EXPECT_EQ(r.reads, (std::vector<Read>{{1, 7, true}, {2, 2, true}, {25, 25, true}, {26, 30, true}}));
}

// STOP or another acquisition in the middle of a sweep: the sweep ends where
// it is, the units are reset once and nothing is asked of them afterwards; a
// read cut short shows nothing.
Task<void> Started(const Rig& r, std::optional<std::size_t>& bytes) {
    bytes = r.line.port.written.size();
    co_return;
}

TEST(RunningEnd, OneResetAndNothingAfterIt) {
    const struct {
        const char* name;
        bool slow;
        std::size_t after;  // act once the PC has written this many bytes
        bool preempt;       // GO TRIGGER rather than STOP
        std::vector<std::string> picture;
    } rows[] = {{"StopAwaitingTheReply", false, 11, false, {}},
                {"StopDuringABlock", false, 33, false, {"clear", "plot 1 1"}},
                {"StopDuringABurst", true, 13, false, {"clear", "plot 1 1", "plot 2 1"}},
                {"TriggerAwaitingTheReply", false, 11, true, {}},
                {"TriggerDuringABlock", false, 33, true, {"clear", "plot 1 1"}},
                {"TriggerDuringABurst", true, 13, true, {"clear", "plot 1 1"}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig r;
        r.line.units.config().slow[2] = 0.3;
        r.spread(3);
        r.s->Running_Fs = 125;  // the recording outlasts the limit of the reply
        if (row.slow) r.slowRate();
        std::optional<std::size_t> triggerAt;  // bytes written when the shot's sequence started
        r.go();
        const double t0 = r.line.t;
        double actedAt = -1;
        r.line.onYield = [&] {
            if (actedAt >= 0 || r.line.port.written.size() < row.after || r.line.t < t0 + 0.1) return;
            actedAt = r.line.t;
            if (!row.preempt) return r.mode.fine_loop();
            EXPECT_TRUE(r.owner.request(Command::GoTrigger, Activity::ShotArmed, [&] { return Started(r, triggerAt); }));
        };
        r.runUntilIdle();
        EXPECT_EQ(r.panel.picture, row.picture);
        EXPECT_TRUE(std::none_of(r.reads.begin(), r.reads.end(), [](const Read& x) { return !std::get<2>(x); }));
        EXPECT_TRUE(!r.panel.visible[Ctl::Unita_errata1] && r.panel.text(Ctl::testo).empty());
        r.expectOneResetLast();
        EXPECT_EQ(triggerAt, row.preempt ? std::optional(r.line.port.written.size()) : std::nullopt);
        EXPECT_LT(r.line.t - actedAt, 5);  // the end is seen at once, then the reset
    }
}

// A unit that does not answer is named and the others go on, sweep after
// sweep; line noise during its burst does not make the time-out a frame error.
TEST(RunningFailure, ASilentUnitIsNamedAndRunningGoesOn) {
    for (const bool slow : {false, true}) {
        Rig r;
        r.line.units.config().silent = {2};
        r.spread(3);
        if (slow) r.slowRate();
        r.line.onYield = [&, injected = false]() mutable {
            if (slow && !injected && r.line.port.written.size() >= 13) injected = true, r.line.port.injectErrors({.framing = 1});
        };
        r.runReads(6);
        EXPECT_EQ(r.reads, (std::vector<Read>{{1, 1, true}, {2, 2, false}, {3, 3, true}, {1, 1, true}, {2, 2, false},
                                              {3, 3, true}})) << slow;
        EXPECT_EQ(r.panel.text(Ctl::Unita_errata1), "Unit 2 not working");
        EXPECT_TRUE(r.panel.visible[Ctl::Unita_errata1] && !r.panel.visible[Ctl::Frame_error]);
        EXPECT_TRUE(r.panel.messages.empty() && r.s->Ch_enabled[2]);
        r.expectOneResetLast();
    }
}

// A framing error while channel 2's block is on its way: the unit is
// deselected, channel 3 is not asked, running mode ends.
TEST(RunningFailure, AFramingErrorDeselectsTheUnitAndEndsRunning) {
    Rig r;
    r.line.units.config().slow[2] = 0.3;
    r.spread(3);
    r.line.onYield = [&, injected = false]() mutable {
        if (!injected && r.line.port.written.size() >= 33) injected = true, r.line.port.injectErrors({.framing = 1});
    };
    r.runReads(0);
    EXPECT_TRUE(r.panel.text(Ctl::Frame_error) == "Unit 2 Frame Error" && r.panel.visible[Ctl::Frame_error]);
    EXPECT_EQ(r.panel.messages, (std::vector<std::string>{"Unit 2 will be deselected"}));
    EXPECT_FALSE(r.s->Ch_enabled[2]);
    EXPECT_EQ(r.panel.picture, (std::vector<std::string>{"clear", "plot 1 1"}));
    EXPECT_EQ(r.line.port.written,
              Cat({Cmd(frames::ParameterCommand(1, 256, 2000, 0, 0)), Request(1), Request(2), kResetThenSpeed}));
    r.expectOneResetLast();
}

// The adapter pulled during channel 2's block: running mode ends at once
// (no sweep could read anything any more) instead of sweeping for ever.
TEST(RunningFailure, ALostLineEndsRunning) {
    Rig r;
    r.line.units.config().slow[2] = 0.3;
    r.spread(3);
    r.line.onYield = [&, pulled = false]() mutable {
        if (!pulled && r.line.port.written.size() >= 33) pulled = true, r.line.port.unplug();
    };
    r.go();
    r.runUntilIdle();
    EXPECT_EQ(r.owner.activity(), Activity::Idle);
    EXPECT_EQ(r.reads, (std::vector<Read>{{1, 1, true}, {2, 2, false}}));
}

Task<void> DialogOpen(Rig& r, std::vector<std::string>& seen) {
    seen.push_back(std::to_string(r.resets()) + " reset, " + std::to_string(r.line.port.speed()) + " baud, " +
                   ActivityName(r.owner.activity()));
    co_await r.line.seconds(1);  // the operator in the dialog
}

TEST(RunningSample, ContinuousSamplingEndsRunningThenMovesToTheHighRate) {
    Rig r;
    r.spread(2);
    r.s->Baud_rate = 250000;
    std::vector<std::string> seen;
    r.panel.onTimedSampling = [&] { return DialogOpen(r, seen); };
    r.go();
    r.line.runUntil([&] { return r.reads.size() == 1; });
    r.owner.request(Command::ContinuousSampling, Activity::Timed, [&] { return r.mode.puls_sample_Click(); });
    r.runUntilIdle();
    EXPECT_EQ(seen, std::vector<std::string>{"1 reset, 1000000 baud, timed sampling"});
    const Bytes& w = r.line.port.written;
    const Bytes tail = Cat({{0xFF}, Cmd(frames::SpeedCommand(250000)), Cmd(frames::SpeedCommand(1000000))});
    EXPECT_EQ(Bytes(w.end() - tail.size(), w.end()), tail);
    EXPECT_TRUE(r.reads == (std::vector<Read>{{1, 1, true}}) && r.owner.activity() == Activity::Idle);
}

}  // namespace
}  // namespace q24
