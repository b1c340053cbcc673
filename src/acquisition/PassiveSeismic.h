#pragma once
// Passive (ambient-noise) recording: every channel position for a whole
// number of minutes at 125, 250 or 500 Hz, in blocks of 8192 samples.
//
// Each block: one parameter command (trigger mode 0, 8192 samples), the
// units' 4-byte "recording done" reply awaited for up to 70 seconds, then
// every position read with one data request per 256 samples into Dati, and
// each position's 8192 samples appended to its temporary file
// temp_data<k>.txt in the program folder. Dati and Traccia stay within their
// fixed sizes however long the recording runs; the whole of it is on disk.
// At the end the temporary files are merged into data.txt and the trigger
// save dialog opens in passive mode.
//
// A recording that ends early (ESC, a unit that fails, a full disk) loses
// nothing: only whole blocks (every position read, every file written) count,
// the operator is told how many there are and may save them. Temporary files
// that hold a recording not yet saved are never emptied without asking: the
// marker file temp_data_unsaved.txt says they do, across runs of the program.
// When the program ends during a recording, the units are reset, the whole
// blocks stay in the temporary files with their marker, and nothing is asked.
//
// This object is the dialog `Passive_seismic` without its widgets: it holds
// what the dialog's controls show (Controls) and runs their handlers; the
// dialog mirrors it, the command-line tool drives it directly, tests drive it
// against the emulated units. START's sequence awaits the units, the
// operator's answers and the save dialog.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "acquisition/Operator.h"
#include "files/Saving.h"
#include "link/LineOwner.h"
#include "link/Link.h"
#include "state/Panel.h"
#include "state/State.h"
#include "state/Task.h"

namespace q24 {

class PassiveSeismic {
public:
    static constexpr int32_t kBlock = 8192;          // samples per block
    static constexpr double kReplyLimit = 70;        // seconds to wait for a block's reply
    static constexpr int kProgressMax = 100;         // the main window's progress bar runs 0..100
    static constexpr const char* kUnsavedMarker = "temp_data_unsaved.txt";

    // What the dialog's controls show.
    struct Controls {
        int frequency = 125;             // FS125 / FS250 / FS500 selected
        std::string Finestra_tempo_acq;  // the minutes
        std::string Informazioni;        // status line
        int ProgressBar1 = 0;            // 0 .. kProgressMax
        bool Command2 = true;            // "START" enabled
    };

    // How the last START ended.
    enum class End {
        None,        // not started, or No to "Samples Number="
        Kept,        // the operator kept the unsaved recording in the temporary files
        FileError,   // the temporary files could not be made
        Complete,    // every block recorded
        Stopped,     // ESC during the recording
        UnitFailed,  // a unit did not deliver its block
        WriteError,  // a temporary file could not be written (a full disk)
        Cancelled,   // the program ended during the recording
    };
    struct Outcome {
        End end = End::None;
        int blocks = 0;         // whole blocks in the temporary files
        int planned = 0;        // N_blocks_passive
        bool merged = false;    // data.txt holds them
        SaveResult save = SaveResult::Closed;  // what the save dialog did
    };

    // `files.home` is the program folder; `owner` resets the units.
    PassiveSeismic(State& s, Panel& main, Operator& op, Link& link, FilesEnv files, LineOwner& owner);

    const Controls& controls() const { return c_; }
    const Outcome& outcome() const { return out_; }
    bool recording() const { return recording_; }
    // START's sequence is under way (its questions, the recording, saving).
    bool started() const { return started_; }

    void Form_Load();       // 125 Hz, Finestra_tempo shown, START enabled
    void Command5_Click();  // ">>": one minute more, 60 wraps to 1
    void Command6_Click();  // "<<": one minute less, 1 wraps to 59
    void SelectFrequency(int hz);  // an option button: 125, 250 or 500
    Task<void> Command2_Click();   // START: PassiveRecording
    // ESC or the close box: true when the dialog may close. While a recording
    // runs it only asks the recording to stop (the units are reset, and what
    // was recorded whole is offered for saving).
    bool Command1_Click();

    Task<void> PassiveRecording();
    // Reads one block of every position into Dati; true when each arrived.
    Task<bool> Collect_passive();

    // Blocks of a recording of `seconds` at `hz`: hz x seconds / 8192 rounded
    // (halves to even), at least 1.
    static int BlockCount(int hz, int32_t seconds);

    // Told after the controls changed, so an open dialog can refresh itself.
    std::function<void()> changed;
    // Told after each block was written whole: block number, blocks planned.
    std::function<void(int block, int blocks)> blockDone;

private:
    void notify();
    void setInfo(const std::string& text);
    void showMinutes();
    void startAgain();  // START enabled again
    Task<End> record(int hz, int blocks);
    Task<void> offerEarlyEnd(int hz);
    Task<void> mergeAndSave(int hz, int blocks);
    std::string markerPath() const;
    int unsavedBlocks() const;  // blocks the marker names; 0 when there is none
    void markUnsaved(int hz, int blocks);

    State& s_;
    Panel& main_;
    Operator& op_;
    Link& link_;
    FilesEnv files_;
    LineOwner& owner_;
    Controls c_;
    Outcome out_;
    bool recording_ = false;
    bool started_ = false;
    std::string failedUnit_;
};

// The blocks the marker's text names (its last "blocks=N" line); 1 when it
// names none, or a count that is not a number from 1 to 2^31 - 1 (a marker
// still says a recording is there).
int UnsavedBlocksOf(std::string_view markerText);

}  // namespace q24
