#include "program/Startup.h"

#include <exception>
#include <filesystem>

#include "state/Config.h"
#include "state/NumberFormat.h"

namespace q24 {

std::vector<std::string> RunStartup(StartupContext& ctx) {
    State& s = ctx.s;
    Panel& panel = ctx.panel;
    StartupHooks& h = ctx.hooks;
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
    auto hook = [&](const char* name, const std::function<void()>& fn) {
        if (fn) step(name, fn);
    };

    step("Data folder", [&] {
        std::filesystem::create_directories(std::filesystem::path(ctx.programFolder) / "Data");
    });
    step("slow sample count", [&] { s.N_slow = 128; });
    hook("channel dialogs", h.loadChannelDialogs);
    step("configuration", [&] { LoadConfiguration(s, panel, ctx.programFolder); });
    step("stored parameters", [&] { ApplyStoredParameters(s, ctx.params, panel); });
    step("duration unit", [&] { panel.setText(Ctl::Label3, panel.text(Ctl::Label12)); });
    step("geophone spacing", [&] {
        if (s.Dist_geofoni == 0) s.Dist_geofoni = 5.0f;
    });
    hook("show window", h.showMainWindow);
    step("parameters handlers", [&] {
        ctx.params.VScroll2_Change();
        ctx.params.VScroll1_Change();
    });
    // The panel lays itself out with the window (Qt layouts), so step 10 has
    // nothing left to do by hand.
    step("trace count", [&] {
        panel.setValue(Ctl::VScroll1, s.N_Geofoni);
        if (h.traceCountChanged) h.traceCountChanged();
    });
    step("defaults", [&] {
        if (s.Trigger_unit == 0) s.Trigger_unit = 1;
        s.Use_timeout = true;
        s.Trg_mode = 0;
        s.Display_mode = 1;
    });
    step("picture layout", [&] {
        if (h.pictureWidth) {
            const double w = h.pictureWidth();
            s.Trace_spacing = static_cast<int32_t>(RoundHalfEven(w / (s.N_Geofoni + 1)));
        }
        panel.setVisible(Ctl::zero_line, false);
    });
    hook("channel slots", h.refreshChannelSlots);
    hook("channel slot texts", h.fillChannelSlots);
    step("manual trigger", [&] {
        if (s.Trigger_unit < 97) s.Manual_trigger = true;
    });
    hook("port dialog", h.showPortDialog);
    if (h.sendParameters)
        step("parameter command", [&] {
            h.sendParameters(s.Trigger_unit, 256, 8000, 0, s.Trg_mode, s.Trg_opening, s.Passive_mode);
        });
    hook("reset", h.resetUnits);
    return failed;
}

}  // namespace q24
