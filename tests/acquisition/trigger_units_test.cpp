// The trigger source (letters, usability, the trigger units dialog's logic),
// the trigger time correction and the running parameters.
#include <gtest/gtest.h>

#include <memory>

#include "acquisition/RunningParameters.h"
#include "acquisition/TriggerCorrection.h"
#include "acquisition/TriggerUnits.h"
#include "support/FakePanel.h"

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

TEST(TriggerUnitsDialog, OptionCaptionsSkipIAndX) {
    EXPECT_EQ(TriggerUnits::OptionCaption(1), "TRIGGER UNIT A");
    EXPECT_EQ(TriggerUnits::OptionCaption(9), "TRIGGER UNIT J");
    EXPECT_EQ(TriggerUnits::OptionCaption(23), "TRIGGER UNIT Y");
    EXPECT_EQ(TriggerUnits::OptionCaption(24), "TRIGGER UNIT Z");
}

TEST(TriggerUnitsDialog, OptionActsAtOnceAndDoneKeepsIt) {
    auto s = std::make_unique<State>();
    TriggerUnits t(*s);
    t.Load();
    t.clickOption(10);
    EXPECT_EQ(s->Trigger_unit, 1009);
    t.Done();
    EXPECT_EQ(s->Trigger_unit, 1009);
    t.manual_trg_Check_Click(true);
    EXPECT_TRUE(s->Manual_trigger);
    EXPECT_FALSE(t.optionsEnabled());
    t.setScrollValue(42);
    EXPECT_EQ(t.Label1(), "42");
    EXPECT_EQ(s->Trigger_unit, 1009);
    t.Done();
    EXPECT_EQ(s->Trigger_unit, 42);
}

TEST(TriggerUnitsDialog, ManualNumberOpensOnTheScrollBar) {
    auto s = std::make_unique<State>();
    s->Trigger_unit = 7;
    s->Manual_trigger = true;
    TriggerUnits t(*s);
    t.Load();
    EXPECT_TRUE(t.manualChecked());
    EXPECT_EQ(t.scrollValue(), 7);
    EXPECT_EQ(t.Label1(), "7");
    EXPECT_FALSE(t.optionsEnabled());
    EXPECT_TRUE(t.scrollEnabled());
    EXPECT_EQ(t.selectedOption(), 0);
    t.clickOption(3);  // the options are disabled
    EXPECT_EQ(s->Trigger_unit, 7);
}

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

TEST(TriggerUnitsDialog, UncheckingGivesTheOptionsBack) {
    auto s = std::make_unique<State>();
    s->Trigger_unit = 1002;
    TriggerUnits t(*s);
    t.Load();
    EXPECT_EQ(t.selectedOption(), 3);
    t.manual_trg_Check_Click(true);
    t.manual_trg_Check_Click(false);
    EXPECT_TRUE(t.optionsEnabled());
    EXPECT_FALSE(t.scrollEnabled());
    t.Done();
    EXPECT_EQ(s->Trigger_unit, 1002);
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

TEST(TriggerCorrection, SaveRestoreAndExit) {
    auto s = std::make_unique<State>();
    s->Trg_correction = 300;
    TriggerCorrection c(*s);
    c.Load();
    c.setPosition(4000);
    EXPECT_EQ(c.Label2(), "2000");
    EXPECT_EQ(s->Trg_correction, 300);  // Exit would keep it
    c.SaveAndExit();
    EXPECT_EQ(s->Trg_correction, 2000);
    c.setPosition(100);
    c.RestoreFactory();
    EXPECT_EQ(s->Trg_correction, 0);
    EXPECT_EQ(c.position(), 2000);
    EXPECT_EQ(c.Label2(), "0");
}

TEST(RunningParameters, FrequencyAtOnceCountOnSave) {
    auto s = std::make_unique<State>();
    test::FakePanel main;
    s->Running_Fs = 2000;
    s->Running_N = 1024;
    RunningParameters r(*s, main);
    r.Load();
    EXPECT_EQ(r.Label3(), "2000");
    EXPECT_EQ(r.Label4(), "1024");
    EXPECT_EQ(r.frequencyStep(), 4);
    EXPECT_EQ(r.power(), 10);
    r.setFrequencyStep(3);
    EXPECT_EQ(s->Running_Fs, 1000);
    EXPECT_EQ(main.text(Ctl::Label2), "Running Fs = 1000");
    r.setFrequencyStep(8);  // a step with no frequency
    EXPECT_EQ(s->Running_Fs, 1000);
    EXPECT_EQ(r.Label3(), "1000");
    r.setPower(8);
    EXPECT_EQ(r.Label4(), "256");
    EXPECT_EQ(s->Running_N, 1024);
    r.Save();
    EXPECT_EQ(s->Running_N, 256);
    EXPECT_EQ(main.text(Ctl::Label5), "Running N = 256");
}

TEST(RunningParameters, OddStoredValuesKeepTheBars) {
    auto s = std::make_unique<State>();
    test::FakePanel main;
    s->Running_Fs = 3000;
    s->Running_N = 300;
    RunningParameters r(*s, main);
    r.Load();
    EXPECT_EQ(r.frequencyStep(), RunningParameters::kStepDesign);
    EXPECT_EQ(r.power(), RunningParameters::kPowerDesign);
    r.Save();  // the labels still hold the stored values
    EXPECT_EQ(s->Running_Fs, 3000);
    EXPECT_EQ(s->Running_N, 300);
}

}  // namespace
}  // namespace q24
