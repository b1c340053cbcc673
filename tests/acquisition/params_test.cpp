// The acquisition parameters logic: frequency and sample-count bars, the
// pre-trigger bar and its line, the edge options and the stored values.
#include <gtest/gtest.h>

#include <memory>

#include "acquisition/Parameters.h"
#include "support/FakePanel.h"

namespace q24 {
namespace {

using test::FakePanel;

struct Fixture : ::testing::Test {
    std::unique_ptr<State> s = std::make_unique<State>();
    FakePanel main;
    AcqParameters p{*s, main};

    void SetUp() override {
        s->N_slow = 128;
        s->Baud_rate_high = 1000000;
        s->Sampling_freq = 4000;
        s->N_samples = 1024;
        s->N_Geofoni = 12;
    }
};

struct FreqRow {
    int pos, baud, freq;
    const char* interval;
};

class FrequencyTable : public ::testing::TestWithParam<FreqRow> {};

TEST_P(FrequencyTable, PositionGivesFrequencyAndInterval) {
    const FreqRow r = GetParam();
    auto s = std::make_unique<State>();
    FakePanel main;
    s->Baud_rate_high = r.baud;
    s->Sampling_freq = 4000;
    s->N_samples = 1024;
    s->N_slow = 128;
    AcqParameters p(*s, main);
    p.setFreqPosition(r.pos == 6 ? 7 : 6);  // start elsewhere so the move runs the handler
    p.setFreqPosition(r.pos);
    EXPECT_EQ(s->Sampling_freq, r.freq);
    EXPECT_EQ(p.captions().Sampling_rate, r.interval);
    EXPECT_EQ(main.text(Ctl::Sampling_freq), std::to_string(r.freq));
}

INSTANTIATE_TEST_SUITE_P(Parametri, FrequencyTable,
                         ::testing::Values(FreqRow{1, 250000, 125, "8"}, FreqRow{2, 250000, 125, "8"},
                                           FreqRow{3, 250000, 125, "8"}, FreqRow{2, 500000, 250, "4"},
                                           FreqRow{3, 500000, 250, "4"}, FreqRow{3, 1000000, 500, "2"},
                                           FreqRow{4, 250000, 1000, "1"}, FreqRow{5, 500000, 2000, "0.5"},
                                           FreqRow{6, 250000, 4000, "0.25"}, FreqRow{7, 250000, 8000, "0.125"},
                                           FreqRow{8, 250000, 16000, "0.0625"},
                                           FreqRow{9, 1000000, 32000, "0.03125"}));

TEST(Parameters, IntervalUsesTheRegionalSeparator) {
    EXPECT_EQ(AcqParameters::IntervalCaption(4000, ','), "0,25");
    EXPECT_EQ(AcqParameters::IntervalCaption(125, ','), "8");
    EXPECT_EQ(AcqParameters::IntervalCaption(0, ','), "");
}

TEST_F(Fixture, UnknownHighSpeedKeepsTheFrequencyButStillSlowsDown) {
    s->Baud_rate_high = 115200;
    p.setFreqPosition(2);
    EXPECT_EQ(s->Sampling_freq, 4000);
    EXPECT_EQ(s->N_samples, 128);
    EXPECT_FALSE(main.enabled[Ctl::Toolbar2]);
}

TEST_F(Fixture, SamePositionRunsNothing) {
    p.setSamplesPosition(10);
    main.texts.clear();
    s->N_samples = 777;
    p.setSamplesPosition(10);
    p.setFreqPosition(p.freqPosition());
    p.setPretriggerPosition(0);
    EXPECT_EQ(s->N_samples, 777);
    EXPECT_TRUE(main.texts.empty());
}

struct PreRow {
    int32_t samples;
    int bar, expected;
};

class PretriggerCap : public ::testing::TestWithParam<PreRow> {};

TEST_P(PretriggerCap, AtMostHalfTheSamples) {
    const PreRow r = GetParam();
    auto s = std::make_unique<State>();
    FakePanel main;
    s->N_samples = r.samples;
    s->Sampling_freq = 4000;
    AcqParameters p(*s, main);
    p.setPretriggerPosition(r.bar);
    EXPECT_EQ(s->N_pretrigger, r.expected);
    EXPECT_EQ(p.captions().pre_camp, std::to_string(r.expected));
    EXPECT_TRUE(main.visible[Ctl::zero_line]);
}

INSTANTIATE_TEST_SUITE_P(Parametri, PretriggerCap,
                         ::testing::Values(PreRow{1024, 600, 512}, PreRow{128, 100, 64}, PreRow{1024, 300, 300},
                                           PreRow{16384, 5000, 4096}, PreRow{1001, 900, 500}, PreRow{0, 10, 0}));

TEST_F(Fixture, PretriggerLineFollowsThePlottedSamples) {
    s->Trg_offset = 24;
    p.pretriggerPosition();  // loaded: the line stands at 0
    main.zeroLine.clear();
    p.setPretriggerPosition(250);
    // The caption's own handler places it first; the bar's placement, which
    // counts the trigger delay like the plotter, is the one that stays.
    ASSERT_EQ(main.zeroLine.size(), 2u);
    EXPECT_DOUBLE_EQ(main.zeroLine[0], 250.0 / 1024);
    EXPECT_DOUBLE_EQ(main.zeroLine[1], 250.0 / 1000);
}

TEST_F(Fixture, PretriggerRecappedWhenTheDialogLoadsAgain) {
    p.setPretriggerPosition(400);
    p.Unload();
    s->N_samples = 256;
    EXPECT_EQ(p.pretriggerPosition(), 400);
    EXPECT_EQ(s->N_pretrigger, 128);
    EXPECT_EQ(p.captions().pre_camp, "128");
}

TEST_F(Fixture, ReloadShowsTheStateEvenAtTheDesignPosition) {
    s->Sampling_freq = 32000;  // position 9, the design position
    EXPECT_EQ(p.freqPosition(), 9);
    EXPECT_EQ(p.captions().Sampling_rate, "0.03125");
    EXPECT_EQ(p.captions().Label3, "32000 Hz");
    EXPECT_EQ(p.captions().Numero_campioni, "1024");
}

TEST_F(Fixture, LoadingKeepsALoadedSampleCountAtLowRates) {
    s->Sampling_freq = 250;  // as a record file may leave it
    s->N_samples = 2048;
    EXPECT_EQ(p.freqPosition(), 2);
    EXPECT_EQ(s->N_samples, 2048);
    EXPECT_FALSE(p.captions().VScroll1_enabled);
}

struct StoredRow {
    int32_t freq, samples, expectFreq, expectSamples;
};

class StoredParameters : public ::testing::TestWithParam<StoredRow> {};

TEST_P(StoredParameters, HonouredOnlyWhenTheBarsHaveThem) {
    const StoredRow r = GetParam();
    auto s = std::make_unique<State>();
    FakePanel main;
    s->N_slow = 128;
    s->Baud_rate_high = 250000;
    s->Sampling_freq = r.freq;
    s->N_samples = r.samples;
    AcqParameters p(*s, main);
    ApplyStoredParameters(*s, p, main);
    EXPECT_EQ(s->Sampling_freq, r.expectFreq);
    EXPECT_EQ(s->N_samples, r.expectSamples);
    EXPECT_FALSE(main.enabled[Ctl::puls_sample]);  // the program starts at a high rate
}

INSTANTIATE_TEST_SUITE_P(Startup, StoredParameters,
                         ::testing::Values(StoredRow{8000, 8192, 8000, 8192},
                                           StoredRow{4000, 128, 4000, 256},
                                           StoredRow{1000, 32768, 1000, 256},
                                           StoredRow{32000, 16384, 32000, 16384},
                                           StoredRow{3000, 512, 32000, 512}));

}  // namespace
}  // namespace q24
