// Pixel runs of the trace geometry: which pixels each shape lights, cut to
// the picture, in drawing order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "display/Raster.h"

namespace q24 {
namespace {

TracePlot Shapes(std::initializer_list<std::pair<PlotShape::Kind, std::vector<PlotPoint>>> shapes, Rgb colour = kBlack) {
    TracePlot plot;
    for (const auto& [kind, points] : shapes) {
        plot.shapes.push_back({kind, colour, plot.points.size(), points.size()});
        plot.points.insert(plot.points.end(), points.begin(), points.end());
    }
    return plot;
}

constexpr auto Line = PlotShape::Kind::Polyline;
constexpr auto Polygon = PlotShape::Kind::Polygon;

TEST(Raster, DenseLineLightsEachRowsExtent) {
    // Four samples in row 2, then two in row 3.
    const TracePlot plot = Shapes({{Line, {{5.5, 2.0}, {3.2, 2.3}, {8.9, 2.6}, {6.0, 2.9}, {4.0, 3.2}, {4.5, 3.5}}}});
    Rasterizer r;
    const auto& runs = r.runs(plot, 20, 10);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (PixelRun{2, 3, 8, kBlack}));
    // Row 3 starts where the segment from (6, 2.9) enters it, at x = 5.33.
    EXPECT_EQ(runs[1], (PixelRun{3, 4, 5, kBlack}));
}

TEST(Raster, SteepLineLightsOnePixelARow) {
    const TracePlot plot = Shapes({{Line, {{4.5, 0}, {4.5, 6}}}});
    Rasterizer r;
    const auto& runs = r.runs(plot, 10, 10);
    ASSERT_EQ(runs.size(), 7u) << "rows 0 to 6, the end point included";
    for (int row = 0; row < 7; ++row) EXPECT_EQ(runs[row], (PixelRun{row, 4, 4, kBlack}));
}

TEST(Raster, SlopedLineSplitsAtRowEdges) {
    const TracePlot plot = Shapes({{Line, {{0, 0}, {9.99, 1.999}}}});
    Rasterizer r;
    const auto& runs = r.runs(plot, 20, 10);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (PixelRun{0, 0, 4, kBlack}));
    EXPECT_EQ(runs[1], (PixelRun{1, 4, 9, kBlack}));
}

TEST(Raster, LobeFillsBetweenAxisAndOutline) {
    // A lobe left of the axis x = 10, three rows tall.
    const TracePlot plot = Shapes({{Polygon, {{10, 0}, {7, 1}, {4, 2}, {10, 3}}}}, kBlue);
    Rasterizer r;
    const auto& runs = r.runs(plot, 20, 10);
    ASSERT_EQ(runs.size(), 4u);
    std::vector<PixelRun> sorted(runs.begin(), runs.end());
    std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return a.row < b.row; });
    EXPECT_EQ(sorted[0], (PixelRun{0, 7, 10, kBlue}));
    EXPECT_EQ(sorted[1], (PixelRun{1, 4, 10, kBlue}));
    EXPECT_EQ(sorted[2], (PixelRun{2, 4, 10, kBlue}));
    EXPECT_EQ(sorted[3], (PixelRun{3, 10, 10, kBlue}));
}

TEST(Raster, ShapesKeepTheirOrder) {
    TracePlot plot = Shapes({{Polygon, {{10, 4}, {6, 4}, {10, 4}}}, {Polygon, {{10, 4}, {14, 4}, {10, 4}}}});
    plot.shapes[0].colour = kBlue;
    plot.shapes[1].colour = kRed;
    Rasterizer r;
    const auto& runs = r.runs(plot, 20, 10);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (PixelRun{4, 6, 10, kBlue}));
    EXPECT_EQ(runs[1], (PixelRun{4, 10, 14, kRed})) << "the later lobe paints the shared axis pixel";
}

TEST(Raster, EverythingOutsideThePictureIsCut) {
    const TracePlot plot = Shapes({{Line, {{-1e12, -5}, {-3, 2.5}, {1e15, 2.7}, {5, 9.5}, {5, 40}, {7, 1e300}}},
                                   {Line, {{2, -9}, {3, -1}}},
                                   {Line, {{-8, 1}, {-2, 1}}},
                                   {Line, {{5, 1}, {std::nan(""), 2}}}});
    Rasterizer r;
    for (const PixelRun& run : r.runs(plot, 20, 10)) {
        EXPECT_GE(run.row, 0);
        EXPECT_LT(run.row, 10);
        EXPECT_GE(run.x0, 0);
        EXPECT_LE(run.x0, run.x1);
        EXPECT_LT(run.x1, 20);
    }
    EXPECT_TRUE(r.runs(plot, 0, 0).empty());
}

}  // namespace
}  // namespace q24
