#pragma once
// What the benchmarks that talk to the units share: quelda24-units of this
// build started on a pseudo-terminal with the benchmark's options, reached as
// COM1 at 1000000 baud through the real serial layer, and a panel that shows
// nothing but the messages (on standard error).
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/EventLoopWaits.h"
#include "link/LineOwner.h"
#include "link/Link.h"
#include "link/PosixPort.h"
#include "program/TextOperator.h"
#include "units/UnitsProcess.h"

namespace q24::bench {

// The text operator with the status lines left out: messages and questions
// go to standard error, questions are answered OK or Yes.
class QuietPanel : public TextOperator {
public:
    QuietPanel() : TextOperator(stderr) {}
    void setText(Ctl, const std::string&) override {}
};

class UnitsOnPty {
public:
    // Starts the units; `bench` names the benchmark in the line that says why
    // they did not start.
    UnitsOnPty(const char* bench, const std::vector<std::string>& args)
        : units_(units::UnitsProcess::ToolBesideMe(), args) {
        if (!units_.running()) {
            std::fprintf(stderr, "%s: %s\n", bench, units_.error().c_str());
            return;
        }
        map_.assign(1, units_.path());
        map_.fillDefaults({});
        s->Com_port = 1;
        s->Baud_rate = 1000000;
    }
    bool running() const { return units_.running(); }

    // The link to the units through `panel`, waiting in the Qt event loop
    // (the application object must exist by now); its port not yet opened.
    Link& makeLink(Panel& panel) {
        gated_ = std::make_unique<GatedPanel>(panel);
        link_ = std::make_unique<Link>(*s, *gated_, port_, map_, waits_);
        owner_ = std::make_unique<LineOwner>(*s, *gated_, *link_);
        return *link_;
    }
    LineOwner& owner() { return *owner_; }
    GatedPanel& gated() { return *gated_; }

    std::unique_ptr<State> s = std::make_unique<State>();

private:
    units::UnitsProcess units_;
    PosixPort port_;
    PortMap map_;
    EventLoopWaits waits_;
    std::unique_ptr<GatedPanel> gated_;
    std::unique_ptr<Link> link_;
    std::unique_ptr<LineOwner> owner_;
};

}  // namespace q24::bench
