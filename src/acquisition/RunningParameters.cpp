#include "acquisition/RunningParameters.h"

#include <algorithm>

#include "state/NumberFormat.h"

namespace q24 {

namespace {
constexpr int kFrequencies[] = {250, 500, 1000, 2000, 4000, 8000, 16000};  // steps 1..7

std::optional<int16_t> labelNumber(const std::string& text) {
    const auto v = ParseNumber(text);
    return v ? ToInt16(*v) : std::nullopt;
}
}  // namespace

int RunningParameters::FrequencyOfStep(int step) { return step >= 1 && step <= 7 ? kFrequencies[step - 1] : 0; }

int RunningParameters::StepOf(int freq) {
    for (int step = 1; step <= 7; ++step)
        if (kFrequencies[step - 1] == freq) return step;
    return 0;
}

void ShowRunningValues(const State& s, Panel& main) {
    main.setText(Ctl::Label5, "Running N = " + std::to_string(s.Running_N));
    main.setText(Ctl::Label2, "Running Fs = " + std::to_string(s.Running_Fs));
}

void RunningParameters::Load() {
    label4_ = std::to_string(s_.Running_N);
    label3_ = std::to_string(s_.Running_Fs);
    if (const int step = StepOf(s_.Running_Fs)) step_ = step;
    for (int p = kPowerMin; p <= kPowerMax; ++p)
        if (s_.Running_N == (1 << p)) power_ = p;
}

void RunningParameters::setFrequencyStep(int step) {
    step = std::clamp(step, kStepMin, kStepMax);
    if (step == step_) return;
    step_ = step;
    if (const int f = FrequencyOfStep(step)) {
        s_.Running_Fs = static_cast<int16_t>(f);
        showRunning();
    }
    label3_ = std::to_string(s_.Running_Fs);
}

void RunningParameters::setPower(int power) {
    power = std::clamp(power, kPowerMin, kPowerMax);
    if (power == power_) return;
    power_ = power;
    label4_ = std::to_string(1 << power);
}

void RunningParameters::Save() {
    if (const auto n = labelNumber(label4_)) s_.Running_N = *n;
    if (const auto f = labelNumber(label3_)) s_.Running_Fs = *f;
    showRunning();
}

void RunningParameters::showRunning() { ShowRunningValues(s_, main_); }

}  // namespace q24
