#include "acquisition/AcqParameters.h"

#include <algorithm>

#include "display/Duration.h"
#include "state/NumberFormat.h"

namespace q24 {

AcqParameters::AcqParameters(State& s, Panel& main, char decimal) : s_(s), main_(main), decimal_(decimal) {}

int AcqParameters::FrequencyAt(int pos, int baudRateHigh) {
    static constexpr int high[] = {1000, 2000, 4000, 8000, 16000, 32000};
    if (pos >= 4 && pos <= 9) return high[pos - 4];
    if (pos < 1 || pos > 3) return 0;
    switch (baudRateHigh) {
        case 250000: return 125;
        case 500000: return pos == 1 ? 125 : 250;
        case 1000000: return pos == 1 ? 125 : pos == 2 ? 250 : 500;
        default: return 0;
    }
}

std::string AcqParameters::IntervalCaption(int freq, char decimal) {
    if (freq <= 0) return {};
    std::string s = FreeFormat(1000.0 / freq);
    for (char& c : s)
        if (c == '.') c = decimal;
    return s;
}

int AcqParameters::FreqPositionOf(int32_t freq) {
    switch (freq) {
        case 125: return 1;
        case 250: return 2;
        case 500: return 3;
        case 1000: return 4;
        case 2000: return 5;
        case 4000: return 6;
        case 8000: return 7;
        case 16000: return 8;
        case 32000: return 9;
        default: return 0;
    }
}

int AcqParameters::SamplesPositionOf(int32_t n) {
    for (int p = kSamplesMin; p <= kSamplesMax; ++p)
        if (n == (1 << p)) return p;
    return 0;
}

void AcqParameters::ensureLoaded() {
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
    }
}

void AcqParameters::Form_Load() {
    // A new dialog starts from its design positions and captions. The bars are
    // placed without running their handlers (which would, at a low rate, put
    // N_slow over a sample count the loader has just set); the captions are
    // taken from the state instead, so they are right even where a position
    // equals its design value (32000 Hz sits at the design position 9, whose
    // design captions say 4000 Hz and 0.25 ms).
    cap_ = Captions{};
    freqPos_ = kFreqDesign;
    samplesPos_ = kSamplesDesign;
    prePos_ = kPreDesign;
    if (int sp = SamplesPositionOf(s_.N_samples)) samplesPos_ = sp;
    if (int fp = FreqPositionOf(s_.Sampling_freq)) freqPos_ = fp;
    captionsFromState();
    cap_.Option2 = s_.Trg_opening != 0;
    // The pre-trigger bar and its caption do run their handlers: the count is
    // capped again for the present sample count and the line is placed.
    setPretriggerPosition(s_.N_pretrigger);
    setPreCamp(FreeFormat(static_cast<long long>(s_.N_pretrigger)));
}

void AcqParameters::captionsFromState() {
    if (s_.Sampling_freq > 0) {
        cap_.Label3 = FreeFormat(static_cast<long long>(s_.Sampling_freq)) + " Hz";
        cap_.Sampling_rate = IntervalCaption(s_.Sampling_freq, decimal_);
        const Duration d = ShowDuration(s_.N_samples, s_.Sampling_freq, decimal_);
        cap_.Acq_time = d.value;
        cap_.Label4 = d.unit;
    }
    if (s_.N_samples > 0) cap_.Numero_campioni = FreeFormat(static_cast<long long>(s_.N_samples));
    cap_.VScroll1_enabled = freqPos_ > 3;
}

void AcqParameters::notify() {
    if (changed) changed();
}

int AcqParameters::freqPosition() { ensureLoaded(); return freqPos_; }
int AcqParameters::samplesPosition() { ensureLoaded(); return samplesPos_; }
int AcqParameters::pretriggerPosition() { ensureLoaded(); return prePos_; }

void AcqParameters::setFreqPosition(int pos) {
    ensureLoaded();
    pos = std::clamp(pos, kFreqMin, kFreqMax);
    if (pos == freqPos_) return;
    freqPos_ = pos;
    VScroll2_Change();
}

void AcqParameters::setSamplesPosition(int pos) {
    ensureLoaded();
    pos = std::clamp(pos, kSamplesMin, kSamplesMax);
    if (pos == samplesPos_) return;
    samplesPos_ = pos;
    VScroll1_Change();
}

void AcqParameters::setPretriggerPosition(int pos) {
    ensureLoaded();
    pos = std::clamp(pos, kPreMin, kPreMax);
    if (pos == prePos_) return;
    prePos_ = pos;
    VScroll3_Change();
}

int16_t AcqParameters::cappedPretrigger() const {
    const double half = s_.N_samples / 2.0;
    if (prePos_ <= half) return static_cast<int16_t>(prePos_);
    // Only sample counts below 8192 cap the bar's 4096; a count from a loaded
    // file may be odd or nonsense, so the half is rounded and kept in range.
    return static_cast<int16_t>(std::clamp(RoundHalfEven(half), 0.0, static_cast<double>(kPreMax)));
}

