#pragma once
// Paints a trace into the picture's image: the pixel runs of its shapes, in
// order, in their colours (no anti-aliasing, as the picture has always been
// drawn).
#include <QImage>
#include <vector>

#include "display/Plotter.h"
#include "display/Raster.h"

namespace q24 {

class TracePainter {
public:
    // PlotTrace: trace t of `s` in `style` over what the image holds, laid
    // out for the image's size. The filled styles go straight from the lobe
    // rules to pixel runs. `image` must be 32 bits a pixel (RGB32 or ARGB32).
    void draw(QImage& image, State& s, int t, int style, PlotMemory& memory);
    // Any geometry, shape by shape.
    void paint(QImage& image, const TracePlot& plot);

private:
    static void fill(QImage& image, const std::vector<PixelRun>& runs);

    TracePlot plot_;
    Rasterizer rasterizer_;
    LobeRaster lobes_;
};

}  // namespace q24
