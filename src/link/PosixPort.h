#pragma once
// The line on a Linux serial device (USB adapter, built-in UART or a
// pseudo-terminal).
//
// - Raw 8N1, no handshake, no echo, no character translation; reads never
//   block (the link waits in the event loop on pollFd()).
// - Any speed up to 1000000 baud through termios2 with BOTHER (250000 is no
//   standard rate); the speed is read back from the driver and a rate the
//   driver cannot come within 3 % of counts as refused.
// - Input: every available(), takeAll() or takeErrors() moves what the driver
//   holds into our own buffer (up to kInputLimit bytes; the driver itself keeps about
//   64 KiB), so the 30000 bytes the link needs never overflow.
// - Line errors, both ways, because neither alone is enough: the driver marks
//   each bad byte in the stream (PARMRK), which keeps data and error in order
//   and also works on drivers without counters; the TIOCGICOUNT counters tell
//   the kinds apart (framing, parity, break) and are the only report of an
//   overrun, which the stream never marks. Where the counters exist they
//   decide the kinds; elsewhere a marked byte counts as a framing error (on an
//   8N1 line without parity nothing else is marked).
// - Low latency is asked of the driver (ASYNC_LOW_LATENCY: a USB adapter then
//   hands over each byte at once instead of after its 16 ms latency timer);
//   drivers that do not know it are left as they are.
// - A device that goes away (adapter unplugged: EIO, hang-up) reports an `io`
//   line error and stops being watched; re-opening it is the link's call.
//
// The kernel's termios2 header clashes with the C library's <termios.h>, so
// every ioctl of the program lives in PosixPort.cpp alone, the pseudo-terminal
// helpers below included.
#include <cstdint>
#include <string>
#include <vector>

#include "link/LineMarks.h"
#include "link/Port.h"

namespace q24 {

class PosixPort : public Port {
public:
    static constexpr std::size_t kInputLimit = 1 << 20;

    PosixPort() = default;
    ~PosixPort() override;
    PosixPort(const PosixPort&) = delete;
    PosixPort& operator=(const PosixPort&) = delete;

    bool open(const std::string& path, std::string& error) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    std::string path() const override { return path_; }
    bool setSpeed(int32_t baud) override;
    int32_t speed() const override { return speed_; }
    void discardInput() override;
    void discardOutput() override;
    bool write(std::span<const uint8_t> bytes) override;
    void drain() override;
    int pollFd() const override { return gone_ ? -1 : fd_; }

    // Whether the driver keeps error counters (TIOCGICOUNT).
    bool hasCounters() const { return counters_; }

private:
    void pump() override;
    void readCounters(bool baseline);

    int fd_ = -1;
    std::string path_;
    int32_t speed_ = 0;
    bool gone_ = false;
    bool counters_ = false;
    LineMarks marks_;
    struct Count { int frame = 0, overrun = 0, parity = 0, brk = 0, buf = 0; } last_;
};

// Pseudo-terminal helpers for the emulated units (the master side).
// Sets a descriptor to raw 8N1 with no processing (the master of a pty).
bool MakeRawLine(int fd);
// The speed the other end of a pseudo-terminal set for its line (the master
// reads the slave's settings), 0 when it cannot be read.
int32_t LineSpeedOf(int fd);
// Whether a /dev/ttyS* device has a UART behind it (not a placeholder).
bool HasUart(const std::string& path);

}  // namespace q24
