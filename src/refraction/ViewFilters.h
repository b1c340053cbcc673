#pragma once
// What the trace view applies to a copy of each trace before drawing it; the
// recorded samples never change. In order: the mean removed, a zero-phase
// band-pass, AGC, trace normalisation, gain.
#include <vector>

namespace q24::refraction {

struct ViewSettings {
    double lowCut = 0;      // Hz, 0: none
    double highCut = 0;     // Hz, 0: none
    double agcWindow = 0;   // s, 0: no AGC
    bool normalise = true;  // each trace to its largest value
    double gain = 1;
};

std::vector<float> ForView(const std::vector<float>& trace, double interval, const ViewSettings& settings);

// Second-order Butterworth sections run forward and then backward (no phase
// shift); a corner at or above half the sampling frequency is left out.
void ZeroPhaseBandPass(std::vector<double>& x, double interval, double lowCut, double highCut);

}  // namespace q24::refraction
