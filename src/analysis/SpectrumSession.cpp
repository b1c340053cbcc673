#include "analysis/SpectrumSession.h"

#include <algorithm>
#include <cmath>

#include "display/Duration.h"

namespace q24 {

std::string NyquistCaption(int32_t samplingFreq, const Regional& regional) {
    return regional.number(samplingFreq / 2.0) + "Hz";
}

std::string GridCaption(int k, int32_t samplingFreq, const Regional& regional) {
    return regional.number(static_cast<double>(k) * samplingFreq / 20);
}

double GridLineX(int k, double width) {
    return k < 10 ? k * width / 10 : (k - 10 + 0.5) * width / 10;
}

std::string CursorReadout(int32_t samplingFreq, double x, double width) {
    if (width <= 0) return {};
    return FormatPattern(samplingFreq * 0.5 * x / width, "#");
}

std::vector<CurvePoint> SpectrumCurve(const std::vector<float>& amp, int n, double width, double height) {
    std::vector<CurvePoint> points;
    const int top = std::min(SpectrumTopBin(n), static_cast<int>(amp.size()) - 1);
    if (top < 0) return points;
    const double baseline = height - 1;
    double largest = 0;
    for (int k = 0; k <= top; ++k)
        if (std::isfinite(amp[k])) largest = std::max(largest, static_cast<double>(amp[k]));
    const double scale = largest == 0 ? 1 : baseline / largest;
    const double step = 2 * width / n;
    points.reserve(static_cast<std::size_t>(top) + 1);
    for (int k = 0; k <= top; ++k) {
        const double y = std::isfinite(amp[k]) ? baseline - amp[k] * scale : 0;
        points.push_back({k * step, y});
    }
    return points;
}

const std::vector<CurveRgb>& CurvePalette() {
    static const std::vector<CurveRgb> palette{{0, 0, 0},   {0, 0, 128},   {0, 128, 0},
                                          {0, 128, 128}, {128, 0, 0}, {128, 0, 128}};
    return palette;
}

CurveRgb CurveColours::next() {
    // Scale the 32-bit draw to 0 ... 5 by multiplication, which keeps the six
    // chances equal to within 2^-32.
    const uint64_t draw = generator_();
    return CurvePalette()[static_cast<std::size_t>((draw * 6) >> 32)];
}

}  // namespace q24
