// One minute of timed sampling, 24 channels at 500 Hz, from quelda24-units
// paced at the high line rate of 1000000 baud over a pseudo-terminal: the
// recording's own time against the minute of samples it holds, and the
// bursts that did not arrive (there should be none: the program keeps up
// with the units).
//
//   timed_record [--time-scale X]   (the units' clock X times faster; 1 default)
#include <QCoreApplication>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "acquisition/TimedMode.h"
#include "link/EventLoopWaits.h"
#include "support/UnitsOnPty.h"

using namespace q24;

namespace {

struct AllSlots : ChannelSlots {
    std::string text(int slot) const override { return std::to_string(slot); }
    bool checked(int slot) const override { return slot >= 1 && slot <= 24; }
    void setCheckCaption(int, const std::string&, SlotColour) override {}
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    double scale = 1;
    if (argc > 2 && std::string(argv[1]) == "--time-scale") scale = std::atof(argv[2]);
    if (!(scale > 0)) scale = 1;
    bench::UnitsOnPty units("timed_record",
                            {"--pattern", "--paced", "--units", "1-24", "--time-scale", std::to_string(scale)});
    if (!units.running()) return 1;
    State* s = units.s.get();
    // The save dialog's moment is when the recording has ended.
    struct : bench::QuietPanel {
        std::function<void()> saved;
        Task<SaveResult> saveTimed() override {
            saved();
            co_return SaveResult::Closed;
        }
    } panel;
    Link& link = units.makeLink(panel);
    s->Baud_rate_high = 1000000;
    s->Use_timeout = true;
    s->N_slow = 128;
    s->Burst_N = 128;
    s->Trigger_unit = 1;
    s->Sampling_freq = 500;
    s->N_Geofoni = 24;
    s->Finestra_tempo = 1;
    if (RunInEventLoop(link.Open_port()) != 1) return 1;
    RunInEventLoop(link.Set_baud(s->Baud_rate_high));  // "Continuous sampling"

    AllSlots channelSlots;
    TimedMode mode(*s, units.gated(), panel, link, units.owner(), channelSlots);
    long lost = 0, bursts = 0;
    mode.burstRead = [&](int, int, int, bool ok) {
        ++bursts;
        lost += !ok;
    };
    const auto t0 = std::chrono::steady_clock::now();
    double took = 0;
    panel.saved = [&] { took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(); };
    mode.Prepare();
    RunInEventLoop(Call([&mode]() -> Task<int> {
        co_await mode.Start_acq_Click();
        co_return 0;
    }));

    const double held = static_cast<double>(s->N_samples_cont) / s->Sampling_freq / scale;
    std::printf("24 channels at 500 Hz, one minute (units' clock x%g): %ld bursts, %ld lost\n", scale, bursts, lost);
    std::printf("recording took %.3f s for %.3f s of samples: %.4f x (target: within 1.05, none lost)\n", took, held,
                took / held);
    const auto& c = link.counters();
    std::printf("link: %llu bytes in, %llu out, %llu timeouts, %llu framing errors\n",
                static_cast<unsigned long long>(c.bytesIn), static_cast<unsigned long long>(c.bytesOut),
                static_cast<unsigned long long>(c.timeouts), static_cast<unsigned long long>(c.framing));
    return lost == 0 ? 0 : 1;
}
