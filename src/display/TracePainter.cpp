#include "display/TracePainter.h"

#include <algorithm>

namespace q24 {

void TracePainter::draw(QImage& image, State& s, int t, int style, PlotMemory& memory) {
    if (style == 2 || style == 3) {
        const TraceLayout l = LayOutTrace(s, t, style, image.width(), image.height(), memory);
        fill(image, lobes_.runs(l, image.width(), image.height()));
        return;
    }
    PlotTraceGeometry(s, t, style, image.width(), image.height(), memory, plot_);
    paint(image, plot_);
}

void TracePainter::paint(QImage& image, const TracePlot& plot) {
    fill(image, rasterizer_.runs(plot, image.width(), image.height()));
}

void TracePainter::fill(QImage& image, const std::vector<PixelRun>& runs) {
    if (image.depth() != 32 || runs.empty()) return;
    uchar* bits = image.bits();  // one detach for the whole trace
    const qsizetype stride = image.bytesPerLine();
    for (const PixelRun& run : runs) {
        auto* line = reinterpret_cast<QRgb*>(bits + run.row * stride);
        std::fill(line + run.x0, line + run.x1 + 1, qRgb(run.colour.r, run.colour.g, run.colour.b));
    }
}

}  // namespace q24
