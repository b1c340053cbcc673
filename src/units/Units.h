#pragma once
// The acquisition units on the line, emulated: one state machine for the whole
// chain, fed with the bytes the PC sends and asked for the bytes the units put
// on the line by a given time. It keeps no clock of its own: whoever drives it
// (the in-memory port of the tests, the pseudo-terminal server) says what time
// it is, so tests run on a simulated clock and the server on the real one.
//
// What the units do:
// - 0xFF: every unit back to 250000 baud; commands are ignored for
//   `resetBusy` seconds while they restart.
// - Speed command 0x80 0x00 code: every unit to the coded speed at once.
// - Parameter command 0x80 0x00 0x1A: frequency, sample count, trigger mode,
//   trigger unit and edge are taken. Trigger mode 1 arms: after
//   `triggerDelay` seconds (or fireTrigger()) one byte goes out, the start
//   byte 0xFE starts the recording, and when it is complete the trigger-time
//   reply (trigger time `triggerTime`) follows. Trigger mode 0 records at once
//   and sends the same reply (time 0) when done. At 500 Hz and below the
//   units record continuously instead and answer burst requests, except for
//   a passive block (kPassiveBlock samples), recorded whole as above.
// - Trigger-time command (byte 1 = 0x0B): the value sent minus the reported
//   trigger time is the pre-trigger count; the shot lies that many samples,
//   plus kLatency and one sample, into the data that follow.
// - Data request for address a: only unit a answers, with the k-th 896-byte
//   block of its recording at the k-th request after the recording.
// - Burst request, one byte 0x80 + u: unit u (or, when no unit has that
//   number, the units in turn) answers with its next 128 samples in 448 bytes;
//   while recording continuously, a burst is sent once its samples exist.
// - Set-code 0x80 0x00 0x8B 0x7B hi lo stores hi * 128 + lo; read-code
//   0x80 0x00 0x8C answers with the code, high byte first.
// A lone byte 0x80..0xFE is a burst request once nothing has followed it for
// a few byte times; bytes that make no command are dropped.
//
// Faults on request: silent units, dropped blocks, slow units, units stuck at
// a speed (the PC then talks at another speed and both ends see garbage),
// noisy units (a loose geophone, a cable by a generator),
// units whose answers arrive damaged as over a bad cable (every 64th byte
// with its bits flipped and no stop bit), stray bytes between answers.
#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "units/Seismic.h"
#include "units/Uart.h"

namespace q24::units {

struct UnitsConfig {
    std::vector<int> addresses;  // units on the line; empty: 1 to 255
    DataKind data = DataKind::Gather;
    Spread spread;
    uint32_t seed = 1;
    double triggerDelay = 2.0;   // seconds from arming to the trigger byte; < 0: only fireTrigger()
    int32_t triggerTime = 300;   // what the trigger-time reply reports
    double replyDelay = 0;       // seconds from a request to the first byte of its answer
    bool paced = false;          // bytes take 10 bits each at the units' speed, both ways
    double resetBusy = 2.0;  // the units need about two seconds to restart
    int code = 0;                // stored unit code
    // The units' sampling clock runs this many times faster than real time,
    // so a test can take minutes of recording in seconds. 1 in the field.
    double clockScale = 1;
    // Faults.
    std::set<int> silent;                  // units that never answer
    std::map<int, std::set<int>> dropped;  // unit -> requests (0 = first) left unanswered
    std::map<int, double> slow;            // unit -> extra seconds before each answer
    int32_t stuckBaud = 0;                 // units stay at this speed whatever they are told
    std::map<int, double> noisy;           // unit -> noise added to its samples, dB of full scale (RMS)
    std::set<int> damaged;                 // units whose answers arrive with framing errors
    double strayChance = 0;                // chance of a stray byte before each answer
    // The line hangs up (the adapter vanishes) this many seconds after the
    // server starts; only the pseudo-terminal server does this.
    double hangUpAfter = 0;
};

class Units {
public:
    static constexpr double kNever = std::numeric_limits<double>::infinity();
    // The samples of one block of a passive recording.
    static constexpr int32_t kPassiveBlock = 8192;
    // The shot lies this many seconds, and one sample more, into the data
    // after the trigger-time command: the samples the program's trigger delay
    // (1500 us with no correction) skips.
    static constexpr double kLatency = 0.0015;

