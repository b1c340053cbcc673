#pragma once
// The unit link: the senders, readers, speed changes and reset that the rest
// of the program uses to talk to the acquisition units. Every operation that
// waits is a Task: it suspends on the Waits given at construction (port
// bytes, a deadline, a wake-up) and never runs the event loop itself.
//
// How callers use it (results are 1 = done, 0 = failed unless said otherwise;
// lastEnd() says how the last read ended):
//
//   Start-up:     co_await link.Open_port()   (the port dialog's Continue)
//                 link.Send_parameters(...)   co_await link.Reset_units()
//   Trigger shot: link.Send_parameters(Trigger_unit, N_samples, Sampling_freq, 0, 1, Trg_opening, Passive_mode);
//                 co_await link.Wait_trigger_byte()    // 1 the byte, 0 stopped or cancelled
//                 link.Send_start();
//                 r = co_await link.Read_trigger_time(60);   // 1 reply (Trg_time set), 255 time-out, 0 stopped
//                 link.Send_trigger_time();         // 0 after "Trigger error"
//                 per channel: co_await link.Read_block(Ch_param[ch], N_samples, s.Stop_flag, s.Use_timeout)
//                   or below 501 Hz co_await link.Read_burst(unit, s.Stop_flag, s.Use_timeout);
//                 the trace is then in s.Traccia; on 0, link.Reopen_port().
//   Running:      co_await link.Read_trigger_time(Running_N / Sampling_freq + 0.5) per sweep, then
//                 Read_block / Read_burst_running per channel.
//   Timed:        co_await link.Set_baud(Baud_rate_high); Send_parameters(..., 1, ...); Read_burst per
//                 channel and block.
//   Any abort:    co_await link.Reset_units()  (about 4 s).
//   Code dialog:  link.Write_unit_code(); code = co_await link.Read_unit_code();
//
// Line errors belong to the read that saw them: every request starts with the
// flags (Link_error, Framing_err, Comm_error) clear and the port's earlier
// marks counted but not held against it; a time-out never raises a framing
// error. Stops: Stop_req == 1 ends Wait_trigger_byte, Read_trigger_time and
// Read_code_reply at once; Stop_flag makes the next block of Read_block
// abandon (and ends a block or burst wait at once). A cancellation (Waits)
// ends every wait at once: the read reports Cancelled, counts nothing and
// sends nothing more.
//
// The link reports; it does not touch menus, timers or the status text. It
// shows the line's speed ("Br= " + speed in Baudrate_lbl) and says "This
// baude rate is Impossible " and "Trigger error".
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "link/Port.h"
#include "link/PortMap.h"
#include "state/Task.h"
#include "link/Waits.h"
#include "state/Panel.h"
#include "state/State.h"

namespace q24 {

// What the link has done since it was made: for diagnosing a field problem.
struct LinkCounters {
    uint64_t bytesOut = 0, bytesIn = 0;
    uint64_t commands = 0, blocks = 0, bursts = 0, timeouts = 0, cancelled = 0, resets = 0;
    uint64_t framing = 0, overrun = 0, parity = 0, breaks = 0, bufferOverflow = 0, io = 0;
};

// How a read (or a wait for the units) ended.
enum class ReadEnd { Ok, Timeout, LineError, Stopped, Cancelled };

class Link {
public:
    static constexpr double kNever = Waits::kNever;

    Link(State& s, Panel& panel, Port& port, PortMap& ports, Waits& waits);

    // ---- Port and speed
    void Send_bytes(std::span<const uint8_t> bytes);
    // Sets the PC side's speed once the bytes already written have left;
    // 1 done, 0 refused by the driver.
    int Set_pc_baud(int32_t rate);
    // Opens COM `Com_port` at 250000 and moves units and PC to Baud_rate.
    // 0 (with a message) when the number has no device or it cannot be opened.
    Task<int> Open_port();
    // Opens COM `Com_port` only; "" or why it could not be (the device is
    // missing, in use by another program, not accessible).
    std::string OpenDevice();
    // Why the last Open_port failed ("" after one that worked).
    const std::string& openError() const { return openError_; }
    // After a unit failed during reception: closes and re-opens the port in
    // place and empties it; the PC goes back to the speed it was at.
    void Reopen_port();
    // Speed command to the units at the old speed, about a second, then the PC.
    // 1 done, 0 cancelled before the PC followed.
    Task<int> Set_baud(int32_t rate, bool exact = false);
    // Units and PC back to 250000, then to Baud_rate: 1 when it ran, 0 when
    // it was refused (one is running already). When the program is ending it
    // only sends the reset byte, so the units stop recording at once.
    // `quick`, for a caller that knows no unit is still sending: the byte goes
    // at once, and the restart (2 s) and the speed change (1 s) are waited
    // exactly rather than by the whole-second rule.
    Task<int> Reset_units(bool quick = false);

