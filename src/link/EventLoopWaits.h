#pragma once
// The program's Waits: a sequence sleeps in the Qt event loop until the
// line's descriptor has bytes (a QSocketNotifier), its deadline comes (a
// precise QTimer on the monotonic clock) or it is woken. It never spins and
// never runs the event loop itself: the sequence is suspended and the loop
// resumes it, so a program armed for minutes uses no CPU to speak of, and a
// click is handled by the one event loop, never inside a wait.
#include <QObject>
#include <list>
#include <memory>

#include "link/Waits.h"

class QSocketNotifier;
class QTimer;

namespace q24 {

class EventLoopWaits : public QObject, public Waits {
public:
    EventLoopWaits();
    ~EventLoopWaits() override;

    double now() const override { return Now(); }
    void sleep(int fd, double deadline, std::coroutine_handle<> h) override;
    void wake() override;

    // Monotonic seconds.
    static double Now();

private:
    struct Sleeper;
    void resume(Sleeper* s);
    std::list<std::unique_ptr<Sleeper>> sleepers_;
};

}  // namespace q24
