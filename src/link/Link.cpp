#include "link/Link.h"

#include <algorithm>
#include <cmath>

#include "link/Frames.h"
#include "link/Timing.h"
#include "state/NumberFormat.h"

namespace q24 {

namespace {

constexpr std::size_t kTraceLength = 20001;  // Traccia(0 .. 20000)
constexpr int kRawLimit = 10001;             // a reply the readers decode: Raw(0 .. 10000)

// Menus a reset keeps from being used while it runs.
constexpr Ctl kResetMenus[] = {Ctl::codice, Ctl::sss, Ctl::parameters, Ctl::File_load,
                               Ctl::RESETTA, Ctl::Stack, Ctl::Acq_pezzi};

}  // namespace

Link::Link(State& s, Panel& panel, Port& port, PortMap& ports, Clock clock, Yield yield)
    : s_(s), panel_(panel), port_(port), ports_(ports), clock_(std::move(clock)), yield_(std::move(yield)) {
    // The units put 128 samples in a burst; a state that never set the count
    // would otherwise wait for an empty burst and divide by zero.
    if (s_.Burst_N <= 0) s_.Burst_N = frames::kBurstSamples;
}

int32_t Link::WorkingBaud() const {
    const double b = s_.Baud_rate.value_or(250000.0);
    if (!std::isfinite(b) || b < 1 || b > 4000000) return 250000;
    return static_cast<int32_t>(RoundHalfEven(b));
}

void Link::showSpeed(int32_t rate) { panel_.setText(Ctl::Baudrate_lbl, "Br= " + std::to_string(rate)); }

bool Link::portUsable() { return port_.isOpen(); }

// ---------------------------------------------------------------- port, speed

void Link::Send_bytes(std::span<const uint8_t> bytes) {
    if (!portUsable()) return;
    if (port_.write(bytes)) {
        counters_.bytesOut += bytes.size();
        ++counters_.commands;
    }
}

int Link::Set_pc_baud(int32_t rate) {
    if (!portUsable()) return 0;
    // Bytes still leaving at the old speed would be cut short and garbled.
    port_.drain();
    const bool ok = port_.setSpeed(rate);
    if (ok) pcBaud_ = rate;
    return ok ? 1 : 0;
}

void Link::waitSeconds(double seconds) {
    const double limit = timing::WholeSecondStart(clock_()) + seconds;
    while (clock_() < limit) yield_(-1, limit);
}

int Link::Open_port() {
    const int n = s_.Com_port;
    const std::string path = ports_.path(n);
    if (path.empty()) {
        panel_.message("COM" + std::to_string(n) + " has no serial device.");
        return 0;
    }
    std::string error;
    if (!port_.open(path, error)) {
        panel_.message("COM" + std::to_string(n) + " (" + path + ") could not be opened: " + error);
        return 0;
    }
    openNumber_ = n;
    lostShown_ = false;
    const int ok = Set_pc_baud(250000);
    showSpeed(250000);
    if (!ok) panel_.message("This baude rate is Impossible ");
    Set_baud(WorkingBaud());
    return 1;
}

void Link::Reopen_port() {
    s_.Port_probe = static_cast<int16_t>(openNumber_);
    const int32_t speed = pcBaud_;
    port_.close();
    const std::string path = ports_.path(s_.Com_port);
    std::string error;
    if (path.empty() || !port_.open(path, error)) {
        panel_.setText(Ctl::testo, "COM" + std::to_string(s_.Com_port) + " (" + path + ") lost: " + error);
        return;
    }
    openNumber_ = s_.Com_port;
    lostShown_ = false;
    port_.discardInput();
    (void)port_.takeAll();
    // The units are still at the speed the PC last set; going anywhere else
    // would leave every later read garbled.
    port_.setSpeed(speed);
}

void Link::Set_baud(int32_t rate) {
    const frames::Command c = frames::SpeedCommand(rate);
    Send_bytes(c);
    waitSeconds(timing::kSpeedSettle);
    Set_pc_baud(rate);
    showSpeed(rate);
}

void Link::Reset_units() {
    if (resetting_) return;  // one reset at a time: a click during its waits is refused
    resetting_ = true;
    panel_.setText(Ctl::testo, "R E S E T .....");
    panel_.setVisible(Ctl::testo, true);
    for (Ctl c : kResetMenus) panel_.setEnabled(c, false);
    panel_.setEnabled(Ctl::Toolbar2, false);
    waitSeconds(timing::kResetLead);
    const uint8_t reset = frames::kResetByte;
    Send_bytes({&reset, 1});
    Set_pc_baud(250000);
    showSpeed(250000);
    waitSeconds(timing::kResetSettle);
    for (Ctl c : {Ctl::sss, Ctl::parameters, Ctl::File_load, Ctl::RESETTA, Ctl::Stack, Ctl::codice, Ctl::Acq_pezzi})
        panel_.setEnabled(c, true);
    panel_.setText(Ctl::testo, "");
    Set_baud(WorkingBaud());
    panel_.setEnabled(Ctl::Toolbar2, true);
    resetting_ = false;
}

// ---------------------------------------------------------------- commands

void Link::Send_parameters(int trigger_unit, int32_t n_samples, int32_t sampling_freq, int, int trg_mode,
                           int trg_opening, bool) {
    Send_bytes(frames::ParameterCommand(trigger_unit, n_samples, sampling_freq, trg_mode, trg_opening));
}

void Link::Send_start() {
    const uint8_t b = frames::kStartByte;
    Send_bytes({&b, 1});
}

int Link::Send_trigger_time() {
    s_.Trg_time += s_.N_pretrigger;
    const auto c = frames::TriggerTimeCommand(s_.Trg_time, s_.Unit_code);
    if (!c) {
        panel_.message("Trigger error");
        return 0;
    }
    Send_bytes(*c);
    return 1;
}

void Link::Write_unit_code() { Send_bytes(frames::SetCodeCommand(s_.Unit_code)); }

int32_t Link::Read_unit_code() {
    // Emptied before the request, not after: a quick unit's reply must not be
    // thrown away with the old bytes.
    port_.discardInput();
    Send_bytes(frames::ReadCodeCommand());
    return Read_code_reply();
}

// ---------------------------------------------------------------- reception

void Link::pollLine(bool raiseFlags) {
    if (!port_.isOpen()) return;
    const LineErrors e = port_.takeErrors();
    if (!e.any()) return;
    counters_.framing += e.framing;
    counters_.overrun += e.overrun;
    counters_.parity += e.parity;
    counters_.breaks += e.breaks;
    counters_.bufferOverflow += e.bufferOverflow;
    counters_.io += e.io;
    if (raiseFlags) {
        if (e.framing) s_.Framing_err = true;
        s_.Comm_error = true;
    }
    if (e.io && !lostShown_) {
        lostShown_ = true;
        panel_.setText(Ctl::testo, "COM" + std::to_string(openNumber_) + " (" + port_.path() + ") lost");
    }
}

void Link::startClean() {
    // Errors the line reported before this request belong to no reply of it:
    // counted, not held against it.
    pollLine(false);
}

void Link::OnComm() {
    pollLine();
    if (threshold_ > 0 && port_.isOpen() && port_.available() >= static_cast<std::size_t>(threshold_)) {
        s_.Rx_buffer = port_.takeAll();
        counters_.bytesIn += s_.Rx_buffer.size();
        s_.Rx_done = true;
    }
}

void Link::ClearBuffers(bool output) {
    threshold_ = 0;
    if (!port_.isOpen()) return;
    port_.discardInput();
    if (output) port_.discardOutput();
}

Link::WaitEnd Link::Wait_block(bool timeout_on, double limit) {
    for (;;) {
        yield_(port_.pollFd(), timeout_on ? std::min(limit, clock_() + timing::kStopCheck)
                                          : clock_() + timing::kStopCheck);
        OnComm();
        if (s_.Rx_done) return WaitEnd::Received;
        if (s_.Comm_error) {
            s_.Comm_error = false;
            return WaitEnd::LineError;
        }
        if (timeout_on && clock_() > limit) return WaitEnd::Timeout;
        if (s_.Stop_flag || (!timeout_on && s_.Stop_req == 1)) return WaitEnd::Stopped;
    }
}

int Link::abandonRead() {
    panel_.setEnabled(Ctl::Timer2, false);
    panel_.setEnabled(Ctl::Timer3, false);
    panel_.setEnabled(Ctl::parameters, true);
    panel_.setText(Ctl::testo, "");
    Reset_units();
    return 0;
}

int Link::Read_block(int address, int32_t n, bool abandon, bool timeout_on) {
    if (n > static_cast<int32_t>(kTraceLength)) return 0;  // more than Traccia holds
    threshold_ = frames::kBlockBytes;
    const int32_t blocks = n > 0 ? n / frames::kBlockSamples : 0;
    std::vector<float>& trace = s_.Traccia;
    const auto request = frames::DataRequest(address);
    int32_t pos = 0;
    float sum = 0;
    for (int32_t b = 0; b < blocks; ++b) {
        const double start = timing::WholeSecondStart(clock_());
        yield_(-1, clock_());
        s_.Rx_done = false;
        if (abandon || s_.Stop_flag) return abandonRead();
        if (!request) return 0;  // an address no request can carry
        // Whatever is buffered now cannot be this block's answer (a late reply
        // to an earlier request, the tail of a longer one): start clean.
        port_.discardInput();
        startClean();
        Send_bytes(*request);
        switch (Wait_block(timeout_on, start + timing::BlockLimit(pcBaud_))) {
            case WaitEnd::Received: break;
            case WaitEnd::LineError:
                s_.Link_error = true;
                return 0;
            case WaitEnd::Timeout:
                ++counters_.timeouts;
                panel_.setText(Ctl::testo, "TIMEOUT");
                return 0;
            case WaitEnd::Stopped:
                if (s_.Stop_flag) return abandonRead();
                return 0;
        }
        const std::vector<uint8_t>& rx = s_.Rx_buffer;
        const std::size_t used = std::min<std::size_t>(rx.size(), frames::kBlockBytes);
        float* out = trace.data() + pos;
        const int made = frames::DecodeSamples({rx.data(), used}, frames::kBlockSamples, out);
        for (int i = 0; i < made; ++i) sum += out[i];
        pos += frames::kBlockSamples;
        ++counters_.blocks;
        yield_(-1, clock_());
    }
    if (n == 16384) sum -= trace[16383];
    if (n > 0) {
        const double mean = static_cast<double>(sum) / n;
        for (int32_t k = 0; k < n; ++k) trace[k] = static_cast<float>(trace[k] - mean);
    }
    return 1;
}

int Link::readBurst(uint8_t request, double limitSeconds, bool timeout_on, bool running) {
    const int bytes = std::clamp(static_cast<int>(RoundHalfEven(3.5 * s_.Burst_N)), 448, kRawLimit);
    threshold_ = bytes;
    const double limit = timing::WholeSecondStart(clock_()) + limitSeconds;
    s_.Rx_done = false;
    port_.discardInput();  // the burst must start at its first byte
    startClean();
    Send_bytes({&request, 1});
    for (;;) {
        yield_(port_.pollFd(), timeout_on ? std::min(limit, clock_() + timing::kStopCheck)
                                          : clock_() + timing::kStopCheck);
        OnComm();
        if (s_.Rx_done) break;
        // A line error is noted and the burst still awaited: decoding an old
        // Rx_buffer would hand back someone else's samples as this unit's.
        if (s_.Comm_error) s_.Comm_error = false;
        if (timeout_on && clock_() > limit) {
            ++counters_.timeouts;
            return 0;
        }
        if (!timeout_on && (s_.Stop_flag || s_.Stop_req == 1)) return 0;
    }
    const std::vector<uint8_t>& rx = s_.Rx_buffer;
    const std::size_t used = std::min<std::size_t>(rx.size(), static_cast<std::size_t>(bytes));
    frames::DecodeSamples({rx.data(), used}, frames::kBurstSamples, s_.Traccia.data());
    ++counters_.bursts;
    if (running) {
        const int count = std::min<int>(s_.Burst_N, static_cast<int>(kTraceLength));
        double sum = 0;
        for (int k = 0; k < count; ++k) sum += s_.Traccia[k];
        const double mean = sum / count;
        for (int k = 0; k < frames::kBurstSamples; ++k)
            s_.Traccia[k] = static_cast<float>(s_.Traccia[k] - mean);
    }
    return 1;
}

int Link::Read_burst(int unit, bool, bool timeout_on) {
    const auto request = frames::BurstRequest(unit);
    if (!request) return 0;
    const std::size_t bytes = static_cast<std::size_t>(3.5 * std::max<int>(s_.Burst_N, 128));
    return readBurst(*request, timing::BurstLimit(pcBaud_, bytes), timeout_on, false);
}

int Link::Read_burst_running(int unit, bool, bool timeout_on) {
    const auto request = frames::BurstRequestRunning(unit);
    if (!request) return 0;
    const std::size_t bytes = static_cast<std::size_t>(3.5 * std::max<int>(s_.Burst_N, 128));
    return readBurst(*request, timing::BurstRunningLimit(pcBaud_, bytes), timeout_on, true);
}

int Link::Wait_trigger_byte() {
    for (;;) {
        pollLine();
        if (port_.isOpen() && port_.available() >= 1) {
            counters_.bytesIn += port_.takeAll().size();
            return 1;
        }
        if (s_.Stop_req == 1) return 0;
        // No time limit: only a byte or a stop ends this wait.
        yield_(port_.pollFd(), clock_() + timing::kStopCheck);
    }
}

int Link::Read_trigger_time(double timeout_s) {
    if (port_.isOpen()) port_.discardInput();
    const double start = clock_();
    const double limit = start + timeout_s;
    for (;;) {
        pollLine();
        if (port_.isOpen() && port_.available() >= frames::kTriggerReplyBytes) break;
        if (s_.Stop_req == 1) return 0;
        if (clock_() > limit) {
            ++counters_.timeouts;
            return 255;
        }
        yield_(port_.pollFd(), std::min(limit, clock_() + timing::kStopCheck));
    }
    const std::vector<uint8_t> r = port_.takeAll();
    counters_.bytesIn += r.size();
    s_.Trg_time = *frames::TriggerTimeOfReply(r);
    return 1;
}

int32_t Link::Read_code_reply() {
    const double limit = clock_() + timing::kCodeReplyLimit;
    for (;;) {
        pollLine();
        if (port_.isOpen() && port_.available() >= frames::kCodeReplyBytes) break;
        if (s_.Stop_req == 1) return 0;
        if (clock_() > limit) {
            ++counters_.timeouts;
            return 0;
        }
        yield_(port_.pollFd(), std::min(limit, clock_() + timing::kStopCheck));
    }
    const std::vector<uint8_t> r = port_.takeAll();
    counters_.bytesIn += r.size();
    return *frames::CodeOfReply(r);
}

// ---------------------------------------------------------------- port dialog

void Link::ProbePorts() {
    for (int n = PortMap::kFirst; n <= PortMap::kLast; ++n) {
        s_.Port_probe = static_cast<int16_t>(n);
        s_.Port_list[n] = static_cast<int16_t>(n);
        const std::string path = ports_.path(n);
        if (port_.isOpen() && n == openNumber_) continue;  // the line in use is there
        std::string error;
        if (path.empty() || port_.isOpen() || !port_.open(path, error)) {
            s_.Port_list[n] = 0;
            continue;
        }
        port_.close();
    }
}

std::string Link::PortListText() const {
    std::string text;
    for (int n = 1; n <= 128; ++n) {
        if (s_.Port_list[n] != n) continue;
        if (!text.empty()) text += "\n";
        text += " COM" + std::to_string(n) + "   " + ports_.path(n);
    }
    return text;
}

}  // namespace q24
