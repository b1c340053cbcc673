// Writes small seed inputs for the fuzz targets with the program's own
// writers: fuzz_seeds DIR makes DIR/<target>/<seed> for every target.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "files/DataTextFile.h"
#include "files/RecordFile.h"
#include "files/Seg2Writer.h"
#include "link/Frames.h"
#include "state/Config.h"

using namespace q24;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

fs::path root;

void seed(const std::string& target, const std::string& name, std::string_view bytes) {
    fs::create_directories(root / target);
    std::ofstream(root / target / name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A shot of `traces` x `samples`, every sample different.
std::unique_ptr<State> shot(int traces, int samples, int hz) {
    auto s = std::make_unique<State>();
    s->N_Geofoni = static_cast<int16_t>(traces);
    s->N_samples = samples;
    s->Sampling_freq = hz;
    s->Dist_geofoni = 2.5f;
    s->Pos_source = -1.25f;
    for (int t = 0; t < traces; ++t)
        for (int k = 0; k < samples; ++k) s->Dati.row(t)[k] = static_cast<float>((t + 1) * 1000 - k * 37);
    return s;
}

std::string dataText(const State& s, const Regional& regional) {
    std::string text = DataHeaderText(TriggerHeader(s), regional, Stamp{});
    for (int t = 0; t < s.N_Geofoni; ++t) text += ChannelBlockText(ChannelLabel(t + 1), s.Dati.row(t), s.N_samples);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
        return 2;
    }
    root = argv[1];
    const Regional comma{.decimal = ','};
    for (auto [traces, samples, hz] : {std::tuple{1, 8, 1000}, {3, 16, 500}, {2, 5, 32000}}) {
        const auto s = shot(traces, samples, hz);
        const std::string tag = std::to_string(traces) + "x" + std::to_string(samples);
        const std::string text = dataText(*s, traces == 3 ? comma : Regional{});
        seed("data_text_fuzz", tag, text);
        if (const auto parsed = ParseDataText(text)) {
            const std::string sg2 = Seg2Bytes(*parsed, {.delaySeconds = -0.01, .stack = 3, .shot = 7});
            seed("seg2_fuzz", tag, sg2);
            seed("project_fuzz", tag, "a.sg2\r\nmissing.sg2\r\n" + std::string(1, '\0') + sg2);
        }
        seed("record_file_fuzz", tag, RecordFileText(*s));
        seed("config_fuzz", tag, ConfigText(*s));
    }
    seed("converter_args_fuzz", "one", "data.txt|out_007.sg2\0--delay\0-0.002\0--stack\0004"s);
    seed("converter_args_fuzz", "two", "data.txt\0line3_12.sg2\0--shot\0009"s);
    seed("passive_marker_fuzz", "marker", "blocks=3\r\nfrequency=500\r\nchannels=24\r\n");
    seed("monitor_settings_fuzz", "threshold", "# noise monitor\nthreshold_db=-37.5\n");
    // A block and a burst as the units send them, with a mark of each kind.
    std::string samples;
    for (int k = 0; k < frames::kBlockSamples; ++k)
        for (uint8_t b : frames::ConverterBytes(k * 40503 - 5000000)) samples += static_cast<char>(b);
    const auto wire = frames::Pack7({reinterpret_cast<const uint8_t*>(samples.data()), samples.size()});
    std::string block(1, '\x07');
    block.append(wire.begin(), wire.end());
    seed("unit_bytes_fuzz", "block", block);
    seed("unit_bytes_fuzz", "marks", "\x03\x01\xff\x00\x41\xff\xff\x02\xff\x00\x00\x04\x05"s);
    return 0;
}
