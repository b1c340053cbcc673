// The data text files (passive data.txt merged from the temporary files
// among them), the write form of a Single, the record file, loading and saving.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <tuple>
#include <sys/stat.h>

#include "files/DataTextFile.h"
#include "files/Loading.h"
#include "files/ProgramFolder.h"
#include "files/RecordFile.h"
#include "files/Saving.h"
#include "files/Seg2Writer.h"
#include "files/WriteForm.h"
#include "support/FakePanel.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

using namespace q24;
using test::FakePanel;
using test::TempDir;

namespace {

Regional regional(char decimal) { return {.decimal = decimal}; }

constexpr Stamp kWhen{2026, 3, 4, 5, 6, 7};

std::unique_ptr<State> smallShot() {
    auto s = std::make_unique<State>();
    s->N_Geofoni = 3;
    s->N_samples = 3;
    s->Sampling_freq = 4000;
    s->Dist_geofoni = 2.5f;
    s->Pos_source = 10;
    const float samples[3][3] = {{1, -12.5f, 0.001f}, {7, 8, 9}, {8388607, -8388608, 0}};
    for (int t = 0; t < 3; ++t)
        for (int j = 0; j < 3; ++j) s->Dati(t, j) = samples[t][j];
    s->Ch_enabled[1] = s->Ch_enabled[3] = true;
    s->Ch_param[1] = 41;
    s->Ch_param[3] = 7;
    return s;
}

std::string header(const char* instrument, const char* interval, const char* n, const char* spacing,
                   const char* channels = " 3 ") {
    return std::string("Ditta MIRANDEL\r\n") + instrument +
           "\r\nI dati numerici sono in formato floating point\r\nDATA: 04/03/2026\r\nORA: 05:06:07\r\n"
           "Numero di canali=\r\n" + channels + "\r\nIntervallo di campionamento=\r\n" + interval +
           " usec\r\nNumero di campioni=\r\n" + n + "\r\nDistanza tra geofoni=\r\n" + spacing +
           " m\r\nPosizione source rispetto 1\xC2\xB0 geofono=\r\n-10 m\r\n\"NOTE:\"\r\n";
}

}  // namespace

TEST(WriteFormSingle, AtMostSevenDigitsWithAPeriod) {
    for (auto [value, text] : {std::pair{-12.5, "-12.5"}, {0.001, "0.001"}, {-0.0, "0"}, {1.0 / 3, "0.3333333"},
                               {-8388608, "-8388608"}, {9999999.5, "1E+07"}, {25165821, "2.516582E+07"},
                               {0.00001, "0.00001"}, {0.000001, "1E-06"}}) {
        EXPECT_EQ(WriteFormSingle(static_cast<float>(value)), text);
        const auto back = WriteFormReader(text).next();
        ASSERT_TRUE(back);
        EXPECT_NEAR(*back, value, std::fabs(value) * 1e-6);
    }
}

// The quick path must never change a byte of what the data files held.
TEST(WriteFormSingle, QuickPathGivesTheTextOfTheGeneralForm) {
    std::mt19937 random(24);
    std::normal_distribution<float> noise(0, 30000);
    auto same = [&](float v) {
        ASSERT_EQ(WriteFormSingle(v), DecimalForm(static_cast<double>(v), 7)) << std::hexfloat << v;
    };
    for (int i = 0; i < 300000; ++i) {
        uint32_t bits = random();
        float v;
        std::memcpy(&v, &bits, sizeof v);
        same(v);
        same(noise(random));
        // Halves between two 7-digit neighbours go to the even one.
        same(static_cast<float>(random() % 16000000) + 0.5f);
    }
    // Around every power of ten the notation and digit count change.
    for (int e = -7; e <= 8; ++e) {
        float v = std::nextafter(static_cast<float>(std::pow(10.0, e)), 0.0f);
        for (int i = 0; i < 64; ++i, v = std::nextafter(v, 1e30f)) {
            same(v);
            same(-v);
        }
    }
    for (float v : {0.0f, -0.0f, 9999999.5f, 9999999.0f, 1e-5f, 0.99999995f, INFINITY, -INFINITY, NAN}) same(v);
}

