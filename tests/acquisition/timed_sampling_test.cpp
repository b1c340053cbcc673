// Timed sampling against the emulated units: the block and channel loop, what
// lands in Dati_cont, the slots' captions, failing units, the cap, the minute
// buttons, Abort and EXIT.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/Frames.h"
#include "timed_rig.h"

namespace q24 {
namespace {

using test::PatternRecord;
using test::PatternUnits;
using test::TimedRig;

void ExpectRecord(const State& s, int row, int unit) {
    const std::vector<float> want = PatternRecord(unit, s.N_samples_cont);
    ASSERT_GE(s.Dati_cont.cols(), s.N_samples_cont);
    for (int k = 0; k < s.N_samples_cont; ++k)
        ASSERT_EQ(s.Dati_cont(row, k), want[static_cast<std::size_t>(k)]) << "row " << row << " sample " << k;
}

TEST(TimedSampling, RecordsEveryCheckedSlotInWholeBlocksAtTheUnitsPace) {
    TimedRig r(PatternUnits({3, 7, 12}));
    r.spread({7, 3, 12});
    r.channelSlots.ticks[2] = false;  // slot 2 is not recorded
    r.s->Finestra_tempo = 2;
    r.mode.Prepare();
    EXPECT_EQ(r.mode.controls().Label7, "Is Latency Time of Port: 3 set to 1 msec ?");
    EXPECT_EQ(r.mode.controls().Label5, "250");
    EXPECT_EQ(r.mode.controls().Finestra_tempo_acq, "2");

    std::vector<int> progress;
    std::vector<std::pair<int, int>> order;  // (block, channel)
    bool parametersOff = true;
    r.mode.burstRead = [&](int block, int ch, int, bool ok) {
        EXPECT_TRUE(ok);
        order.emplace_back(block, ch);
        parametersOff = parametersOff && !r.panel.enabled[Ctl::parameters];
        EXPECT_FALSE(r.mode.controls().Start_acq);
        EXPECT_FALSE(r.mode.controls().Command2);
        EXPECT_TRUE(r.mode.controls().Command7);
        EXPECT_EQ(r.mode.controls().Label3, "Sampling and Reception...");
    };
    r.mode.changed = [&] {
        if (progress.empty() || progress.back() != r.mode.controls().ProgressBar1)
            progress.push_back(r.mode.controls().ProgressBar1);
    };
    r.mode.Start_acq_Click();

    // 250 Hz for 2 minutes: 30000 samples make 234 whole blocks of 128.
    EXPECT_EQ(r.s->Acq_seconds, 120);
    EXPECT_EQ(r.s->N_samples_cont, 29952);
    EXPECT_EQ(r.s->Dati_cont.rows(), 3);
    EXPECT_EQ(r.s->Dati_cont.cols(), 29952);
    ASSERT_EQ(order.size(), 2u * 234);
    for (std::size_t i = 0; i < order.size(); ++i)
        ASSERT_EQ(order[i], std::make_pair(static_cast<int>(i / 2), i % 2 ? 3 : 1)) << i;
    EXPECT_TRUE(parametersOff);

    // One parameter command (continuous, a sample count of 1), then one burst
    // request per block to each recorded unit.
    EXPECT_EQ(r.line.units.triggerMode(), 0);
    EXPECT_EQ(r.line.units.frequency(), 250);
    EXPECT_EQ(r.count(0x80 + 7), 234);
    EXPECT_EQ(r.count(0x80 + 12), 234);
    EXPECT_EQ(r.count(0x80 + 3), 0);
    // The units deliver at the sampling pace; the program keeps up with them.
    EXPECT_GE(r.line.t, 29952.0 / 250);

    ExpectRecord(*r.s, 0, 7);
    ExpectRecord(*r.s, 2, 12);
    EXPECT_TRUE(std::all_of(r.s->Dati_cont.row(1), r.s->Dati_cont.row(1) + 29952, [](float v) { return v == 0; }));
    EXPECT_EQ(r.channelSlots.captions[1], "OK");
    EXPECT_EQ(r.channelSlots.colours[1], kSlotGreen);
    EXPECT_EQ(r.channelSlots.captions[2], "");
    EXPECT_EQ(r.channelSlots.captions[3], "OK");
    double sum = 0;
    for (int k = 0; k < 29952; ++k) sum += test::PatternCount(7, k);
    EXPECT_FLOAT_EQ(r.s->Mean_cont[0], static_cast<float>(sum / 29952));

    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 100);

