#pragma once
// Turns a trace's geometry into the pixels it lights: horizontal runs of one
// colour, one per pixel row a shape touches, in drawing order. Pixel (X, Y)
// covers x in [X, X+1) and y in [Y, Y+1), the convention of an aliased
// one-pixel pen. A polyline lights, in each row, every pixel between the
// leftmost and rightmost point where it passes through that row; a polygon
// lights, in each row, every pixel of its outline and of its inside there.
// Painting the runs in order gives the picture of drawing the shapes one
// after the other, at a cost that follows the pixels, not the samples.
#include <cstdint>
#include <vector>

#include "display/Plotter.h"

namespace q24 {

struct PixelRun {
    int32_t row = 0;
    int32_t x0 = 0, x1 = 0;  // first and last pixel lit, x0 <= x1
    Rgb colour;
    friend bool operator==(const PixelRun&, const PixelRun&) = default;
};

class Rasterizer {
public:
    // The runs of `plot` on a picture of width x height pixels; whatever falls
    // outside the picture is cut off.
    const std::vector<PixelRun>& runs(const TracePlot& plot, int width, int height);

private:
    void shape(const PlotPoint* p, std::size_t n, bool closed, Rgb colour);
    void extend(int row, double a, double b);
    void segment(const PlotPoint& p, const PlotPoint& q);

    int width_ = 0, height_ = 0;
    std::vector<double> lo_, hi_;  // per row, the extent of the shape in hand
    std::vector<int32_t> touched_;
    std::vector<PixelRun> runs_;
};

}  // namespace q24