// Trigger and stacked files in both decimal conventions; the timed file has its
// own instrument, Dati_cont and the channel texts as labels (a missing one empty).
TEST(DataTextFile, TriggerStackedAndTimedFilesByteForByte) {
    for (char decimal : {'.', ','}) {
        SCOPED_TRACE(decimal);
        TempDir dir;
        auto s = smallShot();
        const std::string path = (dir / kTriggerDataFile).string();
        test::WriteFile(path, "previous shot");
        DataTextWriter w;
        ASSERT_EQ(w.begin(path, TriggerHeader(*s), regional(decimal), kWhen), "");
        for (int k = 1; k <= 3; ++k)
            if (s->Ch_enabled[static_cast<std::size_t>(k)])
                w.appendChannel(ChannelLabel(s->Ch_param[static_cast<std::size_t>(k)]), s->Dati.row(k - 1), s->Dati.cols());
        EXPECT_EQ(test::ReadFile(path), "previous shot") << "replaced only when complete";
        ASSERT_EQ(w.finish(), "");
        const std::string spacing = decimal == ',' ? "2,5" : "2.5";
        EXPECT_EQ(test::ReadFile(path), header("Strumento: QUELDA24", "250", " 3 ", spacing.c_str()) +
                                     "\"Canale numero 41\"\r\n1\r\n-12.5\r\n0.001\r\n"
                                     "\"Canale numero 7\"\r\n8388607\r\n-8388608\r\n0\r\n");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary left";
        // The stacked file labels its channels by position.
        ASSERT_EQ(WriteStackedDataText(*s, path, regional(decimal), kWhen), "");
        EXPECT_EQ(test::ReadFile(path), header("Strumento: QUELDA24", "250", " 3 ", spacing.c_str()) +
                                     "\"Canale numero 1\"\r\n1\r\n-12.5\r\n0.001\r\n"
                                     "\"Canale numero 3\"\r\n8388607\r\n-8388608\r\n0\r\n");
    }
    TempDir dir;
    auto s = smallShot();
    s->Sampling_freq = 32000;
    s->N_samples_cont = 2;
    s->Dati_cont.resize(4, 3);
    ASSERT_EQ(WriteTimedDataText(*s, {"A", "B"}, (dir / "d.txt").string(), regional(','), kWhen), "");
    EXPECT_EQ(test::ReadFile((dir / "d.txt").string()), header("Strumento: QUELDATR24", "31,25", " 2 ", "2,5") +
                                 "\"Canale A\"\r\n0\r\n0\r\n\"Canale B\"\r\n0\r\n0\r\n\"Canale \"\r\n0\r\n0\r\n");
}

// Temporary files may hold extra values, other notations and blank lines: read
// as Singles. One short of the recording leaves data.txt as it was.
TEST(DataTextFile, PassiveMergeByteForByteAndAShortTemporaryFile) {
    TempDir home;
    test::WriteFile(home / "temp_data1.txt", "1\r\n-2.5\r\n0.001\r\n12345.67\r\n99\r\n");
    test::WriteFile(home / "temp_data2.txt", "  +3e2\r\n\r\n.5\r\n-0\r\n1.23456789\r\n");
    auto s = smallShot();
    s->N_Geofoni = 2;
    s->Sampling_freq = 8000;  // not the passive rate: the header uses 250 Hz
    const std::string out = (home / "data.txt").string();
    ASSERT_EQ(WritePassiveDataText(*s, home.path(), 250, 4, out, regional(','), kWhen), "");
    const std::string want = header("Strumento: QUELDA24", "4000", " 4 ", "2,5", " 2 ") +
                             "\"Canale numero 1\"\r\n1\r\n-2.5\r\n0.001\r\n12345.67\r\n"
                             "\"Canale numero 2\"\r\n300\r\n0.5\r\n0\r\n1.234568\r\n";
    EXPECT_EQ(test::ReadFile(out), want);
    test::WriteFile(home / "temp_data1.txt", "1\r\n2\r\n");
    EXPECT_NE(WritePassiveDataText(*s, home.path(), 125, 3, out, Regional{}), "");
    EXPECT_EQ(test::ReadFile(out), want);
}

