#pragma once
// The samples the emulated units record: a refraction shot gather (direct and
// refracted first breaks over the spread, ground roll), ambient noise, or an
// exact test pattern. Every sample is a pure function of its unit and index,
// so any block can be asked for in any order and gives the same counts.
#include <cstdint>

namespace q24::units {

enum class DataKind { Gather, Noise, Pattern };

struct Spread {
    double spacing = 5.0;        // metres between units 1, 2, 3 ...
    double sourceOffset = 2.5;   // source to unit 1, metres
    double v1 = 500.0;           // upper layer, m/s
    double v2 = 2000.0;          // refractor, m/s
    double depth = 6.0;          // refractor depth, metres
    double amplitude = 3.0e6;    // peak counts of the first arrival near the source
    double noise = 2000.0;       // ambient noise, counts rms
};

// The test pattern: unit a, sample k gives a * 1000 + k, negative on every
// other stretch of 100 samples (k = 100..199, 300..399, ...).
int32_t PatternValue(int unit, int64_t k);

// First-break time in seconds at unit a of the spread.
double FirstBreak(const Spread& spread, int unit);

// Counts of unit a at sample k of recording `shot`. With a shot, the source
// fires at sample `zero` and the first arrival starts exactly at the first
// break (a damped sine, as a first break looks); without one the record is
// ambient noise.
int32_t GatherValue(const Spread& spread, uint32_t seed, uint32_t shot, int unit, int64_t k,
                    double fs, bool withShot, int64_t zero);

// Counts `v` of unit a at sample k with noise of `rmsDb` dB of full scale
// (2^23 counts) added, clipped to the converter's range.
int32_t WithNoise(int32_t v, double rmsDb, uint32_t seed, int unit, int64_t k);

}  // namespace q24::units
