#include "display/Raster.h"

#include <algorithm>
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

// Whether y lies in pixel row `row`, [row, row + 1).
inline bool InRow(double y, double row) { return y >= row && y < row + 1; }
}

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
    if (row < 0 || row >= height_) return;
    double& lo = lo_[static_cast<std::size_t>(row)];
    double& hi = hi_[static_cast<std::size_t>(row)];
    if (lo == kUntouched) touched_.push_back(row);
    lo = std::min({lo, a, b});
    hi = std::max({hi, a, b});
}

// The part of segment p-q inside each pixel row it crosses.
void Rasterizer::segment(const PlotPoint& p, const PlotPoint& q) {
    const PlotPoint& top = p.y <= q.y ? p : q;
    const PlotPoint& bottom = p.y <= q.y ? q : p;
    if (bottom.y < 0 || top.y >= height_ || !std::isfinite(top.y) || !std::isfinite(bottom.y)) return;
    const int first = static_cast<int>(Floor(std::max(top.y, 0.0)));
    const int last = static_cast<int>(Floor(std::min(bottom.y, static_cast<double>(height_) - 0.5)));
    if (first == last) {
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

void Rasterizer::shape(const PlotPoint* p, std::size_t n, bool closed, Rgb colour) {
    if (n == 0 || (n == 1 && !closed)) return;
    const double right = width_ - 1;
    // Most lobes of a dense trace lie within one pixel row: one run.
    const double row0 = Floor(p[0].y);
    if (row0 >= 0 && row0 < height_) {
        double lo = p[0].x, hi = p[0].x;
        std::size_t k = 1;
        for (; k < n && InRow(p[k].y, row0); ++k) {
            lo = std::min(lo, p[k].x);
            hi = std::max(hi, p[k].x);
        }
        if (k == n && (closed || n > 1)) {
            const double a = Floor(lo), b = Floor(hi);
            if (b >= 0 && a <= right)
                runs_.push_back({static_cast<int32_t>(row0), static_cast<int32_t>(std::max(a, 0.0)),
                                 static_cast<int32_t>(std::min(b, right)), colour});
            return;
        }
    }
    touched_.clear();
    // Runs of points in one row cost a comparison each: only the row's
    // extent matters.
    std::size_t i = 0;
    while (i + 1 < n) {
        const double y = p[i].y;
        const double row = Floor(y);
        if (y >= 0 && y < height_ && InRow(p[i + 1].y, row)) {
            double lo = p[i].x, hi = p[i].x;
            std::size_t j = i + 1;
            for (; j < n && InRow(p[j].y, row); ++j) {
                lo = std::min(lo, p[j].x);
                hi = std::max(hi, p[j].x);
            }
            extend(static_cast<int>(row), lo, hi);
            i = j - 1;
            if (j < n) segment(p[i], p[j]);
            i = j;
            continue;
        }
        segment(p[i], p[i + 1]);
        ++i;
    }
    if (closed) segment(p[n - 1], p[0]);
    if (n == 1) segment(p[0], p[0]);
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

}  // namespace q24
