// The link against the emulated units on a simulated clock: the bytes on the
// wire, the flags, the labels and the traces.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "link/Frames.h"
#include "link/Link.h"
#include "support/PatternTrace.h"
#include "support/UnitsRig.h"

using namespace q24;
using namespace q24::units;
using q24::test::PatternUnits;
using Bytes = std::vector<uint8_t>;

namespace {

struct Rig : test::UnitsRig<> {
    explicit Rig(UnitsConfig c = PatternUnits(), int32_t baud = 1000000) : UnitsRig(std::move(c), 1, baud) {}
    void stopAt(double at, bool flag) {
        line.onYield = [this, at, flag] {
            if (line.t > at) s->Stop_flag = s->Stop_flag || flag, s->Stop_req = 1;
        };
    }
};

// The line opened on units `c`.
struct Open : Rig {
    explicit Open(UnitsConfig c = PatternUnits(), int32_t baud = 1000000) : Rig(std::move(c), baud) {
        EXPECT_EQ(openLine(), 1);
    }
};

Bytes Cmd(const frames::Command& c) { return Bytes(c.begin(), c.end()); }

UnitsConfig Units(std::function<void(UnitsConfig&)> set) {
    UnitsConfig c = PatternUnits();
    set(c);
    return c;
}

// The units are told the working speed at 250000, then the PC follows; a
// speed the adapter refuses is reported and the sequence goes on.
TEST(LinkOpen, TellsTheUnitsFirstThenFollows) {
    Rig refused;
    refused.line.port.refusedSpeeds = {250000};
    ASSERT_EQ(refused.line.run(refused.link.Open_port()), 1);
    EXPECT_EQ(refused.panel.messages, (std::vector<std::string>{"This baude rate is Impossible "}));
    EXPECT_EQ(refused.line.port.written, Cmd(frames::SpeedCommand(1000000)));
    Rig r;
    ASSERT_EQ(r.line.run(r.link.Open_port()), 1);
    EXPECT_EQ(r.line.port.written, Cmd(frames::SpeedCommand(1000000)));
    EXPECT_EQ(r.line.port.speeds, (std::vector<int32_t>{250000, 1000000}));
    EXPECT_EQ(std::tuple(r.line.units.baud(), r.panel.text(Ctl::Baudrate_lbl), r.panel.messages.size()),
              std::tuple(1000000, "Br= 1000000", 0u));
    EXPECT_NEAR(r.line.t, 1.0, 0.5);
    // A rate the units have no code for: code zero, and the PC follows all the same.
    r.line.port.written.clear();
    r.line.run(r.link.Set_baud(115200));
    EXPECT_EQ(r.line.port.written, Cmd(frames::SpeedCommand(115200)));
    EXPECT_EQ(std::tuple(r.line.port.speed(), r.panel.text(Ctl::Baudrate_lbl)), std::tuple(115200, "Br= 115200"));
}

// The probe lists only the numbers whose device opens.
TEST(LinkOpen, ANumberWithoutDeviceOrThatFailsIsReportedAndNotListed) {
    Rig r;
    r.s->Com_port = 2;
    EXPECT_EQ(r.line.run(r.link.Open_port()), 0);
    r.map.assign(2, "/dev/nothing-here");
    r.map.fillDefaults({});
    EXPECT_EQ(r.line.run(r.link.Open_port()), 0);
    ASSERT_EQ(r.panel.messages.size(), 2u);
    EXPECT_NE(r.panel.messages[1].find("could not be opened"), std::string::npos);
    r.link.ProbePorts();
    EXPECT_EQ(std::tuple(r.s->Port_list[1], r.s->Port_list[2]), std::tuple(1, 0));
    EXPECT_EQ(r.link.PortListText(), " COM1   " + r.line.port.path());
    EXPECT_FALSE(r.line.port.isOpen());
}

// A second reset asked while one runs is refused: one reset byte goes out.
TEST(LinkReset, SequenceLabelsMenusAndSpeeds) {
    Open r(PatternUnits(), 500000);
    r.link.Set_pc_baud(125000);  // wherever the PC was
    const Ctl menus[] = {Ctl::codice, Ctl::parameters, Ctl::File_load, Ctl::RESETTA, Ctl::Acq_pezzi, Ctl::GO_TRIGGER};
    std::map<Ctl, bool> during;
    std::string testoDuring;
    Task<int> second;
    r.line.onYield = [&] {
        if (testoDuring.empty()) testoDuring = r.panel.text(Ctl::testo), during = r.panel.enabled;
        if (!second.valid()) second = r.link.Reset_units(), second.start();
    };
    const double t0 = r.line.t;
    EXPECT_EQ(r.line.run(r.owner.reset()), 1);
    EXPECT_EQ(testoDuring, "R E S E T .....");
    EXPECT_TRUE(second.done() && second.result() == 0);
    EXPECT_EQ(r.line.port.written.at(0), 0xFF);
    EXPECT_EQ(Bytes(r.line.port.written.begin() + 1, r.line.port.written.end()), Cmd(frames::SpeedCommand(500000)));
    EXPECT_EQ(std::tuple(r.line.port.speed(), r.line.units.baud(), r.panel.text(Ctl::testo)),
              std::tuple(500000, 500000, ""));
    for (Ctl c : menus) EXPECT_TRUE(!during[c] && r.panel.enabled[c]) << static_cast<int>(c);
    EXPECT_NEAR(r.line.t - t0, 4.25, 1.25);  // the units' two seconds after the reset byte, whatever the clock
}

TEST(ReadBlock, GivesThePatternWithItsMeanRemoved) {
    for (auto [unit, n] : {std::pair{5, 256}, {100, 1024}, {7, 16384}, {64, 512}}) {
        Open r;
        ASSERT_EQ(r.line.run(r.link.Read_block(unit, n, false, true)), 1);
        const auto want = test::PatternBlockTrace(unit, n);
        for (int k = 0; k < n; ++k) ASSERT_EQ(r.s->Traccia[k], want[k]) << "unit " << unit << ", sample " << k;
        EXPECT_EQ(std::tuple(r.line.port.written.size(), r.link.counters().blocks),
                  std::tuple(11u * (n / 256), n / 256u));
    }
}

// Below one block nothing is asked; an abandoned read sends nothing either
// (the caller resets, once), nor does a reopening, which keeps the PC at the
// units' speed.
TEST(ReadBlockEdges, BelowOneBlockAbandonedOrReopenedSendsNothing) {
    Open r(PatternUnits(), 250000);
    r.s->Traccia[0] = 42;
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 128, false, true)), 1);
    EXPECT_EQ(r.s->Traccia[0], 42);
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 256, true, true)), 0);
    EXPECT_EQ(r.link.lastEnd(), ReadEnd::Stopped);
    r.link.Reopen_port();
    EXPECT_EQ(std::tuple(r.s->Port_probe, r.line.port.speed(), r.line.port.written.size()), std::tuple(1, 250000, 0u));
    EXPECT_EQ(r.line.run(r.link.Read_block(3, 256, false, true)), 1);
}

