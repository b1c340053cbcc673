#include "display/Duration.h"

#include <cmath>
#include <cstdio>

namespace q24 {

std::string FormatPattern(double value, const std::string& pattern, char decimal) {
    const auto dot = pattern.find('.');
    const int decimals = dot == std::string::npos ? 0 : static_cast<int>(pattern.size() - dot - 1);
    const bool leadingZero = pattern.rfind('0', dot) != std::string::npos;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string s = buf;
    bool negative = !s.empty() && s[0] == '-';
    if (negative) s.erase(0, 1);
    if (decimals == 0) {
        if (s == "0") return "";
        return (negative ? "-" : "") + s;
    }
    auto p = s.find('.');
    std::string intPart = s.substr(0, p), frac = s.substr(p + 1);
    while (!frac.empty() && frac.back() == '0') frac.pop_back();
    if (intPart == "0" && !leadingZero) intPart.clear();
    if (intPart.empty() && frac.empty() && !leadingZero) negative = false;
    if (intPart == "0" && frac.empty()) negative = false;
    return (negative ? "-" : "") + intPart + decimal + frac;
}

Duration ShowDuration(int32_t n, int32_t freq, char decimal) {
    if (freq <= 0) return {"", "msec"};
    // Sample counts of long recordings times 1000 pass 32 bits: reckon wide.
    const double ms = static_cast<double>(static_cast<int64_t>(n) * 1000) / freq;
    if (ms <= 1000) return {FormatPattern(ms, "#", decimal), "msec"};
    if (ms <= 100000) return {FormatPattern(static_cast<double>(n) / freq, "#.##", decimal), "sec"};
    return {FormatPattern(static_cast<double>(n) / (static_cast<double>(freq) * 60), "#.##", decimal), "min"};
}

}  // namespace q24
