#pragma once
// What the acquisition tests share besides the units rig.
#include <algorithm>
#include <array>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "acquisition/ChannelSettings.h"
#include "link/Frames.h"

namespace q24::test {

using Bytes = std::vector<uint8_t>;

// A command's bytes; commands one after the other as the PC writes them.
template <class C>
Bytes Cmd(const C& c) {
    return Bytes(std::begin(c), std::end(c));
}
inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
inline Bytes Request(int unit) { return Cmd(*frames::DataRequest(unit)); }
// The reset byte and the speed command that ends the units' reset.
inline const Bytes kResetThenSpeed = Cat({{frames::kResetByte}, Cmd(frames::SpeedCommand(1000000))});

struct TestSlots : ChannelSlots {
    std::array<std::string, 25> texts, captions;
    std::array<bool, 25> ticks{};
    std::array<SlotColour, 25> colours{};
    std::string text(int i) const override { return i >= 1 && i <= 24 ? texts[i] : ""; }
    bool checked(int i) const override { return i >= 1 && i <= 24 && ticks[i]; }
    void setCheckCaption(int i, const std::string& c, SlotColour b) override {
        if (i >= 1 && i <= 24) captions[i] = c, colours[i] = b;
    }
};

inline long CountByte(const std::vector<uint8_t>& bytes, uint8_t b) { return std::count(bytes.begin(), bytes.end(), b); }

}  // namespace q24::test
