// quelda24-cli shot and run against quelda24-units (exact pattern, unit 3
// silent) over a pseudo-terminal.
#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "files/Seg2Reader.h"
#include "files/WriteForm.h"
#include "state/Version.h"
#include "support/PatternTrace.h"
#include "support/ReadFile.h"
#include "support/RunTool.h"
#include "support/SpreadIni.h"
#include "support/TempDir.h"
#include "support/UnitsRig.h"
#include "units/PtyUnits.h"
#include "units/UnitsProcess.h"

using namespace q24;

namespace {

// Stored sample k of unit a after a shot at 4000 Hz with no trigger
// correction: the received pattern, mean removed, at k + 6.
std::vector<float> Aligned(int unit, int n) {
    const std::vector<float> received = test::PatternBlockTrace(unit, n);
    std::vector<float> out(static_cast<std::size_t>(n), 0.0f);
    for (int k = 1; k + 6 < n; ++k) out[static_cast<std::size_t>(k - 1)] = received[static_cast<std::size_t>(k + 6)];
    return out;
}

std::size_t Find(const std::string& text, const std::string& line, std::size_t from = 0) {
    return text.find(line + "\n", from);
}

// Gathers what `p` prints until `done()` holds; false when it ended or `ms`
// passed first.
template <class Done>
bool ReadUntil(QProcess& p, std::string& out, int ms, Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (p.state() != QProcess::Running || std::chrono::steady_clock::now() > end) return false;
        p.waitForReadyRead(100);
        out += p.readAllStandardOutput().toStdString();
    }
    return true;
}

// Four positions on units 1 to 4, shots at 4000 Hz, running mode at 2000 Hz.
class CliShot : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::ToolBesideMe("quelda24-cli").empty() || units::UnitsProcess::ToolBesideMe().empty())
            GTEST_SKIP() << "quelda24-cli or quelda24-units is not built";
        ASSERT_EQ(test::WriteSpreadIni(home_.path(), 4, [](State& s) {
                      s.N_samples = 512;
                      s.Sampling_freq = 4000;
                      s.Pos_source = 2.5f;
                      s.Running_Fs = 2000;
                      s.Running_N = 512;
                  }),
                  "");
    }

    void startUnits(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args{"--pattern", "--paced", "--units", "1-4", "--silent", "3", "--trigger-delay", "0.5"};
        args.insert(args.end(), extra.begin(), extra.end());
        units_ = std::make_unique<units::UnitsProcess>(units::UnitsProcess::ToolBesideMe(), args);
        ASSERT_TRUE(units_->running()) << units_->error();
    }
    // `command` on `port` (the units' line unless given); `errIntoOut` folds
    // standard error into the output.
    test::ToolRun cli(const std::string& command, std::vector<std::string> args = {}, std::string port = {},
                      bool errIntoOut = false) const {
        args.insert(args.begin(), {command, "--home", home_.path(), "--port", port.empty() ? units_->path() : port});
        return test::RunTool(test::ToolBesideMe("quelda24-cli"), args, 180000, errIntoOut);
    }

    test::TempDir home_;
    std::unique_ptr<units::UnitsProcess> units_;
};

