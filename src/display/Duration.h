#pragma once
// Numbers for the operator in digit-placeholder patterns, and the record
// duration of a sample count in "msec", "sec" or "min".
#include <cstdint>
#include <string>

namespace q24 {

// "#": rounded to an integer, no digit at all for zero.
// "#.##": no leading zero, at most two decimals, trailing zeros dropped, the
//         decimal point always printed (2 is "2.", 0.5 is ".5").
// "#0.#", "#0.###": at least one integer digit, at most one (three) decimals,
//         the point always printed.
std::string FormatPattern(double value, const std::string& pattern, char decimal = '.');

struct Duration {
    std::string value;  // e.g. "256", "8.19", "2.18"; may be empty ("#" of zero)
    std::string unit;   // "msec", "sec" or "min"
};

// The duration of n samples at `freq` Hz, as ShowDuration shows it.
Duration ShowDuration(int32_t n, int32_t freq, char decimal = '.');

}  // namespace q24
