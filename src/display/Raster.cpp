#include "display/Raster.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace q24 {

namespace {
constexpr double kUntouched = std::numeric_limits<double>::infinity();

// floor() without a library call, for the many coordinates of a trace;
// values too large to have a fraction, infinities and NaN pass unchanged.
inline double Floor(double v) {
    if (!(std::fabs(v) < 4503599627370496.0)) return v;  // 2^52
    const double t = static_cast<double>(static_cast<int64_t>(v));
    return t > v ? t - 1 : t;
}

// The part of segment p-q inside each pixel row of the picture it crosses:
// extend(row, x where it enters the row, x where it leaves it).
template <class Extend>
void ForEachRow(const PlotPoint& p, const PlotPoint& q, int height, Extend&& extend) {
    const PlotPoint& top = p.y <= q.y ? p : q;
    const PlotPoint& bottom = p.y <= q.y ? q : p;
    if (bottom.y < 0 || top.y >= height || !std::isfinite(top.y) || !std::isfinite(bottom.y)) return;
    const int first = static_cast<int>(Floor(std::max(top.y, 0.0)));
    const int last = static_cast<int>(Floor(std::min(bottom.y, static_cast<double>(height) - 0.5)));
    if (first == last && bottom.y < height) {
        extend(first, top.x, bottom.x);
        return;
    }
    // Where it enters and leaves a row; its ends lie where they lie.
    const double slope = (bottom.x - top.x) / (bottom.y - top.y);
    auto at = [&](double y) { return y == top.y ? top.x : y == bottom.y ? bottom.x : top.x + slope * (y - top.y); };
    for (int r = first; r <= last; ++r)
        extend(r, at(std::max(top.y, static_cast<double>(r))), at(std::min(bottom.y, static_cast<double>(r + 1))));
}
}  // namespace

const std::vector<PixelRun>& Rasterizer::runs(const TracePlot& plot, int width, int height) {
    runs_.clear();
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    if (width_ == 0 || height_ == 0) return runs_;
    if (static_cast<int>(lo_.size()) != height_) {
        lo_.assign(static_cast<std::size_t>(height_), kUntouched);
        hi_.assign(static_cast<std::size_t>(height_), -kUntouched);
    }
    for (const PlotShape& s : plot.shapes)
        shape(plot.begin(s), s.count, s.kind == PlotShape::Kind::Polygon, s.colour);
    return runs_;
}

void Rasterizer::extend(int row, double a, double b) {
    double& lo = lo_[static_cast<std::size_t>(row)];
    double& hi = hi_[static_cast<std::size_t>(row)];
    if (lo == kUntouched) touched_.push_back(row);
    lo = std::min({lo, a, b});
    hi = std::max({hi, a, b});
}

void Rasterizer::shape(const PlotPoint* p, std::size_t n, bool closed, Rgb colour) {
    if (n == 0 || (n == 1 && !closed)) return;
    touched_.clear();
    auto extend = [this](int row, double a, double b) { this->extend(row, a, b); };
    // Runs of points in one row cost a comparison each: only the row's
    // extent matters.
    std::size_t i = 0;
    while (i + 1 < n) {
        const double y = p[i].y;
        const double row = Floor(y);
        if (y >= 0 && y < height_ && p[i + 1].y >= row && p[i + 1].y < row + 1) {
            double lo = p[i].x, hi = p[i].x;
            std::size_t j = i + 1;
            for (; j < n && p[j].y >= row && p[j].y < row + 1; ++j) {
                lo = std::min(lo, p[j].x);
                hi = std::max(hi, p[j].x);
            }
            this->extend(static_cast<int>(row), lo, hi);
            if (j < n) ForEachRow(p[j - 1], p[j], height_, extend);
            i = j;
            continue;
        }
        ForEachRow(p[i], p[i + 1], height_, extend);
        ++i;
    }
    if (closed) ForEachRow(p[n - 1], p[0], height_, extend);
    if (n == 1) ForEachRow(p[0], p[0], height_, extend);
    const double right = width_ - 1;
    for (int32_t row : touched_) {
        double& lo = lo_[static_cast<std::size_t>(row)];
        double& hi = hi_[static_cast<std::size_t>(row)];
        const double a = Floor(lo), b = Floor(hi);
        if (b >= 0 && a <= right)
            runs_.push_back({row, static_cast<int32_t>(std::max(a, 0.0)), static_cast<int32_t>(std::min(b, right)),
                             colour});
        lo = kUntouched;
        hi = -kUntouched;
    }
}

// ---- LobeRaster ----

