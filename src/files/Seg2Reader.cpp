#include "files/Seg2Reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "files/WriteForm.h"
#include "state/NumberFormat.h"

namespace q24 {

namespace {

constexpr long long kDescriptorFixed = 32;  // fixed part of both descriptor blocks
constexpr long long kZeroScanLength = 1001; // positions the fallback scan looks at

class Reader {
public:
    Reader(std::string_view b, bool be) : b_(b), be_(be) {}
    long long size() const { return static_cast<long long>(b_.size()); }
    bool has(long long pos, long long n) const { return pos >= 0 && n >= 0 && pos <= size() && n <= size() - pos; }
    uint8_t u8(long long p) const { return static_cast<uint8_t>(b_[static_cast<std::size_t>(p)]); }
    uint16_t u16(long long p) const {
        const unsigned a = u8(p), c = u8(p + 1);
        return static_cast<uint16_t>(be_ ? (a << 8) | c : (c << 8) | a);
    }
    uint32_t u32(long long p) const { return static_cast<uint32_t>(word(p, 4)); }
    uint64_t u64(long long p) const { return word(p, 8); }
    std::string_view view(long long p, long long n) const {
        return b_.substr(static_cast<std::size_t>(p), static_cast<std::size_t>(n));
    }

private:
    // n bytes at p as one unsigned word in the file's byte order.
    uint64_t word(long long p, int n) const {
        uint64_t v = 0;
        for (int i = 0; i < n; ++i) v = (v << 8) | u8(p + (be_ ? i : n - 1 - i));
        return v;
    }
    std::string_view b_;
    bool be_;
};

// Bytes taken by n samples of a format; -1 for an unknown format.
long long dataBytes(int format, long long n) {
    switch (format) {
        case 1: return 2 * n;
        case 2: return 4 * n;
        case 3: return n / 4 * 10 + (n % 4 ? 2 + 2 * (n % 4) : 0);
        case 4: return 4 * n;
        case 5: return 8 * n;
        default: return -1;
    }
}

// Decodes n samples at `at`; the caller has checked they lie in the file.
// False on an infinite or NaN value, or one beyond the Single range.
bool decode(const Reader& r, int format, long long at, long long n, std::vector<float>& out) {
    out.resize(static_cast<std::size_t>(n));
    for (long long i = 0; i < n; ++i) {
        double v = 0;
        switch (format) {
            case 1: v = static_cast<int16_t>(r.u16(at + 2 * i)); break;
            case 2: v = static_cast<int32_t>(r.u32(at + 4 * i)); break;
            case 3: {
                // Groups of four: a word of four 4-bit exponents (sample 0 in
                // the low nibble), then four 16-bit mantissas; a negative
                // mantissa is in one's complement.
                const long long group = at + i / 4 * 10;
                const long long k = i % 4;
                const unsigned exponent = (r.u16(group) >> (4 * k)) & 0xF;
                const uint16_t m = r.u16(group + 2 + 2 * k);
                const long long mantissa = (m & 0x8000) ? -static_cast<long long>(~m & 0x7FFF) : m;
                v = std::ldexp(static_cast<double>(mantissa), static_cast<int>(exponent));
                break;
            }
            case 4: {
                const uint32_t bits = r.u32(at + 4 * i);
                float f;
                std::memcpy(&f, &bits, sizeof f);
                v = f;
                break;
            }
            case 5: {
                const uint64_t bits = r.u64(at + 8 * i);
                std::memcpy(&v, &bits, sizeof v);
                break;
            }
            default: return false;
        }
        if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) return false;
        out[static_cast<std::size_t>(i)] = static_cast<float>(v);
    }
    return true;
}

// The string list of a descriptor block between `from` and `to`: each entry
// is a 2-byte length (counting itself), the text and its terminator; a zero
// length ends the list. Writers get the length wrong (counting characters
// instead of bytes, leaving out the terminator), so the next entry starts
// after the terminator when the length falls short of it.
std::vector<std::string> strings(const Reader& r, long long from, long long to, std::string_view terminator) {
    std::vector<std::string> out;
    long long q = from;
    while (q + 2 <= to) {
        const long long length = r.u16(q);
        if (length == 0) break;
        const long long textStart = q + 2;
        const std::string_view rest = r.view(textStart, to - textStart);
        const std::size_t end = rest.find(terminator);
        const long long textEnd = end == std::string_view::npos ? to : textStart + static_cast<long long>(end);
        std::string text(r.view(textStart, textEnd - textStart));
        // The text may carry padding zeros when the terminator is not NUL.
        if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
        out.push_back(std::move(text));
        const long long afterText =
            end == std::string_view::npos ? to : textEnd + static_cast<long long>(terminator.size());
        q = std::max(q + length, afterText);
    }
    return out;
}

// Where the strings of the descriptor block at P end when its block size does
// not fit the file: at a run of three zero bytes right before the samples.
// The position of the last zero, -1 when there is none.
long long stringsEndByZeros(const Reader& r, long long P) {
    const long long a = P + kDescriptorFixed;
    for (long long p = a + 2; p < a + kZeroScanLength && p < r.size(); ++p)
        if (r.u8(p) == 0 && r.u8(p - 1) == 0 && r.u8(p - 2) == 0) return p;
    return -1;
}

// The trace whose descriptor block starts at P (a block that lies in the
// file) with its strings and samples; "" or why it cannot be read, to follow
// the trace's name.
std::string readTrace(const Reader& r, long long P, const Seg2Limits& limits, const std::string& terminator,
                      Seg2Trace& t) {
    t.pointer = P;
    if (r.u16(P) != 0x4422) return " has no trace descriptor block id";
    const long long blockSize = r.u16(P + 2);
    t.samples = r.u32(P + 8);
    t.formatCode = r.u8(P + 12);
    if (t.samples > limits.maxSamples) return " holds more samples than the trace array";
    const long long need = dataBytes(t.formatCode, t.samples);
    if (need < 0) return " has the unknown data format code " + std::to_string(t.formatCode);

    long long stringsTo = 0;
    if (blockSize >= kDescriptorFixed && r.has(P, blockSize) && r.has(P + blockSize, need)) {
        t.dataOffset = P + blockSize;
        stringsTo = t.dataOffset;
    } else {
        const long long found = stringsEndByZeros(r, P);
        if (found < 0) return ": no end of its strings was found";
        t.dataOffset = found + 1;
        stringsTo = found + 1;
        if (!r.has(t.dataOffset, need)) return ": its samples run past the end of the file";
    }
    t.strings = strings(r, P + kDescriptorFixed, stringsTo, terminator);
    if (!decode(r, t.formatCode, t.dataOffset, t.samples, t.values))
        return " holds a sample that is infinite, not a number or beyond single precision";
    return {};
}

std::optional<Seg2File> failed(std::string* why, std::string reason) {
    if (why) *why = std::move(reason);
    return std::nullopt;
}

}  // namespace

