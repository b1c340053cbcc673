// Reading a whole recording from quelda24-units paced at 1000000 baud over a
// pseudo-terminal: 24 channels x 16384 samples (1536 blocks), against the
// bytes' own wire time (11 + 896 bytes a block, 10 bits a byte).
#include <QCoreApplication>
#include <poll.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "link/Timing.h"
#include "support/UnitsOnPty.h"

using namespace q24;

namespace {

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // --unpaced: the units answer at once, which measures the turnaround alone.
    const bool paced = !(argc > 1 && std::string(argv[1]) == "--unpaced");
    std::vector<std::string> args = {"--pattern", "--units", "1-24"};
    if (paced) args.push_back("--paced");
    bench::UnitsOnPty units("link_read", args);
    if (!units.running()) return 1;
    units.s->Use_timeout = true;
    bench::QuietPanel panel;
    Link& link = units.makeLink(panel);
    if (!RunInEventLoop(link.Open_port())) return 1;
    link.Send_parameters(1, 16384, 32000, 0, 0, 0, false);
    if (RunInEventLoop(link.Read_trigger_time(5)) != 1) std::fprintf(stderr, "link_read: no end-of-recording reply\n");

    const int channels = 24, n = 16384;
    const double wire = timing::WireSeconds(static_cast<std::size_t>(channels) * (n / 256) * (11 + 896), 1000000);
    const auto t0 = std::chrono::steady_clock::now();
    int ok = 0;
    ok = RunInEventLoop(Call([&]() -> Task<int> {
        int read = 0;
        for (int ch = 1; ch <= channels; ++ch) read += co_await link.Read_block(ch, n, false, true);
        co_return read;
    }));
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!paced) {
        std::printf("link_read --unpaced: %.3f s for %llu blocks, %.1f us a block\n", took,
                    static_cast<unsigned long long>(link.counters().blocks), 1e6 * took / link.counters().blocks);
        return 0;
    }
    std::printf("link_read: %d of %d channels, %llu blocks, %.3f s against %.3f s of wire time: ratio %.4f "
                "(target at most 1.02)\n",
                ok, channels, static_cast<unsigned long long>(link.counters().blocks), took, wire, took / wire);
    return ok == channels ? 0 : 1;
}
