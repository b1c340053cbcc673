// Durations, the trace-count bar, the redraw and the mouse readouts.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "display/Duration.h"
#include "display/Readout.h"
#include "display/Redraw.h"
#include "display/TraceCount.h"
#include "support/FakePanel.h"

namespace q24 {
namespace {

struct DisplayLogic : ::testing::Test {
    std::unique_ptr<State> s = std::make_unique<State>();
    test::FakePanel panel;
};

TEST(Duration, ShowsValueAndUnit) {
    for (auto [n, freq, value, unit, decimal] :
         {std::tuple{1024, 4000, "256", "msec", '.'}, {1024, 125, "8.19", "sec", '.'}, {16384, 125, "2.18", "min", '.'},
          {1000, 1000, "1000", "msec", '.'}, {12500, 125, "100.", "sec", '.'} /* exactly 100000 ms */,
          {1001, 1000, "1.", "sec", '.'}, {1, 32000, "", "msec", '.'}, {1024, 125, "8,19", "sec", ','},
          {32000 * 3540, 32000, "59.", "min", '.'} /* n x 1000 passes 32 bits */}) {
        const Duration d = ShowDuration(n, freq, decimal);
        EXPECT_EQ(std::tuple(d.value, d.unit), std::tuple(value, unit)) << n << " at " << freq;
    }
}

// From 10 traces: at most 24 at the low rates (500 Hz counts as low), any
// count at the high ones, never past the 96 positions.
TEST_F(DisplayLogic, TraceCountFollowsTheBar) {
    // rate, bar, traces after, spacing on a width of 1000
    for (auto [freq, value, after, spacing] :
         {std::tuple{250, 30, 10, 91}, {500, 24, 24, 40}, {500, 25, 10, 91}, {1000, 30, 30, 32}, {4000, 500, 96, 10}}) {
        s->Sampling_freq = freq, s->N_Geofoni = 10;
        panel.texts.clear();
        TraceCountChanged(*s, panel, value, 1000);
        EXPECT_EQ(std::tuple(s->N_Geofoni, panel.text(Ctl::N_Geofoni), s->Trace_spacing),
                  std::tuple(after, after == 10 ? "" : std::to_string(after), spacing))
            << freq << " " << value;
    }
}

TEST_F(DisplayLogic, RedrawAllClearsThenDrawsEveryTraceWithinTheArrays) {
    s->N_Geofoni = 3, s->N_samples = 4, s->Display_mode = 2;
    s->Dati(2, 3) = 7.f, s->Dati(2, 4) = 9.f;  // past N_samples: not copied
    RedrawAll(*s, panel);
    EXPECT_EQ(panel.picture, (std::vector<std::string>{"clear", "plot 1 2", "plot 2 2", "plot 3 2"}));
    // Traccia holds the last trace drawn.
    EXPECT_EQ(std::pair(s->Traccia[3], s->Traccia[4]), std::pair(7.f, 0.f));

    s->N_Geofoni = 400, s->N_samples = 50000;  // as a damaged file could leave them
    panel.picture.clear();
    RedrawAll(*s, panel);
    EXPECT_EQ(std::tuple(panel.picture.size(), panel.picture.back()), std::tuple(98u, "plot 97 2"));
}

// Mouse down names the line's column; a move shows the duration again and
// the time at the mouse's height in its unit (an empty duration leaves the
// time as it was).
TEST_F(DisplayLogic, MouseReadouts) {
    s->N_Geofoni = 4;
    for (auto [x, trace] : {std::pair{0.0, 1}, {999.9, 1}, {3000.0, 4}, {3999.0, 4}}) {
        PictureMouseDown(*s, panel, x, 4000);
        EXPECT_EQ(panel.text(Ctl::Canale), std::to_string(trace)) << x;
    }
    panel.setText(Ctl::Label1, "12.");
    for (auto [n, freq, y, decimal, duration, unit, time] :
         {std::tuple{1, 32000, 300.0, '.', "", "msec", "12."}, {1024, 4000, 150.0, '.', "256", "msec", "64."},
          {1024, 125, 300.0, ',', "8,19", "sec", "4,1"}}) {
        s->N_samples = n, s->Sampling_freq = freq;
        PictureMouseMove(*s, panel, y, 600, decimal);
        EXPECT_EQ(std::tuple(panel.text(Ctl::durata), panel.text(Ctl::Label12), panel.text(Ctl::Label1)),
                  std::tuple(duration, unit, time));
    }
}

}  // namespace
}  // namespace q24
