#include "refraction/Commands.h"

#include <chrono>
#include <cstdio>

#include "refraction/Interpretation.h"
#include "refraction/Picker.h"
#include "refraction/PicksFile.h"
#include "refraction/Shots.h"
#include "state/AtomicFile.h"

namespace q24::refraction {

namespace {

std::string flagCounts(const std::vector<std::vector<TracePick>>& picks) {
    int dead = 0, clipped = 0, dropped = 0;
    for (const auto& shot : picks)
        for (const TracePick& p : shot) {
            dead += p.flag == PickFlag::Dead;
            clipped += p.flag == PickFlag::Clipped;
            dropped += p.flag == PickFlag::Dropped;
        }
    std::string out;
    if (dead) out += ", " + std::to_string(dead) + " dead traces";
    if (clipped) out += ", " + std::to_string(clipped) + " clipped traces picked (check them)";
    if (dropped) out += ", " + std::to_string(dropped) + " traces left unpicked";
    return out;
}

}  // namespace

CommandResult PickProject(const std::string& projectPath, const std::string& picksPath, const std::string& csvPath) {
    CommandResult r;
    const auto start = std::chrono::steady_clock::now();
    const ProjectShots project = ReadProjectShots(projectPath);
    for (const std::string& p : project.problems) r.errors += "skipped " + p + "\n";
    if (project.shots.empty()) {
        r.errors += "no shot of " + projectPath + " could be read\n";
        r.status = 1;
        return r;
    }
    std::vector<std::vector<TracePick>> picks;
    for (const Shot& shot : project.shots) {
        for (const std::string& n : shot.notes) r.output += shot.path + ": " + n + "\n";
        picks.push_back(PickShot(shot));
    }
    PickTable table = TableOfPicks(project.shots, picks);
    // The elevations of the file replaced (when it reads) stay.
    if (const auto before = ReadSgt(picksPath)) KeepElevations(table, *before);
    for (const auto& [path, err] : {std::pair{picksPath, WriteSgt(picksPath, table)},
                                    {csvPath, csvPath.empty() ? std::string() : WritePicksCsv(csvPath, table)}})
        if (!err.empty()) {
            r.errors += path + " could not be written: " + err + "\n";
            r.status = 1;
            return r;
        }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char line[160];
    std::snprintf(line, sizeof line, "%zu shots, %zu picks written to ", project.shots.size(), table.picks.size());
    r.output += line + picksPath + (csvPath.empty() ? "" : " and " + csvPath) + flagCounts(picks);
    std::snprintf(line, sizeof line, " (%.2f s)\n", seconds);
    r.output += line;
    return r;
}

CommandResult InterpretPicks(const std::string& picksPath, int layers, const std::string& modelPath) {
    CommandResult r;
    std::string why;
    const auto table = ReadSgt(picksPath, &why);
    if (!table) {
        r.errors = picksPath + ": " + why + "\n";
        r.status = 1;
        return r;
    }
    // The layers given by hand in the window, kept beside the picks.
    LayerAssignment given;
    if (const auto text = ReadWholeFile(LayersPathOf(picksPath), 64LL * 1024 * 1024, nullptr))
        given = ParseLayers(*text);
    const Model model = Interpret(*table, layers, given);
    if (model.fits.empty()) {
        for (const std::string& n : model.notes) r.errors += n + "\n";
        r.status = 1;
        return r;
    }
    if (const std::string err = WriteFileAtomically(modelPath, ModelCsv(model)); !err.empty()) {
        r.errors = modelPath + " could not be written: " + err + "\n";
        r.status = 1;
        return r;
    }
    r.output = ModelText(model);
    return r;
}

}  // namespace q24::refraction
