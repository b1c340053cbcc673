// FIND UNITS over a pseudo-terminal at 1000000 baud: a chain of 24 units
// (quelda24-units, paced, unit 24 answering 8 ms late) and an empty line (a
// pseudo-terminal nobody answers on). Prints the probe's time (until the
// units are known, the reset after it, both together), the wire time of the
// exchange (every byte either way at 10 bits) and the ratio of the whole
// probe to it. Status 1 only when the units found are not the chain's.
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/UnitsProbe.h"
#include "link/EventLoopWaits.h"
#include "link/Frames.h"
#include "link/Timing.h"
#include "support/UnitsOnPty.h"
#include "units/PtyUnits.h"
#include "units/UnitsProcess.h"

using namespace q24;

namespace {

using Clock = std::chrono::steady_clock;

// Notes when the probe's reset begins.
class StampPanel : public bench::QuietPanel {
public:
    void setText(Ctl c, const std::string& text) override {
        if (c == Ctl::testo && text == "R E S E T ....." && resetAt == Clock::time_point{}) resetAt = Clock::now();
    }
    Clock::time_point resetAt{};
};

struct Line {
    explicit Line(const std::string& path) {
        map.assign(1, path);
        map.fillDefaults({});
        s->Com_port = 1;
        s->Baud_rate = 1000000;
        s->Use_timeout = true;
    }
    std::unique_ptr<State> s = std::make_unique<State>();
    PosixPort port;
    PortMap map;
    EventLoopWaits waits;
    StampPanel panel;
    GatedPanel gated{panel};
    Link link{*s, gated, port, map, waits};
    LineOwner owner{*s, gated, link};
};

bool Probe(const char* name, const std::string& path, int units) {
    Line line(path);
    if (!RunInEventLoop(line.link.Open_port())) return false;
    UnitsProbe probe(*line.s, line.gated, line.link, line.owner);
    const auto t0 = Clock::now();
    const ProbeResult r = RunInEventLoop(probe.run());
    const auto t1 = Clock::now();
    const auto secs = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    const double total = secs(t1 - t0), known = secs(line.panel.resetAt - t0);
    // PC: parameter command, a request per number, reset byte, speed command
    // (at 250000); units: the end-of-recording reply and a block per unit.
    const int asked = UnitsProbe::kLastAddress - UnitsProbe::kFirstAddress + 1;
    const double wire = timing::WireSeconds(11 + 11 * asked + 1 + (units > 0 ? 4 : 0) +
                                                static_cast<std::size_t>(units) * frames::kBlockBytes,
                                            1000000) +
                        timing::WireSeconds(11, 250000);
    // The units are left at the working speed: they answer the read-code command.
    const bool speedOk = RunInEventLoop(line.link.Read_unit_code()) == 0 && line.link.lastEnd() == ReadEnd::Ok;
    if (units > 0 && !speedOk) std::printf("detect_probe %s: the units do not answer at the working speed\n", name);
    bool right = (units == 0 || speedOk) && r.complete && static_cast<int>(r.units.size()) == units;
    for (int i = 0; right && i < units; ++i)
        right = r.units[i].address == i + 1 && r.units[i].answer == UnitAnswer::Answered;
    std::printf(
        "detect_probe %s: %zu units found%s; %.3f s (units known after %.3f s, reset %.3f s) against "
        "%.4f s of wire time: ratio %.1f (target: under 5 s)\n",
        name, r.units.size(), right ? "" : " (WRONG)", total, known, total - known, wire, total / wire);
    return right;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool ok = true;
    {
        units::UnitsProcess chain(units::UnitsProcess::ToolBesideMe(),
                                  {"--pattern", "--paced", "--units", "1-24", "--slow", "24:0.008"});
        if (!chain.running()) {
            std::fprintf(stderr, "detect_probe: %s\n", chain.error().c_str());
            return 1;
        }
        ok = Probe("24 units", chain.path(), 24) && ok;
    }
    units::PtyUnits empty;  // opened, never served: nothing answers
    std::string error;
    if (!empty.open(error)) {
        std::fprintf(stderr, "detect_probe: %s\n", error.c_str());
        return 1;
    }
    ok = Probe("empty line", empty.path(), 0) && ok;
    return ok ? 0 : 1;
}
