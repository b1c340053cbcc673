#include "refraction/Interpretation.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>

namespace q24::refraction {

namespace {

constexpr double kSamePlace = 0.01;  // m: positions this close are one

// Running sums over the picks of a branch, for the misfit of any run of them.
class Sums {
public:
    explicit Sums(const Branch& b) : n_(b.times.size() + 1) {
        for (std::size_t i = 0; i < b.times.size(); ++i) {
            const double o = b.offset(i), t = b.times[i];
            so_[i + 1] = so_[i] + o;
            st_[i + 1] = st_[i] + t;
            soo_[i + 1] = soo_[i] + o * o;
            sot_[i + 1] = sot_[i] + o * t;
            stt_[i + 1] = stt_[i] + t * t;
        }
    }
    // Least squares over picks [a, b]: through the origin, or free. The squared misfit.
    double fit(int a, int b, bool throughOrigin, Segment& out) const {
        const double n = b - a + 1, o = d(so_, a, b), t = d(st_, a, b), oo = d(soo_, a, b), ot = d(sot_, a, b),
                     tt = d(stt_, a, b);
        out.first = a;
        out.last = b;
        if (throughOrigin) {
            if (oo <= 0) return std::numeric_limits<double>::max();
            out.slowness = ot / oo;
            out.intercept = 0;
            return std::max(0.0, tt - ot * ot / oo);
        }
        const double det = n * oo - o * o;
        if (det <= 1e-12 * std::max(1.0, n * oo)) return std::numeric_limits<double>::max();
        out.slowness = (n * ot - o * t) / det;
        out.intercept = (t - out.slowness * o) / n;
        const double s = out.slowness, c = out.intercept;
        return std::max(0.0, tt - 2 * s * ot - 2 * c * t + s * s * oo + 2 * s * c * o + n * c * c);
    }

private:
    static double d(const std::vector<double>& v, int a, int b) {
        return v[static_cast<std::size_t>(b) + 1] - v[static_cast<std::size_t>(a)];
    }
    std::size_t n_;
    std::vector<double> so_ = std::vector<double>(n_), st_ = std::vector<double>(n_), soo_ = std::vector<double>(n_),
                        sot_ = std::vector<double>(n_), stt_ = std::vector<double>(n_);
};

// The time of a branch at position x: a pick there, or the straight line
// between the picks either side of it when they are at most `gap` apart.
std::optional<double> timeAt(const Branch& b, double x, double gap) {
    for (std::size_t i = 0; i < b.receivers.size(); ++i) {
        if (std::fabs(b.receivers[i] - x) < kSamePlace) return b.times[i];
        if (i == 0) continue;
        const double x0 = b.receivers[i - 1], x1 = b.receivers[i];
        if ((x - x0) * (x - x1) < 0 && std::fabs(x1 - x0) <= gap)
            return b.times[i - 1] + (b.times[i] - b.times[i - 1]) * (x - x0) / (x1 - x0);
    }
    return std::nullopt;
}

std::string metres(double x) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g m", x);
    return buf;
}

double segmentTime(const Segment& s, double offset) { return s.intercept + s.slowness * offset; }

// The time of a segment at receiver x when x is one of its picks.
std::optional<double> pickOn(const BranchFit& f, const Segment& s, double x) {
    for (int i = s.first; i <= s.last; ++i)
        if (std::fabs(f.branch.receivers[static_cast<std::size_t>(i)] - x) < kSamePlace)
            return f.branch.times[static_cast<std::size_t>(i)];
    return std::nullopt;
}

void layerVelocities(Model& m) {
    for (int k = 0; k < m.layers; ++k) {
        double sum = 0, weight = 0;
        for (const BranchFit& f : m.fits) {
            const Segment& s = f.segments[static_cast<std::size_t>(k)];
            sum += s.slowness * (s.last - s.first + 1);
            weight += s.last - s.first + 1;
        }
        m.velocities.push_back(weight > 0 && sum > 0 ? weight / sum : 0);
    }
}

// The intercept time of segment k of a branch: its line's, or, when fewer
// than three picks make the line, the mean intercept of its picks with the
// layer's velocity over the whole line (two close picks give a slope, and so
// an intercept, far less sure than that).
double interceptOf(const BranchFit& f, std::size_t k, double velocity) {
    const Segment& seg = f.segments[k];
    if (seg.last - seg.first + 1 >= 3 || !(velocity > 0)) return seg.intercept;
    double sum = 0;
    for (int i = seg.first; i <= seg.last; ++i)
        sum += f.branch.times[static_cast<std::size_t>(i)] - f.branch.offset(static_cast<std::size_t>(i)) / velocity;
    return sum / (seg.last - seg.first + 1);
}

void interceptDepths(Model& m) {
    for (const BranchFit& f : m.fits) {
        ShotDepth d{f.branch.source, f.branch.direction, {}};
        std::vector<double> above;
        for (int k = 1; k < m.layers; ++k) {
            const std::vector<double> v(m.velocities.begin(), m.velocities.begin() + k + 1);
            const auto h = InterceptThickness(interceptOf(f, static_cast<std::size_t>(k), v.back()), v, above);
            if (!h) break;
            above.push_back(*h);
            d.depths.push_back((d.depths.empty() ? 0 : d.depths.back()) + *h);
        }
        if (static_cast<int>(d.depths.size()) == m.layers - 1) m.shotDepths.push_back(d);
        else
            m.notes.push_back("no intercept-time depth below the shot at " + metres(f.branch.source) +
                              ": its intercept time is negative or the velocities do not increase");
    }
}

// The reciprocal time between a forward and a reverse shot: a pick of one at
// the other's position, else the mean of their deepest lines there.
// With three layers the first arrivals at the far shot come from the deeper
// refractor: the lines of the first refractor give its time.
double reciprocalTime(const BranchFit& a, const BranchFit& b, double gap, bool deepest) {
    const double span = b.branch.source - a.branch.source;
    if (deepest) {
        if (const auto t = timeAt(a.branch, b.branch.source, gap)) return *t;
        if (const auto t = timeAt(b.branch, a.branch.source, gap)) return *t;
    }
    return (segmentTime(a.segments[1], span) + segmentTime(b.segments[1], span)) / 2;
}

void plusMinus(Model& m, double gap) {
    const double v1 = m.velocities[0], v2 = m.velocities[1];
    if (!(v2 > v1) || !(v1 > 0)) return;
    const double factor = v1 * v2 / (2 * std::sqrt(v2 * v2 - v1 * v1));
    std::map<long long, std::pair<double, int>> sums;  // by cm: depth sum, pairs
    for (const BranchFit& a : m.fits) {
        if (a.branch.direction != 1) continue;
        for (const BranchFit& b : m.fits) {
            if (b.branch.direction != -1 || b.branch.source <= a.branch.source) continue;
            const double reciprocal = reciprocalTime(a, b, gap, m.layers == 2);
            const Segment &sa = a.segments[1], &sb = b.segments[1];
            for (int i = sa.first; i <= sa.last; ++i) {
                const double x = a.branch.receivers[static_cast<std::size_t>(i)];
                const auto tb = pickOn(b, sb, x);
                if (!tb || x <= a.branch.source || x >= b.branch.source) continue;
                const double plus = a.branch.times[static_cast<std::size_t>(i)] + *tb - reciprocal;
                auto& [sum, pairs] = sums[std::llround(x * 100)];
                sum += plus * factor;
                ++pairs;
            }
        }
    }
    for (const auto& [cm, s] : sums)
        m.receiverDepths.push_back({static_cast<double>(cm) / 100, s.first / s.second, s.second});
}

void reciprocals(Model& m, const std::vector<Branch>& branches, double gap) {
    for (const Branch& a : branches) {
        if (a.direction != 1) continue;
        for (const Branch& b : branches) {
            if (b.direction != -1 || b.source <= a.source) continue;
            const auto ab = timeAt(a, b.source, gap), ba = timeAt(b, a.source, gap);
            if (ab && ba) m.reciprocals.push_back({a.source, b.source, *ab, *ba});
        }
    }
}

// Twice the median spacing of the receivers of all branches: how far apart
// two picks may be for a time between them.
double gapOf(const std::vector<Branch>& branches) {
    std::vector<double> steps;
    for (const Branch& b : branches)
        for (std::size_t i = 1; i < b.receivers.size(); ++i)
            steps.push_back(std::fabs(b.receivers[i] - b.receivers[i - 1]));
    if (steps.empty()) return 0;
    std::nth_element(steps.begin(), steps.begin() + static_cast<long>(steps.size() / 2), steps.end());
    return 2 * steps[steps.size() / 2];
}

}  // namespace