// One shot, saved: the answering units' blocks labelled by unit, the .sg2
// and the record file; a stack of three: the sums labelled by position, the
// silent unit's all zeros.
TEST_F(CliShot, OneShotOrAStackedSeriesWritesTheAlignedTraces) {
    // The converter is found beside quelda24-cli: nothing is copied into a fresh --home.
    const std::string folder = (home_ / "out dir").string();  // a blank in the path is safe
    std::filesystem::create_directories(folder);
    for (int stack : {1, 3}) {
        startUnits();
        const test::ToolRun r = stack == 1 ? cli("shot", {"--save", "line1", "--folder", folder})
                                           : cli("shot", {"--stack", "3"});
        ASSERT_EQ(r.status, 0) << r.out << r.err;
        const std::vector<const char*> status =
            stack == 1 ? std::vector<const char*>{"trigger: Trigger Unit = 1", "Waiting for Trigger...", "Acquisition...",
                                                  "Data Reception", "message: Press to Continue",
                                                  "unit: Unit 3 Not Working", "Wait for data display...",
                                                  "R E S E T ....."}
                       : std::vector<const char*>{"stack: 1", "question: Keep on Stacking? -> Yes", "stack: 2",
                                                  "question: Keep on Stacking? -> Yes", "stack: 3",
                                                  "question: Keep on Stacking? -> No"};
        std::size_t at = 0;
        for (const char* line : status) {
            at = Find(r.out, line, at);
            ASSERT_NE(at, std::string::npos) << "missing or out of order: " << line << "\n" << r.out;
        }
        if (stack == 1) {
            EXPECT_EQ(r.out.find("Keep on Stacking?"), std::string::npos);
            EXPECT_NE(Find(r.out, "message: file .sg2 created"), std::string::npos) << r.out;
            EXPECT_GT(std::filesystem::file_size(folder + "/line1.sg2"), 3u * 512 * 4);  // the three traces that came
            EXPECT_EQ(test::Lines(test::ReadFile(folder + "/line1.txt")).size(), 5u + 4 * 512);
        }

        const std::vector<std::string> lines = test::Lines(test::ReadFile(home_ / "data_trigger.txt"));
        const std::vector<int> blocks = stack == 1 ? std::vector<int>{1, 2, 4} : std::vector<int>{1, 2, 3, 4};
        ASSERT_EQ(lines.size(), 16u + blocks.size() * 513);
        EXPECT_EQ(lines[6], " 4 ");
        EXPECT_EQ(lines[14], "-2.5 m");
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            const std::size_t first = 16 + 513 * b;
            EXPECT_EQ(lines[first], "\"Canale numero " + std::to_string(blocks[b]) + "\"");
            const std::vector<float> one = Aligned(blocks[b], 512);
            for (std::size_t k = 0; k < 500; ++k) {
                const float want = blocks[b] == 3 ? 0.0f : stack == 1 ? one[k] : one[k] + one[k] + one[k];
                ASSERT_EQ(lines[first + 1 + k], WriteFormSingle(want)) << "stack " << stack << " block " << b << " " << k;
            }
        }
    }
    // --save auto: the next free name after the newest save of the folder; a
    // stack of three hits, the first rejected by --review (the others added),
    // with 100 samples before the trigger says both in every trace (the
    // pattern units send the same blocks with or without them).
    startUnits();
    const test::ToolRun r = cli("shot", {"--save", "auto", "--folder", folder, "--stack", "3", "--review", "reject",
                                         "--pretrigger", "100"});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(Find(r.out, "review: hit 1 -> reject"), std::string::npos) << r.out;
    EXPECT_NE(Find(r.out, "review: hit 3 -> add"), std::string::npos) << r.out;
    const auto sg2 = ParseSeg2(test::ReadFile(folder + "/line2.sg2"));
    ASSERT_TRUE(sg2) << r.out;
    const auto loaded = ReadSeg2File(test::ReadFile(folder + "/line2.sg2"));
    for (std::size_t t = 0; t < sg2->traces.size(); ++t) {
        const auto& strings = sg2->traces[t].strings;
        EXPECT_EQ(std::tuple(Seg2Value(strings, "DELAY"), Seg2Value(strings, "STACK"),
                             Seg2Value(strings, "SHOT_SEQUENCE_NUMBER")),
                  std::tuple("-0.025", "2", "2"));
        const std::vector<float> one = Aligned(static_cast<int>(t) + 1, 512);
        for (std::size_t k = 0; k < 500; ++k)
            ASSERT_EQ(WriteFormSingle(loaded->traces[t][k]), WriteFormSingle(t == 2 ? 0.0f : 2 * one[k])) << t << " " << k;
    }
}