bool IsSeg2(std::string_view b) {
    if (b.size() < 2) return false;
    const auto b0 = static_cast<uint8_t>(b[0]), b1 = static_cast<uint8_t>(b[1]);
    return (b0 == 0x55 && b1 == 0x3A) || (b0 == 0x3A && b1 == 0x55);
}

std::optional<std::string> Seg2Value(const std::vector<std::string>& strings, std::string_view key) {
    for (const std::string& s : strings) {
        std::size_t p = 0;
        while (p < s.size() && (s[p] == ' ' || s[p] == '\t')) ++p;
        if (s.compare(p, key.size(), key) != 0) continue;
        const std::size_t after = p + key.size();
        if (after < s.size() && s[after] != ' ' && s[after] != '\t') continue;  // a longer keyword
        std::size_t v = after;
        while (v < s.size() && (s[v] == ' ' || s[v] == '\t')) ++v;
        std::size_t e = s.size();
        while (e > v && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
        return s.substr(v, e - v);
    }
    return std::nullopt;
}

std::optional<Seg2File> ParseSeg2(std::string_view bytes, const Seg2Limits& limits, std::string* why) {
    if (!IsSeg2(bytes)) return failed(why, "the file does not start with the SEG-2 block id");
    Seg2File file;
    file.bigEndian = static_cast<uint8_t>(bytes[0]) == 0x3A;
    const Reader r(bytes, file.bigEndian);
    if (!r.has(0, kDescriptorFixed)) return failed(why, "the file descriptor block is cut short");
    const long long pointerBytes = r.u16(4);
    const long long traces = r.u16(6);
    if (traces == 0) return failed(why, "the file holds no trace");
    if (traces > limits.maxTraces) return failed(why, "the file holds more traces than the trace array");
    if (pointerBytes < 4 * traces) return failed(why, "the trace pointer block is too small for the traces");
    if (!r.has(kDescriptorFixed, pointerBytes)) return failed(why, "the trace pointer block is cut short");

    // String and line terminators: a count of 1 or 2 and the characters.
    std::string terminator(1, '\0');
    if (const int n = r.u8(8); n == 1 || n == 2) {
        terminator.assign(1, static_cast<char>(r.u8(9)));
        if (n == 2) terminator += static_cast<char>(r.u8(10));
    }

    long long firstTrace = r.size();
    std::vector<long long> pointers;
    for (long long k = 0; k < traces; ++k) {
        const long long p = r.u32(kDescriptorFixed + 4 * k);
        if (!r.has(p, kDescriptorFixed)) return failed(why, "trace pointer " + std::to_string(k + 1) + " lies outside the file");
        pointers.push_back(p);
        firstTrace = std::min(firstTrace, p);
    }
    const long long stringsFrom = kDescriptorFixed + pointerBytes;
    if (stringsFrom < firstTrace) file.strings = strings(r, stringsFrom, firstTrace, terminator);

    for (long long k = 0; k < traces; ++k) {
        Seg2Trace t;
        std::string error = readTrace(r, pointers[static_cast<std::size_t>(k)], limits, terminator, t);
        if (!error.empty()) return failed(why, "trace " + std::to_string(k + 1) + error);
        file.traces.push_back(std::move(t));
    }
    return file;
}

std::optional<LoadedData> ReadSeg2File(std::string_view bytes, std::string* why) {
    std::string reason;
    auto file = ParseSeg2(bytes, Seg2Limits{}, &reason);
    auto fail = [why](std::string text) -> std::optional<LoadedData> {
        if (why) *why = std::move(text);
        return std::nullopt;
    };
    if (!file) return fail(reason);
    LoadedData d;
    d.N_Geofoni = static_cast<int16_t>(file->traces.size());
    d.N_samples = static_cast<int32_t>(file->traces.front().samples);
    for (std::size_t t = 0; t < file->traces.size(); ++t) {
        const Seg2Trace& tr = file->traces[t];
        const auto text = Seg2Value(tr.strings, "SAMPLE_INTERVAL");
        const auto interval = text ? LeadingNumber(*text) : std::nullopt;
        if (!interval || !(*interval > 0))
            return fail("trace " + std::to_string(t + 1) + " has no positive SAMPLE_INTERVAL");
        const auto freq = ToInt32(1.0 / *interval);
        if (!freq || *freq <= 0)
            return fail("trace " + std::to_string(t + 1) + " has a SAMPLE_INTERVAL out of range");
        d.Sampling_freq = *freq;
        std::vector<float> row(static_cast<std::size_t>(d.N_samples), 0.0f);
        for (std::size_t j = 0; j < row.size() && j < tr.values.size(); ++j) row[j] = tr.values[j];
        d.traces.push_back(std::move(row));
    }
    // The first trace's DELAY: the first sample's time relative to the trigger.
    if (const auto text = Seg2Value(file->traces.front().strings, "DELAY")) {
        std::string value = *text;
        std::replace(value.begin(), value.end(), ',', '.');
        if (const auto delay = LeadingNumber(value); delay && std::isfinite(*delay)) d.delaySeconds = *delay;
    }
    return d;
}

}  // namespace q24
