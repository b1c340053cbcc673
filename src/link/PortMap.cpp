#include "link/PortMap.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace q24 {

void PortMap::fillDefaults(const std::vector<std::string>& devices) {
    map_ = fixed_;
    std::set<std::string> used;
    for (auto& [n, p] : fixed_) used.insert(p);
    int next = kFirst;
    for (const std::string& d : devices) {
        if (used.count(d)) continue;
        while (next <= kLast && map_.count(next)) ++next;
        if (next > kLast) break;
        map_[next] = d;
        used.insert(d);
    }
}

std::string PortMap::path(int number) const {
    auto it = map_.find(number);
    if (it != map_.end()) return it->second;
    auto f = fixed_.find(number);
    return f == fixed_.end() ? std::string() : f->second;
}

std::vector<std::string> PortMap::PresentDevices(const std::string& devDir,
                                                 const std::function<bool(const std::string&)>& isUart) {
    // Natural order inside each family: ttyUSB2 before ttyUSB10.
    std::map<std::string, std::vector<std::pair<long, std::string>>> families;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(devDir, ec)) {
        const std::string name = entry.path().filename().string();
        for (const char* family : {"ttyUSB", "ttyACM", "ttyS"}) {
            const std::string f = family;
            if (name.rfind(f, 0) != 0 || name.size() == f.size()) continue;
            const std::string digits = name.substr(f.size());
            if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
            if (digits.size() > 6) continue;
            families[f].emplace_back(std::stol(digits), entry.path().string());
        }
    }
    std::vector<std::string> out;
    for (const char* family : {"ttyUSB", "ttyACM", "ttyS"}) {
        auto& list = families[family];
        std::sort(list.begin(), list.end());
        for (auto& [n, p] : list) {
            if (std::string(family) == "ttyS" && (!isUart || !isUart(p))) continue;
            out.push_back(p);
        }
    }
    return out;
}

bool ParsePortOption(const std::string& text, int& number, std::string& path) {
    const auto eq = text.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 >= text.size() || eq > 2) return false;
    const std::string n = text.substr(0, eq);
    if (!std::all_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    number = std::stoi(n);
    path = text.substr(eq + 1);
    return number >= PortMap::kFirst && number <= PortMap::kLast;
}

}  // namespace q24
