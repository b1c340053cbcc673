#pragma once
// What every subcommand that talks to the units sets up: the program state,
// the line (the given device as COM1), the link with waits that sleep in the
// event loop, the owner of the line, the parameters and the channel settings;
// then the program's own start-up in its order: the channel settings loaded,
// ini.txt read from the home folder, the parameters positioned, the line
// opened, one parameter command and a unit reset. Each subcommand keeps its
// own panel.
//
// A subcommand's work is one sequence run by exec(): SIGINT, SIGTERM and SIGHUP
// cancel it at once, the units are reset (the byte only) and the command ends
// with 128 + the signal's number.
#include <functional>
#include <memory>
#include <string>

#include "acquisition/ChannelSettings.h"
#include "acquisition/AcqParameters.h"
#include "link/EventLoopWaits.h"
#include "link/LineOwner.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "link/PosixPort.h"
#include "state/Panel.h"
#include "state/Regional.h"
#include "state/State.h"
#include "state/Task.h"

namespace q24::cli {

class Session {
public:
    Session(Panel& panel, const std::string& portPath, const Regional& regional = Regional::fromSystem());
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The start-up. False when the line could not be opened (nothing was sent
    // then); failure() says why. Skipped start-up steps go to standard error.
    Task<bool> start(const std::string& home);
    std::string failure() const;

    // Runs `work` in the event loop and returns its exit status, or 128 + the
    // signal's number when a signal ended it.
    int exec(std::function<Task<int>()> work);
    // A signal has ended the work.
    bool signalled() const { return signal_ != 0; }

    std::unique_ptr<State> state = std::make_unique<State>();
    State& s = *state;
    Panel& panel;
    GatedPanel gated{panel};
    std::string portPath;
    PosixPort port;
    PortMap map;
    EventLoopWaits waits;
    Link link;
    LineOwner owner;
    AcqParameters params;
    ChannelSettings channels;

private:
    int signal_ = 0;
};

}  // namespace q24::cli
