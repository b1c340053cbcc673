#include "refraction/PicksFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "refraction/Picker.h"
#include "refraction/Shots.h"
#include "state/AtomicFile.h"

namespace q24::refraction {

namespace {

constexpr long long kMaxEntries = 10'000'000;

struct Line {
    int number = 0;  // 1-based, for the reasons
    std::vector<std::string> words;
    std::string comment;  // the text after '#'
};

// The file cut into lines of words; a line with nothing but a comment keeps
// the comment so that the column names can be found.
std::vector<Line> linesOf(std::string_view text) {
    std::vector<Line> out;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view body = text.substr(start, end - start);
        start = end + 1;
        Line line;
        line.number = ++number;
        if (const auto hash = body.find('#'); hash != std::string_view::npos) {
            line.comment = std::string(body.substr(hash + 1));
            body = body.substr(0, hash);
        }
        std::size_t p = 0;
        while (p < body.size()) {
            while (p < body.size() && std::isspace(static_cast<unsigned char>(body[p]))) ++p;
            std::size_t q = p;
            while (q < body.size() && !std::isspace(static_cast<unsigned char>(body[q]))) ++q;
            if (q > p) line.words.emplace_back(body.substr(p, q - p));
            p = q;
        }
        out.push_back(std::move(line));
    }
    return out;
}

std::optional<double> toNumber(const std::string& w) {
    std::string_view s = w;
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<long long> toCount(const std::string& w) {
    long long v = 0;
    const auto r = std::from_chars(w.data(), w.data() + w.size(), v);
    if (r.ec != std::errc() || r.ptr != w.data() + w.size()) return std::nullopt;
    return v;
}

std::vector<std::string> wordsOf(const std::string& s) {
    auto lines = linesOf(s);
    return lines.empty() ? std::vector<std::string>{} : std::move(lines[0].words);
}

class Parser {
public:
    explicit Parser(std::string_view text) : lines_(linesOf(text)) {}

    std::optional<PickTable> run(std::string* why) {
        PickTable t;
        const bool ok = points(t) && picks(t);
        if (!ok && why) *why = reason_;
        if (!ok) return std::nullopt;
        return t;
    }

private:
    bool fail(const Line* at, const std::string& what) {
        reason_ = at ? "line " + std::to_string(at->number) + ": " + what : what;
        return false;
    }
    // The next line with words, or nothing at the end of the file.
    const Line* next() {
        while (at_ < lines_.size()) {
            const Line& l = lines_[at_++];
            if (!l.words.empty()) return &l;
        }
        return nullptr;
    }
    bool count(const char* what, long long& n, const Line*& line) {
        line = next();
        if (!line) return fail(nullptr, std::string("the file ends before the count of ") + what);
        const auto c = toCount(line->words[0]);
        if (!c || *c < 0 || *c > kMaxEntries) return fail(line, "\"" + line->words[0] + "\" is not a count of " + what);
        n = *c;
        return true;
    }
    bool points(PickTable& t) {
        long long n = 0;
        const Line* header = nullptr;
        if (!count("points", n, header)) return false;
        for (long long i = 0; i < n; ++i) {
            const Line* l = next();
            if (!l)
                return fail(nullptr,
                            "the file ends after " + std::to_string(i) + " of " + std::to_string(n) + " points");
            if (l->words.size() < 2 || l->words.size() > 3)
                return fail(l, "a point needs \"x y\" or \"x y z\"" + wrongCount(n, i));
            Point p;
            double* dest[] = {&p.x, &p.y, &p.z};
            for (std::size_t k = 0; k < l->words.size(); ++k) {
                const auto v = toNumber(l->words[k]);
                if (!v) return fail(l, "\"" + l->words[k] + "\" is not a number");
                *dest[k] = *v;
            }
            t.threeD = t.threeD || l->words.size() == 3;
            t.points.push_back(p);
        }
        return true;
    }
    static std::string wrongCount(long long n, long long i) {
        return " (the count says " + std::to_string(n) + " points, this is number " + std::to_string(i + 1) + ")";
    }
    // Where s, g and t stand in a pick line: named by a comment right after the
    // count, else s g t.
    void columns() {
        std::vector<std::string> names;
        for (std::size_t k = at_; k < lines_.size() && lines_[k].words.empty(); ++k) {
            names = wordsOf(lines_[k].comment);
            if (!names.empty()) break;
        }
        int s = -1, g = -1, tt = -1;
        for (int k = 0; k < static_cast<int>(names.size()); ++k) {
            if (names[k] == "s") s = k;
            if (names[k] == "g") g = k;
            if (names[k] == "t") tt = k;
        }
        if (s >= 0 && g >= 0 && tt >= 0) col_ = {s, g, tt, static_cast<int>(names.size())};
    }
    bool picks(PickTable& t) {
        long long n = 0;
        const Line* header = nullptr;
        if (!count("picks", n, header)) return false;
        columns();
        const long long points = static_cast<long long>(t.points.size());
        for (long long i = 0; i < n; ++i) {
            const Line* l = next();
            if (!l)
                return fail(nullptr,
                            "the file ends after " + std::to_string(i) + " of " + std::to_string(n) + " picks");
            if (static_cast<int>(l->words.size()) < col_.needed) return fail(l, "a pick needs \"s g t\"");
            const auto s = toCount(l->words[static_cast<std::size_t>(col_.s)]);
            const auto g = toCount(l->words[static_cast<std::size_t>(col_.g)]);
            const auto tt = toNumber(l->words[static_cast<std::size_t>(col_.t)]);
            if (!s || !g) return fail(l, "the point numbers must be whole numbers");
            if (*s < 1 || *s > points || *g < 1 || *g > points)
                return fail(l, "point number out of range (there are " + std::to_string(points) + " points)");
            if (!tt || *tt < 0)
                return fail(l, "\"" + l->words[static_cast<std::size_t>(col_.t)] + "\" is not a time in seconds");
            t.picks.push_back({static_cast<int>(*s - 1), static_cast<int>(*g - 1), *tt});
        }
        if (const Line* extra = next())
            return fail(extra, "more lines than the " + std::to_string(n) + " picks the count gives");
        return true;
    }

    struct Columns {
        int s = 0, g = 1, t = 2, needed = 3;
    };
    std::vector<Line> lines_;
    std::size_t at_ = 0;
    Columns col_;
    std::string reason_;
};

std::string shortest(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

}  // namespace

int PickTable::pointAt(double x) {
    for (std::size_t i = 0; i < points.size(); ++i)
        if (std::fabs(points[i].x - x) < 1e-3) return static_cast<int>(i);
    points.push_back({x, 0, 0});
    return static_cast<int>(points.size()) - 1;
}

PickTable TableOfPicks(const std::vector<Shot>& shots, const std::vector<std::vector<TracePick>>& picks) {
    std::vector<double> xs;
    for (const Shot& shot : shots) {
        xs.push_back(shot.source);
        xs.insert(xs.end(), shot.receivers.begin(), shot.receivers.end());
    }
    std::sort(xs.begin(), xs.end());
    PickTable table;
    for (double x : xs) table.pointAt(x);
    for (std::size_t i = 0; i < shots.size() && i < picks.size(); ++i) {
        const Shot& shot = shots[i];
        const int s = table.pointAt(shot.source);
        for (std::size_t t = 0; t < picks[i].size() && t < shot.receivers.size(); ++t)
            if (picks[i][t].valid() && picks[i][t].time >= 0)
                table.picks.push_back({s, table.pointAt(shot.receivers[t]), picks[i][t].time});
    }
    return table;
}

PickAgreement ComparePicks(const PickTable& picks, const PickTable& reference) {
    auto key = [](const PickTable& t, const Pick& p) {
        return std::pair(std::lround(t.xOf(p.source) * 100), std::lround(t.xOf(p.receiver) * 100));
    };
    std::vector<std::pair<std::pair<long, long>, double>> mine;
    for (const Pick& p : picks.picks) mine.emplace_back(key(picks, p), p.time);
    std::sort(mine.begin(), mine.end());
    PickAgreement a;
    std::vector<double> misses;
    for (const Pick& p : reference.picks) {
        ++a.reference;
        const auto k = key(reference, p);
        const auto it = std::lower_bound(mine.begin(), mine.end(), std::pair(k, -1e300));
        if (it == mine.end() || it->first != k) continue;
        misses.push_back(std::fabs(it->second - p.time));
    }
    a.compared = static_cast<int>(misses.size());
    if (misses.empty()) return a;
    std::sort(misses.begin(), misses.end());
    const std::size_t m = misses.size();
    a.median = m % 2 ? misses[m / 2] : (misses[m / 2 - 1] + misses[m / 2]) / 2;
    auto share = [&](double limit) {
        return static_cast<double>(std::upper_bound(misses.begin(), misses.end(), limit) - misses.begin()) /
               static_cast<double>(m);
    };
    a.within2 = share(0.002);
    a.within3 = share(0.003);
    a.within4 = share(0.004);
    return a;
}

std::optional<PickTable> ParseSgt(std::string_view text, std::string* why) { return Parser(text).run(why); }

std::string FormatSgt(const PickTable& table) {
    std::string out = std::to_string(table.points.size()) + " # shot/geophone points\n";
    out += table.threeD ? "#x y z\n" : "#x y\n";
    for (const Point& p : table.points) {
        out += shortest(p.x) + " " + shortest(p.y);
        if (table.threeD) out += " " + shortest(p.z);
        out += "\n";
    }
    out += std::to_string(table.picks.size()) + " # measurements\n#s g t\n";
    for (const Pick& k : table.picks)
        out += std::to_string(k.source + 1) + " " + std::to_string(k.receiver + 1) + " " + shortest(k.time) + "\n";
    return out;
}

std::optional<PickTable> ReadSgt(const std::string& path, std::string* why) {
    const auto text = ReadWholeFile(path, 256LL * 1024 * 1024, why);
    if (!text) return std::nullopt;
    return ParseSgt(*text, why);
}

std::string WriteSgt(const std::string& path, const PickTable& table) {
    return WriteFileAtomically(path, FormatSgt(table));
}

std::string PicksCsv(const PickTable& table) {
    std::string out = "source_x,receiver_x,time_s\n";
    for (const Pick& k : table.picks)
        out += shortest(table.xOf(k.source)) + "," + shortest(table.xOf(k.receiver)) + "," + shortest(k.time) + "\n";
    return out;
}

std::string WritePicksCsv(const std::string& path, const PickTable& table) {
    return WriteFileAtomically(path, PicksCsv(table));
}

void KeepElevations(PickTable& to, const PickTable& from) {
    for (Point& p : to.points)
        for (const Point& q : from.points)
            if (std::fabs(p.x - q.x) < 1e-3) {
                p.y = q.y;
                p.z = q.z;
            }
    to.threeD = to.threeD || from.threeD;
}

}  // namespace q24::refraction
