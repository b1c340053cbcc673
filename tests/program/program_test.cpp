// The program as the window and the command-line tool build it: the start-up
// and the EXIT save on real ini.txt files, the line's start on the emulated
// units, with the test operator standing in for the main window.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "link/Frames.h"
#include "program/Program.h"
#include "state/Config.h"
#include "support/FakePanel.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"
#include "units/EmulatedPort.h"

namespace q24 {
namespace {

std::vector<std::string> iniWith(std::string samples, std::string freq) {
    std::vector<std::string> l = {samples, freq, "24", "1002"};
    for (int i = 1; i <= 240; ++i) l.push_back(std::to_string(i));
    for (const char* v : {"2.5", "-1.5", "0", "3", "0", "500000", "1000000", "1000", "512", "-20"}) l.push_back(v);
    return l;
}

std::string Crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

// The test operator, noting the start-up's forms in their order.
struct Operator : test::FakePanel {
    std::vector<std::string> order;
    void showMainWindow() override { order.push_back("show"); }
    void choosePort() override {
        order.push_back("port");
        throw std::runtime_error("no port dialog");
    }
};

// The program folder `home`, the emulated units as COM3 and COM5; the port
// dialog only when asked for.
struct Start {
    test::TempDir home;
    units::SimulatedLine line{units::UnitsConfig{}};
    Operator panel;
    Program program;
    State* s = &program.state();
    std::vector<std::string> failed;

    explicit Start(const std::optional<std::vector<std::string>>& ini, bool portDialog = false, bool simulate = false)
        : program(panel,
                  Options{.home = home.path(),
                          .ports = {{5, line.port.path()}, {3, line.port.path()}},
                          .simulate = simulate,
                          .noPortDialog = !portDialog},
                  Regional{}, line.port, line) {
        if (ini) test::WriteFile(home / "ini.txt", Crlf(*ini));
    }
    Start& run() {
        failed = program.start();
        return *this;
    }
    // What EXIT does before the program ends.
    std::string exitAndRead() {
        EXPECT_EQ(program.saveConfiguration(), "");
        return test::ReadFile(home / "ini.txt");
    }
};

// Without ini.txt, and with a step that fails (the port dialog), the start
// goes on to its end on the defaults.
TEST(Startup, WithoutIniAndWithAFailingStepTheProgramStartsOnItsDefaults) {
    Start st(std::nullopt, true);
    st.run();
    EXPECT_EQ(st.failed, std::vector<std::string>{"port dialog: no port dialog"});
    EXPECT_EQ(st.panel.order, (std::vector<std::string>{"show", "port"}));
    EXPECT_TRUE(std::filesystem::is_directory(st.home / "Data") && std::filesystem::exists(st.home / "ini.txt"));
    EXPECT_EQ(st.panel.messages.size(), 2u);
    const State& s = *st.s;
    EXPECT_EQ(std::tuple(s.Sampling_freq, s.N_samples, s.N_Geofoni, s.Trigger_unit, s.Running_Fs, s.Running_N, s.N_slow),
              std::tuple(4000, 256, 1, 1, 2000, 256, 128));
    EXPECT_EQ(std::tuple(s.Dist_geofoni, s.Use_timeout, s.Display_mode, s.Manual_trigger), std::tuple(5.0f, true, 1, true));
    EXPECT_EQ(st.panel.text(Ctl::durata) + " " + st.panel.text(Ctl::Label3), "64 msec");
}

// On the emulated units, a program folder without ini.txt gets their spread;
// one with an ini.txt keeps it.
TEST(Startup, SimulatedFirstStartFindsTheEmulatedSpread) {
    Start st(std::nullopt, false, true);
    const State& s = *st.run().s;
    EXPECT_EQ(std::tuple(s.N_Geofoni, s.Sampling_freq, s.N_samples, s.Ch_param[24], s.Baud_rate_high, s.Pos_source,
                         st.panel.messages.size()),
              std::tuple(24, 1000, 1024, 24, 1000000, -2.5f, 0u));
    Start kept(std::vector<std::string>{"256", "4000", "3", "1"}, false, true);
    EXPECT_EQ(kept.run().s->N_Geofoni, 3);
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
        const test::FakePanel& p = st.panel;
        EXPECT_EQ(std::tuple(st.s->N_samples, st.s->Sampling_freq, p.messages.size(), p.enabled.at(Ctl::puls_sample)),
                  std::tuple(wantSamples, wantFreq, 0u, false)) << samples << " " << freq;
    }
}

// A whole file comes back byte for byte; a cut one starts with defaults for
// the rest, and EXIT writes every line.
TEST(Startup, IniRoundTripsThroughStartAndExit) {
    const auto lines = iniWith("8192", "16000");
    EXPECT_EQ(Start(lines).run().exitAndRead(), Crlf(lines));

    auto cut = iniWith("2048", "8000");
    cut.resize(100);
    Start st(cut);
    st.run();
    const State& s = *st.s;
    EXPECT_EQ(std::tuple(s.N_samples, s.Ch_param[96], s.Ch_param[97], s.Dist_geofoni, st.panel.messages.size()),
              std::tuple(2048, 96, 0, 5.0f, 2u));
    const std::string written = st.exitAndRead();
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), kConfigLines);
}

TEST(Startup, StepsRunInOrderAndTheLineStartsAsOneSequence) {
    Start st(iniWith("1024", "4000"));
    st.panel.width = 2500;
    EXPECT_TRUE(st.run().failed.empty());  // --no-port-dialog: no dialog
    EXPECT_EQ(st.panel.order, std::vector<std::string>{"show"});
    // 2500 / (24 + 1); above 96: a trigger unit, not a manual number; the lowest port number given.
    EXPECT_EQ(std::tuple(st.s->Trace_spacing, st.s->Manual_trigger, st.s->Com_port), std::tuple(100, false, 3));

    // The line opened, one parameter command (not the stored sample count and
    // frequency), one reset; then the program is idle.
    st.program.owner().request(Command::Reset, Activity::Resetting,
                               [&]() -> Task<void> { EXPECT_TRUE(co_await st.program.startLine()); });
    st.line.runUntil([&] { return st.program.owner().idle(); });
    const auto& w = st.line.port.written;
    const auto parameters = frames::ParameterCommand(1002, 256, 8000, 0, 0);
    EXPECT_NE(std::search(w.begin(), w.end(), parameters.begin(), parameters.end()), w.end());
    EXPECT_EQ(std::tuple(std::count(w.begin(), w.end(), uint8_t{0xFF}), st.program.link().counters().resets),
              std::tuple(1, 1u));
}

}  // namespace
}  // namespace q24
