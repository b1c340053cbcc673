#include "analysis/GeometryView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "state/NumberFormat.h"

namespace q24 {

namespace {

using L = GeometryLayout;

// Twips of a computed position; a source thousands of kilometres out (a
// damaged ini.txt) stays a representable, if far, position.
int32_t ToTwips(double x) {
    if (std::isnan(x)) return 0;
    const double limit = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(RoundHalfEven(std::clamp(x, -limit, limit)));
}

std::string WithSeparator(std::string text, char decimal) {
    std::replace(text.begin(), text.end(), '.', decimal);
    return text;
}

}  // namespace

std::string FormatDistance(double metres, char decimal) {
    if (!std::isfinite(metres)) metres = 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", metres);
    std::string s = buf;
    if (s.back() == '0') s.pop_back();
    if (s == "-0.0") s = "0.0";
    return WithSeparator(s, decimal);
}

GeometryView::GeometryView(State& s, int32_t width, char decimal) : s_(s), width_(width), decimal_(decimal) {}

int GeometryView::shown() const { return ClampTraceCount(s_.N_Geofoni, 1); }

int32_t GeometryView::geophoneLeft(int i) const {
    const int column = i > L::kRowLength ? i - L::kRowLength - 1 : i - 1;
    return ToTwips(0.1 * width_ + static_cast<double>(column) * step_);
}

void GeometryView::draw() {
    // The scroll bar holds tenths of a metre, 1 ... 100; a spacing that is no
    // number at all is read as the 5 m a missing one gets.
    // The tenths are reckoned in single precision like the spacing itself, so
    // a stored 2.55 is 25.5 tenths and goes to 26.
    const float d = s_.Dist_geofoni;
    const float scaled = d * 10.0f;
    const int tenths = std::isfinite(scaled) ? static_cast<int>(std::clamp(RoundHalfEven(scaled), 1.0, 100.0)) : 50;
    if (static_cast<float>(tenths / 10.0) != d) {
        spacingChanged(tenths);
        return;
    }
    scroll_ = tenths;
    spacingText_ = WithSeparator(FreeFormat(d), decimal_);
    s_.Half_spacing = d / 2;

    const int n = shown();
    step_ = ToTwips(0.8 * width_ / std::min(n, L::kRowLength));
    placeShot(n < 49 || s_.Pos_source <= L::kRowLength * d, false);
    distanceText_ = FormatDistance(s_.Pos_source, decimal_);
}

void GeometryView::spacingChanged(int tenths) {
    tenths = std::clamp(tenths, 1, 100);
    const float d = static_cast<float>(tenths / 10.0);
    if (d != s_.Dist_geofoni) {
        // A new spacing puts the source back on the first geophone.
        distanceText_ = "0";
        s_.Pos_source = 0;
    }
    s_.Dist_geofoni = d;
    draw();
}

void GeometryView::move(SourceMove m) {
    const float h = s_.Half_spacing;
    float& p = s_.Pos_source;
    switch (m) {
        case SourceMove::FiveBack: p -= 10 * h; break;
        case SourceMove::HalfBack: p -= h; break;
        case SourceMove::HalfForward: p += h; break;
        case SourceMove::FiveForward: p += 10 * h; break;
    }
    const bool forward = m == SourceMove::HalfForward || m == SourceMove::FiveForward;
    const double rowEnd = L::kRowLength * static_cast<double>(s_.Dist_geofoni);
    const bool row1 = shown() < 49 || (forward ? p <= rowEnd - h : p < rowEnd);
    placeShot(row1, true);
    s_.Shot_x = std::clamp(s_.Shot_x, 0, std::max(0, width_ - L::kShotWidth));
    distanceText_ = FormatDistance(p, decimal_);
}

void GeometryView::placeShot(bool row1, bool afterMove) {
    const int n = shown();
    const double d = s_.Dist_geofoni;
    const double p = std::isfinite(s_.Pos_source) ? s_.Pos_source : 0.0;
    const double x1 = geophoneLeft(1), xn = geophoneLeft(n);
    double x;
    if (n >= 49 && row1) {
        shotTop_ = 2280;
        shotLabelTop_ = 1920;
        x = x1 + (geophoneLeft(48) - x1) * p / (47 * d);
    } else if (n >= 49) {
        shotTop_ = 3840;
        shotLabelTop_ = afterMove ? 3480 : 3360;
        // Geophone 49 is 48 spacings from geophone 1 and is drawn under it.
        // With 49 geophones row 2 has no length to scale by, so the offset
        // past geophone 49 takes row 1's twips per metre.
        x = n == 49 ? x1 + step_ * (p - 48 * d) / d : x1 + (xn - x1) * (p - 48 * d) / ((n - 49) * d);
    } else {
        shotTop_ = 2280;
        shotLabelTop_ = 1920;
        x = n == 1 ? x1 : x1 + (xn - x1) * p / ((n - 1) * d);
    }
    s_.Shot_x = ToTwips(x);
}

}  // namespace q24
