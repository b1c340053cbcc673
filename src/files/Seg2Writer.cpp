#include "files/Seg2Writer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <tuple>
#include <sys/stat.h>

#include "files/WriteForm.h"
#include "state/AtomicFile.h"
#include "state/NumberFormat.h"

namespace q24 {

namespace {

std::string trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return std::string(s);
}

// A header number with either decimal separator, followed by its unit.
std::optional<double> headerNumber(const std::string& line) {
    std::string t = trim(line);
    std::replace(t.begin(), t.end(), ',', '.');
    return LeadingNumber(t);
}

std::optional<long long> headerCount(const std::string& line) {
    const auto v = ParseNumber(trim(line));
    if (!v || *v < 0 || *v != std::floor(*v) || *v > 1e12) return std::nullopt;
    return static_cast<long long>(*v);
}

std::string unquote(const std::string& line) {
    std::string t = trim(line);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') return t.substr(1, t.size() - 2);
    return t;
}

void put16(std::string& b, std::size_t at, unsigned v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A string list: each entry its 2-byte length, the text and a NUL; then the
// zero length that ends the list. The last text is padded with blanks so the
// block (`fixed` bytes before it) ends on a multiple of four; the list then
// ends in exactly three zero bytes.
std::string stringList(std::vector<std::string> texts, std::size_t fixed, bool pad = true) {
    auto size = [&] {
        std::size_t n = 2;
        for (const auto& t : texts) n += 2 + t.size() + 1;
        return n;
    };
    if (pad && !texts.empty())
        while ((fixed + size()) % 4 != 0) texts.back() += ' ';
    std::string out;
    for (const auto& t : texts) {
        std::string entry(2, '\0');
        put16(entry, 0, static_cast<unsigned>(t.size() + 3));
        entry += t;
        entry += '\0';
        out += entry;
    }
    out += std::string(2, '\0');
    return out;
}

const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

std::vector<int> numbersIn(const std::string& text) {
    std::vector<int> out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (std::isdigit(static_cast<unsigned char>(text[i]))) {
            long v = 0;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && v < 100000)
                v = v * 10 + (text[i++] - '0');
            out.push_back(static_cast<int>(v));
        } else {
            ++i;
        }
    }
    return out;
}

// The header date in SEG-2's DD/MMM/YYYY. The regional short date puts day,
// month and year in an order the file does not state: a four-digit first
// number is the year (year-month-day), a second number above 12 is the day
// (month-day-year), otherwise day-month-year.
std::string seg2Date(const std::string& text) {
    const auto n = numbersIn(text);
    if (n.size() != 3) return trim(text);
    int d = n[0], m = n[1], y = n[2];
    if (n[0] > 31) {
        y = n[0], m = n[1], d = n[2];
    } else if (n[1] > 12) {
        m = n[0], d = n[1];
    }
    if (y < 100) y += 2000;
    if (m < 1 || m > 12 || d < 1 || d > 31) return trim(text);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d/%s/%04d", d, kMonths[m - 1], y);
    return buf;
}

std::string seg2Time(const std::string& text) {
    const auto n = numbersIn(text);
    if (n.size() < 2 || n.size() > 3) return trim(text);
    int h = n[0];
    const int mi = n[1], s = n.size() == 3 ? n[2] : 0;
    std::string upper = text;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.find("PM") != std::string::npos && h < 12) h += 12;
    if (upper.find("AM") != std::string::npos && h == 12) h = 0;
    if (h > 23 || mi > 59 || s > 60) return trim(text);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, mi, s);
    return buf;
}

std::string after(const std::string& line, const char* prefix) {
    const std::string t = trim(line);
    const std::size_t n = std::strlen(prefix);
    return t.compare(0, n, prefix) == 0 ? trim(std::string_view(t).substr(n)) : t;
}

}  // namespace

