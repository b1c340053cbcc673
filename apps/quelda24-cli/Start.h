#pragma once
// The program's start-up for a subcommand that talks to the units: the channel
// settings loaded, ini.txt read from `home`, the parameters positioned, the
// line opened as COM1 (the path the map gives it), one parameter command and a
// unit reset, in the program's order. Each subcommand keeps its own panel and
// its own wait (the Link's yield).
#include <string>

#include "acquisition/ChannelSettings.h"
#include "acquisition/Parameters.h"
#include "link/Link.h"
#include "state/Panel.h"
#include "state/State.h"

namespace q24::cli {

// False when the line could not be opened (nothing was sent then); the caller
// says so. Skipped start-up steps are listed on standard error.
bool StartLikeTheProgram(State& s, Panel& panel, Link& link, AcqParameters& params, ChannelSettings& channels,
                         const std::string& home);

// The one-line reason for a line that did not open: the link's own message
// when it gave one, else the port's path.
std::string PortFailure(const std::string& lastMessage, const std::string& path);

}  // namespace q24::cli
