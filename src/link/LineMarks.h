#pragma once
// The driver's marking of bad bytes in the input stream (termios PARMRK): a
// byte received with a framing or parity error arrives as 0xFF 0x00 byte, a
// break as 0xFF 0x00 0x00, and a genuine 0xFF data byte as 0xFF 0xFF. This
// decoder strips the marks, keeps the data bytes (a marked byte is kept: it
// is what the UART read, possibly wrong) and counts the marks. It keeps its
// state across calls, since a mark can be split between two reads.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace q24 {

class LineMarks {
public:
    // Appends the data bytes of `raw` to `out`; returns the marks completed.
    std::size_t decode(std::span<const uint8_t> raw, std::vector<uint8_t>& out);
    // Marks whose byte was 0x00 (a break, or a framing error on a zero byte).
    std::size_t zeroMarks() const { return zeroMarks_; }
    void reset() { state_ = 0; }

private:
    int state_ = 0;  // 0 plain, 1 after 0xFF, 2 after 0xFF 0x00
    std::size_t zeroMarks_ = 0;
};

}  // namespace q24
