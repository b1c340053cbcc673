#include "link/LineMarks.h"

namespace q24 {

std::size_t LineMarks::decode(std::span<const uint8_t> raw, std::vector<uint8_t>& out) {
    std::size_t marks = 0;
    for (uint8_t b : raw) {
        switch (state_) {
            case 0:
                if (b == 0xFF) state_ = 1;
                else out.push_back(b);
                break;
            case 1:
                if (b == 0xFF) {
                    out.push_back(0xFF);
                    state_ = 0;
                } else if (b == 0x00) {
                    state_ = 2;
                } else {
                    // Not a sequence the driver makes: keep both bytes as data.
                    out.push_back(0xFF);
                    out.push_back(b);
                    state_ = 0;
                }
                break;
            default:
                ++marks;
                if (b == 0x00) ++zeroMarks_;
                out.push_back(b);
                state_ = 0;
                break;
        }
    }
    return marks;
}

}  // namespace q24
