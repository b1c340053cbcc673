#include "refraction/Picker.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>

namespace q24::refraction {

namespace {

int samplesOf(double seconds, double interval) {
    return static_cast<int>(std::lround(std::clamp(seconds / interval, 1.0, 1e8)));
}

// A sample number from a time in samples, kept where an int holds it.
int sampleIndex(double samples) { return static_cast<int>(std::clamp(samples, 0.0, 1e9)); }

// A trace ready for picking: the samples less their mean, the running sums of
// the samples and of their squares, and the first sample the onset may be.
class Prepared {
public:
    Prepared(const std::vector<float>& trace, int first)
        : first_(std::clamp(first, 0, static_cast<int>(trace.size()))) {
        const std::size_t n = trace.size();
        double mean = 0;
        for (float v : trace) mean += v;
        mean = n ? mean / static_cast<double>(n) : 0;
        s1_.assign(n + 1, 0.0);
        s2_.assign(n + 1, 0.0);
        for (std::size_t i = 0; i < n; ++i) {
            const double v = trace[i] - mean;
            s1_[i + 1] = s1_[i] + v;
            s2_[i + 1] = s2_[i] + v * v;
        }
        floor_ = 1e-9 * (n ? s2_[n] / static_cast<double>(n) : 0) + std::numeric_limits<double>::min();
    }
    int size() const { return static_cast<int>(s1_.size()) - 1; }
    int first() const { return first_; }
    bool silent() const { return s2_.back() - s2_[static_cast<std::size_t>(first_)] <= 0; }
    // Mean energy of samples [a, b).
    double energy(int a, int b) const {
        return (s2_[static_cast<std::size_t>(b)] - s2_[static_cast<std::size_t>(a)]) / std::max(1, b - a) + floor_;
    }
    double variance(int a, int b) const {
        const double mean = (s1_[static_cast<std::size_t>(b)] - s1_[static_cast<std::size_t>(a)]) / (b - a);
        return std::max(floor_, energy(a, b) - floor_ - mean * mean);
    }

    // The sample in [from, to) where the energy after it, against the energy
    // before it, rises the most (the windows reach outside the range, not
    // before the first sample).
    int energyRatioOnset(int from, int to, int window) const {
        int best = from;
        double bestRatio = -1;
        for (int i = std::max(from, first_ + 1); i < to; ++i) {
            const double ratio = energy(i, std::min(size(), i + window)) / energy(std::max(first_, i - window), i);
            if (ratio > bestRatio) {
                bestRatio = ratio;
                best = i;
            }
        }
        return best;
    }

    // The minimum of the Akaike information criterion over [from, to): the
    // split into two stationary parts (noise, then signal) that fits best.
    int aicOnset(int from, int to) const {
        const int n = to - from;
        if (n < 4) return from;
        int best = from;
        double bestAic = std::numeric_limits<double>::max();
        for (int k = 2; k < n - 1; ++k) {
            const double aic = k * std::log(variance(from, from + k)) + (n - k) * std::log(variance(from + k, to));
            if (aic < bestAic) {
                bestAic = aic;
                best = from + k;
            }
        }
        return best;
    }

    // The strongest rises of the energy ratio in [from, to), at least `apart`
    // samples from each other, each refined by the AIC: the onsets a trace may have.
    std::vector<std::pair<int, double>> candidates(int from, int to, double interval, const PickerSettings& s) const {
        from = std::max(from, first_ + 1);
        to = std::min(to, size() - 1);
        const int window = samplesOf(s.window, interval), apart = samplesOf(s.apart, interval);
        const int before = samplesOf(s.before, interval);
        std::vector<double> ratio(static_cast<std::size_t>(std::max(0, to - from)));
        for (int i = from; i < to; ++i)
            ratio[static_cast<std::size_t>(i - from)] =
                std::log(energy(i, std::min(size(), i + window)) / energy(std::max(first_, i - before), i));
        std::vector<std::pair<double, int>> peaks;
        for (std::size_t i = 1; i + 1 < ratio.size(); ++i)
            if (ratio[i] >= ratio[i - 1] && ratio[i] > ratio[i + 1])
                peaks.emplace_back(ratio[i], static_cast<int>(i) + from);
        std::sort(peaks.rbegin(), peaks.rend());
        std::vector<std::pair<int, double>> out;
        for (const auto& [strength, at] : peaks) {
            if (static_cast<int>(out.size()) >= s.candidates) break;
            bool near = false;
            for (const auto& o : out) near = near || std::abs(o.first - at) < apart;
            if (!near) out.emplace_back(at, strength);
        }
        for (auto& o : out)
            o.first = aicOnset(std::max(first_, o.first - samplesOf(s.aicBefore, interval)),
                               std::min(size(), o.first + samplesOf(s.aicAfter, interval)));
        return out;
    }