std::string FormatLayers(const LayerAssignment& layers) {
    std::string out = "source_x,receiver_x,layer\n";
    char line[96];
    for (const auto& [key, layer] : layers) {
        std::snprintf(line, sizeof line, "%.3f,%.3f,%d\n", static_cast<double>(key.first) / 1000,
                      static_cast<double>(key.second) / 1000, layer);
        out += line;
    }
    return out;
}

LayerAssignment ParseLayers(const std::string& text) {
    LayerAssignment out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const char* p = text.data() + start;
        const char* e = text.data() + end;
        start = end + 1;
        double v[3] = {0, 0, 0};
        bool ok = true;
        for (int k = 0; k < 3 && ok; ++k) {
            const auto r = std::from_chars(p, e, v[k]);
            ok = r.ec == std::errc() && std::isfinite(v[k]) && std::fabs(v[k]) < 1e9;
            p = r.ptr;
            if (k < 2) ok = ok && p < e && *p++ == ',';
        }
        while (ok && p < e && (*p == '\r' || *p == ' ')) ++p;
        if (ok && p == e && (v[2] == 1 || v[2] == 2 || v[2] == 3)) out[KeyOf(v[0], v[1])] = static_cast<int>(v[2]);
    }
    return out;
}

std::string LayersPathOf(const std::string& picksPath) {
    const bool sgt = picksPath.size() >= 4 && picksPath.compare(picksPath.size() - 4, 4, ".sgt") == 0;
    return (sgt ? picksPath.substr(0, picksPath.size() - 4) : picksPath) + ".layers.csv";
}

