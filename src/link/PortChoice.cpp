#include "link/PortChoice.h"

#include <algorithm>

#include "state/NumberFormat.h"

namespace q24 {

bool PortKeyAccepted(char32_t c) { return c >= 48 && c <= 58; }

int PortNumberOf(const std::string& text) {
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > 32767) return 0;
    }
    return static_cast<int>(value);
}

std::string CodeBoxFilter(const std::string& text) {
    const auto v = ParseNumber(text);
    if (!v || *v < 0) return {};
    return text;
}

std::optional<int16_t> UnitCodeOf(const std::string& text) {
    const auto v = ParseNumber(text);
    if (!v || *v < 0) return std::nullopt;
    return static_cast<int16_t>(std::min(RoundHalfEven(*v), 1999.0));
}

}  // namespace q24
