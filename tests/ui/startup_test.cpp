// The start-up sequence and the EXIT save, on real ini.txt files, with the
// test panel standing in for the main window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <tuple>

#include "acquisition/AcqParameters.h"
#include "state/Config.h"
#include "support/FakePanel.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"
#include "program/Startup.h"

namespace q24 {
namespace {

std::vector<std::string> iniWith(std::string samples, std::string freq) {
    std::vector<std::string> l = {samples, freq, "24", "1002"};
    for (int i = 1; i <= 240; ++i) l.push_back(std::to_string(i));
    for (const char* v : {"2.5", "-1.5", "0", "3", "0", "500000", "1000000", "1000", "512", "-20"}) l.push_back(v);
    return l;
}

struct Start {
    test::TempDir home;
    std::unique_ptr<State> s = std::make_unique<State>();
    test::FakePanel panel;
    AcqParameters params{*s, panel};

    explicit Start(const std::optional<std::vector<std::string>>& ini) {
        if (ini) {
            std::ofstream out(home / "ini.txt", std::ios::binary);
            for (const auto& l : *ini) out << l << "\r\n";
        }
    }
    Start& run(StartupHooks hooks = {}) {
        StartupContext ctx{*s, panel, params, home.path(), std::move(hooks)};
        failed = RunStartup(ctx);
        return *this;
    }
    std::vector<std::string> failed;
    // What EXIT does before the program ends.
    std::string exitAndRead() {
        params.VScroll1_Change();
        EXPECT_EQ(SaveConfiguration(*s, home.path()), "");
        return test::ReadFile((home / "ini.txt").string());
    }
};

TEST(Startup, WithoutIniTheProgramStartsOnItsDefaults) {
    Start st(std::nullopt);
    st.run();
    EXPECT_TRUE(st.failed.empty());
    EXPECT_TRUE(std::filesystem::is_directory(st.home / "Data"));
    EXPECT_TRUE(std::filesystem::exists(st.home / "ini.txt"));
    EXPECT_EQ(st.panel.messages.size(), 2u);
    const State& s = *st.s;
    EXPECT_EQ(std::tuple(s.Sampling_freq, s.N_samples, s.N_Geofoni, s.Trigger_unit, s.Running_Fs, s.Running_N, s.N_slow),
              std::tuple(4000, 256, 1, 1, 2000, 256, 128));
    EXPECT_EQ(std::tuple(s.Dist_geofoni, s.Use_timeout, s.Display_mode, s.Manual_trigger), std::tuple(5.0f, true, 1, true));
    for (auto [ctl, text] : {std::pair{Ctl::Sampling_freq, "4000"}, {Ctl::N_samples, "256"}, {Ctl::durata, "64"},
                             {Ctl::Label12, "msec"}, {Ctl::Label3, "msec"}})
        EXPECT_EQ(st.panel.text(ctl), text);
    EXPECT_EQ(st.panel.values[Ctl::VScroll1], 1);
}

// The program starts at a high rate, with the stored count and rate where the
// bars have them.
TEST(Startup, StoredValuesAreHonouredOnlyWhereTheBarsHaveAPosition) {
    for (auto [samples, freq, wantSamples, wantFreq] :
         {std::tuple{"8192", "2000", 8192, 2000}, {"128", "2000", 256, 2000}, {"32768", "2000", 256, 2000},
          {"1024", "250", 1024, 4000}, {"16384", "32000", 16384, 32000}, {"300", "3000", 256, 32000},
          {"512", "3000", 512, 32000}}) {
        Start st(iniWith(samples, freq));
        st.run();
        EXPECT_EQ(std::tuple(st.s->N_samples, st.s->Sampling_freq), std::tuple(wantSamples, wantFreq))
            << samples << " " << freq;
        EXPECT_TRUE(st.panel.messages.empty());
        EXPECT_FALSE(st.panel.enabled[Ctl::puls_sample]);
    }
}

TEST(Startup, IniRoundTripsByteForByteThroughStartAndExit) {
    const auto lines = iniWith("8192", "16000");
    std::string want;
    for (const auto& l : lines) want += l + "\r\n";
    EXPECT_EQ(Start(lines).run().exitAndRead(), want);
}

TEST(Startup, ACutFileStartsWithDefaultsForTheRestAndExitWritesEveryLine) {
    auto lines = iniWith("2048", "8000");
    lines.resize(100);
    Start st(lines);
    st.run();
    EXPECT_EQ(std::tuple(st.s->N_samples, st.s->Ch_param[96], st.s->Ch_param[97], st.s->Dist_geofoni),
              std::tuple(2048, 96, 0, 5.0f));
    EXPECT_EQ(st.panel.messages.size(), 2u);
    const std::string written = st.exitAndRead();
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), kConfigLines);
}

TEST(Startup, StepsRunInOrderAndAFailingStepNeverStopsTheStart) {
    Start st(iniWith("1024", "4000"));
    std::vector<std::string> order;
    std::vector<int> sent;
    StartupHooks h;
    h.loadChannelDialogs = [&] { order.push_back("channels " + std::to_string(st.s->N_slow)); };
    h.showMainWindow = [&] { order.push_back("show"); };
    h.traceCountChanged = [&] { order.push_back("count"); throw std::runtime_error("no picture"); };
    h.pictureWidth = [&] { return 2500; };
    h.refreshChannelSlots = [&] { order.push_back("slots"); };
    h.fillChannelSlots = [&] { order.push_back("texts"); };
    h.showPortDialog = [&] { order.push_back("port"); throw 1; };
    h.sendParameters = [&](int trigger, int samples, int freq, int pre, int mode, int opening, bool passive) {
        order.push_back("parameters");
        sent = {trigger, samples, freq, pre, mode, opening, passive};
    };
    h.resetUnits = [&] { order.push_back("reset"); };
    EXPECT_EQ(st.run(h).failed.size(), 2u);
    EXPECT_EQ(order, (std::vector<std::string>{"channels 128", "show", "count", "slots", "texts", "port",
                                               "parameters", "reset"}));
    // The stored sample count and frequency are not used for this command.
    EXPECT_EQ(sent, (std::vector<int>{1002, 256, 8000, 0, 0, 0, 0}));
    EXPECT_EQ(st.s->Trace_spacing, 100);  // 2500 / (24 + 1)
    EXPECT_FALSE(st.s->Manual_trigger);   // above 96: a trigger unit, not a manual number
}

}  // namespace
}  // namespace q24