    // The onset searched in [from, to): the energy ratio's, refined by the AIC.
    int onset(int from, int to, double interval, const PickerSettings& s) const {
        from = std::max(from, first_);
        to = std::min(to, size());
        if (to - from < 2) return -1;
        const int rough = energyRatioOnset(from, to, samplesOf(s.window, interval));
        const int a = std::max(first_, rough - samplesOf(s.aicBefore, interval));
        const int b = std::min(size(), rough + samplesOf(s.aicAfter, interval));
        return aicOnset(a, b);
    }

private:
    int first_;
    std::vector<double> s1_, s2_;
    double floor_ = 0;
};

}  // namespace

bool IsDead(const std::vector<float>& trace) {
    if (trace.empty()) return true;
    const float first = trace.front();
    return std::all_of(trace.begin(), trace.end(), [first](float v) { return v == first; });
}

bool IsClipped(const std::vector<float>& trace) {
    float peak = 0;
    for (float v : trace) peak = std::max(peak, std::fabs(v));
    if (peak == 0) return false;
    int run = 0;
    for (float v : trace) {
        run = std::fabs(v) == peak ? run + 1 : 0;
        if (run >= 3) return true;
    }
    return false;
}

double PickOnset(const std::vector<float>& trace, double interval, const PickerSettings& settings, int from, int to) {
    if (!(interval > 0) || trace.size() < 8) return -1;
    const Prepared p(trace, from);
    if (p.silent()) return -1;
    return p.onset(from, to < 0 ? p.size() : to, interval, settings);
}

}  // namespace q24::refraction

