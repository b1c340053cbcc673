#pragma once
// The review of one hit of a stacking series, `Review_hit` ("Review hit N"):
// the hit beside the sum so far, each channel in its own column, and the
// operator's choice: "Add", "Add reversed" or "Reject". Closing it rejects
// the hit. Thin: it only draws and reports the choice.
#include <QDialog>

#include "acquisition/Operator.h"

namespace q24 {

class Review_hit : public QDialog {
    Q_OBJECT
public:
    // Hit number `hit` of the series, its traces `traces` (row t-1 of trace
    // t); the sum so far is in s.Dati, the channels shown those selected.
    Review_hit(const State& s, int hit, const TraceArray& traces, QWidget* parent = nullptr);

    HitChoice choice() const { return choice_; }

private:
    HitChoice choice_ = HitChoice::Reject;
};

}  // namespace q24