std::optional<DataTextContent> ParseDataText(std::string_view text, std::string* why) {
    auto fail = [why](std::string reason) -> std::optional<DataTextContent> {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view l = text.substr(start, end - start);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        lines.push_back(l);
        start = end + 1;
    }
    while (!lines.empty() && trim(lines.back()).empty()) lines.pop_back();
    if (lines.size() < 16) return fail("the header is shorter than 16 lines");

    DataTextContent d;
    d.instrument = after(std::string(lines[1]), "Strumento:");
    d.date = after(std::string(lines[3]), "DATA:");
    d.time = after(std::string(lines[4]), "ORA:");
    const auto channels = headerCount(std::string(lines[6]));
    if (!channels) return fail("line 7 holds no channel count");
    d.channels = *channels;
    const auto interval = headerNumber(std::string(lines[8]));
    if (!interval || !(*interval > 0)) return fail("line 9 holds no positive sampling interval");
    d.intervalUsec = *interval;
    const auto samples = headerCount(std::string(lines[10]));
    if (!samples) return fail("line 11 holds no sample count");
    d.samples = *samples;
    const auto spacing = headerNumber(std::string(lines[12]));
    if (!spacing) return fail("line 13 holds no geophone spacing");
    d.spacing = *spacing;
    const auto source = headerNumber(std::string(lines[14]));
    if (!source) return fail("line 15 holds no source position");
    d.source = -*source;  // the recorder writes -Pos_source on line 15

    std::size_t i = 16;
    const auto n = static_cast<std::size_t>(d.samples);
    while (i < lines.size()) {
        const std::string label = trim(lines[i]);
        if (label.empty() || label.front() != '"')
            return fail("line " + std::to_string(i + 1) + " should be a channel label");
        if (d.labels.size() >= 16383) return fail("too many channels for one SEG-2 file");
        ++i;
        if (lines.size() - i < n)
            return fail("channel " + std::to_string(d.labels.size() + 1) + " holds fewer samples than announced");
        std::vector<float> block(n);
        for (std::size_t j = 0; j < n; ++j, ++i) {
            const auto v = ParseNumber(trim(lines[i]));
            if (!v || std::fabs(*v) > 3.4028234663852886e38)
                return fail("line " + std::to_string(i + 1) + " holds no sample value");
            block[j] = static_cast<float>(*v);
        }
        d.labels.push_back(unquote(label));
        d.blocks.push_back(std::move(block));
    }
    if (d.samples > 0xFFFFFFFFLL / 4) return fail("too many samples for one SEG-2 trace");
    return d;
}

std::string Seg2Bytes(const DataTextContent& d, const Seg2Record& record) {
    const std::size_t traces = d.blocks.size();
    const std::size_t pointerBytes = std::max<std::size_t>(4, 4 * traces);

    std::string file(32 + pointerBytes, '\0');
    file[0] = 0x55;
    file[1] = 0x3A;
    put16(file, 2, 1);  // revision 1
    put16(file, 4, static_cast<unsigned>(pointerBytes));
    put16(file, 6, static_cast<unsigned>(traces));
    file[8] = 1;     // string terminator: one NUL
    file[11] = 1;    // line terminator: one LF
    file[12] = '\n';
    file += stringList({"ACQUISITION_DATE " + seg2Date(d.date), "ACQUISITION_TIME " + seg2Time(d.time),
                        "INSTRUMENT " + (d.instrument.empty() ? std::string("QUELDA24") : d.instrument),
                        "TRACE_SORT AS_ACQUIRED", "UNITS METERS"},
                       0, false);
    while (file.size() % 4 != 0) file += '\0';

    const std::string interval = DecimalForm(d.intervalUsec / 1e6, 15);
    const std::string delay = DecimalForm(record.delaySeconds, 15);
    const std::string sourceStation = DecimalForm(d.spacing > 0 ? 1 + d.source / d.spacing : 1, 7);
    for (std::size_t t = 0; t < traces; ++t) {
        put32(file, 32 + 4 * t, static_cast<uint32_t>(file.size()));
        const std::string strings = stringList(
            {"CHANNEL_NUMBER " + std::to_string(t + 1), "DELAY " + delay,
             "RECEIVER_LOCATION " + DecimalForm(static_cast<double>(t) * d.spacing, 7),
             "RECEIVER_STATION_NUMBER " + std::to_string(t + 1), "SAMPLE_INTERVAL " + interval,
             "SHOT_SEQUENCE_NUMBER " + std::to_string(record.shot), "SOURCE_LOCATION " + DecimalForm(d.source, 7),
             "SOURCE_STATION_NUMBER " + sourceStation, "STACK " + std::to_string(record.stack),
             "NOTE " + d.labels[t]},
            32);
        const auto& block = d.blocks[t];
        std::string head(32, '\0');
        head[0] = 0x22;
        head[1] = 0x44;
        put16(head, 2, static_cast<unsigned>(32 + strings.size()));
        put32(head, 4, static_cast<uint32_t>(block.size() * 4));
        put32(head, 8, static_cast<uint32_t>(block.size()));
        head[12] = 4;  // float32
        file += head;
        file += strings;
        const std::size_t at = file.size();
        file.resize(at + block.size() * 4);
        for (std::size_t j = 0; j < block.size(); ++j) {
            uint32_t bits;
            std::memcpy(&bits, &block[j], sizeof bits);
            put32(file, at + 4 * j, bits);
        }
    }
    return file;
}

