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
//
// This object is the dialog `Passive_seismic` without its widgets: it holds
// what the dialog's controls show (Controls) and runs their handlers; the
// dialog mirrors it, the command-line tool drives it directly, tests drive it
// against the emulated units.
#include <cstdint>
#include <functional>
#include <string>

#include "files/Saving.h"
#include "link/Link.h"
#include "state/Panel.h"
#include "state/State.h"

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
    };
    struct Outcome {
        End end = End::None;
        int blocks = 0;         // whole blocks in the temporary files
        int planned = 0;        // N_blocks_passive
        bool merged = false;    // data.txt holds them
        SaveResult save = SaveResult::Closed;  // what the save dialog did
    };

    // `home` is the program folder; `yield` hands control to the event loop
    // (it is called with no descriptor and the present time).
    PassiveSeismic(State& s, Panel& main, Link& link, FilesEnv files, Link::Yield yield);

    const Controls& controls() const { return c_; }
    const Outcome& outcome() const { return out_; }
    bool recording() const { return recording_; }

    void Form_Load();       // shows Finestra_tempo, START enabled
    void Command5_Click();  // ">>": one minute more, 60 wraps to 1
    void Command6_Click();  // "<<": one minute less, 1 wraps to 59
    void SelectFrequency(int hz);  // an option button: 125, 250 or 500
    void Command2_Click();  // START: PassiveRecording
    // ESC or the close box: true when the dialog may close. While a recording
    // runs it only asks the recording to stop (the units are reset, and what
    // was recorded whole is offered for saving).
    bool Command1_Click();

    void PassiveRecording();
    // Reads one block of every position into Dati; true when each arrived.
    bool Collect_passive();

    // Blocks of a recording of `seconds` at `hz`: hz x seconds / 8192 rounded
    // (halves to even), at least 1.
    static int BlockCount(int hz, int32_t seconds);

    // The trigger save dialog, shown modally with Passive_mode set; returns
    // what it did.
    std::function<SaveResult()> showSave;
    // Told after the controls changed, so an open dialog can refresh itself.
    std::function<void()> changed;
    // Told after each block was written whole: block number, blocks planned.
    std::function<void(int block, int blocks)> blockDone;

private:
    void notify();
    void yieldOnce();
    void setInfo(const std::string& text);
    void showMinutes();
    End record(int hz, int blocks);
    void offerEarlyEnd(int hz);
    void mergeAndSave(int hz, int blocks);
    std::string markerPath() const;
    int unsavedBlocks() const;  // blocks the marker names; 0 when there is none
    void markUnsaved(int hz, int blocks);

    State& s_;
    Panel& main_;
    Link& link_;
    FilesEnv files_;
    Link::Yield yield_;
    Controls c_;
    Outcome out_;
    bool recording_ = false;
    bool busy_ = false;  // START's handler is running (a second START is refused)
    std::string failedUnit_;
};

}  // namespace q24
