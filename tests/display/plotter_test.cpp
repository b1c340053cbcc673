// The plotter's geometry: where the axes stand, how far samples deflect, which
// samples are drawn, and how the lobes are cut and coloured.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "display/Plotter.h"

namespace q24 {
namespace {

using Kind = PlotShape::Kind;

struct PlotterTest : ::testing::Test {
    std::unique_ptr<State> s = std::make_unique<State>();
    PlotMemory memory;
    TracePlot plot;

    void SetUp() override {
        s->N_samples = 1024;
        s->N_Geofoni = 4;
        s->Gain = 0;
    }
    void fill(int t, const std::vector<float>& v) {
        for (std::size_t k = 0; k < v.size(); ++k) s->Dati(t - 1, static_cast<int>(k)) = v[k];
    }
    void draw(int t, int style, double width = 400, double height = 1024) {
        PlotTraceGeometry(*s, t, style, width, height, memory, plot);
    }
    std::vector<PlotPoint> points(const PlotShape& shape) const {
        return {plot.begin(shape), plot.begin(shape) + shape.count};
    }
};

// Four traces on a width of 400: the line style's axes at the column centres,
// the filled styles' axes at the columns' right edges.
class AxisTest : public PlotterTest, public ::testing::WithParamInterface<std::tuple<int, double, double>> {};

TEST_P(AxisTest, AxesOfFourTracesOnAWidthOf400) {
    auto [t, centre, edge] = GetParam();
    draw(t, 1);  // an all-zero trace lies on its axis
    ASSERT_EQ(plot.shapes.size(), 1u);
    for (const PlotPoint& p : points(plot.shapes[0])) ASSERT_EQ(p.x, centre);
    EXPECT_EQ(s->Trace_spacing, 100);

    // One positive then one negative sample: the lobe closes on the axis.
    fill(t, {0, 1000, -1000, 0});
    for (int style : {2, 3}) {
        draw(t, style);
        ASSERT_FALSE(plot.shapes.empty());
        const auto lobe = points(plot.shapes[0]);
        EXPECT_EQ(lobe.front(), (PlotPoint{edge, 0}));
        EXPECT_EQ(lobe.back().x, edge);
        EXPECT_LT(lobe[1].x, edge) << "a positive sample deflects to the left";
    }
}

INSTANTIATE_TEST_SUITE_P(Columns, AxisTest,
                         ::testing::Values(std::tuple{1, 50.0, 100.0}, std::tuple{2, 150.0, 200.0},
                                           std::tuple{3, 250.0, 300.0}, std::tuple{4, 350.0, 400.0}));

TEST_F(PlotterTest, TriggerOffsetCutsTheLastSamples) {
    s->Trg_offset = 8.4f;
    draw(1, 1, 400, 1015.6);
    const auto line = points(plot.shapes.at(0));
    ASSERT_EQ(line.size(), 1016u) << "samples 0 to 1015";
    const double dy = 1015.6 / (1024 - static_cast<double>(s->Trg_offset));
    EXPECT_FLOAT_EQ(line.back().y, static_cast<float>(1015 * dy));
}

// A fixed gain and the sample that deflects by exactly one spacing.
class FixedGainTest : public PlotterTest, public ::testing::WithParamInterface<std::pair<int16_t, float>> {};

TEST_P(FixedGainTest, FullDeflectionIsOneSpacing) {
    auto [gain, counts] = GetParam();
    s->Gain = gain;
    fill(2, {counts, counts, -counts});
    draw(2, 1);
    const auto line = points(plot.shapes.at(0));
    EXPECT_EQ(line[0].x, 150 - 100);
    EXPECT_EQ(line[2].x, 150 + 100);
}

INSTANTIATE_TEST_SUITE_P(Gains, FixedGainTest,
                         ::testing::Values(std::pair<int16_t, float>{1, 8390000}, std::pair<int16_t, float>{10, 839000},
                                           std::pair<int16_t, float>{100, 83900},
                                           std::pair<int16_t, float>{1000, 8390}));

TEST_F(PlotterTest, AutomaticRangeLeavesOutTheFirstAndLastSample) {
    s->N_samples = 6;
    fill(1, {5000, 10, -30, 20, 0, -7000});
    EXPECT_DOUBLE_EQ(AmplitudeScale(*s, 1, 100, 0), 100.0 / 50);
    // The range always reaches zero: a constant trace spans 0 to its value.
    fill(1, {300, 300, 300, 300, 300, 300});
    EXPECT_DOUBLE_EQ(AmplitudeScale(*s, 1, 100, 0), 100.0 / 300);
}

TEST_F(PlotterTest, UnknownGainKeepsThePreviousScale) {
    s->Gain = 1000;
    draw(1, 1);
    const double fixed = memory.scale;
    s->Gain = 5;
    fill(2, {0, 1e6f, 0});
    draw(2, 1);
    EXPECT_EQ(memory.scale, fixed);
}

TEST_F(PlotterTest, AllZeroTrace) {
    draw(3, 1);
    EXPECT_EQ(memory.scale, 1.0);
    const auto line = points(plot.shapes.at(0));
    EXPECT_EQ(line.size(), 1024u);
    EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](auto p) { return p.x == 250; }));
    for (int style : {2, 3}) {
        draw(3, style);
        EXPECT_TRUE(plot.shapes.empty()) << "its one lobe never closes";
    }
}

