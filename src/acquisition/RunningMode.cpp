#include "acquisition/RunningMode.h"

#include <algorithm>
#include <string>

#include "acquisition/TriggerAcquisition.h"
#include "acquisition/TriggerUnits.h"

namespace q24 {

namespace {

constexpr int kFastFreqPosition = 5;  // frequency bar position of 2000 Hz
constexpr double kFastPause = 0.010, kSlowPause = 0.001;  // between two sweeps

std::string UnitText(int unit) { return "Unit " + std::to_string(unit); }

}  // namespace

RunningMode::RunningMode(State& s, Panel& main, Operator& op, Link& link, LineOwner& owner, AcqParameters& params,
                         const ChannelSlots& slots)
    : s_(s), main_(main), op_(op), link_(link), owner_(owner), params_(params), slots_(slots) {}

int32_t RunningMode::samplesPerChannel() const {
    return std::clamp<int32_t>(s_.N_samples, 0, std::min<int32_t>(s_.Dati.cols(), static_cast<int32_t>(s_.Traccia.size())));
}

// A lost line ends it too: no sweep could read anything any more.
bool RunningMode::ended() const { return s_.Stop_req == 1 || link_.cancelled() || link_.lineLost(); }

void RunningMode::setUp() {
    main_.setVisible(Ctl::Unita_errata1, false);
    s_.Display_mode = 1;
    s_.Stop_flag = false;
    link_.ClearBuffers(true);
    s_.Stop_req = 0;
    s_.Trg_mode = 0;
    main_.setEnabled(Ctl::uscita, false);
    main_.setEnabled(Ctl::parameters, false);
    link_.ClearBuffers(false);

    // The low rates are left for 2000 Hz when the frequency bar is elsewhere;
    // with the bar already there the slow path follows.
    if (s_.Sampling_freq <= 500) params_.setFreqPosition(kFastFreqPosition);

    if (s_.Sampling_freq > 500) {
        s_.N_samples = s_.Running_N;
        path_ = Path::Fast;  // each sweep sends its own parameter command
    } else {
        main_.setText(Ctl::testo, "");
        s_.N_samples = s_.N_slow;
        path_ = Path::Slow;
        link_.Send_parameters(s_.Trigger_unit, s_.N_samples, s_.Sampling_freq, 0, s_.Trg_mode, s_.Trg_opening,
                              s_.Passive_mode);
    }
}

Task<void> RunningMode::run() {
    main_.setVisible(Ctl::numero_acquisizione, false);
    if (!ChannelsNumbered(s_)) {
        co_await main_.messageAsync("Write channels number!", "");
        co_return;
    }
    if (!Trigger_unit_ok(s_) && !s_.Manual_trigger) {
        co_await main_.messageAsync("Trigger Unit does not exist!", "");
        co_return;
    }
    setUp();
    if (noise) noise->restart(s_);
    while (!ended()) {
        if (path_ == Path::Fast) co_await Timer3_Timer();
        else co_await Timer2_Timer();
        if (ended()) break;
        co_await link_.waits().seconds(path_ == Path::Fast ? kFastPause : kSlowPause);
    }
    // Whatever ended running mode, the units may be recording: one reset.
    path_ = Path::Stopped;
    main_.setText(Ctl::testo, "");
    co_await owner_.reset();
    main_.setEnabled(Ctl::Frame2, true);
    main_.setEnabled(Ctl::uscita, true);
    main_.setEnabled(Ctl::parameters, true);
}

void RunningMode::fine_loop() {
    main_.setEnabled(Ctl::Frame2, true);
    s_.Stop_flag = true;
    s_.Stop_req = 1;
    main_.setEnabled(Ctl::uscita, true);
    main_.setEnabled(Ctl::parameters, true);
    link_.waits().wake();  // the wait under way sees the stop now
}

Task<void> RunningMode::Timer3_Timer() {
    // The units take Running_N / Running_Fs seconds; the wait is measured with
    // the sampling frequency, as it always was, in single precision.
    const int32_t freq = std::max<int32_t>(s_.Sampling_freq, 1);
    const float limit = static_cast<float>(static_cast<double>(s_.Running_N) / freq) + 0.5f;
    main_.setText(Ctl::testo, "Acquisition...");
    link_.Send_parameters(s_.Trigger_unit, s_.N_samples, s_.Running_Fs, 0, s_.Trg_mode, s_.Trg_opening,
                          s_.Passive_mode);
    // The reply, or no reply in time: the channels are read either way.
    const int reply = co_await link_.Read_trigger_time(limit);
    if (reply == 0 || ended()) co_return;
    main_.setText(Ctl::testo, "Data Reception");
    co_await ReceiveRunningData();
}

Task<void> RunningMode::Timer2_Timer() { co_await ReceiveRunningData(); }

Task<void> RunningMode::ReceiveRunningData() {
    main_.setVisible(Ctl::Unita_errata1, false);
    main_.setVisible(Ctl::Frame_error, false);
    main_.clearPicture();
    const bool slow = s_.Sampling_freq < 501;
    const int positions = std::min(ClampTraceCount(s_.N_Geofoni), s_.Dati.rows());
    if (noise) noise->sweepStarts(s_);
    for (int ch = 1; ch <= positions && !ended(); ++ch) {
        if (!s_.Ch_enabled[ch]) continue;
        int unit = 0, got = 0;
        if (slow) {
            unit = UnitOfSlot(s_, slots_, ch);
            got = co_await link_.Read_burst_running(unit, s_.Stop_flag, s_.Use_timeout);
        } else {
            unit = s_.Ch_param[ch];
            got = co_await link_.Read_block(unit, s_.N_samples, s_.Stop_flag, s_.Use_timeout);
        }
        // Another acquisition took the line, or the program ends: nothing of
        // this read is kept or shown.
        if (link_.cancelled()) co_return;
        if (got) {
            std::copy_n(s_.Traccia.begin(), samplesPerChannel(), s_.Dati.row(ch - 1));
            main_.plotTrace(ch, s_.Display_mode);
            if (noise) noise->read(ch, unit, s_.Dati.row(ch - 1), samplesPerChannel());
            if (channelRead) channelRead(ch, unit, true);
            continue;
        }
        const ReadEnd end = link_.lastEnd();
        if (end == ReadEnd::Stopped || s_.Stop_req == 1) co_return;
        if (noise) noise->notWorking(ch, unit);
        if (channelRead) channelRead(ch, unit, false);
        if (end == ReadEnd::LineError && s_.Link_error && s_.Framing_err) {
            co_await deselect(ch, unit);
            co_return;
        }
        if (end == ReadEnd::Timeout && !slow) main_.setText(Ctl::testo, "TIMEOUT");
        main_.setText(Ctl::Unita_errata1, UnitText(unit) + " not working");
        main_.setVisible(Ctl::Unita_errata1, true);
    }
}

Task<void> RunningMode::deselect(int ch, int unit) {
    // A unit whose bytes arrive broken would spoil every later sweep: it is
    // taken out of the selection and running mode ends.
    s_.Link_error = false;
    s_.Framing_err = false;
    link_.Reopen_port();
    const std::string name = UnitText(unit);
    main_.setText(Ctl::Frame_error, name + " Frame Error");
    main_.setVisible(Ctl::Frame_error, true);
    s_.Ch_enabled[ch] = false;
    s_.Stop_flag = true;
    s_.Stop_req = 1;
    main_.setEnabled(Ctl::uscita, true);
    co_await main_.messageAsync(name + " will be deselected");
}

Task<void> RunningMode::puls_sample_Click() {
    if (s_.Baud_rate_high > 0) co_await link_.Set_baud(s_.Baud_rate_high);
    if (link_.cancelled()) co_return;  // the program ends: no dialog any more
    co_await op_.timedSampling();
}

}  // namespace q24
