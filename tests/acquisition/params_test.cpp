// The acquisition parameters logic: frequency and sample-count bars, the
// pre-trigger bar and its line, and the stored values.
#include <gtest/gtest.h>

#include <memory>

#include "acquisition/Parameters.h"
#include "support/FakePanel.h"

namespace q24 {
namespace {

// The parameters' logic on a state of its own: 1024 samples at 4000 Hz.
struct Bench {
    std::unique_ptr<State> s = std::make_unique<State>();
    test::FakePanel main;
    std::unique_ptr<AcqParameters> p;
    explicit Bench(int32_t baud = 1000000, int32_t freq = 4000, int32_t samples = 1024) {
        s->N_slow = 128;
        s->Baud_rate_high = baud;
        s->Sampling_freq = freq;
        s->N_samples = samples;
        s->N_Geofoni = 12;
        p = std::make_unique<AcqParameters>(*s, main);
    }
};

struct FreqRow {
    int pos, baud, freq;
    const char* interval;
};

class FrequencyTable : public ::testing::TestWithParam<FreqRow> {};

TEST_P(FrequencyTable, PositionGivesFrequencyAndInterval) {
    const FreqRow r = GetParam();
    Bench b(r.baud);
    b.p->setFreqPosition(r.pos == 6 ? 7 : 6);  // start elsewhere so the move runs the handler
    b.p->setFreqPosition(r.pos);
    EXPECT_EQ(b.s->Sampling_freq, r.freq);
    EXPECT_EQ(b.p->captions().Sampling_rate, r.interval);
    EXPECT_EQ(b.main.text(Ctl::Sampling_freq), std::to_string(r.freq));
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

// The dialog's tests take 1024 and 128 samples; these are the odd counts.
struct PreRow {
    int32_t samples;
    int bar, expected;
};

class PretriggerCap : public ::testing::TestWithParam<PreRow> {};

TEST_P(PretriggerCap, AtMostHalfTheSamples) {
    const PreRow r = GetParam();
    Bench b(1000000, 4000, r.samples);
    b.p->setPretriggerPosition(r.bar);
    EXPECT_EQ(b.s->N_pretrigger, r.expected);
    EXPECT_EQ(b.p->captions().pre_camp, std::to_string(r.expected));
    EXPECT_TRUE(b.main.visible[Ctl::zero_line]);
}

INSTANTIATE_TEST_SUITE_P(Parametri, PretriggerCap,
                         ::testing::Values(PreRow{1024, 300, 300}, PreRow{1001, 900, 500}, PreRow{0, 10, 0}));

TEST(Parameters, PretriggerLineFollowsThePlottedSamples) {
    Bench b;
    b.s->Trg_offset = 24;
    b.p->pretriggerPosition();  // loaded: the line stands at 0
    b.main.zeroLine.clear();
    b.p->setPretriggerPosition(250);
    // The caption's own handler places it first; the bar's placement, which
    // counts the trigger delay like the plotter, is the one that stays.
    ASSERT_EQ(b.main.zeroLine.size(), 2u);
    EXPECT_DOUBLE_EQ(b.main.zeroLine[0], 250.0 / 1024);
    EXPECT_DOUBLE_EQ(b.main.zeroLine[1], 250.0 / 1000);
}

TEST(Parameters, PretriggerRecappedWhenTheDialogLoadsAgain) {
    Bench b;
    b.p->setPretriggerPosition(400);
    b.p->Unload();
    b.s->N_samples = 256;
    EXPECT_EQ(b.p->pretriggerPosition(), 400);
    EXPECT_EQ(b.s->N_pretrigger, 128);
    EXPECT_EQ(b.p->captions().pre_camp, "128");
}

TEST(Parameters, LoadingShowsTheStateAndKeepsALoadedSampleCount) {
    Bench design(1000000, 32000);  // position 9, the design position
    EXPECT_EQ(design.p->freqPosition(), 9);
    EXPECT_EQ(design.p->captions().Sampling_rate, "0.03125");
    EXPECT_EQ(design.p->captions().Label3, "32000 Hz");
    EXPECT_EQ(design.p->captions().Numero_campioni, "1024");
    Bench low(1000000, 250, 2048);  // as a record file may leave it
    EXPECT_EQ(low.p->freqPosition(), 2);
    EXPECT_EQ(low.s->N_samples, 2048);
    EXPECT_FALSE(low.p->captions().VScroll1_enabled);
}

struct StoredRow {
    int32_t freq, samples, expectFreq, expectSamples;
};

class StoredParameters : public ::testing::TestWithParam<StoredRow> {};

TEST_P(StoredParameters, HonouredOnlyWhenTheBarsHaveThem) {
    const StoredRow r = GetParam();
    Bench b(250000, r.freq, r.samples);
    ApplyStoredParameters(*b.s, *b.p, b.main);
    EXPECT_EQ(b.s->Sampling_freq, r.expectFreq);
    EXPECT_EQ(b.s->N_samples, r.expectSamples);
    EXPECT_FALSE(b.main.enabled[Ctl::puls_sample]);  // the program starts at a high rate
}

INSTANTIATE_TEST_SUITE_P(Startup, StoredParameters,
                         ::testing::Values(StoredRow{8000, 8192, 8000, 8192}, StoredRow{4000, 128, 4000, 256},
                                           StoredRow{1000, 32768, 1000, 256}, StoredRow{32000, 16384, 32000, 16384},
                                           StoredRow{3000, 512, 32000, 512}));

}  // namespace
}  // namespace q24