TEST_F(PlotterTest, ConstantTrace) {
    std::vector<float> v(1024, 4000.f);
    fill(1, v);
    draw(1, 1);
    const auto line = points(plot.shapes.at(0));
    EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](auto p) { return p.x == 50 - 100; }))
        << "a constant trace spans the whole range and deflects one spacing";
    for (int style : {2, 3}) {
        draw(1, style);
        EXPECT_TRUE(plot.shapes.empty());
    }
}

TEST_F(PlotterTest, SineWaveLobesAlternateBlueLeftRedRight) {
    const int n = 1024;
    std::vector<float> v(n);
    for (int k = 0; k < n; ++k) v[k] = static_cast<float>(1e5 * std::sin(2 * std::numbers::pi * (k + 0.5) / 128));
    fill(2, v);
    draw(2, 2);
    ASSERT_EQ(plot.shapes.size(), 15u) << "16 half-waves, the last one still open";
    for (std::size_t i = 0; i < plot.shapes.size(); ++i) {
        const PlotShape& lobe = plot.shapes[i];
        EXPECT_EQ(lobe.kind, Kind::Polygon);
        const bool positive = i % 2 == 0;
        EXPECT_EQ(lobe.colour, positive ? kBlue : kRed) << i;
        for (const PlotPoint& p : points(lobe)) {
            if (positive) ASSERT_LE(p.x, 200) << i;
            else ASSERT_GE(p.x, 200) << i;
        }
        // Each lobe starts and ends on the axis and runs downward.
        EXPECT_EQ(points(lobe).front().x, 200);
        EXPECT_EQ(points(lobe).back().x, 200);
        EXPECT_EQ(points(lobe).back().y, std::round((64 * (i + 1))));
    }
    draw(2, 3);
    ASSERT_EQ(plot.shapes.size(), 15u);
    for (const PlotShape& lobe : plot.shapes) EXPECT_EQ(lobe.colour, kBlack);
}

// The lobe rules in their order: a sample on zero joins the lobe being
// closed, and the sign change is tested after the side rules.
TEST_F(PlotterTest, LobeRulesInTheirOrder) {
    s->N_Geofoni = 1;
    s->N_samples = 7;
    fill(1, {0, 10, 0, -10, 0, 10, 0});
    draw(1, 2, 100, 7);  // automatic scale 100 / 20 = 5, one unit per sample
    ASSERT_EQ(plot.shapes.size(), 3u);
    EXPECT_EQ(plot.shapes[0].colour, kRed);
    EXPECT_EQ(points(plot.shapes[0]), (std::vector<PlotPoint>{{100, 0}, {50, 1}, {100, 1}}));
    EXPECT_EQ(plot.shapes[1].colour, kBlue);
    EXPECT_EQ(points(plot.shapes[1]), (std::vector<PlotPoint>{{100, 1}, {100, 2}, {150, 3}, {100, 3}}));
    EXPECT_EQ(plot.shapes[2].colour, kRed);
    EXPECT_EQ(points(plot.shapes[2]), (std::vector<PlotPoint>{{100, 3}, {100, 4}, {50, 5}, {100, 5}}));
}

TEST_F(PlotterTest, LobeLongerThan16384PointsIsDrawnWhole) {
    s->N_samples = 16384;
    s->Gain = 1;
    s->Dati(0, 16382) = -1000;  // zeros up to here: two points each
    draw(1, 2, 400, 16384);
    ASSERT_EQ(plot.shapes.size(), 1u);
    EXPECT_GT(plot.shapes[0].count, 16384u * 2 - 10);
    EXPECT_EQ(plot.shapes[0].colour, kBlue);
}

TEST_F(PlotterTest, NothingIsDrawnWhenNoTraceCanBePlaced) {
    fill(1, {1, -1, 1, -1});
    struct Case {
        int t, style;
        int16_t traces;
        int32_t samples;
        float offset;
    } cases[] = {{0, 1, 4, 1024, 0}, {98, 2, 4, 1024, 0}, {1, 4, 4, 1024, 0},
                 {1, 1, 0, 1024, 0}, {1, 2, 4, 0, 0},      {1, 1, 4, 10, 10}};
    for (const Case& c : cases) {
        s->N_Geofoni = c.traces;
        s->N_samples = c.samples;
        s->Trg_offset = c.offset;
        draw(c.t, c.style);
        EXPECT_TRUE(plot.shapes.empty()) << c.t << " " << c.style << " " << c.traces;
    }
}

TEST_F(PlotterTest, NeverReadsPastTheTraceArray) {
    s->N_samples = 30000;  // more samples than a row holds
    draw(97, 1);
    EXPECT_EQ(plot.points.size(), static_cast<std::size_t>(s->Dati.cols()));
    draw(97, 2);
}

TEST_F(PlotterTest, SpacingRoundsHalfToEven) {
    draw(1, 1, 250);
    EXPECT_EQ(s->Trace_spacing, 62);
    draw(1, 1, 254);
    EXPECT_EQ(s->Trace_spacing, 64);
}

}  // namespace
}  // namespace q24
