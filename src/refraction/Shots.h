#pragma once
// The shots of a refraction project: the project file lists one SEG-2 path a
// line; each shot is read through the SEG-2 reader with its geometry (source
// and receiver positions along the line, metres) and its time zero.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q24::refraction {

struct Shot {
    std::string path;
    double source = 0;              // position of the source along the line, m
    std::vector<double> receivers;  // position of each trace's receiver, m
    double interval = 0;            // sample interval, s
    // Time of the first sample after the trigger, s: the DELAY string, negative
    // when the recorder kept samples before the trigger.
    double delay = 0;
    std::vector<std::vector<float>> traces;  // every trace, its own length
    std::vector<std::string> notes;          // what was assumed (geometry guessed)

    double timeOf(double sample) const { return delay + sample * interval; }
    int traceCount() const { return static_cast<int>(traces.size()); }
};

// Used where a file carries no geometry strings: receivers every `spacing`
// metres from `firstReceiver`, the source at `source`.
struct GeometryFallback {
    double spacing = 1.0;
    double firstReceiver = 0.0;
    double source = 0.0;
};

// One shot from the bytes of a SEG-2 file; nothing, with the reason in `why`,
// when the file is not SEG-2, is damaged or has no usable sample interval.
std::optional<Shot> ShotFromSeg2(std::string_view bytes, const std::string& path, const GeometryFallback& fallback = {},
                                 std::string* why = nullptr);

struct ProjectShots {
    std::vector<Shot> shots;
    std::vector<std::string> problems;  // "PATH: reason" for every file left out
};

// The lines of a project file (CR LF or LF, blank lines ignored); a relative
// path is taken from the project file's folder.
std::vector<std::string> ProjectPaths(const std::string& projectPath, std::string_view text);

// Every shot of the project that reads; missing, unreadable and non-SEG-2
// files are listed in `problems` by name and skipped. A project file that
// cannot be read gives no shot and one problem.
ProjectShots ReadProjectShots(const std::string& projectPath, const GeometryFallback& fallback = {});

// The whole file, or nothing with the reason (a size limit keeps a wrong path
// to a huge file from filling the memory).
std::optional<std::string> ReadWholeFile(const std::string& path, long long maxBytes, std::string* why);

}  // namespace q24::refraction