TEST(DataTextFile, FailuresLeaveTheOldFile) {
    TempDir dir;
    auto s = smallShot();
    EXPECT_NE(WriteStackedDataText(*s, (dir / "missing/d.txt").string(), regional('.')), "");
    const std::string path = (dir / "d.txt").string();
    test::WriteFile(path, "old");
    {
        DataTextWriter w;  // a shot stopped half-way: abandoned by its end
        ASSERT_EQ(w.begin(path, TriggerHeader(*s), regional('.')), "");
        w.appendChannel("x", s->Dati.row(0), 2);  // fewer samples than announced
        EXPECT_NE(w.finish(), "");
    }
    EXPECT_EQ(test::ReadFile(path), "old");
}

TEST(RecordFile, RoundTripAndTheRulesOfTheReader) {
    auto s = smallShot();
    const std::string text = RecordFileText(*s);
    EXPECT_EQ(text.substr(0, 31), "3\r\n4000\r\n2.5\r\n10\r\n3\r\n1\r\n-12.5\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5 + 9);
    auto fresh = std::make_unique<State>();
    auto d = ReadRecordFile(text, *fresh);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->traces[2], (std::vector<float>{8388607, -8388608, 0}));
    EXPECT_TRUE(ReadRecordFile("256\r\n1000\r\n5\r\n0\r\n0\r\n", *fresh)) << "no traces, no samples";
    // Traces missing, frequency zero, 98 traces, 16386 samples, not a number, past a float.
    for (const char* bad : {"256\r\n1000\r\n5\r\n0\r\n2\r\n", "2\r\n0\r\n5\r\n0\r\n0\r\n", "2\r\n1000\r\n5\r\n0\r\n98\r\n",
                            "16386\r\n1000\r\n5\r\n0\r\n0\r\n", "1\r\n1000\r\n5\r\n0\r\n1\r\nabc\r\n",
                            "1\r\n1000\r\n5\r\n0\r\n1\r\n1e39\r\n"})
        EXPECT_FALSE(ReadRecordFile(bad, *fresh)) << bad;
}

// ---- loading

class Loading : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<State> s = std::make_unique<State>();
    FakePanel panel;
    std::string path(const char* name) { return (dir / name).string(); }
};

TEST_F(Loading, RecordAndSeg2FilesFillStateLabelsAndPicture) {
    auto shot = smallShot();
    ASSERT_EQ(WriteRecordFile(*shot, path("shot.txt")), "");
    s->Display_mode = 2;
    ASSERT_EQ(LoadFile(*s, panel, path("shot.txt"), regional(',')), LoadResult::Loaded);
    EXPECT_EQ(std::tuple(s->N_Geofoni, s->N_samples, s->Sampling_freq, s->Dati(0, 1)), std::tuple(3, 3, 4000, -12.5f));
    EXPECT_FLOAT_EQ(s->Trg_offset, 8.4f);
    EXPECT_EQ(std::tuple(panel.texts[Ctl::testo], panel.texts[Ctl::N_Geofoni], panel.texts[Ctl::Label12]),
              std::tuple("shot.txt", "3", "msec"));
    EXPECT_EQ(panel.picture, (std::vector<std::string>{"clear", "plot 1 2", "plot 2 2", "plot 3 2"}));
    EXPECT_TRUE(panel.messages.empty());

    // SEG-2 is known by its first bytes, whatever the file's name.
    ASSERT_EQ(WriteStackedDataText(*shot, path("d.txt"), regional('.')), "");
    ASSERT_EQ(ConvertDataText(path("d.txt"), path("SHOT.DAT")), "");
    s->Pos_source = 7;
    ASSERT_EQ(LoadFile(*s, panel, path("SHOT.DAT"), regional('.')), LoadResult::Loaded);
    EXPECT_EQ(std::tuple(s->N_Geofoni, s->Sampling_freq, s->Dati(1, 0)), std::tuple(2, 4000, 8388607.0f));
    EXPECT_EQ(s->Pos_source, 7.0f) << "SEG-2 leaves the source position alone";
    EXPECT_TRUE(panel.zeroLine.empty()) << "no pre-trigger, no trigger line";

    // The largest record the program writes loads back.
    auto big = std::make_unique<State>();
    std::tie(big->N_Geofoni, big->N_samples, big->Sampling_freq) = std::tuple(96, 16384, 1000);
    for (int t = 0; t < 96; ++t)
        for (int j = 0; j < 16384; ++j) big->Dati(t, j) = -8388608.0f + static_cast<float>(j * 511 + t);
    ASSERT_EQ(WriteRecordFile(*big, path("big.txt")), "");
    ASSERT_EQ(LoadFile(*s, panel, path("big.txt"), regional('.')), LoadResult::Loaded);
    EXPECT_EQ(s->Dati(95, 16383), big->Dati(95, 16383));
}

