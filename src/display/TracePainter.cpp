#include "display/TracePainter.h"

#include <algorithm>

namespace q24 {

void TracePainter::paint(QImage& image, const TracePlot& plot) {
    if (image.depth() != 32) return;
    for (const PixelRun& run : rasterizer_.runs(plot, image.width(), image.height())) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(run.row));
        std::fill(line + run.x0, line + run.x1 + 1, qRgb(run.colour.r, run.colour.g, run.colour.b));
    }
}

}  // namespace q24