std::optional<DataTextContent> ReadDataText(const std::string& path, std::string* why) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    if (!in) {
        if (why) *why = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    auto data = ParseDataText(text.str(), why);
    if (!data && why) *why = path + ": " + *why;
    return data;
}

std::string ConvertDataText(const std::string& dataPath, const std::string& sg2Path, const Seg2Record& record) {
    std::string why;
    const auto data = ReadDataText(dataPath, &why);
    if (!data) return why;
    // The descriptors hold 2-byte string sizes: refuse a label too long for them.
    for (const auto& l : data->labels)
        if (l.size() > 60000) return dataPath + ": a channel label is too long";
    const std::string err = WriteFileAtomically(sg2Path, Seg2Bytes(*data, record));
    return err.empty() ? err : sg2Path + ": " + err;
}

std::optional<std::pair<std::string, std::string>> SplitConverterArgument(const std::string& argument) {
    std::size_t first = std::string::npos;
    for (std::size_t p = argument.find('|'); p != std::string::npos; p = argument.find('|', p + 1)) {
        if (first == std::string::npos) first = p;
        struct stat st{};
        if (::stat(argument.substr(0, p).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return std::make_pair(argument.substr(0, p), argument.substr(p + 1));
    }
    if (first == std::string::npos || first == 0 || first + 1 == argument.size()) return std::nullopt;
    return std::make_pair(argument.substr(0, first), argument.substr(first + 1));
}

long long ShotNumberOf(const std::string& name) {
    std::size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) --digits;
    // The last 15 digits at most: any longer number would not fit.
    digits = std::max(digits, name.size() > 15 ? name.size() - 15 : 0);
    return digits == name.size() ? 1 : std::stoll(name.substr(digits));
}

std::optional<ConverterCommand> ParseConverterCommand(const std::vector<std::string>& args, std::string* why) {
    auto fail = [why](std::string reason) -> std::optional<ConverterCommand> {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    ConverterCommand c;
    std::vector<std::string> files;
    bool shotGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a != "--delay" && a != "--stack" && a != "--shot") {
            files.push_back(a);
            continue;
        }
        if (i + 1 == args.size()) return fail(a + " needs a value");
        const auto v = ParseNumber(args[++i]);
        if (a == "--delay") {
            if (!v || std::fabs(*v) > 1e6) return fail("--delay takes seconds, not \"" + args[i] + "\"");
            c.record.delaySeconds = *v;
            continue;
        }
        if (!v || *v != std::floor(*v) || *v < (a == "--stack" ? 1 : 0) || *v > 1e15)
            return fail(a + " takes a whole number, not \"" + args[i] + "\"");
        (a == "--stack" ? c.record.stack : c.record.shot) = static_cast<long long>(*v);
        shotGiven = shotGiven || a == "--shot";
    }
    if (files.size() == 1) {
        const auto parts = SplitConverterArgument(files[0]);
        if (!parts) return fail("expected \"DATA|OUT.sg2\", got \"" + files[0] + "\"");
        std::tie(c.data, c.sg2) = *parts;
    } else if (files.size() == 2) {
        c.data = files[0];
        c.sg2 = files[1];
    } else {
        return fail("expected \"DATA|OUT.sg2\" or DATA OUT.sg2");
    }
    std::string stem = c.sg2.substr(c.sg2.find_last_of('/') + 1);
    stem = stem.substr(0, stem.rfind('.'));
    if (!shotGiven) c.record.shot = ShotNumberOf(stem);
    return c;
}

std::vector<std::string> ConverterOptions(const Seg2Record& record) {
    return {"--delay", DecimalForm(record.delaySeconds, 15), "--stack", std::to_string(record.stack),
            "--shot", std::to_string(record.shot)};
}

}  // namespace q24