TEST_F(CliShot, NoTriggerOrNoPortEndsWithOneLineReason) {
    startUnits({"--trigger-delay", "-1"});  // the hammer never falls
    test::ToolRun r = cli("shot", {"--trigger-timeout", "1"});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(r.err, "quelda24-cli shot: no trigger within 1 seconds from trigger unit 1\n");
    EXPECT_NE(r.out.find("Waiting for Trigger..."), std::string::npos);

    r = cli("shot", {}, (home_ / "no-such-line").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("could not be opened"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}

// The RMS of what a block read leaves for `unit`: the decoded pattern with
// its mean removed.
double PatternRms(int unit, int n) {
    double sum = 0;
    for (float x : test::PatternBlockTrace(unit, n)) sum += double(x) * x;
    return std::sqrt(sum / n);
}

// Each running-mode sweep prints each channel's RMS, or that its unit is
// silent; with --threshold the noise monitor's figures follow each RMS and the
// noisy unit's channel is marked. A threshold typed as text, out of range or
// missing is refused before the line is used. The line ends where it began:
// reset, back at the working speed.
TEST_F(CliShot, RunPrintsEachSweepsRmsAndWithAThresholdMarksTheNoisyChannel) {
    startUnits({"--noisy", "2"});
    const std::vector<std::vector<std::string>> refused{
        {"--threshold", "loud"}, {"--threshold", "-141"}, {"--threshold", "5"}, {"--threshold"}};
    for (const std::vector<std::string>& bad : refused) {
        const test::ToolRun r = cli("run", bad);
        EXPECT_EQ(std::tuple(r.status, r.out), std::tuple(2, std::string())) << bad.back();
        EXPECT_NE(r.err.find("--threshold: "), std::string::npos) << r.err;
    }
    const test::ToolRun o = cli("run", {"--sweeps", "2", "--threshold", "-50"}, {}, true);
    ASSERT_EQ(o.status, 0) << o.out;
    const std::regex line(
        R"(sweep (\d+) channel (\d+) unit (\d+) (rms ([0-9.]+) \((-?[0-9.]+) dB\) peak (-?[0-9.]+) dB( noisy)?|not working))");
    std::set<std::pair<int, int>> seen;  // sweep, channel
    std::istringstream in(o.out);
    for (std::string l; std::getline(in, l);) {
        std::smatch m;
        if (!std::regex_match(l, m, line)) continue;
        const int ch = std::stoi(m[2]);
        EXPECT_TRUE(seen.insert({std::stoi(m[1]), ch}).second && std::stoi(m[3]) == ch) << l;
        ASSERT_EQ(m[4] == "not working", ch == 3) << l;
        if (ch == 3) continue;
        const double rms = std::stod(m[6]), peak = std::stod(m[7]);
        if (ch != 2) EXPECT_NEAR(std::stod(m[5]), PatternRms(ch, 512), 0.051) << l;
        EXPECT_NEAR(rms, ch == 2 ? -20.0 : 20 * std::log10(PatternRms(ch, 512) / 8388608), ch == 2 ? 1.0 : 0.06) << l;
        EXPECT_GT(peak, rms) << l;
        EXPECT_EQ(m[8].matched, ch == 2) << l;
    }
    EXPECT_EQ(seen.size(), 8u) << o.out;
    EXPECT_NE(o.out.find("unit: Unit 3 not working"), std::string::npos);
    EXPECT_NE(o.out.rfind("R E S E T"), std::string::npos);
    EXPECT_EQ(o.out.substr(o.out.rfind("line: ")), "line: Br= 1000000\n");
}

// detect finds exactly the units on the line, gaps and all; a line with no
// unit among the numbers asked ends with status 1.
TEST_F(CliShot, DetectPrintsTheUnitsThatAnswerInOrder) {
    for (auto [units, status, out, err] :
         {std::tuple{"2-9", 0, "unit 2\nunit 4\nunit 6\nunit 7\nunit 8\nunit 9\n", ""},
          {"200", 1, "", "no unit answered\n"}}) {
        startUnits({"--units", units, "--silent", "5"});
        const test::ToolRun r = cli("detect");
        EXPECT_EQ(std::tuple(r.status, r.out), std::tuple(status, std::string(out))) << r.err;
        EXPECT_NE(r.err.find(err), std::string::npos) << r.err;
    }
}

// Ended while armed (by Ctrl+C or a service stop), the command resets the
// units once and exits with 128 + the signal; while it holds the line, a
// second command on it is turned away at once and the first goes on armed.
TEST_F(CliShot, ASignalWhileArmedResetsTheUnitsOnceAndTheLineIsOneProgramsAtATime) {
    const std::string tool = test::ToolBesideMe("quelda24-cli");
    const std::string armedLine = "parameters 4000 Hz 512 samples trigger 1";
    for (const auto& [sig, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        SCOPED_TRACE("signal " + std::to_string(sig));
        // Units in this process, so their log shows what reached them; the
        // hammer never falls.
        units::UnitsConfig c = test::PatternUnits({1, 2, 3, 4});
        c.paced = true, c.triggerDelay = -1;
        units::PtyUnits units(c);
        std::string error;
        ASSERT_TRUE(units.open(error)) << error;
        units.start();
        auto log = [&] { return units.with([](units::Units& u) { return u.log(); }); };
        auto armedAt = [&] {
            const std::vector<std::string> l = log();
            return std::size_t(std::find(l.begin(), l.end(), armedLine) - l.begin());
        };

        const QStringList args{"shot", "--home", QString::fromStdString(home_.path()), "--port",
                               QString::fromStdString(units.path())};
        QProcess first;  // killed by its destructor if the test stops early
        first.start(QString::fromStdString(tool), args);
        ASSERT_TRUE(first.waitForStarted(10000));
        std::string out;
        ASSERT_TRUE(ReadUntil(first, out, 30000, [&] {
            return Find(out, "Waiting for Trigger...") != std::string::npos && armedAt() < log().size();
        })) << out << first.readAllStandardError().toStdString();
        const std::size_t armed = armedAt();

        if (sig == SIGINT) {
            const test::ToolRun r = cli("shot", {}, units.path());
            EXPECT_EQ(r.status, 1) << r.out << r.err;
            EXPECT_LT(r.seconds, 1.0);
            EXPECT_NE(r.err.find("is in use by another program"), std::string::npos) << r.err;
            EXPECT_NE(r.err.find(units.path()), std::string::npos) << r.err;
            EXPECT_EQ(first.state(), QProcess::Running);
            EXPECT_EQ(log().size(), armed + 1) << "the second command reached the units";
        }

        ASSERT_EQ(::kill(static_cast<pid_t>(first.processId()), sig), 0);
        ASSERT_TRUE(first.waitForFinished(5000)) << "still running 5 s after the signal";
        EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(first.exitCode(), status);
        out += first.readAllStandardOutput().toStdString();
        // A cancelled wait is neither a time-out nor a failed unit.
        EXPECT_EQ(out.find("TIMEOUT"), std::string::npos) << out;
        EXPECT_EQ(out.find("Not Working"), std::string::npos) << out;

        // The reset byte, once, after the arming; the units read it off the
        // line after the program has gone.
        for (int i = 0; i < 20 && log().size() == armed + 1; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // room for a second one
        const std::vector<std::string> l = log();
        EXPECT_EQ(std::vector<std::string>(l.begin() + std::ptrdiff_t(armed) + 1, l.end()),
                  std::vector<std::string>{"reset"});
    }
}

}  // namespace

// Every program of the suite answers --version and --help before it starts
// anything: no line, no window (velostrata runs here without a display).
TEST(Suite, EveryProgramAnswersVersionAndHelp) {
    for (const char* program : {"quelda24", "quelda24-cli", "quelda24-units", "Sg2Maker", "velostrata/bin/velostrata"}) {
        const std::string path = test::ToolBesideMe(program);
        if (path.empty()) continue;  // not built
        const std::string name = std::filesystem::path(program).filename().string();
        const test::ToolRun v = test::RunTool(path, {"--version"}, 10000);
        EXPECT_EQ(std::tuple(v.status, v.out), std::tuple(0, name + " " + kVersion + "\n"));
        const test::ToolRun h = test::RunTool(path, {"--help"}, 10000);
        EXPECT_EQ(std::tuple(h.status, h.out.rfind("usage: " + name, 0)), std::tuple(0, std::size_t{0})) << h.out;
    }
}
