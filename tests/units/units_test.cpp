// The emulated units on their own: line garbling, addresses, data, timing.
#include <gtest/gtest.h>

#include <tuple>

#include "link/Frames.h"
#include "units/Seismic.h"
#include "units/Uart.h"
#include "units/Units.h"

using namespace q24;
using namespace q24::units;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes Values(const std::vector<RxByte>& v) {
    Bytes out;
    for (auto& b : v) out.push_back(b.value);
    return out;
}

// The same speed on both ends is transparent; another gives garbage and
// framing errors.
TEST(Uart, OtherSpeedGivesGarbageAndFramingErrors) {
    Bytes block(896);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 13);
    EXPECT_EQ(Values(Resample(block, 250000, 250000)), block);
    for (auto [from, to] : {std::pair{500000, 1000000}, {1000000, 250000}, {125000, 1000000}}) {
        const auto got = Resample(block, from, to);
        EXPECT_NE(Values(got), block) << from << " -> " << to;
        EXPECT_TRUE(std::any_of(got.begin(), got.end(), [](auto& b) { return b.framing; })) << from << " -> " << to;
    }
    // A PC twice as fast sees each byte of 0x00 as a zero and a framing error.
    const auto zeros = Resample(Bytes{0x00}, 500000, 1000000);
    EXPECT_TRUE(!zeros.empty() && zeros[0].framing);
}

TEST(Units, RequestAddressesRoundTrip) {
    for (int a = 0; a <= 16319; ++a) {
        const auto c = frames::DataRequest(a);
        ASSERT_TRUE(c);
        if (a % 128 == 64 && (a / 128) % 2 == 0 && a >= 256) continue;  // shares its request with a neighbour
        ASSERT_EQ(AddressOfRequest((*c)[0], (*c)[1]), a) << a;
    }
}

TEST(Units, PatternAndGather) {
    EXPECT_EQ(std::tuple(PatternValue(3, 0), PatternValue(3, 150), PatternValue(3, 250)), std::tuple(3000, -3150, 3250));
    Spread s;
    // First breaks grow along the spread; the refractor overtakes further out.
    EXPECT_LT(FirstBreak(s, 1), FirstBreak(s, 2));
    EXPECT_LT(FirstBreak(s, 24) - FirstBreak(s, 23), FirstBreak(s, 2) - FirstBreak(s, 1) + 1e-9);
    // Before the first break the trace is quiet, after it it is loud.
    const double fs = 8000;
    auto energy = [&](int unit, double from, double to) {
        double e = 0;
        for (int64_t k = static_cast<int64_t>(from * fs); k < to * fs; ++k) {
            const double v = GatherValue(s, 1, 1, unit, k, fs, true, 0);
            e += v * v;
        }
        return e;
    };
    const double fb = FirstBreak(s, 10);
    EXPECT_GT(energy(10, fb, fb + 0.03), 50 * energy(10, fb - 0.03, fb - 0.001));
    // Same inputs, same counts.
    EXPECT_EQ(GatherValue(s, 1, 2, 5, 777, fs, true, 10), GatherValue(s, 1, 2, 5, 777, fs, true, 10));
}

struct Driver {
    Units units;
    double t = 0;
    int32_t pc = 250000;
    explicit Driver(UnitsConfig c) : units(std::move(c)) {}
    void send(const Bytes& b) { units.receive(b, pc, t); }
    void send(const frames::Command& c) { send(Bytes(c.begin(), c.end())); }
    Bytes take(double until) {
        t = until;
        return Values(units.transmit(t, pc));
    }
};

TEST(Units, PacedRepliesTakeTheirWireTime) {
    Driver d({.data = DataKind::Pattern, .paced = true});
    d.send(*frames::DataRequest(5));
    const double wire = 907 * 10.0 / 250000;  // request and block at 250000 baud
    EXPECT_NEAR(d.units.nextEvent(), wire, 1e-9);
    const std::size_t half = d.take(wire * 0.5).size();
    EXPECT_TRUE(half > 400u && half < 449u && half + d.take(wire + 1e-9).size() == 896u) << half;
}

// A reset drops the units to 250000; a speed command while they restart is not heard.
TEST(Units, ResetSpeedAndDeafness) {
    Driver d({});
    auto speed = [](int32_t baud) {
        const frames::Command c = frames::SpeedCommand(baud);
        return Bytes(c.begin(), c.end());
    };
    // the PC's speed, the time, what it sends, the units' speed after
    for (auto [pc, t, bytes, baud] : {std::tuple{250000, 0.0, speed(1000000), 1000000},
                                      {1000000, 0.0, Bytes{0xFF}, 250000}, {250000, 0.5, speed(500000), 250000},
                                      {250000, 2.0, speed(500000), 500000}}) {
        d.pc = pc, d.t = t;
        d.send(bytes);
        EXPECT_EQ(d.units.baud(), baud) << t;
    }
}

// A recording without trigger replies when done; a lone byte waits for the
// gap after it, and a frame cut short is dropped.
TEST(Units, RepliesAfterTheRecordingAndTheGapAndDropPartialFrames) {
    Driver d({}), e({});
    d.send(frames::ParameterCommand(1, 2048, 8000, 0, 0));
    EXPECT_TRUE(d.take(0.2).empty());
    EXPECT_EQ(d.take(0.3), (Bytes{0, 0, 0, 0}));  // 2048 / 8000 s
    e.send(frames::ParameterCommand(1, 1, 500, 0, 0));  // continuous
    e.send(Bytes{0x85});
    EXPECT_TRUE(e.take(0.0005).empty());
    EXPECT_EQ(e.take(1.0).size(), 448u);
    e.send(Bytes{0x80, 0x00, 0x1A});  // cut short
    e.take(1.1);
    e.send(frames::ReadCodeCommand());
    EXPECT_EQ(e.take(1.2), (Bytes{0, 0}));
}

// The shot lies the pre-trigger count, 1.5 ms and one sample (rounded as
// the program rounds its trigger delay) into the data: the first sample the
// program keeps with no trigger correction is the shot's.
TEST(Units, TheShotLiesWhereTheProgramsTriggerDelayEnds) {
    for (auto [freq, pretrigger, shot] : {std::tuple{4000, 0, 7}, {1000, 40, 42}, {8000, 10, 23}}) {
        Driver d({.triggerDelay = 0.1});
        d.send(frames::ParameterCommand(1, 1024, freq, 1, 0));
        ASSERT_EQ(d.take(0.2).size(), 1u) << "the trigger byte";
        d.send(Bytes{frames::kStartByte});
        ASSERT_EQ(d.take(2.0).size(), 4u) << "the trigger-time reply";
        d.send(*frames::TriggerTimeCommand(300 + pretrigger, 0));
        EXPECT_EQ(d.units.shotSample(), shot) << freq;
    }
}

}  // namespace
