#pragma once
// Every duration of the unit link in one place: how long bytes take on the
// line, how long the link waits for the units, and the wait rule.
//
// Wait rule. The settling waits (speed change, reset) and the block and burst
// time limits start from the clock rounded to the whole second (halves to
// even), so a "1 second" wait lasts 0.5 to 1.5 s and a "2 second" wait 1.5 to
// 2.5 s; the trigger-time and code replies start from the clock as it is. The
// clock is monotonic, so no wait can outlive midnight or a clock change.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "state/NumberFormat.h"

namespace q24::timing {

constexpr double kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

// Seconds that `bytes` take on the line at `baud`.
inline double WireSeconds(std::size_t bytes, int32_t baud) {
    return baud > 0 ? static_cast<double>(bytes) * kBitsPerByte / baud : 0.0;
}

// Start of a whole-second wait.
inline double WholeSecondStart(double now) { return RoundHalfEven(now); }

constexpr double kSpeedSettle = 1;   // after a speed command, before the PC follows
constexpr double kResetLead = 1;     // before the reset byte
constexpr double kResetSettle = 2;   // after the reset byte: the units restart at 250000
constexpr double kCodeReplyLimit = 1;
// A reset waited exactly (not by the whole-second rule) gives the units this
// much more than their two seconds, so the speed command is never early.
constexpr double kResetMargin = 0.05;

// Time limits for a data block (request plus 896 bytes) and for a burst: the
// units' allowance, never less than four times the bytes' own wire time (which
// only matters below the system's slowest rate of 125000 baud).
inline double BlockLimit(int32_t baud) { return std::max(1.0, 4 * WireSeconds(11 + 896, baud)); }
inline double BurstLimit(int32_t baud, std::size_t bytes) { return std::max(3.0, 4 * WireSeconds(bytes + 1, baud)); }
inline double BurstRunningLimit(int32_t baud, std::size_t bytes) {
    return std::max(1.0, 4 * WireSeconds(bytes + 1, baud));
}

// Longest gap between two stop checks while nothing else happens.
constexpr double kStopCheck = 0.25;

}  // namespace q24::timing