TEST_F(Loading, SizeLimitAndErroneousFilesLeaveTheStateAlone) {
    std::filesystem::resize_file((test::WriteFile(path("huge.sg2"), ""), path("huge.sg2")), kMaxLoadBytes + 1);
    EXPECT_EQ(LoadFile(*s, panel, path("huge.sg2"), regional('.')), LoadResult::TooLarge);
    std::filesystem::resize_file(path("huge.sg2"), kMaxLoadBytes);
    EXPECT_EQ(LoadFile(*s, panel, path("huge.sg2"), regional('.')), LoadResult::Erroneous) << "not too large";
    EXPECT_EQ(panel.messages, (std::vector<std::string>{kFileTooLarge, kErroneousFile}));

    s->N_Geofoni = 5;
    s->Dati(0, 0) = 42;
    test::WriteFile(path("short.txt"), "4\r\n1000\r\n5\r\n0\r\n2\r\n1\r\n2\r\n3\r\n");
    EXPECT_EQ(LoadFile(*s, panel, path("short.txt"), regional('.')), LoadResult::Erroneous);
    EXPECT_EQ(LoadFile(*s, panel, path("vanished.txt"), regional('.')), LoadResult::Erroneous);
    EXPECT_EQ(std::tuple(s->N_Geofoni, s->Dati(0, 0), panel.picture.size()), std::tuple(5, 42.0f, 0u));
}

// ---- saving

class Saving : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(DataFolder(home.path()));
        env.home = home.path();
        env.regional = regional('.');
        env.launch = [this](const std::string& program, const std::vector<std::string>& args) {
            std::string line = program;
            for (const auto& a : args) line += " [" + a + "]";
            launched.push_back(line);
            return std::string();
        };
        installExecutable(ConverterPath(home.path()));
        s->Stacking = s->Stack_series = true;
    }
    static void installExecutable(const std::string& path) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        test::WriteFile(path, "#!/bin/sh\n");
        ::chmod(path.c_str(), 0755);
    }
    // The converter's command line; `record` its options after the file names.
    std::string converted(const std::string& data, const std::string& name,
                          const std::string& record = " [--delay] [0] [--stack] [1] [--shot] [1]") {
        return ConverterPath(home.path()) + " [" + home.path() + "/" + data + "|" + folder.path() + "/" + name +
               ".sg2]" + record;
    }
    TempDir home, folder;
    FilesEnv env;
    std::unique_ptr<State> s = smallShot();
    FakePanel panel;
    std::vector<std::string> launched;
};

