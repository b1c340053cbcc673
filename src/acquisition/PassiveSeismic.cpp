#include "acquisition/PassiveSeismic.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "files/DataTextFile.h"
#include "files/MiniSeed.h"
#include "state/AtomicFile.h"
#include "state/BusyGuard.h"
#include "state/NumberFormat.h"

namespace q24 {

namespace {

constexpr int kMinutesMin = 1, kMinutesMax = 59;

std::string Plural(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

PassiveSeismic::PassiveSeismic(State& s, Panel& main, Operator& op, Link& link, FilesEnv files, LineOwner& owner)
    : s_(s), main_(main), op_(op), link_(link), files_(std::move(files)), owner_(owner) {}

int PassiveSeismic::BlockCount(int hz, int32_t seconds) {
    const double blocks = RoundHalfEven(static_cast<double>(hz) * seconds / kBlock);
    return std::max(1, static_cast<int>(blocks));
}

void PassiveSeismic::notify() {
    if (changed) changed();
}

void PassiveSeismic::setInfo(const std::string& text) {
    c_.Informazioni = text;
    notify();
}

void PassiveSeismic::showMinutes() {
    c_.Finestra_tempo_acq = std::to_string(s_.Finestra_tempo);
    notify();
}

void PassiveSeismic::startAgain() {
    c_.Command2 = true;
    notify();
}

void PassiveSeismic::Form_Load() {
    // The dialog opens as it was drawn: 125 Hz, no status, the bar empty.
    c_ = Controls{};
    // ini.txt may hold anything: the buttons below only work from 1..59.
    if (s_.Finestra_tempo < kMinutesMin || s_.Finestra_tempo > kMinutesMax) s_.Finestra_tempo = kMinutesMin;
    showMinutes();
}

void PassiveSeismic::Command5_Click() {
    if (recording_) return;
    s_.Finestra_tempo = static_cast<int16_t>(s_.Finestra_tempo + 1);
    if (s_.Finestra_tempo >= 60 || s_.Finestra_tempo < kMinutesMin) s_.Finestra_tempo = kMinutesMin;
    showMinutes();
}

void PassiveSeismic::Command6_Click() {
    if (recording_) return;
    s_.Finestra_tempo = static_cast<int16_t>(s_.Finestra_tempo - 1);
    if (s_.Finestra_tempo < kMinutesMin || s_.Finestra_tempo > kMinutesMax) s_.Finestra_tempo = kMinutesMax;
    showMinutes();
}

void PassiveSeismic::SelectFrequency(int hz) {
    if (recording_ || (hz != 125 && hz != 250 && hz != 500)) return;
    c_.frequency = hz;
    notify();
}

Task<void> PassiveSeismic::Command2_Click() {
    const BusyGuard underWay(started_);
    co_await PassiveRecording();
}

bool PassiveSeismic::Command1_Click() {
    if (!started_) return true;
    if (recording_) {
        // The reads see these at once; the recording resets the units.
        s_.Stop_req = 1;
        s_.Stop_flag = true;
        link_.waits().wake();
    }
    return false;
}

// ---------------------------------------------------------------- recording

Task<void> PassiveSeismic::PassiveRecording() {
    out_ = Outcome{};
    c_.Command2 = false;
    notify();
    const int hz = c_.frequency;
    s_.Passive_mode = true;
    s_.Acq_seconds = s_.Finestra_tempo * 60;
    s_.N_block_passive = static_cast<int16_t>(kBlock);
    s_.N_blocks_passive = static_cast<int16_t>(BlockCount(hz, s_.Acq_seconds));
    const int blocks = s_.N_blocks_passive;
    out_.planned = blocks;
    const std::string samples = std::to_string(static_cast<int64_t>(blocks) * kBlock);
    const Answer go = co_await main_.askAsync(Question::SamplesNumber, "Samples Number=" + samples, Buttons::YesNo);
    if (link_.cancelled()) {
        out_.end = End::Cancelled;
        co_return;
    }
    if (go != Answer::Yes) co_return;  // START stays off until the dialog is opened again

    if (const int kept = unsavedBlocks(); kept > 0) {
        const std::string question = "The temporary files hold a passive recording that was not saved (" +
                                     Plural(kept, "block", "blocks") + " of 8192 samples). Record over it?";
        const Answer over = co_await main_.askAsync(Question::RecordOver, question, Buttons::YesNo);
        if (link_.cancelled()) {
            out_.end = End::Cancelled;
            co_return;
        }
        if (over != Answer::Yes) {
            out_.end = End::Kept;
            startAgain();
            co_return;
        }
    }
    if (s_.N_Geofoni < 0 || s_.N_Geofoni > kTracePositions) {
        out_.end = End::FileError;
        co_await main_.messageAsync("The trace count " + std::to_string(s_.N_Geofoni) + " is outside 0.." +
                                    std::to_string(kTracePositions) + ": nothing was recorded.");
        startAgain();
        co_return;
    }

    out_.end = co_await record(hz, blocks);
    switch (out_.end) {
        case End::Complete: co_await mergeAndSave(hz, out_.blocks); break;
        case End::Stopped:
        case End::UnitFailed:
        case End::WriteError: co_await offerEarlyEnd(hz); break;
        case End::Cancelled: break;
        default: c_.Command2 = true; break;
    }
    notify();
}

Task<PassiveSeismic::End> PassiveSeismic::record(int hz, int blocks) {
    TempChannelFiles temp;
    if (std::string err = temp.create(files_.home, s_.N_Geofoni); !err.empty()) {
        co_await main_.messageAsync("The temporary files could not be made: " + err);
        co_return link_.cancelled() ? End::Cancelled : End::FileError;
    }
    // The old recording is gone now; until a block is written there is none.
    std::remove(markerPath().c_str());

    s_.Stop_flag = false;
    link_.ClearBuffers(true);
    s_.Stop_req = 0;
    s_.Trg_mode = 0;
    failedUnit_.clear();
    c_.ProgressBar1 = kProgressMax / blocks;
    notify();
    recording_ = true;
    s_.Record_start_utc.clear();
    End end = End::Complete;
    bool busyUnits = false;  // the units may be recording or sending: they are reset at the end
    std::string writeError;
    for (int b = 1; b <= blocks; ++b) {
        if (s_.Stop_req == 1) {  // asked between two blocks: the units are idle
            end = End::Stopped;
            break;
        }
        setInfo("Acquiring");
        s_.Record_start_utc.push_back(UtcMicrosNow());  // each block is sampled from its own command
        link_.Send_parameters(s_.Trigger_unit, kBlock, hz, 0, s_.Trg_mode, s_.Trg_opening, s_.Passive_mode);
        busyUnits = true;
        // The reply, or 70 s without one: the block is read anyway.
        co_await link_.Read_trigger_time(kReplyLimit);
        if (link_.cancelled() || s_.Stop_req == 1) {
            end = link_.cancelled() ? End::Cancelled : End::Stopped;
            break;
        }
        c_.ProgressBar1 = static_cast<int>(static_cast<int64_t>(kProgressMax) * b / blocks);
        notify();
        if (!co_await Collect_passive()) {
            end = link_.cancelled() ? End::Cancelled : failedUnit_.empty() ? End::Stopped : End::UnitFailed;
            break;
        }
        busyUnits = false;
        for (int k = 1; k <= s_.N_Geofoni; ++k) temp.append(k, s_.Dati.row(k - 1), kBlock);
        if (writeError = temp.flush(); !writeError.empty()) {
            end = End::WriteError;
            break;
        }
        out_.blocks = b;
        markUnsaved(hz, b);
        if (blockDone) blockDone(b, blocks);
    }
    recording_ = false;
    // Closed on every way out, so what is on disk is complete.
    const std::string closeError = temp.close();
    if (busyUnits) co_await owner_.reset();
    if (end == End::Cancelled || link_.cancelled()) co_return End::Cancelled;
    if (end == End::WriteError) {
        co_await main_.messageAsync("A temporary file could not be written (" + writeError +
                                    "). The recording stops; " +
                                    Plural(out_.blocks, "whole block is", "whole blocks are") + " kept.");
    } else if (!closeError.empty()) {
        co_await main_.messageAsync("A temporary file could not be written (" + closeError + ").");
        end = End::WriteError;
    }
    co_return link_.cancelled() ? End::Cancelled : end;
}

Task<bool> PassiveSeismic::Collect_passive() {
    main_.setVisible(Ctl::Unita_errata1, false);
    main_.setVisible(Ctl::Frame_error, false);
    const int positions = ClampTraceCount(s_.N_Geofoni);
    for (int ch = 1; ch <= positions; ++ch) {
        setInfo("Data Transmission CH " + std::to_string(ch));
        const int unit = s_.Ch_param[static_cast<std::size_t>(ch)];
        if (co_await link_.Read_block(unit, kBlock, s_.Stop_flag, s_.Use_timeout) == 1) {
            std::copy_n(s_.Traccia.begin(), kBlock, s_.Dati.row(ch - 1));
            continue;
        }
        const ReadEnd why = link_.lastEnd();
        if (why == ReadEnd::Stopped || why == ReadEnd::Cancelled) co_return false;
        if (why == ReadEnd::Timeout) main_.setText(Ctl::testo, "TIMEOUT");
        // The unit failed: the recording stops here.
        s_.Stop_flag = true;
        s_.Stop_req = 1;
        main_.setEnabled(Ctl::uscita, true);
        failedUnit_ = std::to_string(unit);
        main_.setText(Ctl::Unita_errata1, "Unit " + failedUnit_ + " Not Working");
        main_.setVisible(Ctl::Unita_errata1, true);
        co_return false;
    }
    co_return true;
}

// ---------------------------------------------------------------- the end

Task<void> PassiveSeismic::offerEarlyEnd(int hz) {
    const int blocks = out_.blocks;
    std::string why = "The recording ended early";
    if (out_.end == End::UnitFailed) why += " (unit " + failedUnit_ + " did not deliver its block)";
    setInfo("");
    if (blocks == 0) {
        co_await main_.messageAsync(why + ": no block was recorded whole.");
        co_return;
    }
    const std::string question = why + ": " + std::to_string(blocks) + " of " + std::to_string(out_.planned) +
                                 " blocks were recorded whole (" + std::to_string(int64_t{blocks} * kBlock) +
                                 " samples per channel). Save them?";
    const Answer save = co_await main_.askAsync(Question::SaveEarlyEnd, question, Buttons::YesNo);
    if (!link_.cancelled() && save == Answer::Yes) co_await mergeAndSave(hz, blocks);
}

Task<void> PassiveSeismic::mergeAndSave(int hz, int blocks) {
    setInfo("");
    const std::string data = files_.home + "/" + kDataFile;
    if (std::string err = WritePassiveDataText(s_, files_.home, hz, int64_t{blocks} * kBlock, data, files_.regional);
        !err.empty()) {
        co_await main_.messageAsync("The data file " + data + " could not be written: " + err +
                                    ". The recording stays in the temporary files.");
        co_return;
    }
    out_.merged = true;
    out_.save = co_await op_.saveTrigger();
    if (out_.save == SaveResult::Saved) std::remove(markerPath().c_str());
}

// ---------------------------------------------------------------- marker

std::string PassiveSeismic::markerPath() const { return files_.home + "/" + kUnsavedMarker; }

int PassiveSeismic::unsavedBlocks() const {
    std::ifstream in(markerPath(), std::ios::binary);
    if (!in) return 0;
    std::ostringstream text;
    text << in.rdbuf();
    return UnsavedBlocksOf(text.str());
}

int UnsavedBlocksOf(std::string_view markerText) {
    int blocks = 1;
    std::istringstream in{std::string(markerText)};
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("blocks=", 0) != 0) continue;
        const std::size_t at = std::min(line.find_first_not_of(" \t", 7), line.size());
        int n = 0;
        const auto [ptr, ec] = std::from_chars(line.data() + at, line.data() + line.size(), n);
        blocks = ec == std::errc() && n > 0 ? n : 1;
    }
    return blocks;
}

void PassiveSeismic::markUnsaved(int hz, int blocks) {
    std::ostringstream text;
    text << "blocks=" << blocks << "\r\nfrequency=" << hz << "\r\nchannels=" << s_.N_Geofoni << "\r\n";
    // Not being able to leave the note is no reason to stop recording.
    (void)WriteFileAtomically(markerPath(), text.str());
}

}  // namespace q24
