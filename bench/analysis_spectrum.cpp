// EVALUATE's spectrum at 16384 samples: the chirp-z transform against the
// direct sum bin after bin (single-precision running sums, about 134 million
// sines and cosines), and the largest bin error against a double-precision
// direct sum with the same 6.28/N angle step. Prints ratios of one run; the
// figures are for reading, nothing here fails on time.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "analysis/SpectrumTransform.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

}  // namespace

int main() {
    using namespace q24;
    const int n = 16384;
    const int bins = SpectrumBinCount(n);

    // A shot trace: ambient noise, then a decaying 40 Hz arrival at 4000 Hz.
    std::vector<float> x(n);
    std::mt19937 gen(7);
    std::normal_distribution<double> noise(0, 300);
    for (int j = 0; j < n; ++j) {
        const double t = (j - 1200) / 4000.0;
        const double arrival = t < 0 ? 0 : 2e6 * std::exp(-t * 12) * std::sin(2 * M_PI * 40 * t);
        x[j] = static_cast<float>(arrival + noise(gen));
    }

    std::vector<float> literal(bins), fast(bins);
    std::vector<double> exact(bins);
    auto start = Clock::now();
    DirectSpectrum<float>(x.data(), n, bins, literal.data());
    const double direct = Seconds(start);

    SpectrumTransform transform;
    start = Clock::now();
    transform.amplitudes(x.data(), n, bins, fast.data());
    const double first = Seconds(start);  // includes the FFT plans and chirp
    const int repeats = 50;
    start = Clock::now();
    for (int i = 0; i < repeats; ++i) transform.amplitudes(x.data(), n, bins, fast.data());
    const double again = Seconds(start) / repeats;

    DirectSpectrum<double>(x.data(), n, bins, exact.data());
    const double largest = *std::max_element(exact.begin(), exact.end());
    double worstFast = 0, worstLiteral = 0;
    for (int k = 0; k < bins; ++k) {
        worstFast = std::max(worstFast, std::abs(static_cast<double>(fast[k]) - exact[k]));
        worstLiteral = std::max(worstLiteral, std::abs(static_cast<double>(literal[k]) - exact[k]));
    }

    std::printf("spectrum of %d samples, bins 0..%d\n", n, bins - 1);
    std::printf("direct sum (float sums): %.3f s\n", direct);
    std::printf("chirp-z, first evaluation (plans made): %.5f s  ratio %.0fx\n", first, direct / first);
    std::printf("chirp-z, later evaluations:            %.5f s  ratio %.0fx\n", again, direct / again);
    std::printf("largest bin error / largest bin, against the double direct sum:\n");
    std::printf("  chirp-z %.2e   direct sum with float sums %.2e   (target 1e-4)\n", worstFast / largest,
                worstLiteral / largest);
    return 0;
}
