#pragma once
// The link's waits on the Qt event loop: the program's Link::Yield. A wait
// sleeps in the event loop until the port's descriptor has bytes, the deadline
// comes, or any event arrives (a click on STOP); it never spins, so a program
// waiting minutes for a trigger uses no CPU to speak of.
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

namespace q24 {

class EventLoopWait {
public:
    EventLoopWait();
    ~EventLoopWait();
    // Link::Yield
    void operator()(int fd, double deadline);
    // Link::Clock: monotonic seconds.
    static double Now();
    // A Link::Yield without an event loop, for tools and tests that have none:
    // sleeps in poll() on the line until bytes come or the deadline (at most a
    // second at a time).
    static void Poll(int fd, double deadline);

private:
    std::unique_ptr<QSocketNotifier> notifier_;
    int fd_ = -1;
    QTimer timer_;
};

}  // namespace q24