    explicit Units(UnitsConfig config = {});

    // Bytes the PC wrote at `pcBaud`, at time t.
    void receive(std::span<const uint8_t> bytes, int32_t pcBaud, double t);
    // Bytes the units have put on the line by time t, as a PC listening at
    // `pcBaud` reads them.
    std::vector<RxByte> transmit(double t, int32_t pcBaud);
    // Runs what is due by time t (trigger, end of recording, lone bytes).
    void advance(double t);
    // Earliest time at which something new happens or a reply completes.
    double nextEvent() const;
    // When at least `batch` more bytes (or the rest of a reply) are out.
    double nextBatch(std::size_t batch) const;
    // The hammer hits now (for a trigger delay < 0).
    void fireTrigger(double t);

    int32_t baud() const { return baud_; }
    int code() const { return config_.code; }
    const UnitsConfig& config() const { return config_; }
    UnitsConfig& config() { return config_; }
    // What the units understood, one line per command, for tests and logs.
    const std::vector<std::string>& log() const { return log_; }
    // The current recording's parameters.
    int32_t sampleCount() const { return samples_; }
    int32_t frequency() const { return freq_; }
    int triggerMode() const { return trgMode_; }
    int triggerUnit() const { return trgUnit_; }
    int edge() const { return edge_; }
    // The sample of the shot in the current recording (0 before the trigger-time command).
    int64_t shotSample() const { return zero_; }
    // Sample k of unit a in the current recording.
    int32_t sample(int unit, int64_t k) const;
    bool present(int unit) const;

private:
    enum class Mode { Idle, Armed, WaitStart, Recording, AwaitTriggerTime, Recorded, Continuous };
    struct Chunk {
        double start = 0, perByte = 0;
        int32_t baud = 0;
        bool damaged = false;
        std::vector<uint8_t> bytes;
        std::size_t sent = 0;
        double due(std::size_t i) const { return start + static_cast<double>(i + 1) * perByte; }
    };

    void parse(double t);
    void frame(const uint8_t* f, double t);
    void burst(uint8_t b, double t);
    void dataRequest(int address, double t);
    void send(std::vector<uint8_t> bytes, double t, int unit = -1);
    void newRecording(double t);
    double gap() const;
    double sampleSeconds(int64_t samples) const;  // how long recording them takes

    UnitsConfig config_;
    int32_t baud_ = 250000;
    Mode mode_ = Mode::Idle;
    double busyUntil_ = -1;
    double triggerAt_ = kNever, recordEnd_ = kNever;
    std::deque<uint8_t> rx_;
    double lastRx_ = 0, rxFreeAt_ = 0, txFreeAt_ = 0;
    std::deque<Chunk> tx_;
    int32_t freq_ = 8000, samples_ = 256;
    int trgMode_ = 0, trgUnit_ = 0, edge_ = 0;
    bool withShot_ = false;
    int64_t zero_ = 0;
    uint32_t shot_ = 0;
    uint32_t stray_ = 0;  // the stray bytes' generator
    double streamStart_ = 0;
    std::map<int, int> requests_, bursts_;
    std::size_t turn_ = 0;
    std::vector<std::string> log_;
};

// Address of a data request from its two bytes (the inverse of the request
// builder for 0..16319, except 64 + 128k with an even k >= 2, which shares
// its bytes with 64 + 128(k - 1) and is read as that).
int AddressOfRequest(uint8_t b0, uint8_t b1);

}  // namespace q24::units
