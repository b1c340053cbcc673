// quelda24-cli run end to end: the real serial layer talks to quelda24-units
// over a pseudo-terminal, through the start-up, the sweeps and the closing
// reset; the RMS printed per channel is the exact test pattern's.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "state/Config.h"
#include "support/RunTool.h"
#include "support/TempDir.h"
#include "units/Seismic.h"
#include "units/UnitsProcess.h"

using namespace q24;

namespace {

// The RMS of what a block read leaves for `unit`: the decoded pattern with
// its mean removed.
double PatternRms(int unit, int n) {
    std::vector<double> v(n);
    double mean = 0;
    for (int k = 0; k < n; ++k) {
        const int32_t x = units::PatternValue(unit, k);
        v[k] = x >= 0 ? x : x - 1;
        mean += v[k] / n;
    }
    double sum = 0;
    for (double x : v) sum += (x - mean) * (x - mean);
    return std::sqrt(sum / n);
}

class CliRun : public ::testing::Test {
protected:
    void SetUp() override {
        cli_ = test::ToolBesideMe("quelda24-cli");
        const std::string tool = units::UnitsProcess::ToolBesideMe();
        if (cli_.empty() || tool.empty()) GTEST_SKIP() << "quelda24-cli or quelda24-units is not built";
        units_ = std::make_unique<units::UnitsProcess>(
            tool, std::vector<std::string>{"--pattern", "--paced", "--units", "1-4", "--silent", "3"});
        ASSERT_TRUE(units_->running()) << units_->error();
        // A spread of four units at 4000 Hz on a 1000000-baud line.
        auto s = std::make_unique<State>();
        s->N_samples = 1024;
        s->Sampling_freq = 4000;
        s->N_Geofoni = 4;
        s->Trigger_unit = 1;
        for (int ch = 1; ch <= 4; ++ch) s->Ch_param[ch] = static_cast<int16_t>(ch);
        s->Dist_geofoni = 5;
        s->Finestra_tempo = 1;
        s->Baud_rate = 1000000;
        s->Baud_rate_high = 1000000;
        s->Running_Fs = 2000;
        s->Running_N = 512;
        std::ofstream(home_ / "ini.txt", std::ios::binary) << ConfigText(*s);
    }

    // quelda24-cli run with this test's home and `rest`, its standard error
    // folded into the output.
    test::ToolRun run(const std::vector<std::string>& rest) const {
        std::vector<std::string> args{"run", "--home", home_.path()};
        args.insert(args.end(), rest.begin(), rest.end());
        return test::RunTool(cli_, args, 180000, true);
    }

    std::string cli_;
    test::TempDir home_;
    std::unique_ptr<units::UnitsProcess> units_;
};

TEST_F(CliRun, EachSweepPrintsEachChannelsRmsOrThatItsUnitIsSilent) {
    const test::ToolRun o = run({"--port", units_->path(), "--sweeps", "3"});
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
            const bool silent = seen[{sweep, ch}] == "not working";
            EXPECT_EQ(silent, ch == 3);
        }
    EXPECT_EQ(seen.size(), 12u);
    EXPECT_NE(o.out.find("unit: Unit 3 not working"), std::string::npos);
    // The line ends where it began: reset, back at the working speed.
    EXPECT_NE(o.out.rfind("R E S E T"), std::string::npos);
    EXPECT_EQ(o.out.substr(o.out.rfind("line: ")), "line: Br= 1000000\n");
}

TEST_F(CliRun, WrongArgumentsAndAMissingPortFail) {
    EXPECT_EQ(run({"--sweeps", "2"}).status, 2);  // no port
    EXPECT_EQ(run({"--port", units_->path(), "--sweeps", "0"}).status, 2);
    EXPECT_EQ(run({"--port", units_->path(), "--sweeps", "many"}).status, 2);
    const test::ToolRun o = run({"--port", (home_ / "no-such-line").string()});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find("could not be opened"), std::string::npos) << o.out;
}

}  // namespace
