#include "refraction/Shots.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "files/Seg2Reader.h"
#include "files/WriteForm.h"

namespace q24::refraction {

namespace {

// A SEG-2 file of 1024 traces of 16384 float64 samples is below this.
constexpr long long kMaxShotBytes = 256LL * 1024 * 1024;

std::optional<double> number(const std::vector<std::string>& strings, std::string_view key) {
    const auto text = Seg2Value(strings, key);
    if (!text) return std::nullopt;
    return LeadingNumber(*text);
}

std::string metres(double v) {
    std::ostringstream s;
    s << v;
    return s.str() + " m";
}

// Receivers from RECEIVER_LOCATION; a trace without one is placed one spacing
// after the trace before it (or at the first position).
void placeReceivers(const Seg2File& file, const GeometryFallback& fallback, Shot& shot) {
    int guessed = 0;
    for (std::size_t t = 0; t < file.traces.size(); ++t) {
        const auto x = number(file.traces[t].strings, "RECEIVER_LOCATION");
        if (x) {
            shot.receivers.push_back(*x);
            continue;
        }
        ++guessed;
        shot.receivers.push_back(t == 0 ? fallback.firstReceiver : shot.receivers.back() + fallback.spacing);
    }
    if (guessed == static_cast<int>(file.traces.size()))
        shot.notes.push_back("no RECEIVER_LOCATION: receivers placed every " + metres(fallback.spacing) + " from " +
                             metres(fallback.firstReceiver));
    else if (guessed > 0)
        shot.notes.push_back(std::to_string(guessed) + " traces without RECEIVER_LOCATION placed " +
                             metres(fallback.spacing) + " after the trace before them");
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, long long maxBytes, std::string* why) {
    auto fail = [&](std::string reason) -> std::optional<std::string> {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return fail(std::strerror(errno));
    if (!S_ISREG(st.st_mode)) return fail("not a file");
    if (st.st_size > maxBytes) return fail("too large (" + std::to_string(st.st_size) + " bytes)");
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail(std::strerror(errno));
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) return fail("read error");
    return s.str();
}

std::optional<Shot> ShotFromSeg2(std::string_view bytes, const std::string& path, const GeometryFallback& fallback,
                                 std::string* why) {
    auto fail = [&](std::string reason) -> std::optional<Shot> {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    if (!IsSeg2(bytes)) return fail("not a SEG-2 file");
    Seg2Limits limits;
    limits.maxSamples = 1 << 20;
    limits.maxTraces = 1024;
    std::string reason;
    auto file = ParseSeg2(bytes, limits, &reason);
    if (!file) return fail(reason);
    if (file->traces.empty()) return fail("no trace");
    Shot shot;
    shot.path = path;
    const auto interval = number(file->traces.front().strings, "SAMPLE_INTERVAL");
    if (!interval || !(*interval > 0) || *interval > 1) return fail("no usable SAMPLE_INTERVAL");
    shot.interval = *interval;
    shot.delay = number(file->traces.front().strings, "DELAY").value_or(0.0);
    if (!std::isfinite(shot.delay) || std::fabs(shot.delay) > 1e3) shot.delay = 0;
    placeReceivers(*file, fallback, shot);
    if (const auto s = number(file->traces.front().strings, "SOURCE_LOCATION"); s) {
        shot.source = *s;
    } else {
        shot.source = fallback.source;
        shot.notes.push_back("no SOURCE_LOCATION: source placed at " + metres(fallback.source));
    }
    for (Seg2Trace& t : file->traces) shot.traces.push_back(std::move(t.values));
    return shot;
}

std::vector<std::string> ProjectPaths(const std::string& projectPath, std::string_view text) {
    const auto slash = projectPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : projectPath.substr(0, slash + 1);
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(start, end - start));
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        line.erase(0, first);
        out.push_back(line.front() == '/' ? line : folder + line);
    }
    return out;
}

ProjectShots ReadProjectShots(const std::string& projectPath, const GeometryFallback& fallback) {
    ProjectShots out;
    std::string why;
    const auto text = ReadWholeFile(projectPath, 1 << 20, &why);
    if (!text) {
        out.problems.push_back(projectPath + ": " + why);
        return out;
    }
    for (const std::string& path : ProjectPaths(projectPath, *text)) {
        const auto bytes = ReadWholeFile(path, kMaxShotBytes, &why);
        auto shot = bytes ? ShotFromSeg2(*bytes, path, fallback, &why) : std::nullopt;
        if (shot) out.shots.push_back(std::move(*shot));
        else out.problems.push_back(path + ": " += why);
    }
    return out;
}

}  // namespace q24::refraction