// An existing file is asked about and kept unless Yes; the save converts
// data_trigger.txt, writes the record file and ends the stacking series.
TEST_F(Saving, TriggerSaveAsksAboutAnExistingFileConvertsAndWritesTheRecordFile) {
    test::WriteFile(folder.path() + "/shot 1.sg2", "old");
    for (Answer a : {Answer::No, Answer::Cancel}) {
        panel.answers = {a};
        s->Stacking = true;
        EXPECT_EQ(TriggerSaveDone(*s, panel, env, folder.path(), "shot 1"), SaveResult::Declined);
        EXPECT_FALSE(s->Stacking);
    }
    EXPECT_EQ(panel.questions.back(), "shot 1 already exists, erase the file ?");
    EXPECT_EQ(test::ReadFile(folder.path() + "/shot 1.sg2"), "old");
    EXPECT_TRUE(!std::filesystem::exists(folder.path() + "/shot 1.txt") && launched.empty());
    panel.answers = {Answer::Yes};
    s->Stacking = s->Stack_series = true;
    std::tie(s->N_pretrigger, s->Record_hits) = std::tuple(2, 3);  // 2 samples at 4000 Hz before the trigger
    EXPECT_EQ(TriggerSaveDone(*s, panel, env, folder.path(), "shot 1"), SaveResult::Saved);
    EXPECT_EQ(launched, std::vector<std::string>{converted("data_trigger.txt", "shot 1",
                                                           " [--delay] [-0.0005] [--stack] [3] [--shot] [1]")});
    EXPECT_EQ(test::ReadFile(folder.path() + "/shot 1.txt"), RecordFileText(*s));
    EXPECT_EQ(panel.messages, std::vector<std::string>{kSg2Created});
    EXPECT_FALSE(s->Stacking || s->Stack_series);
}

TEST_F(Saving, UnsafeNamesAndAMissingConverterAreRefused) {
    for (const char* name : {"../escape", "a/b", "..", "", "   "}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(TriggerSaveDone(*s, panel, env, folder.path(), name), SaveResult::Refused);
        EXPECT_EQ(TimedSaveOk(*s, panel, env, folder.path(), name, {}), SaveResult::Refused);
    }
    EXPECT_TRUE(launched.empty());
    std::filesystem::remove(ConverterPath(home.path()));
    panel.messages.clear();
    EXPECT_EQ(TriggerSaveDone(*s, panel, env, folder.path(), "x"), SaveResult::Failed);
    EXPECT_EQ(panel.messages, std::vector<std::string>{kConverterMissing});
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "/x.txt"));
}

TEST_F(Saving, PassiveAndTimedSavesNeitherTouchTheProjectNorWriteRecords) {
    ASSERT_TRUE(ProjectNameOk(*s, panel, env, "line A"));
    s->Passive_mode = true;
    std::tie(s->N_pretrigger, s->Record_hits) = std::tuple(2, 3);  // a shot's: not a recording's
    EXPECT_EQ(TriggerSaveDone(*s, panel, env, folder.path(), "noise"), SaveResult::Saved);
    EXPECT_TRUE(s->Stacking) << "a passive save leaves the stacking flags";
    s->Passive_mode = false;
    test::WriteFile(folder.path() + "/timed.sg2", "old");
    s->N_samples_cont = 2;
    s->Dati_cont.resize(4, 3);
    EXPECT_EQ(TimedSaveOk(*s, panel, env, folder.path(), "timed", {"1", "2", "3"}), SaveResult::Saved);
    EXPECT_TRUE(panel.questions.empty()) << "the timed save never asks";
    EXPECT_EQ(launched, (std::vector<std::string>{converted("data.txt", "noise"), converted("data.txt", "timed")}));
    EXPECT_EQ(test::ReadFile(ProjectPath(home.path(), "line A")), "");
}

// Without the refraction program a project ends with a word; with it, three saves start it once.
TEST_F(Saving, ProjectsWithoutAndWithVelostrata) {
    ASSERT_TRUE(ProjectNameOk(*s, panel, env, ""));
    EXPECT_TRUE(IsNormalFile(DataFolder(home.path()) + "/.prj"));
    panel.answers = {Answer::No};
    EXPECT_FALSE(BeforeNewProject(*s, panel, env));
    EXPECT_TRUE(s->Refraction_project);
    panel.answers = {Answer::Yes};
    EXPECT_TRUE(BeforeNewProject(*s, panel, env));
    EXPECT_FALSE(s->Refraction_project);
    EXPECT_EQ(panel.messages, std::vector<std::string>{kVelostrataMissing});
    EXPECT_TRUE(BeforeNewProject(*s, panel, env)) << "no project open: nothing asked";

    installExecutable(VelostrataPath(home.path()));
    panel.questions.clear();
    ASSERT_TRUE(ProjectNameOk(*s, panel, env, "line A"));
    panel.answers = {Answer::No, Answer::Yes, Answer::No, Answer::Yes, Answer::Yes};
    for (const char* name : {"s1", "s2", "s3"}) EXPECT_EQ(TriggerSaveDone(*s, panel, env, folder.path(), name), SaveResult::Saved);
    const std::string project = ProjectPath(home.path(), "line A");
    EXPECT_EQ(test::ReadFile(project), folder.path() + "/s1.sg2\r\n" + folder.path() + "/s2.sg2\r\n" + folder.path() +
                                    "/s3.sg2\r\n");
    EXPECT_EQ(panel.questions, (std::vector<std::string>{"End of Refraction Project?", "End of Refraction Project?",
                                                         "Are you sure?", "End of Refraction Project?", "Are you sure?"}));
    ASSERT_EQ(launched.size(), 4u);
    EXPECT_EQ(launched.back(), VelostrataPath(home.path()) + " [" + project + "]");
    EXPECT_FALSE(s->Refraction_project);
}

