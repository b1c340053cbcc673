#pragma once
// What the refraction program makes of a project file: one .sg2 path a line,
// each checked to exist and load, and described by its traces.
#include <string>
#include <vector>

namespace q24 {

struct ProjectEntry {
    std::string path;
    std::string error;  // empty when the file exists and loads
    int traces = 0;
    long long samples = 0;         // of the first trace
    std::string interval;          // SAMPLE_INTERVAL of the first trace, seconds
    std::string source;            // SOURCE_LOCATION of the first trace
    std::vector<std::string> receivers;  // RECEIVER_LOCATION of every trace
};

// The lines of a project file (CR LF or LF, blank lines skipped).
std::vector<std::string> ProjectLines(const std::string& text);
// Every listed file, checked. An unreadable project file gives one entry with
// the project's path and the reason.
std::vector<ProjectEntry> ReadProject(const std::string& projectPath);
// One line a file: path, then "traces=.. samples=.. interval=.. source=..
// receivers=a,b,.." or "ERROR: reason".
std::string ProjectReport(const std::vector<ProjectEntry>& entries);

}  // namespace q24
