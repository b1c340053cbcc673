// The start-up sequence and the EXIT save, on real ini.txt files, with the
// test panel standing in for the main window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "acquisition/Parameters.h"
#include "state/Config.h"
#include "support/FakePanel.h"
#include "support/TempDir.h"
#include "ui/Startup.h"

namespace q24 {
namespace {

struct Start {
    test::TempDir home;
    std::unique_ptr<State> s = std::make_unique<State>();
    test::FakePanel panel;
    AcqParameters params{*s, panel};
    std::vector<std::string> calls;
    std::vector<int> sent;

    explicit Start(const std::optional<std::vector<std::string>>& ini) {
        if (ini) {
            std::ofstream out(home / "ini.txt", std::ios::binary);
            for (const auto& l : *ini) out << l << "\r\n";
        }
    }
    std::vector<std::string> run(StartupHooks hooks = {}) {
        StartupContext ctx{*s, panel, params, home.path(), std::move(hooks)};
        return RunStartup(ctx);
    }
    // What EXIT does before the program ends.
    std::string exitAndRead() {
        params.VScroll1_Change();
        EXPECT_EQ(SaveConfiguration(*s, home.path()), "");
        std::ifstream in(home / "ini.txt", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

std::vector<std::string> iniWith(std::string samples, std::string freq) {
    std::vector<std::string> l = {samples, freq, "24", "1002"};
    for (int i = 1; i <= 240; ++i) l.push_back(std::to_string(i));
    for (const char* v : {"2.5", "-1.5", "0", "3", "0", "500000", "1000000", "1000", "512", "-20"}) l.push_back(v);
    return l;
}

TEST(Startup, WithoutIniTheProgramStartsOnItsDefaults) {
    Start st(std::nullopt);
    EXPECT_TRUE(st.run().empty());
    EXPECT_TRUE(std::filesystem::is_directory(st.home / "Data"));
    EXPECT_TRUE(std::filesystem::exists(st.home / "ini.txt"));
    EXPECT_EQ(st.panel.messages.size(), 2u);
    State& s = *st.s;
    EXPECT_EQ(s.Sampling_freq, 4000);
    EXPECT_EQ(s.N_samples, 256);
    EXPECT_EQ(s.N_Geofoni, 1);
    EXPECT_EQ(s.Trigger_unit, 1);
    EXPECT_EQ(s.Running_Fs, 2000);
    EXPECT_EQ(s.Running_N, 256);
    EXPECT_FLOAT_EQ(s.Dist_geofoni, 5.0f);
    EXPECT_EQ(s.N_slow, 128);
    EXPECT_TRUE(s.Use_timeout);
    EXPECT_EQ(s.Display_mode, 1);
    EXPECT_TRUE(s.Manual_trigger);
    EXPECT_EQ(st.panel.text(Ctl::Sampling_freq), "4000");
    EXPECT_EQ(st.panel.text(Ctl::N_samples), "256");
    EXPECT_EQ(st.panel.text(Ctl::durata), "64");
    EXPECT_EQ(st.panel.text(Ctl::Label12), "msec");
    EXPECT_EQ(st.panel.text(Ctl::Label3), "msec");
    EXPECT_EQ(st.panel.values[Ctl::VScroll1], 1);
}

TEST(Startup, StoredValuesAreHonouredOnlyWhereTheBarsHaveAPosition) {
    struct Case {
        const char* samples;
        const char* freq;
        int32_t wantSamples, wantFreq;
    } cases[] = {
        {"8192", "2000", 8192, 2000},   {"128", "2000", 256, 2000},   {"32768", "2000", 256, 2000},
        {"1024", "250", 1024, 4000},    {"16384", "32000", 16384, 32000}, {"300", "3000", 256, 32000},
    };
    for (const Case& c : cases) {
        Start st(iniWith(c.samples, c.freq));
        st.run();
        EXPECT_EQ(st.s->N_samples, c.wantSamples) << c.samples << " " << c.freq;
        EXPECT_EQ(st.s->Sampling_freq, c.wantFreq) << c.samples << " " << c.freq;
        EXPECT_TRUE(st.panel.messages.empty());
    }
}

TEST(Startup, IniRoundTripsByteForByteThroughStartAndExit) {
    const auto lines = iniWith("8192", "16000");
    std::string want;
    for (const auto& l : lines) want += l + "\r\n";
    Start st(lines);
    st.run();
    EXPECT_EQ(st.exitAndRead(), want);
}

TEST(Startup, ACutFileStartsWithDefaultsForTheRestAndExitWritesEveryLine) {
    auto lines = iniWith("2048", "8000");
    lines.resize(100);
    Start st(lines);
    st.run();
    EXPECT_EQ(st.s->N_samples, 2048);
    EXPECT_EQ(st.s->Ch_param[96], 96);
    EXPECT_EQ(st.s->Ch_param[97], 0);
    EXPECT_EQ(st.panel.messages.size(), 2u);
    EXPECT_FLOAT_EQ(st.s->Dist_geofoni, 5.0f);
    const std::string written = st.exitAndRead();
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), kConfigLines);
}

TEST(Startup, StepsRunInOrderAndAFailingStepNeverStopsTheStart) {
    Start st(iniWith("1024", "4000"));
    std::vector<std::string> order;
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
        st.sent = {trigger, samples, freq, pre, mode, opening, passive};
    };
    h.resetUnits = [&] { order.push_back("reset"); };
    const auto failed = st.run(h);
    EXPECT_EQ(order, (std::vector<std::string>{"channels 128", "show", "count", "slots", "texts", "port",
                                               "parameters", "reset"}));
    EXPECT_EQ(failed.size(), 2u);
    // The stored sample count and frequency are not used for this command.
    EXPECT_EQ(st.sent, (std::vector<int>{1002, 256, 8000, 0, 0, 0, 0}));
    EXPECT_EQ(st.s->Trace_spacing, 100);  // 2500 / (24 + 1)
    EXPECT_FALSE(st.s->Manual_trigger);   // above 96: a trigger unit, not a manual number
}

}  // namespace
}  // namespace q24
