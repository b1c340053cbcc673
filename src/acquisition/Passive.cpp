#include "acquisition/Passive.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "files/DataTextFile.h"
#include "state/AtomicFile.h"
#include "state/NumberFormat.h"

namespace q24 {

namespace {

constexpr int kMinutesMin = 1, kMinutesMax = 59;
constexpr int kMaxPositions = 96;  // rows of Dati in use

std::string Plural(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

PassiveSeismic::PassiveSeismic(State& s, Panel& main, Link& link, FilesEnv files, Link::Yield yield)
    : s_(s), main_(main), link_(link), files_(std::move(files)), yield_(std::move(yield)) {}

int PassiveSeismic::BlockCount(int hz, int32_t seconds) {
    const double blocks = RoundHalfEven(static_cast<double>(hz) * seconds / kBlock);
    return std::max(1, static_cast<int>(blocks));
}

void PassiveSeismic::notify() {
    if (changed) changed();
}

void PassiveSeismic::yieldOnce() { yield_(-1, link_.now()); }

void PassiveSeismic::setInfo(const std::string& text) {
    c_.Informazioni = text;
    notify();
}

void PassiveSeismic::showMinutes() {
    c_.Finestra_tempo_acq = std::to_string(s_.Finestra_tempo);
    notify();
}

void PassiveSeismic::Form_Load() {
    // ini.txt may hold anything: the buttons below only work from 1..59.
    if (s_.Finestra_tempo < kMinutesMin || s_.Finestra_tempo > kMinutesMax) s_.Finestra_tempo = kMinutesMin;
    c_.Command2 = true;
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

void PassiveSeismic::Command2_Click() {
    if (busy_) return;  // a START already running (its waits run other clicks)
    busy_ = true;
    PassiveRecording();
    busy_ = false;
}

bool PassiveSeismic::Command1_Click() {
    if (!busy_) return true;
    if (recording_) {
        // The waits see these at once; a block read resets the units itself.
        s_.Stop_req = 1;
        s_.Stop_flag = true;
    }
    return false;
}

// ---------------------------------------------------------------- recording

void PassiveSeismic::PassiveRecording() {
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
    if (main_.ask("Samples Number=" + std::to_string(static_cast<int64_t>(blocks) * kBlock), Buttons::YesNo) !=
        Answer::Yes)
        return;  // START stays off until the dialog is opened again

    if (const int kept = unsavedBlocks(); kept > 0) {
        const std::string question = "The temporary files hold a passive recording that was not saved (" +
                                     Plural(kept, "block", "blocks") + " of 8192 samples). Record over it?";
        if (main_.ask(question, Buttons::YesNo) != Answer::Yes) {
            out_.end = End::Kept;
            c_.Command2 = true;
            notify();
            return;
        }
    }
    if (s_.N_Geofoni < 0 || s_.N_Geofoni > kMaxPositions) {
        main_.message("The trace count " + std::to_string(s_.N_Geofoni) + " is outside 0.." +
                      std::to_string(kMaxPositions) + ": nothing was recorded.");
        out_.end = End::FileError;
        c_.Command2 = true;
        notify();
        return;
    }

    out_.end = record(hz, blocks);
    switch (out_.end) {
        case End::Complete: mergeAndSave(hz, out_.blocks); break;
        case End::Stopped:
        case End::UnitFailed:
        case End::WriteError: offerEarlyEnd(hz); break;
        default: c_.Command2 = true; break;
    }
    notify();
}

PassiveSeismic::End PassiveSeismic::record(int hz, int blocks) {
    TempChannelFiles temp;
    if (std::string err = temp.create(files_.home, s_.N_Geofoni); !err.empty()) {
        main_.message("The temporary files could not be made: " + err);
        return End::FileError;
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
    End end = End::Complete;
    for (int b = 1; b <= blocks && end == End::Complete; ++b) {
        if (s_.Stop_req == 1) {  // asked between two blocks: the units are idle
            end = End::Stopped;
            break;
        }
        setInfo("Acquiring");
        link_.Send_parameters(s_.Trigger_unit, kBlock, hz, 0, s_.Trg_mode, s_.Trg_opening, s_.Passive_mode);
        for (;;) {
            const int r = link_.Read_trigger_time(kReplyLimit);
            yieldOnce();
            if (s_.Stop_req == 1) {
                end = End::Stopped;
                break;
            }
            if (r != 0) break;  // the reply, or 70 s without one: the block is read anyway
        }
        if (end != End::Complete) {
            link_.Reset_units();  // they were still recording this block
            break;
        }
        c_.ProgressBar1 = static_cast<int>(static_cast<int64_t>(kProgressMax) * b / blocks);
        notify();
        yieldOnce();
        if (!Collect_passive()) {
            end = failedUnit_.empty() ? End::Stopped : End::UnitFailed;
            break;
        }
        for (int k = 1; k <= s_.N_Geofoni; ++k) temp.append(k, s_.Dati.row(k - 1), kBlock);
        if (std::string err = temp.flush(); !err.empty()) {
            main_.message("A temporary file could not be written (" + err + "). The recording stops; " +
                          Plural(out_.blocks, "whole block is", "whole blocks are") + " kept.");
            end = End::WriteError;
            break;
        }
        out_.blocks = b;
        markUnsaved(hz, b);
        if (blockDone) blockDone(b, blocks);
    }
    recording_ = false;
    // Closed on every way out, so what is on disk is complete.
    if (std::string err = temp.close(); !err.empty() && end != End::WriteError) {
        main_.message("A temporary file could not be written (" + err + ").");
        end = End::WriteError;
    }
    return end;
}

bool PassiveSeismic::Collect_passive() {
    main_.setVisible(Ctl::Unita_errata1, false);
    main_.setVisible(Ctl::Frame_error, false);
    bool whole = true;
    const int positions = std::clamp<int>(s_.N_Geofoni, 0, kMaxPositions);
    for (int ch = 1; ch <= positions; ++ch) {
        setInfo("Data Transmission CH " + std::to_string(ch));
        yieldOnce();
        const int unit = s_.Ch_param[static_cast<std::size_t>(ch)];
        if (link_.Read_block(unit, kBlock, s_.Stop_flag, s_.Use_timeout) == 1) {
            std::copy_n(s_.Traccia.begin(), kBlock, s_.Dati.row(ch - 1));
            continue;
        }
        whole = false;
        if (s_.Stop_req == 1) break;
        // The next read abandons the recording and resets the units.
        s_.Stop_flag = true;
        main_.setEnabled(Ctl::uscita, true);
        s_.Stop_req = 1;
        failedUnit_ = std::to_string(unit);
        main_.setText(Ctl::Unita_errata1, "Unit " + failedUnit_ + " Not Working");
        main_.setVisible(Ctl::Unita_errata1, true);
    }
    return whole;
}

// ---------------------------------------------------------------- the end

void PassiveSeismic::offerEarlyEnd(int hz) {
    const int blocks = out_.blocks;
    std::string why = "The recording ended early";
    if (out_.end == End::UnitFailed) why += " (unit " + failedUnit_ + " did not deliver its block)";
    if (blocks == 0) {
        setInfo("");
        main_.message(why + ": no block was recorded whole.");
        return;
    }
    setInfo("");
    const std::string question = why + ": " + std::to_string(blocks) + " of " + std::to_string(out_.planned) +
                                 " blocks were recorded whole (" + std::to_string(int64_t{blocks} * kBlock) +
                                 " samples per channel). Save them?";
    if (main_.ask(question, Buttons::YesNo) == Answer::Yes) mergeAndSave(hz, blocks);
}

void PassiveSeismic::mergeAndSave(int hz, int blocks) {
    setInfo("");
    const std::string data = files_.home + "/" + kDataFile;
    if (std::string err = WritePassiveDataText(s_, files_.home, hz, int64_t{blocks} * kBlock, data, files_.regional);
        !err.empty()) {
        main_.message("The data file " + data + " could not be written: " + err +
                      ". The recording stays in the temporary files.");
        return;
    }
    out_.merged = true;
    if (!showSave) return;
    out_.save = showSave();
    if (out_.save == SaveResult::Saved) std::remove(markerPath().c_str());
}

// ---------------------------------------------------------------- marker

std::string PassiveSeismic::markerPath() const { return files_.home + "/" + kUnsavedMarker; }

int PassiveSeismic::unsavedBlocks() const {
    std::ifstream in(markerPath());
    if (!in) return 0;
    int blocks = 1;  // a marker that names no count still says a recording is there
    for (std::string line; std::getline(in, line);)
        if (line.rfind("blocks=", 0) == 0) blocks = std::max(1, std::atoi(line.c_str() + 7));
    return blocks;
}

void PassiveSeismic::markUnsaved(int hz, int blocks) {
    std::ostringstream text;
    text << "blocks=" << blocks << "\r\nfrequency=" << hz << "\r\nchannels=" << s_.N_Geofoni << "\r\n";
    // Not being able to leave the note is no reason to stop recording.
    (void)WriteFileAtomically(markerPath(), text.str());
}

}  // namespace q24