TEST(ReadBlockEdges, DroppedThirdBlockTimesOutWithTwoBlocksIn) {
    Open r(Units([](UnitsConfig& c) { c.dropped[5] = {2}; }));
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 1024, false, true)), 0);
    EXPECT_EQ(std::tuple(r.link.lastEnd(), r.line.port.written.size(), r.link.counters().timeouts),
              std::tuple(ReadEnd::Timeout, 33u, 1u));
    for (int k = 0; k < 512; ++k) ASSERT_EQ(r.s->Traccia[k], test::PatternSample(5, k));
}

// The time limit follows the whole-second rule; a stop or a cancellation ends the wait at once.
TEST(ReadBlockEdges, TimeoutStopAndCancellation) {
    Open r(Units([](UnitsConfig& c) { c.silent = {5}; }));
    // A start at 100.4 rounds down to 100: the limit is 101; at 200.6 up to 201: 202.
    for (auto [start, limit] : {std::pair{100.4, 101.0}, {200.6, 202.0}}) {
        r.line.t = start;
        EXPECT_EQ(r.line.run(r.link.Read_block(5, 256, false, true)), 0);
        EXPECT_NEAR(r.line.t, limit + 0.15, 0.15);
    }
    const double t0 = r.line.t;
    const auto yields = r.line.yields;
    r.stopAt(t0 + 30, true);
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 256, false, false)), 0);
    EXPECT_EQ(r.link.lastEnd(), ReadEnd::Stopped);
    EXPECT_LT(r.line.t - t0, 32);
    EXPECT_LT(r.line.yields - yields, 400);  // it waited, it did not spin
    // A cancellation is neither a time-out nor a line error, and sends nothing more.
    r.s->Stop_flag = false, r.s->Stop_req = 0;
    r.line.onYield = [&] {
        if (r.line.t > t0 + 50.2) r.line.cancel(CancelReason::Preempted);
    };
    r.line.t = t0 + 50;
    r.line.port.written.clear();
    const uint64_t timeouts = r.link.counters().timeouts;
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 1024, false, true)), 0);
    EXPECT_EQ(std::tuple(r.link.lastEnd(), r.line.port.written.size(), r.link.counters().timeouts),
              std::tuple(ReadEnd::Cancelled, 11u, timeouts));
    EXPECT_FALSE(r.s->Link_error || r.s->Framing_err);
    EXPECT_LT(r.line.t, t0 + 50.3);
}

