// Writing data.txt after the longest timed recording: 24 channels x 59 minutes
// at 500 Hz (42.48 million samples), through the program's writer, against
// formatting each value through an iostream into the same kind of file. Also
// the resident memory at its peak against the samples' own size.
//
//   timed_write [--minutes M] [--dir DIR]     (defaults: 59, the temp folder)
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <memory>
#include <string>

#include "files/DataTextFile.h"
#include "state/State.h"

using namespace q24;

namespace {

// Resident memory of this process, and its peak, in bytes.
long long StatusBytes(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::atoll(line.c_str() + std::string(key).size()) * 1024;
    return 0;
}

double Seconds(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    int minutes = 59;
    std::string dir = std::filesystem::temp_directory_path().string();
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--minutes") minutes = std::atoi(argv[i + 1]);
        else if (a == "--dir") dir = argv[i + 1];
    }
    const int channels = 24, freq = 500;
    const int32_t n = freq * 60 * minutes / 128 * 128;

    const long long before = StatusBytes("VmRSS:");
    auto s = std::make_unique<State>();
    s->N_Geofoni = channels;
    s->Sampling_freq = freq;
    s->N_samples_cont = n;
    s->Dist_geofoni = 5;
    s->Dati_cont.resize(channels, n);
    // Noise in counts with its mean removed: fractional values of 3 to 7 digits.
    uint32_t x = 12345;
    for (int ch = 0; ch < channels; ++ch) {
        float* row = s->Dati_cont.row(ch);
        for (int32_t k = 0; k < n; ++k) {
            x = x * 1664525u + 1013904223u;
            row[k] = static_cast<float>(static_cast<int32_t>(x >> 8) % 40000 - 20000) + 0.37f;
        }
    }
    const double samplesBytes = static_cast<double>(channels) * n * sizeof(float);
    std::vector<std::string> texts;
    for (int k = 1; k <= channels; ++k) texts.push_back(std::to_string(k));

    const std::string ours = dir + "/timed_write_data.txt", theirs = dir + "/timed_write_iostream.txt";
    auto t0 = std::chrono::steady_clock::now();
    const std::string err = WriteTimedDataText(*s, texts, ours, Regional{});
    const double ourTime = Seconds(t0);
    const long long peak = StatusBytes("VmHWM:");
    if (!err.empty()) {
        std::fprintf(stderr, "timed_write: %s\n", err.c_str());
        return 1;
    }

    t0 = std::chrono::steady_clock::now();
    {
        std::ofstream f(theirs, std::ios::binary);
        f << std::setprecision(7);
        for (int ch = 0; ch < channels; ++ch) {
            f << "\"Canale " << texts[static_cast<std::size_t>(ch)] << "\"\r\n";
            const float* row = s->Dati_cont.row(ch);
            for (int32_t k = 0; k < n; ++k) f << row[k] << "\r\n";
        }
        f.flush();
        const int fd = ::open(theirs.c_str(), O_RDONLY);  // the program's writer syncs too
        if (fd >= 0) ::fsync(fd), ::close(fd);
    }
    const double streamTime = Seconds(t0);
    const auto bytes = std::filesystem::file_size(ours);
    std::filesystem::remove(ours);
    std::filesystem::remove(theirs);

    std::printf("data.txt: %d channels x %d samples = %.2f million values, %.0f MB\n", channels, n,
                channels * static_cast<double>(n) / 1e6, bytes / 1e6);
    std::printf("writer %.2f s, iostream %.2f s: %.2f times faster (target: at least 3)\n", ourTime, streamTime,
                streamTime / ourTime);
    std::printf("resident memory: %.0f MB before, peak %.0f MB while writing; samples %.0f MB; "
                "peak / samples = %.3f (target: below 1.3)\n",
                before / 1e6, peak / 1e6, samplesBytes / 1e6, peak / samplesBytes);
    return 0;
}
