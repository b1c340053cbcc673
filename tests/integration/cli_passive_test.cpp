// quelda24-cli passive: one minute at 125 Hz (one block of 8192) from
// quelda24-units over a pseudo-terminal, the units' clock 100 times faster.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "files/Seg2Reader.h"
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

using test::ReadFile;

TEST(CliPassive, OneMinuteAt125HzIsOneBlockSavedAsSg2) {
    const std::string unitsTool = units::UnitsProcess::ToolBesideMe();
    const std::string cli = test::ToolBesideMe("quelda24-cli"), converter = test::ToolBesideMe("Sg2Maker");
    if (unitsTool.empty() || cli.empty() || converter.empty())
        GTEST_SKIP() << "quelda24-units, quelda24-cli or Sg2Maker is not built";

    test::TempDir home;
    ASSERT_EQ(test::WriteSpreadIni(home.path(), 3, [](State& s) {
                  s.Trigger_unit = 1000;
                  for (int ch = 1; ch <= 3; ++ch) s.Ch_param[ch] = static_cast<int16_t>(10 + ch);
                  s.Dist_geofoni = 2;
                  s.Baud_rate_high = 500000;
              }),
              "");
    fs::copy_file(converter, home / "Sg2Maker");
    units::UnitsProcess unitsProc(unitsTool, {"--pattern", "--units", "11-13", "--time-scale", "100"});
    ASSERT_TRUE(unitsProc.running()) << unitsProc.error();

    const test::ToolRun run = test::RunTool(cli, {"passive", "--home", home.path(), "--port", unitsProc.path(), "--fs",
                                                  "125", "--minutes", "1", "--save", "noise 1", "--folder", home.path()},
                                            120000);
    ASSERT_TRUE(run.finished) << "quelda24-cli did not finish";
    const std::string& out = run.out;
    EXPECT_EQ(run.status, 0) << out << run.err;
    for (const char* line : {"question: Samples Number=8192 -> Yes", "block 1 of 1 recorded",
                             "recorded 1 of 1 blocks (8192 samples per channel at 125 Hz)", "message: file .sg2 created"})
        EXPECT_NE(out.find(line), std::string::npos) << "missing: " << line << "\n" << out;

    // What the units sent, mean removed, in each temporary file and data.txt.
    const std::string data = ReadFile(home / "data.txt");
    std::vector<std::vector<float>> want;
    for (int ch = 0; ch < 3; ++ch) {
        want.push_back(test::PatternRecordTrace(11 + ch, 8192));
        const std::string temp = ReadFile(home / ("temp_data" + std::to_string(ch + 1) + ".txt"));
        EXPECT_EQ(std::count(temp.begin(), temp.end(), '\n'), 8192);
        EXPECT_NE(data.find("\"Canale numero " + std::to_string(ch + 1) + "\"\r\n" + temp), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(home / "temp_data_unsaved.txt"));

    const fs::path sg2 = home / "noise 1.sg2";
    const std::optional<LoadedData> loaded = test::WaitForSg2(sg2, 30);
    ASSERT_TRUE(loaded) << "no readable " << sg2;
    EXPECT_EQ(loaded->N_Geofoni, 3);
    EXPECT_EQ(loaded->N_samples, 8192);
    EXPECT_EQ(loaded->Sampling_freq, 125);
    for (int ch = 0; ch < 3; ++ch)
        for (int k = 0; k < 8192; ++k)
            ASSERT_NEAR(loaded->traces[ch][k], want[ch][k], std::abs(want[ch][k]) * 1e-6 + 1e-3) << ch << " " << k;
}

}  // namespace
