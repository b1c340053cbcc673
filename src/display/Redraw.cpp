#include "display/Redraw.h"

#include <algorithm>

namespace q24 {

void RedrawAll(State& s, Panel& main) {
    main.clearPicture();
    const int traces = std::min<int>(s.N_Geofoni, s.Dati.rows());
    const int samples = std::clamp<int>(s.N_samples, 0, std::min<int>(s.Dati.cols(), static_cast<int>(s.Traccia.size())));
    for (int t = 1; t <= traces; ++t) {
        std::copy_n(s.Dati.row(t - 1), samples, s.Traccia.begin());
        main.plotTrace(t, s.Display_mode);
    }
}

void GainClicked(State& s, Panel& main, int16_t gain) {
    s.Gain = gain;
    RedrawAll(s, main);
}

}  // namespace q24
