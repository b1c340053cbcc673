#include "acquisition/TriggerUnits.h"

#include <algorithm>

namespace q24 {

namespace {
constexpr char kOldLetters[] = "ABCDEFGHJKLMNOPQRSTUVWZX";  // codes 100..123
constexpr char kOptionLetters[] = "ABCDEFGHJKLMNOPQRSTUVWYZ";  // options 1..24
constexpr int kOldFirst = 100;

// Index 0..23 of a trigger unit code, or -1 for a manual number.
int unitIndex(int code) {
    if (code >= kOldFirst && code < kOldFirst + TriggerUnits::kOptions) return code - kOldFirst;
    if (code >= TriggerUnits::kFirstCode && code < TriggerUnits::kFirstCode + TriggerUnits::kOptions)
        return code - TriggerUnits::kFirstCode;
    return -1;
}
}  // namespace

std::string Unit_letter(const State& s) {
    const int code = s.Trigger_unit;
    if (code >= kOldFirst && code < kOldFirst + TriggerUnits::kOptions) return {kOldLetters[code - kOldFirst]};
    if (unitIndex(code) >= 0) return {TriggerUnits::OptionLetter(code - TriggerUnits::kFirstCode + 1)};
    return std::to_string(code);
}

bool Trigger_unit_ok(const State& s) {
    const int index = unitIndex(s.Trigger_unit);
    if (index < 0) return s.Manual_trigger;
    return s.N_Geofoni >= 12 * (index / 3 + 1);
}

char TriggerUnits::OptionLetter(int k) { return k >= 1 && k <= kOptions ? kOptionLetters[k - 1] : '?'; }

std::string TriggerUnits::OptionCaption(int k) { return std::string("TRIGGER UNIT ") + OptionLetter(k); }

void TriggerUnits::Load() {
    const int k = s_.Trigger_unit - (kFirstCode - 1);
    option_ = k >= 1 && k <= kOptions ? k : 0;
    if (s_.Manual_trigger) setScrollValue(s_.Trigger_unit);
}

void TriggerUnits::clickOption(int k) {
    if (k < 1 || k > kOptions || !optionsEnabled()) return;
    option_ = k;
    s_.Trigger_unit = static_cast<int16_t>(kFirstCode - 1 + k);
}

void TriggerUnits::manual_trg_Check_Click(bool checked) { s_.Manual_trigger = checked; }

void TriggerUnits::setScrollValue(int v) { scroll_ = std::clamp(v, kScrollMin, kScrollMax); }

std::string TriggerUnits::Label1() const { return std::to_string(scroll_); }

void TriggerUnits::Done() {
    if (manualChecked()) s_.Trigger_unit = static_cast<int16_t>(scroll_);
}

}  // namespace q24
