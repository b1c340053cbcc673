#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <tuple>
#include <vector>

#include "analysis/SpectrumTransform.h"
#include "analysis/SpectrumSession.h"

namespace q24 {
namespace {

// The chirp-z transform against the double-precision direct sum, one object
// for all sizes in turn so that a stale plan or chirp would show.
TEST(Spectrum, ChirpZMatchesDirectSum) {
    SpectrumTransform shared;
    for (int n : {1, 2, 3, 7, 100, 128, 1000, 1024, 2048, 1025, 3001}) {
        const int bins = SpectrumBinCount(n);
        std::mt19937 gen(static_cast<unsigned>(n));
        std::normal_distribution<float> noise(0.0f, 1000.0f);
        std::vector<float> x(static_cast<std::size_t>(n));
        for (float& v : x) v = noise(gen);
        std::vector<float> fast(bins);
        std::vector<double> exact(bins);
        shared.amplitudes(x.data(), n, bins, fast.data());
        DirectSpectrum<double>(x.data(), n, bins, exact.data());
        const double tolerance = 1e-6 * std::max(*std::max_element(exact.begin(), exact.end()), 1.0);
        for (int k = 0; k < bins; ++k) ASSERT_NEAR(fast[k], exact[k], tolerance) << n << " samples, bin " << k;
    }
}

struct EvaluateFixture : testing::Test {
    std::unique_ptr<State> s = std::make_unique<State>();
    SpectrumTransform transform;
    void SetUp() override { s->N_samples = 1024, s->Sampling_freq = 4000; }
};

// An all-zero trace is a flat line on the bottom edge; a constant c gives
// 2·N·|c| in bin 0, the curve's top, and less in every other bin.
TEST_F(EvaluateFixture, AllZeroAndConstantTraces) {
    ASSERT_EQ(EvaluateSpectrum(*s, 5, transform), 513);
    auto curve = SpectrumCurve(s->Spettro_amp, s->N_samples, 640, 264);
    ASSERT_EQ(curve.size(), 513u);
    for (const CurvePoint& p : curve) ASSERT_EQ(p.y, 263);
    EXPECT_EQ(std::pair(curve.front().x, curve.back().x), std::pair(0.0, 640.0));

    std::fill(s->Dati.row(2), s->Dati.row(2) + 1024, -3.5f);
    EvaluateSpectrum(*s, 3, transform);
    EXPECT_NEAR(s->Spettro_amp[0], 2 * 1024 * 3.5, 1e-3);
    curve = SpectrumCurve(s->Spettro_amp, s->N_samples, 640, 264);
    EXPECT_EQ(curve[0].y, 0);  // the largest bin reaches the top row
    for (std::size_t k = 1; k < curve.size(); ++k) ASSERT_GT(curve[k].y, 0);
}

// A sine of bin b's frequency b * Sampling_freq / N peaks in bin b, though the
// angle step is 6.28/N rather than 2*pi/N.
TEST_F(EvaluateFixture, SinePeakFallsInItsBin) {
    for (int bin : {3, 50, 100, 256, 400}) {
        const double freq = bin * 4000.0 / 1024;
        for (int j = 0; j < 1024; ++j) s->Dati(0, j) = static_cast<float>(5000 * std::sin(2 * M_PI * freq * j / 4000));
        EvaluateSpectrum(*s, 1, transform);
        const auto top = std::max_element(s->Spettro_amp.begin(), s->Spettro_amp.begin() + 513);
        EXPECT_EQ(top - s->Spettro_amp.begin(), bin);
    }
}

TEST_F(EvaluateFixture, RefusesRowsAndCountsDatiDoesNotHoldAndKeepsLaterBins) {
    s->Spettro_amp[600] = 7, s->Spettro_amp[3] = 9;
    for (auto [t, n] : {std::pair{0, 1024}, {98, 1024}, {1, 0}, {1, -4}, {1, 16386}}) {
        s->N_samples = n;
        EXPECT_EQ(EvaluateSpectrum(*s, t, transform), 0) << t << " " << n;
    }
    EXPECT_EQ(s->Spettro_amp[3], 9);
    // The last row of Dati (511.5 goes to 512), the longest trace it holds,
    // and 7 samples: the last bin is 3 but the curve reaches bin 4.
    for (auto [t, n, bins] : {std::tuple{97, 1024, 513}, {1, 16385, 8193}, {1, 7, 5}}) {
        s->N_samples = n;
        EXPECT_EQ(EvaluateSpectrum(*s, t, transform), bins) << n;
        if (n == 1024) EXPECT_EQ(std::pair(s->Spettro_amp[3], s->Spettro_amp[600]), std::pair(0.f, 7.f));
    }
}

TEST(SpectrumCurve, NonFiniteBinsNeitherScaleNorBreakTheCurve) {
    std::vector<float> amp{10, std::numeric_limits<float>::infinity(), std::nanf(""), 5};
    amp.resize(16385);
    std::vector<double> rows;
    for (const CurvePoint& p : SpectrumCurve(amp, 8, 80, 101)) rows.push_back(p.y);
    EXPECT_EQ(rows, (std::vector<double>{0, 0, 0, 50, 100}));
}

TEST(SpectrumCaptions, NyquistGridAndCursorFollowTheSamplingFrequency) {
    const Regional comma{.decimal = ','};
    EXPECT_EQ(std::tuple(NyquistCaption(125, comma), GridCaption(1, 125, comma)), std::tuple("62,5Hz", "6,25"));
    EXPECT_EQ(GridLineX(19, 640), 608);  // the last dotted line
    // 3.125 Hz; nothing at the edge or on a picture of no width.
    EXPECT_EQ(CursorReadout(4000, 1, 640) + "|" + CursorReadout(4000, 0, 640) + CursorReadout(4000, 10, 0), "3|");
}

TEST(CurveColours, SameSequenceEveryRunFromTheFirstSixEvenly) {
    CurveColours a, b;
    std::map<std::tuple<int, int, int>, int> seen;
    const auto& palette = CurvePalette();
    for (int i = 0; i < 6000; ++i) {
        const CurveRgb c = a.next();
        ASSERT_EQ(c, b.next()) << "draw " << i;
        ASSERT_NE(std::find(palette.begin(), palette.end(), c), palette.end());
        ++seen[{c.r, c.g, c.b}];
    }
    ASSERT_EQ(seen.size(), 6u);
    for (const auto& [colour, count] : seen) EXPECT_NEAR(count, 1000, 150);
}

}  // namespace
}  // namespace q24
