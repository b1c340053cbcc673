// Durations, the trace-count bar, the redraw and the mouse readouts.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "display/Duration.h"
#include "display/Readout.h"
#include "display/Redraw.h"
#include "display/TraceCount.h"
#include "support/FakePanel.h"

namespace q24 {
namespace {

using test::FakePanel;

struct DurationCase {
    int32_t n, freq;
    const char *value, *unit;
    char decimal = '.';
};

class DurationTest : public ::testing::TestWithParam<DurationCase> {};

TEST_P(DurationTest, ShowsValueAndUnit) {
    const DurationCase& c = GetParam();
    const Duration d = ShowDuration(c.n, c.freq, c.decimal);
    EXPECT_EQ(d.value, c.value);
    EXPECT_EQ(d.unit, c.unit);
}

INSTANTIATE_TEST_SUITE_P(
    Records, DurationTest,
    ::testing::Values(DurationCase{1024, 4000, "256", "msec"}, DurationCase{1024, 125, "8.19", "sec"},
                      DurationCase{16384, 125, "2.18", "min"}, DurationCase{1000, 1000, "1000", "msec"},
                      DurationCase{12500, 125, "100.", "sec"},  // exactly 100000 ms
                      DurationCase{1001, 1000, "1.", "sec"}, DurationCase{1, 32000, "", "msec"},
                      DurationCase{1024, 125, "8,19", "sec", ','},
                      DurationCase{32000 * 3540, 32000, "59.", "min"}));  // n x 1000 passes 32 bits

struct DisplayLogic : ::testing::Test {
    std::unique_ptr<State> s = std::make_unique<State>();
    FakePanel panel;
};

struct CountCase {
    int32_t freq;
    int value;
    int16_t after;  // from 10 traces
};

class TraceCountTest : public DisplayLogic, public ::testing::WithParamInterface<CountCase> {};

TEST_P(TraceCountTest, FollowsTheBar) {
    const CountCase& c = GetParam();
    s->Sampling_freq = c.freq;
    s->N_Geofoni = 10;
    TraceCountChanged(*s, panel, c.value, 1000);
    EXPECT_EQ(s->N_Geofoni, c.after);
    EXPECT_EQ(panel.text(Ctl::N_Geofoni), c.after == 10 ? "" : std::to_string(c.after));
    EXPECT_EQ(s->Trace_spacing, static_cast<int32_t>(std::nearbyint(1000.0 / (c.after + 1))));
}

INSTANTIATE_TEST_SUITE_P(Bar, TraceCountTest,
                         ::testing::Values(CountCase{250, 30, 10},   // low rate: at most 24
                                           CountCase{500, 24, 24},   // 24 is allowed
                                           CountCase{500, 25, 10},   // 500 Hz counts as low
                                           CountCase{1000, 30, 30},  // high rate: any count
                                           CountCase{4000, 500, 96}  // never past the 96 positions
                                           ));

TEST_F(DisplayLogic, RedrawAllClearsThenDrawsEveryTraceWithinTheArrays) {
    s->N_Geofoni = 3;
    s->N_samples = 4;
    s->Display_mode = 2;
    s->Dati(2, 3) = 7.f;
    s->Dati(2, 4) = 9.f;  // past N_samples: not copied
    RedrawAll(*s, panel);
    EXPECT_EQ(panel.picture, (std::vector<std::string>{"clear", "plot 1 2", "plot 2 2", "plot 3 2"}));
    EXPECT_EQ(s->Traccia[3], 7.f) << "Traccia holds the last trace drawn";
    EXPECT_EQ(s->Traccia[4], 0.f);

    s->N_Geofoni = 400;  // as a damaged file could leave it
    s->N_samples = 50000;
    panel.picture.clear();
    RedrawAll(*s, panel);
    EXPECT_EQ(panel.picture.size(), 1u + 97u);
    EXPECT_EQ(panel.picture.back(), "plot 97 2");
}

TEST_F(DisplayLogic, MouseDownNamesTheLineColumn) {
    s->N_Geofoni = 4;
    for (auto [x, trace] : {std::pair{0.0, 1}, {999.9, 1}, {3000.0, 4}, {3999.0, 4}}) {
        PictureMouseDown(*s, panel, x, 4000);
        EXPECT_EQ(panel.text(Ctl::Canale), std::to_string(trace)) << x;
    }
}

// The duration shown again, and the time at the mouse's height in its unit;
// an empty duration leaves the time as it was.
TEST_F(DisplayLogic, MouseMoveShowsTheTimeAtItsHeight) {
    struct {
        int32_t n, freq;
        double y;
        char decimal;
        const char *duration, *unit, *time;
    } cases[] = {{1, 32000, 300, '.', "", "msec", "12."},
                 {1024, 4000, 150, '.', "256", "msec", "64."},
                 {1024, 125, 300, ',', "8,19", "sec", "4,1"}};
    panel.setText(Ctl::Label1, "12.");
    for (const auto& c : cases) {
        s->N_samples = c.n;
        s->Sampling_freq = c.freq;
        PictureMouseMove(*s, panel, c.y, 600, c.decimal);
        EXPECT_EQ(panel.text(Ctl::durata), c.duration);
        EXPECT_EQ(panel.text(Ctl::Label12), c.unit);
        EXPECT_EQ(panel.text(Ctl::Label1), c.time);
    }
}

}  // namespace
}  // namespace q24
