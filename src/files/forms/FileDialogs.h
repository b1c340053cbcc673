#pragma once
// Opening the files' dialogs from the rest of the program. Each shows its
// dialog modally over the active window and returns when it is closed.
#include <functional>
#include <string>
#include <vector>

#include "files/Saving.h"

namespace q24 {

// After a trigger shot, a stacking series (Passive_mode false) or a passive
// recording (Passive_mode true): `Percorsofile_tr`.
SaveResult ShowTriggerSave(State& s, Panel& main, const FilesEnv& env);

// After a timed recording: `Percorsofile`. On a save, `afterSave` runs once
// the dialog is closed (the timed dialog's own labels and buttons), then
// "file .sg2 created" is shown.
SaveResult ShowTimedSave(State& s, Panel& main, const FilesEnv& env, const std::vector<std::string>& channelText,
                         const std::function<void()>& afterSave = {});

// REFRACTION's Yes: ends an open project first if the operator wants, then
// `Project_name`.
void ShowProjectName(State& s, Panel& main, const FilesEnv& env);

// FILE: `Percorso_load` on the program's Data folder.
void ShowLoad(State& s, Panel& main, const FilesEnv& env, const std::function<void()>& redraw);

}  // namespace q24
