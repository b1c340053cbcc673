// CPU used while the program waits, armed, for a trigger byte that comes after
// 10 seconds: the wait sleeps in the Qt event loop on the port's descriptor.
#include <QCoreApplication>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "link/EventLoopWait.h"
#include "link/Link.h"
#include "link/PosixPort.h"
#include "units/UnitsProcess.h"

using namespace q24;

namespace {

class QuietPanel : public Panel {
public:
    void setText(Ctl, const std::string&) override {}
    std::string text(Ctl) const override { return {}; }
    void setEnabled(Ctl, bool) override {}
    void setVisible(Ctl, bool) override {}
    void setValue(Ctl, int) override {}
    void message(const std::string&, const std::optional<std::string>&) override {}
    Answer ask(const std::string&, Buttons, const std::optional<std::string>&) override { return Answer::Ok; }
};

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    units::UnitsProcess units(units::UnitsProcess::ToolBesideMe(), {"--trigger-delay", "10"});
    if (!units.running()) {
        std::fprintf(stderr, "link_armed: %s\n", units.error().c_str());
        return 1;
    }
    auto s = std::make_unique<State>();
    QuietPanel panel;
    PosixPort port;
    PortMap map;
    map.assign(1, units.path());
    map.fillDefaults({});
    s->Com_port = 1;
    s->Baud_rate = 1000000;
    EventLoopWait wait;
    Link link(*s, panel, port, map, &EventLoopWait::Now, [&wait](int fd, double d) { wait(fd, d); });
    if (!link.Open_port()) return 1;
    link.Send_parameters(1000, 1024, 8000, 0, 1, 0, false);
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    const int got = link.Wait_trigger_byte();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    std::printf("link_armed: trigger byte %s after %.2f s; CPU %.4f s = %.3f %% of one core (target under 1 %%)\n",
                got ? "seen" : "not seen", wall, cpu, 100 * cpu / wall);
    return got ? 0 : 1;
}
