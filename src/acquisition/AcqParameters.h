#pragma once
// The acquisition parameters: the scroll bars, options and captions of the
// parameters dialog `Parametri` and their change handlers, without any widget.
// The dialog shows this object; the start-up, EXIT and the acquisitions drive
// it directly. Touching it loads it (runs Form_Load) the way touching a hidden
// dialog's control loads the dialog; Unload forgets the positions, and the
// next touch re-derives them from the program state.
#include <functional>
#include <string>

#include "state/Panel.h"
#include "state/State.h"

namespace q24 {

class AcqParameters {
public:
    // Range and design position of the frequency bar (`VScroll2`), the
    // sample-count bar (`VScroll1`) and the pre-trigger bar (`VScroll3`).
    static constexpr int kFreqMin = 1, kFreqMax = 9, kFreqDesign = 9;
    static constexpr int kSamplesMin = 8, kSamplesMax = 14, kSamplesDesign = 8;
    static constexpr int kPreMin = 0, kPreMax = 4096, kPreDesign = 0;

    AcqParameters(State& s, Panel& main, char decimal = '.');

    // Loaded state: Form_Load has run and the positions are live.
    bool loaded() const { return loaded_; }
    void Unload() { loaded_ = false; }

    int freqPosition();       // VScroll2
    int samplesPosition();    // VScroll1
    int pretriggerPosition(); // VScroll3
    // Moving a bar to a different position runs its change handler; setting
    // the same position runs nothing. Positions are clamped to the bar's range.
    void setFreqPosition(int pos);
    void setSamplesPosition(int pos);
    void setPretriggerPosition(int pos);

    void VScroll1_Change();  // N_samples = 2^position
    void VScroll2_Change();  // Sampling_freq from the frequency table
    // N_pretrigger from the bar, at most N_samples / 2, and the pre-trigger
    // line placed on the main window's picture.
    void VScroll3_Change();
    void pre_camp_Change();
    // The trigger edge options: "Trigger contact closing" (Trg_opening 0) and
    // "Trigger contact opening" (Trg_opening 1).
    void Option1_Click();
    void Option2_Click();

    // Captions and states of the dialog's own controls.
    struct Captions {
        std::string Label3 = "4000";
        std::string Sampling_rate = "250";
        std::string Numero_campioni = " 256";
        std::string Acq_time = "1.024";
        std::string Label4 = "msec";
        std::string pre_camp = " ";
        bool VScroll1_enabled = true;  // also Numero_campioni
        bool Option2 = false;          // selected edge: false = Option1 (closing)
    };
    const Captions& captions() { ensureLoaded(); return cap_; }

    // Told after every handler so an open dialog can refresh itself.
    std::function<void()> changed;

    // Frequency of a bar position for a given high speed; 0 when the speed is
    // none of 250000, 500000 and 1000000 at positions 1 to 3.
    static int FrequencyAt(int pos, int baudRateHigh);
    // The sampling interval in milliseconds as the dialog shows it ("8",
    // "0.25", "0.03125"), with the regional decimal separator; the data file
    // headers read it back the same way.
    static std::string IntervalCaption(int freq, char decimal = '.');
    // Bar positions for stored values, or 0 when the value has no position.
    static int FreqPositionOf(int32_t freq);
    static int SamplesPositionOf(int32_t nSamples);

private:
    void ensureLoaded();
    void Form_Load();
    void showDuration();
    void captionsFromState();
    void setPreCamp(const std::string& caption);
    int16_t cappedPretrigger() const;
    void placeZeroLine(double divisor);
    void notify();

    State& s_;
    Panel& main_;
    char decimal_;
    bool loaded_ = false;
    int freqPos_ = kFreqDesign;
    int samplesPos_ = kSamplesDesign;
    int prePos_ = kPreDesign;
    Captions cap_;
};

// Positions the parameters bars from the stored N_samples and Sampling_freq
// (values with no position leave the bars where the load put them), disables
// "Continuous sampling" for the high rates, then runs the frequency and
// sample-count handlers, which re-derive both variables from the positions.
void ApplyStoredParameters(State& s, AcqParameters& p, Panel& main);

}  // namespace q24
