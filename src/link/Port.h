#pragma once
// The serial line to the units, as the link sees it. PosixPort drives a real
// device; the emulated units provide an in-memory one for tests. Line format
// is always 8 data bits, no parity, one stop bit, no handshake; only the speed
// changes.
//
// Reception is pulled, not pushed: available(), takeAll() and takeErrors()
// first collect what the driver holds (pump(): into the input buffer and the
// error counts every port keeps here), so a caller that waits for N bytes
// asks available() after each wake-up. pollFd() is the descriptor to watch
// for "something arrived" (-1 when there is none to watch, e.g. in-memory or
// after the device went away); the link's wait hands it to the event loop.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace q24 {

// Line errors seen since the last takeErrors(), by kind.
struct LineErrors {
    uint32_t framing = 0;
    uint32_t overrun = 0;    // the UART lost bytes
    uint32_t parity = 0;
    uint32_t breaks = 0;
    uint32_t bufferOverflow = 0;  // the driver's or our input buffer was full
    uint32_t io = 0;         // the device failed (unplugged adapter: EIO, hang-up)
    bool any() const { return framing || overrun || parity || breaks || bufferOverflow || io; }
    // Adds these counts to the same-named ones of `to` (LineErrors, the
    // link's counters).
    template <class Counts>
    void addTo(Counts& to) const {
        to.framing += framing;
        to.overrun += overrun;
        to.parity += parity;
        to.breaks += breaks;
        to.bufferOverflow += bufferOverflow;
        to.io += io;
    }
};

class Port {
public:
    virtual ~Port() = default;

    // What open() says when another program holds the device.
    static constexpr const char* kInUse = "in use by another program";

    // Opens the device at `path` for this program alone; on failure returns
    // false and says why (kInUse when another program holds it).
    virtual bool open(const std::string& path, std::string& error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual std::string path() const = 0;

    // Sets both directions to `baud` (any rate up to 1000000); false when the
    // driver refuses it. speed() is the rate read back from the driver.
    virtual bool setSpeed(int32_t baud) = 0;
    virtual int32_t speed() const = 0;

    virtual void discardInput() = 0;
    virtual void discardOutput() = 0;
    // Queues bytes for sending; false when the device refused them.
    virtual bool write(std::span<const uint8_t> bytes) = 0;
    // Returns once every byte written has left the port.
    virtual void drain() = 0;

    std::size_t available() {
        pump();
        return in_.size();
    }
    std::vector<uint8_t> takeAll() {
        pump();
        return std::exchange(in_, {});
    }
    LineErrors takeErrors() {
        pump();
        return std::exchange(errors_, {});
    }
    virtual int pollFd() const { return -1; }

protected:
    // Moves what the device holds into in_ and its line errors into errors_.
    virtual void pump() = 0;

    std::vector<uint8_t> in_;  // received, not yet taken
    LineErrors errors_;
};

}  // namespace q24
