#pragma once
// What the SPECTRUM dialog draws and writes, without a widget: the grid and
// its frequency captions, the curve of an evaluation, the colour of each new
// curve and the cursor's frequency readout. Lengths are in the picture's own
// units (pixels in the dialog); the picture is `width` wide, `height` high.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "analysis/SpectrumTransform.h"
#include "state/Regional.h"

namespace q24 {

// `Label4`: half the sampling frequency followed by "Hz" (4000 Hz gives
// "2000Hz", 125 Hz gives "62.5Hz" with the regional separator).
std::string NyquistCaption(int32_t samplingFreq, const Regional& regional);
// `Label`(4+k), k = 1 ... 9: the frequency of solid grid line k,
// k * Sampling_freq / 20 (4000 Hz gives 200, 400, ... 1800).
std::string GridCaption(int k, int32_t samplingFreq, const Regional& regional);
// x of `Line`k, k = 1 ... 19: solid lines 1 ... 9 at k/10 of the width, dotted
// lines 10 ... 19 half-way between, at (k - 10 + 0.5)/10.
double GridLineX(int k, double width);
// `Label14`: the frequency under the cursor at x, Sampling_freq * 0.5 * x /
// width as a whole number of Hz; empty for 0 Hz.
std::string CursorReadout(int32_t samplingFreq, double x, double width);

struct CurvePoint {
    double x, y;
};

// The curve of the last evaluation of n samples: bins 0 ... SpectrumTopBin(n)
// of Spettro_amp as (k * 2 * width / n, baseline - amp * scale), baseline the
// picture's bottom row (height - 1), the largest of those bins reaching the
// top row. All zeros give a flat line on the bottom row. A bin that is not a
// finite number is drawn at the top.
std::vector<CurvePoint> SpectrumCurve(const std::vector<float>& amp, int n, double width, double height);

// An RGB colour.
struct CurveRgb {
    int r, g, b;
    bool operator==(const CurveRgb&) const = default;
};

// The first six colours of the 16-colour palette: black, blue, green, cyan,
// red, magenta.
const std::vector<CurveRgb>& CurvePalette();

// Picks each new curve's colour from CurvePalette() with equal chance. The
// generator starts from the same state in every run, so a run always goes
// through the same sequence of colours; one object lives as long as the
// program, so reopening the dialog continues the sequence.
class CurveColours {
public:
    CurveRgb next();

private:
    std::mt19937 generator_;  // default start state, never seeded
};

// What outlives one opening of the dialog: the transform's plans and the
// colour sequence.
struct SpectrumSession {
    SpectrumTransform transform;
    CurveColours colours;
};

}  // namespace q24
