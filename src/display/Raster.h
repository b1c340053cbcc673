#pragma once
// Turns a trace's geometry into the pixels it lights: horizontal runs of one
// colour, at most one per pixel row a shape touches. Pixel (X, Y) covers x in
// [X, X+1) and y in [Y, Y+1), the convention of an aliased one-pixel pen. A
// polyline lights, in each row, every pixel between the leftmost and
// rightmost point where it passes through that row; a polygon lights, in each
// row, every pixel of its outline and of its inside there. Painting the runs
// in order gives the picture of drawing the shapes one after the other, at a
// cost that follows the pixels, not the samples.
#include <cstdint>
#include <limits>
#include <vector>

#include "display/Plotter.h"

namespace q24 {

struct PixelRun {
    int32_t row = 0;
    int32_t x0 = 0, x1 = 0;  // first and last pixel lit, x0 <= x1
    Rgb colour;
    friend bool operator==(const PixelRun&, const PixelRun&) = default;
};

// Any shapes: the line of style 1, and every plot the tests build.
class Rasterizer {
public:
    // The runs of `plot` on a picture of width x height pixels; whatever falls
    // outside the picture is cut off.
    const std::vector<PixelRun>& runs(const TracePlot& plot, int width, int height);

private:
    void shape(const PlotPoint* p, std::size_t n, bool closed, Rgb colour);
    void extend(int row, double a, double b);

    int width_ = 0, height_ = 0;
    std::vector<double> lo_, hi_;  // per row, the extent of the shape in hand
    std::vector<int32_t> touched_;
    std::vector<PixelRun> runs_;
};

// The filled styles straight from the lobe rules (WalkLobes), without
// building a polygon per lobe: the pixels the Rasterizer lights for
// PlotTraceGeometry's lobes painted one after the other. Every lobe covers
// the axis in each row it spans (its closing edge runs along it), so a row of
// lobes is one run from the leftmost to the rightmost extent of the lobes
// closed in it. In two colours the positive lobes lie left of the axis and
// the negative ones right of it, the axis pixel taking the colour of the
// row's last lobe. Only a sample on zero makes a lobe reach across (the
// sample after it joins a lobe and closes it); a row with such a sample keeps
// its lobes' order exactly. A sample costs a few stores: the points of a row
// are kept and reduced when the row ends.
class LobeRaster {
public:
    // The runs of trace `l`'s closed lobes on a picture of width x height
    // pixels, cut to the picture; runs of one row do not overlap.
    const std::vector<PixelRun>& runs(const TraceLayout& l, int width, int height);

private:
    // A point of the row: the sample's deflection (0 for the axis point a
    // lobe closes on) and its LobeClose.
    struct Point {
        float a;
        int close;
    };
    // The largest and smallest deflection of some points (none: -inf, inf).
    struct Extremes {
        float most = -std::numeric_limits<float>::infinity();
        float least = std::numeric_limits<float>::infinity();
    };
    // Where a run of one colour starts (left of the axis) or ends (right of
    // it), in a row whose lobes reach across the axis.
    struct Edge {
        double pixel;
        int close;
    };
    static double RowEnd(double Y);
    void endRow(const Point* p, const Point* end, bool zeroSample, Extremes seen);
    // Widens [lo, hi] to points of deflections e: the leftmost is the point
    // of the largest deflection, so only the extremes are rounded.
    void widen(double& lo, double& hi, Extremes e) const;
    void enterRow(double x, double Y);
    void point(double x, int close);
    void closeLobe(int close);
    void commit(double lo, double hi, int close);
    void startRow();
    void flushRow(double row);
    void addRun(double row, double a, double b, int close);

    const TraceLayout* layout_ = nullptr;
    int height_ = 0;
    double axis_ = 0, right_ = 0;
    Rgb colour_[3];
    bool twoColours_ = false;
    std::vector<Point> points_;  // those of the row in hand
    // The open lobe: the x of its last point, its extent in row row_, the
    // row it started in, and its extents in the rows between.
    double row_ = 0, px_ = 0, lo_ = 0, hi_ = 0, lobeRow_ = 0;
    std::vector<double> openLo_, openHi_;
    // The lobes closed in row lobeRow_: their extent, the last one's colour
    // (0: none yet), and, once one reached across the axis, each side's edges.
    double closedLo_ = 0, closedHi_ = 0;
    int last_ = 0;
    bool exact_ = false;
    std::vector<Edge> leftEdges_, rightEdges_;
    std::vector<PixelRun> runs_;
};

}  // namespace q24
