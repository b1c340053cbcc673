// ini.txt: reading, writing and the start rules, on real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <tuple>

#include "state/AtomicFile.h"
#include "state/Config.h"
#include "state/NumberFormat.h"
#include "state/Regional.h"
#include "support/FakePanel.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

namespace q24 {
namespace {

std::vector<std::string> typicalLines() {
    std::vector<std::string> l = {"8192", "2000", "24", "1005"};
    for (int i = 1; i <= 240; ++i) l.push_back(std::to_string(i * 3 - 100));
    for (const char* v : {"2.5", "-7.25", "3", "5", "-4", "500000", "1000000", "1000", "512", "-120"}) l.push_back(v);
    return l;
}

std::string Text(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string text;
    for (const auto& l : lines) text += l + end;
    return text;
}

std::unique_ptr<State> Read(const std::string& text, std::unique_ptr<State> s = std::make_unique<State>()) {
    std::istringstream in(text);
    ReadConfigItems(*s, in);
    return s;
}

// Every item lands in its place whatever the line end; with CR LF the text
// written back is the same bytes.
TEST(Config, ReadsEveryItemInItsPlaceAndWritesTheSameBytes) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(int(end[0]));
        const auto s = Read(Text(typicalLines(), end));
        EXPECT_EQ(std::tuple(s->N_samples, s->Sampling_freq, s->N_Geofoni, s->Trigger_unit, s->Ch_param[1],
                             s->Ch_param[240], s->Dist_geofoni, s->Pos_source, s->Ini_spare1, s->Finestra_tempo),
                  std::tuple(8192, 2000, 24, 1005, -97, 620, 2.5f, -7.25f, 3, 5));
        EXPECT_EQ(std::tuple(s->Ini_spare2, s->Baud_rate, s->Baud_rate_high, s->Running_Fs, s->Running_N,
                             s->Trg_correction),
                  std::tuple(-4, std::optional(500000.0), 1000000, 1000, 512, -120));
        if (end == std::string("\r\n")) EXPECT_EQ(ConfigText(*s), Text(typicalLines()));
    }
}

TEST(Config, FloatsAndIntegersInFreeFormat) {
    for (auto [v, text] : {std::pair{5.0, "5"}, {2.5, "2.5"}, {-0.0, "0"}, {500000.0, "500000"}, {0.03125, "0.03125"}})
        EXPECT_EQ(FreeFormat(v), text);
    EXPECT_EQ(FreeFormat(0.1f) + FreeFormat(-32768LL), "0.1-32768");
    for (float f : {0.1f, 1e-7f, 3.4e38f, 123456.7f, -0.333333f, 1e-30f})
        EXPECT_EQ(static_cast<float>(ParseNumber(FreeFormat(f)).value()), f) << FreeFormat(f);
}

TEST(Config, BadLinesLeaveOnlyTheirOwnVariableUnchanged) {
    auto before = std::make_unique<State>();
    before->N_samples = 4096, before->Sampling_freq = 8000, before->N_Geofoni = 12;
    before->Ch_param[1] = 77, before->Ch_param[2] = 78, before->Ch_param[3] = 79;
    auto lines = typicalLines();
    lines[0] = "abc";            // not a number
    lines[1] = "99999999999";    // beyond 32 bits
    lines[2] = "40000";          // beyond 16 bits
    lines[4] = std::string("\x01\xff\x00 7", 5);  // binary bytes
    lines[5] = "";               // empty line
    lines[6] = "1e400";          // not finite
    lines[7] = "12.5";           // rounds half to even
    const auto s = Read(Text(lines), std::move(before));
    // Each good line after a bad one still lands in its own place.
    EXPECT_EQ(std::tuple(s->N_samples, s->Sampling_freq, s->N_Geofoni, s->Trigger_unit, s->Trg_correction),
              std::tuple(4096, 8000, 12, 1005, -120));
    EXPECT_EQ(std::tuple(s->Ch_param[1], s->Ch_param[2], s->Ch_param[3], s->Ch_param[4], s->Ch_param[5]),
              std::tuple(77, 78, 79, 12, 5 * 3 - 100));
}

