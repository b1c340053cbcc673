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

// c ? a : b by bit masks, for choices the processor cannot predict (a
// compiler turns the plain conditional into a branch).
inline double Select(bool c, double a, double b) {
    const uint64_t m = -static_cast<uint64_t>(c);
    return std::bit_cast<double>((std::bit_cast<uint64_t>(a) & m) | (std::bit_cast<uint64_t>(b) & ~m));
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
    const double slope = (bottom.x - top.x) / (bottom.y - top.y);
    for (int r = first; r <= last; ++r) {
        const double y0 = std::max(top.y, static_cast<double>(r));
        const double y1 = std::min(bottom.y, static_cast<double>(r + 1));
        extend(r, top.x + slope * (y0 - top.y), top.x + slope * (y1 - top.y));
    }
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

inline void LobeRaster::operator()(float a, double Y, int joins, int close) {
    if ((joins | close) == 0) return;  // a sample that is not a number adds no point
    // The sample's point, or the axis point a lobe closes on. Every other
    // sample of a noisy trace closes a lobe: no branch on it.
    const float p = std::bit_cast<float>(std::bit_cast<uint32_t>(a) & -static_cast<uint32_t>(joins != 0));
    if (Y != row_) {
        endRow();
        enterRow(LobeX(*layout_, p), Y);
    }
    points_[count_++] = {p, close};
    zeroSample_ |= (joins != 0) & (close != kKeepsLobe);
}

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
    count_ = 0;
    zeroSample_ = false;
    // The first lobe starts on the axis at the top.
    row_ = lobeRow_ = 0;
    px_ = lo_ = hi_ = axis_;
    startRow();
    WalkLobes(l, *this);
    endRow();
    flushRow(lobeRow_);  // the lobe still open is dropped
    layout_ = nullptr;
    return runs_;
}

// Widens [lo, hi] to the points p[0 .. n-1]: the leftmost is the point of the
// largest deflection, so only the extreme deflections are rounded.
void LobeRaster::extend(double& lo, double& hi, const Point* p, std::size_t n) const {
    if (n == 0) return;
    float most = p[0].a, least = p[0].a;
    for (std::size_t i = 1; i < n; ++i) {
        most = std::max(most, p[i].a);
        least = std::min(least, p[i].a);
    }
    lo = std::min(lo, LobeX(*layout_, most));
    hi = std::max(hi, LobeX(*layout_, least));
}

// Reduces the points of row row_. Without a sample on zero every lobe lies
// on its own side, and the lobes that both start and close in the row only
// widen the row's extent.
void LobeRaster::endRow() {
    const Point* p = points_.data();
    const Point* const end = p + count_;
    count_ = 0;
    if (p == end) return;
    if (zeroSample_ || exact_) {
        zeroSample_ = false;
        for (; p != end; ++p) point(LobeX(*layout_, p->a), p->close);
        return;
    }
    const Point* first = p;
    while (first != end && first->close == kKeepsLobe) ++first;
    if (first != end) {
        // The open lobe closes, perhaps after rows of its own, then come the
        // lobes that start and close here.
        extend(lo_, hi_, p, static_cast<std::size_t>(first - p) + 1);
        closeLobe(first->close);
        const Point* last = end - 1;
        while (last->close == kKeepsLobe) --last;
        extend(closedLo_, closedHi_, first + 1, static_cast<std::size_t>(last - first));
        last_ = last->close;
        p = last + 1;
        if (p == end) return;  // the open lobe starts on the axis
    }
    // What follows the last close belongs to the lobe left open.
    extend(lo_, hi_, p, static_cast<std::size_t>(end - p));
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
    const bool across =
        twoColours_ && ((close == kClosesPositive && hi > axis_) || (close == kClosesNegative && lo < axis_));
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
    } else {
        addRun(row, Floor(closedLo_), axis_ - 1, kClosesPositive);
        addRun(row, axis_ + 1, Floor(closedHi_), kClosesNegative);
    }
    addRun(row, axis_, axis_, last_);
}

void LobeRaster::addRun(double row, double a, double b, int close) {
    if (!(a <= b) || b < 0 || a > right_) return;
    runs_.push_back({static_cast<int32_t>(row), static_cast<int32_t>(std::max(a, 0.0)),
                     static_cast<int32_t>(std::min(b, right_)), colour_[close]});
}

}  // namespace q24
