#include "units/Seismic.h"

#include <algorithm>
#include <cmath>

namespace q24::units {

namespace {

uint64_t Mix(uint64_t x) {  // splitmix64
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// About normal, mean 0, deviation 1, from four uniforms.
double Gauss(uint64_t key) {
    double sum = 0;
    for (int i = 0; i < 4; ++i) {
        key = Mix(key + static_cast<uint64_t>(i));
        sum += static_cast<double>(key >> 11) / 9007199254740992.0;
    }
    return (sum - 2.0) * std::sqrt(3.0);
}

double Ricker(double f, double t) {
    const double a = M_PI * f * t;
    return (1 - 2 * a * a) * std::exp(-a * a);
}

}  // namespace

int32_t PatternValue(int unit, int64_t k) {
    const int64_t v = static_cast<int64_t>(unit) * 1000 + k;
    return static_cast<int32_t>((k / 100) % 2 == 1 ? -v : v);
}

double FirstBreak(const Spread& s, int unit) {
    const double x = std::abs(s.sourceOffset + (unit - 1) * s.spacing);
    const double direct = x / s.v1;
    const double crit = 2 * s.depth * std::sqrt(s.v2 * s.v2 - s.v1 * s.v1) / (s.v1 * s.v2);
    return std::min(direct, x / s.v2 + crit);
}

int32_t GatherValue(const Spread& s, uint32_t seed, uint32_t shot, int unit, int64_t k, double fs, bool withShot,
                    int64_t zero) {
    if (fs <= 0) fs = 1000;
    const double t = static_cast<double>(k) / fs;
    const uint64_t key = (static_cast<uint64_t>(seed) << 40) ^ (static_cast<uint64_t>(shot) << 24) ^
                         (static_cast<uint64_t>(unit & 0xFFFF) << 48) ^ static_cast<uint64_t>(k);
    double v = s.noise * Gauss(key);
    // Microtremor: slow swell, its own phase per unit.
    v += 0.8 * s.noise * std::sin(2 * M_PI * 2.3 * t + unit * 0.7 + shot);
    if (withShot) {
        const double ts = static_cast<double>(k - zero) / fs;  // time since the shot
        const double x = std::abs(s.sourceOffset + (unit - 1) * s.spacing);
        const double decay = 1.0 / (1.0 + x / 8.0);
        const double f = std::min(60.0, fs / 6);
        const double tb = FirstBreak(s, unit);
        const double tau = ts - tb;
        if (tau > 0) v += s.amplitude * decay * std::sin(2 * M_PI * f * tau) * std::exp(-1.5 * f * tau);
        // Ground roll: slow and strong, behind the first breaks.
        const double tr = x / (0.55 * s.v1);
        v += 0.7 * s.amplitude * decay * Ricker(f / 3, ts - tr - 3.0 / f) * std::exp(-std::max(0.0, ts - tr) * 3);
    }
    return static_cast<int32_t>(std::clamp(std::lround(v), -8388608L, 8388607L));
}

int32_t WithNoise(int32_t v, double rmsDb, uint32_t seed, int unit, int64_t k) {
    const uint64_t key = (static_cast<uint64_t>(seed ^ 0x5A5Au) << 40) ^ (static_cast<uint64_t>(unit & 0xFFFF) << 48) ^
                         static_cast<uint64_t>(k) ^ 0xA5A5A5A5A5ull;
    const double noise = 8388608.0 * std::pow(10.0, rmsDb / 20) * Gauss(key);
    return static_cast<int32_t>(std::clamp(std::llround(v + noise), -8388608LL, 8388607LL));
}

}  // namespace q24::units