TEST(ReadBlockEdges, LineErrorsSetTheFlags) {
    Open r(Units([](UnitsConfig& c) { c.slow[5] = 0.3; }));  // the error comes while the block is awaited
    // An error left from before the request is not this block's.
    r.line.port.injectErrors({.framing = 1});
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 256, false, true)), 1);
    // Nor are flags left from before it.
    r.s->Framing_err = r.s->Link_error = r.s->Comm_error = true;
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 256, false, true)), 1);
    EXPECT_FALSE(r.s->Framing_err || r.s->Link_error || r.s->Comm_error);
    // Errors while the block is on its way.
    r.line.onYield = [&] { r.line.port.injectErrors({.framing = 1}); };
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 256, false, true)), 0);
    EXPECT_TRUE(r.s->Link_error && r.s->Framing_err);
    r.s->Link_error = r.s->Framing_err = false;
    r.line.t += 1;  // the block of the failed read has come and gone
    r.line.onYield = [&] { r.line.port.injectErrors({.overrun = 1}); };
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 256, false, true)), 0);
    EXPECT_TRUE(r.s->Link_error && !r.s->Framing_err);
    EXPECT_TRUE(r.link.counters().framing >= 2 && r.link.counters().overrun >= 1);
    // The next read starts clean.
    r.line.onYield = nullptr;
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 256, false, true)), 1);
}

TEST(ReadBlockEdges, UnplugMidReadIsClearAndRecoverable) {
    Open r(Units([](UnitsConfig& c) { c.slow[5] = 0.3; }));
    r.line.onYield = [&] {
        if (r.line.t > 1.2) r.line.port.unplug(), r.line.onYield = nullptr;
    };
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 1024, false, true)), 0);
    EXPECT_TRUE(r.s->Link_error && r.panel.text(Ctl::testo).find("lost") != std::string::npos);
    r.link.Reopen_port();  // still gone
    EXPECT_NE(r.panel.text(Ctl::testo).find("lost"), std::string::npos);
    r.line.port.plugIn();
    r.link.Reopen_port();
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 256, false, true)), 1);
    // Armed for a trigger that has no time limit, the adapter pulled: the
    // wait ends instead of lasting until someone presses a button.
    r.line.units.config().triggerDelay = -1;
    r.link.Send_parameters(1000, 1024, 8000, 0, 1, 0, false);
    const double t0 = r.line.t;
    r.line.onYield = [&] {
        if (r.line.t > t0 + 5) r.line.port.unplug(), r.line.onYield = nullptr;
    };
    EXPECT_EQ(r.line.run(r.link.Wait_trigger_byte()), 0);
    EXPECT_EQ(r.link.lastEnd(), ReadEnd::LineError);
    EXPECT_LT(r.line.t - t0, 6);
}

TEST(ReadBlockEdges, LateAndStrayBytesNeverShiftTheNextBlock) {
    Open r(Units([](UnitsConfig& c) { c.slow[5] = 1.8; }));  // answers after the time limit
    EXPECT_EQ(r.line.run(r.link.Read_block(5, 256, false, true)), 0);
    r.line.t += 1.0;  // the late block has arrived by now
    const Bytes junk(300, 0xFF);
    r.line.port.inject(junk);
    ASSERT_EQ(r.line.run(r.link.Read_block(6, 512, false, true)), 1);
    const auto want = test::PatternBlockTrace(6, 512);
    for (int k = 0; k < 512; ++k) ASSERT_EQ(r.s->Traccia[k], want[k]);
}

// Units at another speed, or a stray byte ahead of every answer (the groups
// shifted): the reads fail as line errors, never hand back garbage.
TEST(ReadBlockEdges, SpeedMismatchOrStrayBytesFailCleanly) {
    for (const bool stray : {false, true}) {
        Open r(Units([stray](UnitsConfig& c) { stray ? void(c.strayChance = 1) : void(c.stuckBaud = 500000); }));
        EXPECT_EQ(r.line.port.speed(), 1000000);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(r.line.run(r.link.Read_block(5, 256, false, true)), 0) << stray;
        if (stray) EXPECT_EQ(r.link.lastEnd(), ReadEnd::LineError);
    }
}

