// The acquisition parameters logic: frequency and sample-count bars, the
// pre-trigger bar and its line. (The stored values at start: startup_test.)
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "acquisition/AcqParameters.h"
#include "support/FakePanel.h"

namespace q24 {
namespace {

// The parameters' logic on a state of its own: 1024 samples at 4000 Hz.
struct Bench {
    std::unique_ptr<State> s = std::make_unique<State>();
    test::FakePanel main;
    std::unique_ptr<AcqParameters> p;
    explicit Bench(int32_t baud = 1000000, int32_t freq = 4000, int32_t samples = 1024) {
        s->N_slow = 128, s->Baud_rate_high = baud, s->Sampling_freq = freq, s->N_samples = samples, s->N_Geofoni = 12;
        p = std::make_unique<AcqParameters>(*s, main);
    }
};

// The low positions depend on the high speed.
TEST(Parameters, PositionGivesFrequencyAndInterval) {
    for (auto [pos, baud, freq, interval] :
         {std::tuple{1, 250000, 125, "8"}, {2, 250000, 125, "8"}, {3, 250000, 125, "8"}, {2, 500000, 250, "4"},
          {3, 500000, 250, "4"}, {3, 1000000, 500, "2"}, {4, 250000, 1000, "1"}, {5, 500000, 2000, "0.5"},
          {6, 250000, 4000, "0.25"}, {7, 250000, 8000, "0.125"}, {8, 250000, 16000, "0.0625"},
          {9, 1000000, 32000, "0.03125"}}) {
        Bench b(baud);
        b.p->setFreqPosition(pos == 6 ? 7 : 6);  // start elsewhere so the move runs the handler
        b.p->setFreqPosition(pos);
        EXPECT_EQ(std::tuple(b.s->Sampling_freq, b.p->captions().Sampling_rate, b.main.text(Ctl::Sampling_freq)),
                  std::tuple(freq, interval, std::to_string(freq))) << pos << " " << baud;
    }
    using P = AcqParameters;
    EXPECT_EQ(std::tuple(P::IntervalCaption(4000, ','), P::IntervalCaption(125, ','), P::IntervalCaption(0, ',')),
              std::tuple("0,25", "8", ""));
}

TEST(Parameters, PretriggerAtMostHalfTheSamples) {
    for (auto [samples, bar, expected] : {std::tuple{1024, 300, 300}, {1024, 600, 512}, {16384, 4096, 4096},
                                          {1001, 900, 500}, {0, 10, 0}}) {
        Bench b(1000000, 4000, samples);
        b.p->setPretriggerPosition(bar);
        EXPECT_EQ(std::tuple(b.s->N_pretrigger, b.p->captions().pre_camp, b.main.visible[Ctl::zero_line]),
                  std::tuple(expected, std::to_string(expected), true)) << samples;
    }
}

TEST(Parameters, PretriggerLineFollowsThePlottedSamplesAndTheBarIsRecappedOnLoading) {
    Bench b;
    b.s->Trg_offset = 24;
    b.p->pretriggerPosition();  // loaded: the line stands at 0
    b.main.zeroLine.clear();
    b.p->setPretriggerPosition(250);
    // The caption's own handler places it first; the bar's placement, which
    // counts the trigger delay like the plotter, is the one that stays.
    EXPECT_EQ(b.main.zeroLine, (std::vector<double>{250.0 / 1024, 250.0 / 1000}));
    // Recapped when the dialog loads again.
    b.p->setPretriggerPosition(400);
    b.p->Unload();
    b.s->N_samples = 256;
    EXPECT_EQ(std::tuple(b.p->pretriggerPosition(), b.s->N_pretrigger, b.p->captions().pre_camp),
              std::tuple(400, 128, "128"));
}

TEST(Parameters, LoadingShowsTheStateAndKeepsALoadedSampleCount) {
    Bench design(1000000, 32000);  // position 9, the design position
    const auto& c = design.p->captions();
    EXPECT_EQ(std::tuple(design.p->freqPosition(), c.Sampling_rate, c.Label3, c.Numero_campioni),
              std::tuple(9, "0.03125", "32000 Hz", "1024"));
    Bench low(1000000, 250, 2048);  // as a record file may leave it
    EXPECT_EQ(std::tuple(low.p->freqPosition(), low.s->N_samples, low.p->captions().VScroll1_enabled),
              std::tuple(2, 2048, false));
}

}  // namespace
}  // namespace q24
