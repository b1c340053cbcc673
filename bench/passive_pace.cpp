// Does a passive recording keep pace with the units? 24 channels at 500 Hz on
// a 500000-baud line: the emulated units send at the line's real rate on a
// simulated clock, so each block's reads take their wire time there, and this
// program's own work (decoding, copying, appending and flushing the
// temporary files) is measured on the real clock. Their sum must stay below
// the 16.384 s the units take to record the next block.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "acquisition/PassiveSeismic.h"
#include "support/UnitsOnPty.h"
#include "link/LineOwner.h"
#include "units/EmulatedPort.h"

using namespace q24;


int main() {
    constexpr int kChannels = 24, kHz = 500, kBlocks = 4;  // one minute
    const std::filesystem::path home = std::filesystem::temp_directory_path() / "q24_passive_pace";
    std::filesystem::create_directories(home);
    units::UnitsConfig config;
    config.data = units::DataKind::Noise;
    config.paced = true;
    for (int u = 1; u <= kChannels; ++u) config.addresses.push_back(u);
    units::SimulatedLine line(config);
    auto s = std::make_unique<State>();
    bench::QuietPanel quiet;
    GatedPanel panel(quiet);
    PortMap map;
    map.assign(1, line.port.path());
    s->Baud_rate = 500000;
    s->Com_port = 1;
    s->Use_timeout = true;
    s->Trigger_unit = 1000;
    s->N_Geofoni = kChannels;
    for (int ch = 1; ch <= kChannels; ++ch) s->Ch_param[ch] = static_cast<int16_t>(ch);
    Link link(*s, panel, line.port, map, line);
    LineOwner owner(*s, panel, link);
    if (line.run(link.Open_port()) != 1) return 1;
    PassiveSeismic passive(*s, panel, quiet, link, FilesEnv{home.string(), Regional{}}, owner);

    const double record = 8192.0 / kHz;
    using Clock = std::chrono::steady_clock;
    double lastSim = line.t;
    auto lastReal = Clock::now();
    double worst = 0;
    passive.blockDone = [&](int b, int) {
        const double real = std::chrono::duration<double>(Clock::now() - lastReal).count();
        const double reads = line.t - lastSim - record;  // on the wire, after the reply
        std::printf("block %d: reads %.2f s on the wire + %.2f s of work = %.2f s of %.3f s\n", b, reads, real,
                    reads + real, record);
        worst = std::max(worst, reads + real);
        lastSim = line.t;
        lastReal = Clock::now();
    };
    passive.Form_Load();
    s->Finestra_tempo = 1;
    passive.SelectFrequency(kHz);
    line.run(passive.Command2_Click());
    std::filesystem::remove_all(home);
    if (passive.outcome().blocks != kBlocks) return std::printf("recording ended early\n"), 1;
    std::printf("slowest block's reads: %.2f s; the next block takes %.3f s to record: %.2f times the time needed\n",
                worst, record, record / worst);
    return 0;
}
