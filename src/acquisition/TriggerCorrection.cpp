#include "acquisition/TriggerCorrection.h"

#include <algorithm>

#include "state/NumberFormat.h"

namespace q24 {

void TriggerCorrection::Load() {
    pos_ = std::clamp(s_.Trg_correction + kZero, kMin, kMax);
    label2_ = std::to_string(pos_ - kZero);
}

void TriggerCorrection::setPosition(int pos) {
    pos_ = std::clamp(pos, kMin, kMax);
    label2_ = std::to_string(pos_ - kZero);
}

void TriggerCorrection::RestoreFactory() {
    setPosition(kZero);
    s_.Trg_correction = 0;
}

void TriggerCorrection::SaveAndExit() {
    if (const auto v = ParseNumber(label2_))
        if (const auto n = ToInt16(*v)) s_.Trg_correction = *n;
}

}  // namespace q24
