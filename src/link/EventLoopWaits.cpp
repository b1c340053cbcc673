#include "link/EventLoopWaits.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace q24 {

// One sleep. Sleepers are kept for the next sleep once woken: a block read
// sleeps a few times per block, and the line's descriptor stays the same.
struct EventLoopWaits::Sleeper {
    std::coroutine_handle<> handle;
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer timer;
};

EventLoopWaits::EventLoopWaits() = default;

EventLoopWaits::~EventLoopWaits() = default;

double EventLoopWaits::Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void EventLoopWaits::sleep(int fd, double deadline, std::coroutine_handle<> h) {
    std::unique_ptr<Sleeper> owned;
    if (!spare_.empty()) {
        owned = std::move(spare_.back());
        spare_.pop_back();
    } else {
        owned = std::make_unique<Sleeper>();
        Sleeper* s = owned.get();
        s->timer.setSingleShot(true);
        s->timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&s->timer, &QTimer::timeout, this, [this, s] { resume(s); });
    }
    Sleeper* s = owned.get();
    s->handle = h;
    if (fd != s->fd) {
        // Not deleted here: this may run inside that notifier's own signal.
        if (s->notifier) {
            s->notifier->setEnabled(false);
            s->notifier->disconnect();
            s->notifier.release()->deleteLater();
        }
        s->fd = fd;
        if (fd >= 0) {
            s->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
            QObject::connect(s->notifier.get(), &QSocketNotifier::activated, this, [this, s] { resume(s); });
        }
    }
    if (s->notifier) s->notifier->setEnabled(true);
    const double left = deadline - Now();
    if (!(left > 0)) s->timer.start(0);
    else if (std::isfinite(left)) s->timer.start(static_cast<int>(std::min(std::ceil(left * 1000.0), 3600000.0)));
    else if (fd < 0) s->timer.start(3600000);  // nothing to wake it but wake(): look again in an hour
    sleepers_.push_back(std::move(owned));
}

void EventLoopWaits::resume(Sleeper* s) {
    auto it = std::find_if(sleepers_.begin(), sleepers_.end(), [s](const auto& p) { return p.get() == s; });
    if (it == sleepers_.end()) return;
    s->timer.stop();
    if (s->notifier) s->notifier->setEnabled(false);
    const std::coroutine_handle<> h = std::exchange(s->handle, {});
    // Kept, not deleted: this runs inside the sleeper's own signal.
    spare_.push_back(std::move(*it));
    sleepers_.erase(it);
    h.resume();
}

void EventLoopWaits::wake() {
    for (auto& s : sleepers_) s->timer.start(0);
}

}  // namespace q24
