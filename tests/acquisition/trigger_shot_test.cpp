// The trigger shot and stacking on the emulated units (exact test pattern,
// simulated clock), started through the owner of the line as GO TRIGGER is.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>

#include "acquisition/TriggerAcquisition.h"
#include "files/WriteForm.h"
#include "support/AcqRig.h"
#include "support/PatternTrace.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"
#include "support/UnitsRig.h"

namespace q24 {
namespace {

using test::Bytes, test::Cmd, test::Lines, test::PatternUnits, test::Request, test::kResetThenSpeed;
using units::PatternValue, units::UnitsConfig;
const Bytes kStart{frames::kStartByte};

struct Rig : test::UnitsRig<> {
    AcqParameters params;
    test::TestSlots slots;
    test::TempDir home;
    TriggerAcquisition shot;
    int geometryShown = 0, saves = 0;
    bool sawTimeout = false;  // "TIMEOUT" was in testo during a wait
    ShotPhase actAt = ShotPhase::Idle;
    std::function<void()> act;  // run once, at the first wait in phase actAt

    explicit Rig(UnitsConfig c = PatternUnits(), int channels = 2, int32_t samples = 512, int32_t freq = 4000,
                 Regional regional = {})
        : UnitsRig(std::move(c)),
          params(*s, gated),
          shot(*s, gated, panel, link, owner, params, slots, FilesEnv{home.path(), std::move(regional)}) {
        s->Baud_rate_high = 1000000, s->N_slow = 128, s->Display_mode = s->Trigger_unit = 1;
        s->Manual_trigger = true, s->Dist_geofoni = 2.5f, s->Pos_source = 10;
        for (int ch = 1; ch <= channels; ++ch) s->Ch_param[ch] = static_cast<int16_t>(ch), s->Ch_enabled[ch] = true;
        s->N_Geofoni = static_cast<int16_t>(channels);
        s->N_samples = samples;
        ApplyStoredParameters(*s, params, gated);
        s->Sampling_freq = freq;  // the low rates are not on the bar at this speed's design position
        s->N_Geofoni = static_cast<int16_t>(channels);
        shot.hooks.now = [] { return Stamp{2026, 3, 5, 14, 7, 9}; };
        panel.onGeometry = [this] { return ++geometryShown, Ready(); };
        panel.onSaveTrigger = [this] { return ++saves, TriggerSaveExit(*s), Ready(SaveResult::Closed); };
        owner.failed = [](const std::string& what) { ADD_FAILURE() << what; };
        line.onYield = [this] {
            sawTimeout |= panel.text(Ctl::testo) == "TIMEOUT";
            if (act && shot.phase() == actAt) std::exchange(act, {})();
        };
        EXPECT_EQ(openLine(), 1);
    }
    // GO TRIGGER as the window runs it, to the end of the shot (or series).
    void shoot() {
        ASSERT_TRUE(owner.request(Command::GoTrigger, Activity::ShotArmed, [this] { return shot.puls_trigger_Click(); }));
        runUntilIdle();
    }
    std::string dataFile() const { return test::ReadFile(home / "data_trigger.txt"); }
};


// Stored sample k is Traccia(k + the rounded offset); beyond the received
// samples Traccia still holds what it held: zeros here.
TEST(TriggerShot, AlignmentFollowsTheCorrectionAndTheRate) {
    // correction, rate, delay, offset
    for (auto [correction, freq, delay, offset] :
         {std::tuple{0, 4000, 1500, 6.0f}, {2000, 4000, 0, 0.0f} /* delay floored at 0 */, {1500, 8000, 0, 0.0f},
          {0, 1000, 1500, 1.5f} /* halves to even: 2.5 -> 2, 3.5 -> 4 */, {-2000, 32000, 3500, 112.0f},
          {500, 16000, 1000, 16.0f}}) {
        SCOPED_TRACE(std::to_string(correction) + " at " + std::to_string(freq));
        Rig r(PatternUnits(), 1, 256, freq);
        r.s->Trg_correction = static_cast<int16_t>(correction);
        r.shoot();
        EXPECT_EQ(std::tuple(r.s->Trg_delay, r.s->Trg_offset), std::tuple(delay, offset));
        const std::vector<float> trace = test::PatternBlockTrace(1, 256);
        for (int k = 1; k <= 256; ++k) {
            const long long j = static_cast<long long>(std::nearbyint(offset + k));  // the FPU's default: halves to even
            ASSERT_EQ(r.s->Dati(0, k - 1), j < 256 ? trace[static_cast<std::size_t>(j)] : 0.0f) << "k = " << k;
        }
    }
}

TEST(TriggerShot, WireBytesAndDataFileLineByLine) {
    const struct {
        char decimal;
        int32_t freq;
        const char *interval, *spacing;
    } rows[] = {{'.', 4000, "250", "2.5"}, {',', 32000, "31,25", "2,5"}};
    for (const auto& f : rows) {
        SCOPED_TRACE(f.decimal);
        Rig r(PatternUnits(), 3, 256, f.freq, Regional{.decimal = f.decimal});
        r.s->Ch_param[1] = 5, r.s->Ch_param[2] = 9, r.s->Ch_param[3] = 7;
        r.s->Ch_enabled[2] = false;  // not read, not written; still counted on line 7
        r.s->N_pretrigger = 40;
        // Flags of an earlier read do not fail this shot's first channel.
        r.s->Framing_err = r.s->Comm_error = r.s->Link_error = true;
        r.line.port.injectErrors(LineErrors{.framing = 1});
        r.shoot();

        EXPECT_EQ(r.line.port.written, test::Cat({Cmd(frames::ParameterCommand(1, 256, f.freq, 1, 0)), kStart,
                                                  Cmd(*frames::TriggerTimeCommand(300 + 40, 0)), Request(5),
                                                  Request(7), kResetThenSpeed}));
        EXPECT_EQ(r.panel.messages, std::vector<std::string>{"Press to Continue"});
        EXPECT_EQ(std::tuple(r.geometryShown, r.saves, r.shot.lastShot(), r.panel.visible[Ctl::Unita_errata1]),
                  std::tuple(1, 1, TriggerAcquisition::ShotEnd::Done, false));
        EXPECT_TRUE(r.panel.enabled[Ctl::Frame2] && r.panel.enabled[Ctl::parameters]);
        const auto& pic = r.panel.picture;
        ASSERT_GE(pic.size(), 3u);
        EXPECT_EQ(std::vector<std::string>(pic.end() - 3, pic.end()),
                  (std::vector<std::string>{"clear", "plot 1 1", "plot 3 1"}));

        const std::string text = r.dataFile();
        const std::string header =
            std::string("Ditta MIRANDEL\r\nStrumento: QUELDA24\r\nI dati numerici sono in formato floating point\r\n") +
            "DATA: 05/03/2026\r\nORA: 14:07:09\r\nNumero di canali=\r\n 3 \r\nIntervallo di campionamento=\r\n" +
            f.interval + " usec\r\nNumero di campioni=\r\n 256 \r\nDistanza tra geofoni=\r\n" + f.spacing +
            " m\r\nPosizione source rispetto 1\u00b0 geofono=\r\n-10 m\r\n\"NOTE:\"\r\n";
        ASSERT_EQ(text.substr(0, header.size()), header);
        const std::vector<std::string> lines = Lines(text);
        ASSERT_EQ(lines.size(), 16u + 2 * 257);
        EXPECT_EQ(lines[16], "\"Canale numero 5\"");  // the unit, not the position
        EXPECT_EQ(lines[16 + 257], "\"Canale numero 7\"");
        for (int block = 0; block < 2; ++block)  // traces 1 and 3 in the write form, whatever the locale
            for (int k = 0; k < 256; ++k)
                ASSERT_EQ(lines[static_cast<std::size_t>(17 + 257 * block + k)], WriteFormSingle(r.s->Dati(2 * block, k)));
    }
}

// A stop ("Exit from Trigger", Stop_flag) or a cancellation (the program
// ends): one reset and nothing else sent, no save, the last file kept. A
// cancelled shot asks nothing and its reset is the reset byte alone; a
// stopped stacked shot still asks "Keep on Stacking?".
enum class Act { Exit, StopFlag, Cancel };

TEST(TriggerShot, InterruptedOneResetNothingAfterNoSave) {
    const struct {
        const char* name;
        bool stacking;
        Act act;
        ShotPhase at;  // at its first wait in this phase
    } rows[] = {{"ExitArmed", false, Act::Exit, ShotPhase::Armed}, {"ExitArmedStacking", true, Act::Exit, ShotPhase::Armed},
                {"CancelArmed", false, Act::Cancel, ShotPhase::Armed},
                {"CancelArmedStacking", true, Act::Cancel, ShotPhase::Armed},
                {"StopFlagReceiving", false, Act::StopFlag, ShotPhase::Receiving},
                {"CancelReceiving", true, Act::Cancel, ShotPhase::Receiving}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig r;
        { std::ofstream(r.home / "data_trigger.txt") << "previous shot"; }
        r.s->Stacking = row.stacking;
        const bool asks = row.stacking && row.act != Act::Cancel;
        if (asks) r.panel.answers = {Answer::No};
        r.actAt = row.at;
        r.act = [&] {
            if (row.act == Act::Exit) r.shot.ExitFromTrigger();
            if (row.act == Act::StopFlag) r.s->Stop_flag = true;
            if (row.act == Act::Cancel) r.owner.cancel(CancelReason::Ending);
        };
        r.shoot();

        const bool receiving = row.at == ShotPhase::Receiving, ending = row.act == Act::Cancel;
        EXPECT_EQ(r.line.port.written,
                  test::Cat({Cmd(frames::ParameterCommand(1, 512, 4000, 1, 0)), receiving ? kStart : Bytes{},
                             receiving ? Cmd(*frames::TriggerTimeCommand(300, 0)) : Bytes{},
                             receiving ? Request(1) : Bytes{}, ending ? Bytes{frames::kResetByte} : kResetThenSpeed}));
        EXPECT_EQ(r.shot.lastShot(),
                  row.act == Act::Cancel ? TriggerAcquisition::ShotEnd::Cancelled : TriggerAcquisition::ShotEnd::Stopped);
        EXPECT_EQ(r.panel.questions, asks ? std::vector<std::string>{"Keep on Stacking?"} : std::vector<std::string>{});
        EXPECT_EQ(r.saves, asks ? 1 : 0);  // only the end of the series offers its record
        if (!row.stacking) { EXPECT_EQ(r.dataFile(), "previous shot"); }
        // A stop is no unit failure.
        EXPECT_TRUE(!r.panel.visible[Ctl::Unita_errata1] && !r.sawTimeout && r.owner.idle());
    }
}

// A series of three hits, plain or each reviewed (added, added reversed or
// rejected), or the program ending while hit 2 is under review. Channel 1
// reads units 5, 6, 7 in turn, so the hits differ; channel 2 reads unit 7.
// The file holds the signed sum of the added hits (no division), labelled by
// position, and their count goes to the .sg2; a series without one writes
// and offers nothing. Each hit resets the units once, and a series never
// sums onto what Dati held before it.
TEST(Stacking, HitsAddedReversedOrRejected) {
    using enum HitChoice;
    const struct {
        const char* name;
        std::vector<HitChoice> choices;  // empty: no review, every hit summed
        int endAt;                       // the program ends while this hit is under review
    } rows[] = {{"plain", {}, 0},
                {"all added", {Add, Add, Add}, 0},
                {"one rejected", {Add, Reject, Add}, 0},
                {"one reversed", {Add, AddReversed, Add}, 0},
                {"all rejected", {Reject, Reject, Reject}, 0},
                {"ending at review", {Add, Add}, 2}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig r(PatternUnits(), 2, 256);
        { std::ofstream(r.home / "data_trigger.txt") << "previous shot"; }
        r.s->Ch_param[2] = 7;
        r.s->Stacking = true;
        r.s->Review_hits = !row.choices.empty();
        r.s->Dati(0, 5) = 99;  // the record shown before the series
        int armed = 0;
        r.shot.hooks.phaseChanged = [&](ShotPhase p) {
            if (p == ShotPhase::Armed) r.s->Ch_param[1] = static_cast<int16_t>(4 + ++armed);
        };
        std::vector<int> reviewed;
        r.panel.onReviewHit = [&](int hit, const TraceArray&) {
            reviewed.push_back(hit);
            if (hit == row.endAt) r.owner.cancel(CancelReason::Ending);  // the window closes the dialog
            return Ready(row.choices[static_cast<std::size_t>(hit - 1)]);
        };
        const int hits = row.endAt ? row.endAt : 3;
        r.panel.answers = {Answer::Yes, Answer::Yes, Answer::No};
        r.shoot();

        int added = 0;
        std::vector<float> sum(256, 0.0f);  // channel 1, in the order the hits came
        for (int hit = 1; hit <= hits && !row.endAt; ++hit) {
            const HitChoice c = row.choices.empty() ? Add : row.choices[static_cast<std::size_t>(hit - 1)];
            if (c == Reject) continue;
            ++added;
            const std::vector<float> t = test::PatternBlockTrace(4 + hit, 256);
            for (int k = 1; k <= 256; ++k) {
                const long long j = AlignedIndex(6.0f, k);
                const float v = j < 256 ? t[static_cast<std::size_t>(j)] : 0.0f;
                float& s = sum[static_cast<std::size_t>(k) - 1];
                s = c == AddReversed ? s - v : s + v;
            }
        }
        EXPECT_EQ(reviewed.size(), row.choices.empty() ? 0u : static_cast<std::size_t>(hits));
        EXPECT_EQ(test::CountByte(r.line.port.written, frames::kResetByte), hits);
        EXPECT_EQ(r.panel.questions, std::vector<std::string>(row.endAt ? 1u : 3u, "Keep on Stacking?"));
        EXPECT_EQ(std::tuple(r.geometryShown, r.saves, r.panel.text(Ctl::numero_acquisizione)),
                  std::tuple(1, added ? 1 : 0, std::to_string(row.endAt ? 1 : added)));
        EXPECT_TRUE(r.owner.idle());
        if (!added) {
            EXPECT_EQ(r.dataFile(), "previous shot");
            if (!row.endAt) {
                EXPECT_EQ(r.panel.messages.back(), kNoHitAdded);
                EXPECT_FALSE(r.s->Stacking || r.s->Stack_series || r.s->N_stack);
            }
            continue;
        }
        EXPECT_EQ(std::tuple(r.s->Record_hits, r.s->N_stack), std::tuple(added, 0));
        const std::vector<std::string> lines = Lines(r.dataFile());
        ASSERT_EQ(lines.size(), 16u + 2 * 257);
        EXPECT_EQ(lines[16] + lines[16 + 257], "\"Canale numero 1\"\"Canale numero 2\"");
        for (std::size_t k = 0; k < 256; ++k) ASSERT_EQ(lines[17 + k], WriteFormSingle(sum[k])) << k;
        EXPECT_EQ(r.s->Dati(0, 5), 0.0f);  // the sum was cleared once written
    }
}

TEST(Stacking, ClearStackNeverRunsPastTheArray) {
    auto s = std::make_unique<State>();
    s->N_Geofoni = 500, s->N_samples = 99999, s->Dati(96, 16384) = 1;
    ClearStack(*s);
    EXPECT_EQ(s->Dati(96, 16384), 0);
}

// The program folder gone: before a shot, nothing is sent; during a stacked
// series, the sum is kept for the next shot. Neither offers a save.
TEST(TriggerShot, AFileThatCannotBeWrittenIsReported) {
    for (const bool stacking : {false, true}) {
        Rig r(PatternUnits(), 1, 256);
        r.s->Stacking = stacking;
        r.panel.answers = {Answer::No};
        if (!stacking) std::filesystem::remove_all(r.home.path());
        r.panel.onGeometry = [&] { return std::filesystem::remove_all(r.home.path()), Ready(); };
        r.shoot();
        ASSERT_FALSE(r.panel.messages.empty());
        const std::string& said = r.panel.messages.back();
        EXPECT_EQ(r.saves, 0);
        if (stacking) {
            EXPECT_NE(said.find("The stacked record could not be written"), std::string::npos);
            EXPECT_TRUE(r.s->Stacking && r.s->N_stack == 1 && r.s->Dati(0, 0) != 0.0f);
        } else {
            EXPECT_TRUE(said.starts_with("The data file " + r.shot.dataFilePath() + " could not be created: "));
            EXPECT_TRUE(r.line.port.written.empty());
        }
    }
}

TEST(TriggerShot, AUnitThatDoesNotAnswerIsReportedAndTheOthersAreRead) {
    Rig r(PatternUnits(), 3, 256);
    r.line.units.config().silent = {2};
    for (int k = 0; k < 256; ++k) r.s->Dati(1, k) = 42;
    const int opens = r.line.port.opens;
    r.shoot();
    EXPECT_EQ(r.panel.text(Ctl::Unita_errata1), "Unit 2 Not Working");
    // One reset; the line reopened in place.
    EXPECT_EQ(std::tuple(r.sawTimeout, test::CountByte(r.line.port.written, frames::kResetByte), r.line.port.opens),
              std::tuple(true, 1, opens + 1));
    EXPECT_EQ(r.s->Dati(1, 100), 42);          // keeps what it held
    EXPECT_EQ(r.s->Dati(2, 0), test::PatternBlockTrace(3, 256)[7]);  // stored sample 1 is Traccia(7)
    const std::string text = r.dataFile();  // without unit 2
    for (int unit : {1, 2, 3})
        EXPECT_EQ(text.find("\"Canale numero " + std::to_string(unit) + "\"") != std::string::npos, unit != 2);
    EXPECT_EQ(r.saves, 1);
}

TEST(TriggerShot, LowRatesAskTheSlotUnitAndCh_paramAbove24) {
    Rig r(PatternUnits(), 25, 256, 500);
    for (int ch = 2; ch <= 24; ++ch) r.s->Ch_enabled[ch] = false;
    r.slots.texts[1] = " 5 ";
    r.s->Ch_param[25] = 7;
    r.shoot();
    // One burst request per selected position.
    EXPECT_EQ(r.line.port.written, test::Cat({Cmd(frames::ParameterCommand(1, 256, 500, 1, 0)), kStart,
                                              Cmd(*frames::TriggerTimeCommand(300, 0)), {0x85, 0x87}, kResetThenSpeed}));
    const long long j = AlignedIndex(TriggerOffset(1500, 500), 1);
    EXPECT_EQ(r.s->Dati(0, 0), static_cast<float>(PatternValue(5, j)));  // no mean removed from a burst
    EXPECT_EQ(r.s->Dati(24, 0), static_cast<float>(PatternValue(7, j)));
}

}  // namespace
}  // namespace q24