void AcqParameters::setPreCamp(const std::string& caption) {
    if (caption == cap_.pre_camp) return;
    cap_.pre_camp = caption;
    pre_camp_Change();
}

void AcqParameters::placeZeroLine(double divisor) {
    // Time runs downward in the trace picture: sample k of N stands at k / N
    // of its height.
    if (!(divisor > 0)) divisor = s_.N_samples;
    const double fraction = divisor > 0 ? s_.N_pretrigger / divisor : 0.0;
    main_.setVisible(Ctl::zero_line, true);
    main_.placeZeroLine(fraction);
}

void AcqParameters::VScroll3_Change() {
    ensureLoaded();
    s_.N_pretrigger = cappedPretrigger();
    setPreCamp(FreeFormat(static_cast<long long>(s_.N_pretrigger)));
    // The plotter spreads samples 0 .. N_samples - Trg_offset over the height.
    placeZeroLine(s_.N_samples - static_cast<double>(s_.Trg_offset));
    notify();
}

void AcqParameters::pre_camp_Change() {
    ensureLoaded();
    s_.N_pretrigger = cappedPretrigger();
    setPreCamp(FreeFormat(static_cast<long long>(s_.N_pretrigger)));
    placeZeroLine(s_.N_samples);
    notify();
}

void AcqParameters::Option1_Click() {
    ensureLoaded();
    s_.Trg_opening = 0;
    cap_.Option2 = false;
    notify();
}

void AcqParameters::Option2_Click() {
    ensureLoaded();
    s_.Trg_opening = 1;
    cap_.Option2 = true;
    notify();
}

void AcqParameters::showDuration() {
    Duration d = ShowDuration(s_.N_samples, s_.Sampling_freq, decimal_);
    cap_.Label4 = d.unit;
    cap_.Acq_time = d.value;
    main_.setText(Ctl::Label12, d.unit);
    main_.setText(Ctl::durata, d.value);
}

void AcqParameters::VScroll1_Change() {
    ensureLoaded();
    s_.N_samples = 1 << samplesPos_;
    cap_.Numero_campioni = FreeFormat(static_cast<long long>(s_.N_samples));
    main_.setText(Ctl::N_samples, cap_.Numero_campioni);
    showDuration();
    notify();
}

void AcqParameters::VScroll2_Change() {
    ensureLoaded();
    const int pos = freqPos_;
    if (pos <= 3) {
        if (int f = FrequencyAt(pos, s_.Baud_rate_high)) {
            s_.Sampling_freq = f;
            cap_.Sampling_rate = IntervalCaption(f, decimal_);
        }
        if (s_.N_Geofoni > kSlowRatePositions) {
            s_.N_Geofoni = kSlowRatePositions;
            main_.setText(Ctl::N_Geofoni, std::to_string(kSlowRatePositions));
            main_.setValue(Ctl::VScroll1, kSlowRatePositions);
        }
        cap_.VScroll1_enabled = false;
        s_.N_samples = s_.N_slow;
        cap_.Numero_campioni = FreeFormat(static_cast<long long>(s_.N_samples));
        main_.setText(Ctl::N_samples, cap_.Numero_campioni);
        main_.setEnabled(Ctl::Toolbar2, false);
        main_.setEnabled(Ctl::puls_sample, true);
    } else {
        if (s_.Sampling_freq == 125 || s_.Sampling_freq == 250 || s_.Sampling_freq == 500) s_.N_samples = 256;
        s_.Sampling_freq = FrequencyAt(pos, s_.Baud_rate_high);
        cap_.Sampling_rate = IntervalCaption(s_.Sampling_freq, decimal_);
        cap_.VScroll1_enabled = true;
        main_.setEnabled(Ctl::Toolbar2, true);
        main_.setEnabled(Ctl::puls_sample, false);
    }
    main_.setText(Ctl::Sampling_freq, FreeFormat(static_cast<long long>(s_.Sampling_freq)));
    cap_.Label3 = FreeFormat(static_cast<long long>(s_.Sampling_freq)) + " Hz";
    showDuration();
    notify();
}

void ApplyStoredParameters(State& s, AcqParameters& p, Panel& main) {
    // The first touch loads the dialog, which already positions both bars.
    if (int fp = AcqParameters::FreqPositionOf(s.Sampling_freq); fp >= 4) {
        p.setFreqPosition(fp);
        main.setEnabled(Ctl::puls_sample, false);
    }
    if (int sp = AcqParameters::SamplesPositionOf(s.N_samples)) p.setSamplesPosition(sp);
    p.VScroll2_Change();
    p.VScroll1_Change();
}

}  // namespace q24
