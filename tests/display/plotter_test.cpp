// The plotter's geometry and the pixels its shapes light.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <random>

#include "display/Plotter.h"
#include "display/Raster.h"

namespace q24 {
namespace {

using Kind = PlotShape::Kind;

struct PlotterTest : ::testing::Test {
    std::unique_ptr<State> s = std::make_unique<State>();
    PlotMemory memory;
    TracePlot plot;

    void SetUp() override { s->N_samples = 1024, s->N_Geofoni = 4, s->Gain = 0; }
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
TEST_F(PlotterTest, AxesOfFourTracesOnAWidthOf400) {
    for (auto [t, centre, edge] : {std::tuple{1, 50.0, 100.0}, {2, 150.0, 200.0}, {3, 250.0, 300.0}, {4, 350.0, 400.0}}) {
        draw(t, 1);  // an all-zero trace lies on its axis
        ASSERT_EQ(plot.shapes.size(), 1u);
        for (const PlotPoint& p : points(plot.shapes[0])) ASSERT_EQ(p.x, centre);
        // One positive then one negative sample: the lobe closes on the axis.
        fill(t, {0, 1000, -1000, 0});
        for (int style : {2, 3}) {
            draw(t, style);
            ASSERT_FALSE(plot.shapes.empty());
            const auto lobe = points(plot.shapes[0]);  // a positive sample deflects to the left
            EXPECT_TRUE(lobe.front() == (PlotPoint{edge, 0}) && lobe.back().x == edge && lobe[1].x < edge) << t;
        }
    }
}

// The fixed gains: the counts that deflect by exactly one spacing.
TEST_F(PlotterTest, FixedGainFullDeflectionIsOneSpacing) {
    for (auto [gain, counts] : {std::pair<int16_t, float>{1, 8390000}, {10, 839000}, {1000, 8390}}) {
        s->Gain = gain;
        fill(2, {counts, counts, -counts});
        draw(2, 1);
        const auto line = points(plot.shapes.at(0));
        EXPECT_EQ(std::pair(line[0].x, line[2].x), std::pair(50.0, 250.0)) << gain;
    }
}

// A zero trace stays on its axis, a constant one deflects one spacing; neither closes a lobe.
TEST_F(PlotterTest, FlatTraces) {
    for (auto [value, x] : {std::pair{0.f, 50.0}, {4000.f, 50.0 - 100}}) {
        fill(1, std::vector<float>(1024, value));
        draw(1, 1);
        const auto line = points(plot.shapes.at(0));
        EXPECT_EQ(line.size(), 1024u);
        EXPECT_TRUE(std::all_of(line.begin(), line.end(), [x = x](auto p) { return p.x == x; })) << value;
        for (int style : {2, 3}) {
            draw(1, style);
            EXPECT_TRUE(plot.shapes.empty()) << value;
        }
    }
}

TEST_F(PlotterTest, SineWaveLobesAlternateBlueLeftRedRight) {
    std::vector<float> v(1024);
    for (int k = 0; k < 1024; ++k) v[k] = static_cast<float>(1e5 * std::sin(2 * std::numbers::pi * (k + 0.5) / 128));
    fill(2, v);
    for (int style : {2, 3}) {
        draw(2, style);
        ASSERT_EQ(plot.shapes.size(), 15u) << "16 half-waves, the last one still open";
        for (std::size_t i = 0; i < plot.shapes.size(); ++i) {
            const PlotShape& lobe = plot.shapes[i];
            const bool positive = i % 2 == 0;
            EXPECT_EQ(std::pair(lobe.kind, lobe.colour),
                      std::pair(Kind::Polygon, style == 3 ? kBlack : positive ? kBlue : kRed)) << i;
            for (const PlotPoint& p : points(lobe)) ASSERT_TRUE(positive ? p.x <= 200 : p.x >= 200) << i;
            // Each lobe starts and ends on the axis and runs downward.
            EXPECT_TRUE(points(lobe).front().x == 200 && points(lobe).back() == (PlotPoint{200, 64.0 * (i + 1)})) << i;
        }
    }
}

// The lobe rules in their order: a sample on zero joins the lobe being
// closed, and the sign change is tested after the side rules.
TEST_F(PlotterTest, LobeRulesInTheirOrder) {
    s->N_Geofoni = 1, s->N_samples = 7;
    fill(1, {0, 10, 0, -10, 0, 10, 0});
    draw(1, 2, 100, 7);  // automatic scale 100 / 20 = 5, one unit per sample
    const std::pair<Rgb, std::vector<PlotPoint>> want[] = {{kRed, {{100, 0}, {50, 1}, {100, 1}}},
                                                            {kBlue, {{100, 1}, {100, 2}, {150, 3}, {100, 3}}},
                                                            {kRed, {{100, 3}, {100, 4}, {50, 5}, {100, 5}}}};
    ASSERT_EQ(plot.shapes.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(std::pair(plot.shapes[i].colour, points(plot.shapes[i])), want[i]) << i;
}

TEST_F(PlotterTest, LobeLongerThan16384PointsIsDrawnWhole) {
    s->N_samples = 16384, s->Gain = 1;
    s->Dati(0, 16382) = -1000;  // zeros up to here: two points each
    draw(1, 2, 400, 16384);
    ASSERT_EQ(plot.shapes.size(), 1u);
    EXPECT_TRUE(plot.shapes[0].count > 16384u * 2 - 10 && plot.shapes[0].colour == kBlue) << plot.shapes[0].count;
}

TEST_F(PlotterTest, NothingIsDrawnWhenNoTraceCanBePlaced) {
    fill(1, {1, -1, 1, -1});
    // trace, style, traces, samples, offset
    for (auto [t, style, n, samples, offset] : {std::tuple<int, int, int16_t, int32_t, float>{0, 1, 4, 1024, 0},
                                                {98, 2, 4, 1024, 0}, {1, 4, 4, 1024, 0}, {1, 1, 0, 1024, 0},
                                                {1, 2, 4, 0, 0}, {1, 1, 4, 10, 10}}) {
        s->N_Geofoni = n, s->N_samples = samples, s->Trg_offset = offset;
        draw(t, style);
        EXPECT_TRUE(plot.shapes.empty()) << t << " " << style << " " << n;
    }
}

TEST_F(PlotterTest, TriggerOffsetNeverReadingPastTheTraceArrayAndSpacingRoundsHalfToEven) {
    s->Trg_offset = 8.4f;
    draw(1, 1, 400, 1015.6);
    const auto line = points(plot.shapes.at(0));
    ASSERT_EQ(line.size(), 1016u) << "samples 0 to 1015";
    EXPECT_FLOAT_EQ(line.back().y, static_cast<float>(1015 * 1015.6 / (1024 - double(8.4f))));
    s->Trg_offset = 0, s->N_samples = 30000;  // more samples than a row holds
    draw(97, 1);
    EXPECT_EQ(plot.points.size(), static_cast<std::size_t>(s->Dati.cols()));
    draw(97, 2);
    for (auto [width, spacing] : {std::pair{250, 62}, {254, 64}}) {
        draw(1, 1, width);
        EXPECT_EQ(s->Trace_spacing, spacing);
    }
}

// Black polylines through the points given.
TracePlot Polylines(std::initializer_list<std::vector<PlotPoint>> lines) {
    TracePlot plot;
    for (const auto& l : lines) {
        plot.shapes.push_back({PlotShape::Kind::Polyline, kBlack, plot.points.size(), l.size()});
        plot.points.insert(plot.points.end(), l.begin(), l.end());
    }
    return plot;
}

using Canvas = std::vector<Rgb>;
constexpr Rgb kWhite{255, 255, 255};

// The runs painted in order on a white picture; a run outside it fails.
Canvas Paint(const std::vector<PixelRun>& runs, int width, int height) {
    Canvas c(static_cast<std::size_t>(width) * height, kWhite);
    for (const PixelRun& r : runs) {
        const bool inside = r.row >= 0 && r.row < height && r.x0 >= 0 && r.x0 <= r.x1 && r.x1 < width;
        EXPECT_TRUE(inside) << r.row << ": " << r.x0 << ".." << r.x1;
        if (inside) std::fill_n(c.begin() + static_cast<std::ptrdiff_t>(r.row) * width + r.x0, r.x1 - r.x0 + 1, r.colour);
    }
    return c;
}

TEST(Raster, EverythingOutsideThePictureIsCut) {
    const TracePlot plot = Polylines({{{-1e12, -5}, {-3, 2.5}, {1e15, 2.7}, {5, 9.5}, {5, 40}, {7, 1e300}},
                                      {{2, -9}, {3, -1}},
                                      {{-8, 1}, {-2, 1}},
                                      {{5, 1}, {std::nan(""), 2}}});
    Rasterizer r;
    Paint(r.runs(plot, 20, 10), 20, 10);
    EXPECT_TRUE(r.runs(plot, 0, 0).empty());
}

enum class Signal { Noise, SmallIntegers, Specials };

// The lobes straight from the rules light exactly the pixels of the
// polygon-per-lobe geometry painted lobe after lobe, in both styles.
TEST_F(PlotterTest, LobeRasterGivesThePictureOfThePolygonsOfEachLobe) {
    const struct {
        const char* name;
        Signal signal;
        int samples, traces, t, width, height;
        int16_t gain = 0;
    } cases[] = {{"dense noise", Signal::Noise, 16384, 12, 5, 300, 200},
                 {"many samples on zero", Signal::SmallIntegers, 4000, 6, 2, 300, 250},
                 {"sparse noise", Signal::Noise, 150, 4, 2, 400, 500},
                 {"infinite and not a number", Signal::Specials, 2000, 6, 3, 300, 200, 1},
                 {"deflections far outside", Signal::Noise, 2000, 4, 1, 200, 150, 1000}};
    const float special[] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::quiet_NaN(), 0.f, -0.f};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        s->N_samples = c.samples, s->N_Geofoni = static_cast<int16_t>(c.traces), s->Gain = c.gain;
        std::mt19937 rng(static_cast<unsigned>(c.samples * 31 + c.t));
        std::normal_distribution<float> noise(0, 1e5f);
        std::uniform_int_distribution<int> small(-2, 2), pick(0, 40);
        for (int k = 0; k < c.samples; ++k) {
            float& v = s->Dati(c.t - 1, k);
            if (c.signal == Signal::Noise) v = noise(rng);
            if (c.signal == Signal::SmallIntegers) v = static_cast<float>(small(rng)) * 1000;  // a fifth on zero
            if (c.signal == Signal::Specials) v = [&, p = pick(rng)] { return p < 5 ? special[p] : noise(rng); }();
        }
        for (int style : {2, 3}) {
            draw(c.t, style, c.width, c.height);
            Rasterizer polygons;
            const Canvas expected = Paint(polygons.runs(plot, c.width, c.height), c.width, c.height);
            LobeRaster lobes;
            const Canvas got = Paint(lobes.runs(LayOutTrace(*s, c.t, style, c.width, c.height, memory), c.width, c.height),
                                     c.width, c.height);
            EXPECT_TRUE(got == expected) << "style " << style << ", " << plot.shapes.size() << " lobes";
            EXPECT_TRUE(c.signal == Signal::Specials || plot.shapes.size() > 10u) << "the case must draw lobes";
        }
    }
}

}  // namespace
}  // namespace q24
