#pragma once
// The program's start-up, in its fixed order. Every step runs under
// resume-on-error: a step that fails is skipped and the next one runs, so the
// start never stops. Steps that belong to other parts of the program are
// reached through the hooks below; a hook left empty is skipped.
#include <functional>
#include <string>
#include <vector>

#include "acquisition/AcqParameters.h"
#include "state/Panel.h"
#include "state/State.h"

namespace q24 {

struct StartupHooks {
    // Load the channel settings and trigger-unit dialogs hidden and collect the
    // references to their per-slot controls.
    std::function<void()> loadChannelDialogs;
    std::function<void()> showMainWindow;
    // The trace-count bar's change handler, after the bar is set to N_Geofoni.
    std::function<void()> traceCountChanged;
    // Width of the trace picture, for the trace spacing.
    std::function<int()> pictureWidth;
    // Enable the channel settings groups and slots for N_Geofoni.
    std::function<void()> refreshChannelSlots;
    // Put Ch_param slots 1 to 24 into the channel settings text boxes.
    std::function<void()> fillChannelSlots;
    // The port dialog, modal; its Continue opens the port.
    std::function<void()> showPortDialog;
    // One parameter command: trigger unit, samples, frequency, pre-trigger,
    // trigger mode, trigger edge, passive mode.
    std::function<void(int trigger, int samples, int freq, int pretrigger, int trgMode,
                       int trgOpening, bool passive)> sendParameters;
    std::function<void()> resetUnits;
};

struct StartupContext {
    State& s;
    Panel& panel;
    AcqParameters& params;
    std::string programFolder;
    StartupHooks hooks;
};

// Runs steps 1 to 19. Returns the names of the steps that failed (each with its
// reason), for the diagnostics; the start went on past each of them.
std::vector<std::string> RunStartup(StartupContext& ctx);

}  // namespace q24
