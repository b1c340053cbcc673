#pragma once
// A synthetic refraction shot gather in Dati, for looking at the display and
// measuring it without units: each trace is quiet ambient noise until its
// first break, which comes later the farther the geophone is from the shot,
// then a decaying ringing arrival weaker with distance.
#include "state/State.h"

namespace q24 {

// Fills rows 0 .. traces-1 of Dati, samples 0 .. samples-1 (both kept within
// Dati), at `freq` Hz. `noise` is the ambient noise's standard deviation in
// counts; `seed` makes the noise repeatable.
void FillShotGather(State& s, int traces, int samples, int freq, double noise, unsigned seed = 1);

}  // namespace q24
