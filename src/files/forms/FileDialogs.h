#pragma once
// The files' dialogs that idle menu entries open. Each shows its dialog
// modally over the active window and returns when it is closed; the save
// dialogs are the operator's forms (WindowOperator).
#include <functional>
#include <string>
#include <vector>

#include "files/Saving.h"

namespace q24 {

// REFRACTION's Yes: ends an open project first if the operator wants, then
// `Project_name`.
void ShowProjectName(State& s, Panel& main, const FilesEnv& env);

// FILE: `Percorso_load` on the program's Data folder.
void ShowLoad(State& s, Panel& main, const FilesEnv& env, const std::function<void()>& redraw);

}  // namespace q24
