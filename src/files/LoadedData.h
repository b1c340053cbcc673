#pragma once
// What a reader of a loaded file gives back before anything of the program
// state is touched: the loader applies it only when the whole file was read.
#include <cstdint>
#include <optional>
#include <vector>

#include "state/State.h"

namespace q24 {

// The largest file the loader takes: 97 traces of 16385 samples, the most the
// trace array holds, at up to 32 bytes a sample (a record file's text lines,
// SEG-2 float64 data with generous descriptors).
inline constexpr long long kMaxTraces = 97;
inline constexpr long long kMaxSamples = 16385;
inline constexpr long long kMaxLoadBytes = kMaxTraces * kMaxSamples * 32;

struct LoadedData {
    int32_t N_samples = 0;
    int32_t Sampling_freq = 0;
    int16_t N_Geofoni = 0;
    std::optional<float> Dist_geofoni;  // record files only
    std::optional<float> Pos_source;    // record files only
    double delaySeconds = 0;            // SEG-2: the first sample's time relative to the trigger
    // N_Geofoni rows of N_samples values.
    std::vector<std::vector<float>> traces;
};

// Puts a loaded file into the program state: the counts, the frequency, the
// spacing and source position when the file carries them, and the samples
// into Dati (trace t in row t - 1). The readers never give more than Dati holds.
inline void ApplyLoaded(State& s, const LoadedData& d) {
    s.N_samples = d.N_samples;
    s.Sampling_freq = d.Sampling_freq;
    s.N_Geofoni = d.N_Geofoni;
    if (d.Dist_geofoni) s.Dist_geofoni = *d.Dist_geofoni;
    if (d.Pos_source) s.Pos_source = *d.Pos_source;
    for (std::size_t t = 0; t < d.traces.size() && static_cast<int>(t) < s.Dati.rows(); ++t) {
        const auto& row = d.traces[t];
        float* out = s.Dati.row(static_cast<int>(t));
        for (std::size_t j = 0; j < row.size() && static_cast<int>(j) < s.Dati.cols(); ++j) out[j] = row[j];
    }
}

}  // namespace q24
