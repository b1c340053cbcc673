#include "state/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace q24 {

std::string FreeFormat(long long value) { return std::to_string(value); }

namespace {
// Plain decimal notation while it stays short (500000 is "500000", 0.25 is
// "0.25"), the exponent form only for very large or very small values.
template <typename T>
std::string shortest(T value) {
    if (value == 0) return "0";  // also for -0
    char buf[128];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (res.ec == std::errc() && res.ptr - buf <= 16) return std::string(buf, res.ptr);
    res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}
}  // namespace

std::string FreeFormat(float value) { return shortest(value); }
std::string FreeFormat(double value) { return shortest(value); }

std::optional<double> ParseNumber(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty() || text.size() > 64) return std::nullopt;
    if (text.front() == '+') text.remove_prefix(1);
    double v = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

double RoundHalfEven(double value) { return std::nearbyint(value); }  // default mode: to even

namespace {
template <typename I>
std::optional<I> toInt(double value) {
    double r = RoundHalfEven(value);
    if (!std::isfinite(r) || r < std::numeric_limits<I>::min() || r > std::numeric_limits<I>::max())
        return std::nullopt;
    return static_cast<I>(r);
}
}  // namespace

std::optional<int16_t> ToInt16(double value) { return toInt<int16_t>(value); }
std::optional<int32_t> ToInt32(double value) { return toInt<int32_t>(value); }

}  // namespace q24
