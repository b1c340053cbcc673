#pragma once
// ini.txt: the fifteen variables (one an array of 240 slots) that persist
// between runs, one number per line, 254 lines ending CR LF, in a fixed order.
#include <istream>
#include <string>

#include "state/Panel.h"
#include "state/State.h"

namespace q24 {

inline constexpr int kConfigLines = 254;

// Reads the items in their fixed order from `in`. A missing line (end of file)
// leaves that item and all later ones unchanged; a line that is not a number,
// or one that does not fit the variable's type, leaves only its own variable
// unchanged. Lines may end in CR LF, LF or CR.
void ReadConfigItems(State& s, std::istream& in);

// The 254 lines of the file for the present state.
std::string ConfigText(const State& s);

// The start-up read of ini.txt in `folder`: a missing file is created empty,
// the items are read, then the start rules repair the essential values (with
// the two baud-rate messages) and the "Running" lines are shown in Label5 and
// Label2. Never fails: what cannot be read keeps its value.
void LoadConfiguration(State& s, Panel& panel, const std::string& folder);

// The start rules alone, in their order (also used after ReadConfigItems).
void ApplyStartRules(State& s, Panel& panel);

// Writes ini.txt in `folder` with the 254 items. The old file is replaced only
// once the new one is complete. Returns an empty string on success, else the
// reason. (EXIT runs the parameters' sample-count handler before calling it.)
std::string SaveConfiguration(State& s, const std::string& folder);

}  // namespace q24
