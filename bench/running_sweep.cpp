// Running-mode sweeps of 24 channels x 256 samples at 2000 Hz from
// quelda24-units paced at 1000000 baud over a pseudo-terminal, each trace
// drawn on the main window (offscreen) right after its read, as the program
// does. A sweep can take no less than the recording itself (256 / 2000 s)
// plus its bytes on the line (the parameter command, the 4-byte reply, and
// 11 + 896 bytes per channel, 10 bits a byte); the ratio printed is the
// measured sweep against that.
//
//   running_sweep [SWEEPS] [--hidden]
// (10 sweeps by default, after one to warm up). --hidden draws into a window
// that is never shown, so nothing is repainted: it tells the line's share of
// the time from the repaints'.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "acquisition/ChannelSettings.h"
#include "acquisition/AcqParameters.h"
#include "acquisition/RunningMode.h"
#include "display/forms/TracePicture.h"
#include "link/EventLoopWaits.h"
#include "link/Timing.h"
#include "support/UnitsOnPty.h"
#include "ui/analog.h"

using namespace q24;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int sweeps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const bool shown = !(argc > 2 && std::string(argv[2]) == "--hidden");
    constexpr int kChannels = 24, kSamples = 256, kFreq = 2000, kBaud = 1000000;

    bench::UnitsOnPty units("running_sweep", {"--noise", "--paced", "--units", "1-" + std::to_string(kChannels)});
    if (!units.running()) return 1;
    State* s = units.s.get();
    s->Baud_rate = kBaud;
    s->Baud_rate_high = kBaud;
    s->Use_timeout = true;
    s->N_slow = 128;
    s->Burst_N = 128;
    s->Trigger_unit = 1;
    s->Manual_trigger = true;
    s->Running_N = kSamples;
    s->Running_Fs = kFreq;
    s->N_Geofoni = kChannels;
    for (int ch = 1; ch <= kChannels; ++ch) {
        s->Ch_param[ch] = static_cast<int16_t>(ch);
        s->Ch_enabled[ch] = true;
    }

    analog window;
    window.picture()->attach(*s);
    window.resize(1400, 900);
    if (shown) window.show();
    Link& link = units.makeLink(window);
    AcqParameters params(*s, units.gated());
    ChannelSettings channels(*s);
    if (!RunInEventLoop(link.Open_port())) return 1;
    params.setFreqPosition(AcqParameters::FreqPositionOf(kFreq));

    // What GO RUNNING sets up above 500 Hz; each sweep is then what the
    // running sequence does between two of its 10 ms pauses.
    s->N_samples = s->Running_N;
    s->Trg_mode = 0;
    s->Display_mode = 1;
    s->Stop_req = 0;
    s->Stop_flag = false;
    bench::QuietPanel forms;  // running mode opens none
    RunningMode mode(*s, units.gated(), forms, link, units.owner(), params, channels);
    auto sweep = [&mode] {
        RunInEventLoop(Call([&mode]() -> Task<int> {
            co_await mode.Timer3_Timer();
            co_return 0;
        }));
    };
    int failed = 0;
    mode.channelRead = [&failed](int, int, bool ok) { failed += ok ? 0 : 1; };
    sweep();  // warm-up: the picture's first paint, the line's first blocks
    failed = 0;

    const double recording = static_cast<double>(kSamples) / kFreq;
    const double wire = timing::WireSeconds(11 + 4 + static_cast<std::size_t>(kChannels) * (11 + 896), kBaud);
    const double least = recording + wire;
    double total = 0, worst = 0;
    for (int i = 0; i < sweeps; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        sweep();
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        total += took;
        worst = std::max(worst, took);
    }
    const double mean = total / sweeps;
    std::printf("running_sweep%s: %d sweeps of %d channels x %d samples at %d Hz, %d baud, %d reads failed\n",
                shown ? "" : " --hidden", sweeps, kChannels, kSamples, kFreq, kBaud, failed);
    std::printf("  least possible %.4f s (recording %.4f s + wire %.4f s); mean %.4f s, worst %.4f s\n", least,
                recording, wire, mean, worst);
    std::printf("  ratio %.4f (mean), %.4f (worst); target at most 1.05\n", mean / least, worst / least);
    return failed == 0 ? 0 : 1;
}
