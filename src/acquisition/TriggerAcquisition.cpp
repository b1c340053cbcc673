#include "acquisition/TriggerAcquisition.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "acquisition/TriggerUnits.h"
#include "state/NumberFormat.h"

namespace q24 {

namespace {

constexpr int kProgressMax = 100;          // ProgressBar1 runs 0..100
constexpr double kTriggerReplyLimit = 60;  // seconds for the trigger-time reply
constexpr int kBurstRateLimit = 501;       // below this the units answer bursts

// Menus a shot keeps from being used while it runs: the three the shot has
// always disabled, and those that would send commands on the line, start
// another acquisition or replace Dati under the shot.
constexpr Ctl kShotMenus[] = {Ctl::parameters, Ctl::Stack, Ctl::displ, Ctl::File_load,
                              Ctl::RESETTA, Ctl::codice, Ctl::Acq_pezzi};

// Channel positions the trace array and the channel tables can hold.
int PositionsInUse(const State& s) {
    return std::clamp<int>(s.N_Geofoni, 0, std::min<int>(s.Dati.rows(), static_cast<int>(s.Ch_param.size()) - 1));
}

int SamplesInUse(const State& s) { return std::clamp<int>(s.N_samples, 0, s.Dati.cols()); }

// An added hit into the sum, reversed in polarity on request.
void AddHit(State& s, const TraceArray& hit, bool reversed) {
    const int traces = std::min(PositionsInUse(s), hit.rows());
    const int samples = std::min(SamplesInUse(s), hit.cols());
    for (int t = 0; t < traces; ++t) {
        float* sum = s.Dati.row(t);
        const float* h = hit.row(t);
        for (int k = 0; k < samples; ++k) sum[k] = reversed ? sum[k] - h[k] : sum[k] + h[k];
    }
}

}  // namespace

bool ChannelsNumbered(const State& s) {
    if (s.N_Geofoni < 1) return true;
    const int n = std::min<int>(s.N_Geofoni, static_cast<int>(s.Ch_param.size()) - 1);
    for (int ch = 1; ch <= n; ++ch)
        if (s.Ch_param[static_cast<std::size_t>(ch)] == 0) return false;
    return true;
}

void ClearStack(State& s) {
    const int traces = PositionsInUse(s);
    const int samples = SamplesInUse(s);
    for (int t = 0; t < traces; ++t) std::fill_n(s.Dati.row(t), samples, 0.0f);
}

int16_t TriggerDelay(int16_t trgCorrection) {
    return static_cast<int16_t>(std::max(0, 1500 - static_cast<int>(trgCorrection)));
}

float TriggerOffset(int16_t trgDelay, int32_t samplingFreq) {
    return static_cast<float>(static_cast<double>(trgDelay) * samplingFreq * 1e-6);
}

long long AlignedIndex(float trgOffset, long long k) {
    return static_cast<long long>(RoundHalfEven(static_cast<double>(trgOffset) + static_cast<double>(k)));
}

TriggerAcquisition::TriggerAcquisition(State& s, Panel& panel, Operator& op, Link& link, LineOwner& owner,
                                       AcqParameters& params, ChannelSlots& slots, FilesEnv env)
    : s_(s), panel_(panel), op_(op), link_(link), owner_(owner), params_(params), slots_(slots), env_(std::move(env)) {}

std::string TriggerAcquisition::dataFilePath() const { return env_.home + "/" + kTriggerDataFile; }

void TriggerAcquisition::setPhase(ShotPhase p) {
    phase_ = p;
    // Armed, the shot lets only "Exit from Trigger" in; from the trigger on
    // it lets nothing in.
    if (p == ShotPhase::Armed) owner_.phase(Activity::ShotArmed);
    if (p == ShotPhase::Recording) owner_.phase(Activity::ShotReceiving);
    if (hooks.phaseChanged) hooks.phaseChanged(p);
}

void TriggerAcquisition::setMenusEnabled(bool enabled) {
    for (Ctl c : kShotMenus) panel_.setEnabled(c, enabled);
}

void ChooseStacking(State& s, Panel& main, bool stacking) {
    s.Stacking = stacking;
    const Background b = stacking ? kStackingBackground : kPlainBackground;
    main.setPictureBackground(b.r, b.g, b.b);
}

void TriggerAcquisition::ExitFromTrigger() {
    s_.Stop_req = 1;
    panel_.setVisible(Ctl::Termina_trigger, false);
    link_.waits().wake();
}

std::optional<TriggerAcquisition::ShotEnd> TriggerAcquisition::interrupted() {
    if (link_.cancelled()) return ShotEnd::Cancelled;
    if (s_.Stop_req != 1) return std::nullopt;
    return ShotEnd::Stopped;
}

Task<void> TriggerAcquisition::puls_trigger_Click() {
    // Whatever ends the shot, the panel and menus come back.
    struct Done {
        TriggerAcquisition& t;
        ~Done() {
            t.panel_.setEnabled(Ctl::Frame2, true);
            t.setMenusEnabled(true);
            t.setPhase(ShotPhase::Idle);
        }
    } done{*this};
    // Each Yes to "Keep on Stacking?" runs the next shot of the series.
    while (co_await oneShot()) {
    }
}

Task<bool> TriggerAcquisition::oneShot() {
    if (s_.Stacking && !s_.Stack_series) {
        // A new series: whatever Dati held (a single shot, a loaded file) is
        // no hit of it.
        ClearStack(s_);
        s_.N_stack = 0;
        hits_ = 0;
    }
    s_.Passive_mode = false;
    params_.VScroll1_Change();  // undoes running mode's sample count
    panel_.setVisible(Ctl::zero_line, true);

    if (!Trigger_unit_ok(s_)) {
        last_ = ShotEnd::NotArmed;
        co_await panel_.messageAsync("Trigger Unit does not exist!", std::string());
        if (link_.cancelled()) co_return false;
        co_return co_await endOfSeries();
    }

    panel_.setVisible(Ctl::Unita_errata1, false);
    panel_.setEnabled(Ctl::Frame2, false);
    if (!s_.Stack_series) {
        co_await op_.geometry();
        if (link_.cancelled()) co_return false;  // nothing was sent yet
    }
    panel_.setValue(Ctl::ProgressBar1, 0);
    panel_.setVisible(Ctl::Termina_trigger, true);
    setMenusEnabled(false);

    const bool stacked = s_.Stacking;
    reviewing_ = stacked && s_.Review_hits;
    panel_.setVisible(Ctl::numero_acquisizione, stacked);
    if (stacked) {
        if (!reviewing_) ++s_.N_stack;  // a reviewed hit counts once added
        panel_.setText(Ctl::numero_acquisizione, std::to_string(s_.N_stack));
    }
    if (stacked) last_ = co_await StackShot();
    else last_ = co_await TriggerShot();
    if (last_ == ShotEnd::NotArmed) co_return false;

    const bool stopped = last_ == ShotEnd::Stopped || s_.Stop_req == 1;
    if (!stacked && !stopped && last_ != ShotEnd::Cancelled) {
        panel_.setVisible(Ctl::Termina_trigger, false);
        // A data file that could not be completed is not offered: the
        // converter would turn the previous shot into this one's .sg2.
        if (last_ == ShotEnd::Done) {
            s_.Record_hits = 1;
            co_await op_.saveTrigger();
        }
    }
    // The units were armed: one reset, whatever ended the shot. A reset after
    // a pre-emption clears the cancellation, so it is noted first.
    const bool cancelled = link_.cancelled();
    co_await owner_.reset();
    if (cancelled || (!stacked && stopped)) co_return false;
    if (reviewing_ && last_ == ShotEnd::Done) {
        const bool reviewed = co_await reviewHit();
        if (!reviewed) co_return false;
    }
    co_return co_await endOfSeries();
}

Task<bool> TriggerAcquisition::reviewHit() {
    const HitChoice choice = co_await op_.reviewHit(++hits_, hit_);
    if (link_.cancelled()) co_return false;  // the program ends: nothing more is added
    if (choice != HitChoice::Reject) {
        AddHit(s_, hit_, choice == HitChoice::AddReversed);
        ++s_.N_stack;
        panel_.setText(Ctl::numero_acquisizione, std::to_string(s_.N_stack));
    }
    drawTraces(s_.Display_mode);
    co_return true;
}

Task<bool> TriggerAcquisition::endOfSeries() {
    if (!s_.Stacking) co_return false;  // the save dialog may have ended the series
    s_.Stack_series = true;
    const Answer keepOn = co_await panel_.askAsync(Question::KeepOnStacking, "Keep on Stacking?", Buttons::YesNo);
    if (link_.cancelled()) co_return false;
    if (keepOn == Answer::Yes) co_return true;
    panel_.setVisible(Ctl::Termina_trigger, false);
    if (s_.Review_hits && s_.N_stack == 0) {
        // Every hit was rejected: the series ends as a save would, with the
        // last data file as it was.
        TriggerSaveExit(s_);
        panel_.setPictureBackground(kPlainBackground.r, kPlainBackground.g, kPlainBackground.b);
        co_await panel_.messageAsync(kNoHitAdded);
        co_return false;
    }
    if (std::string err = WriteStackedFile(); !err.empty()) {
        // The sum stays: the series goes on, and the next No writes it again.
        co_await panel_.messageAsync("The stacked record could not be written to " + dataFilePath() + ": " + err +
                                     ". The sum is kept.");
        co_return false;
    }
    s_.Record_hits = s_.N_stack;
    s_.N_stack = 0;
    ClearStack(s_);
    panel_.setPictureBackground(kPlainBackground.r, kPlainBackground.g, kPlainBackground.b);
    co_await op_.saveTrigger();
    co_return false;
}

Task<TriggerAcquisition::ShotEnd> TriggerAcquisition::TriggerShot() {
    DataTextWriter file;
    const std::string path = dataFilePath();
    if (std::string err = file.begin(path, TriggerHeader(s_), env_.regional, hooks.now()); !err.empty()) {
        co_await panel_.messageAsync("The data file " + path + " could not be created: " + err);
        co_return ShotEnd::NotArmed;
    }
    ShotEnd end = co_await armAndRecord(&file);
    if (end == ShotEnd::Done) {
        if (std::string err = file.finish(); !err.empty()) {
            end = ShotEnd::FileLost;
            co_await panel_.messageAsync("The data file " + path + " could not be written: " + err);
        }
    } else {
        // Nothing will be saved from a stopped or cancelled shot: the
        // previous file stays.
        file.abandon();
    }
    panel_.setText(Ctl::testo, "");
    panel_.setVisible(Ctl::Trigger_lbl, false);
    co_return end;
}

Task<TriggerAcquisition::ShotEnd> TriggerAcquisition::StackShot() {
    const ShotEnd end = co_await armAndRecord(nullptr);
    if (end == ShotEnd::Done) panel_.setText(Ctl::testo, "");
    co_return end;
}

Task<TriggerAcquisition::ShotEnd> TriggerAcquisition::armAndRecord(DataTextWriter* file) {
    const bool unstacked = file != nullptr;
    s_.Stop_flag = false;
    link_.ClearBuffers(true);
    s_.Stop_req = 0;
    s_.Trg_mode = 0;
    link_.ClearBuffers(false);

    if (unstacked) {
        panel_.setText(Ctl::Trigger_lbl, "Trigger Unit = " + Unit_letter(s_));
        panel_.setVisible(Ctl::Trigger_lbl, true);
    }
    panel_.setText(Ctl::testo, "Waiting for Trigger...");

    s_.Trg_mode = 1;
    link_.Send_parameters(s_.Trigger_unit, s_.N_samples, s_.Sampling_freq, 0, s_.Trg_mode, s_.Trg_opening,
                          s_.Passive_mode);
    setPhase(ShotPhase::Armed);

    // Only the trigger, a stop or a cancellation ends this wait.
    const int seen = co_await link_.Wait_trigger_byte();
    if (auto end = interrupted(); end || !seen) co_return end.value_or(ShotEnd::Stopped);

    if (unstacked) panel_.setVisible(Ctl::Termina_trigger, false);
    panel_.setText(Ctl::testo, "Acquisition...");
    link_.Send_start();
    setPhase(ShotPhase::Recording);

    // A reply or the time limit both go on; the time limit keeps the trigger
    // time of the previous shot.
    co_await link_.Read_trigger_time(kTriggerReplyLimit);
    if (auto end = interrupted()) co_return *end;

    panel_.setText(Ctl::testo, "Data Reception");
    setPhase(ShotPhase::Receiving);
    co_await panel_.messageAsync("Press to Continue");
    if (link_.cancelled()) co_return ShotEnd::Cancelled;
    link_.Send_trigger_time();
    co_return co_await Collect_channels(s_.Display_mode, file);
}

Task<TriggerAcquisition::ShotEnd> TriggerAcquisition::Collect_channels(int displayMode, DataTextWriter* file) {
    // A hit under review leaves the picture with the sum so far.
    if (!reviewing_) panel_.clearPicture();
    const int positions = PositionsInUse(s_);
    const int samples = SamplesInUse(s_);
    if (reviewing_) hit_.resize(positions, samples);  // a channel that fails adds nothing
    const bool summed = s_.Stacking && !reviewing_;
    const long long received = static_cast<long long>(s_.Traccia.size());
    const bool bursts = s_.Sampling_freq < kBurstRateLimit;
    for (int ch = 1; ch <= positions; ++ch) {
        if (!s_.Ch_enabled[static_cast<std::size_t>(ch)]) continue;
        const int unit = bursts ? UnitOfSlot(s_, slots_, ch) : s_.Ch_param[static_cast<std::size_t>(ch)];
        const int ok = bursts ? co_await link_.Read_burst(unit, s_.Stop_flag, s_.Use_timeout)
                              : co_await link_.Read_block(unit, s_.N_samples, s_.Stop_flag, s_.Use_timeout);
        if (link_.cancelled()) co_return ShotEnd::Cancelled;
        panel_.setValue(Ctl::ProgressBar1,
                        static_cast<int>(RoundHalfEven(static_cast<double>(ch) / positions * kProgressMax)));
        if (!ok) {
            link_.ClearBuffers(false);
            if (link_.lastEnd() == ReadEnd::Stopped) {
                // Not the unit's fault: the shot ends here and resets.
                panel_.setText(Ctl::testo, "");
                co_return ShotEnd::Stopped;
            }
            if (!bursts && link_.lastEnd() == ReadEnd::Timeout) panel_.setText(Ctl::testo, "TIMEOUT");
            panel_.setText(Ctl::Unita_errata1, "Unit " + std::to_string(unit) + " Not Working");
            panel_.setVisible(Ctl::Unita_errata1, true);
            link_.Reopen_port();
            if (s_.Stop_req == 1) co_return ShotEnd::Stopped;  // nothing is redrawn
            continue;                                          // the channel keeps what Dati held
        }
        s_.Trg_delay = TriggerDelay(s_.Trg_correction);
        s_.Trg_offset = TriggerOffset(s_.Trg_delay, s_.Sampling_freq);
        float* row = reviewing_ ? hit_.row(ch - 1) : s_.Dati.row(ch - 1);
        for (int k = 1; k <= samples; ++k) {
            const long long j = AlignedIndex(s_.Trg_offset, k);
            if (j < 0 || j >= received) continue;
            const float v = s_.Traccia[static_cast<std::size_t>(j)];
            if (summed) row[k - 1] += v;
            else row[k - 1] = v;
        }
        if (file && !s_.Stacking)
            file->appendChannel(ChannelLabel(s_.Ch_param[static_cast<std::size_t>(ch)]), row, s_.Dati.cols());
    }
    params_.VScroll3_Change();  // places the pre-trigger line again
    if (!reviewing_) drawTraces(displayMode);
    co_return ShotEnd::Done;
}

void TriggerAcquisition::drawTraces(int displayMode) {
    // The "Message" window paints itself when shown.
    op_.waitMessage(true);
    panel_.clearPicture();
    const int positions = PositionsInUse(s_);
    for (int ch = 1; ch <= positions; ++ch)
        if (s_.Ch_enabled[static_cast<std::size_t>(ch)]) panel_.plotTrace(ch, displayMode);
    op_.waitMessage(false);
}

std::string TriggerAcquisition::WriteStackedFile() {
    return WriteStackedDataText(s_, dataFilePath(), env_.regional, hooks.now());
}

}  // namespace q24
