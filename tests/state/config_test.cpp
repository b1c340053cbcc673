// ini.txt: reading, writing and the start rules, on real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "state/AtomicFile.h"
#include "state/Config.h"
#include "state/NumberFormat.h"
#include "state/Regional.h"
#include "support/FakePanel.h"
#include "support/TempDir.h"

namespace q24 {
namespace {

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> typicalLines() {
    std::vector<std::string> l = {"8192", "2000", "24", "1005"};
    for (int i = 1; i <= 240; ++i) l.push_back(std::to_string(i * 3 - 100));
    for (const char* v : {"2.5", "-7.25", "3", "5", "-4", "500000", "1000000", "1000", "512", "-120"}) l.push_back(v);
    return l;
}

std::string join(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string s;
    for (const auto& l : lines) s += l + end;
    return s;
}

TEST(Config, ReadsEveryItemInItsPlaceAndWritesTheSameBytes) {
    auto s = std::make_unique<State>();
    const std::string text = join(typicalLines());
    std::istringstream in(text);
    ReadConfigItems(*s, in);
    EXPECT_EQ(s->N_samples, 8192);
    EXPECT_EQ(s->Sampling_freq, 2000);
    EXPECT_EQ(s->N_Geofoni, 24);
    EXPECT_EQ(s->Trigger_unit, 1005);
    EXPECT_EQ(s->Ch_param[1], -97);
    EXPECT_EQ(s->Ch_param[240], 620);
    EXPECT_FLOAT_EQ(s->Dist_geofoni, 2.5f);
    EXPECT_FLOAT_EQ(s->Pos_source, -7.25f);
    EXPECT_EQ(s->Ini_spare1, 3);
    EXPECT_EQ(s->Finestra_tempo, 5);
    EXPECT_EQ(s->Ini_spare2, -4);
    EXPECT_EQ(s->Baud_rate, 500000.0);
    EXPECT_EQ(s->Baud_rate_high, 1000000);
    EXPECT_EQ(s->Running_Fs, 1000);
    EXPECT_EQ(s->Running_N, 512);
    EXPECT_EQ(s->Trg_correction, -120);
    EXPECT_EQ(ConfigText(*s), text);
}

TEST(Config, FloatsAndIntegersInFreeFormat) {
    EXPECT_EQ(FreeFormat(5.0f), "5");
    EXPECT_EQ(FreeFormat(2.5f), "2.5");
    EXPECT_EQ(FreeFormat(0.1f), "0.1");
    EXPECT_EQ(FreeFormat(-0.0f), "0");
    EXPECT_EQ(FreeFormat(-32768LL), "-32768");
    EXPECT_EQ(FreeFormat(500000.0), "500000");
    EXPECT_EQ(FreeFormat(0.03125), "0.03125");
    for (float f : {0.1f, 1e-7f, 3.4e38f, 123456.7f, -0.333333f, 1e-30f})
        EXPECT_EQ(static_cast<float>(ParseNumber(FreeFormat(f)).value()), f) << FreeFormat(f);
}

TEST(Config, BadLinesLeaveOnlyTheirOwnVariableUnchanged) {
    auto s = std::make_unique<State>();
    s->N_samples = 4096;
    s->Sampling_freq = 8000;
    s->N_Geofoni = 12;
    s->Ch_param[1] = 77;
    s->Ch_param[2] = 78;
    s->Ch_param[3] = 79;
    auto lines = typicalLines();
    lines[0] = "abc";            // not a number
    lines[1] = "99999999999";    // beyond 32 bits
    lines[2] = "40000";          // beyond 16 bits
    lines[4] = std::string("\x01\xff\x00 7", 5);  // binary bytes
    lines[5] = "";               // empty line
    lines[6] = "1e400";          // not finite
    lines[7] = "12.5";           // rounds half to even
    std::istringstream in(join(lines));
    ReadConfigItems(*s, in);
    EXPECT_EQ(s->N_samples, 4096);
    EXPECT_EQ(s->Sampling_freq, 8000);
    EXPECT_EQ(s->N_Geofoni, 12);
    EXPECT_EQ(s->Trigger_unit, 1005);  // the next good line still lands in its own place
    EXPECT_EQ(s->Ch_param[1], 77);
    EXPECT_EQ(s->Ch_param[2], 78);
    EXPECT_EQ(s->Ch_param[3], 79);
    EXPECT_EQ(s->Ch_param[4], 12);
    EXPECT_EQ(s->Ch_param[5], 5 * 3 - 100);
    EXPECT_EQ(s->Trg_correction, -120);
}

TEST(Config, AnyLineEndIsALineEnd) {
    for (const char* end : {"\n", "\r"}) {
        auto s = std::make_unique<State>();
        std::istringstream in(join(typicalLines(), end));
        ReadConfigItems(*s, in);
        EXPECT_EQ(s->N_samples, 8192) << int(end[0]);
        EXPECT_EQ(s->Ch_param[240], 620);
        EXPECT_EQ(s->Trg_correction, -120);
    }
}

TEST(Config, ACutFileKeepsTheLaterValues) {
    auto s = std::make_unique<State>();
    s->Ch_param[97] = 555;
    s->Trg_correction = 33;
    auto lines = typicalLines();
    lines.resize(100);  // items 1..100: up to Ch_param slot 96
    std::istringstream in(join(lines));
    ReadConfigItems(*s, in);
    EXPECT_EQ(s->Ch_param[96], 96 * 3 - 100);
    EXPECT_EQ(s->Ch_param[97], 555);
    EXPECT_EQ(s->Trg_correction, 33);
    EXPECT_FALSE(s->Baud_rate.has_value());
}

TEST(Config, StartRulesRepairTheEssentialValuesInOrder) {
    auto s = std::make_unique<State>();
    s->Sampling_freq = 250;
    test::FakePanel panel;
    ApplyStartRules(*s, panel);
    EXPECT_EQ(s->Sampling_freq, 4000);
    EXPECT_EQ(s->N_samples, 128);
    EXPECT_EQ(s->N_Geofoni, 1);
    EXPECT_EQ(s->Trigger_unit, 1);
    EXPECT_EQ(s->Baud_rate, 250000.0);
    EXPECT_EQ(s->Baud_rate_high, 250000);
    EXPECT_EQ(s->Running_Fs, 2000);
    EXPECT_EQ(s->Running_N, 256);
    EXPECT_EQ(panel.messages, (std::vector<std::string>{"Missing Baud_rate, automatically set to 250000",
                                                        "Missing Baud_rate_high, automatically set to 250000"}));
    EXPECT_EQ(panel.text(Ctl::Label5), "Running N = 256");
    EXPECT_EQ(panel.text(Ctl::Label2), "Running Fs = 2000");
}

TEST(Config, EveryOfferedSpeedIsKeptAtStart) {
    for (int speed : {125000, 250000, 500000, 1000000}) {
        auto s = std::make_unique<State>();
        s->Baud_rate = speed;
        s->Baud_rate_high = speed;
        test::FakePanel panel;
        ApplyStartRules(*s, panel);
        EXPECT_EQ(s->Baud_rate, double(speed));
        EXPECT_EQ(s->Baud_rate_high, speed);
        EXPECT_TRUE(panel.messages.empty()) << speed;
    }
    auto s = std::make_unique<State>();
    s->Baud_rate = 9600;
    s->Baud_rate_high = 250001;
    test::FakePanel panel;
    ApplyStartRules(*s, panel);
    EXPECT_EQ(panel.messages.size(), 2u);
}

TEST(Config, MissingFileIsCreatedEmpty) {
    test::TempDir dir;
    auto s = std::make_unique<State>();
    test::FakePanel panel;
    LoadConfiguration(*s, panel, dir.path());
    EXPECT_TRUE(std::filesystem::exists(dir / "ini.txt"));
    EXPECT_EQ(std::filesystem::file_size(dir / "ini.txt"), 0u);
    EXPECT_EQ(s->File_path, (dir / "ini.txt").string());
    EXPECT_EQ(panel.messages.size(), 2u);
}

TEST(Config, HugeFileOfGarbageReadsOnlyWhatItNeeds) {
    test::TempDir dir;
    {
        std::ofstream out(dir / "ini.txt", std::ios::binary);
        std::string junk(10 << 20, 'x');
        for (size_t i = 0; i < junk.size(); i += 4099) junk[i] = '\0';
        out << "2048\r\n" << junk;
    }
    auto s = std::make_unique<State>();
    test::FakePanel panel;
    LoadConfiguration(*s, panel, dir.path());
    EXPECT_EQ(s->N_samples, 2048);
    EXPECT_EQ(s->Sampling_freq, 4000);
}

TEST(Config, SaveReplacesTheFileWhole) {
    test::TempDir dir;
    std::ofstream(dir / "ini.txt") << "old";
    auto s = std::make_unique<State>();
    s->N_samples = 256;
    s->Dist_geofoni = 2.5f;
    ASSERT_EQ(SaveConfiguration(*s, dir.path()), "");
    const std::string text = readFile(dir / "ini.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kConfigLines);
    EXPECT_EQ(text.substr(0, 5), "256\r\n");
    EXPECT_NE(text.find("\r\n2.5\r\n"), std::string::npos);
    // No temporary file stays behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Config, FailedSaveSaysWhyAndKeepsTheOldFile) {
    test::TempDir dir;
    // The target is a folder that cannot be replaced by a file.
    std::filesystem::create_directory(dir / "ini.txt");
    std::ofstream(dir / "ini.txt" / "keep") << "x";
    auto s = std::make_unique<State>();
    const std::string err = SaveConfiguration(*s, dir.path());
    EXPECT_FALSE(err.empty());
    EXPECT_TRUE(std::filesystem::exists(dir / "ini.txt" / "keep"));
    EXPECT_FALSE(WriteFileAtomically((dir / "no-such-folder" / "ini.txt").string(), "x").empty());
    // Nothing half-written is left beside it.
    for (auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename(), "ini.txt");
}

TEST(Regional, CommaLocaleFormatsNumbersDatesAndTimes) {
    Regional it = Regional::fromLocaleName("it_IT");
    EXPECT_EQ(it.decimal, ',');
    EXPECT_EQ(it.number(2.5), "2,5");
    EXPECT_EQ(it.number(-0.125), "-0,125");
    EXPECT_EQ(it.date(2026, 12, 6), "06/12/26");
    EXPECT_EQ(it.time(9, 5, 7), "09:05:07");
    Regional us = Regional::fromLocaleName("en_US");
    EXPECT_EQ(us.decimal, '.');
    EXPECT_EQ(us.number(2.5), "2.5");
    EXPECT_EQ(us.date(2026, 12, 6), "12/6/26");
}

}  // namespace
}  // namespace q24
