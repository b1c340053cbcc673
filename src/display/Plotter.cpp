#include "display/Plotter.h"

#include <algorithm>
#include <cmath>

#include "state/NumberFormat.h"

namespace q24 {

namespace {

// A sample of 8390000 counts deflects by one trace spacing at gain 1.
constexpr double kFullScale = 8390000.0;

}  // namespace

double AmplitudeScale(const State& s, int t, int32_t spacing, double previous) {
    const double W = spacing;
    switch (s.Gain) {
        case 0: {
            const int last = std::min(s.N_samples - 2, s.Dati.cols() - 1);
            const float* row = s.Dati.row(t - 1);
            float max = 0, min = 0;
            for (int k = 1; k <= last; ++k) {
                const float v = row[k];
                if (v > max) max = v;
                if (v < min) min = v;
            }
            const double range = static_cast<double>(max) - min;
            return range == 0 ? 1.0 : W / range;
        }
        case 1:
            return W / kFullScale;
        case 10:
        case 100:
        case 1000:
            return static_cast<double>(static_cast<int64_t>(spacing) * s.Gain) / kFullScale;
        default:
            return previous;
    }
}

void PlotTraceGeometry(State& s, int t, int style, double width, double height, PlotMemory& memory,
                       TracePlot& out) {
    out.clear();
    if (s.N_Geofoni <= 0) return;
    s.Trace_spacing = static_cast<int32_t>(RoundHalfEven(width / s.N_Geofoni));
    if (t < 1 || t > s.Dati.rows() || style < 1 || style > 3) return;
    const double span = s.N_samples - static_cast<double>(s.Trg_offset);
    if (!(span > 0) || !std::isfinite(span)) return;
    const double dy = height / span;
    const int32_t W = s.Trace_spacing;
    memory.scale = AmplitudeScale(s, t, W, memory.scale);
    const double scale = memory.scale;

    const double lastK = RoundHalfEven(s.N_samples - 1 - static_cast<double>(s.Trg_offset));
    if (lastK < 0) return;
    const int K = static_cast<int>(std::min<double>(lastK, s.Dati.cols() - 1));
    const float* row = s.Dati.row(t - 1);

    if (style == 1) {
        const double xc = static_cast<double>(t) * W - W / 2.0;
        out.points.reserve(static_cast<std::size_t>(K) + 1);
        for (int k = 0; k <= K; ++k) {
            // The line primitive takes single-precision coordinates.
            const float x = static_cast<float>(xc - scale * row[k]);
            const float y = static_cast<float>(k * dy);
            out.points.push_back({x, y});
        }
        out.shapes.push_back({PlotShape::Kind::Polyline, kBlack, 0, out.points.size()});
        return;
    }

    const Rgb positive = style == 2 ? kBlue : kBlack;
    const Rgb negative = style == 2 ? kRed : kBlack;
    const double xa = static_cast<double>(t) * W;
    out.points.reserve(static_cast<std::size_t>(K) + 2);
    std::size_t lobeStart = 0;
    out.points.push_back({xa, 0});
    auto closeLobe = [&](Rgb colour, double Y) {
        out.points.push_back({xa, Y});
        out.shapes.push_back({PlotShape::Kind::Polygon, colour, lobeStart, out.points.size() - lobeStart});
        lobeStart = out.points.size();
        out.points.push_back({xa, Y});
    };
    double y = dy;
    for (int k = 1; k <= K; ++k) {
        const float a = static_cast<float>(scale * row[k]);
        const float b = static_cast<float>(scale * row[k - 1]);
        const double Y = RoundHalfEven(y);
        const double X = RoundHalfEven(xa - a);
        if (a >= 0 && b >= 0) out.points.push_back({X, Y});
        if (a <= 0 && b <= 0) out.points.push_back({X, Y});
        if (a < 0 && b >= 0) closeLobe(positive, Y);
        if (a > 0 && b <= 0) closeLobe(negative, Y);
        y += dy;
    }
    // The lobe still open after the last sample is not drawn.
    out.points.resize(lobeStart);
}

namespace {

// Appends the first, lowest-x, highest-x and last of points [from, to), in
// their original order, to `dst`.
void keepExtremes(const PlotPoint* p, std::size_t from, std::size_t to, std::vector<PlotPoint>& dst) {
    std::size_t lo = from, hi = from;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (p[i].x < p[lo].x) lo = i;
        if (p[i].x > p[hi].x) hi = i;
    }
    std::size_t keep[4] = {from, std::min(lo, hi), std::max(lo, hi), to - 1};
    std::size_t previous = static_cast<std::size_t>(-1);
    for (std::size_t i : keep) {
        if (i != previous) dst.push_back(p[i]);
        previous = i;
    }
}

// Pixel row that a one-pixel aliased pen puts a point of height y in.
inline double pixelRow(double y) { return std::floor(y); }

}  // namespace

void ReduceToPixels(TracePlot& plot) {
    std::vector<PlotPoint> reduced;
    reduced.reserve(plot.points.size() / 4 + 16);
    for (PlotShape& shape : plot.shapes) {
        const PlotPoint* p = plot.begin(shape);
        const std::size_t first = reduced.size();
        const bool polygon = shape.kind == PlotShape::Kind::Polygon;
        std::size_t runStart = 0;
        for (std::size_t i = 1; i <= shape.count; ++i) {
            const bool runEnds = i == shape.count ||
                                 (polygon ? p[i].y != p[runStart].y : pixelRow(p[i].y) != pixelRow(p[runStart].y));
            if (!runEnds) continue;
            keepExtremes(p, runStart, i, reduced);
            runStart = i;
        }
        shape.first = first;
        shape.count = reduced.size() - first;
    }
    plot.points.swap(reduced);
}

}  // namespace q24
