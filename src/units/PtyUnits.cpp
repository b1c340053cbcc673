#include "units/PtyUnits.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "link/PosixPort.h"

namespace q24::units {

// Bytes written to the line at a time when paced: few enough wake-ups for
// both ends, small enough that a block still arrives as it leaves the units.
constexpr std::size_t kBatch = 224;

PtyUnits::PtyUnits(UnitsConfig config) : units_(std::move(config)) {}

PtyUnits::~PtyUnits() {
    stop();
    for (int fd : {master_, slave_, wake_[0], wake_[1]})
        if (fd >= 0) ::close(fd);
}

double PtyUnits::now() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool PtyUnits::open(std::string& error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = std::strerror(errno);
        return false;
    }
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        error = std::strerror(errno);
        return false;
    }
    path_ = name;
    // Our own hold on the far end: the line stays up while the PC closes and
    // re-opens it, and it starts raw (no echo of the units' bytes).
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0 || !MakeRawLine(slave_) || !MakeRawLine(master_) || pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

void PtyUnits::run() {
    prctl(PR_SET_TIMERSLACK, 1UL);  // wake on time: the pacing is in microseconds
    uint8_t buf[4096];
    const double hangUp = units_.config().hangUpAfter > 0 ? now() + units_.config().hangUpAfter : Units::kNever;
    while (!stop_) {
        if (now() >= hangUp) {
            // The adapter vanishes: the PC's end reads a hang-up from now on.
            ::close(master_);
            master_ = -1;
            pollfd p{wake_[0], POLLIN, 0};
            while (!stop_) ::poll(&p, 1, 100);
            break;
        }
        double wake;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            const double t = now();
            const int32_t pc = LineSpeedOf(master_);
            if (pc > 0) {
                for (const RxByte& b : units_.transmit(t, pc)) pending_.push_back(b.value);
            }
            wake = std::min(units_.nextBatch(kBatch), hangUp);
        }
        while (!pending_.empty()) {
            const ssize_t n = ::write(master_, pending_.data(), pending_.size());
            if (n <= 0) break;
            pending_.erase(pending_.begin(), pending_.begin() + n);
        }
        pollfd p[2] = {{master_, static_cast<short>(POLLIN | (pending_.empty() ? 0 : POLLOUT)), 0},
                       {wake_[0], POLLIN, 0}};
        timespec ts{};
        timespec* timeout = nullptr;
        if (wake < Units::kNever) {
            const double d = std::max(0.0, wake - now());
            ts.tv_sec = static_cast<time_t>(d);
            ts.tv_nsec = static_cast<long>((d - std::floor(d)) * 1e9);
            timeout = &ts;
        }
        if (ppoll(p, 2, timeout, nullptr) < 0 && errno != EINTR) break;
        if (p[1].revents) break;
        if (p[0].revents & POLLIN) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) {
                std::lock_guard<std::mutex> lock(mutex_);
                const int32_t pc = LineSpeedOf(master_);
                units_.receive({buf, static_cast<std::size_t>(n)}, pc > 0 ? pc : units_.baud(), now());
            }
        }
    }
}

void PtyUnits::start() {
    stop_ = false;
    thread_ = std::thread([this] { run(); });
}

void PtyUnits::stop() {
    stop_ = true;
    if (wake_[1] >= 0) {
        const char c = 1;
        (void)::write(wake_[1], &c, 1);
    }
    if (thread_.joinable()) thread_.join();
}

}  // namespace q24::units
