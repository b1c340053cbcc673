#include "display/Plotter.h"

#include <algorithm>
#include <cmath>

#include "state/NumberFormat.h"

namespace q24 {

namespace {

// A sample of 8390000 counts deflects by one trace spacing at gain 1.
constexpr double kFullScale = 8390000.0;

// Nearest integer, halves to even, for the pixel coordinates of every sample:
// adding and taking away 1.5 x 2^52 leaves the value rounded by the
// processor's own (to-even) rounding, without a library call (IEEE
// arithmetic keeps the compiler from folding the two away). Beyond 2^51 a
// double has no fraction left to round.
inline double RoundCoordinate(double v) {
    constexpr double kShift = 6755399441055744.0;  // 1.5 * 2^52
    if (!(std::fabs(v) < 2251799813685248.0)) return v;
    return (v + kShift) - kShift;
}

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
    // Up to two points a sample, and two more for each lobe closed.
    out.points.reserve(2 * static_cast<std::size_t>(K) + 4);
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
        const double Y = RoundCoordinate(y);
        const double X = RoundCoordinate(xa - a);
        if (a >= 0 && b >= 0) out.points.push_back({X, Y});
        if (a <= 0 && b <= 0) out.points.push_back({X, Y});
        if (a < 0 && b >= 0) closeLobe(positive, Y);
        if (a > 0 && b <= 0) closeLobe(negative, Y);
        y += dy;
    }
    // The lobe still open after the last sample is not drawn.
    out.points.resize(lobeStart);
}

}  // namespace q24
