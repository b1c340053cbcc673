#include "display/TraceCount.h"

#include "state/NumberFormat.h"

namespace q24 {

void TraceCountChanged(State& s, Panel& main, int value, int pictureWidth) {
    if (s.Sampling_freq > 500 || value <= kSlowRatePositions) {
        s.N_Geofoni = static_cast<int16_t>(ClampTraceCount(value, 1));
        main.setText(Ctl::N_Geofoni, FreeFormat(static_cast<long long>(s.N_Geofoni)));
    }
    s.Trace_spacing = static_cast<int32_t>(RoundHalfEven(static_cast<double>(pictureWidth) / (s.N_Geofoni + 1)));
}

}  // namespace q24