namespace q24 {
namespace {

// The next name keeps the number's width and may grow it; the proposal
// follows the newest .sg2 of the folder and never names an existing one.
TEST(ProposedNames, NextFreeNameAfterTheNewestSave) {
    for (auto [name, next] : {std::pair{"line3_007", "line3_008"}, {"x999", "x1000"}, {"a09", "a10"},
                              {"shot", "shot1"}, {"99999999999999999999", "100000000000000000000"}})
        EXPECT_EQ(NextName(name), next);
    // The shot number the .sg2 carries is the name's number.
    for (auto [name, shot] : {std::pair{"line3_007", 7LL}, {"shot", 1LL}, {"99999999999999999999", 999999999999999LL}})
        EXPECT_EQ(ShotNumberOf(name), shot) << name;
    TempDir dir;
    EXPECT_EQ(ProposedName(dir.path()), "");  // nothing saved yet: nothing proposed
    EXPECT_EQ(ProposedName(dir.path() + "/missing"), "");
    namespace fs = std::filesystem;
    for (const char* f : {"line3_007.sg2", "line3_008.sg2", "line3_009.sg2", "old_5.sg2", "line3_010.txt"})
        test::WriteFile(dir / f, "x");
    const auto now = fs::last_write_time(dir / "line3_007.sg2");
    for (const char* older : {"line3_008.sg2", "line3_009.sg2", "old_5.sg2"})
        fs::last_write_time(dir / older, now - std::chrono::hours(1));
    EXPECT_EQ(ProposedName(dir.path()), "line3_010");  // after the newest, 007: 008 and 009 exist
}

// --home wins; a writable executable's folder next, unless installed; else
// the XDG data folder, made when missing (a folder without write bits is
// read-only for root too).
TEST(ProgramFolder, GivenThenWritableExecutableFolderThenXdgData) {
    TempDir prefix, user;
    const std::string bin = prefix.path() + "/bin", entry = prefix.path() + "/share/applications/quelda24.desktop";
    const std::string xdg = user.path() + "/xdg data", fallback = user.path() + "/.local/share/quelda24";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(prefix.path() + "/share/applications");
    const FolderEnvironment unset{"", user.path()};
    EXPECT_EQ(ProgramFolder("/given", bin, unset), "/given");
    EXPECT_EQ(ProgramFolder("", bin, unset), bin);
    test::WriteFile(entry, "");
    EXPECT_EQ(ProgramFolder("", bin, unset), fallback);
    std::filesystem::remove(entry);
    ::chmod(bin.c_str(), 0555);
    EXPECT_FALSE(IsWritableFolder(bin));
    EXPECT_EQ(ProgramFolder("/given", bin, unset), "/given");
    for (auto [xdgDataHome, expected] : {std::pair{std::string(), fallback}, {"relative", fallback},
                                        {xdg, xdg + "/quelda24"}})
        for (const std::string& folder : {bin, bin + "/missing", std::string()}) {
            SCOPED_TRACE(xdgDataHome + " | " + folder);
            EXPECT_EQ(ProgramFolder("", folder, {xdgDataHome, user.path()}), expected);
            EXPECT_TRUE(std::filesystem::is_directory(expected));
        }
    ::chmod(bin.c_str(), 0755);
}

}  // namespace
}  // namespace q24
