// Passive recording on the emulated units (simulated clock): the blocks on the
// wire and in the files, and how stops and faults keep the whole blocks.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <tuple>

#include "passive_rig.h"

namespace q24 {
namespace {

using namespace q24::test;
using End = PassiveSeismic::End;

// The question names the whole blocks' samples; No records nothing, sends
// nothing and leaves START off until the dialog opens again, at 125 Hz.
TEST(PassiveRecording, SamplesNumberQuestionNamesTheWholeBlocksAndNoRecordsNothing) {
    // 7500 / 8192 rounds up to one block; 36.6 -> 37 (303104 samples); the longest recording
    for (auto [hz, minutes, blocks] : {std::tuple{125, 1, 1}, {500, 10, 37}, {500, 59, 216}}) {
        Rig r;
        EXPECT_TRUE(r.passive.Command1_Click());  // ESC when idle closes
        r.start(hz, minutes, {Answer::No});
        EXPECT_EQ(r.panel.questions, std::vector<std::string>{"Samples Number=" + std::to_string(blocks * 8192)});
        EXPECT_EQ(std::tuple(r.s->N_blocks_passive, r.s->N_block_passive, r.s->Acq_seconds),
                  std::tuple(blocks, 8192, minutes * 60));
        EXPECT_TRUE(!r.passive.controls().Command2 && r.line.port.written.empty() && !r.exists("temp_data1.txt"));
        r.passive.Form_Load();
        EXPECT_EQ(std::tuple(r.passive.controls().frequency, r.passive.controls().Command2), std::tuple(125, true));
    }
}

TEST(PassiveRecording, OneBlockEndToEndOnTheWireInTheFilesAndInDataTxt) {
    Rig r;
    r.start(125, 1, {Answer::Yes});
    EXPECT_EQ(std::tuple(r.panel.questions.size(), r.passive.outcome().end, r.passive.outcome().blocks),
              std::tuple(1u, End::Complete, 1));

    // The parameter command asks for 8192 samples at 125 Hz, trigger mode 0,
    // then 32 data requests per position, nothing more (no reset).
    const auto& w = r.line.port.written;
    const std::vector<uint8_t> params{0x80, 0x00, 0x1A, 0x09, 0x00, 0x08, 0x00, 0x00, 0x04, 0xE8, 0x00};
    ASSERT_EQ(w.size(), params.size() + 3 * 32 * 11u);
    EXPECT_TRUE(std::equal(params.begin(), params.end(), w.begin()));
    EXPECT_EQ(std::tuple(r.count(0xFF), r.link.counters().blocks), std::tuple(0, 96u));
    EXPECT_GE(r.line.t, 8192.0 / 125);  // the reply came once the block was recorded

    for (int k = 1; k <= 3; ++k) EXPECT_EQ(r.temp(k), PatternBlock(k)) << "temp_data" << k;
    const auto data = Lines(ReadFile(r.home / "data.txt"));
    ASSERT_EQ(data.size(), 16u + 3 * 8193);
    EXPECT_EQ(std::tuple(data[8], data[10], data[14]), std::tuple("8000 usec", " 8192 ", "-10 m"));
    for (int k = 1; k <= 3; ++k) {
        const auto first = data.begin() + 16 + (k - 1) * 8193;
        EXPECT_EQ(*first, "\"Canale numero " + std::to_string(k) + "\"");
        EXPECT_TRUE(std::equal(first + 1, first + 8193, PatternBlock(k).begin())) << "channel " << k;
    }
    // Saved: nothing left unsaved, no temporary file open.
    EXPECT_EQ(std::tuple(r.saves, r.savedPassive, r.exists(PassiveSeismic::kUnsavedMarker), r.openTempFiles()),
              std::tuple(1, true, false, 0));
}

TEST(PassiveRecording, EscOrTheProgramEndingDuringBlock2KeepsBlock1AndTheNextStartAsksBeforeRecordingOverIt) {
    for (const bool ending : {false, true}) {
        SCOPED_TRACE(ending ? "program ending" : "ESC");
        Rig r(2);
        const std::size_t speeds = r.line.port.speeds.size();
        bool acted = false;
        r.line.onYield = [&] {
            // ESC while block 2's reply is awaited (64 data blocks read), the ending during its reads.
            if (acted || r.parameterCommands() != 2 || r.link.counters().blocks != (ending ? 70u : 64u)) return;
            acted = true;
            if (ending) r.owner.cancel(CancelReason::Ending);
            else EXPECT_FALSE(r.passive.Command1_Click());  // the dialog stays open
        };
        r.start(500, 1, {Answer::Yes, Answer::No});
        // The units were recording: reset once.
        const auto& out = r.passive.outcome();
        EXPECT_EQ(std::tuple(acted, out.end, out.blocks, r.count(0xFF), r.parameterCommands()),
                  std::tuple(true, ending ? End::Cancelled : End::Stopped, 1, 1, 2));
        if (ending) {
            // The reset byte only; a cancelled read is no failure.
            EXPECT_EQ(std::tuple(r.line.port.speeds.size(), r.panel.questions.size(), r.panel.messages.size(),
                                 r.panel.visible[Ctl::Unita_errata1]),
                      std::tuple(speeds, 1u, 0u, false));
        } else {
            EXPECT_EQ(r.panel.questions.back(), "The recording ended early: 1 of 4 blocks were recorded whole (8192 "
                                                "samples per channel). Save them?");
        }
        // The temporary files keep block 1, closed, with the marker; no data.txt.
        EXPECT_EQ(r.temp(2), PatternBlock(2));
        EXPECT_EQ(std::tuple(r.openTempFiles(), r.exists("data.txt"), r.saves), std::tuple(0, false, 0));
        EXPECT_NE(ReadFile(r.home / PassiveSeismic::kUnsavedMarker).find("blocks=1\r\n"), std::string::npos);
        if (ending) continue;

        // The next START asks; No keeps the files as they are.
        r.line.onYield = nullptr;
        r.panel.questions.clear();
        r.start(125, 1, {Answer::Yes, Answer::No});
        EXPECT_EQ(r.passive.outcome().end, End::Kept);
        EXPECT_EQ(r.panel.questions.back(),
                  "The temporary files hold a passive recording that was not saved (1 block of 8192 samples). Record "
                  "over it?");
        EXPECT_EQ(r.temp(1), PatternBlock(1));
        EXPECT_TRUE(r.passive.controls().Command2);
    }
}

// A marker from another run or edited by hand: a count out of range names
// one block, never a negative or wrapped one.
TEST(PassiveRecording, MarkerCountOutsideTheIntRangeNamesOneBlock) {
    for (auto [text, blocks] : {std::pair{"blocks=3\r\nfrequency=500\r\n", 3}, {"blocks= 12", 12},
                                {"blocks=4294967299\r\n", 1}, {"blocks=-2", 1}, {"frequency=125", 1}})
        EXPECT_EQ(UnsavedBlocksOf(text), blocks) << text;
}

// A unit that stops answering after block 2, or a full disk after block 1 (a
// file size limit that stops the temporary files growing, lifted when the
// question comes, for data.txt): the recording ends and the whole blocks are
// offered and saved, whatever part of the next one reached the disk.
TEST(PassiveRecording, AFailingUnitOrWriteEndsTheRecordingAndTheWholeBlocksAreSaved) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    for (const bool unitFails : {true, false}) {
        SCOPED_TRACE(unitFails ? "unit" : "write");
        Rig r;
        const int whole = unitFails ? 2 : 1;
        r.passive.blockDone = [&](int b, int) {
            if (b != whole) return;
            if (unitFails) return void(r.line.units.config().silent.insert(2));
            rlimit small = old;
            small.rlim_cur = std::filesystem::file_size(r.home / "temp_data1.txt") + 1000;
            setrlimit(RLIMIT_FSIZE, &small);
        };
        r.panel.onAsk = [&] { setrlimit(RLIMIT_FSIZE, &old); };
        r.start(500, 1, {Answer::Yes, Answer::Yes});
        setrlimit(RLIMIT_FSIZE, &old);
        // The write fails once block 2 is read (no reset); no block after the failed one.
        EXPECT_EQ(std::tuple(r.passive.outcome().end, r.passive.outcome().blocks, r.count(0xFF), r.parameterCommands()),
                  std::tuple(unitFails ? End::UnitFailed : End::WriteError, whole, unitFails ? 1 : 0, whole + 1));
        ASSERT_EQ(r.s->Record_start_utc.size(), whole + 1u);  // each block stamped as it is commanded
        EXPECT_LE(r.s->Record_start_utc.front(), r.s->Record_start_utc.back());
        ASSERT_EQ(r.panel.questions.size(), 2u);
        const auto data = Lines(ReadFile(r.home / "data.txt"));
        EXPECT_EQ(data[10], " " + std::to_string(whole * 8192) + " ");
        EXPECT_EQ(data.size(), 16u + 3 * (whole * 8192 + 1));
        EXPECT_TRUE(std::equal(data.begin() + 17, data.begin() + 17 + 8192, PatternBlock(1).begin()));
        EXPECT_EQ(std::pair(r.saves, r.openTempFiles()), std::pair(1, 0));
        if (unitFails) {
            EXPECT_EQ(r.panel.texts[Ctl::Unita_errata1], "Unit 2 Not Working");
            EXPECT_TRUE(r.panel.visible[Ctl::Unita_errata1] && r.panel.enabled[Ctl::uscita]);
            EXPECT_EQ(r.panel.questions[1],
                      "The recording ended early (unit 2 did not deliver its block): 2 of 4 blocks were recorded whole "
                      "(16384 samples per channel). Save them?");
            EXPECT_EQ(r.temp(3).size(), 2u * 8192);  // the failed block is in no file
        } else {
            ASSERT_FALSE(r.panel.messages.empty());
            EXPECT_NE(r.panel.messages[0].find("A temporary file could not be written ("), std::string::npos);
            EXPECT_NE(r.panel.messages[0].find("1 whole block is kept"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace q24
