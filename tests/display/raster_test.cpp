// Pixel runs of the trace geometry: which pixels each shape lights, cut to
// the picture, in drawing order; and the filled styles drawn straight from
// the lobe rules, against the polygons of each lobe.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include "display/Raster.h"

namespace q24 {
namespace {

constexpr auto Line = PlotShape::Kind::Polyline;
constexpr auto Polygon = PlotShape::Kind::Polygon;

struct Shape {
    PlotShape::Kind kind;
    std::vector<PlotPoint> points;
    Rgb colour = kBlack;
};

TracePlot Shapes(const std::vector<Shape>& shapes) {
    TracePlot plot;
    for (const Shape& s : shapes) {
        plot.shapes.push_back({s.kind, s.colour, plot.points.size(), s.points.size()});
        plot.points.insert(plot.points.end(), s.points.begin(), s.points.end());
    }
    return plot;
}

// Shapes on a picture of 20 x 10 and the runs they light, row by row (runs of
// one row in painting order).
struct RunCase {
    const char* name;
    std::vector<Shape> shapes;
    std::vector<PixelRun> runs;
};

class RasterTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(RasterTest, LightsThePixelsOfEachRow) {
    Rasterizer r;
    std::vector<PixelRun> runs = r.runs(Shapes(GetParam().shapes), 20, 10);
    std::stable_sort(runs.begin(), runs.end(), [](auto& a, auto& b) { return a.row < b.row; });
    EXPECT_EQ(runs, GetParam().runs);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, RasterTest,
    ::testing::Values(
        // Four samples in row 2, then two in row 3, which starts where the
        // segment from (6, 2.9) enters it, at x = 5.33.
        RunCase{"dense_line",
                {{Line, {{5.5, 2.0}, {3.2, 2.3}, {8.9, 2.6}, {6.0, 2.9}, {4.0, 3.2}, {4.5, 3.5}}}},
                {{2, 3, 8, kBlack}, {3, 4, 5, kBlack}}},
        RunCase{"steep_line_end_point_included",
                {{Line, {{4.5, 0}, {4.5, 2}}}},
                {{0, 4, 4, kBlack}, {1, 4, 4, kBlack}, {2, 4, 4, kBlack}}},
        RunCase{"sloped_line_split_at_row_edges", {{Line, {{0, 0}, {9.99, 1.999}}}}, {{0, 0, 4, kBlack}, {1, 4, 9, kBlack}}},
        RunCase{"lobe_between_axis_and_outline",
                {{Polygon, {{10, 0}, {7, 1}, {4, 2}, {10, 3}}, kBlue}},
                {{0, 7, 10, kBlue}, {1, 4, 10, kBlue}, {2, 4, 10, kBlue}, {3, 10, 10, kBlue}}},
        // The later lobe paints the shared axis pixel.
        RunCase{"shapes_keep_their_order",
                {{Polygon, {{10, 4}, {6, 4}, {10, 4}}, kBlue}, {Polygon, {{10, 4}, {14, 4}, {10, 4}}, kRed}},
                {{4, 6, 10, kBlue}, {4, 10, 14, kRed}}}),
    [](const auto& info) { return std::string(info.param.name); });

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
    const TracePlot plot = Shapes({{Line, {{-1e12, -5}, {-3, 2.5}, {1e15, 2.7}, {5, 9.5}, {5, 40}, {7, 1e300}}},
                                   {Line, {{2, -9}, {3, -1}}},
                                   {Line, {{-8, 1}, {-2, 1}}},
                                   {Line, {{5, 1}, {std::nan(""), 2}}}});
    Rasterizer r;
    Paint(r.runs(plot, 20, 10), 20, 10);
    EXPECT_TRUE(r.runs(plot, 0, 0).empty());
}

// ---- The filled styles straight from the lobe rules ----

enum class Signal { Noise, SmallIntegers, ZeroRuns, Sine, Specials };

struct Case {
    const char* name;
    Signal signal;
    int samples, traces, t, width, height;
    int16_t gain = 0;
    float offset = 0;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

void Fill(State& s, const Case& c) {
    std::mt19937 rng(static_cast<unsigned>(c.samples * 31 + c.t));
    std::normal_distribution<float> noise(0, 1e5f);
    std::uniform_int_distribution<int> small(-2, 2), pick(0, 40);
    float* row = s.Dati.row(c.t - 1);
    for (int k = 0; k < c.samples; ++k) {
        float& v = row[k];
        switch (c.signal) {
            case Signal::Noise: v = noise(rng); break;
            case Signal::SmallIntegers: v = static_cast<float>(small(rng)) * 1000; break;  // a fifth on zero
            case Signal::ZeroRuns: v = (k / 7) % 3 == 0 ? 0.f : noise(rng); break;
            case Signal::Sine: v = static_cast<float>(1e5 * std::sin(k * 0.05)); break;
            case Signal::Specials: {
                const float special[] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                                         std::numeric_limits<float>::quiet_NaN(), 0.f, -0.f};
                const int p = pick(rng);
                v = p < 5 ? special[p] : noise(rng);
                break;
            }
        }
    }
}

class LobeRasterTest : public ::testing::TestWithParam<Case> {};

// The lobes straight from the rules light exactly the pixels of the
// polygon-per-lobe geometry painted lobe after lobe, in both styles.
TEST_P(LobeRasterTest, SamePictureAsThePolygonsOfEachLobe) {
    const Case& c = GetParam();
    auto s = std::make_unique<State>();
    s->N_samples = c.samples;
    s->N_Geofoni = static_cast<int16_t>(c.traces);
    s->Gain = c.gain;
    s->Trg_offset = c.offset;
    Fill(*s, c);
    for (int style : {2, 3}) {
        PlotMemory memory, memory2;
        TracePlot plot;
        PlotTraceGeometry(*s, c.t, style, c.width, c.height, memory, plot);
        Rasterizer polygons;
        const Canvas expected = Paint(polygons.runs(plot, c.width, c.height), c.width, c.height);
        const TraceLayout layout = LayOutTrace(*s, c.t, style, c.width, c.height, memory2);
        LobeRaster lobes;
        const Canvas got = Paint(lobes.runs(layout, c.width, c.height), c.width, c.height);
        long differ = 0;
        for (std::size_t i = 0; i < got.size(); ++i) differ += !(got[i] == expected[i]);
        EXPECT_EQ(differ, 0) << "style " << style << ", " << plot.shapes.size() << " lobes";
        if (c.signal == Signal::Noise || c.signal == Signal::SmallIntegers) {
            EXPECT_GT(plot.shapes.size(), 10u) << "the case must draw lobes";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Traces, LobeRasterTest,
    ::testing::Values(Case{"dense_noise", Signal::Noise, 16384, 12, 5, 300, 200},
                      Case{"sparse_noise_rows_between_samples", Signal::Noise, 150, 4, 2, 400, 500},
                      Case{"about_one_sample_a_row", Signal::Noise, 600, 4, 3, 400, 590},
                      Case{"many_samples_on_zero", Signal::SmallIntegers, 4000, 6, 2, 300, 250},
                      Case{"sparse_samples_on_zero", Signal::SmallIntegers, 120, 6, 4, 300, 400},
                      Case{"runs_of_zeros", Signal::ZeroRuns, 3000, 6, 6, 300, 180},
                      Case{"infinite_and_not_a_number", Signal::Specials, 2000, 6, 3, 300, 200, 1},
                      Case{"deflections_far_outside", Signal::Noise, 2000, 4, 1, 200, 150, 1000},
                      Case{"trigger_offset", Signal::Sine, 1024, 4, 2, 400, 300, 0, 8.4f},
                      Case{"axis_on_the_right_edge", Signal::Noise, 1000, 4, 4, 400, 100},
                      Case{"three_rows", Signal::Noise, 500, 4, 2, 100, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LobeRaster, NothingWithoutATraceOrAPicture) {
    auto s = std::make_unique<State>();
    s->N_samples = 100;
    s->N_Geofoni = 2;
    s->Dati(0, 3) = 5e5f;
    s->Dati(0, 4) = -5e5f;
    PlotMemory memory;
    LobeRaster lobes;
    EXPECT_FALSE(lobes.runs(LayOutTrace(*s, 1, 2, 200, 100, memory), 200, 100).empty());
    for (auto [t, width, height] : {std::tuple{1, 0, 100}, {1, 200, 0}, {99, 200, 100}})
        EXPECT_TRUE(lobes.runs(LayOutTrace(*s, t, 2, 200, 100, memory), width, height).empty()) << t << width << height;
    s->N_samples = 1;  // sample 0 only: no lobe can close
    EXPECT_TRUE(lobes.runs(LayOutTrace(*s, 1, 2, 200, 100, memory), 200, 100).empty());
}

}  // namespace
}  // namespace q24