const std::vector<PixelRun>& LobeRaster::runs(const TraceLayout& l, int width, int height) {
    runs_.clear();
    height_ = std::max(height, 0);
    if (!l.samples || l.last < 1 || width <= 0 || height_ == 0) return runs_;
    layout_ = &l;
    axis_ = l.axis;
    right_ = width - 1;
    colour_[kClosesPositive] = l.positive;
    colour_[kClosesNegative] = l.negative;
    twoColours_ = !(l.positive == l.negative);
    openLo_.resize(static_cast<std::size_t>(height_));
    openHi_.resize(static_cast<std::size_t>(height_));
    points_.resize(static_cast<std::size_t>(l.last));  // one a sample at most
    runs_.reserve(2 * static_cast<std::size_t>(height_));
    // The first lobe starts on the axis at the top.
    row_ = lobeRow_ = 0;
    px_ = lo_ = hi_ = axis_;
    startRow();

    // Per sample the point is kept, with the row's extreme deflections so
    // far, in locals the compiler holds in registers, and no branch on
    // whether the sample closes a lobe: every other sample of a noisy trace
    // does.
    Point* const row = points_.data();
    Point* end = row;
    Extremes seen;
    int zeroSample = 0;        // a sample on zero joined a lobe and closed it
    double nextRow = RowEnd(0);
    WalkLobes(l, [&](float a, double y, int joins, int close) {
        if ((joins | close) == 0) return;  // a sample that is not a number adds no point
        // The sample's deflection, or 0 for the axis point a lobe closes on.
        const float p = std::bit_cast<float>(std::bit_cast<uint32_t>(a) & -static_cast<uint32_t>(joins != 0));
        if (y >= nextRow) {
            const double Y = LobeY(y);
            endRow(row, end, zeroSample, seen);
            enterRow(LobeX(l, p), Y);
            end = row;
            seen = Extremes{};
            zeroSample = 0;
            nextRow = RowEnd(Y);
        }
        *end++ = {p, close};
        seen.most = std::max(seen.most, p);
        seen.least = std::min(seen.least, p);
        zeroSample |= joins * close;
    });
    endRow(row, end, zeroSample, seen);
    flushRow(lobeRow_);  // the lobe still open is dropped
    layout_ = nullptr;
    return runs_;
}

// The least y whose point lies below row Y (halves round to even).
double LobeRaster::RowEnd(double Y) {
    const double half = Y + 0.5;
    const bool odd = static_cast<int64_t>(Y) & 1;  // rows lie well within 2^51
    return odd ? half : std::nextafter(half, std::numeric_limits<double>::infinity());
}

inline void LobeRaster::widen(double& lo, double& hi, Extremes e) const {
    lo = std::min(lo, LobeX(*layout_, e.most));
    hi = std::max(hi, LobeX(*layout_, e.least));
}

// Reduces the points p .. end of row row_, whose deflections span `seen`.
// Without a sample on zero every lobe lies on its own side, and the lobes
// that start and close in the row only widen the row's extent: the points up
// to the last close count together, and usually they hold both extremes.
void LobeRaster::endRow(const Point* p, const Point* end, bool zeroSample, Extremes seen) {
    if (p == end) return;
    if (zeroSample || exact_) {
        for (; p != end; ++p) point(LobeX(*layout_, p->a), p->close);
        return;
    }
    const Point* first = p;
    while (first != end && first->close == kKeepsLobe) ++first;
    if (first == end) {  // the open lobe goes on
        widen(lo_, hi_, seen);
        px_ = LobeX(*layout_, end[-1].a);
        return;
    }
    // The open lobe closes, perhaps after rows of its own. In this row it
    // closes with what led into the row; its points here, like those of the
    // lobes after it up to the last close, widen the row's closed lobes.
    closeLobe(first->close);
    Extremes rest;  // the lobe left open
    const Point* last = end - 1;
    for (; last->close == kKeepsLobe; --last) {
        rest.most = std::max(rest.most, last->a);
        rest.least = std::min(rest.least, last->a);
    }
    last_ = last->close;
    Extremes closed = seen;
    if (!(rest.most < seen.most) || !(rest.least > seen.least)) {  // an extreme lies in the open lobe
        closed = Extremes{};
        for (const Point* q = p; q <= last; ++q) {
            closed.most = std::max(closed.most, q->a);
            closed.least = std::min(closed.least, q->a);
        }
    }
    widen(closedLo_, closedHi_, closed);
    if (last + 1 == end) return;  // the open lobe starts on the axis
    widen(lo_, hi_, rest);
    px_ = LobeX(*layout_, end[-1].a);
}

// One point of the open lobe, which it may close.
void LobeRaster::point(double x, int close) {
    lo_ = std::min(lo_, x);
    hi_ = std::max(hi_, x);
    px_ = x;
    if (close != kKeepsLobe) closeLobe(close);
}

