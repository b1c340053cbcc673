#include "acquisition/UnitsProbe.h"

#include <algorithm>

#include "link/Frames.h"
#include "link/Timing.h"

namespace q24 {

UnitAnswer ClassifyAnswer(const Link::ProbeReply& reply, std::string& why) {
    const std::size_t n = reply.bytes.size();
    const auto block = static_cast<std::size_t>(frames::kBlockBytes);
    why.clear();
    if (n == 0 && !reply.lineErrors) return UnitAnswer::Silent;
    if (reply.lineErrors) why = "framing or parity errors";
    else if (n < block) why = "short block";
    else if (n > block) why = "more than one block";
    else if (!frames::WellPacked(reply.bytes)) why = "garbled block";
    return why.empty() ? UnitAnswer::Answered : UnitAnswer::LineErrors;
}

UnitsProbe::UnitsProbe(State& s, Panel& panel, Link& link, LineOwner& owner)
    : s_(s), panel_(panel), link_(link), owner_(owner) {}

double UnitsProbe::AnswerLimit(int32_t baud) {
    return timing::WireSeconds(11 + frames::kBlockBytes, baud) + kAnswerLatency;
}

// Longer than the pauses inside one answer (a pseudo-terminal hands bytes on
// in batches of a few hundred), shorter than any answer to the next request.
double UnitsProbe::QuietGap(int32_t baud) { return std::max(0.0025, timing::WireSeconds(250, baud)); }

Task<ProbeResult> UnitsProbe::run() {
    ProbeResult result;
    s_.Stop_req = 0;
    s_.Stop_flag = false;
    link_.ClearBuffers(true);
    panel_.setText(Ctl::testo, "Finding the units...");
    panel_.setVisible(Ctl::testo, true);
    link_.Send_parameters(s_.Trigger_unit, kSamples, kFrequency, 0, 0, s_.Trg_opening, s_.Passive_mode);
    bool stopped = co_await link_.Read_trigger_time(static_cast<double>(kSamples) / kFrequency + kRecordingSlack) == 0;
    const int32_t baud = link_.pcSpeed();
    // More than one unit may send the reply: the extra copies must not be
    // taken for the first unit's block.
    if (!stopped) co_await link_.waits().seconds(QuietGap(baud));
    bool previousSilent = true;
    for (int a = kFirstAddress; a <= kLastAddress && !stopped; ++a) {
        if (link_.cancelled()) break;
        panel_.setText(Ctl::testo, "Finding the units: " + std::to_string(a) + " of " + std::to_string(kLastAddress));
        const Link::ProbeReply r = co_await link_.Probe_block(a, AnswerLimit(baud), QuietGap(baud), kTailAllowance);
        if (r.end == ReadEnd::Cancelled) break;
        // Bytes that came between the last request's answer and this request
        // belong to the last number: a second block, or a late one.
        if (a > kFirstAddress && (r.before > 0 || r.errorsBefore)) {
            const std::string late = previousSilent ? "answered late" : "more than one block";
            if (previousSilent) result.units.push_back({a - 1, UnitAnswer::LineErrors, late});
            else result.units.back() = {a - 1, UnitAnswer::LineErrors, late};
        }
        std::string why;
        const UnitAnswer answer = ClassifyAnswer(r, why);
        previousSilent = answer == UnitAnswer::Silent;
        if (!previousSilent) result.units.push_back({a, answer, why});
    }
    result.complete = !link_.cancelled() && !stopped;
    // After a complete probe nothing is on its way: the reset byte need not
    // wait for the line to clear.
    co_await owner_.reset(result.complete);
    s_.Stop_req = 0;  // a STOP ended the probe; it holds nothing for the next command
    s_.Stop_flag = false;
    const std::size_t found = result.units.size();
    panel_.setText(Ctl::testo, result.complete ? "Units found: " + std::to_string(found) : "");
    co_return result;
}

std::string ProbeMessage(const ProbeResult& r, int leftOver) {
    if (r.units.empty()) return "No unit answered";
    std::string errors;
    for (const FoundUnit& u : r.units) {
        if (u.answer != UnitAnswer::LineErrors) continue;
        errors += (errors.empty() ? "" : ", ") + std::to_string(u.address) + " (" + u.why + ")";
    }
    std::string text;
    if (!errors.empty()) text = "Units answering with line errors, left unchecked: " + errors;
    if (leftOver > 0) {
        if (!text.empty()) text += "\n";
        text += std::to_string(leftOver) + " more units answered than the 96 channel positions hold";
    }
    return text;
}

}  // namespace q24
