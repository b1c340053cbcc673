#pragma once
// The emulated units' exact test pattern as the program keeps it.
//
// What a block read leaves in Traccia for unit `unit`: the samples as the link decodes them (a negative count
// arrives one lower), with their mean removed in the reader's own
// single-precision arithmetic.
#include <cstdint>
#include <vector>

#include "units/Seismic.h"

namespace q24::test {

inline std::vector<float> PatternBlockTrace(int unit, int n) {
    std::vector<float> v(static_cast<std::size_t>(n));
    float sum = 0;
    for (int k = 0; k < n; ++k) {
        const int32_t x = units::PatternValue(unit, k);
        v[static_cast<std::size_t>(k)] = static_cast<float>(x >= 0 ? x : x - 1);
        sum += v[static_cast<std::size_t>(k)];
    }
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
    for (int k = 0; k < n; ++k) {
        const int32_t x = units::PatternValue(unit, first + k);
        sum += v[static_cast<std::size_t>(k)] = static_cast<float>(x >= 0 ? x : x - 1);
    }
    for (float& x : v) x -= static_cast<float>(sum / n);
    return v;
}

}  // namespace q24::test
