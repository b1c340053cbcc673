#include "units/Uart.h"

#include <cmath>

namespace q24::units {

std::vector<RxByte> Resample(std::span<const uint8_t> bytes, int32_t fromBaud, int32_t toBaud) {
    std::vector<RxByte> out;
    if (fromBaud <= 0 || toBaud <= 0) return out;
    if (fromBaud == toBaud) {
        for (uint8_t b : bytes) out.push_back({b, false});
        return out;
    }
    const double tf = 1.0 / fromBaud, to = 1.0 / toBaud;
    const long long bits = static_cast<long long>(bytes.size()) * 10;
    // Line level during sender bit m (idle high outside the bytes).
    auto levelOfBit = [&](long long m) -> int {
        if (m < 0 || m >= bits) return 1;
        const long long byte = m / 10, bit = m % 10;
        if (bit == 0) return 0;
        if (bit == 9) return 1;
        return (bytes[static_cast<std::size_t>(byte)] >> (bit - 1)) & 1;
    };
    auto level = [&](double t) { return levelOfBit(static_cast<long long>(std::floor(t / tf))); };
    double from = 0;
    const double end = static_cast<double>(bits) * tf;
    while (from < end) {
        // Next falling edge: a sender bit boundary where the line goes 1 -> 0.
        long long m = static_cast<long long>(std::ceil(from / tf - 1e-9));
        while (m < bits && !(levelOfBit(m - 1) == 1 && levelOfBit(m) == 0)) ++m;
        if (m >= bits) break;
        const double edge = static_cast<double>(m) * tf;
        if (level(edge + to / 2) != 0) {  // a glitch, not a start bit
            from = edge + to / 2;
            continue;
        }
        uint8_t value = 0;
        for (int i = 0; i < 8; ++i)
            if (level(edge + (1.5 + i) * to)) value |= static_cast<uint8_t>(1u << i);
        const bool framing = level(edge + 9.5 * to) == 0;
        out.push_back({value, framing});
        from = edge + 9.5 * to;
    }
    return out;
}

}  // namespace q24::units
