// miniSEED copies of recordings, read back with libmseed.
#include <gtest/gtest.h>

#include <fstream>

#include "files/DataTextFile.h"
#include "files/MiniSeed.h"
#include "files/support/MseedReadBack.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

namespace q24 {
namespace {

// A data text file of two traces, as the writers make it: integer counts and
// values with fractions.
std::string WriteData(const std::string& path, long long n) {
    State s;
    s.N_Geofoni = 2;
    s.Sampling_freq = 250;
    s.N_samples = static_cast<int32_t>(n);
    s.Ch_enabled[1] = s.Ch_enabled[2] = true;
    for (long long k = 0; k < n; ++k) {
        s.Dati(0, static_cast<int>(k)) = static_cast<float>(((k * 7919) % 16777216) - 8388608);  // 24-bit counts
        s.Dati(1, static_cast<int>(k)) = static_cast<float>(k) * 0.37f - 1.5e-3f;
    }
    return WriteStackedDataText(s, path, Regional{});
}

TEST(MiniSeed, TracesReadBackWithTheirValuesCodesRateAndStart) {
    test::TempDir dir;
    constexpr long long kN = 5000;
    ASSERT_EQ(WriteData((dir / "data.txt").string(), kN), "");
    const int64_t t0 = 1796601600123400;  // 2026-12-07 00:00:00.1234 UTC
    const struct {
        long long block;
        std::vector<int64_t> starts;
        std::string settings;
        std::vector<std::string> ids;
    } rows[] = {
        {0, {t0}, "", {"XX.Q2401..DPZ", "XX.Q2402..DPZ"}},
        // Passive: each block from its own start; the third follows the second.
        {2048, {t0, t0 + 30000000}, "network=ab\r\nstation = N7\nlocation=00\nchannel=HHZ\n",
         {"AB.N701.00.HHZ", "AB.N702.00.HHZ"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.block);
        std::ofstream(dir / "mseed.ini") << row.settings;
        const MseedSettings settings = ReadMseedSettings((dir / "mseed.ini").string());
        EXPECT_EQ(settings.notes, "");
        const std::string out = (dir / "t1.mseed").string();
        ASSERT_EQ(WriteMseedFromDataText((dir / "data.txt").string(), out, settings.codes, row.starts, row.block), "");
        const test::MseedReadBack back = test::ReadMseed(out);
        std::string why;
        const auto data = ParseDataText(test::ReadFile((dir / "data.txt").string()), &why);
        ASSERT_TRUE(data) << why;
        ASSERT_EQ(back.stretches.size(), 2u);
        for (int t = 0; t < 2; ++t) {
            const std::vector<test::MseedStretch>& got = back.stretches.at(row.ids[static_cast<std::size_t>(t)]);
            ASSERT_EQ(got.size(), row.starts.size());
            std::vector<float> all;
            for (std::size_t b = 0; b < got.size(); ++b) {
                EXPECT_EQ(got[b].start, row.starts[b]);
                EXPECT_EQ(got[b].rate, 250.0);
                all.insert(all.end(), got[b].values.begin(), got[b].values.end());
            }
            EXPECT_EQ(all, data->blocks[static_cast<std::size_t>(t)]);  // exactly
            // Integer counts in Steim-2, the rest in FLOAT32.
            const std::string& id = row.ids[static_cast<std::size_t>(t)];
            const std::string station = id.substr(3, id.find('.', 3) - 3);  // after a two-letter network
            EXPECT_EQ(back.encodings.at(station), std::set<int>{t == 0 ? DE_STEIM2 : DE_FLOAT32});
        }
    }
}

TEST(MiniSeed, SettingsWithGarbageKeepTheDefaultsAndSaySo) {
    test::TempDir dir;
    const std::string path = (dir / "mseed.ini").string();
    const struct {
        std::string text;
        MseedCodes want;
        bool noted;
    } rows[] = {
        {"# only a comment\n\n", {}, false},
        {"station=TOOLONG\nnetwork=X-\nchannel=HZ\nlocation=ABC\ncolour=red\njust words\n", {}, true},
        {std::string("\0\xff\x01=\x80\n", 6) + "network=qq", {"QQ", "Q24", "", ""}, true},
        {std::string(70000, '='), {}, true},
    };
    for (const auto& row : rows) {
        std::ofstream(path, std::ios::binary) << row.text;
        const MseedSettings got = ReadMseedSettings(path);
        EXPECT_EQ(std::tie(got.codes.network, got.codes.station, got.codes.location, got.codes.channel),
                  std::tie(row.want.network, row.want.station, row.want.location, row.want.channel));
        EXPECT_EQ(!got.notes.empty(), row.noted) << got.notes;
    }
    EXPECT_EQ(ReadMseedSettings((dir / "missing.ini").string()).notes, "");
}

}  // namespace
}  // namespace q24
