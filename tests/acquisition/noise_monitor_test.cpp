// The noise monitor's logic: levels in dB of full scale, the positions it
// follows, the threshold typed and kept in monitor.ini.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <tuple>
#include <vector>

#include "acquisition/NoiseMonitor.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

namespace q24 {
namespace {

TEST(NoiseMonitor, LevelsInDbOfFullScale) {
    std::vector<float> sine(1000), square(1000);
    for (int k = 0; k < 1000; ++k) {
        sine[k] = static_cast<float>(838860.8 * std::sin(2 * M_PI * k / 100));  // peak a tenth of full scale
        square[k] = k % 2 ? 8388608.0f : -8388608.0f;                           // clipped both ways
    }
    const std::vector<float> silence(256, 0.0f);
    // samples, count, RMS and peak in dB; silence is never -inf
    for (auto [samples, n, rms, peak] :
         {std::tuple<const float*, int, double, double>{sine.data(), 1000, -23.01, -20.0}, {square.data(), 1000, 0, 0},
          {silence.data(), 256, kNoiseFloorDb, kNoiseFloorDb}, {sine.data(), 0, kNoiseFloorDb, kNoiseFloorDb}}) {
        const NoiseLevel l = LevelOf(samples, n);
        EXPECT_NEAR(l.rmsDb, rms, 0.01) << n;
        EXPECT_NEAR(l.peakDb, peak, 0.01) << n;
    }
}

// The selected positions only; a unit that reads keeps its level until its
// position gets another unit; a read of a position not followed is dropped.
TEST(NoiseMonitor, FollowsTheSelectedPositionsAndMarksTheOnesOver) {
    State s;
    s.N_Geofoni = 5;
    for (int p = 1; p <= 6; ++p) s.Ch_param[p] = static_cast<int16_t>(p), s.Ch_enabled[p] = p != 3;
    NoiseMonitor m;
    m.restart(s);
    const std::vector<float> quiet(128, 100.0f), loud(128, 1e6f);  // -98.5 and -18.5 dB
    m.read(1, 1, quiet.data(), 128);
    m.read(2, 2, loud.data(), 128);
    m.read(3, 3, loud.data(), 128);
    m.notWorking(4, 4);
    using R = NoiseMonitor::Reading;
    auto readings = [&m] {
        std::vector<std::tuple<int, R, bool>> out;
        for (const auto& c : m.channels()) out.emplace_back(c.position, c.reading, m.over(c));
        return out;
    };
    EXPECT_EQ(readings(),
              (std::vector<std::tuple<int, R, bool>>{
                  {1, R::Level, false}, {2, R::Level, true}, {4, R::NotWorking, false}, {5, R::NotRead, false}}));
    EXPECT_EQ(m.summary(), "4 channels: 1 over the threshold, 1 not working");
    m.setThreshold(-100);
    s.Ch_param[2] = 9;  // another unit on position 2
    m.sweepStarts(s);
    EXPECT_EQ(readings(),
              (std::vector<std::tuple<int, R, bool>>{
                  {1, R::Level, true}, {2, R::NotRead, false}, {4, R::NotWorking, false}, {5, R::NotRead, false}}));
    EXPECT_EQ(m.sweeps(), 1);
}

TEST(NoiseMonitor, ThresholdTypedOrReadFromItsFile) {
    const struct {
        const char* typed;
        double db;  // NAN: refused
    } typed[] = {{"-40", -40}, {" -37.46 dB", -37.5}, {"-10,5", -10.5}, {"-0", 0},
                 {"+3", NAN},  {"-140.01", NAN},      {"loud", NAN},    {"", NAN},
                 {"nan", NAN}, {"-1e1", NAN},         {"+-5", NAN}};
    for (const auto& t : typed) {
        double db = 1;
        const std::string why = ParseThreshold(t.typed, db);
        EXPECT_EQ(why.empty(), !std::isnan(t.db)) << t.typed << ": " << why;
        if (why.empty()) EXPECT_EQ(db, t.db) << t.typed;
    }

    test::TempDir dir;
    const std::string path = (dir / "monitor.ini").string();
    const struct {
        std::string text;
        double threshold;
        bool noted;
    } files[] = {
        {"# kept by the noise monitor\n threshold_db = -55 \n", -55, false},
        {"threshold_db=loud\nthreshold_db=-200\nvolume=3\njust words\n", kThresholdDefaultDb, true},
        {std::string("\0\xff\x01=\x80\n", 6) + "threshold_db=-12.5", -12.5, true},
        {std::string(70000, '='), kThresholdDefaultDb, true},
    };
    for (const auto& f : files) {
        std::ofstream(path, std::ios::binary) << f.text;
        const MonitorSettings got = ReadMonitorSettings(path);
        EXPECT_EQ(std::tuple(got.threshold, !got.notes.empty()), std::tuple(f.threshold, f.noted)) << got.notes;
    }

    // The operator's threshold, remembered between runs; a refusal writes nothing.
    std::filesystem::remove(path);
    NoiseMonitor first(path);
    EXPECT_NE(first.typeThreshold("loud").find("the threshold stays -40 dB"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(first.typeThreshold("-52.5"), "");
    EXPECT_EQ(test::ReadFile(path), "threshold_db=-52.5\n");
    NoiseMonitor next(path);
    EXPECT_EQ(std::tuple(next.load(), next.threshold()), std::tuple(std::string(), -52.5));
    // A folder that is gone: the threshold holds for now and the operator is told.
    NoiseMonitor nowhere((dir / "gone" / "monitor.ini").string());
    EXPECT_NE(nowhere.typeThreshold("-30").find("could not be kept"), std::string::npos);
    EXPECT_EQ(nowhere.threshold(), -30);
}

}  // namespace
}  // namespace q24
