#include "display/Readout.h"

#include <algorithm>
#include <cmath>

#include "display/Duration.h"
#include "state/NumberFormat.h"

namespace q24 {

int TraceAt(double x, double width, int nGeofoni) {
    if (nGeofoni <= 0 || !(width > 0)) return 0;
    const double column = width / nGeofoni;
    return static_cast<int>(std::floor(x / column)) + 1;
}

void PictureMouseDown(const State& s, Panel& main, double x, double width) {
    const int t = TraceAt(x, width, s.N_Geofoni);
    if (t == 0) return;
    main.setText(Ctl::Canale, FreeFormat(static_cast<long long>(t)));
}

void PictureMouseMove(const State& s, Panel& main, double y, double height, char decimal) {
    const Duration d = ShowDuration(s.N_samples, s.Sampling_freq, decimal);
    main.setText(Ctl::Label12, d.unit);
    main.setText(Ctl::durata, d.value);
    if (d.value.empty() || !(height > 0)) return;
    // The duration was written with the regional separator; read it back
    // with the same one.
    std::string text = d.value;
    std::replace(text.begin(), text.end(), decimal, '.');
    const auto value = ParseNumber(text);
    if (!value) return;
    main.setText(Ctl::Label1, FormatPattern(*value * y / height, "#0.#", decimal));
}

}  // namespace q24
