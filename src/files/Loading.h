#pragma once
// Loading a file picked in the load dialog: a SEG-2 file (recognised by its
// first bytes, whatever its name) or a record file, into the program state,
// the main window's labels and the trace picture.
#include <functional>
#include <string>

#include "state/Panel.h"
#include "state/Regional.h"
#include "state/State.h"

namespace q24 {

enum class LoadResult { Loaded, TooLarge, Erroneous };

inline constexpr const char* kErroneousFile = "Erroneous file!";
inline constexpr const char* kFileTooLarge = "File too Large";

// Loads `path`: "File too Large" above what the trace array can hold,
// "Erroneous file!" for a file that cannot be read or breaks a rule (the
// program state is then left exactly as it was). On success the counts,
// frequency and samples are in the state, the labels show them, Trg_offset is
// 2.1 ms of samples and `redraw` draws the traces (with none, every trace is
// plotted through the Panel). `why` gets the reason of a refusal.
LoadResult LoadFile(State& s, Panel& main, const std::string& path, const Regional& regional,
                    const std::function<void()>& redraw = {}, std::string* why = nullptr);

}  // namespace q24
