// quelda24-cli timed and passive: one minute from quelda24-units over a
// pseudo-terminal, the units' clock faster; data.txt, the .sg2 and the
// miniSEED copy read back.
#include <gtest/gtest.h>

#include <QDateTime>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <tuple>

#include "files/Seg2Writer.h"
#include "files/support/MseedReadBack.h"
#include "support/PatternTrace.h"
#include "support/ReadFile.h"
#include "support/RunTool.h"
#include "support/SpreadIni.h"
#include "support/TempDir.h"
#include "support/WaitForSg2.h"
#include "units/UnitsProcess.h"

using namespace q24;
namespace fs = std::filesystem;

namespace {

TEST(CliRecord, OneMinuteSavedAsDataTxtAndSg2) {
    const std::string cli = test::ToolBesideMe("quelda24-cli"), converter = test::ToolBesideMe("Sg2Maker");
    const std::string unitsTool = units::UnitsProcess::ToolBesideMe();
    if (cli.empty() || converter.empty() || unitsTool.empty())
        GTEST_SKIP() << "quelda24-cli, Sg2Maker or quelda24-units is not built";
    const struct {
        const char *command, *fs, *units, *timeScale;
        int firstUnit, samples;
        const char* instrument;
        std::vector<std::string> labels, out;
        std::function<void(State&)> ini;
    } rows[] = {
        {"timed", "250", "1-24", "20", 5, 14976, "QUELDATR24", {"Canale 5", "Canale 6", "Canale 7"},
         {"line: Br= 1000000", "recording 1 minute(s) at 250 Hz, 3 channel(s)", "Sampling and Reception...",
          "progress: 100 %", "FINE", "message: file .sg2 created", "recorded 14976 samples per channel"},
         [](State& s) {
             s.N_samples = 256;
             s.Sampling_freq = 4000;
             for (int ch = 1; ch <= 3; ++ch) s.Ch_param[ch] = static_cast<int16_t>(4 + ch);
             s.Finestra_tempo = 7;
         }},
        // One block of 8192 samples.
        {"passive", "125", "11-13", "100", 11, 8192, "QUELDA24",
         {"Canale numero 1", "Canale numero 2", "Canale numero 3"},
         {"question: Samples Number=8192 -> Yes", "block 1 of 1 recorded",
          "recorded 1 of 1 blocks (8192 samples per channel at 125 Hz)", "message: file .sg2 created"},
         [](State& s) {
             s.Trigger_unit = 1000;
             for (int ch = 1; ch <= 3; ++ch) s.Ch_param[ch] = static_cast<int16_t>(10 + ch);
             s.Dist_geofoni = 2;
             s.Baud_rate_high = 500000;
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command);
        test::TempDir home;
        ASSERT_EQ(test::WriteSpreadIni(home.path(), 3, row.ini), "");
        fs::create_directories(home / "out");
        units::UnitsProcess unitsProc(unitsTool,
                                      {"--pattern", "--paced", "--units", row.units, "--time-scale", row.timeScale});
        ASSERT_TRUE(unitsProc.running()) << unitsProc.error();

        const int64_t launched = std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count();
        const test::ToolRun run =
            test::RunTool(cli, {row.command, "--home", home.path(), "--port", unitsProc.path(), "--fs", row.fs,
                                "--minutes", "1", "--save", "rec 1", "--folder", (home / "out").string(), "--mseed"});
        ASSERT_TRUE(run.finished) << "quelda24-cli did not finish";
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        for (const std::string& line : row.out)
            EXPECT_NE(run.out.find(line), std::string::npos) << "missing: " << line << "\n" << run.out;
        EXPECT_EQ(run.out.find("Error on Unit"), std::string::npos) << run.out;
        EXPECT_LT(run.seconds, 60) << run.out;

        // What the units sent, mean removed, in data.txt and the .sg2.
        const std::string text = test::ReadFile(home / "data.txt");
        std::string why;
        const auto data = ParseDataText(text, &why);
        ASSERT_TRUE(data) << why;
        EXPECT_EQ(data->instrument, row.instrument);
        EXPECT_EQ(data->samples, row.samples);
        ASSERT_EQ(data->labels, row.labels);
        const std::optional<LoadedData> loaded = test::WaitForSg2((home / "out" / "rec 1.sg2").string(), 30);
        ASSERT_TRUE(loaded) << "no readable .sg2";
        EXPECT_EQ(std::tuple(loaded->N_Geofoni, loaded->N_samples, loaded->Sampling_freq),
                  std::tuple(3, row.samples, std::stoi(row.fs)));
        for (int t = 0; t < 3; ++t) {
            const std::vector<float> want = test::PatternRecordTrace(row.firstUnit + t, row.samples);
            for (int k = 0; k < row.samples; ++k) {
                ASSERT_NEAR(data->blocks[t][k], want[k], std::abs(want[k]) * 1e-6 + 1e-3) << t << " " << k;
                ASSERT_NEAR(loaded->traces[t][k], want[k], std::abs(want[k]) * 1e-6 + 1e-3) << t << " " << k;
            }
        }
        // The miniSEED copy: the .sg2's samples, one station per trace, stamped
        // within a second of the start the command saw (after the launch,
        // before the end).
        const auto mseed = test::ReadMseed((home / "out" / "rec 1.mseed").string()).stretches;
        ASSERT_EQ(mseed.size(), 3u);
        const std::size_t at = run.out.find("recording started ");
        ASSERT_NE(at, std::string::npos) << run.out;
        const int64_t started =
            QDateTime::fromString(QString::fromStdString(run.out.substr(at + 18, 24)), Qt::ISODateWithMs)
                .toMSecsSinceEpoch() * 1000;
        EXPECT_GE(started, launched);
        EXPECT_LE(started, launched + static_cast<int64_t>(run.seconds * 1e6));
        auto trace = mseed.begin();  // by id: XX.Q2401.., XX.Q2402.., XX.Q2403..
        for (int t = 0; t < 3; ++t, ++trace) {
            EXPECT_EQ(trace->first.rfind("XX.Q240" + std::to_string(t + 1) + ".", 0), 0u) << trace->first;
            const auto& got = trace->second;
            ASSERT_EQ(got.size(), 1u);
            EXPECT_EQ(got[0].values, loaded->traces[static_cast<std::size_t>(t)]);
            EXPECT_LE(std::abs(got[0].start - started), 1000000);
        }
        if (row.command != std::string("passive")) continue;
        // Each temporary file merged into data.txt as it is; nothing left unsaved.
        for (int ch = 1; ch <= 3; ++ch) {
            const std::string temp = test::ReadFile(home / ("temp_data" + std::to_string(ch) + ".txt"));
            EXPECT_EQ(std::count(temp.begin(), temp.end(), '\n'), 8192);
            EXPECT_NE(text.find("\"Canale numero " + std::to_string(ch) + "\"\r\n" + temp), std::string::npos);
        }
        EXPECT_FALSE(fs::exists(home / "temp_data_unsaved.txt"));
    }
}

}  // namespace
