// Continuous recording at the low rates: a unit's k-th burst leaves only once
// its 128 samples have been recorded, at the sampling pace (or faster by the
// units' clock scale), and the bursts of a unit follow each other without gap
// or overlap in the recording.
#include <gtest/gtest.h>

#include "link/Frames.h"
#include "units/Seismic.h"
#include "units/Units.h"

using namespace q24;
using namespace q24::units;

namespace {

struct PaceCase {
    int32_t freq;
    double scale;
};

class BurstPacing : public ::testing::TestWithParam<PaceCase> {};

TEST_P(BurstPacing, BurstsLeaveWhenTheirSamplesExist) {
    const auto [freq, scale] = GetParam();
    UnitsConfig c;
    c.data = DataKind::Pattern;
    c.addresses = {4, 5};
    c.clockScale = scale;
    Units units(c);
    const double perBurst = 128.0 / (freq * scale);
    auto request = [&](int unit, double t) {
        const uint8_t b = static_cast<uint8_t>(0x80 + unit);
        units.receive({&b, 1}, 250000, t);
    };
    auto take = [&](double t) {
        std::vector<uint8_t> out;
        for (const RxByte& b : units.transmit(t, 250000)) out.push_back(b.value);
        return out;
    };
    const auto cmd = frames::ParameterCommand(1, 1, freq, 0, 0);
    units.receive(cmd, 250000, 0);

    // Burst 0 of unit 5 is asked for at once and comes after 128 samples.
    request(5, 0);
    EXPECT_TRUE(take(perBurst * 0.99).empty());
    auto first = take(perBurst * 1.01);
    ASSERT_EQ(first.size(), 448u);
    // Unit 4 asked now gets its own first burst, already recorded.
    request(4, perBurst * 1.02);
    EXPECT_EQ(take(perBurst * 1.02 + 0.01).size(), 448u);
    // Unit 5's next burst waits for the next 128 samples.
    request(5, perBurst * 1.03);
    EXPECT_TRUE(take(perBurst * 1.98).empty());
    auto second = take(perBurst * 2.01);
    ASSERT_EQ(second.size(), 448u);
    // Asked late, a burst whose samples exist comes at once.
    request(5, perBurst * 10);
    auto third = take(perBurst * 10 + 0.01);
    ASSERT_EQ(third.size(), 448u);

    // Samples run on from burst to burst: 0..127, 128..255, 256..383.
    float v[128];
    int k0 = 0;
    for (const auto* burst : {&first, &second, &third}) {
        ASSERT_EQ(frames::DecodeSamples(*burst, 128, v), 128);
        for (int k = 0; k < 128; ++k) {
            const int32_t x = PatternValue(5, k0 + k);
            ASSERT_EQ(v[k], static_cast<float>(x >= 0 ? x : x - 1)) << k0 + k;
        }
        k0 += 128;
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, BurstPacing,
                         ::testing::Values(PaceCase{125, 1}, PaceCase{250, 1}, PaceCase{500, 1}, PaceCase{500, 20},
                                           PaceCase{125, 60}));

}  // namespace
