#include "files/WriteForm.h"

#include <charconv>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

namespace {

// |value| rounded to 7 significant digits as printf rounds: `digits`
// (1000000 .. 9999999) and `e`, the decimal exponent of the first one. The
// value is exactly m x 2^q, so the rounding is an integer division with the
// halves going to the even neighbour. False outside 1E-05 <= |v| < 1E+07.
bool SevenDigits(float value, uint64_t& digits, int& e) {
    static constexpr uint64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000,
                                          1000000000, 10000000000ULL, 100000000000ULL, 1000000000000ULL};
    if (!std::isfinite(value)) return false;
    const float a = std::fabs(value);
    if (!(a >= 1e-5f && a < 1e7f)) return false;
    uint32_t bits = 0;
    std::memcpy(&bits, &a, sizeof bits);
    const uint64_t m = (bits & 0x7FFFFF) | 0x800000;  // a = m / 2^shift (a is a normal number)
    const int shift = 150 - static_cast<int>(bits >> 23);  // 0 .. 40: a < 2^24 and a >= 2^-17
    e = static_cast<int>(std::floor(std::log10(a)));
    digits = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int s = 6 - e;  // 0 .. 12
        if (s < 0 || s > 12) return false;
        const uint64_t num = m * kPow10[s];  // below 2^24 x 10^12 < 2^64
        digits = shift > 0 ? num >> shift : num;
        if (digits < 1000000) --e;
        else if (digits >= 10000000) ++e;
        else {
            if (shift > 0) {
                const uint64_t rest = num & ((uint64_t{1} << shift) - 1), half = uint64_t{1} << (shift - 1);
                if (rest > half || (rest == half && (digits & 1))) ++digits;
            }
            break;
        }
    }
    if (digits < 1000000 || digits > 10000000) return false;
    if (digits == 10000000) {
        digits = 1000000;
        ++e;
    }
    return e >= -5 && e < 7;
}

// Writes 7 significant digits with the decimal exponent e (-5 .. 6) in the
// write form: no trailing zeros, no exponent. Returns the end of the text.
char* PlainText(bool negative, uint64_t digits, int e, char* out) {
    char figures[7];
    for (int i = 6; i >= 0; --i, digits /= 10) figures[i] = static_cast<char>('0' + digits % 10);
    int used = 7;
    while (used > 1 && figures[used - 1] == '0') --used;
    char* p = out;
    if (negative) *p++ = '-';
    if (e >= 0) {
        const int whole = e + 1;
        for (int i = 0; i < whole; ++i) *p++ = i < used ? figures[i] : '0';
        if (used > whole) {
            *p++ = '.';
            for (int i = whole; i < used; ++i) *p++ = figures[i];
        }
    } else {
        *p++ = '0';
        *p++ = '.';
        for (int i = 0; i < -e - 1; ++i) *p++ = '0';
        for (int i = 0; i < used; ++i) *p++ = figures[i];
    }
    return p;
}

// The write form of a Single in the plain range (1E-05 <= |v| < 1E+07) without
// printf, which a passive recording's millions of values would wait on: the
// text is the same as printf's, byte for byte. False outside that range.
bool PlainSingle(float value, char* out, std::size_t& length) {
    uint64_t digits = 0;
    int e = 0;
    if (!SevenDigits(value, digits, e)) return false;
    length = static_cast<std::size_t>(PlainText(value < 0, digits, e, out) - out);
    return true;
}

}  // namespace

std::string WriteFormSingle(float value) {
    char text[24];
    std::size_t length = 0;
    if (PlainSingle(value, text, length)) return std::string(text, length);
    return DecimalForm(static_cast<double>(value), 7);
}

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
