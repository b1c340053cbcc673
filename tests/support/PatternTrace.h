#pragma once
// The emulated units' exact test pattern as the program keeps it.
#include <cstdint>
#include <vector>

#include "units/Seismic.h"

namespace q24::test {

// Sample k of unit `unit` as the link decodes it: a negative count arrives one lower.
inline float PatternSample(int unit, int k) {
    const int32_t x = units::PatternValue(unit, k);
    return static_cast<float>(x >= 0 ? x : x - 1);
}

// What a block read leaves in Traccia for unit `unit`: the decoded samples
// with their mean removed in the reader's own single-precision arithmetic.
inline std::vector<float> PatternBlockTrace(int unit, int n) {
    std::vector<float> v(static_cast<std::size_t>(n));
    float sum = 0;
    for (int k = 0; k < n; ++k) sum += v[static_cast<std::size_t>(k)] = PatternSample(unit, k);
    if (n == 16384) sum -= v[16383];
    const double mean = static_cast<double>(sum) / n;
    for (float& x : v) x = static_cast<float>(x - mean);
    return v;
}

// Samples first..first+n-1 of unit `unit` as a timed recording stores them
// in Dati_cont (and, within half a count, as running mode's bursts leave
// them): decoded, the mean of the n samples taken out in the recording's own
// arithmetic.
inline std::vector<float> PatternRecordTrace(int unit, int n, int first = 0) {
    std::vector<float> v(static_cast<std::size_t>(n));
    double sum = 0;
    for (int k = 0; k < n; ++k) sum += v[static_cast<std::size_t>(k)] = PatternSample(unit, first + k);
    for (float& x : v) x -= static_cast<float>(sum / n);
    return v;
}

}  // namespace q24::test
