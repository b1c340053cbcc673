#include "refraction/ViewFilters.h"

#include <algorithm>
#include <cmath>

namespace q24::refraction {

namespace {

struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    void run(std::vector<double>& x) const {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (double& v : x) {
            const double y = b0 * v + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = v;
            y2 = y1;
            y1 = y;
            v = y;
        }
    }
};

Biquad butterworth(double corner, double interval, bool high) {
    const double w = 2 * M_PI * corner * interval, c = std::cos(w), alpha = std::sin(w) / std::sqrt(2.0);
    const double a0 = 1 + alpha;
    Biquad f;
    f.b0 = (high ? (1 + c) : (1 - c)) / 2 / a0;
    f.b1 = (high ? -(1 + c) : (1 - c)) / a0;
    f.b2 = f.b0;
    f.a1 = -2 * c / a0;
    f.a2 = (1 - alpha) / a0;
    return f;
}

void forwardBackward(const Biquad& f, std::vector<double>& x) {
    f.run(x);
    std::reverse(x.begin(), x.end());
    f.run(x);
    std::reverse(x.begin(), x.end());
}

}  // namespace

void ZeroPhaseBandPass(std::vector<double>& x, double interval, double lowCut, double highCut) {
    const double nyquist = 0.5 / interval;
    if (lowCut > 0 && lowCut < nyquist) forwardBackward(butterworth(lowCut, interval, true), x);
    if (highCut > 0 && highCut < nyquist) forwardBackward(butterworth(highCut, interval, false), x);
}

std::vector<float> ForView(const std::vector<float>& trace, double interval, const ViewSettings& s) {
    const std::size_t n = trace.size();
    std::vector<double> x(trace.begin(), trace.end());
    if (n == 0 || !(interval > 0)) return {};
    double mean = 0;
    for (double v : x) mean += v;
    mean /= static_cast<double>(n);
    for (double& v : x) v -= mean;
    ZeroPhaseBandPass(x, interval, s.lowCut, s.highCut);
    if (s.agcWindow > 0) {
        const std::size_t half = std::max<std::size_t>(1, static_cast<std::size_t>(s.agcWindow / interval / 2));
        std::vector<double> sum(n + 1, 0.0);
        for (std::size_t i = 0; i < n; ++i) sum[i + 1] = sum[i] + x[i] * x[i];
        std::vector<double> out(n);
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t a = i > half ? i - half : 0, b = std::min(n, i + half + 1);
            const double rms = std::sqrt((sum[b] - sum[a]) / static_cast<double>(b - a));
            out[i] = rms > 0 ? x[i] / rms : 0;
        }
        x.swap(out);
    }
    double scale = s.gain;
    if (s.normalise) {
        double peak = 0;
        for (double v : x) peak = std::max(peak, std::fabs(v));
        scale = peak > 0 ? s.gain / peak : 0;
    }
    std::vector<float> out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<float>(x[i] * scale);
    return out;
}

}  // namespace q24::refraction
