// The program's start-up, in its fixed order. Every step runs under
// resume-on-error: a step that fails is skipped and the next one runs, so the
// start never stops.
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>

#include "program/Program.h"
#include "state/Config.h"
#include "state/NumberFormat.h"

namespace q24 {

void SimulatedSpread(State& s, int channels) {
    s.N_Geofoni = static_cast<int16_t>(channels);
    for (int ch = 1; ch <= channels; ++ch) s.Ch_param[static_cast<std::size_t>(ch)] = static_cast<int16_t>(ch);
    s.Trigger_unit = 1;
    s.N_samples = 1024;
    s.Sampling_freq = 1000;
    s.Dist_geofoni = 5;
    s.Pos_source = -2.5f;  // the emulated units fire 2.5 m before unit 1
    s.Baud_rate = 1000000;
    s.Baud_rate_high = 1000000;
}

std::vector<std::string> Program::start() {
    State& s = *state_;
    Panel& panel = gated_;
    std::vector<std::string> failed;
    auto step = [&](const char* name, const std::function<void()>& fn) {
        try {
            fn();
        } catch (const std::exception& e) {
            failed.push_back(std::string(name) + ": " + e.what());
        } catch (...) {
            failed.push_back(name);
        }
    };
    step("Data folder", [&] { std::filesystem::create_directories(std::filesystem::path(options_.home) / "Data"); });
    step("slow sample count", [&] { s.N_slow = 128; });
    step("channel settings", [&] { channels_.Load(); });
    step("simulated spread", [&] {
        // A first start on the emulated units works at once: with no ini.txt
        // of its own the program folder gets the spread they answer to.
        if (!options_.simulate || std::filesystem::exists(std::filesystem::path(options_.home) / "ini.txt")) return;
        auto spread = std::make_unique<State>();
        SimulatedSpread(*spread);
        if (std::string err = SaveConfiguration(*spread, options_.home); !err.empty())
            failed.push_back("simulated spread: " + err);
    });
    step("configuration", [&] { LoadConfiguration(s, panel, options_.home); });
    step("stored parameters", [&] { ApplyStoredParameters(s, params_, panel); });
    step("duration unit", [&] { panel.setText(Ctl::Label3, panel.text(Ctl::Label12)); });
    step("geophone spacing", [&] {
        if (s.Dist_geofoni == 0) s.Dist_geofoni = 5.0f;
    });
    step("show window", [&] { op_.showMainWindow(); });
    step("parameters handlers", [&] {
        params_.VScroll2_Change();
        params_.VScroll1_Change();
    });
    // The panel lays itself out with the window (Qt layouts), so there is
    // nothing left to place by hand.
    step("trace count", [&] {
        panel.setValue(Ctl::VScroll1, s.N_Geofoni);
        traceCountChanged(s.N_Geofoni);
    });
    step("defaults", [&] {
        if (s.Trigger_unit == 0) s.Trigger_unit = 1;
        s.Use_timeout = true;
        s.Trg_mode = 0;
        s.Display_mode = 1;
    });
    step("picture layout", [&] {
        const double w = op_.pictureWidth();
        s.Trace_spacing = static_cast<int32_t>(RoundHalfEven(w / (s.N_Geofoni + 1)));
        panel.setVisible(Ctl::zero_line, false);
    });
    step("channel slots", [&] { channels_.RefreshChannelSlots(); });
    step("channel slot texts", [&] {
        channels_.FillSlots();
        channels_.SelectPositionsUpToTraceCount();
    });
    step("manual trigger", [&] {
        if (s.Trigger_unit < 97) s.Manual_trigger = true;
    });
    step("port dialog", [&] {
        if (!options_.noPortDialog) {
            op_.choosePort();
            return;
        }
        // Unattended start: the lowest number given, COM1 otherwise; the
        // start-up's line sequence opens it.
        int n = options_.ports.empty() ? 1 : PortMap::kLast;
        for (const auto& p : options_.ports) n = std::min(n, p.first);
        s.Com_port = static_cast<int16_t>(n);
        openAtStart_ = true;
    });
    return failed;
}

}  // namespace q24
