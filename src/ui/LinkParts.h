#pragma once
// What the application owns for the unit link: the serial line, the COM
// number map, the event-loop wait, the link itself, and the emulated units
// behind --simulate. Built by WireLink.
#include <memory>

#include "link/EventLoopWait.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "link/PosixPort.h"
#include "units/PtyUnits.h"

namespace q24 {

struct LinkParts {
    PosixPort port;
    PortMap map;
    EventLoopWait wait;
    std::unique_ptr<units::PtyUnits> simulated;  // --simulate: the units on a pseudo-terminal
    std::unique_ptr<Link> link;
};

}  // namespace q24
