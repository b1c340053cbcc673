#include "files/WriteForm.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace q24 {

std::string DecimalForm(double value, int digits) {
    if (!std::isfinite(value)) return value != value ? "NaN" : (value < 0 ? "-Inf" : "Inf");
    if (value == 0) return "0";
    if (digits < 1) digits = 1;
    if (digits > 17) digits = 17;
    // Round to the digits first; the exponent of the rounded value decides
    // the notation (9.9999999 rounds to 1E+01, not 9.999999).
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
    std::string s = buf;
    const auto e = s.find('e');
    const int exponent = std::atoi(s.c_str() + e + 1);
    std::string mantissa = s.substr(0, e);
    const bool negative = mantissa[0] == '-';
    if (negative) mantissa.erase(0, 1);
    std::string figures;  // the significant digits, trailing zeros dropped
    for (char c : mantissa)
        if (c != '.') figures += c;
    while (figures.size() > 1 && figures.back() == '0') figures.pop_back();

    std::string out;
    if (exponent >= -5 && exponent < digits) {
        if (exponent >= 0) {
            const auto intDigits = static_cast<std::size_t>(exponent) + 1;
            if (figures.size() <= intDigits) {
                out = figures + std::string(intDigits - figures.size(), '0');
            } else {
                out = figures.substr(0, intDigits) + "." + figures.substr(intDigits);
            }
        } else {
            out = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + figures;
        }
    } else {
        out = figures.substr(0, 1);
        if (figures.size() > 1) out += "." + figures.substr(1);
        char ex[16];
        std::snprintf(ex, sizeof ex, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += ex;
    }
    return negative ? "-" + out : out;
}

std::string WriteFormSingle(float value) { return DecimalForm(static_cast<double>(value), 7); }

std::string WriteFormInteger(long long value) { return std::to_string(value); }

std::string WriteFormString(const std::string& text) { return "\"" + text + "\""; }

std::string PrintFormInteger(long long value) {
    return (value < 0 ? "-" : " ") + std::to_string(value < 0 ? -value : value) + " ";
}

namespace {
std::string regional(std::string s, const Regional& r) {
    if (r.decimal != '.')
        for (char& c : s)
            if (c == '.') c = r.decimal;
    return s;
}
}  // namespace

std::string RegionalDouble(double value, const Regional& r) { return regional(DecimalForm(value, 15), r); }

std::string RegionalSingle(float value, const Regional& r) {
    return regional(DecimalForm(static_cast<double>(value), 7), r);
}

namespace {
bool lineBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

void WriteFormReader::skipSeparators() {
    // One comma may close the previous field; blanks and line ends around it
    // are skipped.
    while (pos_ < text_.size() && lineBlank(text_[pos_])) ++pos_;
    if (afterField_ && pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        while (pos_ < text_.size() && lineBlank(text_[pos_])) ++pos_;
    }
    afterField_ = false;
}

bool WriteFormReader::atEnd() {
    std::size_t p = pos_;
    while (p < text_.size() && (lineBlank(text_[p]) || (afterField_ && text_[p] == ','))) ++p;
    return p >= text_.size();
}

std::optional<double> WriteFormReader::next() {
    skipSeparators();
    if (pos_ >= text_.size()) return std::nullopt;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !lineBlank(text_[pos_]) && text_[pos_] != ',') ++pos_;
    afterField_ = true;
    std::string_view field = text_.substr(start, pos_ - start);
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    if (field.empty() || field.size() > 64) return std::nullopt;
    double v = 0;
    const auto res = std::from_chars(field.data(), field.data() + field.size(), v);
    if (res.ec != std::errc() || res.ptr != field.data() + field.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<double> LeadingNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double v = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec != std::errc() || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace q24
