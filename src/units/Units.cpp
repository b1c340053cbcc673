#include "units/Units.h"

#include <algorithm>
#include <cmath>

#include "link/Frames.h"
#include "link/Timing.h"

namespace q24::units {

namespace fr = q24::frames;

int AddressOfRequest(uint8_t b0, uint8_t b1) {
    const int hi = b0 - 0x80, lo = b1 & 0x7F;
    int k = hi;
    if (lo > 64 || (lo == 64 && hi > 0)) k = hi - 1;
    return std::max(0, k) * 128 + lo;
}

Units::Units(UnitsConfig config) : config_(std::move(config)) {
    if (config_.addresses.empty())
        for (int a = 1; a <= 255; ++a) config_.addresses.push_back(a);
    std::sort(config_.addresses.begin(), config_.addresses.end());
    if (config_.stuckBaud > 0) baud_ = config_.stuckBaud;
}

bool Units::present(int unit) const {
    return std::binary_search(config_.addresses.begin(), config_.addresses.end(), unit);
}

double Units::gap() const { return std::max(0.001, timing::WireSeconds(30, baud_)); }

double Units::sampleSeconds(int64_t samples) const {
    const double scale = config_.clockScale > 0 ? config_.clockScale : 1;
    return static_cast<double>(samples) / (std::max(freq_, 1) * scale);
}

int32_t Units::sample(int unit, int64_t k) const {
    int32_t v = 0;
    switch (config_.data) {
        case DataKind::Pattern: v = PatternValue(unit, k); break;
        case DataKind::Noise: v = GatherValue(config_.spread, config_.seed, shot_, unit, k, freq_, false, 0); break;
        case DataKind::Gather:
            v = GatherValue(config_.spread, config_.seed, shot_, unit, k, freq_, withShot_, zero_);
            break;
    }
    const auto noisy = config_.noisy.find(unit);
    return noisy == config_.noisy.end() ? v : WithNoise(v, noisy->second, config_.seed + shot_, unit, k);
}

void Units::receive(std::span<const uint8_t> bytes, int32_t pcBaud, double t) {
    advance(t);
    double arrival = t;
    if (config_.paced) {
        rxFreeAt_ = std::max(rxFreeAt_, t) + timing::WireSeconds(bytes.size(), pcBaud);
        arrival = rxFreeAt_;
    }
    if (pcBaud == baud_) {
        rx_.insert(rx_.end(), bytes.begin(), bytes.end());
    } else {
        for (const RxByte& b : Resample(bytes, pcBaud, baud_)) rx_.push_back(b.value);
    }
    lastRx_ = arrival;
    parse(arrival);
}

void Units::advance(double t) {
    if (triggerAt_ <= t) fireTrigger(triggerAt_);
    if (recordEnd_ <= t) {
        const double end = recordEnd_;
        recordEnd_ = kNever;
        if (mode_ == Mode::Recording) {
            const bool triggered = trgMode_ == 1;
            mode_ = triggered ? Mode::AwaitTriggerTime : Mode::Recorded;
            const auto r = fr::TriggerTimeReply(triggered ? config_.triggerTime : 0);
            send({r.begin(), r.end()}, end);
            log_.push_back("recording complete");
        }
    }
    if (!rx_.empty() && t >= lastRx_ + gap()) parse(lastRx_ + gap());
}

double Units::nextEvent() const {
    double next = std::min(triggerAt_, recordEnd_);
    if (!rx_.empty()) next = std::min(next, lastRx_ + gap());
    for (const Chunk& c : tx_)
        if (c.sent < c.bytes.size()) {
            next = std::min(next, c.due(c.bytes.size() - 1));
            break;
        }
    return next;
}

double Units::nextBatch(std::size_t batch) const {
    for (const Chunk& c : tx_)
        if (c.sent < c.bytes.size()) return c.due(std::min(c.bytes.size(), c.sent + batch) - 1);
    return std::min({triggerAt_, recordEnd_, rx_.empty() ? kNever : lastRx_ + gap()});
}

void Units::fireTrigger(double t) {
    triggerAt_ = kNever;
    if (mode_ != Mode::Armed) return;
    mode_ = Mode::WaitStart;
    log_.push_back("trigger");
    send({0x01}, t, trgUnit_);
}

std::vector<RxByte> Units::transmit(double t, int32_t pcBaud) {
    advance(t);
    std::vector<RxByte> out;
    while (!tx_.empty()) {
        Chunk& c = tx_.front();
        std::size_t end = c.sent;
        while (end < c.bytes.size() && c.due(end) <= t) ++end;
        if (end > c.sent) {
            const std::span<const uint8_t> part(c.bytes.data() + c.sent, end - c.sent);
            if (c.damaged) {
                for (std::size_t i = c.sent; i < end; ++i) {
                    const bool hit = i % 64 == 63;
                    out.push_back({static_cast<uint8_t>(hit ? c.bytes[i] ^ 0x5A : c.bytes[i]), hit});
                }
            } else if (pcBaud == c.baud) {
                for (uint8_t b : part) out.push_back({b, false});
            } else {
                auto garbled = Resample(part, c.baud, pcBaud);
                out.insert(out.end(), garbled.begin(), garbled.end());
            }
            c.sent = end;
        }
        if (c.sent < c.bytes.size()) break;
        tx_.pop_front();
    }
    return out;
}

void Units::send(std::vector<uint8_t> bytes, double t, int unit) {
    if (unit >= 0 && config_.silent.count(unit)) return;
    double start = t + config_.replyDelay;
    if (auto s = config_.slow.find(unit); unit >= 0 && s != config_.slow.end()) start += s->second;
    if (config_.strayChance > 0) {
        // A small generator of its own, so a run with a seed is repeatable.
        stray_ = stray_ * 1664525u + 1013904223u + config_.seed;
        if (static_cast<double>((stray_ >> 8) % 10000) < config_.strayChance * 10000)
            bytes.insert(bytes.begin(), uint8_t(stray_ >> 24));
    }
    Chunk c;
    c.baud = baud_;
    c.damaged = unit >= 0 && config_.damaged.count(unit) > 0;
    c.perByte = config_.paced ? timing::WireSeconds(1, baud_) : 0;
    c.start = std::max(start, txFreeAt_);
    c.bytes = std::move(bytes);
    txFreeAt_ = c.start + static_cast<double>(c.bytes.size()) * c.perByte;
    tx_.push_back(std::move(c));
}

void Units::parse(double t) {
    while (!rx_.empty()) {
        const uint8_t b = rx_.front();
        if (b == fr::kResetByte) {
            rx_.pop_front();
            if (config_.stuckBaud == 0) baud_ = 250000;
            mode_ = Mode::Idle;
            triggerAt_ = recordEnd_ = kNever;
            tx_.clear();
            txFreeAt_ = t;
            busyUntil_ = t + config_.resetBusy;
            log_.push_back("reset");
            continue;
        }
        if (t < busyUntil_) {  // restarting: deaf
            rx_.pop_front();
            continue;
        }
        if (b == fr::kStartByte && mode_ == Mode::WaitStart) {
            rx_.pop_front();
            mode_ = Mode::Recording;
            recordEnd_ = t + sampleSeconds(samples_);
            log_.push_back("start");
            continue;
        }
        if (b < 0x80) {  // no command starts so: noise
            rx_.pop_front();
            continue;
        }
        if (rx_.size() >= 2 && rx_[1] >= 0x80) {  // a lone byte, another command behind it
            rx_.pop_front();
            burst(b, t);
            continue;
        }
        if (rx_.size() >= 11) {
            uint8_t f[11];
            std::copy_n(rx_.begin(), 11, f);
            rx_.erase(rx_.begin(), rx_.begin() + 11);
            frame(f, t);
            continue;
        }
        if (t < lastRx_ + gap()) break;  // the rest of the frame may still come
        if (rx_.size() == 1) {
            rx_.pop_front();
            burst(b, t);
        } else {
            rx_.clear();  // a frame cut short
        }
    }
}

void Units::newRecording(double t) {
    ++shot_;
    requests_.clear();
    bursts_.clear();
    withShot_ = false;
    zero_ = 0;
    streamStart_ = t;
    triggerAt_ = recordEnd_ = kNever;
}

void Units::frame(const uint8_t* f, double t) {
    const bool broadcast = f[0] == 0x80 && f[1] == 0x00;
    if (broadcast && f[2] == fr::kParameterCode) {
        freq_ = fr::FrequencyOfCode(f[3]);
        trgMode_ = f[4];
        samples_ = fr::SampleCountOfCode(f[5]);
        trgUnit_ = f[8] * 256 + f[9];
        edge_ = f[10];
        newRecording(t);
        log_.push_back("parameters " + std::to_string(freq_) + " Hz " + std::to_string(samples_) + " samples trigger " +
                       std::to_string(trgMode_));
        // At 500 Hz and below the units record continuously and answer bursts,
        // except for a passive block of 8192 samples: that one they record
        // whole, announce with the reply and give out in data blocks.
        if (freq_ > 0 && freq_ <= 500 && trgMode_ != 1 && samples_ != kPassiveBlock) {
            mode_ = Mode::Continuous;
        } else if (trgMode_ == 1) {
            mode_ = Mode::Armed;
            if (config_.triggerDelay >= 0) triggerAt_ = t + config_.triggerDelay;
        } else {
            mode_ = Mode::Recording;
            recordEnd_ = t + sampleSeconds(samples_);
        }
        return;
    }
    if (broadcast && fr::SpeedOfCode(f[2]) != 0) {
        if (config_.stuckBaud == 0) baud_ = fr::SpeedOfCode(f[2]);
        log_.push_back("speed " + std::to_string(fr::SpeedOfCode(f[2])));
        return;
    }
    if (broadcast && f[2] == fr::kSetCodeCode && f[3] == 0x7B) {
        config_.code = (f[4] & 0x7F) * 128 + (f[5] & 0x7F);
        log_.push_back("set code " + std::to_string(config_.code));
        return;
    }
    if (broadcast && f[2] == fr::kReadCodeCode) {
        log_.push_back("read code");
        send({static_cast<uint8_t>(config_.code >> 8), static_cast<uint8_t>(config_.code & 0xFF)}, t);
        return;
    }
    if (f[1] == fr::kTriggerTimeByte1 && f[2] == 0 && mode_ == Mode::AwaitTriggerTime) {
        int hi = f[8], lo = f[9];
        if (f[10] & 1) hi |= 0x80;
        if (f[10] & 2) lo |= 0x80;
        const int32_t value = hi * 256 + lo;
        // The first sample the program keeps, rounded as it rounds (half to even).
        const auto latency = static_cast<int64_t>(std::nearbyint(kLatency * freq_ + 1));
        zero_ = std::clamp<int64_t>(value - config_.triggerTime + latency, 0, std::max(samples_ - 1, 0));
        withShot_ = true;
        mode_ = Mode::Recorded;
        log_.push_back("trigger time " + std::to_string(value));
        return;
    }
    if (f[2] == 0 && std::all_of(f + 3, f + 11, [](uint8_t x) { return x == 0; })) {
        dataRequest(AddressOfRequest(f[0], f[1]), t);
        return;
    }
    log_.push_back("unknown command");
}

void Units::dataRequest(int address, double t) {
    if (!present(address)) return;
    const int k = requests_[address]++;
    if (auto d = config_.dropped.find(address); d != config_.dropped.end() && d->second.count(k)) return;
    std::vector<uint8_t> data;
    data.reserve(std::size_t{3} * fr::kBlockSamples);
    const int64_t first = static_cast<int64_t>(k) * fr::kBlockSamples;
    for (int i = 0; i < fr::kBlockSamples; ++i) {
        const auto b = fr::ConverterBytes(sample(address, first + i));
        data.insert(data.end(), b.begin(), b.end());
    }
    send(fr::Pack7(data), t, address);
}

void Units::burst(uint8_t b, double t) {
    if (mode_ != Mode::Continuous && mode_ != Mode::Recorded && mode_ != Mode::AwaitTriggerTime) return;
    int unit = b - 0x80;
    if (!present(unit)) {  // no such unit: the units answer in turn
        unit = config_.addresses[turn_++ % config_.addresses.size()];
    }
    const int k = bursts_[unit]++;
    const int64_t first = static_cast<int64_t>(k) * fr::kBurstSamples;
    double ready = t;
    if (mode_ == Mode::Continuous)  // the samples must have been recorded
        ready = std::max(t, streamStart_ + sampleSeconds(first + fr::kBurstSamples));
    std::vector<uint8_t> data;
    data.reserve(std::size_t{3} * fr::kBurstSamples);
    for (int i = 0; i < fr::kBurstSamples; ++i) {
        const auto v = fr::ConverterBytes(sample(unit, first + i));
        data.insert(data.end(), v.begin(), v.end());
    }
    send(fr::Pack7(data), ready, unit);
}

}  // namespace q24::units
