#pragma once
// Reading SEG-2 files: ours (made by Sg2Maker) and those of other recorders.
// Every count, pointer and size taken from the file is checked against the
// file's length before it is used.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/LoadedData.h"

namespace q24 {

// The file descriptor block starts with the block id 0x3A55, in the file's
// byte order (55 3A little-endian, 3A 55 big-endian).
bool IsSeg2(std::string_view bytes);

struct Seg2Trace {
    long long pointer = 0;      // where its descriptor block starts
    long long dataOffset = 0;   // where its samples start
    int formatCode = 0;         // 1 int16, 2 int32, 3 20-bit packed, 4 float32, 5 float64
    long long samples = 0;      // the count its descriptor gives
    std::vector<std::string> strings;  // "KEYWORD value" entries, in file order
    std::vector<float> values;         // decoded samples (at most the limit asked)
};

struct Seg2File {
    bool bigEndian = false;
    std::vector<std::string> strings;  // the file descriptor strings
    std::vector<Seg2Trace> traces;
};

// The value of the first string of `strings` whose keyword is `key` (exact
// case), blanks around it removed; nothing when no string has it.
std::optional<std::string> Seg2Value(const std::vector<std::string>& strings, std::string_view key);

struct Seg2Limits {
    long long maxTraces = kMaxTraces;
    long long maxSamples = kMaxSamples;  // decoded per trace at most
};

// Parses the whole file. The samples of each trace start at its pointer plus
// the block size written in its descriptor; only when that size is
// inconsistent (below 32, or the data would not fit in the file) do they
// start after the first run of three zero bytes following the descriptor's
// fixed part. Nothing, with the reason in `why`, when the file breaks a rule.
std::optional<Seg2File> ParseSeg2(std::string_view bytes, const Seg2Limits& limits = {},
                                  std::string* why = nullptr);

// The loader's view: N_Geofoni = trace count, N_samples = the first trace's
// count (every trace is read with it; a shorter trace is padded with zeros),
// Sampling_freq = 1 / the last trace's SAMPLE_INTERVAL, halves to even.
std::optional<LoadedData> ReadSeg2File(std::string_view bytes, std::string* why = nullptr);

}  // namespace q24