namespace q24::refraction {

namespace {

struct SidePoint {
    double offset;
    double time;
};

double lineAt(const SidePoint& a, const SidePoint& b, double offset) {
    if (std::fabs(b.offset - a.offset) < 1e-9) return (a.time + b.time) / 2;
    return a.time + (b.time - a.time) * (offset - a.offset) / (b.offset - a.offset);
}

// What the valid picks around position k of one side (ordered by offset)
// predict for it: the median of the line through the neighbours on both
// sides and the lines through the two nearer and the two further ones. The
// source itself (offset 0, time 0) stands before the nearest trace.
std::optional<double> predict(const std::vector<SidePoint>& side, const std::vector<bool>& valid, std::size_t k) {
    std::vector<SidePoint> before{{0.0, 0.0}}, after;
    for (std::size_t i = 0; i < k; ++i)
        if (valid[i]) before.push_back(side[i]);
    for (std::size_t i = k + 1; i < side.size() && after.size() < 2; ++i)
        if (valid[i]) after.push_back(side[i]);
    const double o = side[k].offset;
    std::vector<double> guesses;
    if (!after.empty()) guesses.push_back(lineAt(before.back(), after[0], o));
    if (before.size() >= 2) guesses.push_back(lineAt(before[before.size() - 2], before.back(), o));
    if (after.size() >= 2) guesses.push_back(lineAt(after[0], after[1], o));
    if (guesses.empty()) return std::nullopt;
    std::sort(guesses.begin(), guesses.end());
    const std::size_t m = guesses.size();
    return m % 2 ? guesses[m / 2] : (guesses[m / 2 - 1] + guesses[m / 2]) / 2;
}

// The traces on one side of the source, nearest first.
std::vector<int> sideTraces(const Shot& shot, bool right) {
    std::vector<int> out;
    for (int t = 0; t < shot.traceCount() && t < static_cast<int>(shot.receivers.size()); ++t)
        if ((shot.receivers[static_cast<std::size_t>(t)] >= shot.source) == right) out.push_back(t);
    std::sort(out.begin(), out.end(), [&](int a, int b) {
        return std::fabs(shot.receivers[static_cast<std::size_t>(a)] - shot.source) <
               std::fabs(shot.receivers[static_cast<std::size_t>(b)] - shot.source);
    });
    return out;
}

// One trace of a side with its candidate onsets and what each costs.
struct Node {
    int trace;
    double offset;
    std::vector<double> times, costs;
};

// The source (offset 0, time 0), then every live trace of the side with its candidates.
std::vector<Node> candidateNodes(const Shot& shot, const std::vector<int>& traces, const PickerSettings& s) {
    const int trigger = sampleIndex(std::ceil(-shot.delay / shot.interval));
    const int last = sampleIndex((s.maxTime - shot.delay) / shot.interval + 1);
    std::vector<Node> nodes{{-1, 0.0, {0.0}, {0.0}}};
    for (int t : traces) {
        const auto& trace = shot.traces[static_cast<std::size_t>(t)];
        if (IsDead(trace)) continue;
        const auto found = Prepared(trace, trigger).candidates(trigger, last, shot.interval, s);
        if (found.empty()) continue;
        Node node{t, std::fabs(shot.receivers[static_cast<std::size_t>(t)] - shot.source), {}, {}};
        // A first break comes first: a candidate pays for its delay after the
        // earliest clear rise of its trace.
        int earliest = std::numeric_limits<int>::max();
        for (const auto& [sample, strength] : found)
            if (strength >= s.clearRise && strength >= found.front().second - s.weakerBy)
                earliest = std::min(earliest, sample);
        for (const auto& [sample, strength] : found) {
            node.times.push_back(shot.timeOf(sample));
            const double late =
                s.lateness > 0 && sample > earliest ? (sample - earliest) * shot.interval / s.lateness : 0;
            node.costs.push_back(s.strengthWeight * (found.front().second - strength) + late);
        }
        nodes.push_back(std::move(node));
    }
    return nodes;
}

// The candidate of every node on the cheapest path (the source's first).
std::vector<int> cheapestPath(const std::vector<Node>& nodes, const PickerSettings& s) {
    // cost[k][a][b]: the cheapest path ending with candidate a of node k - 1 and b of node k.
    using Table = std::vector<std::vector<double>>;
    std::vector<Table> cost(nodes.size());
    std::vector<std::vector<std::vector<int>>> from(nodes.size());
    cost[1] = Table(1, nodes[1].costs);
    from[1].assign(1, std::vector<int>(nodes[1].times.size(), 0));
    for (std::size_t k = 2; k < nodes.size(); ++k) {
        const Node &p = nodes[k - 2], &q = nodes[k - 1], &r = nodes[k];
        cost[k].assign(q.times.size(), std::vector<double>(r.times.size(), std::numeric_limits<double>::max()));
        from[k].assign(q.times.size(), std::vector<int>(r.times.size(), 0));
        for (std::size_t b = 0; b < q.times.size(); ++b)
            for (std::size_t c = 0; c < r.times.size(); ++c)
                for (std::size_t a = 0; a < p.times.size(); ++a) {
                    const double predicted = lineAt({p.offset, p.times[a]}, {q.offset, q.times[b]}, r.offset);
                    const double step =
                        std::fabs(r.times[c] - std::max(predicted, q.times[b] - s.earlier)) / s.smoothness;
                    const double total = cost[k - 1][a][b] + step + r.costs[c];
                    if (total < cost[k][b][c]) {
                        cost[k][b][c] = total;
                        from[k][b][c] = static_cast<int>(a);
                    }
                }
    }
    std::size_t k = nodes.size() - 1;
    std::vector<int> chosen(nodes.size(), 0);
    int b = 0, c = 0;
    double best = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < cost[k].size(); ++i)
        for (std::size_t j = 0; j < cost[k][i].size(); ++j)
            if (cost[k][i][j] < best) {
                best = cost[k][i][j];
                b = static_cast<int>(i);
                c = static_cast<int>(j);
            }
    for (; k >= 1; --k) {
        chosen[k] = c;
        const int a = from[k][static_cast<std::size_t>(b)][static_cast<std::size_t>(c)];
        c = b;
        b = a;
    }
    return chosen;
}

// Picks one side of the source. Each trace offers its candidate onsets; the
// path through them, nearest trace first, that costs least is taken: a
// candidate costs how much weaker it is than its trace's strongest, and each
// step costs how far it lands from the line through the two picks before it
// (the source, offset 0 time 0, counts as the first of them).
void pathSide(const Shot& shot, const std::vector<int>& traces, const PickerSettings& s,
              std::vector<TracePick>& picks) {
    const std::vector<Node> nodes = candidateNodes(shot, traces, s);
    if (nodes.size() < 2) return;
    const std::vector<int> chosen = cheapestPath(nodes, s);
    for (std::size_t k = 1; k < nodes.size(); ++k) {
        const Node& node = nodes[k];
        const int c = chosen[k];
        const auto& trace = shot.traces[static_cast<std::size_t>(node.trace)];
        const PickFlag flag = IsClipped(trace) ? PickFlag::Clipped : c == 0 ? PickFlag::Picked : PickFlag::Repicked;
        picks[static_cast<std::size_t>(node.trace)] = {node.times[static_cast<std::size_t>(c)], flag};
    }
}

void makeSideConsistent(const Shot& shot, const std::vector<int>& traces, const PickerSettings& s,
                        std::vector<TracePick>& picks) {
    const std::size_t n = traces.size();
    std::vector<SidePoint> side(n);
    std::vector<bool> valid(n);
    auto load = [&](std::size_t k) {
        const TracePick& p = picks[static_cast<std::size_t>(traces[k])];
        side[k] = {std::fabs(shot.receivers[static_cast<std::size_t>(traces[k])] - shot.source), p.time};
        valid[k] = p.valid();
    };
    for (std::size_t k = 0; k < n; ++k) load(k);
    std::vector<std::size_t> repicked;
    for (std::size_t round = 0; round < 2 * n; ++round) {
        std::size_t worst = n;
        double worstMiss = s.tolerance, worstPrediction = 0;
        for (std::size_t k = 0; k < n; ++k) {
            if (!valid[k]) continue;
            const auto p = predict(side, valid, k);
            if (p && std::fabs(side[k].time - *p) > worstMiss) {
                worst = k;
                worstMiss = std::fabs(side[k].time - *p);
                worstPrediction = *p;
            }
        }
        if (worst == n) return;
        TracePick& pick = picks[static_cast<std::size_t>(traces[worst])];
        const auto& trace = shot.traces[static_cast<std::size_t>(traces[worst])];
        const double centre = (worstPrediction - shot.delay) / shot.interval;
        const double half = s.repickHalf / shot.interval;
        const bool again = std::find(repicked.begin(), repicked.end(), worst) != repicked.end();
        repicked.push_back(worst);
        double onset = -1;
        if (!again) {
            onset = PickOnset(trace, shot.interval, s, sampleIndex(centre - half - s.window / shot.interval),
                              sampleIndex(centre + half));
        } else if (s.narrowHalf > 0 && !IsDead(trace)) {
            // Still inconsistent: the AIC minimum close around the prediction.
            const int first = sampleIndex(centre - s.narrowHalf / shot.interval);
            const int last =
                std::min(static_cast<int>(trace.size()), sampleIndex(centre + s.narrowHalf / shot.interval));
            if (last - first >= 8) onset = Prepared(trace, first).aicOnset(first, last);
        }
        const double time = shot.timeOf(onset);
        if (onset >= 0 && std::fabs(time - worstPrediction) <= s.dropAfter) {
            pick = {time, PickFlag::Repicked};
        } else {
            pick.flag = PickFlag::Dropped;
        }
        load(worst);
    }
}

// The start of the first swing of the arrival near `sample`: the first sample
// from `swingBack` before it whose distance from the baseline (the mean of the
// samples before the search) exceeds `swingShare` of the largest within
// `swingWindow` after it, traced back while the swing still falls towards
// the baseline. Small precursors and noise stay below the threshold.
double swingOnset(const std::vector<float>& trace, double sample, double interval, const PickerSettings& s) {
    const int n = static_cast<int>(trace.size());
    if (n == 0) return sample;
    const int p = std::clamp(static_cast<int>(std::lround(sample)), 0, n - 1);
    const int from = std::max(0, p - samplesOf(s.swingBack, interval));
    const int end = std::min(n, p + samplesOf(s.swingWindow, interval));
    const int a = std::max(0, from - samplesOf(s.before, interval));
    double base = trace[static_cast<std::size_t>(from)];
    if (from > a) {
        base = 0;
        for (int i = a; i < from; ++i) base += trace[static_cast<std::size_t>(i)];
        base /= from - a;
    }
    auto dev = [&](int i) { return trace[static_cast<std::size_t>(i)] - base; };
    double peak = 0;
    for (int i = from; i < end; ++i) peak = std::max(peak, std::fabs(dev(i)));
    const double threshold = s.swingShare * peak;
    int j = from;
    while (j < end && std::fabs(dev(j)) <= threshold) ++j;
    if (!(peak > 0) || j >= end) return sample;
    const double sign = dev(j) > 0 ? 1 : -1;
    while (j > from && sign * dev(j - 1) > s.swingStart * threshold && sign * dev(j - 1) < sign * dev(j)) --j;
    return j;
}

// Samples [at, at + length) of a trace less their mean, scaled to unit
// energy; empty when outside the trace or silent.
std::vector<double> unitWindow(const std::vector<float>& trace, int at, int length) {
    if (at < 0 || length < 2 || at + length > static_cast<int>(trace.size())) return {};
    std::vector<double> w(trace.begin() + at, trace.begin() + at + length);
    double mean = 0, energy = 0;
    for (double v : w) mean += v;
    mean /= length;
    for (double& v : w) {
        v -= mean;
        energy += v * v;
    }
    if (!(energy > 0)) return {};
    for (double& v : w) v /= std::sqrt(energy);
    return w;
}

// The valid picks of one side (nearest first) made to agree with the delays
// between neighbouring traces: the delay of each trace after the one before
// it is where their first cycles, around the two picks, correlate best; the
// picks move to the times that fit both their own onsets and those delays
// best (least squares, each delay weighted by its correlation). What the
// traces share (a wavelet's shape) then defines the picks together, while a
// true step between neighbours stays.
void alignSide(const Shot& shot, const std::vector<int>& traces, const PickerSettings& s,
               std::vector<TracePick>& picks) {
    std::vector<std::size_t> live;
    for (int t : traces)
        if (picks[static_cast<std::size_t>(t)].valid()) live.push_back(static_cast<std::size_t>(t));
    const std::size_t n = live.size();
    if (n < 2 || !(s.alignWeight > 0)) return;
    const int before = samplesOf(s.alignBefore, shot.interval);
    const int length = before + samplesOf(s.alignAfter, shot.interval);
    const int maxLag = samplesOf(s.alignLag, shot.interval);
    auto start = [&](std::size_t t) {
        return static_cast<int>(std::lround((picks[t].time - shot.delay) / shot.interval)) - before;
    };
    std::vector<double> delay(n, 0), weight(n, 0);  // of trace k after trace k - 1
    for (std::size_t k = 1; k < n; ++k) {
        const auto a = unitWindow(shot.traces[live[k - 1]], start(live[k - 1]), length);
        if (a.empty()) continue;
        double best = s.alignMin;
        for (int lag = -maxLag; lag <= maxLag; ++lag) {
            const auto b = unitWindow(shot.traces[live[k]], start(live[k]) + lag, length);
            if (b.empty()) continue;
            const double c = std::inner_product(a.begin(), a.end(), b.begin(), 0.0);
            if (c > best) {
                best = c;
                delay[k] = picks[live[k]].time + lag * shot.interval - picks[live[k - 1]].time;
                weight[k] = s.alignWeight * c;
            }
        }
    }
    // Minimum of sum (T_k - t_k)^2 + sum weight_k (T_k - T_k-1 - delay_k)^2: a
    // tridiagonal system (diagonal, off-diagonal, right side), by elimination.
    std::vector<double> diag(n, 1), off(n, 0), rhs(n);
    for (std::size_t k = 0; k < n; ++k) rhs[k] = picks[live[k]].time;
    for (std::size_t k = 1; k < n; ++k) {
        diag[k - 1] += weight[k];
        diag[k] += weight[k];
        off[k - 1] = -weight[k];
        rhs[k - 1] -= weight[k] * delay[k];
        rhs[k] += weight[k] * delay[k];
    }
    for (std::size_t k = 1; k < n; ++k) {
        const double m = off[k - 1] / diag[k - 1];
        diag[k] -= m * off[k - 1];
        rhs[k] -= m * rhs[k - 1];
    }
    picks[live[n - 1]].time = rhs[n - 1] / diag[n - 1];
    for (std::size_t k = n - 1; k-- > 0;) picks[live[k]].time = (rhs[k] - off[k] * picks[live[k + 1]].time) / diag[k];
}

// The valid picks of one side (nearest first) drawn towards the line through
// their two neighbours, all at once from the picks as they were: by
// `smoothWeight` of the distance, never more than `smoothCap`. A first-break
// curve is nearly straight over three traces, so what each onset alone gets
// wrong at random shrinks, while a true step between traces (a static) is
// mostly kept.
void smoothSide(const Shot& shot, const std::vector<int>& traces, const PickerSettings& s,
                std::vector<TracePick>& picks) {
    if (!(s.smoothWeight > 0)) return;
    std::vector<std::size_t> live;
    for (int t : traces)
        if (picks[static_cast<std::size_t>(t)].valid()) live.push_back(static_cast<std::size_t>(t));
    if (live.size() < 3) return;
    auto offset = [&](std::size_t t) { return std::fabs(shot.receivers[t] - shot.source); };
    std::vector<double> moved(live.size());
    for (std::size_t k = 0; k < live.size(); ++k) {
        moved[k] = picks[live[k]].time;
        if (k == 0 || k + 1 == live.size()) continue;
        const SidePoint a{offset(live[k - 1]), picks[live[k - 1]].time},
            b{offset(live[k + 1]), picks[live[k + 1]].time};
        const double miss = lineAt(a, b, offset(live[k])) - picks[live[k]].time;
        moved[k] += std::clamp(s.smoothWeight * miss, -s.smoothCap, s.smoothCap);
    }
    for (std::size_t k = 0; k < live.size(); ++k) picks[live[k]].time = moved[k];
}

}  // namespace

std::vector<TracePick> PickShot(const Shot& shot, const PickerSettings& settings) {
    std::vector<TracePick> picks(shot.traces.size());
    if (!(shot.interval > 0)) return picks;
    for (bool right : {false, true}) pathSide(shot, sideTraces(shot, right), settings, picks);
    if (settings.consistency)
        for (bool right : {false, true}) makeSideConsistent(shot, sideTraces(shot, right), settings, picks);
    if (settings.swingShare > 0)
        for (std::size_t t = 0; t < picks.size(); ++t)
            if (picks[t].valid())
                picks[t].time = shot.timeOf(
                    swingOnset(shot.traces[t], (picks[t].time - shot.delay) / shot.interval, shot.interval, settings));
    for (bool right : {false, true}) alignSide(shot, sideTraces(shot, right), settings, picks);
    for (bool right : {false, true}) smoothSide(shot, sideTraces(shot, right), settings, picks);
    return picks;
}

}  // namespace q24::refraction
