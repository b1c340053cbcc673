#pragma once
// The program's Waits: a sequence sleeps in the Qt event loop until the
// line's descriptor has bytes (a QSocketNotifier), its deadline comes (a
// precise QTimer on the monotonic clock) or it is woken. It never spins and
// never runs the event loop itself: the sequence is suspended and the loop
// resumes it, so a program armed for minutes uses no CPU to speak of, and a
// click is handled by the one event loop, never inside a wait.
#include <QCoreApplication>
#include <QObject>
#include <exception>
#include <list>
#include <memory>
#include <optional>
#include <vector>

#include "link/Waits.h"
#include "state/Task.h"

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
    std::vector<std::unique_ptr<Sleeper>> spare_;
};

// Runs `task` in the application's event loop until it has ended and returns
// its result: for tools, benchmarks and tests whose whole work is one sequence.
template <class T>
T RunInEventLoop(Task<T> task) {
    std::optional<T> out;
    std::exception_ptr error;
    bool done = false;
    Spawn(Call([&, t = &task]() -> Task<void> {
              out.emplace(co_await std::move(*t));
              done = true;
              QCoreApplication::exit(0);
          }),
          [&](const std::exception_ptr& e) {
              if (e) error = e, done = true, QCoreApplication::exit(0);
          });
    if (!done) QCoreApplication::exec();
    if (error) std::rethrow_exception(error);
    return std::move(*out);
}

}  // namespace q24
