#pragma once
// Automatic first-break picking. Each trace offers candidate onsets: the
// strongest rises of the ratio of the energy after and before each sample,
// each refined to the minimum of the Akaike information criterion around it.
// Along each side of the source, nearest trace first, the path through the
// candidates that is strongest, earliest and straightest is taken. Then a pick
// still far from what its neighbours predict is picked again near the
// prediction (a second time in a narrow window), or dropped. Every pick is
// then moved to the start of the first swing of the arrival, neighbouring
// picks are made to agree with the delays between their traces' waveforms,
// and each is drawn part of the way towards the line through its neighbours.
#include <cstdint>
#include <vector>

#include "refraction/Shots.h"

namespace q24::refraction {

struct PickerSettings {
    double window = 0.010;      // s, the energy window after each sample
    double before = 0.010;      // s, and the one before it
    double aicBefore = 0.008;   // s, the AIC window before the energy ratio's onset
    double aicAfter = 0.006;    // s, and after it
    double maxTime = 0.5;       // s after the trigger: no first break is looked for later
    int candidates = 8;         // onsets kept per trace
    double apart = 0.010;       // s, at least this far from each other
    double earlier = 0.005;     // s, no step is predicted more than this before the pick before it
    double smoothness = 0.002;  // s, a step this far from the line through the picks before it costs 1
    double strengthWeight = 1;  // the cost of a candidate per unit of log energy ratio below the strongest
    double clearRise = 2;       // log energy ratio of a clear rise,
    double weakerBy = 2;        // at most this much below the strongest of its trace
    double lateness = 0.02;     // s, a candidate this much after its trace's earliest clear rise costs 1 (0: off)
    double tolerance = 0.006;   // s, a pick further than this from its neighbours' prediction is repicked
    double repickHalf = 0.012;  // s, the window of a repick reaches this far either side of the prediction
    double dropAfter = 0.010;   // s, a repick still this far from the prediction is dropped
    bool consistency = true;    // the pass along the spread
    // s: a pick inconsistent after its repick is picked by the AIC this close
    // to the prediction (0: dropped)
    double narrowHalf = 0.003;
    // The first break: the start of the first swing that reaches this share
    // of the largest swing within `swingWindow` after the AIC minimum (0: the
    // AIC minimum kept), searched from `swingBack` before it.
    double swingShare = 0.05;
    double swingWindow = 0.012;  // s
    double swingBack = 0.002;    // s
    double swingStart = 0.3;     // the swing is traced back while above this share of the threshold
    // Each pick against the delay to its neighbour (nearest first) where the
    // two traces' first cycles correlate best: the weight of a delay at full
    // correlation against a pick's own onset (0: off).
    double alignWeight = 5;
    double alignBefore = 0.002;  // s, the compared window starts this much before the pick
    double alignAfter = 0.008;   // s, and ends this much after it
    double alignLag = 0.004;     // s, the largest delay looked for
    double alignMin = 0.7;       // a correlation below this gives no delay
    // Each pick drawn this share of the way towards the line through its two
    // neighbours on its side, by `smoothCap` at most (0: not at all).
    double smoothWeight = 0.3;
    double smoothCap = 0.002;  // s
};

enum class PickFlag : std::uint8_t {
    Picked,    // picked on its own trace
    Repicked,  // picked again near its neighbours' prediction
    Dead,      // no signal (all zero or constant): no pick
    Clipped,   // samples at full scale: picked, to be checked
    Dropped,   // no onset consistent with the neighbours, or deleted: no pick
    Manual,    // set by hand
};

struct TracePick {
    double time = 0;  // s after the shot (valid unless Dead or Dropped)
    PickFlag flag = PickFlag::Dead;
    bool valid() const { return flag != PickFlag::Dead && flag != PickFlag::Dropped; }
};

// The onset of one trace as a sample number, searched in [from, to); -1 when
// the trace is dead there.
double PickOnset(const std::vector<float>& trace, double interval, const PickerSettings& settings, int from = 0,
                 int to = -1);
// True when the trace holds no signal, or a run of samples at its extreme.
bool IsDead(const std::vector<float>& trace);
bool IsClipped(const std::vector<float>& trace);

// Every trace of a shot picked, then made consistent along the spread.
std::vector<TracePick> PickShot(const Shot& shot, const PickerSettings& settings = {});

}  // namespace q24::refraction
