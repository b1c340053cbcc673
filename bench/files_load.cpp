// Loading a full spread (96 traces of 16384 samples) from its record file and
// from its SEG-2 file: the time of each, and the ratio, measured in one run.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "files/DataTextFile.h"
#include "files/Loading.h"
#include "files/RecordFile.h"
#include "files/Seg2Writer.h"
#include "program/TextOperator.h"

using namespace q24;

namespace {
double secondsOf(State& s, Panel& panel, const std::string& path) {
    const auto t0 = std::chrono::steady_clock::now();
    const LoadResult r = LoadFile(s, panel, path, Regional{}, [] {});
    const double dt = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (r != LoadResult::Loaded) std::fprintf(stderr, "%s did not load\n", path.c_str());
    return dt;
}
}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / "q24_files_load_bench";
    std::filesystem::create_directories(dir);
    auto s = std::make_unique<State>();
    s->N_Geofoni = 96;
    s->N_samples = 16384;
    s->Sampling_freq = 4000;
    s->Dist_geofoni = 2;
    for (int t = 0; t < 96; ++t) {
        s->Ch_enabled[static_cast<std::size_t>(t + 1)] = true;
        for (int j = 0; j < 16384; ++j) s->Dati(t, j) = static_cast<float>((j * 7919 + t * 104729) % 16777216 - 8388608);
    }
    const std::string record = (dir / "spread.txt").string(), data = (dir / "data.txt").string(),
                      sg2 = (dir / "spread.sg2").string();
    if (!WriteRecordFile(*s, record).empty() || !WriteStackedDataText(*s, data, Regional{}).empty() ||
        !ConvertDataText(data, sg2).empty()) {
        std::fprintf(stderr, "could not write the files\n");
        return 1;
    }
    TextOperator panel(stderr);
    double text = 1e9, seg2 = 1e9;
    for (int round = 0; round < 3; ++round) {
        text = std::min(text, secondsOf(*s, panel, record));
        seg2 = std::min(seg2, secondsOf(*s, panel, sg2));
    }
    std::printf("record file %.0f ms (%ju bytes), SEG-2 %.0f ms (%ju bytes): the record file takes %.1f times as long\n",
                text * 1e3, static_cast<uintmax_t>(std::filesystem::file_size(record)), seg2 * 1e3,
                static_cast<uintmax_t>(std::filesystem::file_size(sg2)), text / seg2);
    std::filesystem::remove_all(dir);
    return 0;
}
