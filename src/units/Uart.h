#pragma once
// What a UART listening at one speed makes of bytes sent at another: the
// sender's waveform (start bit, 8 data bits LSB first, stop bit, bytes back to
// back) sampled in the middle of each bit at the receiver's speed. Gives the
// garbage and framing errors of a real line whose ends disagree on the speed.
#include <cstdint>
#include <span>
#include <vector>

namespace q24::units {

struct RxByte {
    uint8_t value = 0;
    bool framing = false;  // the stop bit was not there
};

std::vector<RxByte> Resample(std::span<const uint8_t> bytes, int32_t fromBaud, int32_t toBaud);

}  // namespace q24::units
