#include "acquisition/Running.h"

#include <algorithm>
#include <string>

#include "acquisition/Trigger.h"
#include "acquisition/TriggerUnits.h"

namespace q24 {

namespace {

constexpr int kPositions = 96;        // channel positions a spread can have
constexpr int kFastFreqPosition = 5;  // frequency bar position of 2000 Hz

// Marks a tick as under way for as long as it lives.
class Busy {
public:
    explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
    ~Busy() { flag_ = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    bool& flag_;
};

std::string UnitText(int unit) { return "Unit " + std::to_string(unit); }

}  // namespace

RunningMode::RunningMode(State& s, Panel& main, Link& link, AcqParameters& params, const ChannelSlots& slots,
                         Link::Yield yield)
    : s_(s), main_(main), link_(link), params_(params), slots_(slots), yield_(std::move(yield)) {}

void RunningMode::yieldOnce() {
    if (yield_) yield_(-1, link_.now());
}

int32_t RunningMode::samplesPerChannel() const {
    return std::clamp<int32_t>(s_.N_samples, 0, std::min<int32_t>(s_.Dati.cols(), static_cast<int32_t>(s_.Traccia.size())));
}

void RunningMode::puls_running_Click() {
    // A click that arrives while a sweep waits would restart the line under
    // it; running mode is on already.
    if (busy_) return;
    main_.setVisible(Ctl::numero_acquisizione, false);
    if (!ChannelsNumbered(s_)) {
        main_.message("Write channels number!", "");
        return;
    }
    if (!Trigger_unit_ok(s_) && !s_.Manual_trigger) {
        main_.message("Trigger Unit does not exist!", "");
        return;
    }
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
        path_ = Path::Fast;
        main_.setEnabled(Ctl::Timer3, true);  // each tick sends its own parameter command
    } else {
        main_.setText(Ctl::testo, "");
        s_.N_samples = s_.N_slow;
        path_ = Path::Slow;
        main_.setEnabled(Ctl::Timer2, true);
        link_.Send_parameters(s_.Trigger_unit, s_.N_samples, s_.Sampling_freq, 0, s_.Trg_mode, s_.Trg_opening,
                              s_.Passive_mode);
    }
}

void RunningMode::fine_loop() {
    main_.setEnabled(Ctl::Frame2, true);
    s_.Stop_flag = true;
    s_.Stop_req = 1;
    main_.setEnabled(Ctl::uscita, true);
    main_.setEnabled(Ctl::parameters, true);
}

void RunningMode::stopTimer(Ctl timer) {
    main_.setText(Ctl::testo, "");
    main_.setEnabled(timer, false);
    path_ = Path::Stopped;
    link_.Reset_units();
}

bool RunningMode::stale(Ctl timer) {
    // Running mode was ended meanwhile (a block read that saw the stop, another
    // acquisition), and the units were reset then: a tick still on its way
    // only turns its timer off.
    if (path_ != Path::Stopped) return false;
    main_.setEnabled(timer, false);
    return true;
}

void RunningMode::Timer3_Timer() {
    if (busy_) return;  // the previous tick is still waiting
    Busy busy(busy_);
    if (stale(Ctl::Timer3)) return;
    const uint64_t generation = generation_;
    // A stop that came between two ticks: no new recording is started only to
    // be reset at once.
    if (s_.Stop_req == 1) {
        stopTimer(Ctl::Timer3);
        return;
    }
    // The units take Running_N / Running_Fs seconds; the wait is measured with
    // the sampling frequency, as it always was, in single precision.
    const int32_t freq = std::max<int32_t>(s_.Sampling_freq, 1);
    const float limit = static_cast<float>(static_cast<double>(s_.Running_N) / freq) + 0.5f;
    main_.setText(Ctl::testo, "Acquisition...");
    link_.Send_parameters(s_.Trigger_unit, s_.N_samples, s_.Running_Fs, 0, s_.Trg_mode, s_.Trg_opening,
                          s_.Passive_mode);
    for (;;) {
        const int reply = link_.Read_trigger_time(limit);
        yieldOnce();
        if (generation != generation_) return;
        if (s_.Stop_req == 1) break;
        if (reply != 0) {  // the reply, or no reply in time: the channels are read either way
            main_.setText(Ctl::testo, "Data Reception");
            ReceiveRunningData();
            return;
        }
    }
    stopTimer(Ctl::Timer3);
}

void RunningMode::Timer2_Timer() {
    if (busy_) return;
    Busy busy(busy_);
    if (stale(Ctl::Timer2)) return;
    if (s_.Stop_req == 1) {
        main_.setEnabled(Ctl::Timer2, false);
        path_ = Path::Stopped;
        link_.Reset_units();
        return;
    }
    ReceiveRunningData();
}

bool RunningMode::readChannel(int ch, int& unit) {
    if (s_.Sampling_freq < 501) {
        // The units deliver bursts to whichever number the slot's box holds;
        // an empty box asks for unit 0.
        unit = SlotNumber(slots_.text(ch)).value_or(0);
        return link_.Read_burst_running(unit, s_.Stop_flag, s_.Use_timeout) != 0;
    }
    unit = s_.Ch_param[ch];
    return link_.Read_block(unit, s_.N_samples, s_.Stop_flag, s_.Use_timeout) != 0;
}

void RunningMode::ReceiveRunningData() {
    const uint64_t generation = generation_;
    main_.setVisible(Ctl::Unita_errata1, false);
    main_.setVisible(Ctl::Frame_error, false);
    main_.clearPicture();
    const int positions = std::clamp<int>(s_.N_Geofoni, 0, std::min(kPositions, s_.Dati.rows()));
    for (int ch = 1; ch <= positions; ++ch) {
        yieldOnce();
        if (generation != generation_) return;
        if (!s_.Ch_enabled[ch]) continue;
        int unit = 0;
        const bool ok = readChannel(ch, unit);
        if (generation != generation_) return;  // another acquisition took the line meanwhile
        if (ok) {
            const int32_t n = samplesPerChannel();
            std::copy_n(s_.Traccia.begin(), n, s_.Dati.row(ch - 1));
            main_.plotTrace(ch, s_.Display_mode);
            if (channelRead) channelRead(ch, unit, true);
            continue;
        }
        if (channelRead) channelRead(ch, unit, false);
        // A block read that found the stop signal has turned the timers off
        // and reset the units itself (a burst read does not look at it).
        if (s_.Stop_flag && s_.Sampling_freq >= 501) path_ = Path::Stopped;
        if (s_.Stop_req == 1) break;
        if (s_.Link_error && s_.Framing_err) {
            // A unit whose bytes arrive broken would spoil every later sweep:
            // it is taken out of the selection and running mode ends.
            s_.Link_error = false;
            s_.Framing_err = false;
            link_.Reopen_port();
            const std::string name = UnitText(s_.Ch_param[ch]);
            main_.setText(Ctl::Frame_error, name + " Frame Error");
            main_.setVisible(Ctl::Frame_error, true);
            s_.Ch_enabled[ch] = false;
            main_.message(name + " will be deselected");
            s_.Stop_flag = true;
            main_.setEnabled(Ctl::uscita, true);
            s_.Stop_req = 1;
            continue;  // the next block read abandons running mode
        }
        main_.setText(Ctl::Unita_errata1, UnitText(unit) + " not working");
        main_.setVisible(Ctl::Unita_errata1, true);
    }
}

void RunningMode::stopRunningMode() {
    main_.setEnabled(Ctl::Timer2, false);
    main_.setEnabled(Ctl::Timer3, false);
    if (path_ == Path::Stopped && !busy_) return;
    ++generation_;  // a sweep this click interrupted ends when it comes back
    path_ = Path::Stopped;
    fine_loop();
    main_.setText(Ctl::testo, "");
    link_.Reset_units();
}

void RunningMode::puls_sample_Click() {
    if (!openTimedSampling) return;
    stopRunningMode();
    if (s_.Baud_rate_high > 0) link_.Set_baud(s_.Baud_rate_high);
    openTimedSampling();
}

}  // namespace q24
