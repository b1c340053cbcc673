// The trigger source (letters, usability, the trigger units dialog's logic),
// the trigger time correction and the running parameters.
#include <gtest/gtest.h>

#include <memory>

#include "acquisition/TriggerCorrection.h"
#include "acquisition/TriggerUnits.h"

namespace q24 {
namespace {

struct LetterRow {
    int code;
    const char* letter;
};

class UnitLetter : public ::testing::TestWithParam<LetterRow> {};

TEST_P(UnitLetter, NamesTheTriggerUnit) {
    auto s = std::make_unique<State>();
    s->Trigger_unit = static_cast<int16_t>(GetParam().code);
    EXPECT_EQ(Unit_letter(*s), GetParam().letter);
}

INSTANTIATE_TEST_SUITE_P(TriggerUnits, UnitLetter,
                         ::testing::Values(LetterRow{100, "A"}, LetterRow{107, "H"}, LetterRow{108, "J"},
                                           LetterRow{121, "W"}, LetterRow{122, "Z"}, LetterRow{123, "X"},
                                           LetterRow{1000, "A"}, LetterRow{1005, "F"}, LetterRow{1008, "J"},
                                           LetterRow{1009, "K"}, LetterRow{1022, "Y"}, LetterRow{1023, "Z"},
                                           LetterRow{7, "7"}, LetterRow{99, "99"}, LetterRow{124, "124"},
                                           LetterRow{999, "999"}, LetterRow{1024, "1024"}, LetterRow{-1, "-1"}));

struct OkRow {
    int code, traces;
    bool manual, ok;
};

class UnitOk : public ::testing::TestWithParam<OkRow> {};

TEST_P(UnitOk, NeedsTheUnitsGroupOrAManualNumber) {
    const OkRow r = GetParam();
    auto s = std::make_unique<State>();
    s->Trigger_unit = static_cast<int16_t>(r.code);
    s->N_Geofoni = static_cast<int16_t>(r.traces);
    s->Manual_trigger = r.manual;
    EXPECT_EQ(Trigger_unit_ok(*s), r.ok);
}

INSTANTIATE_TEST_SUITE_P(
    TriggerUnits, UnitOk,
    ::testing::Values(OkRow{104, 20, false, false}, OkRow{104, 24, false, true}, OkRow{100, 12, false, true},
                      OkRow{102, 11, false, false}, OkRow{121, 95, false, false}, OkRow{123, 96, false, true},
                      OkRow{104, 20, true, false},  // a unit is not made usable by the manual box
                      OkRow{1000, 12, false, true}, OkRow{1003, 23, false, false}, OkRow{1009, 48, false, true},
                      OkRow{1009, 47, false, false}, OkRow{1023, 96, false, true}, OkRow{7, 1, true, true},
                      OkRow{7, 96, false, false}, OkRow{500, 0, true, true}, OkRow{1024, 96, false, false}));

TEST(TriggerUnitsDialog, OutOfRangeNumberIsShownClampedAndKeptUntilDone) {
    auto s = std::make_unique<State>();
    s->Trigger_unit = 1005;
    s->Manual_trigger = true;
    TriggerUnits t(*s);
    t.Load();
    EXPECT_EQ(t.selectedOption(), 6);
    EXPECT_EQ(t.scrollValue(), 999);
    EXPECT_EQ(s->Trigger_unit, 1005);
    t.Done();
    EXPECT_EQ(s->Trigger_unit, 999);
}

struct CorrectionRow {
    int stored, position;
    const char* shown;
};

class CorrectionLoad : public ::testing::TestWithParam<CorrectionRow> {};

TEST_P(CorrectionLoad, BarStandsAtCorrectionPlus2000) {
    const CorrectionRow r = GetParam();
    auto s = std::make_unique<State>();
    s->Trg_correction = static_cast<int16_t>(r.stored);
    TriggerCorrection c(*s);
    c.Load();
    EXPECT_EQ(c.position(), r.position);
    EXPECT_EQ(c.Label2(), r.shown);
    EXPECT_EQ(s->Trg_correction, r.stored);  // nothing changes until the operator acts
}

INSTANTIATE_TEST_SUITE_P(TriggerCorrection, CorrectionLoad,
                         ::testing::Values(CorrectionRow{0, 2000, "0"}, CorrectionRow{-150, 1850, "-150"},
                                           CorrectionRow{2000, 4000, "2000"}, CorrectionRow{3000, 4000, "2000"},
                                           CorrectionRow{-32768, 0, "-2000"}));

}  // namespace
}  // namespace q24