    // ---- Commands
    void Send_parameters(int trigger_unit, int32_t n_samples, int32_t sampling_freq, int arg4, int trg_mode,
                         int trg_opening, bool arg7);
    void Send_start();
    int Send_trigger_time();  // Trg_time += N_pretrigger first; 0 after "Trigger error"
    void Write_unit_code();         // set-code with Unit_code
    Task<int32_t> Read_unit_code(); // read-code, then Read_code_reply

    // ---- Reception
    // The receive handler: line errors into Comm_error / Framing_err; once the
    // receive threshold is reached, every buffered byte into Rx_buffer and
    // Rx_done set.
    void OnComm();
    // Waits for the block after its request; `limit` counts when timeout_on.
    Task<ReadEnd> Wait_block(bool timeout_on, double limit);
    // 1 with the samples in Traccia; 0 otherwise (lastEnd() says why). A
    // Stopped end has seen Stop_flag: the caller resets the units.
    Task<int> Read_block(int address, int32_t n, bool abandon, bool timeout_on);
    Task<int> Read_burst(int unit, bool abandon, bool timeout_on);
    Task<int> Read_burst_running(int unit, bool abandon, bool timeout_on);
    // 1 the trigger byte came, 0 stopped or cancelled.
    Task<int> Wait_trigger_byte();
    // 1 reply (Trg_time set), 255 time-out, 0 stopped (the "empty" result).
    Task<int> Read_trigger_time(double timeout_s);
    Task<int32_t> Read_code_reply();  // the code, 0 on time-out or stop
    // One data request for `address` and whatever the line brings back for
    // it: silence when no byte came within `limit` seconds of the request;
    // otherwise the bytes until the block is whole and the line has been
    // quiet for `quiet` seconds (a second answer is taken in, not left for
    // the next request), or, for a block cut short, until `tail` seconds
    // past its first byte's block wire time with the line quiet; never
    // longer than `limit` + two blocks' wire time + `tail`.
    // `before` counts the bytes that were waiting before the request (a late
    // or extra answer to an earlier one); they are thrown away.
    struct ProbeReply {
        ReadEnd end = ReadEnd::Ok;  // Ok, Cancelled, or LineError for an address no request carries
        std::vector<uint8_t> bytes;
        bool lineErrors = false;  // framing, parity, overrun or break marks during the answer
        std::size_t before = 0;
        bool errorsBefore = false;
    };
    Task<ProbeReply> Probe_block(int address, double limit, double quiet, double tail);
    ReadEnd lastEnd() const { return lastEnd_; }

    // An acquisition's start: receive threshold 0, input (and output) emptied.
    void ClearBuffers(bool output);

    // ---- Port dialog
    // Opens and closes each of COM1..16: Port_list(n) = n for those that open.
    void ProbePorts();
    // " COM" + n and its device, one line per port found.
    std::string PortListText() const;

    const LinkCounters& counters() const { return counters_; }
    Port& port() { return port_; }
    PortMap& ports() { return ports_; }
    double now() const { return waits_.now(); }
    Waits& waits() { return waits_; }
    bool cancelled() const { return waits_.cancelled(); }
    // The adapter vanished (a hang-up, an I/O error) since the port was last
    // opened: nothing will come from it until it is opened again.
    bool lineLost() const { return lostShown_; }
    bool resetting() const { return resetting_; }
    int32_t pcSpeed() const { return pcBaud_; }

private:
    int32_t WorkingBaud() const;
    // Whole-second wait rule, ends at or past the limit (and, `atLeast`, not
    // before `seconds` have passed; `exact`, `seconds` from now); false when
    // cancelled.
    Task<bool> waitSeconds(double seconds, bool atLeast = false, bool exact = false);
    void pollLine(bool raiseFlags = true);  // line errors into the counters and the flags
    void startClean();                 // before a request: old flags and marks do not count
    void showSpeed(int32_t rate);
    bool portUsable();
    int end(ReadEnd e, int result);    // notes how a read ended
    // A reply: how its wait ended and, on Ok, every byte buffered.
    struct Reply {
        ReadEnd end;
        std::vector<uint8_t> bytes = {};
    };
    // Waits until `count` bytes are buffered and takes them; Ok, Timeout
    // (past `limit`), Stopped (Stop_req), LineError (the device is gone) or
    // Cancelled.
    Task<Reply> readReply(std::size_t count, double limit);
    Task<int> readBurst(uint8_t request, double limit, bool timeout_on, bool running);

    State& s_;
    Panel& panel_;
    Port& port_;
    PortMap& ports_;
    Waits& waits_;
    ReadEnd lastEnd_ = ReadEnd::Ok;
    std::string openError_;
    LinkCounters counters_;
    int32_t threshold_ = 0;  // receive threshold in bytes, 0 = none
    int32_t pcBaud_ = 250000;
    int openNumber_ = 0;
    bool resetting_ = false;
    bool lostShown_ = false;
};

}  // namespace q24
