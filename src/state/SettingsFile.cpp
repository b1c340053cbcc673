#include "state/SettingsFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace q24 {

namespace {
constexpr std::size_t kSettingsLimit = std::size_t{64} * 1024;  // a settings file is a few lines
constexpr int kNotesShown = 5;
}  // namespace

std::string Trimmed(std::string s) {
    const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
    s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
    return s;
}

std::string ParseSettings(const std::string& name, const std::string& text, const std::string& fallback,
                          const SettingTaker& take) {
    if (text.size() > kSettingsLimit) return name + " is larger than 64 KiB: " + fallback;
    std::string notes;
    int ignored = 0, lineNumber = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        ++lineNumber;
        line = Trimmed(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        const std::size_t eq = line.find('=');
        std::string key = Trimmed(line.substr(0, eq));
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::string why =
            eq == std::string::npos ? std::string("not key=value") : take(key, Trimmed(line.substr(eq + 1)));
        if (why.empty()) continue;
        if (ignored++ < kNotesShown)
            notes += (notes.empty() ? "" : "\n") + name + " line " + std::to_string(lineNumber) + " ignored: " + why;
    }
    if (ignored > kNotesShown) notes += "\n(" + std::to_string(ignored - kNotesShown) + " more)";
    return notes;
}

std::string ReadSettings(const std::string& path, const std::string& name, const std::string& fallback,
                         const SettingTaker& take) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text(kSettingsLimit + 1, '\0');  // one byte more tells a file too large
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return ParseSettings(name, text, fallback, take);
}

}  // namespace q24
