#pragma once
// What PlotTrace draws for one trace, as plain geometry in picture units:
// polylines (the line style) and filled polygons (the lobe styles), each with
// its colour. The trace picture only paints this; tests check it without a
// display.
//
// The traces stand side by side as vertical columns, time running down from
// the top edge. Column width W = picture width / N_Geofoni (rounded). Style 1
// draws a line around the column centre t*W - W/2; styles 2 and 3 fill lobes
// around the column's right edge t*W. Positive samples deflect to the left.
#include <cstdint>
#include <vector>

#include "state/State.h"

namespace q24 {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kRed{255, 0, 0};

struct PlotPoint {
    double x = 0, y = 0;
    friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

// One primitive: `count` points of TracePlot::points from `first` on.
struct PlotShape {
    enum class Kind { Polyline, Polygon };
    Kind kind = Kind::Polyline;
    Rgb colour;
    std::size_t first = 0;
    std::size_t count = 0;
};

// Everything one trace draws, in drawing order. The points of all shapes
// share one vector so a trace with thousands of lobes costs one allocation.
struct TracePlot {
    std::vector<PlotPoint> points;
    std::vector<PlotShape> shapes;

    void clear() {
        points.clear();
        shapes.clear();
    }
    const PlotPoint* begin(const PlotShape& s) const { return points.data() + s.first; }
};

// The amplitude scale of the previous trace: a Gain other than 0, 1, 10, 100
// and 1000 draws with it.
struct PlotMemory {
    double scale = 0;
};

// The amplitude scale for trace t (1-based) at column width `spacing`.
// Gain 0: spacing over the trace's range of samples 1 .. N_samples-2 (a range
// that always includes zero; a flat trace gets 1). Gain 1: spacing / 8390000,
// so 8390000 counts deflect one spacing. Gain 10, 100, 1000: spacing * Gain /
// 8390000, the product an integer. Other gains return `previous`.
double AmplitudeScale(const State& s, int t, int32_t spacing, double previous);

// Where and how trace t is drawn, worked out once per call: the samples
// 0 .. last of `samples`, their vertical step `dy`, the amplitude `scale`,
// the axis x and the two lobe colours. `samples` is null when nothing is
// drawn.
struct TraceLayout {
    const float* samples = nullptr;
    int last = -1;
    double dy = 0, scale = 0, axis = 0;
    Rgb positive, negative;
};

// PlotTrace's set-up for trace t (1..97, row t-1 of Dati) in `style` (1
// line, 2 blue/red lobes, 3 black lobes) on a picture of width x height
// units. Sets s.Trace_spacing as PlotTrace does and keeps the amplitude scale
// in `memory`. Draws samples 0 .. K with K = N_samples - 1 - Trg_offset
// rounded (never past Dati's row). Nothing is drawn when the state cannot
// place a trace (no traces, no samples, a trace number outside Dati, an
// unknown style).
TraceLayout LayOutTrace(State& s, int t, int style, double width, double height, PlotMemory& memory);

// Nearest integer, halves to even, for the pixel coordinates of every lobe
// point: adding and taking away 1.5 x 2^52 leaves the value rounded by the
// processor's own (to-even) rounding, without a library call (IEEE
// arithmetic keeps the compiler from folding the two away). Beyond 2^51 the
// trick no longer rounds; such coordinates lie far outside any picture and
// pass unchanged.
inline double RoundCoordinate(double v) {
    constexpr double kShift = 6755399441055744.0;  // 1.5 * 2^52
    if (!(v < 2251799813685248.0 && v > -2251799813685248.0)) return v;
    return (v + kShift) - kShift;
}

// Which lobe a sample closes: none, the one on the positive side (drawn in
// the positive colour) or the one on the negative side.
enum LobeClose : int { kKeepsLobe = 0, kClosesPositive = 1, kClosesNegative = 2 };

// The x of a lobe point whose sample deflects by `a`: axis - a, rounded. It
// falls as `a` grows, so the leftmost of many points is that of the largest a.
inline double LobeX(const TraceLayout& l, float a) { return RoundCoordinate(l.axis - a); }
// The y of a lobe point at y = k * dy: y rounded.
inline double LobeY(double y) { return RoundCoordinate(y); }

// What one sample does to the lobes: how many times its point joins the
// open lobe (0, 1 or 2) and which lobe it closes (a LobeClose).
struct LobeStep {
    uint8_t joins = 0, close = kKeepsLobe;
};

// The lobe rules of the filled styles, the one place they are written. With
// a = scale * sample k and b = scale * sample k-1 as floats, they are tested
// in this order:
//   a >= 0 and b >= 0: the point of sample k joins the open lobe;
//   a <= 0 and b <= 0: it joins it (again, when both are zero);
//   a < 0 and b >= 0:  the lobe closes on the axis in the positive colour
//                      and the next starts there;
//   a > 0 and b <= 0:  the same in the negative colour.
// so a sample on zero joins the lobe the next sign change closes. A sample
// enters the rules only through a >= 0 and a <= 0 (a < 0 is a <= 0 and not
// a >= 0; a sample that is not a number is neither): its class, bit 0 for
// a >= 0 and bit 1 for a <= 0.
constexpr LobeStep LobeRule(int aClass, int bClass) {
    const bool aAbove = aClass & 1, aBelow = aClass & 2, bAbove = bClass & 1, bBelow = bClass & 2;
    LobeStep step;
    step.joins = static_cast<uint8_t>((aAbove && bAbove) + (aBelow && bBelow));
    if (aBelow && !aAbove && bAbove) step.close = kClosesPositive;
    if (aAbove && !aBelow && bBelow) step.close = kClosesNegative;
    return step;
}

// The rules for every pair of classes, four bits each (joins, then close
// shifted by 2) at bit 4 * (aClass * 4 + bClass): on a noisy trace the sign
// changes every other sample, and a shift does not branch.
inline constexpr uint64_t kLobeRules = [] {
    uint64_t rules = 0;
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 4; ++b) {
            const LobeStep step = LobeRule(a, b);
            rules |= static_cast<uint64_t>(step.joins | step.close << 2) << (4 * (a * 4 + b));
        }
    return rules;
}();

// Walks trace `l` through the lobe rules. The first lobe starts on the axis
// at (axis, 0); sample k's point is (LobeX(a), LobeY(y)) with y = k * dy
// summed step by step, and a lobe closes on the axis at (axis, LobeY(y)).
// `sink` gets (a, y, joins, close) for samples 1 .. last. Whatever is open
// after the last sample is not drawn; the sink drops it.
template <class Sink>
void WalkLobes(const TraceLayout& l, Sink&& sink) {
    if (!l.samples || l.last < 1) return;
    // In locals: what the sink stores cannot make the compiler read them again.
    const float* const samples = l.samples;
    const int last = l.last;
    const double scale = l.scale, dy = l.dy;
    auto classOf = [](float v) { return (v >= 0) | ((v <= 0) << 1); };
    int bClass = classOf(static_cast<float>(scale * samples[0]));
    double y = dy;
    for (int k = 1; k <= last; ++k) {
        const float a = static_cast<float>(scale * samples[k]);
        const int aClass = classOf(a);
        const unsigned step = static_cast<unsigned>(kLobeRules >> (4 * (aClass * 4 + bClass)));
        sink(a, y, static_cast<int>(step & 3), static_cast<int>(step >> 2 & 3));
        bClass = aClass;
        y += dy;
    }
}

// PlotTrace's geometry for trace t (see LayOutTrace): the line of style 1,
// or the closed lobes of styles 2 and 3 as polygons. The lobe's point list
// grows with it: a lobe of any length is drawn whole.
void PlotTraceGeometry(State& s, int t, int style, double width, double height, PlotMemory& memory,
                       TracePlot& out);

// A gather drawn small, as the review of a stacking hit shows it: traces
// `rows` (0-based rows of `traces`) as black lines, each down the centre of
// its own column of a width x height picture and scaled to its own largest
// sample (that one deflects 0.45 of the column), samples 0 .. samples-1
// from the top edge down. A flat trace is a straight line.
void GatherGeometry(const TraceArray& traces, const std::vector<int>& rows, int samples, double width, double height,
                    TracePlot& out);

}  // namespace q24
