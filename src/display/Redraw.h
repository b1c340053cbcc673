#pragma once
// Redrawing all traces, and the five gain buttons that redraw at a new scale.
#include <cstdint>

#include "state/Panel.h"
#include "state/State.h"

namespace q24 {

// Clears the trace picture, then draws traces 1 to N_Geofoni in Display_mode,
// each copied into Traccia first (so Traccia ends holding the last one).
// Never reads past Dati or writes past Traccia.
void RedrawAll(State& s, Panel& main);

// The gain buttons and the Gain each sets (0 = automatic range per trace).
struct GainButton {
    Ctl control;
    int16_t gain;
};
inline constexpr GainButton kGainButtons[] = {
    {Ctl::TrueAmp, 1}, {Ctl::A10, 10}, {Ctl::A100, 100}, {Ctl::A1000, 1000}, {Ctl::Auto_rng, 0},
};

// A gain button clicked: Gain takes its value and every trace is redrawn.
void GainClicked(State& s, Panel& main, int16_t gain);

}  // namespace q24
