#pragma once
// The unit link: the senders, readers, speed changes and reset that the rest
// of the program uses to talk to the acquisition units. One thread; every
// wait hands control to the event loop through the `Yield` given at
// construction and re-tests its flags and the clock when it comes back.
//
// How callers use it (results are 1 = done, 0 = failed unless said otherwise):
//
//   Start-up:     link.Open_port()            (the port dialog's Continue)
//                 link.Send_parameters(...)   link.Reset_units()
//   Trigger shot: link.Send_parameters(Trigger_unit, N_samples, Sampling_freq, 0, 1, Trg_opening, Passive_mode);
//                 while (!link.Wait_trigger_byte()) { if (s.Stop_req == 1) ...abort... }
//                 link.Send_start();
//                 r = link.Read_trigger_time(60);   // 1 reply (Trg_time set), 255 time-out, 0 stopped
//                 link.Send_trigger_time();         // 0 after "Trigger error"
//                 per channel: link.Read_block(Ch_param[ch], N_samples, s.Stop_flag, s.Use_timeout)
//                   or below 501 Hz link.Read_burst(unit, s.Stop_flag, s.Use_timeout);
//                 the trace is then in s.Traccia; on 0, link.Reopen_port().
//   Running:      link.Read_trigger_time(Running_N / Sampling_freq + 0.5) per sweep, then
//                 Read_block / Read_burst_running per channel; s.Link_error and
//                 s.Framing_err tell a framing failure from others.
//   Timed:        link.Set_baud(Baud_rate_high); Send_parameters(..., 1, ...); Read_burst per
//                 channel and block.
//   Any abort:    link.Reset_units()  (about 4 s, event loop running, menus disabled).
//   Code dialog:  link.Write_unit_code(); code = link.Read_unit_code();
//
// Flags in State: Rx_done, Comm_error, Framing_err (set by OnComm, the receive
// handler), Link_error (set by Read_block on a line error), Rx_buffer (the
// bytes of the last receive). Stops: Stop_req == 1 ends Wait_trigger_byte,
// Read_trigger_time and Read_code_reply at once; Stop_flag makes the next
// block of Read_block abandon (and ends a block or burst wait at once).
//
// Messages and labels it shows: "Br= " + speed in Baudrate_lbl, "This baude
// rate is Impossible ", "R E S E T ....." in testo during a reset, "TIMEOUT"
// in testo, "Trigger error".
#include <cstdint>
#include <functional>
#include <limits>
#include <span>
#include <string>

#include "link/Port.h"
#include "link/PortMap.h"
#include "state/Panel.h"
#include "state/State.h"

namespace q24 {

// What the link has done since it was made: for diagnosing a field problem.
struct LinkCounters {
    uint64_t bytesOut = 0, bytesIn = 0;
    uint64_t commands = 0, blocks = 0, bursts = 0, timeouts = 0;
    uint64_t framing = 0, overrun = 0, parity = 0, breaks = 0, bufferOverflow = 0, io = 0;
};

class Link {
public:
    // Monotonic seconds.
    using Clock = std::function<double()>;
    // Runs the event loop until something happens: bytes readable on `fd`
    // (when fd >= 0), the clock reaching `deadline` (infinity: none), or any
    // other event (a click on STOP). A deadline already reached only runs the
    // events that are pending.
    using Yield = std::function<void(int fd, double deadline)>;
    static constexpr double kNever = std::numeric_limits<double>::infinity();

    Link(State& s, Panel& panel, Port& port, PortMap& ports, Clock clock, Yield yield);

    // ---- Port and speed
    void Send_bytes(std::span<const uint8_t> bytes);
    // Sets the PC side's speed once the bytes already written have left;
    // 1 done, 0 refused by the driver.
    int Set_pc_baud(int32_t rate);
    // Opens COM `Com_port` at 250000 and moves units and PC to Baud_rate.
    // 0 (with a message) when the number has no device or it cannot be opened.
    int Open_port();
    // After a unit failed during reception: closes and re-opens the port in
    // place and empties it; the PC goes back to the speed it was at.
    void Reopen_port();
    // Speed command to the units at the old speed, about a second, then the PC.
    void Set_baud(int32_t rate);
    // Units and PC back to 250000, then to Baud_rate. A reset asked for while
    // one is running is refused.
    void Reset_units();

    // ---- Commands
    void Send_parameters(int trigger_unit, int32_t n_samples, int32_t sampling_freq, int arg4, int trg_mode,
                         int trg_opening, bool arg7);
    void Send_start();
    int Send_trigger_time();  // Trg_time += N_pretrigger first; 0 after "Trigger error"
    void Write_unit_code();   // set-code with Unit_code
    int32_t Read_unit_code(); // read-code, then Read_code_reply

    // ---- Reception
    // The receive handler: line errors into Comm_error / Framing_err; once the
    // receive threshold is reached, every buffered byte into Rx_buffer and
    // Rx_done set.
    void OnComm();
    enum class WaitEnd { Received, LineError, Timeout, Stopped };
    // Waits for the block after its request; `limit` counts when timeout_on.
    WaitEnd Wait_block(bool timeout_on, double limit);
    int Read_block(int address, int32_t n, bool abandon, bool timeout_on);
    int Read_burst(int unit, bool abandon, bool timeout_on);
    int Read_burst_running(int unit, bool abandon, bool timeout_on);
    int Wait_trigger_byte();
    // 1 reply (Trg_time set), 255 time-out, 0 stopped (the "empty" result).
    int Read_trigger_time(double timeout_s);
    int32_t Read_code_reply();  // the code, 0 on time-out or stop

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
    double now() const { return clock_(); }
    bool resetting() const { return resetting_; }
    int32_t pcSpeed() const { return pcBaud_; }

private:
    int32_t WorkingBaud() const;
    void waitSeconds(double seconds);  // whole-second wait rule, ends at or past the limit
    void pollLine(bool raiseFlags = true);  // line errors into the counters and the flags
    void startClean();                 // before a request: old line errors do not count
    void showSpeed(int32_t rate);
    bool portUsable();
    int abandonRead();  // Stop_flag seen by a block read: timers off, PARAMETERS on, reset
    int readBurst(uint8_t request, double limit, bool timeout_on, bool running);

    State& s_;
    Panel& panel_;
    Port& port_;
    PortMap& ports_;
    Clock clock_;
    Yield yield_;
    LinkCounters counters_;
    int32_t threshold_ = 0;  // receive threshold in bytes, 0 = none
    int32_t pcBaud_ = 250000;
    int openNumber_ = 0;
    bool resetting_ = false;
    bool lostShown_ = false;
};

}  // namespace q24
