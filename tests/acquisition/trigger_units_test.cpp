// The trigger source (letters, usability, the trigger units dialog's logic)
// and the trigger time correction.
#include <gtest/gtest.h>

#include <memory>

#include "acquisition/TriggerCorrection.h"
#include "acquisition/TriggerUnits.h"

namespace q24 {
namespace {

TEST(TriggerUnits, LetterNamesTheTriggerUnit) {
    auto s = std::make_unique<State>();
    for (auto [code, letter] : {std::pair{100, "A"}, {107, "H"}, {108, "J"}, {121, "W"}, {122, "Z"}, {123, "X"},
                                {1000, "A"}, {1005, "F"}, {1008, "J"}, {1009, "K"}, {1022, "Y"}, {1023, "Z"},
                                {7, "7"}, {99, "99"}, {124, "124"}, {999, "999"}, {1024, "1024"}, {-1, "-1"}}) {
        s->Trigger_unit = static_cast<int16_t>(code);
        EXPECT_EQ(Unit_letter(*s), letter) << code;
    }
}

// A unit needs its group of traces, or a manual number.
TEST(TriggerUnits, UsableWithTheUnitsGroupOrAManualNumber) {
    struct {
        int code, traces;
        bool manual, ok;
    } rows[] = {{104, 20, false, false}, {104, 24, false, true}, {100, 12, false, true}, {102, 11, false, false},
                {121, 95, false, false}, {123, 96, false, true},
                {104, 20, true, false},  // a unit is not made usable by the manual box
                {1000, 12, false, true}, {1003, 23, false, false}, {1009, 48, false, true}, {1009, 47, false, false},
                {1023, 96, false, true}, {7, 1, true, true}, {7, 96, false, false}, {500, 0, true, true},
                {1024, 96, false, false}};
    auto s = std::make_unique<State>();
    for (const auto& r : rows) {
        s->Trigger_unit = static_cast<int16_t>(r.code), s->N_Geofoni = static_cast<int16_t>(r.traces);
        s->Manual_trigger = r.manual;
        EXPECT_EQ(Trigger_unit_ok(*s), r.ok) << r.code << " " << r.traces << " " << r.manual;
    }
}

TEST(TriggerUnitsDialog, OutOfRangeNumberIsShownClampedAndKeptUntilDone) {
    auto s = std::make_unique<State>();
    s->Trigger_unit = 1005, s->Manual_trigger = true;
    TriggerUnits t(*s);
    t.Load();
    EXPECT_EQ(std::tuple(t.selectedOption(), t.scrollValue(), s->Trigger_unit), std::tuple(6, 999, 1005));
    t.Done();
    EXPECT_EQ(s->Trigger_unit, 999);
}

// The bar stands at the correction + 2000; nothing changes until the operator acts.
TEST(TriggerCorrection, BarStandsAtCorrectionPlus2000) {
    for (auto [stored, position, shown] :
         {std::tuple{0, 2000, "0"}, {-150, 1850, "-150"}, {2000, 4000, "2000"}, {3000, 4000, "2000"},
          {-32768, 0, "-2000"}}) {
        auto s = std::make_unique<State>();
        s->Trg_correction = static_cast<int16_t>(stored);
        TriggerCorrection c(*s);
        c.Load();
        EXPECT_EQ(std::tuple(c.position(), c.Label2(), s->Trg_correction), std::tuple(position, shown, stored));
    }
}

}  // namespace
}  // namespace q24
