// FIND UNITS on the emulated units: which numbers answer, cleanly or with
// line errors, whatever the chain does (gaps, nothing, a late unit, framing
// errors, garbage, a second answer), and STOP or EXIT halfway; the units are
// sent nothing but the recording, the data requests and one reset, and end
// idle at the working speed.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "acquisition/ChannelSettings.h"
#include "acquisition/UnitsProbe.h"
#include "link/Frames.h"
#include "support/UnitsRig.h"

using namespace q24;

namespace {

using A = UnitAnswer;

// Does something once, while the request for `address` awaits its answer.
struct During {
    int address = 0;
    std::function<void(test::UnitsRig<>&)> act;
};

struct Case {
    const char* name;
    std::vector<int> units;
    std::vector<FoundUnit> found;
    During during = {};
    bool complete = true;
    std::map<int, double> slow = {};
};

bool LastRequestIs(const std::vector<uint8_t>& written, int address) {
    const auto r = frames::DataRequest(address);
    return written.size() >= 11 && std::equal(r->begin(), r->end(), written.end() - 11);
}

FoundUnit Ok(int unit) { return {unit, A::Answered, ""}; }
During Inject(std::size_t n, uint8_t value) {
    return {5, [=](test::UnitsRig<>& r) { r.line.port.inject(std::vector<uint8_t>(n, value)); }};
}
During Cancel(CancelReason why) { return {10, [=](test::UnitsRig<>& r) { r.owner.cancel(why); }}; }

TEST(UnitsProbe, ReportsEachNumberAsAnsweredWithLineErrorsOrSilent) {
    const Case cases[] = {
        {"gaps, a unit 8 ms late, 126 beyond the numbers asked", {1, 3, 4, 9, 125, 126},
         {Ok(1), Ok(3), Ok(4), Ok(9), Ok(125)}, {}, true, {{9, 0.008}}},
        {"nobody among the numbers asked", {200}, {}},
        {"framing errors", {1, 5, 6}, {Ok(1), {5, A::LineErrors, "framing or parity errors"}, Ok(6)},
         {5, [](test::UnitsRig<>& r) { r.line.port.injectErrors(LineErrors{.framing = 1}); }}},
        {"garbage from a silent number", {4, 6}, {Ok(4), {5, A::LineErrors, "garbled block"}, Ok(6)},
         Inject(896, 0xFF)},
        {"a short block", {4, 6}, {Ok(4), {5, A::LineErrors, "short block"}, Ok(6)}, Inject(100, 0x01)},
        {"two answers to one request", {5, 6}, {{5, A::LineErrors, "more than one block"}, Ok(6)}, Inject(896, 0x01)},
        {"STOP halfway", {1, 12}, {Ok(1)}, Cancel(CancelReason::Preempted), false},
        {"EXIT halfway", {1, 12}, {Ok(1)}, Cancel(CancelReason::Ending), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        units::UnitsConfig config = test::PatternUnits(c.units);
        config.paced = true;
        config.slow = c.slow;
        test::UnitsRig<> r(config);
        ASSERT_EQ(r.openLine(), 1);
        bool acted = false;
        r.line.onYield = [&] {
            if (!acted && c.during.act && LastRequestIs(r.line.port.written, c.during.address)) {
                acted = true;
                c.during.act(r);
            }
        };
        UnitsProbe probe(*r.s, r.gated, r.link, r.owner);
        const double t0 = r.line.now();
        const std::size_t logged = r.line.units.log().size();  // the opening's speed command
        const ProbeResult got = r.line.run(probe.run());
        EXPECT_EQ(got.units, c.found);
        EXPECT_EQ(got.complete, c.complete);

        // One reset whatever happened; no request after a stop; nothing the
        // units do not know. After EXIT only the reset byte goes.
        const std::vector<std::string> log(r.line.units.log().begin() + static_cast<long>(logged),
                                           r.line.units.log().end());
        EXPECT_EQ(std::count(log.begin(), log.end(), "reset"), 1);
        EXPECT_EQ(std::count(log.begin(), log.end(), "unknown command"), 0);
        EXPECT_EQ(log.front(), "parameters 32000 Hz 256 samples trigger 0");
        if (!c.complete) EXPECT_FALSE(LastRequestIs(r.line.port.written, 11));
        const bool ending = r.link.waits().cancelReason() == CancelReason::Ending;
        EXPECT_EQ(log.back(), ending ? "reset" : "speed 1000000");
        if (!ending) EXPECT_EQ(r.line.units.baud(), 1000000);
        if (c.complete) EXPECT_LT(r.line.now() - t0, 5.0);
    }
}

// Later positions are unticked with their numbers kept: a unit found in
// position 2 and still ticked in position 5 would be read twice.
TEST(UnitsProbe, FoundUnitsFillTheSlotsInOrderAndUntickTheRest) {
    State s;
    ChannelSettings cs(s);
    cs.Load();
    cs.setText(3, "77");
    cs.setChecked(3, true);
    s.Ch_enabled[40] = true;
    EXPECT_EQ(cs.FillFound({{4, true}, {9, false}}), 0);
    EXPECT_EQ(std::tuple(s.Ch_param[1], s.Ch_enabled[1], s.Ch_param[2], s.Ch_enabled[2]), std::tuple(4, true, 9, false));
    EXPECT_EQ(std::tuple(s.Ch_param[3], s.Ch_enabled[3], s.Ch_enabled[40]), std::tuple(77, false, false));
    std::vector<std::pair<int, bool>> many;
    for (int u = 1; u <= 98; ++u) many.emplace_back(u, u != 30);
    EXPECT_EQ(cs.FillFound(many), 2);
    EXPECT_EQ(std::tuple(s.Ch_param[24], s.Ch_param[30], s.Ch_enabled[30], s.Ch_param[96]),
              std::tuple(24, 30, false, 96));
    const ProbeResult r{{{3, A::Answered, ""}, {7, A::LineErrors, "short block"}}, true};
    EXPECT_EQ(ProbeMessage(r, 2),
              "Units answering with line errors, left unchecked: 7 (short block)\n"
              "2 more units answered than the 96 channel positions hold");
    EXPECT_EQ(ProbeMessage(ProbeResult{{}, true}, 0), "No unit answered");
}

}  // namespace
