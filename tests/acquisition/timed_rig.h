#pragma once
// Timed sampling against the emulated units on a simulated clock: the units
// record the exact test pattern, so every stored sample can be checked.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/TimedSampling.h"
#include "support/FakePanel.h"
#include "units/EmulatedPort.h"
#include "units/Seismic.h"

namespace q24::test {

// The channel settings' channelSlots as timed sampling sees them: unit texts, check
// boxes, and the captions it leaves.
struct TimedSlots : ChannelSlots {
    std::array<std::string, 25> texts;
    std::array<bool, 25> ticks{};
    std::array<std::string, 25> captions;
    std::array<SlotColour, 25> colours{};
    std::string text(int slot) const override { return slot >= 1 && slot <= 24 ? texts[slot] : ""; }
    bool checked(int slot) const override { return slot >= 1 && slot <= 24 && ticks[slot]; }
    void setCheckCaption(int slot, const std::string& caption, SlotColour background) override {
        if (slot < 1 || slot > 24) return;
        captions[slot] = caption;
        colours[slot] = background;
    }
};

inline units::UnitsConfig PatternUnits(std::vector<int> addresses) {
    units::UnitsConfig c;
    c.data = units::DataKind::Pattern;
    c.addresses = std::move(addresses);
    return c;
}

struct TimedRig {
    std::unique_ptr<State> s = std::make_unique<State>();
    FakePanel panel;
    units::SimulatedLine line;
    PortMap map;
    Link link;
    TimedSlots channelSlots;
    TimedMode mode;
    int saves = 0, ends = 0;

    explicit TimedRig(units::UnitsConfig c)
        : line(std::move(c)),
          link(*s, panel, line.port, map, line.clock(), line.yield()),
          mode(*s, panel, link, channelSlots, line.yield()) {
        map.assign(3, line.port.path());
        map.fillDefaults({});
        s->Baud_rate = 1000000;
        s->Baud_rate_high = 1000000;
        s->Com_port = 3;
        s->Use_timeout = true;
        s->N_slow = 128;
        s->Burst_N = 128;
        s->Trigger_unit = 1;
        s->Sampling_freq = 250;
        s->Finestra_tempo = 1;
        mode.showSave = [this] { ++saves; };
        mode.endProgram = [this] { ++ends; };
        link.Open_port();
        line.port.written.clear();
    }

    // Slots 1..units.size() ask the units given, all checked.
    void spread(const std::vector<int>& units) {
        s->N_Geofoni = static_cast<int16_t>(units.size());
        for (std::size_t i = 0; i < units.size(); ++i) {
            channelSlots.texts[i + 1] = std::to_string(units[i]);
            channelSlots.ticks[i + 1] = true;
        }
    }

    int count(uint8_t byte) const {
        int n = 0;
        for (uint8_t b : line.port.written) n += b == byte;
        return n;
    }
};

// Sample k of a unit as the link decodes it (the converter's negative counts
// lie one below the two's complement value).
inline float PatternCount(int unit, int64_t k) {
    const int32_t x = units::PatternValue(unit, k);
    return static_cast<float>(x >= 0 ? x : x - 1);
}

// Samples 0..n-1 of a unit with their mean taken out, as a recording stores
// them.
inline std::vector<float> PatternRecord(int unit, int n) {
    std::vector<float> v(static_cast<std::size_t>(n));
    double sum = 0;
    for (int k = 0; k < n; ++k) sum += v[static_cast<std::size_t>(k)] = PatternCount(unit, k);
    const float mean = static_cast<float>(sum / n);
    for (float& x : v) x -= mean;
    return v;
}

}  // namespace q24::test
