#include "display/ShotGather.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace q24 {

void FillShotGather(State& s, int traces, int samples, int freq, double noise, unsigned seed) {
    traces = std::clamp(traces, 0, s.Dati.rows());
    samples = std::clamp(samples, 0, s.Dati.cols());
    if (freq <= 0) return;
    std::mt19937 rng(seed);
    std::normal_distribution<double> ambient(0, noise > 0 ? noise : 1e-9);
    constexpr double kSpacing = 5.0, kVelocity = 800.0, kDelay = 0.010;  // metres, m/s, seconds
    constexpr double kWaveHz = 60.0, kDecay = 0.04, kPeak = 3.0e6;
    for (int t = 0; t < traces; ++t) {
        const double distance = kSpacing * (t + 1);
        const double arrival = kDelay + distance / kVelocity;  // first break, seconds
        const double amplitude = kPeak / (1 + distance / 20);
        float* row = s.Dati.row(t);
        for (int k = 0; k < samples; ++k) {
            const double time = static_cast<double>(k) / freq - arrival;
            double v = ambient(rng);
            if (time >= 0) v += amplitude * std::exp(-time / kDecay) * std::sin(2 * std::numbers::pi * kWaveHz * time);
            row[k] = static_cast<float>(v);
        }
    }
}

}  // namespace q24
