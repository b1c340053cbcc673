#include "link/EventLoopWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <cmath>
#include <poll.h>

namespace q24 {

EventLoopWait::EventLoopWait() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
}

EventLoopWait::~EventLoopWait() = default;

double EventLoopWait::Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void EventLoopWait::operator()(int fd, double deadline) {
    const double now = Now();
    if (!(deadline > now)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    if (fd != fd_) {
        notifier_.reset();
        fd_ = fd;
        if (fd >= 0) notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    }
    if (notifier_) notifier_->setEnabled(true);
    if (std::isfinite(deadline)) {
        const double ms = std::ceil((deadline - now) * 1000.0);
        timer_.start(static_cast<int>(std::min(ms, 3600000.0)));
    }
    // Sleeps until something arrives, handles it, returns.
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    timer_.stop();
    if (notifier_) notifier_->setEnabled(false);
}

void EventLoopWait::Poll(int fd, double deadline) {
    const double left = deadline - Now();
    const int ms = !(left > 0) ? 0 : static_cast<int>(std::ceil(std::min(left, 1.0) * 1000));
    pollfd p{fd, POLLIN, 0};
    poll(&p, fd >= 0 ? 1 : 0, ms);
}

}  // namespace q24