    // Then the save dialog, a unit reset, START again.
    EXPECT_EQ(r.saves, 1);
    const auto& w = r.line.port.written;
    const auto reset = std::find(w.begin(), w.end(), 0xFF);
    EXPECT_EQ(r.count(0xFF), 1);
    EXPECT_EQ(std::find(reset, w.end(), 0x80 + 12), w.end()) << "the reset follows the last burst";
    EXPECT_TRUE(r.panel.enabled[Ctl::parameters]);
    EXPECT_TRUE(r.mode.controls().Start_acq);
    EXPECT_TRUE(r.mode.controls().Command2);
    EXPECT_FALSE(r.mode.recording());
}

TEST(TimedSampling, AFailingUnitIsMarkedAndTheRecordingGoesOn) {
    auto c = PatternUnits({1, 2, 3});
    c.silent = {2};
    TimedRig r(std::move(c));
    r.spread({1, 2, 3});
    r.s->Sampling_freq = 125;
    r.mode.Prepare();
    int failures = 0;
    r.mode.burstRead = [&](int, int ch, int unit, bool ok) {
        EXPECT_EQ(ok, ch != 2) << ch;
        if (!ok) {
            ++failures;
            EXPECT_EQ(unit, 2);
            EXPECT_EQ(r.mode.controls().Label3, "Error on Unit2");
        }
    };
    r.mode.Start_acq_Click();
    EXPECT_EQ(r.s->N_samples_cont, 7424);  // 7500 samples, 58 whole blocks
    EXPECT_EQ(failures, 58);
    EXPECT_EQ(r.channelSlots.captions[2], "ERROR");
    EXPECT_EQ(r.channelSlots.colours[2], kSlotRed);
    EXPECT_EQ(r.channelSlots.captions[1], "OK");
    EXPECT_EQ(r.channelSlots.colours[3], kSlotGreen);
    ExpectRecord(*r.s, 0, 1);
    ExpectRecord(*r.s, 2, 3);
    EXPECT_EQ(r.mode.controls().ProgressBar1, 100);
    EXPECT_EQ(r.saves, 1);
}

struct CapCase {
    int channels;
    int32_t freq;
    int minutes;
};

class TimedCap : public ::testing::TestWithParam<CapCase> {};

TEST_P(TimedCap, MoreThan120MillionSamplesAreRefused) {
    const CapCase c = GetParam();
    TimedRig r(PatternUnits({1}));
    r.spread({1});
    r.s->N_Geofoni = static_cast<int16_t>(c.channels);
    r.s->Sampling_freq = c.freq;
    r.s->Finestra_tempo = static_cast<int16_t>(c.minutes);
    r.mode.Prepare();
    r.mode.Start_acq_Click();
    EXPECT_EQ(r.panel.messages, std::vector<std::string>{"Time set is too long !"});
    EXPECT_TRUE(r.line.port.written.empty());
    EXPECT_EQ(r.s->Dati_cont.rows(), 0);
    EXPECT_EQ(r.saves, 0);
    EXPECT_TRUE(r.mode.controls().Start_acq);
    EXPECT_FALSE(r.mode.controls().Label3_visible);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TimedCap,
                         ::testing::Values(CapCase{2, 32000, 59}, CapCase{96, 32000, 1}, CapCase{68, 500, 59}));

struct MinuteCase {
    int before;
    bool more;  // ">>" or "<<"
    int after;
};

class TimedMinutes : public ::testing::TestWithParam<MinuteCase> {};

TEST_P(TimedMinutes, ButtonsStayWithinOneTo59) {
    const MinuteCase c = GetParam();
    TimedRig r(PatternUnits({1}));
    r.s->Finestra_tempo = static_cast<int16_t>(c.before);
    r.s->N_samples = 128;
    r.s->Acq_seconds = 600;
    r.mode.Prepare();
    if (c.more) r.mode.Command5_Click();
    else r.mode.Command6_Click();
    EXPECT_EQ(r.s->Finestra_tempo, c.after);
    EXPECT_EQ(r.mode.controls().Finestra_tempo_acq, std::to_string(c.after));
    EXPECT_EQ(r.s->N_samples, 128) << "the minute buttons leave the display's sample count";
}

INSTANTIATE_TEST_SUITE_P(Edges, TimedMinutes,
                         ::testing::Values(MinuteCase{59, true, 1}, MinuteCase{1, false, 1}, MinuteCase{30, true, 31},
                                           MinuteCase{30, false, 29}, MinuteCase{58, true, 59},
                                           // a stored value out of range is brought in by the load
                                           MinuteCase{0, false, 1}, MinuteCase{200, true, 1}));

TEST(TimedSampling, AbortCancelGoesOnAndOkResetsThenEnds) {
    TimedRig r(PatternUnits({1, 2}));
    r.spread({1, 2});
    r.mode.Prepare();
    int reads = 0;
    r.panel.answers = {Answer::Cancel, Answer::Ok};
    r.mode.burstRead = [&](int, int, int, bool) {
        ++reads;
        if (reads == 10 || reads == 20) r.mode.Command7_Click();  // clicked while the recording waits
    };
    r.mode.Start_acq_Click();
    EXPECT_EQ(r.panel.questions, (std::vector<std::string>{"Abort section ?", "Abort section ?"}));
    EXPECT_EQ(reads, 20) << "the recording went on after Cancel and stopped after OK";
    EXPECT_EQ(r.count(0xFF), 1);
    EXPECT_EQ(r.ends, 1);
    EXPECT_EQ(r.saves, 0);
    EXPECT_TRUE(r.mode.aborted());
    EXPECT_FALSE(r.mode.controls().shown);
}

TEST(TimedSampling, ExitAndCloseResetWhenIdleOnly) {
    TimedRig r(PatternUnits({1}));
    r.spread({1});
    r.mode.Prepare();
    bool closedWhileRecording = true;
    r.mode.burstRead = [&](int block, int, int, bool) {
        if (block != 0) return;
        r.mode.CloseRequested();
        r.mode.Command2_Click();
        closedWhileRecording = !r.mode.controls().shown;
    };
    r.mode.Start_acq_Click();
    EXPECT_FALSE(closedWhileRecording);
    EXPECT_EQ(r.count(0xFF), 1);  // the one after the save
    r.mode.CloseRequested();
    EXPECT_FALSE(r.mode.controls().shown);
    EXPECT_EQ(r.count(0xFF), 2);
    EXPECT_EQ(r.link.pcSpeed(), 1000000);
    // Abort with nothing recording asks, resets and ends at once.
    r.panel.answers = {Answer::Ok};
    r.mode.Prepare();
    r.mode.Command7_Click();
    EXPECT_EQ(r.count(0xFF), 3);
    EXPECT_EQ(r.ends, 1);
}

TEST(TimedSampling, SaveDoneAndASecondStartBackAtTheHighRate) {
    TimedRig r(PatternUnits({1}));
    r.spread({1});
    r.s->Baud_rate = 250000;  // each reset leaves the line here
    r.link.Set_baud(1000000); // as "Continuous sampling" does
    r.mode.showSave = [&] {
        ++r.saves;
        r.mode.SaveDone();
    };
    // START clicked during the reset that follows the save is refused.
    bool clickedDuringReset = false, startShownDuringReset = true;
    r.line.onYield = [&] {
        if (!r.link.resetting() || clickedDuringReset) return;
        clickedDuringReset = true;
        startShownDuringReset = r.mode.controls().Start_acq;
        r.mode.Start_acq_Click();
    };
    r.mode.Prepare();
    r.mode.Start_acq_Click();
    r.line.onYield = nullptr;
    EXPECT_TRUE(clickedDuringReset);
    EXPECT_FALSE(startShownDuringReset);
    EXPECT_EQ(r.saves, 1);
    EXPECT_EQ(r.mode.controls().Label3, "FINE");
    EXPECT_TRUE(r.mode.controls().Label3_visible);
    EXPECT_FALSE(r.mode.controls().Command7);
    EXPECT_TRUE(r.mode.controls().Start_acq);
    EXPECT_EQ(r.link.pcSpeed(), 250000);

    std::vector<int32_t> speedsDuring;
    r.mode.burstRead = [&](int, int, int, bool ok) {
        EXPECT_TRUE(ok);
        speedsDuring.push_back(r.link.pcSpeed());
    };
    r.mode.Start_acq_Click();
    EXPECT_EQ(r.saves, 2);
    ASSERT_FALSE(speedsDuring.empty());
    EXPECT_TRUE(std::all_of(speedsDuring.begin(), speedsDuring.end(), [](int32_t b) { return b == 1000000; }));
    EXPECT_EQ(r.line.units.baud(), 250000);  // reset after the recording
}

}  // namespace
}  // namespace q24