TEST(Bursts, RealTimeRunningWithoutItsMeanSilentUnitAndLineErrors) {
    Open r;
    r.link.Send_parameters(1, 1, 250, 0, 0, 0, false);
    const double t0 = r.line.t;
    for (int b = 0; b < 2; ++b) {
        ASSERT_EQ(r.line.run(r.link.Read_burst(5, false, true)), 1);
        for (int k = 0; k < 128; ++k) ASSERT_EQ(r.s->Traccia[k], test::PatternSample(5, 128 * b + k));
    }
    EXPECT_TRUE(r.line.t - t0 >= 256.0 / 250 && r.line.port.written.back() == 0x85);
    // A running burst has its mean removed.
    r.link.Send_parameters(1, 128, 500, 0, 0, 0, false);
    ASSERT_EQ(r.line.run(r.link.Read_burst_running(70, false, true)), 1);
    EXPECT_EQ(r.line.port.written.back(), 0x81);
    EXPECT_NEAR(std::accumulate(r.s->Traccia.begin(), r.s->Traccia.begin() + 128, 0.0) / 128, 0.0, 1e-2);
    // A silent unit times out; a line error never hands back the bytes of an earlier burst.
    r.line.units.config().silent = {9};
    r.link.Send_parameters(1, 1, 125, 0, 0, 0, false);
    ASSERT_EQ(r.line.run(r.link.Read_burst(5, false, true)), 1);  // leaves unit 5's burst in Rx_buffer
    const double t1 = r.line.t;
    r.line.port.injectErrors({.parity = 1});
    EXPECT_EQ(r.line.run(r.link.Read_burst(9, false, true)), 0);
    EXPECT_GE(r.line.t - t1, 2.5);
    r.line.port.injectErrors({.framing = 1});
    ASSERT_EQ(r.line.run(r.link.Read_burst(5, false, true)), 1);
    EXPECT_EQ(r.s->Traccia[0], test::PatternSample(5, 128));
}

TEST(TriggerShot, WaitsEndOnStopWithoutSpinning) {
    Open r(Units([](UnitsConfig& c) { c.triggerDelay = -1; }));  // nobody hits the plate
    r.link.Send_parameters(1000, 1024, 8000, 0, 1, 0, false);
    const double t0 = r.line.t;
    r.stopAt(t0 + 10, false);
    EXPECT_EQ(r.line.run(r.link.Wait_trigger_byte()), 0);
    EXPECT_TRUE(r.line.t - t0 <= 10.6 && r.line.yields < 100);  // it waited, it did not spin
    r.s->Stop_req = 0, r.line.onYield = nullptr;
    EXPECT_EQ(r.line.run(r.link.Read_trigger_time(60)), 255);
    r.stopAt(r.line.t + 3, false);
    EXPECT_EQ(r.line.run(r.link.Read_trigger_time(60)), 0);
}

TEST(TriggerShot, TriggerTimeThatCannotBeSentAndAShortReply) {
    Open r;
    r.s->Trg_time = 32700, r.s->N_pretrigger = 100;
    EXPECT_EQ(r.link.Send_trigger_time(), 0);
    EXPECT_EQ(r.panel.messages, (std::vector<std::string>{"Trigger error"}));
    EXPECT_TRUE(r.line.port.written.empty());
    r.s->Trg_time = 10, r.s->Unit_code = 200;
    EXPECT_EQ(r.link.Send_trigger_time(), 0);
    // A short reply is not taken for a whole one.
    const Bytes three = {0, 1, 2};
    r.line.onYield = [&] {
        if (r.line.t > 0.5 && r.line.t < 5) r.line.port.inject(three), r.line.onYield = nullptr;
    };
    EXPECT_EQ(r.line.run(r.link.Read_trigger_time(2)), 255);
}

TEST(Code, WriteThenReadAndNoReply) {
    Open r;
    r.s->Unit_code = 1999;
    r.link.Write_unit_code();
    EXPECT_EQ(std::pair(r.line.units.code(), r.line.run(r.link.Read_unit_code())), std::pair(1999, 1999));
    const double t0 = r.line.t;
    EXPECT_EQ(r.line.run(r.link.Read_code_reply()), 0);  // nothing asked, nothing comes
    EXPECT_GT(r.line.t - t0, 1.0);
}

}  // namespace
