// Timed sampling on the emulated units (exact test pattern, simulated clock).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sys/stat.h>
#include <tuple>

#include "acquisition/TimedMode.h"
#include "files/MiniSeed.h"
#include "files/Saving.h"
#include "support/AcqRig.h"
#include "support/PatternTrace.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"
#include "support/UnitsRig.h"

namespace q24 {
namespace {

using test::PatternRecordTrace;

struct Rig : test::UnitsRig<> {
    test::TestSlots slots;
    TimedMode mode{*s, gated, panel, link, owner, slots};
    int saves = 0, ends = 0;

    // Units `addresses` on the line; slot i asks spread[i - 1], all checked.
    explicit Rig(std::vector<int> addresses, std::vector<int> spread, std::set<int> silent = {})
        : UnitsRig(test::PatternUnits(std::move(addresses))) {
        line.units.config().silent = std::move(silent);
        s->Baud_rate_high = 1000000, s->N_slow = s->Burst_N = 128, s->Trigger_unit = 1;
        s->Sampling_freq = 250, s->Finestra_tempo = 1, s->N_Geofoni = static_cast<int16_t>(spread.size());
        for (std::size_t i = 0; i < spread.size(); ++i) slots.texts[i + 1] = std::to_string(spread[i]);
        std::fill_n(slots.ticks.begin() + 1, spread.size(), true);
        panel.onSaveTimed = [this] { return ++saves, Ready(SaveResult::Closed); };
        panel.onEndProgram = [this] { ++ends; };
        openLine();
        mode.Prepare();
    }
    long count(uint8_t byte) const { return test::CountByte(line.port.written, byte); }
    void start() { line.run(mode.Start_acq_Click()); }
};

bool RowIs(const State& s, int row, const std::vector<float>& want) {
    return std::equal(want.begin(), want.end(), s.Dati_cont.row(row));
}

TEST(TimedSampling, RecordsCheckedSlotsInWholeBlocksAtTheUnitsPace) {
    Rig r({3, 7, 12}, {7, 3, 12});
    r.slots.ticks[2] = false;
    r.slots.texts[3] = "";  // an empty box asks the unit the channel settings assigned
    r.s->Ch_param[3] = 12, r.s->Finestra_tempo = 2;
    std::vector<std::pair<int, int>> order;  // (block, channel)
    std::vector<int> progress;
    const double t0 = r.line.t;
    double last = 0;  // when the last burst came
    r.mode.burstRead = [&](int block, int ch, int, bool ok) {
        EXPECT_TRUE(ok && !r.panel.enabled[Ctl::parameters] && !r.mode.controls().Start_acq);
        last = r.line.t;
        order.emplace_back(block, ch);
        progress.push_back(r.mode.controls().ProgressBar1);
    };
    r.start();

    // 250 Hz, 2 minutes: 30000 samples, 234 whole blocks of 128.
    EXPECT_EQ(std::tuple(r.s->N_samples_cont, r.s->Dati_cont.rows(), r.s->Dati_cont.cols()), std::tuple(29952, 3, 29952));
    ASSERT_EQ(order.size(), 468u);
    for (std::size_t i = 0; i < order.size(); ++i) ASSERT_EQ(order[i], std::make_pair(int(i / 2), i % 2 ? 3 : 1));
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()) && r.mode.controls().ProgressBar1 == 100);
    EXPECT_EQ(std::pair(r.count(0x80 + 7), r.count(0x80 + 3)), std::pair(234L, 0L));  // slot 2 unchecked
    EXPECT_NEAR(last - t0, 29952.0 / 250 + 0.05, 0.05);  // the units deliver at the sampling pace
    EXPECT_TRUE(RowIs(*r.s, 0, PatternRecordTrace(7, 29952)) && RowIs(*r.s, 2, PatternRecordTrace(12, 29952)));
    EXPECT_TRUE(std::all_of(r.s->Dati_cont.row(1), r.s->Dati_cont.row(1) + 29952, [](float v) { return v == 0; }));
    EXPECT_EQ(r.slots.captions[1] + r.slots.captions[2] + r.slots.captions[3], "OKOK");
    EXPECT_EQ(r.slots.colours[3], kSlotGreen);
    // Then the save dialog, one unit reset after the last burst, START again.
    EXPECT_EQ(std::pair(r.saves, r.count(0xFF)), std::pair(1, 1L));
    const auto& w = r.line.port.written;
    EXPECT_EQ(std::find(std::find(w.begin(), w.end(), 0xFF), w.end(), 0x80 + 12), w.end());
    EXPECT_TRUE(r.panel.enabled[Ctl::parameters] && r.mode.controls().Start_acq && r.mode.controls().Command2);
}

