#pragma once
// The trace-count bar `VScroll1` of the main window: how many traces are
// recorded and shown.
#include "state/Panel.h"
#include "state/State.h"

namespace q24 {

// The program holds at most 96 channel positions (Dati has rows for 97 traces,
// the channel settings cover 96 slots): the bar's range reaches 500, the trace
// count never goes past this.
inline constexpr int kMaxTraces = 96;

// The bar's change handler: above 500 Hz, or for a value below 25, the value
// becomes N_Geofoni (and its label); at 500 Hz and below at most 24 traces can
// be chosen, so larger values leave both as they were. Then the trace spacing
// follows the picture width.
void TraceCountChanged(State& s, Panel& main, int value, int pictureWidth);

}  // namespace q24
