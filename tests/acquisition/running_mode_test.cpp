// Running mode against the emulated units on a simulated clock: what goes on
// the wire each tick, how long a tick waits, what lands in Dati and on the
// picture, and how STOP, a silent unit and a framing error end or spare it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "acquisition/Running.h"
#include "link/Frames.h"
#include "support/AcqRig.h"
#include "support/FakePanel.h"
#include "support/UnitsRig.h"

namespace q24 {
namespace {

using namespace q24::units;
using Bytes = std::vector<uint8_t>;

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

struct Rig : test::UnitsRig<Picture> {
    AcqParameters params;
    test::TestSlots slots;  // the slow path reads the boxes
    RunningMode mode;

    explicit Rig(UnitsConfig c = Pattern())
        : UnitsRig(std::move(c)), params(*s, panel), mode(*s, panel, link, params, slots, line.yield()) {
        panel.link = &link;
        s->Baud_rate_high = 1000000;
        s->N_slow = 128;
        s->Burst_N = 128;
        s->Trigger_unit = 1;
        s->Manual_trigger = true;
        s->Running_N = 256;
        s->Running_Fs = 2000;
        s->Display_mode = 2;
        params.setFreqPosition(6);  // 4000 Hz
        EXPECT_EQ(openLine(), 1);
    }
    void spread(int n) {
        s->N_Geofoni = static_cast<int16_t>(n);
        for (int ch = 1; ch <= n; ++ch) {
            s->Ch_param[ch] = static_cast<int16_t>(ch);
            s->Ch_enabled[ch] = true;
            if (ch <= 24) slots.texts[ch] = std::to_string(ch);
        }
    }
    long resets() const { return test::CountByte(line.port.written, 0xFF); }
};

Bytes Cmd(const frames::Command& c) { return Bytes(c.begin(), c.end()); }

// The pattern of `unit` from sample `first` on, mean over the `n` samples
// removed, as the readers leave it.
std::vector<float> PatternTrace(int unit, int first, int n) {
    std::vector<float> v(n);
    double sum = 0;
    for (int k = 0; k < n; ++k) {
        const int32_t x = PatternValue(unit, first + k);
        v[k] = static_cast<float>(x >= 0 ? x : x - 1);
        sum += v[k];
    }
    for (float& x : v) x = static_cast<float>(x - sum / n);
    return v;
}

void ExpectTrace(const State& s, int ch, const std::vector<float>& want) {
    for (std::size_t k = 0; k < want.size(); ++k)
        ASSERT_NEAR(s.Dati(ch - 1, static_cast<int>(k)), want[k], 0.5) << "channel " << ch << " sample " << k;
}

TEST(RunningFast, EachTickRecordsAtRunningFsAndDrawsEachChannelAfterItsRead) {
    Rig r;
    r.spread(3);
    r.s->Ch_enabled[2] = false;
    r.mode.puls_running_Click();
    EXPECT_TRUE(r.panel.enabled[Ctl::Timer3]);
    EXPECT_TRUE(r.line.port.written.empty());  // the ticks send the commands
    EXPECT_EQ(r.mode.path(), RunningMode::Path::Fast);

    const Bytes param = Cmd(frames::ParameterCommand(1, 256, 2000, 0, 0));
    for (int tick = 0; tick < 2; ++tick) {
        r.line.port.written.clear();
        r.panel.picture.clear();
        r.panel.readsAtPlot.clear();
        r.mode.Timer3_Timer();
        ASSERT_GE(r.line.port.written.size(), param.size());
        EXPECT_EQ(Bytes(r.line.port.written.begin(), r.line.port.written.begin() + 11), param);
        EXPECT_EQ(r.line.port.written.size(), 11u + 2 * 11u);  // one data request per selected channel
        EXPECT_EQ(r.panel.picture, (std::vector<std::string>{"clear", "plot 1 1", "plot 3 1"}));
        const uint64_t before = r.link.counters().blocks - 2;
        EXPECT_EQ(r.panel.readsAtPlot, (std::vector<uint64_t>{before + 1, before + 2}));
        EXPECT_EQ(r.panel.text(Ctl::testo), "Data Reception");
    }
    EXPECT_EQ(r.line.units.frequency(), 2000);
    EXPECT_EQ(r.line.units.sampleCount(), 256);
    EXPECT_EQ(r.line.units.triggerMode(), 0);
    ExpectTrace(*r.s, 1, PatternTrace(1, 0, 256));
    ExpectTrace(*r.s, 3, PatternTrace(3, 0, 256));
    EXPECT_EQ(r.s->Dati(1, 5), 0.0f);  // the unselected channel is left alone
    EXPECT_TRUE(r.mode.running());
    EXPECT_EQ(r.resets(), 0);
}

// How long a tick waits for the units' reply before it asks for the data.
struct WaitRow {
    int freqPosition;  // of the parameters' frequency bar
    int16_t runningN, runningFs;
    double wait;       // seconds from the parameter command to the first data request
};

class RunningWait : public ::testing::TestWithParam<WaitRow> {};

TEST_P(RunningWait, TheReplyOrTheLimitEndsTheWait) {
    const WaitRow w = GetParam();
    Rig r;
    r.spread(1);
    r.params.setFreqPosition(w.freqPosition);
    r.s->Running_N = w.runningN;
    r.s->Running_Fs = w.runningFs;
    r.mode.puls_running_Click();
    double requestAt = -1;  // when the first data request follows the parameter command
    r.line.onYield = [&] {
        if (requestAt < 0 && r.line.port.written.size() > 11) requestAt = r.line.t;
    };
    const double t0 = r.line.t;
    r.mode.Timer3_Timer();
    ASSERT_GT(requestAt, 0);
    EXPECT_NEAR(requestAt - t0, w.wait, 2e-3);
    EXPECT_EQ(r.panel.picture.back(), "plot 1 1");  // read all the same
}

INSTANTIATE_TEST_SUITE_P(
    Limits, RunningWait,
    ::testing::Values(WaitRow{6, 256, 2000, 256.0 / 2000},       // the reply, after the recording
                      WaitRow{6, 256, 125, 256.0 / 4000 + 0.5},  // 0.564 s: the limit uses Sampling_freq
                      WaitRow{4, 512, 125, 512.0 / 1000 + 0.5}));

TEST(RunningSlow, OneCommandThenABurstPerChannelEachTick) {
    Rig r(Pattern({1, 2}));
    r.spread(2);
    r.params.setFreqPosition(5);
    r.s->Sampling_freq = 250;  // a loaded file's rate, the bar still at 2000
    r.panel.texts[Ctl::testo] = "old";
    r.mode.puls_running_Click();
    EXPECT_EQ(r.s->Sampling_freq, 250);
    EXPECT_EQ(r.mode.path(), RunningMode::Path::Slow);
    EXPECT_TRUE(r.panel.enabled[Ctl::Timer2]);
    EXPECT_EQ(r.s->N_samples, 128);
    EXPECT_EQ(r.line.port.written, Cmd(frames::ParameterCommand(1, 128, 250, 0, 0)));
    EXPECT_EQ(r.panel.text(Ctl::testo), "");
    for (int tick = 0; tick < 2; ++tick) {
        r.line.port.written.clear();
        r.panel.picture.clear();
        r.mode.Timer2_Timer();
        // Running mode's burst request is 0x80 + unit / 128: the units answer in turn.
        EXPECT_EQ(r.line.port.written, (Bytes{0x80, 0x80}));
        EXPECT_EQ(r.panel.picture, (std::vector<std::string>{"clear", "plot 1 1", "plot 2 1"}));
        ExpectTrace(*r.s, 1, PatternTrace(1, 128 * tick, 128));
        ExpectTrace(*r.s, 2, PatternTrace(2, 128 * tick, 128));
    }
    // The bursts come as the units record them: 128 samples at 250 Hz each.
    EXPECT_GE(r.line.t, 2 * 128.0 / 250);
    r.mode.fine_loop();
    r.line.port.written.clear();
    r.mode.Timer2_Timer();
    EXPECT_FALSE(r.panel.enabled[Ctl::Timer2]);
    EXPECT_EQ(r.line.port.written.front(), 0xFF);
    EXPECT_FALSE(r.mode.running());
}

TEST(RunningStop, StopWhileTheReplyIsAwaitedResetsAndReadsNothing) {
    UnitsConfig c = Pattern();
    Rig r(c);
    r.spread(3);
    r.s->Running_Fs = 125;  // the recording outlasts the stop
    r.mode.puls_running_Click();
    const double t0 = r.line.t;
    r.line.onYield = [&] {
        if (r.line.t > t0 + 0.2 && r.s->Stop_req == 0) r.mode.fine_loop();
    };
    r.mode.Timer3_Timer();
    EXPECT_EQ(r.panel.text(Ctl::testo), "");
    EXPECT_FALSE(r.panel.enabled[Ctl::Timer3]);
    EXPECT_EQ(r.resets(), 1);
    EXPECT_EQ(r.link.counters().blocks, 0u);
    EXPECT_EQ(r.panel.picture, std::vector<std::string>{});
    EXPECT_FALSE(r.mode.running());
    EXPECT_LT(r.line.t - t0, 0.2 + 6);  // the stop is seen at once, then the reset
}

TEST(RunningFailure, ASilentUnitIsNamedAndTheOthersGoOn) {
    UnitsConfig c = Pattern({1, 2, 3});
    c.silent = {2};
    Rig r(c);
    r.spread(3);
    r.mode.puls_running_Click();
    r.mode.Timer3_Timer();
    EXPECT_EQ(r.panel.text(Ctl::Unita_errata1), "Unit 2 not working");
    EXPECT_TRUE(r.panel.visible[Ctl::Unita_errata1]);
    EXPECT_EQ(r.panel.picture, (std::vector<std::string>{"clear", "plot 1 1", "plot 3 1"}));
    ExpectTrace(*r.s, 3, PatternTrace(3, 0, 256));
    EXPECT_TRUE(r.s->Ch_enabled[2]);
    EXPECT_TRUE(r.mode.running());
    EXPECT_EQ(r.resets(), 0);
}

// A framing error while channel 2's block is on its way; channel 3's read
// then abandons running mode.
TEST(RunningFailure, AFramingErrorDeselectsTheChannelAndStopsRunning) {
    UnitsConfig c = Pattern();
    c.slow[2] = 0.3;
    Rig r(c);
    r.spread(3);
    r.mode.puls_running_Click();
    r.line.onYield = [&, injected = false]() mutable {
        if (!injected && r.line.port.written.size() >= 11u + 2 * 11u) injected = true, r.line.port.injectErrors({.framing = 1});
    };
    r.mode.Timer3_Timer();
    EXPECT_EQ(r.panel.text(Ctl::Frame_error), "Unit 2 Frame Error");
    EXPECT_EQ(r.panel.messages, (std::vector<std::string>{"Unit 2 will be deselected"}));
    EXPECT_FALSE(r.s->Ch_enabled[2]);
    EXPECT_EQ(r.panel.picture, (std::vector<std::string>{"clear", "plot 1 1"}));
    EXPECT_FALSE(r.panel.enabled[Ctl::Timer3]);
    EXPECT_EQ(r.resets(), 1);
    EXPECT_FALSE(r.mode.running());
}

TEST(RunningSample, ContinuousSamplingStopsRunningAndMovesToTheHighRate) {
    Rig r;
    r.spread(1);
    r.mode.puls_sample_Click();  // no dialog wired: the line stays as it is
    EXPECT_TRUE(r.line.port.written.empty());
    int opened = 0;
    r.mode.openTimedSampling = [&] {
        ++opened;
        EXPECT_EQ(r.line.port.speed(), 1000000);
        EXPECT_EQ(r.line.units.baud(), 1000000);
    };
    r.mode.puls_sample_Click();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(r.line.port.written, Cmd(frames::SpeedCommand(1000000)));
}

}  // namespace
}  // namespace q24
