#pragma once
// The trigger source: the trigger units dialog `TRG_units` without its
// widgets, and the two helpers that name and check the trigger unit.
//
// Trigger_unit holds 999 + k for option k (1..24) of the dialog, or a manual
// trigger number 1..999 chosen on its scroll bar while the "Enable Manual
// Trigger number " box is checked. The older codes 100..123 keep their own
// letters.
#include <string>

#include "state/State.h"

namespace q24 {

// The letter of the trigger unit: for 100..123 the sequence A..W, Z, X; for
// the dialog's 1000..1023 the letter its option shows (A..Z without I and X);
// otherwise the number in decimal digits.
std::string Unit_letter(const State& s);

// Whether the trigger source can be used. A trigger unit (100..123 and
// 1000..1023 alike, three units per twelve channels) needs N_Geofoni to reach
// 12 x (its group + 1); any other number is usable only as a manual trigger
// number (the dialog's manual box checked, which is Manual_trigger).
bool Trigger_unit_ok(const State& s);

class TriggerUnits {
public:
    static constexpr int kOptions = 24;
    static constexpr int kScrollMin = 1, kScrollMax = 999, kScrollDesign = 1;
    static constexpr int kFirstCode = 1000;  // option k gives 999 + k

    explicit TriggerUnits(State& s) : s_(s) {}

    // The letter of option k (1..24): "A".."Z" without "I" and "X".
    static char OptionLetter(int k);
    // "TRIGGER UNIT " followed by the letter.
    static std::string OptionCaption(int k);

    // Load, run each time the dialog opens: the option of Trigger_unit is
    // selected; with a manual trigger the box is checked, the options are
    // disabled and the scroll bar shows Trigger_unit (brought into 1..999).
    void Load();

    void clickOption(int k);                 // Trigger_unit := 999 + k at once
    void manual_trg_Check_Click(bool checked);
    void setScrollValue(int v);              // VScroll1; Label1 shows it
    void Done();                             // DONE: a manual number is taken

    int selectedOption() const { return option_; }  // 0: none
    // The manual box is the program's Manual_trigger: they are set together,
    // and a trigger number stored in ini.txt counts as checked from the start.
    bool manualChecked() const { return s_.Manual_trigger; }
    bool optionsEnabled() const { return !manualChecked(); }  // Frame1
    bool scrollEnabled() const { return manualChecked(); }    // VScroll1, Label1
    int scrollValue() const { return scroll_; }
    std::string Label1() const;

private:
    State& s_;
    int option_ = 0;
    int scroll_ = kScrollDesign;
};

}  // namespace q24