TEST(TimedSampling, AFailingUnitIsMarkedAndTheRecordingGoesOn) {
    Rig r({1, 2, 3}, {1, 2, 3}, {2});
    r.s->Sampling_freq = 125;
    int failures = 0;
    r.mode.burstRead = [&](int, int ch, int unit, bool ok) {
        EXPECT_EQ(ok, ch != 2);
        if (!ok) failures += unit == 2 && r.mode.controls().Label3 == "Error on Unit2";
    };
    r.start();
    EXPECT_EQ(std::tuple(r.s->N_samples_cont, failures, r.saves), std::tuple(7424, 58, 1));
    EXPECT_EQ(std::pair(r.slots.captions[2], r.slots.colours[2]), std::pair(std::string("ERROR"), kSlotRed));
    EXPECT_TRUE(RowIs(*r.s, 2, PatternRecordTrace(3, 7424)));
}

TEST(TimedSampling, MinuteButtonsStayWithinOneTo59AndOver120MillionSamplesAreRefused) {
    // channels, rate, minutes before, ">>" (1) or "<<", after; out of range is
    // brought in by the load. More than one channel: START is refused.
    for (auto [channels, freq, before, more, after] :
         {std::array{1, 250, 59, 1, 1}, {1, 250, 1, 0, 1}, {1, 250, 30, 1, 31}, {1, 250, 30, 0, 29}, {1, 250, 0, 0, 1},
          {1, 250, 200, 1, 1}, {2, 32000, 58, 1, 59}, {96, 32000, 1, 0, 1}, {68, 500, 58, 1, 59}}) {
        Rig r({1}, {1});
        r.s->Finestra_tempo = static_cast<int16_t>(before), r.s->N_samples = 128;
        r.mode.Prepare();
        more ? r.mode.Command5_Click() : r.mode.Command6_Click();
        EXPECT_EQ(std::tuple(r.s->Finestra_tempo, r.mode.controls().Finestra_tempo_acq, r.s->N_samples),
                  std::tuple(after, std::to_string(after), 128)) << before;
        if (channels == 1) continue;
        r.s->N_Geofoni = static_cast<int16_t>(channels), r.s->Sampling_freq = freq;
        r.start();
        EXPECT_EQ(r.panel.messages, std::vector<std::string>{"Time set is too long !"});
        EXPECT_TRUE(r.line.port.written.empty() && r.mode.controls().Start_acq);
        EXPECT_EQ(r.s->Dati_cont.rows(), 0);
    }
}

// Abort's OK, or the program's end, while bursts are awaited: the recording
// stops at once, the units are reset once and nothing is asked afterwards,
// nothing is saved, the dialog goes; only Abort ends the program itself.
TEST(TimedSampling, AbortOrTheProgramsEndStopsTheRecordingAtOnce) {
    for (const bool abort : {true, false}) {
        Rig r({1, 2}, {1, 2});
        int told = 0, toldAfter = 0;
        bool acted = false;
        r.mode.burstRead = [&](int, int, int, bool) { ++told, toldAfter += acted; };
        r.line.onYield = [&] {
            if (acted || told < 10) return;
            acted = true;
            if (!abort) return r.owner.cancel(CancelReason::Ending);
            r.panel.answers.push_back(Answer::Ok);
            Spawn(r.mode.Command7_Click());
        };
        r.start();
        EXPECT_EQ(r.panel.questions, abort ? std::vector<std::string>{"Abort section ?"} : std::vector<std::string>{});
        EXPECT_EQ(std::tuple(toldAfter, r.saves, r.ends, r.mode.controls().shown),
                  std::tuple(0, 0, abort ? 1 : 0, false));
        // The parameter command, one request per burst, then the reset: the
        // program's end only sends its byte, Abort resets in full.
        const auto& w = r.line.port.written;
        const auto reset = w.begin() + 11 + told + 1;
        ASSERT_LT(reset, w.end());
        EXPECT_EQ(test::Bytes(reset, w.end()), abort ? test::kResetThenSpeed : test::Bytes{0xFF});
    }
}

