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

TraceLayout LayOutTrace(State& s, int t, int style, double width, double height, PlotMemory& memory) {
    TraceLayout l;
    if (s.N_Geofoni <= 0) return l;
    s.Trace_spacing = static_cast<int32_t>(RoundHalfEven(width / s.N_Geofoni));
    if (t < 1 || t > s.Dati.rows() || style < 1 || style > 3) return l;
    const double span = s.N_samples - static_cast<double>(s.Trg_offset);
    if (!(span > 0) || !std::isfinite(span)) return l;
    const int32_t W = s.Trace_spacing;
    memory.scale = AmplitudeScale(s, t, W, memory.scale);
    const double lastK = RoundHalfEven(s.N_samples - 1 - static_cast<double>(s.Trg_offset));
    if (lastK < 0) return l;
    l.samples = s.Dati.row(t - 1);
    l.last = static_cast<int>(std::min<double>(lastK, s.Dati.cols() - 1));
    l.dy = height / span;
    l.scale = memory.scale;
    // The line runs down the column's centre, the lobes stand on its right edge.
    l.axis = style == 1 ? static_cast<double>(t) * W - W / 2.0 : static_cast<double>(t) * W;
    l.positive = style == 2 ? kBlue : kBlack;
    l.negative = style == 2 ? kRed : kBlack;
    return l;
}

namespace {

// Collects the closed lobes as polygons: each starts on the axis, takes the
// points that joined it and ends on the axis where it closed.
struct LobePolygons {
    TracePlot& out;
    const TraceLayout& l;
    std::size_t lobeStart = 0;

    void operator()(float a, double y, int joins, int close) {
        const double Y = LobeY(y);
        for (int i = 0; i < joins; ++i) out.points.push_back({LobeX(l, a), Y});
        if (close == kKeepsLobe) return;
        out.points.push_back({l.axis, Y});
        const Rgb colour = close == kClosesPositive ? l.positive : l.negative;
        out.shapes.push_back({PlotShape::Kind::Polygon, colour, lobeStart, out.points.size() - lobeStart});
        lobeStart = out.points.size();
        out.points.push_back({l.axis, Y});
    }
};

}  // namespace

void PlotTraceGeometry(State& s, int t, int style, double width, double height, PlotMemory& memory,
                       TracePlot& out) {
    out.clear();
    const TraceLayout l = LayOutTrace(s, t, style, width, height, memory);
    if (!l.samples) return;
    if (style == 1) {
        out.points.reserve(static_cast<std::size_t>(l.last) + 1);
        for (int k = 0; k <= l.last; ++k) {
            // The line primitive takes single-precision coordinates.
            const float x = static_cast<float>(l.axis - l.scale * l.samples[k]);
            const float y = static_cast<float>(k * l.dy);
            out.points.push_back({x, y});
        }
        out.shapes.push_back({PlotShape::Kind::Polyline, kBlack, 0, out.points.size()});
        return;
    }
    // Up to two points a sample, and two more for each lobe closed.
    out.points.reserve(2 * static_cast<std::size_t>(l.last) + 4);
    out.points.push_back({l.axis, 0});
    LobePolygons lobes{out, l};
    WalkLobes(l, lobes);
    // The lobe still open after the last sample is not drawn.
    out.points.resize(lobes.lobeStart);
}

void GatherGeometry(const TraceArray& traces, const std::vector<int>& rows, int samples, double width, double height,
                    TracePlot& out) {
    out.clear();
    const int n = std::min(samples, traces.cols());
    if (rows.empty() || n < 1) return;
    const double column = width / static_cast<double>(rows.size());
    const double dy = n > 1 ? (height - 1) / (n - 1) : 0;
    for (std::size_t c = 0; c < rows.size(); ++c) {
        if (rows[c] < 0 || rows[c] >= traces.rows()) continue;
        const float* v = traces.row(rows[c]);
        float most = 0;
        for (int k = 0; k < n; ++k) most = std::max(most, std::abs(v[k]));
        const double scale = most > 0 && std::isfinite(most) ? 0.45 * column / most : 0;
        const double axis = (static_cast<double>(c) + 0.5) * column;
        const std::size_t first = out.points.size();
        for (int k = 0; k < n; ++k) out.points.push_back({axis - scale * v[k], k * dy});
        out.shapes.push_back({PlotShape::Kind::Polyline, kBlack, first, out.points.size() - first});
    }
}

}  // namespace q24
