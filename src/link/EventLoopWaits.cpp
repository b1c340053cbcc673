#include "link/EventLoopWaits.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace q24 {

// One pending sleep. Its timer and notifier are deleted later, never inside
// their own signal.
struct EventLoopWaits::Sleeper {
    std::coroutine_handle<> handle;
    QSocketNotifier* notifier = nullptr;
    QTimer* timer = new QTimer;
    ~Sleeper() {
        timer->stop();
        timer->disconnect();
        timer->deleteLater();
        if (notifier) {
            notifier->setEnabled(false);
            notifier->disconnect();
            notifier->deleteLater();
        }
    }
};

EventLoopWaits::EventLoopWaits() = default;

EventLoopWaits::~EventLoopWaits() = default;

double EventLoopWaits::Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void EventLoopWaits::sleep(int fd, double deadline, std::coroutine_handle<> h) {
    auto owned = std::make_unique<Sleeper>();
    Sleeper* s = owned.get();
    s->handle = h;
    s->timer->setSingleShot(true);
    s->timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(s->timer, &QTimer::timeout, this, [this, s] { resume(s); });
    if (fd >= 0) {
        s->notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
        QObject::connect(s->notifier, &QSocketNotifier::activated, this, [this, s] { resume(s); });
    }
    const double left = deadline - Now();
    if (!(left > 0)) s->timer->start(0);
    else if (std::isfinite(left)) s->timer->start(static_cast<int>(std::min(std::ceil(left * 1000.0), 3600000.0)));
    else if (fd < 0) s->timer->start(3600000);  // nothing to wake it but wake(): look again in an hour
    sleepers_.push_back(std::move(owned));
}

void EventLoopWaits::resume(Sleeper* s) {
    auto it = std::find_if(sleepers_.begin(), sleepers_.end(), [s](const auto& p) { return p.get() == s; });
    if (it == sleepers_.end()) return;
    // The sleeper goes before the sequence runs on: it may sleep again at once.
    const std::coroutine_handle<> h = (*it)->handle;
    sleepers_.erase(it);
    h.resume();
}

void EventLoopWaits::wake() {
    for (auto& s : sleepers_) s->timer->start(0);
}

}  // namespace q24
