// Every ioctl of the serial line lives here: <asm/termbits.h> (termios2,
// BOTHER) cannot share a translation unit with the C library's <termios.h>.
#include "link/PosixPort.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace q24 {

namespace {

bool GetLine(int fd, termios2& t) { return ioctl(fd, TCGETS2, &t) == 0; }
bool SetLine(int fd, const termios2& t) { return ioctl(fd, TCSETS2, &t) == 0; }

void Raw(termios2& t, bool markErrors) {
    // PARMRK with INPCK: bytes with framing or parity errors arrive marked
    // (0xFF 0x00 byte), a data 0xFF doubled; no BRKINT (a break is data, not a
    // signal), no IGNPAR/IGNBRK (we want to hear of them).
    t.c_iflag = markErrors ? (INPCK | PARMRK) : 0;
    t.c_oflag = 0;
    t.c_lflag = 0;
    t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

}  // namespace

PosixPort::~PosixPort() { close(); }

bool PosixPort::open(const std::string& path, std::string& error) {
    close();
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EBUSY) error = kInUse;
        else if (errno == EACCES || errno == EPERM)
            error = std::string(std::strerror(errno)) +
                    "; serial devices belong to the dialout group: add your user to it "
                    "(sudo usermod -aG dialout $USER) and log in again";
        else error = std::strerror(errno);
        return false;
    }
    // One program on a line: an advisory lock that every program of ours
    // takes, and the driver's exclusive mode, which refuses later opens by
    // anyone else (but root).
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? kInUse : std::strerror(errno);
        ::close(fd);
        return false;
    }
    termios2 t{};
    if (!GetLine(fd, t)) {
        error = "not a serial device";
        ::close(fd);
        return false;
    }
    Raw(t, true);
    if (!SetLine(fd, t)) {
        error = std::strerror(errno);
        ::close(fd);
        return false;
    }
    serial_struct ss{};
    if (ioctl(fd, TIOCGSERIAL, &ss) == 0 && !(ss.flags & ASYNC_LOW_LATENCY)) {
        ss.flags |= ASYNC_LOW_LATENCY;
        (void)ioctl(fd, TIOCSSERIAL, &ss);  // refused by some drivers; harmless
    }
    (void)ioctl(fd, TIOCEXCL);
    fd_ = fd;
    path_ = path;
    gone_ = false;
    speed_ = static_cast<int32_t>(t.c_ospeed);
    in_.clear();
    marks_.reset();
    errors_ = {};
    readCounters(true);
    ioctl(fd_, TCFLSH, TCIOFLUSH);
    return true;
}

void PosixPort::close() {
    if (fd_ >= 0) {
        (void)ioctl(fd_, TIOCNXCL);
        ::close(fd_);  // the lock goes with the descriptor
    }
    fd_ = -1;
    in_.clear();
    marks_.reset();
}

bool PosixPort::setSpeed(int32_t baud) {
    if (fd_ < 0 || baud <= 0 || baud > 4000000) return false;
    termios2 t{};
    if (!GetLine(fd_, t)) return false;
    t.c_cflag &= ~CBAUD;
    t.c_cflag |= BOTHER;
    t.c_cflag &= ~(CBAUD << IBSHIFT);
    t.c_cflag |= BOTHER << IBSHIFT;
    t.c_ispeed = t.c_ospeed = static_cast<speed_t>(baud);
    if (!SetLine(fd_, t)) return false;
    termios2 back{};
    if (!GetLine(fd_, back)) return false;
    speed_ = static_cast<int32_t>(back.c_ospeed);
    return std::abs(static_cast<double>(speed_) - baud) <= 0.03 * baud;
}

void PosixPort::discardInput() {
    if (fd_ >= 0) ioctl(fd_, TCFLSH, TCIFLUSH);
    in_.clear();
    marks_.reset();
}

void PosixPort::discardOutput() {
    if (fd_ >= 0) ioctl(fd_, TCFLSH, TCOFLUSH);
}

bool PosixPort::write(std::span<const uint8_t> bytes) {
    if (fd_ < 0 || gone_) return false;
    std::size_t done = 0;
    int stalls = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && stalls++ < 20) {
            // Output queue full: wait for room, at most about 2 seconds.
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 100);
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            gone_ = true;
            ++errors_.io;
        }
        return false;
    }
    return true;
}

void PosixPort::drain() {
    if (fd_ >= 0 && !gone_) ioctl(fd_, TCSBRK, 1);  // tcdrain
}

void PosixPort::pump() {
    if (fd_ < 0 || gone_) return;
    uint8_t buf[8192];
    std::size_t marked = 0;
    for (;;) {
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) {
            marked += marks_.decode({buf, static_cast<std::size_t>(n)}, in_);
            if (in_.size() > kInputLimit) {
                // Nobody is reading: keep the oldest bytes, report the loss.
                in_.resize(kInputLimit);
                ++errors_.bufferOverflow;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) break;
        if (n < 0) {  // EIO and friends: the device is gone
            gone_ = true;
            ++errors_.io;
            break;
        }
        // 0: nothing there, or a hang-up (a vanished adapter reads as end of file).
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
            gone_ = true;
            ++errors_.io;
        }
        break;
    }
    if (counters_) readCounters(false);
    else errors_.framing += static_cast<uint32_t>(marked);
}

void PosixPort::readCounters(bool baseline) {
    serial_icounter_struct c{};
    if (ioctl(fd_, TIOCGICOUNT, &c) != 0) {
        counters_ = false;
        return;
    }
    counters_ = true;
    if (!baseline) {
        auto grow = [](int now, int before) { return static_cast<uint32_t>(now > before ? now - before : 0); };
        errors_.framing += grow(c.frame, last_.frame);
        errors_.overrun += grow(c.overrun, last_.overrun);
        errors_.parity += grow(c.parity, last_.parity);
        errors_.breaks += grow(c.brk, last_.brk);
        errors_.bufferOverflow += grow(c.buf_overrun, last_.buf);
    }
    last_ = {c.frame, c.overrun, c.parity, c.brk, c.buf_overrun};
}

bool MakeRawLine(int fd) {
    termios2 t{};
    if (!GetLine(fd, t)) return false;
    Raw(t, false);
    return SetLine(fd, t);
}

int32_t LineSpeedOf(int fd) {
    termios2 t{};
    return GetLine(fd, t) ? static_cast<int32_t>(t.c_ospeed) : 0;
}

bool HasUart(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    serial_struct ss{};
    const bool real = ioctl(fd, TIOCGSERIAL, &ss) == 0 && ss.type != PORT_UNKNOWN;
    ::close(fd);
    return real;
}

}  // namespace q24
