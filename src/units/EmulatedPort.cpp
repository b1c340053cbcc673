#include "units/EmulatedPort.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace q24::units {

bool EmulatedPort::open(const std::string& path, std::string& error) {
    if (path != path_ || gone_) {
        error = "No such device";
        return false;
    }
    open_ = true;
    ++opens;
    in_.clear();
    return true;
}

bool EmulatedPort::setSpeed(int32_t baud) {
    if (!open_ || refusedSpeeds.count(baud)) return false;
    speed_ = baud;
    speeds.push_back(baud);
    return true;
}

void EmulatedPort::pump() {
    if (!open_ || gone_) return;
    for (const RxByte& b : units_.transmit(clock_(), speed_)) {
        in_.push_back(b.value);
        if (b.framing) ++errors_.framing;
    }
}

void EmulatedPort::discardInput() {
    pump();
    in_.clear();
}

bool EmulatedPort::write(std::span<const uint8_t> bytes) {
    if (!open_) return false;
    if (gone_) {
        ++errors_.io;
        return false;
    }
    written.insert(written.end(), bytes.begin(), bytes.end());
    units_.receive(bytes, speed_, clock_());
    return true;
}

void EmulatedPort::unplug() {
    gone_ = true;
    ++errors_.io;
}

SimulatedLine::SimulatedLine(UnitsConfig config)
    : units(std::move(config)), port(units, [this] { return t; }) {}

std::function<double()> SimulatedLine::clock() {
    return [this] { return t; };
}

void SimulatedLine::sleep(int, double deadline, std::coroutine_handle<> h) { pending_.push_back({deadline, h}); }

void SimulatedLine::runUntil(const std::function<bool()>& finished) {
    while (!finished()) {
        if (pending_.empty()) throw std::logic_error("simulated line: no sequence is waiting");
        // The earliest deadline goes first; a woken wait goes at once.
        auto next = std::min_element(pending_.begin(), pending_.end(),
                                     [](const Pending& a, const Pending& b) { return a.deadline < b.deadline; });
        const Pending p = *next;
        pending_.erase(next);
        ++yields;
        if (onYield) onYield();
        const double step = 1e-6;
        const double deadline = std::exchange(woken_, false) ? t : p.deadline;
        if (deadline <= t) {
            t += step;  // a pump: time still moves a little
        } else {
            const double event = units.nextEvent();
            double to = std::min(deadline, event > t ? event : t + step);
            if (!(to < Units::kNever)) to = t + 1.0;  // nothing will happen: let a second pass
            t = to;
        }
        units.advance(t);
        if (t > maxTime) throw std::runtime_error("simulated line: nothing ended the wait");
        p.handle.resume();
    }
}

}  // namespace q24::units
