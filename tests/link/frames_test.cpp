// Golden vectors: every example the units' protocol is known by.
#include <gtest/gtest.h>

#include "link/Frames.h"

using namespace q24::frames;
using Bytes = std::vector<uint8_t>;

namespace {

// Parameters: unit, samples, rate, trigger, edge (ignored without trigger);
// unit and data request numbers round half to even.
TEST(Frames, CommandGolden) {
    const std::pair<Command, Bytes> golden[] = {
        {ParameterCommand(1000, 2048, 8000, 1, 0), {0x80, 0, 0x1A, 0x03, 0x01, 0x06, 0, 0, 0x04, 0xE8, 0x01}},
        {ParameterCommand(5, 1024, 2000, 0, 0), {0x80, 0, 0x1A, 0x05, 0x00, 0x05, 0, 0, 0x00, 0x05, 0x00}},
        {ParameterCommand(1, 256, 8000, 1, 1), {0x80, 0, 0x1A, 0x03, 0x01, 0x03, 0, 0, 0x00, 0x01, 0x02}},
        {ParameterCommand(1, 256, 8000, 0, 1), {0x80, 0, 0x1A, 0x03, 0x00, 0x03, 0, 0, 0x00, 0x01, 0x00}},
        {ParameterCommand(1, 300, 3000, 0, 0), {0x80, 0, 0x1A, 0x00, 0x00, 0x09, 0, 0, 0x00, 0x01, 0x00}},
        {ParameterCommand(128, 256, 8000, 0, 0), {0x80, 0, 0x1A, 0x03, 0x00, 0x03, 0, 0, 0x00, 0x80, 0x00}},
        {ParameterCommand(1023, 256, 8000, 0, 0), {0x80, 0, 0x1A, 0x03, 0x00, 0x03, 0, 0, 0x04, 0xFF, 0x00}},
        {SpeedCommand(500000), {0x80, 0, 0x3D, 0, 0, 0, 0, 0, 0, 0, 0}},
        {SpeedCommand(125000), {0x80, 0, 0x1D, 0, 0, 0, 0, 0, 0, 0, 0}},
        {SpeedCommand(250000), {0x80, 0, 0x2D, 0, 0, 0, 0, 0, 0, 0, 0}},
        {SpeedCommand(1000000), {0x80, 0, 0x4D, 0, 0, 0, 0, 0, 0, 0, 0}},
        {SpeedCommand(115200), {0x80, 0, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}},
        {*TriggerTimeCommand(400, 0), {0x80, 0x0B, 0, 0, 0, 0, 0, 0, 0x01, 0x10, 0x02}},
        {*TriggerTimeCommand(5, 5), {0x85, 0x0B, 0, 0, 0, 0, 0, 0, 0x00, 0x05, 0x00}},
        {SetCodeCommand(1999), {0x80, 0, 0x8B, 0x7B, 0x0F, 0x4F, 0, 0, 0, 0, 0}},
        {SetCodeCommand(130), {0x80, 0, 0x8B, 0x7B, 0x01, 0x02, 0, 0, 0, 0, 0}},
        {SetCodeCommand(2500), {0x80, 0, 0x8B, 0x7B, 0x0F, 0x4F, 0, 0, 0, 0, 0}},  // capped at 1999
        {ReadCodeCommand(), {0x80, 0, 0x8C, 0, 0, 0, 0, 0, 0, 0, 0}},
        {*DataRequest(5), {0x80, 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {*DataRequest(100), {0x81, 0x64, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {*DataRequest(64), {0x80, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {*DataRequest(191), {0x81, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0, 0}}};
    for (std::size_t i = 0; i < std::size(golden); ++i)
        EXPECT_EQ(Bytes(golden[i].first.begin(), golden[i].first.end()), golden[i].second) << i;
}

// What cannot be sent is refused; the command packs the time the way the
// units pack their reply.
TEST(Frames, TriggerTimeLimitsAndReplies) {
    EXPECT_FALSE(TriggerTimeCommand(32768, 0) || TriggerTimeCommand(-1, 0) || TriggerTimeCommand(100, 128));
    EXPECT_TRUE(TriggerTimeCommand(32767, 127));
    for (int t : {0, 1, 127, 128, 255, 256, 400, 16383, 32767}) {
        const Command c = *TriggerTimeCommand(t, 0);
        const auto reply = TriggerTimeReply(t);
        EXPECT_EQ(Bytes(reply.begin(), reply.end()), (Bytes{0, c[8], c[9], c[10]})) << t;
        EXPECT_EQ(TriggerTimeOfReply(reply), t) << t;
    }
    EXPECT_EQ(CodeOfReply(std::array<uint8_t, 2>{0x07, 0xCF}), 1999);
}

TEST(Frames, SingleByteRequests) {
    for (auto [unit, byte] : {std::pair{5, 0x85}, {127, 0xFF}}) EXPECT_EQ(BurstRequest(unit), byte);
    // Running mode's request names a pair of groups of 128; 64 rounds to even.
    for (auto [unit, byte] : {std::pair{5, 0x80}, {63, 0x80}, {64, 0x80}, {65, 0x81}, {191, 0x81}})
        EXPECT_EQ(BurstRequestRunning(unit), byte) << unit;
    EXPECT_FALSE(BurstRequest(128) || BurstRequest(-1) || DataRequest(-3) || DataRequest(16320));
    EXPECT_TRUE(DataRequest(16319));
}

TEST(Frames, UnpackingTheDocumentedGroup) {
    const uint8_t wire[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x05};
    std::vector<uint8_t> data;
    EXPECT_TRUE(Unpack7(wire, data) == 1u && data == (Bytes{0x81, 0x02, 0x83, 0x04, 0x05, 0x06}));
    float s[2];
    EXPECT_EQ(DecodeSamples(wire, 2, s), 2);
    EXPECT_EQ(std::pair(s[0], s[1]), std::pair(-8322430.0f, 263430.0f));
}

TEST(Frames, SampleRule) {
    EXPECT_EQ(std::tuple(Sample24(0xFF, 0xFF, 0xFF), Sample24(0x80, 0, 0), Sample24(0x7F, 0xFF, 0xFF)),
              std::tuple(-2, -8388609, 8388607));
    // What a converter sends reads back as itself at 0 and above, one lower below 0.
    for (int32_t v : {0, 1, 8388607, -1, -2, -1000, -8388608}) {
        const auto b = ConverterBytes(v);
        EXPECT_EQ(Sample24(b[0], b[1], b[2]), v >= 0 ? v : v - 1) << v;
    }
}

TEST(Frames, PackUnpackRoundTripAndShortInputsNeverOverrun) {
    Bytes data(768);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 37 + 11);
    const Bytes wire = Pack7(data);
    ASSERT_EQ(wire.size(), 896u);
    for (uint8_t b : wire) EXPECT_LT(b, 0x80);
    Bytes back;
    Unpack7(wire, back);
    EXPECT_EQ(back, data);
    float s[256];
    // Two whole groups and a part; nothing; replies cut short.
    EXPECT_EQ(std::pair(DecodeSamples(Bytes(20, 0x7F), 256, s), DecodeSamples({}, 256, s)), std::pair(4, 0));
    const uint8_t three[] = {1, 2, 3};
    EXPECT_FALSE(TriggerTimeOfReply(three) || CodeOfReply(std::span<const uint8_t>(three, 1)));
}

TEST(Frames, CodeTables) {
    for (int i = 0, hz = 32000, n = 64; i < 9; ++i, hz /= 2, n *= 2)
        EXPECT_EQ(std::tuple(FrequencyCode(hz), FrequencyOfCode(uint8_t(i + 1)), SampleCountCode(n)),
                  std::tuple(i + 1, hz, i + 1));
    EXPECT_EQ(SampleCountCode(1), 9);
}

}  // namespace
