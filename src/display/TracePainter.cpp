#include "display/TracePainter.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace q24 {

namespace {

// The picture's own fill (QImage::fill) runs AVX code that leaves the upper
// halves of the vector registers in use. Until they are cleared, every SSE
// instruction of the plotter waits on them: a redraw of filled lobes right
// after a clear took two thirds longer. Clearing them costs a few cycles.
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) void ClearAvxUpperHalves() { _mm256_zeroupper(); }
void LeaveAvxState() {
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) ClearAvxUpperHalves();
}
#else
void LeaveAvxState() {}
#endif

}  // namespace

void TracePainter::draw(QImage& image, State& s, int t, int style, PlotMemory& memory) {
    LeaveAvxState();
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