// The save, then the reset to Baud_rate, during which START is refused; the
// next START is back at the high rate.
TEST(TimedSampling, SavedDataTextByteForByteAndASecondStart) {
    test::TempDir home, folder;
    const std::string exe = ConverterPath(home.path());
    std::ofstream(exe) << "#!/bin/sh\n";
    ::chmod(exe.c_str(), 0755);
    FilesEnv env{home.path(), {.decimal = ','}, [](const std::string&, const std::vector<std::string>&) { return std::string(); }};
    Rig r({7, 12}, {7, 12});
    r.s->Sampling_freq = 125, r.s->Dist_geofoni = 2.5f, r.s->Pos_source = 10;
    r.s->Baud_rate = 250000;  // where each reset leaves the line
    SaveResult result = SaveResult::Closed;
    r.panel.onSaveTimed = [&] {
        ++r.saves;
        result = TimedSaveOk(*r.s, r.panel, env, folder.path(), "line 1", {"7", "12"}, r.saves == 1);
        return Ready(result);
    };
    bool startShownDuringReset = true;
    r.line.onYield = [&] {
        if (!r.link.resetting() || r.saves != 1) return;
        startShownDuringReset = r.mode.controls().Start_acq;
        Spawn(r.mode.Start_acq_Click());  // refused
    };
    const int64_t before = UtcMicrosNow();
    r.start();
    ASSERT_EQ(result, SaveResult::Saved);
    // The miniSEED copy (asked for the first save only), stamped when the units were told to start.
    EXPECT_TRUE(IsNormalFile(folder.path() + "/line 1.mseed")) << (r.panel.messages.empty() ? "" : r.panel.messages[0]);
    ASSERT_EQ(r.s->Record_start_utc.size(), 1u);
    EXPECT_TRUE(r.s->Record_start_utc[0] >= before && r.s->Record_start_utc[0] <= UtcMicrosNow());
    const auto& shown = r.mode.controls();
    EXPECT_EQ(std::tuple(startShownDuringReset, r.saves, shown.Label3, shown.Command7, r.link.pcSpeed()),
              std::tuple(false, 1, "FINE", false, 250000));

    const std::string text = test::ReadFile(home.path() + "/data.txt");
    std::smatch m;  // date and time come from the clock
    ASSERT_TRUE(std::regex_search(text, m, std::regex("DATA: (\\d\\d/\\d\\d/\\d{4})\r\nORA: (\\d\\d:\\d\\d:\\d\\d)\r\n")));
    std::string want = "Ditta MIRANDEL\r\nStrumento: QUELDATR24\r\nI dati numerici sono in formato floating point\r\n" +
                       m.str(0) + "Numero di canali=\r\n 2 \r\nIntervallo di campionamento=\r\n8000 usec\r\n"
                       "Numero di campioni=\r\n 7424 \r\nDistanza tra geofoni=\r\n2,5 m\r\n"
                       "Posizione source rispetto 1\xC2\xB0 geofono=\r\n-10 m\r\n\"NOTE:\"\r\n";
    for (int unit : {7, 12}) {
        want += "\"Canale " + std::to_string(unit) + "\"\r\n";
        char line[32];  // 7 significant digits, a period; no exponent at these sizes
        for (float v : PatternRecordTrace(unit, 7424)) want.append(line, std::snprintf(line, sizeof line, "%.7g\r\n", double(v)));
    }
    EXPECT_TRUE(text == want) << "differs from byte "
                              << std::mismatch(text.begin(), text.end(), want.begin(), want.end()).first - text.begin();

    r.line.onYield = nullptr;
    r.mode.burstRead = [&](int, int, int, bool ok) { EXPECT_TRUE(ok && r.link.pcSpeed() == 1000000); };
    std::filesystem::remove(folder.path() + "/line 1.mseed");
    r.start();
    EXPECT_EQ(r.saves, 2);
    EXPECT_FALSE(IsNormalFile(folder.path() + "/line 1.mseed"));  // the box off: no copy
}

}  // namespace
}  // namespace q24
