// Merging a passive recording into data.txt: 24 channels x 303104 samples
// (500 Hz for 10 minutes, 37 blocks), read from the temporary files and
// written through the program's merge, against reading and formatting each
// value through an iostream. Prints both times and their ratio.
//
//   passive_merge [--dir DIR]     (default: a folder in the temp folder)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <memory>
#include <random>
#include <vector>

#include "files/DataTextFile.h"
#include "state/State.h"

using namespace q24;
namespace fs = std::filesystem;

int main(int argc, char** argv) {
    constexpr int kChannels = 24;
    constexpr long long kSamples = 37LL * 8192;
    fs::path dir = fs::temp_directory_path() / "q24_passive_merge";
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--dir") == 0) dir = argv[i + 1];
    fs::create_directories(dir);

    // The temporary files, as a recording leaves them: noise around zero.
    {
        TempChannelFiles temp;
        if (std::string err = temp.create(dir.string(), kChannels); !err.empty()) return std::puts(err.c_str()), 1;
        std::mt19937 random(10);
        std::normal_distribution<float> noise(0, 25000);
        std::vector<float> block(8192);
        for (long long b = 0; b < kSamples / 8192; ++b)
            for (int k = 1; k <= kChannels; ++k) {
                for (float& v : block) v = noise(random);
                temp.append(k, block.data(), 8192);
            }
        if (std::string err = temp.close(); !err.empty()) return std::puts(err.c_str()), 1;
    }
    auto s = std::make_unique<State>();
    s->N_Geofoni = kChannels;
    s->Dist_geofoni = 5;
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::time_point a) { return std::chrono::duration<double>(Clock::now() - a).count(); };

    const auto t0 = Clock::now();
    const std::string err = WritePassiveDataText(*s, dir.string(), 500, kSamples, (dir / "data.txt").string(), Regional{});
    const double ours = seconds(t0);
    if (!err.empty()) return std::printf("merge failed: %s\n", err.c_str()), 1;

    const auto t1 = Clock::now();
    {
        std::ofstream out(dir / "data_iostream.txt", std::ios::binary);
        out << std::setprecision(7);
        for (int k = 1; k <= kChannels; ++k) {
            std::ifstream in(TempChannelPath(dir.string(), k), std::ios::binary);
            out << "\"Canale numero " << k << "\"\r\n";
            float v = 0;
            for (long long j = 0; j < kSamples && in >> v; ++j) out << v << "\r\n";
        }
    }
    const double iostream = seconds(t1);
    std::printf("merge of %d channels x %lld samples: %.2f s; through an iostream: %.2f s; %.1f times faster\n",
                kChannels, kSamples, ours, iostream, iostream / ours);
    fs::remove_all(dir);
    return 0;
}
