#pragma once
// The emulated units on a pseudo-terminal: the program (or a test) opens the
// printed device path as it would open a serial adapter. The units read the
// speed the PC set on its end of the line, so a PC and units at different
// speeds see garbage, as on a real line. With `paced`, answers leave at the
// line rate (10 bits a byte) on the real clock.
//
// run() serves the line until stop() is called; start() does that on a
// thread of its own (the units are another machine: the program itself stays
// single-threaded).
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "units/Units.h"

namespace q24::units {

class PtyUnits {
public:
    explicit PtyUnits(UnitsConfig config = {});
    ~PtyUnits();
    PtyUnits(const PtyUnits&) = delete;

    // Creates the pseudo-terminal; false with the reason on failure.
    bool open(std::string& error);
    const std::string& path() const { return path_; }

    void run();
    void start();
    void stop();

    // Runs `fn` on the units while the server is paused between two events
    // (for tests: fire the trigger, look at the log).
    template <class Fn>
    auto with(Fn fn) {
        std::lock_guard<std::mutex> lock(mutex_);
        return fn(units_);
    }

private:
    double now() const;

    Units units_;
    std::string path_;
    int master_ = -1, slave_ = -1, wake_[2] = {-1, -1};
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<uint8_t> pending_;
};

}  // namespace q24::units
