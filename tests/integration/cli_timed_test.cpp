// quelda24-cli timed: one minute from quelda24-units over a pseudo-terminal,
// the units' clock 20 times faster; data.txt and the .sg2 read back.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "files/Seg2Reader.h"
#include "files/Seg2Writer.h"
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

using test::PatternRecordTrace;
using test::ReadFile;
using test::RunTool;
using test::ToolBesideMe;
using test::ToolRun;

TEST(CliTimed, OneMinuteAgainstTheEmulatedUnits) {
    const std::string cli = ToolBesideMe("quelda24-cli"), converter = ToolBesideMe("Sg2Maker");
    const std::string unitsTool = units::UnitsProcess::ToolBesideMe();
    if (cli.empty() || converter.empty() || unitsTool.empty())
        GTEST_SKIP() << "quelda24-cli, Sg2Maker or quelda24-units is not built";

    test::TempDir home;
    ASSERT_EQ(test::WriteSpreadIni(home.path(), 3, [](State& s) {
                  s.N_samples = 256;
                  s.Sampling_freq = 4000;
                  s.Ch_param[1] = 5, s.Ch_param[2] = 6, s.Ch_param[3] = 7;
                  s.Finestra_tempo = 7;
                  s.Running_Fs = 2000;
                  s.Running_N = 256;
              }),
              "");
    fs::copy_file(converter, home / "Sg2Maker");
    fs::create_directories(home / "out");

    units::UnitsProcess unitsProc(unitsTool, {"--pattern", "--paced", "--units", "1-24", "--time-scale", "20"});
    ASSERT_TRUE(unitsProc.running()) << unitsProc.error();

    const ToolRun run = RunTool(cli, {"timed", "--home", home.path(), "--port", unitsProc.path(), "--fs", "250",
                                      "--minutes", "1", "--save", "shot 1", "--folder", (home / "out").string()});
    ASSERT_TRUE(run.finished) << "quelda24-cli did not finish";
    const std::string& out = run.out;
    EXPECT_EQ(run.status, 0) << out << run.err;
    for (const char* line : {"line: Br= 1000000", "recording 1 minute(s) at 250 Hz, 3 channel(s)",
                             "Sampling and Reception...", "progress: 100 %", "FINE", "message: file .sg2 created",
                             "recorded 14976 samples per channel"})
        EXPECT_NE(out.find(line), std::string::npos) << "missing: " << line << "\n" << out;
    EXPECT_EQ(out.find("Error on Unit"), std::string::npos) << out;
    EXPECT_LT(run.seconds, 60) << out;

    std::string why;
    const auto data = ParseDataText(ReadFile((home / "data.txt").string()), &why);
    ASSERT_TRUE(data) << why;
    EXPECT_EQ(data->instrument, "QUELDATR24");
    EXPECT_EQ(data->samples, 14976);
    ASSERT_EQ(data->labels, (std::vector<std::string>{"Canale 5", "Canale 6", "Canale 7"}));
    for (int t = 0; t < 3; ++t) {
        const std::vector<float> want = PatternRecordTrace(5 + t, 14976);
        for (int k = 0; k < 14976; ++k)
            ASSERT_NEAR(data->blocks[t][k], want[k], std::abs(want[k]) * 1e-6 + 1e-3) << t << " " << k;
    }

    const std::string sg2 = (home / "out" / "shot 1.sg2").string();
    const std::optional<LoadedData> loaded = test::WaitForSg2(sg2, 20);
    ASSERT_TRUE(loaded) << "no readable " << sg2;
    EXPECT_EQ(loaded->N_Geofoni, 3);
    EXPECT_EQ(loaded->N_samples, 14976);
    EXPECT_EQ(loaded->Sampling_freq, 250);
}

}  // namespace