// The segment from the open lobe's last point down to (x, Y) in a lower row.
void LobeRaster::enterRow(double x, double Y) {
    if (Y == row_ + 1 && Y < height_) {  // the next row: no part of it between rows
        openLo_[static_cast<std::size_t>(row_)] = std::min(lo_, x);
        openHi_[static_cast<std::size_t>(row_)] = std::max(hi_, x);
        row_ = Y;
        lo_ = std::min(axis_, x);
        hi_ = std::max(axis_, x);
        return;
    }
    ForEachRow({px_, row_}, {x, Y}, height_, [&](int r, double a, double b) {
        if (r == row_) {
            lo_ = std::min({lo_, a, b});
            hi_ = std::max({hi_, a, b});
        } else {  // a row new to the lobe, which covers the axis there too
            openLo_[static_cast<std::size_t>(r)] = std::min({axis_, a, b});
            openHi_[static_cast<std::size_t>(r)] = std::max({axis_, a, b});
        }
    });
    if (row_ < height_) {
        openLo_[static_cast<std::size_t>(row_)] = lo_;
        openHi_[static_cast<std::size_t>(row_)] = hi_;
    }
    row_ = Y;
    lo_ = hi_ = axis_;
    if (row_ < height_) {
        lo_ = openLo_[static_cast<std::size_t>(row_)];
        hi_ = openHi_[static_cast<std::size_t>(row_)];
    }
}

void LobeRaster::closeLobe(int close) {
    if (lobeRow_ != row_) {
        // Its first row it shares with the lobes before it, the rows between
        // are its alone, its last row it shares with the lobes after it.
        for (double r = lobeRow_; r < row_ && r < height_; ++r) {
            if (r != lobeRow_) startRow();
            commit(openLo_[static_cast<std::size_t>(r)], openHi_[static_cast<std::size_t>(r)], close);
            flushRow(r);
        }
        startRow();
        lobeRow_ = row_;
    }
    commit(lo_, hi_, close);
    lo_ = hi_ = px_ = axis_;
}

void LobeRaster::commit(double lo, double hi, int close) {
    // Lobes alternate in colour: no branch on which one this is.
    const bool across =
        twoColours_ & (((close == kClosesPositive) & (hi > axis_)) | ((close == kClosesNegative) & (lo < axis_)));
    if (across && !exact_) {
        // Until now only positive lobes reached left of the axis and only
        // negative ones right of it; from here on the row keeps, on each
        // side, the edges where the colour of the last lobe to reach a pixel
        // changes.
        exact_ = true;
        leftEdges_.clear();
        rightEdges_.clear();
        if (Floor(closedLo_) < axis_) leftEdges_.push_back({Floor(closedLo_), kClosesPositive});
        if (Floor(closedHi_) > axis_) rightEdges_.push_back({Floor(closedHi_), kClosesNegative});
    }
    last_ = close;
    if (!exact_) {
        closedLo_ = std::min(closedLo_, lo);
        closedHi_ = std::max(closedHi_, hi);
        return;
    }
    // The lobe paints from its edge to the axis over every earlier colour.
    const double a = Floor(lo), b = Floor(hi);
    if (a < axis_) {
        while (!leftEdges_.empty() && leftEdges_.back().pixel >= a) leftEdges_.pop_back();
        if (leftEdges_.empty() || leftEdges_.back().close != close) leftEdges_.push_back({a, close});
    }
    if (b > axis_) {
        while (!rightEdges_.empty() && rightEdges_.back().pixel <= b) rightEdges_.pop_back();
        if (rightEdges_.empty() || rightEdges_.back().close != close) rightEdges_.push_back({b, close});
    }
}

void LobeRaster::startRow() {
    closedLo_ = closedHi_ = axis_;
    last_ = kKeepsLobe;
    exact_ = false;
}

void LobeRaster::flushRow(double row) {
    if (last_ == kKeepsLobe || !(row < height_)) return;
    if (!twoColours_) {
        addRun(row, Floor(closedLo_), Floor(closedHi_), last_);
        return;
    }
    if (exact_) {
        // Edges run outward from the axis: each colour reaches to the next.
        for (std::size_t i = 0; i < leftEdges_.size(); ++i) {
            const double end = i + 1 < leftEdges_.size() ? leftEdges_[i + 1].pixel : axis_;
            addRun(row, leftEdges_[i].pixel, end - 1, leftEdges_[i].close);
        }
        for (std::size_t i = 0; i < rightEdges_.size(); ++i) {
            const double start = i + 1 < rightEdges_.size() ? rightEdges_[i + 1].pixel : axis_;
            addRun(row, start + 1, rightEdges_[i].pixel, rightEdges_[i].close);
        }
        addRun(row, axis_, axis_, last_);
        return;
    }
    // The axis pixel goes with the side of the last lobe's colour.
    const double split = axis_ - (last_ == kClosesNegative);
    addRun(row, Floor(closedLo_), split, kClosesPositive);
    addRun(row, split + 1, Floor(closedHi_), kClosesNegative);
}

inline void LobeRaster::addRun(double row, double a, double b, int close) {
    if (!(a <= b) || b < 0 || a > right_) return;
    runs_.push_back({static_cast<int32_t>(row), static_cast<int32_t>(std::max(a, 0.0)),
                     static_cast<int32_t>(std::min(b, right_)), colour_[close]});
}

}  // namespace q24
