#pragma once
// The trigger event time setup `TRG_correction` without its widgets: the
// scroll bar `VScroll1` (0..4000) stands for a correction of -2000..+2000
// microseconds, shown in `Label2`. A positive correction shortens the delay
// the reception applies (1500 - Trg_correction microseconds) and so moves the
// wave to the right of the trigger event.
#include <string>

#include "state/State.h"

namespace q24 {

class TriggerCorrection {
public:
    static constexpr int kMin = 0, kMax = 4000, kZero = 2000;

    explicit TriggerCorrection(State& s) : s_(s) {}

    // Each time the dialog opens: the bar at Trg_correction + 2000, brought
    // into its range; Label2 shows the correction the bar stands for.
    void Load();
    void setPosition(int pos);  // VScroll1 changed: Label2 = pos - 2000
    void RestoreFactory();      // bar 2000, "0", Trg_correction 0 at once
    void SaveAndExit();         // Trg_correction := the number in Label2

    int position() const { return pos_; }
    const std::string& Label2() const { return label2_; }

private:
    State& s_;
    int pos_ = kZero;
    std::string label2_ = "0";
};

}  // namespace q24
