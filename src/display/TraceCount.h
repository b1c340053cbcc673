#pragma once
// The trace-count bar `VScroll1` of the main window: how many traces are
// recorded and shown.
#include "state/Panel.h"
#include "state/State.h"

namespace q24 {

// The bar's change handler: above 500 Hz, or for a value up to
// kSlowRatePositions, the value becomes N_Geofoni (and its label), kept within
// 1..kTracePositions (the bar's range reaches 500); at 500 Hz and below larger
// values leave both as they were. Then the trace spacing follows the picture
// width.
void TraceCountChanged(State& s, Panel& main, int value, int pictureWidth);

}  // namespace q24
