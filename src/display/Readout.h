#pragma once
// The readouts under the mouse on the trace picture: the trace number in
// `Canale` on a click, the time in `Label1` as the mouse moves.
#include "state/Panel.h"
#include "state/State.h"

namespace q24 {

// The trace whose line-style column holds x: the integer part of
// x / (width / nGeofoni), plus 1. 0 when there are no columns.
int TraceAt(double x, double width, int nGeofoni);

// Mouse down (any button) at x on a picture `width` units wide.
void PictureMouseDown(const State& s, Panel& main, double x, double width);

// Mouse move at height y on a picture `height` units high: the record
// duration of N_samples is shown again (durata, Label12); when it is not
// empty, Label1 gets the time at the mouse's height, measured from the top
// edge, in the duration's unit, formatted "#0.#". `decimal` is the regional
// separator the duration was written with.
void PictureMouseMove(const State& s, Panel& main, double y, double height, char decimal);

}  // namespace q24
