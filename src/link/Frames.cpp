#include "link/Frames.h"

#include <algorithm>
#include <cmath>

#include "state/NumberFormat.h"

namespace q24::frames {

namespace {

constexpr int32_t kFrequencies[] = {32000, 16000, 8000, 4000, 2000, 1000, 500, 250, 125};
constexpr int32_t kSampleCounts[] = {64, 128, 256, 512, 1024, 2048, 4096, 8192, 16384};
constexpr int32_t kSpeeds[] = {125000, 250000, 500000, 1000000};
constexpr uint8_t kSpeedCodes[] = {0x1D, 0x2D, 0x3D, 0x4D};

// Quotient rounded to the nearest integer, halves to even, as the command
// builders have always computed their high parts.
int RoundedQuotient(int value, int divisor) {
    return static_cast<int>(RoundHalfEven(static_cast<double>(value) / divisor));
}

int FloorMod(int value, int divisor) {
    const int q = static_cast<int>(std::floor(static_cast<double>(value) / divisor));
    return value - divisor * q;
}

Command Broadcast(uint8_t code) {
    Command c{};
    c[0] = 0x80;
    c[2] = code;
    return c;
}

}  // namespace

uint8_t FrequencyCode(int32_t hz) {
    for (int i = 0; i < 9; ++i)
        if (kFrequencies[i] == hz) return static_cast<uint8_t>(i + 1);
    return 0;
}

int32_t FrequencyOfCode(uint8_t code) { return code >= 1 && code <= 9 ? kFrequencies[code - 1] : 0; }

uint8_t SampleCountCode(int32_t samples) {
    for (int i = 0; i < 9; ++i)
        if (kSampleCounts[i] == samples) return static_cast<uint8_t>(i + 1);
    return 9;
}

int32_t SampleCountOfCode(uint8_t code) { return code >= 1 && code <= 9 ? kSampleCounts[code - 1] : 0; }

uint8_t SpeedCode(int32_t baud) {
    for (int i = 0; i < 4; ++i)
        if (kSpeeds[i] == baud) return kSpeedCodes[i];
    return 0x00;
}

int32_t SpeedOfCode(uint8_t code) {
    for (int i = 0; i < 4; ++i)
        if (kSpeedCodes[i] == code) return kSpeeds[i];
    return 0;
}

Command ParameterCommand(int trigger_unit, int32_t n_samples, int32_t sampling_freq, int trg_mode,
                         int trg_opening) {
    Command c = Broadcast(kParameterCode);
    const int unit = std::max(trigger_unit, 0);
    c[3] = FrequencyCode(sampling_freq);
    c[4] = trg_mode == 1 ? 1 : 0;
    c[5] = SampleCountCode(n_samples);
    c[8] = static_cast<uint8_t>(RoundedQuotient(unit, 256));
    c[9] = static_cast<uint8_t>(FloorMod(unit, 256));
    c[10] = trg_mode != 1 ? 0 : (trg_opening != 0 ? 2 : 1);
    return c;
}

Command SpeedCommand(int32_t baud) { return Broadcast(SpeedCode(baud)); }

std::optional<Command> TriggerTimeCommand(int32_t t, int unit_code) {
    if (t < 0 || t > 32767 || unit_code < 0 || unit_code > 127) return std::nullopt;
    int hi = t / 256;
    int flags = 0;
    const bool hiTop = (hi & 0x80) != 0;
    if (hiTop) {
        flags = 1;
        hi &= 0x7F;
    }
    int lo = t - 256 * hi;
    if (lo & 0x80) {
        flags = hiTop ? 3 : 2;
        lo &= 0x7F;
    }
    Command c{};
    c[0] = static_cast<uint8_t>(0x80 + unit_code);
    c[1] = kTriggerTimeByte1;
    c[8] = static_cast<uint8_t>(hi);
    c[9] = static_cast<uint8_t>(lo);
    c[10] = static_cast<uint8_t>(flags);
    return c;
}

Command SetCodeCommand(int code) {
    code = std::clamp(code, 0, 1999);
    Command c = Broadcast(kSetCodeCode);
    c[3] = 0x7B;
    c[4] = static_cast<uint8_t>(code / 128);
    c[5] = static_cast<uint8_t>(code % 128);
    return c;
}

Command ReadCodeCommand() { return Broadcast(kReadCodeCode); }

std::optional<Command> DataRequest(int address) {
    if (address < 0) return std::nullopt;
    const int high = RoundedQuotient(address, 128);
    if (high > 0x7F) return std::nullopt;
    Command c{};
    c[0] = static_cast<uint8_t>(0x80 + high);
    c[1] = static_cast<uint8_t>(address % 128);
    return c;
}

std::optional<uint8_t> BurstRequest(int unit) {
    if (unit < 0 || unit > 127) return std::nullopt;
    return static_cast<uint8_t>(0x80 + unit);
}

std::optional<uint8_t> BurstRequestRunning(int unit) {
    if (unit < 0) return std::nullopt;
    const int high = RoundedQuotient(unit, 128);
    if (high > 0x7F) return std::nullopt;
    return static_cast<uint8_t>(0x80 + high);
}

std::size_t Unpack7(std::span<const uint8_t> wire, std::vector<uint8_t>& data) {
    const std::size_t groups = wire.size() / 7;
    data.reserve(data.size() + groups * 6);
    for (std::size_t g = 0; g < groups; ++g) {
        const uint8_t* w = wire.data() + 7 * g;
        const uint8_t top = w[6];
        for (int j = 0; j < 6; ++j) data.push_back((top >> j) & 1 ? static_cast<uint8_t>(w[j] | 0x80) : w[j]);
    }
    return groups;
}

bool WellPacked(std::span<const uint8_t> wire) {
    for (std::size_t g = 0; g + 7 <= wire.size(); g += 7) {
        for (std::size_t j = 0; j < 6; ++j)
            if (wire[g + j] & 0x80) return false;
        if (wire[g + 6] & 0xC0) return false;
    }
    return true;
}

std::vector<uint8_t> Pack7(std::span<const uint8_t> data) {
    std::vector<uint8_t> wire;
    wire.reserve((data.size() + 5) / 6 * 7);
    for (std::size_t i = 0; i < data.size(); i += 6) {
        uint8_t top = 0;
        for (std::size_t j = 0; j < 6; ++j) {
            const uint8_t d = i + j < data.size() ? data[i + j] : 0;
            wire.push_back(d & 0x7F);
            if (d & 0x80) top |= static_cast<uint8_t>(1u << j);
        }
        wire.push_back(top);
    }
    return wire;
}

int32_t Sample24(uint8_t d0, uint8_t d1, uint8_t d2) {
    const int32_t v = d0 * 65536 + d1 * 256 + d2;
    return v > 8388607 ? v - 16777217 : v;
}

std::array<uint8_t, 3> ConverterBytes(int32_t count) {
    const uint32_t v = static_cast<uint32_t>(std::clamp(count, -8388608, 8388607)) & 0xFFFFFFu;
    return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}

int DecodeSamples(std::span<const uint8_t> wire, int count, float* out) {
    if (count <= 0) return 0;
    // Only as many groups as the samples need: 2 samples per group.
    const std::size_t groupsNeeded = (static_cast<std::size_t>(count) + 1) / 2;
    const std::size_t bytes = std::min(wire.size(), groupsNeeded * 7);
    std::vector<uint8_t> data;
    Unpack7(wire.first(bytes), data);
    const int made = std::min<int>(count, static_cast<int>(data.size() / 3));
    for (std::size_t i = 0; i < static_cast<std::size_t>(made); ++i)
        out[i] = static_cast<float>(Sample24(data[3 * i], data[3 * i + 1], data[3 * i + 2]));
    return made;
}

std::optional<int32_t> TriggerTimeOfReply(std::span<const uint8_t> r) {
    if (r.size() < 4) return std::nullopt;
    uint8_t r1 = r[1], r2 = r[2];
    if (r[3] & 1) r1 |= 0x80;
    if (r[3] & 2) r2 |= 0x80;
    return r1 * 256 + r2;
}

std::array<uint8_t, 4> TriggerTimeReply(int32_t t) {
    t = std::clamp(t, 0, 65535);
    const uint8_t hi = static_cast<uint8_t>(t >> 8), lo = static_cast<uint8_t>(t);
    return {0x00, static_cast<uint8_t>(hi & 0x7F), static_cast<uint8_t>(lo & 0x7F),
            static_cast<uint8_t>((hi >> 7) | ((lo >> 7) << 1))};
}

std::optional<int32_t> CodeOfReply(std::span<const uint8_t> r) {
    if (r.size() < 2) return std::nullopt;
    return r[0] * 256 + r[1];
}

}  // namespace q24::frames
