#pragma once
// Paints a trace's geometry into the picture's image: the pixel runs of its
// shapes, in order, in their colours (no anti-aliasing, as the picture has
// always been drawn).
#include <QImage>

#include "display/Plotter.h"
#include "display/Raster.h"

namespace q24 {

class TracePainter {
public:
    // `image` must be 32 bits a pixel (RGB32 or ARGB32).
    void paint(QImage& image, const TracePlot& plot);

private:
    Rasterizer rasterizer_;
};

}  // namespace q24
