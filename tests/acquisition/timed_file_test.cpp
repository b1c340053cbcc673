// A timed recording saved: data.txt in the timed layout, byte for byte, and
// the SEG-2 file the converter makes of it, read back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/stat.h>

#include "files/Saving.h"
#include "files/Seg2Reader.h"
#include "files/Seg2Writer.h"
#include "support/TempDir.h"
#include "timed_rig.h"

namespace q24 {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A sample line as a reader expects it: at most 7 significant digits, a
// period, no exponent for the counts a recording holds.
std::string SampleLine(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7g\r\n", static_cast<double>(v));
    return buf;
}

struct SavedRecording : ::testing::Test {
    test::TempDir home, folder;
    test::TimedRig rig{test::PatternUnits({7, 12})};
    FilesEnv env;
    SaveResult result = SaveResult::Closed;

    void SetUp() override {
        // The converter runs in-process: the test reads what it wrote.
        const std::string exe = ConverterPath(home.path());
        std::ofstream(exe) << "#!/bin/sh\n";
        ::chmod(exe.c_str(), 0755);
        env.home = home.path();
        env.regional.decimal = ',';
        env.launch = [](const std::string&, const std::vector<std::string>& args) {
            const auto paths = SplitConverterArgument(args.at(0));
            return paths ? ConvertDataText(paths->first, paths->second) : std::string("bad argument");
        };
        rig.spread({7, 12});
        rig.s->Sampling_freq = 125;
        rig.s->Dist_geofoni = 2.5f;
        rig.s->Pos_source = 10;
        rig.mode.showSave = [this] {
            result = TimedSaveOk(*rig.s, rig.panel, env, folder.path(), "line 1", {"7", "12"});
            if (result == SaveResult::Saved) rig.mode.SaveDone();
        };
        rig.mode.Prepare();
        rig.mode.Start_acq_Click();
        ASSERT_EQ(result, SaveResult::Saved);
    }
};

TEST_F(SavedRecording, DataTextHoldsTheTimedLayout) {
    const std::string text = ReadAll(home.path() + "/data.txt");
    // Date and time come from the clock; their form from the regional patterns.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(text, m, std::regex("\r\nDATA: (\\d\\d/\\d\\d/\\d{4})\r\nORA: (\\d\\d:\\d\\d:\\d\\d)\r\n")));
    std::string want = "Ditta MIRANDEL\r\nStrumento: QUELDATR24\r\nI dati numerici sono in formato floating point\r\n"
                       "DATA: " + m[1].str() + "\r\nORA: " + m[2].str() + "\r\n"
                       "Numero di canali=\r\n 2 \r\nIntervallo di campionamento=\r\n8000 usec\r\n"
                       "Numero di campioni=\r\n 7424 \r\nDistanza tra geofoni=\r\n2,5 m\r\n"
                       "Posizione source rispetto 1\xC2\xB0 geofono=\r\n-10 m\r\n\"NOTE:\"\r\n";
    for (int unit : {7, 12}) {
        want += "\"Canale " + std::to_string(unit) + "\"\r\n";
        for (float v : test::PatternRecord(unit, 7424)) want += SampleLine(v);
    }
    EXPECT_EQ(text.size(), want.size());
    EXPECT_TRUE(text == want) << "first difference at byte "
                              << std::mismatch(text.begin(), text.end(), want.begin(), want.end()).first - text.begin();
    EXPECT_EQ(rig.s->File_path, folder.path() + "/line 1.sg2");
    EXPECT_EQ(rig.mode.controls().Label3, "FINE");
}

TEST_F(SavedRecording, Seg2ReadsBackAsRecorded) {
    const std::string bytes = ReadAll(folder.path() + "/line 1.sg2");
    std::string why;
    const auto loaded = ReadSeg2File(bytes, &why);
    ASSERT_TRUE(loaded) << why;
    EXPECT_EQ(loaded->N_Geofoni, 2);
    EXPECT_EQ(loaded->N_samples, 7424);
    EXPECT_EQ(loaded->Sampling_freq, 125);
    ASSERT_EQ(loaded->traces.size(), 2u);
    for (int t = 0; t < 2; ++t) {
        ASSERT_EQ(loaded->traces[t].size(), 7424u);
        for (int k = 0; k < 7424; ++k) {
            const float want = rig.s->Dati_cont(t, k);
            // The text file keeps 7 significant digits.
            ASSERT_NEAR(loaded->traces[t][k], want, std::abs(want) * 1e-6 + 1e-3) << t << " " << k;
        }
    }
}

}  // namespace
}  // namespace q24
