#include "link/Link.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "link/Frames.h"
#include "link/Timing.h"
#include "state/BusyGuard.h"
#include "state/NumberFormat.h"

namespace q24 {

namespace {

constexpr std::size_t kTraceLength = 20001;  // Traccia(0 .. 20000)
constexpr int kRawLimit = 10001;             // a reply the readers decode: Raw(0 .. 10000)

}  // namespace

Link::Link(State& s, Panel& panel, Port& port, PortMap& ports, Waits& waits)
    : s_(s), panel_(panel), port_(port), ports_(ports), waits_(waits) {
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

Task<bool> Link::waitSeconds(double seconds, bool atLeast, bool exact) {
    double limit = exact ? now() + seconds : timing::WholeSecondStart(now()) + seconds;
    if (atLeast) limit = std::max(limit, now() + seconds);
    // A reset is itself the clean-up of a cancelled sequence: only the end of
    // the program cuts its waits short.
    auto cut = [this] { return resetting_ ? waits_.cancelReason() == CancelReason::Ending : cancelled(); };
    while (now() < limit) {
        if (cut()) co_return false;
        co_await waits_.until(-1, limit);
    }
    co_return !cut();
}

std::string Link::OpenDevice() {
    const int n = s_.Com_port;
    const std::string path = ports_.path(n);
    if (path.empty()) return "COM" + std::to_string(n) + " has no serial device.";
    std::string error;
    if (!port_.open(path, error)) {
        if (error == Port::kInUse) return "COM" + std::to_string(n) + " (" + path + ") is in use by another program";
        return "COM" + std::to_string(n) + " (" + path + ") could not be opened: " + error;
    }
    openNumber_ = n;
    lostShown_ = false;
    return {};
}

Task<int> Link::Open_port() {
    if (std::string error = OpenDevice(); !error.empty()) {
        openError_ = error;
        panel_.message(error);
        co_return 0;
    }
    openError_.clear();
    const int ok = Set_pc_baud(250000);
    showSpeed(250000);
    if (!ok) panel_.message("This baude rate is Impossible ");
    co_await Set_baud(WorkingBaud());
    co_return 1;
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

Task<int> Link::Set_baud(int32_t rate, bool exact) {
    const frames::Command c = frames::SpeedCommand(rate);
    Send_bytes(c);
    // Cancelled half-way, the PC still follows: the units take the new speed
    // whether or not anyone waits for them.
    const bool waited = co_await waitSeconds(timing::kSpeedSettle, false, exact);
    Set_pc_baud(rate);
    showSpeed(rate);
    co_return waited ? 1 : 0;
}

Task<int> Link::Reset_units(bool quick) {
    if (resetting_) co_return 0;  // one reset at a time
    const BusyGuard oneReset(resetting_);
    const uint8_t reset = frames::kResetByte;
    ++counters_.resets;
    if (waits_.cancelReason() == CancelReason::Ending) {
        // The program ends: the units must not stay armed or recording, and
        // nobody will use the line afterwards.
        Send_bytes({&reset, 1});
        if (port_.isOpen()) port_.drain();
        co_return 1;
    }
    if (!quick) co_await waitSeconds(timing::kResetLead);
    Send_bytes({&reset, 1});
    Set_pc_baud(250000);
    showSpeed(250000);
    // The units need their two seconds to restart whatever the clock shows:
    // a speed command sent sooner would be lost.
    co_await waitSeconds(timing::kResetSettle + (quick ? timing::kResetMargin : 0), true, quick);
    if (waits_.cancelReason() == CancelReason::Ending) co_return 1;
    co_await Set_baud(WorkingBaud(), quick);
    co_return 1;
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

Task<int32_t> Link::Read_unit_code() {
    // Emptied before the request, not after: a quick unit's reply must not be
    // thrown away with the old bytes.
    if (port_.isOpen()) port_.discardInput();
    startClean();
    Send_bytes(frames::ReadCodeCommand());
    co_return co_await Read_code_reply();
}

// ---------------------------------------------------------------- reception

void Link::pollLine(bool raiseFlags) {
    if (!port_.isOpen()) return;
    const LineErrors e = port_.takeErrors();
    if (!e.any()) return;
    e.addTo(counters_);
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
    s_.Comm_error = false;
    s_.Framing_err = false;
    s_.Link_error = false;
}

int Link::end(ReadEnd e, int result) {
    lastEnd_ = e;
    if (e == ReadEnd::Timeout) ++counters_.timeouts;
    if (e == ReadEnd::Cancelled) ++counters_.cancelled;
    return result;
}

Task<Link::Reply> Link::readReply(std::size_t count, double limit) {
    for (;;) {
        if (cancelled()) co_return Reply{ReadEnd::Cancelled};
        pollLine();
        if (port_.isOpen() && port_.available() >= count) {
            std::vector<uint8_t> bytes = port_.takeAll();
            counters_.bytesIn += bytes.size();
            co_return Reply{ReadEnd::Ok, std::move(bytes)};
        }
        if (s_.Stop_req == 1) co_return Reply{ReadEnd::Stopped};
        // An unplugged adapter answers nothing any more: no wait for it.
        if (lostShown_) co_return Reply{ReadEnd::LineError};
        if (now() > limit) co_return Reply{ReadEnd::Timeout};
        co_await waits_.until(port_.pollFd(), std::min(limit, now() + timing::kStopCheck));
    }
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

Task<ReadEnd> Link::Wait_block(bool timeout_on, double limit) {
    for (;;) {
        co_await waits_.until(port_.pollFd(), timeout_on ? std::min(limit, now() + timing::kStopCheck)
                                                         : now() + timing::kStopCheck);
        if (cancelled()) co_return ReadEnd::Cancelled;
        OnComm();
        if (s_.Rx_done) co_return ReadEnd::Ok;
        if (s_.Comm_error) {
            s_.Comm_error = false;
            co_return ReadEnd::LineError;
        }
        if (timeout_on && now() > limit) co_return ReadEnd::Timeout;
        if (s_.Stop_flag || (!timeout_on && s_.Stop_req == 1)) co_return ReadEnd::Stopped;
    }
}

Task<int> Link::Read_block(int address, int32_t n, bool abandon, bool timeout_on) {
    if (n > static_cast<int32_t>(kTraceLength)) co_return end(ReadEnd::LineError, 0);  // more than Traccia holds
    threshold_ = frames::kBlockBytes;
    const int32_t blocks = n > 0 ? n / frames::kBlockSamples : 0;
    std::vector<float>& trace = s_.Traccia;
    const auto request = frames::DataRequest(address);
    int32_t pos = 0;
    float sum = 0;
    for (int32_t b = 0; b < blocks; ++b) {
        if (cancelled()) co_return end(ReadEnd::Cancelled, 0);
        s_.Rx_done = false;
        if (abandon || s_.Stop_flag) co_return end(ReadEnd::Stopped, 0);
        if (!request) co_return end(ReadEnd::LineError, 0);  // an address no request can carry
        // Whatever is buffered now cannot be this block's answer (a late reply
        // to an earlier request, the tail of a longer one): start clean.
        if (port_.isOpen()) port_.discardInput();
        startClean();
        Send_bytes(*request);
        // The limit counts from the moment the request is written.
        const double start = timing::WholeSecondStart(now());
        const ReadEnd e = co_await Wait_block(timeout_on, start + timing::BlockLimit(pcBaud_));
        if (e == ReadEnd::LineError) s_.Link_error = true;
        if (e != ReadEnd::Ok) co_return end(e, 0);
        const std::vector<uint8_t>& rx = s_.Rx_buffer;
        const std::size_t used = std::min<std::size_t>(rx.size(), frames::kBlockBytes);
        // A stray byte ahead of the block shifts every group: its samples
        // would be garbage taken for data. Such a block is a line error.
        if (!frames::WellPacked({rx.data(), used})) {
            s_.Link_error = true;
            co_return end(ReadEnd::LineError, 0);
        }
        float* out = trace.data() + pos;
        const int made = frames::DecodeSamples({rx.data(), used}, frames::kBlockSamples, out);
        for (int i = 0; i < made; ++i) sum += out[i];
        pos += frames::kBlockSamples;
        ++counters_.blocks;
    }
    if (n == 16384) sum -= trace[16383];
    if (n > 0) {
        const double mean = static_cast<double>(sum) / n;
        for (int32_t k = 0; k < n; ++k) trace[k] = static_cast<float>(trace[k] - mean);
    }
    co_return end(ReadEnd::Ok, 1);
}

Task<int> Link::readBurst(uint8_t request, double limitSeconds, bool timeout_on, bool running) {
    if (cancelled()) co_return end(ReadEnd::Cancelled, 0);
    const int bytes = std::clamp(static_cast<int>(RoundHalfEven(3.5 * s_.Burst_N)), 448, kRawLimit);
    threshold_ = bytes;
    s_.Rx_done = false;
    if (port_.isOpen()) port_.discardInput();  // the burst must start at its first byte
    startClean();
    Send_bytes({&request, 1});
    const double limit = timing::WholeSecondStart(now()) + limitSeconds;
    for (;;) {
        co_await waits_.until(port_.pollFd(), timeout_on ? std::min(limit, now() + timing::kStopCheck)
                                                         : now() + timing::kStopCheck);
        if (cancelled()) co_return end(ReadEnd::Cancelled, 0);
        OnComm();
        if (s_.Rx_done) break;
        // A line error is noted and the burst still awaited: decoding an old
        // Rx_buffer would hand back someone else's samples as this unit's.
        if (s_.Comm_error) s_.Comm_error = false;
        if (timeout_on && now() > limit) co_return end(ReadEnd::Timeout, 0);
        if (!timeout_on && (s_.Stop_flag || s_.Stop_req == 1)) co_return end(ReadEnd::Stopped, 0);
    }
    const std::vector<uint8_t>& rx = s_.Rx_buffer;
    const std::size_t used = std::min<std::size_t>(rx.size(), static_cast<std::size_t>(bytes));
    if (!frames::WellPacked({rx.data(), used})) co_return end(ReadEnd::LineError, 0);  // shifted or garbled
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
    co_return end(ReadEnd::Ok, 1);
}

Task<int> Link::Read_burst(int unit, bool, bool timeout_on) {
    const auto request = frames::BurstRequest(unit);
    if (!request) co_return end(ReadEnd::LineError, 0);
    const std::size_t bytes = static_cast<std::size_t>(3.5 * std::max<int>(s_.Burst_N, 128));
    co_return co_await readBurst(*request, timing::BurstLimit(pcBaud_, bytes), timeout_on, false);
}

Task<int> Link::Read_burst_running(int unit, bool, bool timeout_on) {
    const auto request = frames::BurstRequestRunning(unit);
    if (!request) co_return end(ReadEnd::LineError, 0);
    const std::size_t bytes = static_cast<std::size_t>(3.5 * std::max<int>(s_.Burst_N, 128));
    co_return co_await readBurst(*request, timing::BurstRunningLimit(pcBaud_, bytes), timeout_on, true);
}

Task<int> Link::Wait_trigger_byte() {
    // No time limit: only a byte, a stop or a cancellation ends this wait.
    const Reply r = co_await readReply(1, kNever);
    co_return end(r.end, r.end == ReadEnd::Ok ? 1 : 0);
}

Task<int> Link::Read_trigger_time(double timeout_s) {
    if (port_.isOpen()) port_.discardInput();
    const Reply r = co_await readReply(frames::kTriggerReplyBytes, now() + timeout_s);
    if (r.end != ReadEnd::Ok) co_return end(r.end, r.end == ReadEnd::Timeout ? 255 : 0);
    s_.Trg_time = *frames::TriggerTimeOfReply(r.bytes);
    co_return end(ReadEnd::Ok, 1);
}

Task<int32_t> Link::Read_code_reply() {
    const Reply r = co_await readReply(frames::kCodeReplyBytes, now() + timing::kCodeReplyLimit);
    co_return end(r.end, r.end == ReadEnd::Ok ? *frames::CodeOfReply(r.bytes) : 0);
}

Task<Link::ProbeReply> Link::Probe_block(int address, double limit, double quiet, double tail) {
    ProbeReply r;
    const auto request = frames::DataRequest(address);
    if (!request) {
        r.end = ReadEnd::LineError;
        end(r.end, 0);
        co_return r;
    }
    if (port_.isOpen()) {
        r.errorsBefore = port_.takeErrors().any();
        r.before = port_.available();
        port_.discardInput();
    }
    startClean();
    Send_bytes(*request);
    const double sent = now();
    const double blockWire = timing::WireSeconds(frames::kBlockBytes, pcBaud_);
    std::size_t got = 0;
    double first = 0, last = 0;
    for (;;) {
        double deadline = sent + limit;
        if (got > 0) {
            deadline = last + quiet;
            if (got < static_cast<std::size_t>(frames::kBlockBytes))
                deadline = std::max(deadline, first + blockWire + tail);
            // A line that never falls quiet (a unit babbling, a speed
            // mismatch) still ends the exchange.
            deadline = std::min(deadline, sent + limit + 2 * blockWire + tail);
        }
        if (now() >= deadline) break;
        co_await waits_.until(port_.pollFd(), std::min(deadline, now() + timing::kStopCheck));
        if (cancelled()) {
            r.end = ReadEnd::Cancelled;
            end(r.end, 0);
            co_return r;
        }
        pollLine();
        if (lostShown_) break;
        const std::size_t n = port_.isOpen() ? port_.available() : 0;
        if (n > got) {
            if (got == 0) first = now();
            got = n;
            last = now();
        }
    }
    pollLine();
    r.lineErrors = s_.Comm_error;
    if (port_.isOpen()) r.bytes = port_.takeAll();
    counters_.bytesIn += r.bytes.size();
    // A silent number is no fault of the line: not counted as a time-out.
    lastEnd_ = r.bytes.empty() ? ReadEnd::Timeout : ReadEnd::Ok;
    co_return r;
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
