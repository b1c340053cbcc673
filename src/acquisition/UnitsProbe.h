#pragma once
// FIND UNITS: which unit numbers answer on the line. The probe uses only what
// the units do in every acquisition:
//
//   1. one short recording with trigger mode 0 (the parameter command as
//      running mode sends it: 256 samples at 32000 Hz), awaiting its 4-byte
//      end-of-recording reply;
//   2. one data request per unit number 1 to 125 (the numbers a burst
//      request can also carry: 0x80 + 126 and 0x80 + 127 are the start and
//      reset bytes), each answered by that unit alone with the first
//      896-byte block of the recording;
//   3. a units reset, so they end idle at the working speed, as after the
//      start-up.
//
// Nothing is stored in the units: no code, no speed of their own, no armed
// trigger. Each number is asked once. It is silent when no byte has come by
// the wire time of the request and of a whole block plus kAnswerLatency, so a
// unit whose answer starts up to a block's time late is still found; once a
// block comes it is awaited whole, and the line must then stay quiet for a
// moment, so a second answer to the same request is seen as such and never
// taken for the next number's.
#include <string>
#include <vector>

#include "link/LineOwner.h"
#include "link/Link.h"
#include "state/Panel.h"
#include "state/State.h"
#include "state/Task.h"

namespace q24 {

enum class UnitAnswer { Answered, LineErrors, Silent };

struct FoundUnit {
    int address = 0;
    UnitAnswer answer = UnitAnswer::Answered;
    std::string why;  // with line errors: "framing or parity errors", "short block", ...
    friend bool operator==(const FoundUnit&, const FoundUnit&) = default;
};

struct ProbeResult {
    std::vector<FoundUnit> units;  // the numbers that answered, ascending
    bool complete = false;         // every number was asked (not stopped or ended)
};

// What one number's exchange says (why: the kind of line error).
UnitAnswer ClassifyAnswer(const Link::ProbeReply& reply, std::string& why);

class UnitsProbe {
public:
    static constexpr int kFirstAddress = 1;
    static constexpr int kLastAddress = 125;
    static constexpr int32_t kSamples = 256;
    static constexpr int32_t kFrequency = 32000;
    // How soon a unit starts answering a data request, at most, beyond the
    // block's own wire time.
    static constexpr double kAnswerLatency = 0.002;
    // For the rest of a block cut short (a USB adapter may hold the last
    // bytes back for up to 16 ms).
    static constexpr double kTailAllowance = 0.02;
    // Beyond the recording's own length, for its end-of-recording reply.
    static constexpr double kRecordingSlack = 0.05;

    UnitsProbe(State& s, Panel& panel, Link& link, LineOwner& owner);

    // The probe, run as the owner's sequence (activity Probing); progress in
    // `testo`. A cancellation (STOP, EXIT) ends it at once: the reset then
    // runs once and the result is not complete.
    Task<ProbeResult> run();

    // The limit for an answer to start, and the quiet after one, at `baud`.
    static double AnswerLimit(int32_t baud);
    static double QuietGap(int32_t baud);

private:
    State& s_;
    Panel& panel_;
    Link& link_;
    LineOwner& owner_;
};

// The message after a probe ("" when every unit that answered did so
// cleanly and all fitted the slots): units with line errors, units beyond
// the 96 channel positions (`leftOver`), or that none answered.
std::string ProbeMessage(const ProbeResult& r, int leftOver);

}  // namespace q24
