// The unit link's part of the application: the line and its map of COM
// numbers, the emulated units of --simulate, the start-up steps that open the
// port, send the first parameter command and reset the units, and the RESET,
// Baud Rate and CODE commands.
#include <QDialog>
#include <cstdio>

#include "link/BRateDialog.h"
#include "link/CodeDialog.h"
#include "link/PasswordDialog.h"
#include "link/Rs232Dialog.h"
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
    EventLoopWait* wait = &parts->wait;
    parts->link = std::make_unique<Link>(app.state(), app.window(), parts->port, parts->map, &EventLoopWait::Now,
                                         [wait](int fd, double deadline) { (*wait)(fd, deadline); });
    Link& link = *parts->link;
    State& s = app.state();
    Analog& w = app.window();

    app.hooks().showPortDialog = [&app, &link, &s, &w] {
        if (app.options().noPortDialog) {
            // Unattended start: the lowest number given, COM1 otherwise.
            int n = 1;
            if (!app.options().ports.empty()) {
                n = 16;
                for (const auto& p : app.options().ports) n = std::min(n, p.first);
            }
            s.Com_port = static_cast<int16_t>(n);
            link.Open_port();
            return;
        }
        Rs232Dialog dialog(link, s, &w);
        dialog.exec();
    };
    app.hooks().sendParameters = [&link](int trigger, int samples, int freq, int pretrigger, int trgMode,
                                         int trgOpening, bool passive) {
        link.Send_parameters(trigger, samples, freq, pretrigger, trgMode, trgOpening, passive);
    };
    app.hooks().resetUnits = [&link] { link.Reset_units(); };

    w.setCommand(Ctl::RESETTA, [&link] { link.Reset_units(); });
    w.setCommand(Ctl::B_R, [&s, &w] {
        BRateDialog dialog(s, &w);
        dialog.exec();
    });
    app.openPassword = [&link, &s, &w] {
        PasswordDialog password(&w);
        if (password.exec() != QDialog::Accepted) return;
        CodeDialog code(link, s, &w);
        if (code.exec() == QDialog::Accepted) link.Reset_units();  // the unit restarts with its new code
    };
    app.setLink(std::move(parts));
}

}  // namespace q24
