#include "display/TracePainter.h"

#include <algorithm>

namespace q24 {

void TracePainter::paint(QImage& image, const TracePlot& plot) {
    if (image.depth() != 32) return;
    const auto& runs = rasterizer_.runs(plot, image.width(), image.height());
    if (runs.empty()) return;
    uchar* bits = image.bits();  // one detach for the whole trace
    const qsizetype stride = image.bytesPerLine();
    for (const PixelRun& run : runs) {
        auto* line = reinterpret_cast<QRgb*>(bits + run.row * stride);
        std::fill(line + run.x0, line + run.x1 + 1, qRgb(run.colour.r, run.colour.g, run.colour.b));
    }
}

}  // namespace q24
