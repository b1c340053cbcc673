#include "acquisition/NoiseMonitor.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "state/AtomicFile.h"
#include "state/SettingsFile.h"

namespace q24 {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

double Db(double counts) {
    if (!(counts > 0)) return kNoiseFloorDb;
    return std::max(kNoiseFloorDb, 20.0 * std::log10(counts / kFullScaleCounts));
}

// What the operator typed, shortened and made printable for a message.
std::string shown(const std::string& text) {
    std::string s = text.substr(0, 20);
    for (char& c : s)
        if (!std::isprint(static_cast<unsigned char>(c))) c = '?';
    return s + (text.size() > 20 ? "..." : "");
}

}  // namespace

NoiseLevel LevelOf(const float* samples, int n) {
    if (samples == nullptr || n <= 0) return {};
    double sum = 0, peak = 0;
    for (int k = 0; k < n; ++k) {
        const double x = samples[k];
        if (!std::isfinite(x)) continue;
        sum += x * x;
        peak = std::max(peak, std::abs(x));
    }
    return {Db(std::sqrt(sum / n)), Db(peak)};
}

std::string ParseThreshold(const std::string& text, double& db) {
    std::string t = Trimmed(text);
    if (const std::string l = lower(t); l.size() >= 2 && l.ends_with("db")) t = Trimmed(t.substr(0, t.size() - 2));
    std::replace(t.begin(), t.end(), ',', '.');
    if (t.empty()) return "Type the threshold in dB of full scale, from -140 to 0";
    const bool plus = t[0] == '+' && t.size() > 1 && t[1] != '-';
    double v = 0;
    const char* end = t.data() + t.size();
    const auto [stop, err] = std::from_chars(t.data() + (plus ? 1 : 0), end, v, std::chars_format::fixed);
    if (err != std::errc() || stop != end || !std::isfinite(v))
        return "\"" + shown(text) + "\" is not a number: type the threshold in dB, from -140 to 0";
    if (v < kThresholdLowestDb || v > kThresholdHighestDb)
        return "The threshold must lie from -140 to 0 dB of full scale, not " + shown(Trimmed(text));
    db = std::round(v * 10) / 10;
    if (db == 0) db = 0;  // no "-0"
    return {};
}

std::string ThresholdText(double db) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", db);
    std::string s = buf;
    if (s.ends_with(".0")) s.resize(s.size() - 2);
    return s == "-0" ? "0" : s;
}

namespace {
// threshold_db = DB, the one setting.
std::string TakeThreshold(MonitorSettings& out, const std::string& key, const std::string& value) {
    if (key != "threshold_db") return "unknown key \"" + shown(key) + "\"";
    double db = 0;
    std::string why = ParseThreshold(value, db);
    if (why.empty()) out.threshold = db;
    return why;
}
}  // namespace

MonitorSettings ReadMonitorSettings(const std::string& path) {
    MonitorSettings out;
    out.notes = ReadSettings(path, kMonitorSettingsFile, "the default threshold is used",
                             [&](const std::string& key, const std::string& value) { return TakeThreshold(out, key, value); });
    return out;
}

MonitorSettings MonitorSettingsOf(const std::string& text) {
    MonitorSettings out;
    out.notes = ParseSettings(kMonitorSettingsFile, text, "the default threshold is used",
                              [&](const std::string& key, const std::string& value) { return TakeThreshold(out, key, value); });
    return out;
}

std::string WriteMonitorSettings(const std::string& path, double threshold) {
    return WriteFileAtomically(path, "threshold_db=" + ThresholdText(threshold) + "\n");
}

NoiseMonitor::NoiseMonitor(std::string settingsPath) : path_(std::move(settingsPath)) {}

void NoiseMonitor::follow(const State& s) {
    std::vector<Channel> next;
    const int positions = std::min(ClampTraceCount(s.N_Geofoni), s.Dati.rows());
    for (int p = 1; p <= positions; ++p) {
        if (!s.Ch_enabled[p]) continue;
        const Channel* before = channel(p);
        if (before != nullptr && before->unit == s.Ch_param[p]) next.push_back(*before);
        else next.push_back({p, s.Ch_param[p], Reading::NotRead, {}});
    }
    channels_ = std::move(next);
    tell();
}

void NoiseMonitor::restart(const State& s) {
    channels_.clear();
    sweeps_ = 0;
    follow(s);
}

void NoiseMonitor::sweepStarts(const State& s) {
    ++sweeps_;
    follow(s);
}

const NoiseMonitor::Channel* NoiseMonitor::channel(int position) const {
    // The positions are in order.
    auto it = std::lower_bound(channels_.begin(), channels_.end(), position,
                               [](const Channel& c, int p) { return c.position < p; });
    return it != channels_.end() && it->position == position ? &*it : nullptr;
}

NoiseMonitor::Channel* NoiseMonitor::find(int position) {
    const Channel* c = channel(position);
    return c == nullptr ? nullptr : &channels_[static_cast<std::size_t>(c - channels_.data())];
}

void NoiseMonitor::read(int position, int unit, const float* samples, int n) {
    if (Channel* c = find(position)) {
        *c = {position, unit, Reading::Level, LevelOf(samples, n)};
        tell();
    }
}

void NoiseMonitor::notWorking(int position, int unit) {
    if (Channel* c = find(position)) {
        *c = {position, unit, Reading::NotWorking, {}};
        tell();
    }
}

bool NoiseMonitor::over(const Channel& c) const { return c.reading == Reading::Level && c.level.rmsDb > threshold_; }

std::string NoiseMonitor::summary() const {
    const auto count = [this](auto pred) { return std::count_if(channels_.begin(), channels_.end(), pred); };
    const auto overs = count([this](const Channel& c) { return over(c); });
    const auto dead = count([](const Channel& c) { return c.reading == Reading::NotWorking; });
    const std::size_t n = channels_.size();
    std::string s =
        std::to_string(n) + (n == 1 ? " channel: " : " channels: ") + std::to_string(overs) + " over the threshold";
    if (dead > 0) s += ", " + std::to_string(dead) + " not working";
    return s;
}

std::string NoiseMonitor::load() {
    if (path_.empty()) return {};
    const MonitorSettings settings = ReadMonitorSettings(path_);
    setThreshold(settings.threshold);
    return settings.notes;
}

std::string NoiseMonitor::typeThreshold(const std::string& text) {
    double db = 0;
    if (std::string why = ParseThreshold(text, db); !why.empty())
        return why + "; the threshold stays " + ThresholdText(threshold_) + " dB";
    if (db == threshold_) return {};
    setThreshold(db);
    if (path_.empty()) return {};
    if (std::string err = WriteMonitorSettings(path_, db); !err.empty())
        return "The threshold is " + ThresholdText(db) + " dB for now; it could not be kept in " + path_ + ": " + err;
    return {};
}

}  // namespace q24