int BranchFit::layerOf(std::size_t i) const {
    for (std::size_t k = 0; k < segments.size(); ++k)
        if (static_cast<int>(i) >= segments[k].first && static_cast<int>(i) <= segments[k].last)
            return static_cast<int>(k) + 1;
    return 0;
}

std::vector<Branch> BranchesOf(const PickTable& table, const LayerAssignment& assigned) {
    std::map<int, std::vector<const Pick*>> byShot;
    for (const Pick& p : table.picks) byShot[p.source].push_back(&p);
    std::vector<Branch> out;
    for (const auto& [source, picks] : byShot) {
        for (int direction : {1, -1}) {
            Branch b;
            b.source = table.xOf(source);
            b.direction = direction;
            std::vector<std::pair<double, double>> pts;
            for (const Pick* p : picks) {
                const double o = (table.xOf(p->receiver) - b.source) * direction;
                if (o > 0 || (o == 0 && direction == 1)) pts.emplace_back(table.xOf(p->receiver), p->time);
            }
            std::sort(pts.begin(), pts.end(),
                      [&](const auto& u, const auto& v) { return u.first * direction < v.first * direction; });
            for (const auto& [x, t] : pts) {
                b.receivers.push_back(x);
                b.times.push_back(t);
                const auto given = assigned.find(KeyOf(b.source, x));
                b.layers.push_back(given == assigned.end() ? 0 : given->second);
            }
            if (b.times.size() >= 2) out.push_back(std::move(b));
        }
    }
    return out;
}

