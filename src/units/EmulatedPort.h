#pragma once
// The units behind an in-memory Port, on a simulated clock: what tests and
// benchmarks hand to the Link instead of a serial device. Nothing is sent
// anywhere; every byte the PC writes goes straight into the Units, and the
// Units' answers are read back at the time the clock shows.
//
//   SimulatedLine line;                       // units 1..96, shot gather
//   Link link(s, panel, line.port, map, line);
//   int r = line.run(link.Read_block(1, 256, false, true));
//
// The line is the sequences' Waits: run() drives a sequence to its end, and
// each of its waits moves the clock on to the next thing that happens (a
// reply, the trigger, the end of a recording) or to the wait's deadline, so a
// 60-second wait costs no real time. `onYield` lets a test act during waits
// (press STOP, pull the plug); a simulation that runs past `maxTime` throws
// instead of hanging the test.
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/Port.h"
#include "state/Task.h"
#include "link/Waits.h"
#include "units/Units.h"

namespace q24::units {

class EmulatedPort : public Port {
public:
    EmulatedPort(Units& units, std::function<double()> clock, std::string path = "/dev/emulated-units")
        : units_(units), clock_(std::move(clock)), path_(std::move(path)) {}

    bool open(const std::string& path, std::string& error) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    std::string path() const override { return path_; }
    bool setSpeed(int32_t baud) override;
    int32_t speed() const override { return speed_; }
    void discardInput() override;
    void discardOutput() override {}
    bool write(std::span<const uint8_t> bytes) override;
    void drain() override {}

    // ---- What tests see and do
    std::vector<uint8_t> written;        // every byte the PC wrote, in order
    std::vector<int32_t> speeds;         // every speed the PC set, in order
    std::set<int32_t> refusedSpeeds;     // speeds the "driver" refuses
    void inject(std::span<const uint8_t> bytes) { in_.insert(in_.end(), bytes.begin(), bytes.end()); }
    void injectErrors(const LineErrors& e) { e.addTo(errors_); }
    void unplug();                       // the adapter is pulled: EIO from now on
    void plugIn() { gone_ = false; }
    int opens = 0;

private:
    void pump() override;

    Units& units_;
    std::function<double()> clock_;
    std::string path_;
    bool open_ = false, gone_ = false;
    int32_t speed_ = 9600;
};

class SimulatedLine : public Waits {
public:
    explicit SimulatedLine(UnitsConfig config = {});
    SimulatedLine(const SimulatedLine&) = delete;

    std::function<double()> clock();

    // Waits
    double now() const override { return t; }
    void sleep(int fd, double deadline, std::coroutine_handle<> h) override;
    void wake() override { woken_ = true; }

    // Runs sequences until `finished` says so: each pending wait in turn
    // moves the clock and is resumed. Throws when no sequence waits any more
    // but `finished` is still false, and past maxTime.
    void runUntil(const std::function<bool()>& finished);
    // Drives `task` to its end on the simulated clock and returns its result.
    template <class T>
    T run(Task<T> task) {
        task.start();
        runUntil([&] { return task.done(); });
        return task.result();
    }

    double t = 0;
    Units units;
    EmulatedPort port;
    std::function<void()> onYield;
    double maxTime = 4 * 3600;
    long yields = 0;

private:
    struct Pending {
        double deadline;
        std::coroutine_handle<> handle;
    };
    std::vector<Pending> pending_;
    bool woken_ = false;
};

}  // namespace q24::units
