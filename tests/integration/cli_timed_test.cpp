// quelda24-cli timed end to end: the command-line tool records one minute
// from quelda24-units over a pseudo-terminal (the units' sampling clock run
// 20 times faster), writes data.txt and has the converter make the .sg2.
#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "files/Seg2Reader.h"
#include "files/Seg2Writer.h"
#include "state/Config.h"
#include "support/TempDir.h"
#include "units/Seismic.h"
#include "units/UnitsProcess.h"

using namespace q24;
namespace fs = std::filesystem;

namespace {

std::string ToolBesideMe(const char* name) {
    std::error_code ec;
    const fs::path me = fs::read_symlink("/proc/self/exe", ec).parent_path();
    for (const fs::path& rel : {fs::path(name), fs::path("../bin") / name, fs::path("../../bin") / name})
        if (fs::exists(me / rel, ec)) return fs::weakly_canonical(me / rel, ec).string();
    return {};
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<float> Record(int unit, int n) {
    std::vector<float> v(static_cast<std::size_t>(n));
    double sum = 0;
    for (int k = 0; k < n; ++k) {
        const int32_t x = units::PatternValue(unit, k);
        sum += v[static_cast<std::size_t>(k)] = static_cast<float>(x >= 0 ? x : x - 1);
    }
    for (float& x : v) x -= static_cast<float>(sum / n);
    return v;
}

TEST(CliTimed, OneMinuteAgainstTheEmulatedUnits) {
    const std::string cli = ToolBesideMe("quelda24-cli"), converter = ToolBesideMe("Sg2Maker");
    const std::string unitsTool = units::UnitsProcess::ToolBesideMe();
    if (cli.empty() || converter.empty() || unitsTool.empty())
        GTEST_SKIP() << "quelda24-cli, Sg2Maker or quelda24-units is not built";

    test::TempDir home;
    for (QStringList bad : {QStringList{"--fs", "300", "--minutes", "1"}, {"--fs", "250", "--minutes", "60"},
                            {"--fs", "250", "--minutes", "1", "--save"}}) {
        QProcess p;
        p.start(QString::fromStdString(cli), QStringList{"timed", "--port", "/dev/null"} + bad);
        EXPECT_TRUE(p.waitForFinished(10000) && p.exitCode() == 2) << bad.join(' ').toStdString();
    }
    {
        auto s = std::make_unique<State>();
        s->N_samples = 256;
        s->Sampling_freq = 4000;
        s->N_Geofoni = 3;
        s->Trigger_unit = 1;
        s->Ch_param[1] = 5, s->Ch_param[2] = 6, s->Ch_param[3] = 7;
        s->Dist_geofoni = 5;
        s->Finestra_tempo = 7;
        s->Baud_rate = 1000000;
        s->Baud_rate_high = 1000000;
        s->Running_Fs = 2000;
        s->Running_N = 256;
        ASSERT_EQ(SaveConfiguration(*s, home.path()), "");
    }
    fs::copy_file(converter, home / "Sg2Maker");
    fs::create_directories(home / "out");

    units::UnitsProcess unitsProc(unitsTool, {"--pattern", "--paced", "--units", "1-24", "--time-scale", "20"});
    ASSERT_TRUE(unitsProc.running()) << unitsProc.error();

    QProcess p;
    p.start(QString::fromStdString(cli),
            {"timed", "--home", QString::fromStdString(home.path()), "--port", QString::fromStdString(unitsProc.path()),
             "--fs", "250", "--minutes", "1", "--save", "shot 1", "--folder",
             QString::fromStdString((home / "out").string())});
    ASSERT_TRUE(p.waitForStarted(10000));
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(p.waitForFinished(180000)) << "quelda24-cli did not finish";
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const std::string out = p.readAllStandardOutput().toStdString();
    EXPECT_EQ(p.exitCode(), 0) << out << p.readAllStandardError().toStdString();
    for (const char* line : {"line: Br= 1000000", "recording 1 minute(s) at 250 Hz, 3 channel(s)",
                             "Sampling and Reception...", "progress: 100 %", "FINE", "message: file .sg2 created",
                             "recorded 14976 samples per channel"})
        EXPECT_NE(out.find(line), std::string::npos) << "missing: " << line << "\n" << out;
    EXPECT_EQ(out.find("Error on Unit"), std::string::npos) << out;
    // Start-up, the speed change and two resets take about ten seconds; the
    // recording itself three.
    EXPECT_LT(took, 60) << out;

    std::string why;
    const auto data = ParseDataText(ReadAll((home / "data.txt").string()), &why);
    ASSERT_TRUE(data) << why;
    EXPECT_EQ(data->instrument, "QUELDATR24");
    EXPECT_EQ(data->samples, 14976);
    ASSERT_EQ(data->labels, (std::vector<std::string>{"Canale 5", "Canale 6", "Canale 7"}));
    for (int t = 0; t < 3; ++t) {
        const std::vector<float> want = Record(5 + t, 14976);
        for (int k = 0; k < 14976; ++k)
            ASSERT_NEAR(data->blocks[t][k], want[k], std::abs(want[k]) * 1e-6 + 1e-3) << t << " " << k;
    }

    // The converter runs on its own; give it a moment.
    const std::string sg2 = (home / "out" / "shot 1.sg2").string();
    std::optional<LoadedData> loaded;
    for (int i = 0; i < 200 && !loaded; ++i) {
        if (fs::exists(sg2)) loaded = ReadSeg2File(ReadAll(sg2));
        if (!loaded) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(loaded) << "no readable " << sg2;
    EXPECT_EQ(loaded->N_Geofoni, 3);
    EXPECT_EQ(loaded->N_samples, 14976);
    EXPECT_EQ(loaded->Sampling_freq, 250);
}

}  // namespace
