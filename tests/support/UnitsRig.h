#pragma once
// The emulated units on a simulated line and clock, the Link that talks to
// them as COM `com` at the working rate `baud` with timeouts on, and the owner
// of the line: what the tests of the link and of each acquisition set up
// before their own parts. The panel is the test's own (a FakePanel or one
// derived from it); the logic is given `gated`, which records into it.
// Sequences run on the simulated clock: `line.run(task)`.
#include <memory>
#include <utility>
#include <vector>

#include "link/LineOwner.h"
#include "link/Link.h"
#include "support/FakePanel.h"
#include "units/EmulatedPort.h"

namespace q24::test {

// Units `addresses` (none given: 1 to 255) answering with the exact test
// pattern.
inline units::UnitsConfig PatternUnits(std::vector<int> addresses = {}) {
    units::UnitsConfig c;
    c.data = units::DataKind::Pattern;
    c.addresses = std::move(addresses);
    return c;
}

template <class PanelT = FakePanel>
struct UnitsRig {
    std::unique_ptr<State> s = std::make_unique<State>();
    PanelT panel;
    GatedPanel gated{panel};
    units::SimulatedLine line;
    PortMap map;
    Link link;
    LineOwner owner;

    explicit UnitsRig(units::UnitsConfig c, int com = 1, int32_t baud = 1000000)
        : line(std::move(c)), link(*s, gated, line.port, map, line), owner(*s, gated, link) {
        map.assign(com, line.port.path());
        map.fillDefaults({});
        s->Baud_rate = baud;
        s->Com_port = static_cast<int16_t>(com);
        s->Use_timeout = true;
    }
    // Opens the line and forgets the bytes of the opening; Open_port's result.
    int openLine() {
        const int opened = line.run(link.Open_port());
        line.port.written.clear();
        return opened;
    }
    // Runs the owner's sequences on the simulated clock until it is idle.
    void runUntilIdle() { line.runUntil([this] { return owner.idle(); }); }
};

}  // namespace q24::test
