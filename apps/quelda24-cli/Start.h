#pragma once
// What every subcommand that talks to the units sets up: the program state,
// the line (the given device as COM1), the link with a wait that sleeps in
// the event loop, the parameters and the channel settings; then the program's
// own start-up in its order: the channel settings loaded, ini.txt read from
// the home folder, the parameters positioned, the line opened, one parameter
// command and a unit reset. Each subcommand keeps its own panel.
#include <functional>
#include <memory>
#include <string>

#include "acquisition/ChannelSettings.h"
#include "acquisition/Parameters.h"
#include "link/EventLoopWait.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "link/PosixPort.h"
#include "state/Panel.h"
#include "state/Regional.h"
#include "state/State.h"

namespace q24::cli {

class Session {
public:
    Session(Panel& panel, const std::string& portPath, const Regional& regional = Regional::fromSystem());
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The start-up. False when the line could not be opened (nothing was sent
    // then): the reason is on standard error, the link's own message first
    // when it gave one. Skipped start-up steps are listed there too.
    bool start(const std::string& home, const std::string& lastMessage = {});
    // Same, leaving the reason to the caller.
    bool startQuietly(const std::string& home);
    std::string failure(const std::string& lastMessage) const;

    // Every wait of the link goes through here; a subcommand may shorten a
    // wait's deadline (and act on it) before the event loop sleeps.
    std::function<double(double deadline)> beforeWait;
    Link::Yield yield();

    std::unique_ptr<State> state = std::make_unique<State>();
    State& s = *state;
    Panel& panel;
    std::string portPath;
    PosixPort port;
    PortMap map;
    EventLoopWait wait;
    Link link;
    AcqParameters params;
    ChannelSettings channels;
};

}  // namespace q24::cli
