#include "acquisition/TimedMode.h"

#include <algorithm>
#include <new>

#include "files/MiniSeed.h"
#include "link/Frames.h"
#include "state/BusyGuard.h"
#include "state/NumberFormat.h"

namespace q24 {

namespace {
constexpr const char* kTooLong = "Time set is too long !";
}  // namespace

TimedMode::TimedMode(State& s, Panel& main, Operator& op, Link& link, LineOwner& owner, ChannelSlots& slots)
    : s_(s), main_(main), op_(op), link_(link), owner_(owner), slots_(slots) {}

void TimedMode::notify() {
    if (changed) changed();
}

int TimedMode::perBlock() const {
    // 128 from start-up on; a burst never holds more.
    return s_.N_slow >= 1 && s_.N_slow <= frames::kBurstSamples ? s_.N_slow : frames::kBurstSamples;
}

void TimedMode::showMinutes() { c_.Finestra_tempo_acq = std::to_string(s_.Finestra_tempo); }

void TimedMode::setStatus(const std::string& text) {
    c_.Label3 = text;
    c_.Label3_visible = true;
}

void TimedMode::Form_Load() {
    // The buttons keep the minutes within 1..59; a stored value outside that
    // range (a damaged ini.txt) is brought to the nearest end.
    s_.Finestra_tempo = std::clamp<int16_t>(s_.Finestra_tempo, kMinutesMin, kMinutesMax);
    showMinutes();
    c_.Label7 = "Is Latency Time of Port: " + std::to_string(s_.Com_port) + " set to 1 msec ?";
}

void TimedMode::Prepare() {
    Form_Load();
    c_.Start_acq = true;
    c_.Command2 = true;
    // STOP (or the end of running mode) leaves both stop signals up; without
    // time-outs every burst would then be given up at once.
    s_.Stop_req = 0;
    s_.Stop_flag = false;
    c_.ProgressBar1 = 0;
    c_.Label5 = std::to_string(s_.Sampling_freq);
    c_.shown = true;
    aborted_ = abortAsked_ = false;
    notify();
}

void TimedMode::Command5_Click() {
    s_.Finestra_tempo = static_cast<int16_t>(s_.Finestra_tempo + 1);
    if (s_.Finestra_tempo > kMinutesMax || s_.Finestra_tempo < kMinutesMin) s_.Finestra_tempo = kMinutesMin;
    showMinutes();
    notify();
}

void TimedMode::Command6_Click() {
    // N_samples is left alone: the trace display's sample count has nothing
    // to do with the length of a timed recording.
    s_.Finestra_tempo = std::clamp<int16_t>(static_cast<int16_t>(s_.Finestra_tempo - 1), kMinutesMin, kMinutesMax);
    showMinutes();
    notify();
}

Task<void> TimedMode::Start_acq_Click() {
    if (!c_.Start_acq) co_return;  // START is off: a recording, its save or a reset runs
    const BusyGuard counted(sequences_, [this] { notify(); });  // the dialog may go at the end
    c_.Start_acq = false;
    notify();
    s_.Passive_mode = false;
    s_.Acq_seconds = static_cast<int32_t>(s_.Finestra_tempo) * 60;
    s_.N_samples_cont = s_.Sampling_freq * s_.Acq_seconds;
    bool fits = static_cast<int64_t>(s_.N_Geofoni) * s_.N_samples_cont <= kMaxSamples;
    if (fits) {
        // Dati_cont holds what this recording fills: N_Geofoni channels of
        // whole blocks. The last record goes first, so two never share the
        // memory.
        const int32_t blocks = std::max<int32_t>(0, s_.N_samples_cont) / perBlock();
        s_.Dati_cont = TraceArray();
        try {
            s_.Dati_cont.resize(std::max<int>(0, s_.N_Geofoni), blocks * perBlock());
        } catch (const std::bad_alloc&) {
            fits = false;
        }
    }
    if (!fits) {
        co_await main_.messageAsync(kTooLong);
        c_.Start_acq = true;
        notify();
        co_return;
    }
    co_await record();
}

Task<void> TimedMode::record() {
    recording_ = true;
    c_.Command2 = false;
    c_.Command7 = true;
    setStatus("Sampling and Reception...");
    main_.setEnabled(Ctl::parameters, false);
    notify();

    // Each recording's reset leaves the line at the working rate: a second
    // START in the same dialog brings it back to the high rate first.
    if (s_.Baud_rate_high > 0 && link_.pcSpeed() != s_.Baud_rate_high) co_await link_.Set_baud(s_.Baud_rate_high);
    if (!stopped()) co_await TimedSampling();
    recording_ = false;
    if (abortAsked_ && !link_.cancelled()) {
        co_await abortNow();
        co_return;
    }
    if (!link_.cancelled()) {
        notify();
        const SaveResult saved = co_await op_.saveTimed();
        if (aborted_) co_return;  // Abort's OK came while the save dialog was up: it reset
        if (saved == SaveResult::Saved && !link_.cancelled()) {
            SaveDone();
            co_await main_.messageAsync(kSg2Created);
        }
    }
    // The units record until they are reset; a cancelled recording is not
    // saved, but reset all the same, and the dialog goes.
    const bool cancelled = link_.cancelled();
    co_await owner_.reset();
    main_.setEnabled(Ctl::parameters, true);
    c_.Start_acq = true;
    c_.Command2 = true;
    if (cancelled) c_.shown = false;
    notify();
}

Task<void> TimedMode::TimedSampling() {
    s_.Trg_mode = 0;
    link_.ClearBuffers(false);
    s_.Record_start_utc = {UtcMicrosNow()};  // the units sample from this command on
    link_.Send_parameters(s_.Trigger_unit, 1, s_.Sampling_freq, 0, s_.Trg_mode, s_.Trg_opening, s_.Passive_mode);

    const int n = perBlock();
    const int32_t blocks = std::max<int32_t>(0, s_.N_samples_cont) / n;
    const int rows = s_.Dati_cont.rows();
    const bool fits = s_.Dati_cont.cols() >= blocks * n;
    for (int32_t b = 0; b < blocks && fits; ++b) {
        s_.Stop_req = 0;
        bool skipped = false;
        for (int ch = 1; ch <= s_.N_Geofoni; ++ch) {
            if (stopped()) co_return;
            if (!slots_.checked(ch)) continue;
            if (s_.Stop_req == 1) {
                skipped = true;
                break;
            }
            const int unit = UnitOfSlot(s_, slots_, ch);
            const bool ok = co_await link_.Read_burst(unit, s_.Stop_flag, s_.Use_timeout) != 0;
            if (stopped()) co_return;  // what a cancelled read left is not kept
            if (ok) {
                slots_.setCheckCaption(ch, "OK", kSlotGreen);
            } else {
                slots_.setCheckCaption(ch, "ERROR", kSlotRed);
                setStatus("Error on Unit" + std::to_string(unit));
                notify();
            }
            // A failed burst stores what the receive buffer holds, as the
            // units' data would have been.
            if (ch - 1 < rows) std::copy_n(s_.Traccia.data(), n, s_.Dati_cont.row(ch - 1) + static_cast<std::size_t>(b) * n);
            if (burstRead) burstRead(static_cast<int>(b), ch, unit, ok);
        }
        if (skipped) continue;
        const double share = RoundHalfEven(static_cast<double>(kProgressMax) * (b + 1) / blocks);
        c_.ProgressBar1 = std::min(kProgressMax, static_cast<int>(share));
        notify();
    }
    s_.N_samples_cont = n * blocks;

    // Each channel's mean is taken out, summed in double precision so that
    // an hour of large counts keeps its digits.
    s_.Mean_cont.fill(0);
    const int32_t count = std::min(s_.N_samples_cont, s_.Dati_cont.cols());
    for (int r = 0; r < rows && count > 0; ++r) {
        float* row = s_.Dati_cont.row(r);
        double sum = 0;
        for (int32_t k = 0; k < count; ++k) sum += row[k];
        const float mean = static_cast<float>(sum / count);
        if (r < static_cast<int>(s_.Mean_cont.size())) s_.Mean_cont[static_cast<std::size_t>(r)] = mean;
        for (int32_t k = 0; k < count; ++k) row[k] -= mean;
    }
}

void TimedMode::SaveDone() {
    // START and EXIT come back once the recording's reset is done.
    setStatus("FINE");
    c_.Command7 = false;
    notify();
}

Task<void> TimedMode::abortNow() {
    aborted_ = true;
    co_await owner_.reset();
    c_.shown = false;
    notify();
    op_.endProgram();
}

Task<void> TimedMode::Command7_Click() {
    if (!c_.Command7 || aborted_ || abortAsked_) co_return;
    const BusyGuard counted(sequences_, [this] { notify(); });
    const Answer a = co_await main_.askAsync(Question::AbortSection, "Abort section ?", Buttons::OkCancel);
    if (a != Answer::Ok || aborted_ || abortAsked_ || link_.cancelled()) co_return;
    if (recording_) {
        // The recording stops at its next step, then resets and ends.
        abortAsked_ = true;
        s_.Stop_req = 1;
        co_return;
    }
    co_await abortNow();
}

Task<void> TimedMode::Command2_Click() {
    if (!c_.Command2) co_return;  // off during a recording and its save
    const BusyGuard counted(sequences_, [this] { notify(); });
    c_.Start_acq = c_.Command2 = false;
    notify();
    co_await owner_.reset();
    c_.shown = false;
    notify();
}

Task<void> TimedMode::CloseRequested() {
    if (c_.shown) co_await Command2_Click();
}

}  // namespace q24
