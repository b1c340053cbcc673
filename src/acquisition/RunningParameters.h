#pragma once
// The running parameters dialog `Initialisation_Par` without its widgets:
// `VScroll1` steps through the running-mode frequencies (Running_Fs, changed
// at once), `VScroll2` through the powers of two for Running_N (taken on
// SAVE). The main window's "Running Fs = " and "Running N = " lines follow.
#include <string>

#include "state/Panel.h"
#include "state/State.h"

namespace q24 {

class RunningParameters {
public:
    static constexpr int kStepMin = 1, kStepMax = 8, kStepDesign = 4;
    static constexpr int kPowerMin = 7, kPowerMax = 13, kPowerDesign = 8;

    RunningParameters(State& s, Panel& main) : s_(s), main_(main) {}

    // Frequency of a VScroll1 step, 0 for a step with none (8).
    static int FrequencyOfStep(int step);
    // Step of a frequency, 0 when it has none.
    static int StepOf(int freq);

    // Each time the dialog opens: the labels show Running_Fs and Running_N,
    // and the bars stand at their steps where they have one.
    void Load();
    void setFrequencyStep(int step);  // VScroll1 changed
    void setPower(int power);         // VScroll2 changed: Label4 = 2^power
    void Save();                      // SAVE: Running_N and Running_Fs from the labels

    int frequencyStep() const { return step_; }
    int power() const { return power_; }
    const std::string& Label3() const { return label3_; }
    const std::string& Label4() const { return label4_; }

private:
    void showRunning();

    State& s_;
    Panel& main_;
    int step_ = kStepDesign;
    int power_ = kPowerDesign;
    std::string label3_ = "2000";
    std::string label4_ = "256";
};

// The main window's lines "Running N = ..." (Label5) and "Running Fs = ..."
// (Label2).
void ShowRunningValues(const State& s, Panel& main);

}  // namespace q24