// The start rules repair the essential values; an offered speed is kept
// without a word, any other is replaced with one.
TEST(Config, StartRulesRepairTheEssentialValuesAndUnofferedSpeeds) {
    for (int speed : {0, 125000, 250000, 500000, 1000000, 9600, 250001}) {
        auto s = std::make_unique<State>();
        s->Sampling_freq = 250;
        if (speed) s->Baud_rate = speed, s->Baud_rate_high = speed;
        test::FakePanel panel;
        ApplyStartRules(*s, panel);
        const int kept = speed % 125000 == 0 && speed ? speed : 250000;
        EXPECT_EQ(std::tuple(s->Sampling_freq, s->N_samples, s->N_Geofoni, s->Trigger_unit, s->Running_Fs, s->Running_N,
                             s->Baud_rate, s->Baud_rate_high),
                  std::tuple(4000, 128, 1, 1, 2000, 256, std::optional(double(kept)), kept)) << speed;
        if (kept == speed) EXPECT_TRUE(panel.messages.empty()) << speed;
        else
            EXPECT_EQ(panel.messages, (std::vector<std::string>{"Missing Baud_rate, automatically set to 250000",
                                                                "Missing Baud_rate_high, automatically set to 250000"}));
        EXPECT_EQ(panel.text(Ctl::Label5) + ", " + panel.text(Ctl::Label2), "Running N = 256, Running Fs = 2000");
    }
}

TEST(Config, GarbageIsReadOnlyAsFarAsNeeded) {
    test::TempDir dir;
    std::string junk(10 << 20, 'x');
    for (size_t i = 0; i < junk.size(); i += 4099) junk[i] = '\0';
    test::WriteFile(dir / "ini.txt", "2048\r\n" + junk);
    auto s = std::make_unique<State>();
    test::FakePanel panel;
    LoadConfiguration(*s, panel, dir.path());
    EXPECT_EQ(std::tuple(s->N_samples, s->Sampling_freq), std::tuple(2048, 4000));
}

// A save replaces the file whole; a failed one says why and keeps the old
// file. No temporary file stays behind either way.
TEST(Config, SaveReplacesTheFileWholeOrSaysWhyAndKeepsTheOldOne) {
    test::TempDir dir, folder;
    std::ofstream(dir / "ini.txt") << "old";
    auto s = std::make_unique<State>();
    s->Dist_geofoni = 2.5f;
    ASSERT_EQ(SaveConfiguration(*s, dir.path()), "");
    EXPECT_EQ(test::ReadFile((dir / "ini.txt").string()), ConfigText(*s));
    // The target is a folder that cannot be replaced by a file.
    std::filesystem::create_directory(folder / "ini.txt");
    std::ofstream(folder / "ini.txt" / "keep") << "x";
    EXPECT_TRUE(!SaveConfiguration(*s, folder.path()).empty() && std::filesystem::exists(folder / "ini.txt" / "keep"));
    EXPECT_FALSE(WriteFileAtomically((folder / "no-such-folder" / "ini.txt").string(), "x").empty());
    for (const test::TempDir* d : {&dir, &folder})
        for (auto& e : std::filesystem::directory_iterator(d->path())) EXPECT_EQ(e.path().filename(), "ini.txt");
}

TEST(Regional, CommaLocaleFormatsNumbersDatesAndTimes) {
    const Regional it = Regional::fromLocaleName("it_IT"), us = Regional::fromLocaleName("en_US");
    EXPECT_EQ(std::tuple(it.decimal, it.number(2.5), it.number(-0.125)), std::tuple(',', "2,5", "-0,125"));
    EXPECT_EQ(std::tuple(it.date(2026, 12, 6), it.time(9, 5, 7)), std::tuple("06/12/26", "09:05:07"));
    EXPECT_EQ(std::tuple(us.decimal, us.number(2.5), us.date(2026, 12, 6)), std::tuple('.', "2.5", "12/6/26"));
}

}  // namespace
}  // namespace q24
