#pragma once
// What the application owns for the unit link: the serial line, the COM
// number map, the event-loop waits, the link itself, the owner of the line,
// and the emulated units behind --simulate. Built by WireLink.
#include <memory>

#include "link/EventLoopWaits.h"
#include "link/LineOwner.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "link/PosixPort.h"
#include "units/PtyUnits.h"

namespace q24 {

struct LinkParts {
    PosixPort port;
    PortMap map;
    EventLoopWaits waits;
    std::unique_ptr<units::PtyUnits> simulated;  // --simulate: the units on a pseudo-terminal
    std::unique_ptr<Link> link;
    std::unique_ptr<LineOwner> owner;
};

}  // namespace q24
