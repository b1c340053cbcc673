// The automatic first-break picks of a real line against one analyst's manual
// picks, by source and receiver position: coverage, median absolute
// difference, shares within 2, 3 and 4 ms, for each shot and for the line,
// and the time the picking took.
//   refraction_picks [FOLDER] [--trace]   (FOLDER holds the shots and the .sgt)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "refraction/Picker.h"
#include "refraction/PicksFile.h"
#include "refraction/Shots.h"

using namespace q24::refraction;

namespace {

void print(const char* what, const PickAgreement& a) {
    std::printf(
        "%-10s coverage %3d/%3d (%5.1f %%)  median %5.2f ms  within 2 ms %5.1f %%  3 ms %5.1f %%  4 ms %5.1f %%\n",
        what, a.compared, a.reference, a.reference ? 100.0 * a.compared / a.reference : 0.0, a.median * 1e3,
        100 * a.within2, 100 * a.within3, 100 * a.within4);
}

// One line per reference pick of a shot: positions, manual and automatic time.
void printTraces(const Shot& shot, const std::vector<TracePick>& picks, const PickTable& manual) {
    for (const Pick& m : manual.picks) {
        if (std::fabs(manual.xOf(m.source) - shot.source) > 1e-3) continue;
        for (std::size_t t = 0; t < shot.receivers.size(); ++t)
            if (std::fabs(shot.receivers[t] - manual.xOf(m.receiver)) < 1e-3)
                std::printf("  %7.2f %7.2f manual %7.2f auto %7.2f flag %d\n", shot.source, shot.receivers[t],
                            m.time * 1e3, picks[t].valid() ? picks[t].time * 1e3 : NAN,
                            static_cast<int>(picks[t].flag));
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = Q24_REFRACTION_EXAMPLE;
    bool traces = false;
    PickerSettings settings;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--trace") == 0) traces = true;
        else if (std::strcmp(argv[i], "--raw") == 0) settings.consistency = false;
        else if (std::strcmp(argv[i], "--window") == 0 && i + 1 < argc) settings.window = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--clear") == 0 && i + 1 < argc) settings.clearRise = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--weaker") == 0 && i + 1 < argc) settings.weakerBy = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--late") == 0 && i + 1 < argc) settings.lateness = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--apart") == 0 && i + 1 < argc) settings.apart = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--half") == 0 && i + 1 < argc) settings.repickHalf = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--drop") == 0 && i + 1 < argc) settings.dropAfter = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--before") == 0 && i + 1 < argc) settings.aicBefore = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--after") == 0 && i + 1 < argc) settings.aicAfter = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--tolerance") == 0 && i + 1 < argc) settings.tolerance = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--smooth") == 0 && i + 1 < argc) settings.smoothness = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--weight") == 0 && i + 1 < argc) settings.strengthWeight = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--cands") == 0 && i + 1 < argc) settings.candidates = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--narrow") == 0 && i + 1 < argc) settings.narrowHalf = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--share") == 0 && i + 1 < argc) settings.swingShare = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--sw") == 0 && i + 1 < argc) settings.smoothWeight = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--scap") == 0 && i + 1 < argc) settings.smoothCap = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--align") == 0 && i + 1 < argc) settings.alignWeight = std::atof(argv[++i]);
        else folder = argv[i];
    }
    std::string why;
    const auto manual = ReadSgt(folder + "/field_example_02.sgt", &why);
    if (!manual) {
        std::fprintf(stderr, "no manual picks in %s: %s\n", folder.c_str(), why.c_str());
        return 1;
    }
    std::vector<std::string> paths;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().extension() == ".dat") paths.push_back(e.path().string());
    std::sort(paths.begin(), paths.end());
    std::string project;
    for (const auto& p : paths) project += p + "\r\n";
    const auto t0 = std::chrono::steady_clock::now();
    const std::string prj = (std::filesystem::temp_directory_path() / "refraction_picks_bench.prj").string();
    if (FILE* f = std::fopen(prj.c_str(), "wb")) {
        std::fputs(project.c_str(), f);
        std::fclose(f);
    }
    const ProjectShots shots = ReadProjectShots(prj);
    std::vector<std::vector<TracePick>> picks;
    for (const Shot& shot : shots.shots) picks.push_back(PickShot(shot, settings));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    for (const auto& p : shots.problems) std::printf("problem: %s\n", p.c_str());
    for (std::size_t i = 0; i < shots.shots.size(); ++i) {
        const PickTable one = TableOfPicks({shots.shots[i]}, {picks[i]});
        PickTable ref = *manual;
        std::erase_if(ref.picks,
                      [&](const Pick& p) { return std::fabs(ref.xOf(p.source) - shots.shots[i].source) > 1e-3; });
        char name[64];
        std::snprintf(name, sizeof name, "src %.1f", shots.shots[i].source);
        print(name, ComparePicks(one, ref));
        if (traces) printTraces(shots.shots[i], picks[i], *manual);
    }
    print("line", ComparePicks(TableOfPicks(shots.shots, picks), *manual));
    std::printf("read and picked %zu shots in %.3f s\n", shots.shots.size(), seconds);
    return 0;
}
