#pragma once
// Saving a recording: the converter started on the data text file, the record
// file beside the .sg2, the refraction project's file and the refraction
// program. What the DONE, EXIT, OK buttons of the save and project dialogs
// do, without any widget.
#include <functional>
#include <string>
#include <vector>

#include "state/Panel.h"
#include "state/Regional.h"
#include "state/State.h"

namespace q24 {

// Starts a program beside ours, without a shell and without waiting for it.
// Returns "" or the reason it could not start.
using Launcher = std::function<std::string(const std::string& program, const std::vector<std::string>& args)>;
std::string StartDetached(const std::string& program, const std::vector<std::string>& args);

struct FilesEnv {
    std::string home;  // the program folder
    Regional regional;
    Launcher launch = StartDetached;
};

// The folder of the running executable ("" when it cannot be known).
std::string ExecutableFolder();
// The converter and the refraction program: beside the executable when they
// are there, else home/Sg2Maker and home/velostrata/bin/velostrata.
std::string ConverterPath(const std::string& home);
std::string VelostrataPath(const std::string& home);
std::string DataFolder(const std::string& home);      // home/Data
std::string ProjectPath(const std::string& home, const std::string& name);  // home/Data/name.prj

// A normal file at exactly that path (folders and devices do not count).
bool IsNormalFile(const std::string& path);

// "" when the name may be used for a .sg2 (or, with blankAllowed, a project),
// else the message that refuses it: a name never reaches outside its folder.
std::string CheckName(const std::string& name, bool blankAllowed);

// The name after `name`: its trailing number plus one, keeping its width
// ("line3_007" gives "line3_008", "x999" gives "x1000"); a name without a
// trailing number gets "1" appended.
std::string NextName(const std::string& name);
// The name the trigger save proposes in `folder`: the one after the newest
// .sg2 there, skipping names whose .sg2 exists; "" when the folder holds no
// .sg2 (or no free name is found).
std::string ProposedName(const std::string& folder);

// The name box after picking a file in a save dialog: the file's name, without
// the ".sg2" or ".txt" the save adds again.
std::string NameFromPickedFile(const std::string& fileName);

enum class SaveResult {
    Saved,     // converter started; "file .sg2 created" shown
    Refused,   // the name was refused: the dialog stays open
    Declined,  // the operator did not want the existing file replaced
    Failed,    // a file or the converter failed; said in a message
    Closed,    // EXIT or ESC: nothing written
};

// Trigger save dialog `Percorsofile_tr`, DONE: a passive recording (Passive_mode)
// or a trigger shot / stacking series. With `mseed` a passive recording is
// also written as NAME.mseed (files/MiniSeed.h) beside NAME.sg2; a failure
// there is said in a message and the .sg2 is made all the same.
SaveResult TriggerSaveDone(State& s, Panel& main, const FilesEnv& env, const std::string& folder,
                           const std::string& name, bool mseed = false);
// Trigger save dialog, EXIT: the stacking series is over, nothing is written.
void TriggerSaveExit(State& s);

// Timed save dialog `Percorsofile`, OK: data.txt in its timed layout (the
// trace labels are "Canale " + channelText[k - 1]), then the converter. The
// overwrite is not asked. "file .sg2 created" is left to the caller, which
// shows it after the timed dialog has been updated. `mseed` as for
// TriggerSaveDone.
SaveResult TimedSaveOk(State& s, Panel& main, const FilesEnv& env, const std::string& folder,
                       const std::string& name, const std::vector<std::string>& channelText, bool mseed = false);

// REFRACTION's Yes, before `Project_name` opens: with a project already open,
// asks whether to end it first. True when the new project may be named.
bool BeforeNewProject(State& s, Panel& main, const FilesEnv& env);
// `Project_name`, OK: the project file Data/<name>.prj is made empty and the
// project is open. False (with a message) when the name or the file fails.
bool ProjectNameOk(State& s, Panel& main, const FilesEnv& env, const std::string& name);
// Ends the open project: no more lines, and the refraction program started on
// its file (or "Velostrata must be included in the same directory of
// application!").
void EndProject(State& s, Panel& main, const FilesEnv& env);

inline constexpr const char* kSg2Created = "file .sg2 created";
inline constexpr const char* kVelostrataMissing = "Velostrata must be included in the same directory of application!";
inline constexpr const char* kConverterMissing = "Sg2Maker must be included in the same directory of application!";

}  // namespace q24
