#pragma once
// The person at the controls, as the program sees them: the panel's texts,
// boxes and picture, and the forms that the start-up and the sequences open.
// The window implements it with dialogs, the command-line tool with text and
// rules set in advance, the tests with a script. Every form is a pure virtual:
// a front end that leaves one out does not compile.
#include "files/Saving.h"
#include "state/Panel.h"
#include "state/State.h"
#include "state/Task.h"

namespace q24 {

// What the operator makes of a hit under review.
enum class HitChoice { Add, AddReversed, Reject };

class Operator : public Panel {
public:
    // Start-up: the main window shown (maximized), nothing on a terminal.
    virtual void showMainWindow() = 0;
    // Start-up: the width of the trace picture in pixels, for the trace spacing.
    virtual int pictureWidth() const = 0;
    // Start-up: the port dialog `Rs232`, modal; its Continue opens the line.
    virtual void choosePort() = 0;

    // Before each shot that does not continue a stacking series: the geometry
    // dialog `geometria`, awaited; Dist_geofoni and Pos_source are current
    // afterwards.
    virtual Task<void> geometry() = 0;
    // After a shot, a stacking series or (with Passive_mode set) a passive
    // recording: the trigger save dialog `Percorsofile_tr`, awaited.
    virtual Task<SaveResult> saveTrigger() = 0;
    // With Review_hits, after each hit of a stacking series: the review
    // dialog `Review_hit` with hit number `hit` (counted from 1, rejected
    // ones too), its traces `traces` (row t-1 of trace t, aligned as the sum
    // in Dati) and the sum so far, awaited. Closing it rejects the hit.
    virtual Task<HitChoice> reviewHit(int hit, const TraceArray& traces) = 0;
    // After a timed recording: the timed save dialog `Percorsofile`, awaited.
    virtual Task<SaveResult> saveTimed() = 0;
    // The "Message" window with "Wait for data display...": shown without
    // blocking (true) while the traces are drawn, hidden afterwards (false).
    virtual void waitMessage(bool shown) = 0;
    // "Continuous sampling" once the line is at the high rate: the timed
    // sampling dialog `acquisizione`, awaited until it has closed.
    virtual Task<void> timedSampling() = 0;
    // PASSIVE SEISMIC: the passive recording dialog `Passive_seismic`,
    // awaited until it has closed.
    virtual Task<void> passiveSeismic() = 0;
    // Timed sampling's Abort, once the units are reset: the program ends.
    virtual void endProgram() = 0;
};

}  // namespace q24
