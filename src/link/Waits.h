#pragma once
// How a sequence sleeps. A wait ends when bytes can be read on the line's
// descriptor, when the clock reaches its deadline, or when it is woken (STOP,
// a cancellation); nothing else runs the sequence. The program sleeps in the
// Qt event loop (EventLoopWaits); tests sleep on the simulated clock of the
// emulated units (units::SimulatedLine), so a minute of waiting costs nothing.
//
// Cancellation lives here too, because every wait must see it at once: the
// owner of the line cancels the running sequence (STOP of a pre-empting
// command, EXIT, the close box, a signal), every pending wait ends, and every
// read of the link then reports Cancelled until the next activity begins.
#include <coroutine>
#include <limits>

namespace q24 {

// Why a sequence was cancelled.
enum class CancelReason {
    None,
    Preempted,  // another command takes the line (GO TRIGGER during running mode)
    Ending,     // EXIT, the close box, a signal: the program ends
};

class Waits {
public:
    static constexpr double kNever = std::numeric_limits<double>::infinity();

    virtual ~Waits() = default;
    // Monotonic seconds.
    virtual double now() const = 0;
    // Resumes `h` from the event loop once bytes can be read on `fd` (when
    // fd >= 0), the clock reaches `deadline`, or wake() is called. A deadline
    // already past resumes it on the next turn of the loop, after the events
    // that are pending.
    virtual void sleep(int fd, double deadline, std::coroutine_handle<> h) = 0;
    // Ends every pending sleep now.
    virtual void wake() = 0;

    // co_await waits.until(fd, deadline)
    struct Until {
        Waits& waits;
        int fd;
        double deadline;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> h) { waits.sleep(fd, deadline, h); }
        void await_resume() const noexcept {}
    };
    Until until(int fd, double deadline) { return Until{*this, fd, deadline}; }
    // One turn of the event loop: what is pending runs, then the sequence goes on.
    Until pass() { return Until{*this, -1, 0}; }
    // co_await waits.seconds(s): a plain pause that a cancellation ends early.
    Until seconds(double s) { return Until{*this, -1, now() + s}; }

    void cancel(CancelReason why) {
        if (why == CancelReason::None) return;
        if (reason_ != CancelReason::Ending) reason_ = why;
        wake();
    }
    bool cancelled() const { return reason_ != CancelReason::None; }
    CancelReason cancelReason() const { return reason_; }
    // A new activity begins: earlier cancellations are over (an ending stays).
    void clearCancel() {
        if (reason_ != CancelReason::Ending) reason_ = CancelReason::None;
    }

private:
    CancelReason reason_ = CancelReason::None;
};

}  // namespace q24
