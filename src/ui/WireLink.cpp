// The unit link's part of the application: the line and its map of COM
// numbers, the emulated units of --simulate, the start-up steps that open the
// port, send the first parameter command and reset the units, and the RESET,
// Baud Rate and CODE commands.
#include <QDialog>
#include <cstdio>
#include <memory>
#include <utility>

#include "link/forms/B_Rate.h"
#include "link/forms/Gestione_codice.h"
#include "link/forms/Password.h"
#include "link/forms/Rs232.h"
#include "ui/Application.h"
#include "ui/LinkParts.h"
#include "ui/Wiring.h"

namespace q24 {

namespace {

// The units --simulate offers: a shot gather over 96 units, the hammer three
// seconds after arming, bytes paced at the line rate.
std::unique_ptr<units::PtyUnits> StartSimulatedUnits() {
    units::UnitsConfig c;
    c.data = units::DataKind::Gather;
    c.triggerDelay = 3.0;
    c.paced = true;
    auto u = std::make_unique<units::PtyUnits>(c);
    std::string error;
    if (!u->open(error)) {
        std::fprintf(stderr, "quelda24: the emulated units could not start: %s\n", error.c_str());
        return nullptr;
    }
    u->start();
    std::fprintf(stderr, "quelda24: emulated units on %s\n", u->path().c_str());
    return u;
}

}  // namespace

void WireLink(Application& app) {
    auto parts = std::make_unique<LinkParts>();
    const Options& o = app.options();
    bool comOneGiven = false;
    for (const auto& [n, path] : o.ports) {
        parts->map.assign(n, path);
        comOneGiven |= n == 1;
    }
    if (o.simulate && (parts->simulated = StartSimulatedUnits()) && !comOneGiven)
        parts->map.assign(1, parts->simulated->path());
    parts->map.fillDefaults(PortMap::PresentDevices("/dev", HasUart));
    parts->link = std::make_unique<Link>(app.state(), app.panel(), parts->port, parts->map, parts->waits);
    parts->owner = std::make_unique<LineOwner>(app.state(), app.panel(), *parts->link);
    Link& link = *parts->link;
    LineOwner& owner = *parts->owner;
    State& s = app.state();
    analog& w = app.window();
    struct StartLine {
        bool open = false;
        std::function<void(Link&)> parameters;
    };
    auto startLine = std::make_shared<StartLine>();
    // The units reset as a sequence of its own.
    auto reset = [&owner] {
        owner.request(Command::Reset, Activity::Resetting, [&owner]() -> Task<void> { co_await owner.reset(); });
    };

    app.hooks().showPortDialog = [&app, &link, &owner, &s, &w, startLine] {
        if (app.options().noPortDialog) {
            // Unattended start: the lowest number given, COM1 otherwise.
            int n = 1;
            if (!app.options().ports.empty()) {
                n = 16;
                for (const auto& p : app.options().ports) n = std::min(n, p.first);
            }
            s.Com_port = static_cast<int16_t>(n);
            startLine->open = true;  // opened by the start-up's line sequence below
            return;
        }
        Rs232 dialog(owner, link, s, &w);
        dialog.exec();
    };
    // The start-up's last steps run as one sequence, in their order: the line
    // opened (unless the port dialog did it), one parameter command, a reset.
    app.hooks().sendParameters = [startLine](int trigger, int samples, int freq, int pretrigger, int trgMode,
                                             int trgOpening, bool passive) {
        startLine->parameters = [=](Link& l) {
            l.Send_parameters(trigger, samples, freq, pretrigger, trgMode, trgOpening, passive);
        };
    };
    app.hooks().resetUnits = [startLine, &link, &owner] {
        owner.request(Command::Reset, Activity::Resetting, [startLine, &link, &owner]() -> Task<void> {
            if (std::exchange(startLine->open, false)) {
                owner.phase(Activity::SpeedChange);
                if (!co_await link.Open_port()) co_return;
            }
            if (auto send = std::exchange(startLine->parameters, {})) send(link);
            co_await owner.reset();
        });
    };

    w.setCommand(Ctl::RESETTA, reset);
    w.setCommand(Ctl::B_R, [&s, &w] {
        B_Rate dialog(s, &w);
        dialog.exec();
    });
    app.openPassword = [&link, &owner, &s, &w, reset] {
        Password password(&w);
        if (password.exec() != QDialog::Accepted) return;
        Gestione_codice code(owner, link, s, &w);
        if (code.exec() == QDialog::Accepted) reset();  // the unit restarts with its new code
    };
    app.setLink(std::move(parts));
}

}  // namespace q24
