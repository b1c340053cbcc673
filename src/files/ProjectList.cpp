#include "files/ProjectList.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "files/LoadedData.h"
#include "files/Seg2Reader.h"

namespace q24 {

std::vector<std::string> ProjectLines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") != std::string::npos) out.push_back(line);
    }
    return out;
}

namespace {
bool readFile(const std::string& path, std::string& bytes, std::string& error) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a file";
        return false;
    }
    if (st.st_size > kMaxLoadBytes) {
        error = "File too Large";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::strerror(errno);
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    bytes = s.str();
    return true;
}
}  // namespace

std::vector<ProjectEntry> ReadProject(const std::string& projectPath) {
    std::string text, error;
    if (!readFile(projectPath, text, error)) {
        ProjectEntry e;
        e.path = projectPath;
        e.error = error;
        return {e};
    }
    std::vector<ProjectEntry> out;
    for (const std::string& path : ProjectLines(text)) {
        ProjectEntry e;
        e.path = path;
        std::string bytes;
        if (!readFile(path, bytes, e.error)) {
            out.push_back(e);
            continue;
        }
        const auto file = ParseSeg2(bytes, Seg2Limits{}, &e.error);
        if (!file) {
            out.push_back(e);
            continue;
        }
        e.traces = static_cast<int>(file->traces.size());
        const Seg2Trace& first = file->traces.front();
        e.samples = first.samples;
        e.interval = Seg2Value(first.strings, "SAMPLE_INTERVAL").value_or("");
        e.source = Seg2Value(first.strings, "SOURCE_LOCATION").value_or("");
        for (const Seg2Trace& t : file->traces) e.receivers.push_back(Seg2Value(t.strings, "RECEIVER_LOCATION").value_or(""));
        if (e.interval.empty()) e.error = "no SAMPLE_INTERVAL";
        out.push_back(e);
    }
    return out;
}

std::string ProjectReport(const std::vector<ProjectEntry>& entries) {
    std::string out;
    for (const ProjectEntry& e : entries) {
        out += e.path;
        if (!e.error.empty()) {
            out += " ERROR: " + e.error + "\n";
            continue;
        }
        out += " traces=" + std::to_string(e.traces) + " samples=" + std::to_string(e.samples) +
               " interval=" + e.interval + " source=" + e.source + " receivers=";
        for (std::size_t i = 0; i < e.receivers.size(); ++i) out += (i ? "," : "") + e.receivers[i];
        out += "\n";
    }
    return out;
}

}  // namespace q24
