// quelda24-cli run against quelda24-units over a pseudo-terminal: the RMS
// printed per channel is the exact test pattern's.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "support/PatternTrace.h"
#include "support/RunTool.h"
#include "support/SpreadIni.h"
#include "support/TempDir.h"
#include "units/UnitsProcess.h"

using namespace q24;

namespace {

// The RMS of what a block read leaves for `unit`: the decoded pattern with
// its mean removed.
double PatternRms(int unit, int n) {
    double sum = 0;
    for (float x : test::PatternBlockTrace(unit, n)) sum += double(x) * x;
    return std::sqrt(sum / n);
}

TEST(CliRun, EachSweepPrintsEachChannelsRmsOrThatItsUnitIsSilent) {
    const std::string cli = test::ToolBesideMe("quelda24-cli"), tool = units::UnitsProcess::ToolBesideMe();
    if (cli.empty() || tool.empty()) GTEST_SKIP() << "quelda24-cli or quelda24-units is not built";
    units::UnitsProcess units(tool, {"--pattern", "--paced", "--units", "1-4", "--silent", "3"});
    ASSERT_TRUE(units.running()) << units.error();
    test::TempDir home;
    // A spread of four units at 4000 Hz, running mode at 2000 Hz.
    ASSERT_EQ(test::WriteSpreadIni(home.path(), 4, [](State& s) {
                  s.N_samples = 1024;
                  s.Sampling_freq = 4000;
                  s.Running_Fs = 2000;
                  s.Running_N = 512;
              }),
              "");
    const test::ToolRun o =  // standard error folded into the output
        test::RunTool(cli, {"run", "--home", home.path(), "--port", units.path(), "--sweeps", "3"}, 180000, true);
    ASSERT_EQ(o.status, 0) << o.out;
    const std::regex line(R"(sweep (\d+) channel (\d+) unit (\d+) (rms ([0-9.]+)|not working))");
    std::map<std::pair<int, int>, std::string> seen;
    std::istringstream in(o.out);
    for (std::string l; std::getline(in, l);) {
        std::smatch m;
        if (!std::regex_match(l, m, line)) continue;
        const int sweep = std::stoi(m[1]), ch = std::stoi(m[2]), unit = std::stoi(m[3]);
        EXPECT_EQ(unit, ch);
        seen[{sweep, ch}] = m[4];
        if (m[5].matched) {
            EXPECT_NEAR(std::stod(m[5]), PatternRms(unit, 512), 0.051) << l;
        }
    }
    for (int sweep = 1; sweep <= 3; ++sweep)
        for (int ch = 1; ch <= 4; ++ch) {
            ASSERT_TRUE(seen.count({sweep, ch})) << "sweep " << sweep << " channel " << ch << "\n" << o.out;
            EXPECT_EQ((seen[{sweep, ch}] == "not working"), ch == 3);
        }
    EXPECT_EQ(seen.size(), 12u);
    EXPECT_NE(o.out.find("unit: Unit 3 not working"), std::string::npos);
    // The line ends where it began: reset, back at the working speed.
    EXPECT_NE(o.out.rfind("R E S E T"), std::string::npos);
    EXPECT_EQ(o.out.substr(o.out.rfind("line: ")), "line: Br= 1000000\n");
}

}  // namespace
