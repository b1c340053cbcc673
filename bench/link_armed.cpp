// CPU used while the program waits, armed, for a trigger byte that comes after
// 10 seconds: the wait sleeps in the Qt event loop on the port's descriptor.
#include <QCoreApplication>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "support/UnitsOnPty.h"

using namespace q24;

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::UnitsOnPty units("link_armed", {"--trigger-delay", "10"});
    if (!units.running()) return 1;
    bench::QuietPanel panel;
    Link& link = units.makeLink(panel);
    if (!RunInEventLoop(link.Open_port())) return 1;
    link.Send_parameters(1000, 1024, 8000, 0, 1, 0, false);
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    const int got = RunInEventLoop(link.Wait_trigger_byte());
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    std::printf("link_armed: trigger byte %s after %.2f s; CPU %.4f s = %.3f %% of one core (target under 1 %%)\n",
                got ? "seen" : "not seen", wall, cpu, 100 * cpu / wall);
    return got ? 0 : 1;
}
