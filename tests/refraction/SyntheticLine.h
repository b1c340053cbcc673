#pragma once
// A synthetic refraction line over two flat layers (v1 over v2, the top of
// layer 2 at depth h): first-break times, shots with a decaying wavelet at
// the first break, weak noise before it and stronger slow waves after it, and
// the SEG-2 image of a shot with the strings the reader looks for.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "refraction/Shots.h"

namespace q24::test {

struct TwoLayers {
    double v1 = 500, v2 = 2000, depth = 6;
    double firstBreak(double offset) const {
        offset = std::fabs(offset);
        const double refracted = offset / v2 + 2 * depth * std::sqrt(v2 * v2 - v1 * v1) / (v1 * v2);
        return std::min(offset / v1, refracted);
    }
};

inline refraction::Shot SyntheticShot(const TwoLayers& m, double source, int traces = 24, double spacing = 5,
                                      double delay = 0, unsigned seed = 1) {
    refraction::Shot shot;
    shot.path = "synthetic";
    shot.source = source;
    shot.interval = 0.00025;
    shot.delay = delay;
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0, 1);
    for (int t = 0; t < traces; ++t) {
        const double x = t * spacing, offset = std::fabs(x - source);
        const double fb = m.firstBreak(offset), slow = offset / 250 + 0.01;
        const double gain = 1000 / std::sqrt(offset + 1);
        std::vector<float> trace(1200);
        for (std::size_t j = 0; j < trace.size(); ++j) {
            const double time = shot.timeOf(static_cast<double>(j));
            double v = 0.01 * gain * noise(rng);
            for (auto [start, amp] : {std::pair{fb, 1.0}, {slow, 4.0}})
                if (time >= start)
                    v += amp * gain * std::sin(2 * M_PI * 60 * (time - start)) * std::exp(-(time - start) / 0.02);
            trace[j] = static_cast<float>(v);
        }
        shot.receivers.push_back(x);
        shot.traces.push_back(std::move(trace));
    }
    return shot;
}

// The SEG-2 image (little-endian, float32) of a shot; `geometry` false leaves
// out the location strings.
inline std::string Seg2Image(const refraction::Shot& shot, bool geometry = true) {
    std::string out(32, '\0');
    auto put = [](std::string& s, std::size_t at, std::uint32_t v, std::size_t bytes) {
        for (std::size_t i = 0; i < bytes; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const std::size_t n = shot.traces.size();
    for (auto [at, v] : {std::pair<std::size_t, std::size_t>{0, 0x3A55}, {2, 1}, {4, 4 * n}, {6, n}})
        put(out, at, static_cast<std::uint32_t>(v), 2);
    out[8] = 1;
    out.resize(32 + 4 * n + 2, '\0');  // the pointers, then an empty string list
    for (std::size_t t = 0; t < n; ++t) {
        put(out, 32 + 4 * t, static_cast<std::uint32_t>(out.size()), 4);
        std::vector<std::string> strings{"SAMPLE_INTERVAL " + std::to_string(shot.interval),
                                         "DELAY " + std::to_string(shot.delay)};
        if (geometry) {
            strings.push_back("RECEIVER_LOCATION " + std::to_string(shot.receivers[t]));
            strings.push_back("SOURCE_LOCATION " + std::to_string(shot.source));
        }
        std::string block(32, '\0');
        for (const std::string& s : strings) {
            std::string entry(2, '\0');
            put(entry, 0, static_cast<unsigned>(s.size() + 3), 2);
            block += entry + s + '\0';
        }
        block += std::string(2 + (4 - block.size() % 4) % 4, '\0');
        const auto& values = shot.traces[t];
        put(block, 0, 0x4422, 2);
        put(block, 2, static_cast<unsigned>(block.size()), 2);
        put(block, 4, static_cast<std::uint32_t>(4 * values.size()), 4);
        put(block, 8, static_cast<std::uint32_t>(values.size()), 4);
        block[12] = 4;
        out += block;
        for (float v : values) {
            std::uint32_t bits = 0;
            std::memcpy(&bits, &v, 4);
            out.resize(out.size() + 4);
            put(out, out.size() - 4, bits, 4);
        }
    }
    return out;
}

}  // namespace q24::test
