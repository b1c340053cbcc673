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

// PlotTrace's geometry for trace t (1..97, row t-1 of Dati) in `style` (1
// line, 2 blue/red lobes, 3 black lobes) on a picture of width x height
// units. Sets s.Trace_spacing as PlotTrace does. Draws samples 0 .. K with
// K = N_samples - 1 - Trg_offset rounded (never past Dati's row). A lobe is
// drawn when the signal leaves its side of the axis, so the last open lobe is
// not drawn. The lobe's point list grows with it: a lobe of any length is
// drawn whole. Nothing is drawn when the state cannot place a trace (no
// traces, no samples, a trace number outside Dati, an unknown style).
void PlotTraceGeometry(State& s, int t, int style, double width, double height, PlotMemory& memory,
                       TracePlot& out);

}  // namespace q24