std::optional<BranchFit> FitBranch(const Branch& branch, int layers) {
    const int n = static_cast<int>(branch.times.size());
    if (layers < 1 || n < 2 * layers - 1) return std::nullopt;
    const Sums sums(branch);
    bool byHand = branch.layers.size() == branch.times.size() &&
                  std::any_of(branch.layers.begin(), branch.layers.end(), [](int l) { return l != 0; });
    std::optional<BranchFit> best;
    double bestMisfit = std::numeric_limits<double>::max();
    // Break points b[0] = 0 < b[1] < ... < b[layers] = n: segment k holds [b[k], b[k+1]).
    std::vector<int> b(static_cast<std::size_t>(layers + 1), 0);
    b.back() = n;
    auto search = [&](auto&& self, int k) -> void {
        if (k == layers) {
            for (int s = 0; s < layers && byHand; ++s)
                for (int i = b[static_cast<std::size_t>(s)]; i < b[static_cast<std::size_t>(s) + 1]; ++i) {
                    const int given = branch.layers[static_cast<std::size_t>(i)];
                    if (given != 0 && given != s + 1) return;
                }
            BranchFit f{branch, std::vector<Segment>(static_cast<std::size_t>(layers)), false};
            double misfit = 0;
            for (int s = 0; s < layers; ++s) {
                Segment& seg = f.segments[static_cast<std::size_t>(s)];
                misfit += sums.fit(b[static_cast<std::size_t>(s)], b[static_cast<std::size_t>(s) + 1] - 1, s == 0, seg);
                if (!(seg.slowness > 0) ||
                    (s > 0 && seg.slowness >= f.segments[static_cast<std::size_t>(s - 1)].slowness))
                    return;
            }
            if (misfit < bestMisfit) {
                bestMisfit = misfit;
                best = std::move(f);
            }
            return;
        }
        const int lowest = b[static_cast<std::size_t>(k - 1)] + (k == 1 ? 1 : 2);
        for (int at = lowest; at <= n - 2 * (layers - k); ++at) {
            b[static_cast<std::size_t>(k)] = at;
            self(self, k + 1);
        }
    };
    if (layers == 1) {
        BranchFit f{branch, std::vector<Segment>(1), false};
        if (sums.fit(0, n - 1, true, f.segments[0]) == std::numeric_limits<double>::max()) return std::nullopt;
        return f;
    }
    search(search, 1);
    if (!best && byHand) {
        byHand = false;
        search(search, 1);
        if (best) best->handLayersIgnored = true;
    }
    return best;
}

std::optional<double> InterceptThickness(double intercept, const std::vector<double>& v,
                                         const std::vector<double>& above) {
    const std::size_t n = v.size();
    if (n < 2 || above.size() != n - 2 || !(intercept >= 0)) return std::nullopt;
    for (std::size_t k = 0; k + 1 < n; ++k)
        if (!(v[k] > 0) || !(v[k + 1] > v[k])) return std::nullopt;
    const double vn = v[n - 1];
    double left = intercept;
    for (std::size_t k = 0; k < above.size(); ++k)
        left -= 2 * above[k] * std::sqrt(vn * vn - v[k] * v[k]) / (vn * v[k]);
    const double vk = v[n - 2];
    const double h = left * vk * vn / (2 * std::sqrt(vn * vn - vk * vk));
    if (!(h >= 0)) return std::nullopt;
    return h;
}

Model Interpret(const PickTable& table, int layers, const LayerAssignment& assigned) {
    Model m;
    m.layers = std::clamp(layers, 2, 3);
    const std::vector<Branch> branches = BranchesOf(table, assigned);
    for (const Branch& b : branches) {
        if (auto f = FitBranch(b, m.layers)) {
            if (f->handLayersIgnored)
                m.notes.push_back("the layers given by hand on the " +
                                  std::string(b.direction > 0 ? "forward" : "reverse") + " side of the shot at " +
                                  metres(b.source) + " allow no split into " + std::to_string(m.layers) +
                                  " layers, each faster than the one above: the automatic split is used there");
            m.fits.push_back(std::move(*f));
        } else
            m.notes.push_back("a side of the shot at " + metres(b.source) + " has too few picks for " +
                              std::to_string(m.layers) + " layers");
    }
    if (m.fits.empty()) {
        m.notes.push_back("no shot has picks enough for " + std::to_string(m.layers) + " layers");
        return m;
    }
    layerVelocities(m);
    interceptDepths(m);
    const double gap = gapOf(branches);
    reciprocals(m, branches, gap);
    std::map<double, int> shots;
    for (const Pick& p : table.picks) shots[table.xOf(p.source)] = 1;
    plusMinus(m, gap);
    if (shots.size() == 1)
        m.notes.push_back("one shot only (no reverse shot): depths by the intercept-time method only");
    else if (m.receiverDepths.empty())
        m.notes.push_back(
            "no forward and reverse shot over the same receivers: depths by the intercept-time method only");
    return m;
}

}  // namespace q24::refraction
