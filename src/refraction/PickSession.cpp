#include "refraction/PickSession.h"

#include <cmath>
#include <filesystem>

#include "state/AtomicFile.h"

namespace q24::refraction {

namespace {

constexpr std::size_t kUndoDepth = 200;

std::string picksPathOf(const std::string& project) {
    const auto slash = project.rfind('/');
    const auto dot = project.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? project.substr(0, dot) : project) + ".sgt";
}

}  // namespace

std::string PickSession::base() const { return picksPath_.substr(0, picksPath_.size() - 4); }
std::string PickSession::csvPath() const { return base() + ".csv"; }
std::string PickSession::modelCsvPath() const { return base() + "-model.csv"; }

void PickSession::open(const std::string& projectPath, const GeometryFallback& fallback) {
    project_ = ReadProjectShots(projectPath, fallback);
    picks_.clear();
    layers_.clear();
    for (const Shot& s : project_.shots) {
        picks_.emplace_back(s.traces.size());
        layers_.emplace_back(s.traces.size(), 0);
    }
    undo_.clear();
    message_.clear();
    elevations_ = {};
    picksPath_ = picksPathOf(projectPath);
    auto forEachTrace = [&](double sx, double gx, auto&& fn) {
        for (std::size_t s = 0; s < project_.shots.size(); ++s) {
            const Shot& shot = project_.shots[s];
            if (std::fabs(shot.source - sx) > 1e-3) continue;
            for (std::size_t t = 0; t < shot.receivers.size(); ++t)
                if (std::fabs(shot.receivers[t] - gx) < 1e-3) fn(s, t);
        }
    };
    std::error_code absent;
    if (const auto text = ReadWholeFile(LayersPathOf(picksPath_), 64LL * 1024 * 1024, nullptr))
        for (const auto& [key, layer] : ParseLayers(*text))
            forEachTrace(static_cast<double>(key.first) / 1000, static_cast<double>(key.second) / 1000,
                         [&, layer = layer](std::size_t s, std::size_t t) { layers_[s][t] = layer; });
    if (!std::filesystem::exists(picksPath_, absent)) return;
    std::string why;
    const auto saved = ReadSgt(picksPath_, &why);
    if (!saved) {
        message_ = picksPath_ + " was not read: " + why;
        return;
    }
    elevations_ = *saved;
    elevations_.picks.clear();
    for (const Pick& p : saved->picks)
        forEachTrace(saved->xOf(p.source), saved->xOf(p.receiver), [&](std::size_t s, std::size_t t) {
            picks_[s][t] = {p.time, PickFlag::Picked};
        });
}

bool PickSession::valid(int shot, int trace) const {
    return shot >= 0 && shot < shotCount() && trace >= 0 &&
           trace < static_cast<int>(picks_[static_cast<std::size_t>(shot)].size());
}

PickTable PickSession::table() const {
    PickTable t = TableOfPicks(project_.shots, picks_);
    KeepElevations(t, elevations_);
    return t;
}

void PickSession::remember() {
    undo_.push_back({picks_, layers_});
    if (undo_.size() > kUndoDepth) undo_.erase(undo_.begin());
}

void PickSession::save() {
    std::string err = WriteSgt(picksPath_, table());
    const LayerAssignment layers = assignment();
    const std::string layersPath = LayersPathOf(picksPath_);
    std::error_code absent;
    if (err.empty() && (!layers.empty() || std::filesystem::exists(layersPath, absent)))
        err = WriteFileAtomically(layersPath, FormatLayers(layers));
    message_ = err.empty() ? std::string() : picksPath_ + " could not be written: " + err;
}

void PickSession::autoPick(int shot) {
    if (shot != -1 && (shot < 0 || shot >= shotCount())) return;
    remember();
    for (int s = 0; s < shotCount(); ++s)
        if (shot == -1 || s == shot)
            picks_[static_cast<std::size_t>(s)] = PickShot(project_.shots[static_cast<std::size_t>(s)]);
    save();
}

void PickSession::setPick(int shot, int trace, double time) {
    if (!valid(shot, trace) || !(time >= 0) || !std::isfinite(time)) return;
    remember();
    picks_[static_cast<std::size_t>(shot)][static_cast<std::size_t>(trace)] = {time, PickFlag::Manual};
    save();
}

void PickSession::deletePick(int shot, int trace) {
    if (!valid(shot, trace) || !picks_[static_cast<std::size_t>(shot)][static_cast<std::size_t>(trace)].valid()) return;
    remember();
    picks_[static_cast<std::size_t>(shot)][static_cast<std::size_t>(trace)] = {0, PickFlag::Dropped};
    save();
}

void PickSession::assignLayer(const std::vector<PickRef>& refs, int layer) {
    if (layer < 0 || layer > 3) return;
    std::vector<PickRef> use;
    for (const PickRef& r : refs)
        if (valid(r.shot, r.trace)) use.push_back(r);
    if (use.empty()) return;
    remember();
    for (const PickRef& r : use) layers_[static_cast<std::size_t>(r.shot)][static_cast<std::size_t>(r.trace)] = layer;
    save();
}

int PickSession::layerGiven(int shot, int trace) const {
    return valid(shot, trace) ? layers_[static_cast<std::size_t>(shot)][static_cast<std::size_t>(trace)] : 0;
}

LayerAssignment PickSession::assignment() const {
    LayerAssignment out;
    for (std::size_t s = 0; s < layers_.size(); ++s)
        for (std::size_t t = 0; t < layers_[s].size(); ++t)
            if (layers_[s][t] != 0)
                out[KeyOf(project_.shots[s].source, project_.shots[s].receivers[t])] = layers_[s][t];
    return out;
}

std::vector<PickRef> PickSession::picksWithin(double x0, double x1, double t0, double t1) const {
    std::vector<PickRef> out;
    for (int s = 0; s < shotCount(); ++s) {
        const Shot& shot = project_.shots[static_cast<std::size_t>(s)];
        for (std::size_t t = 0; t < shot.receivers.size() && t < picks_[static_cast<std::size_t>(s)].size(); ++t) {
            const TracePick& p = picks_[static_cast<std::size_t>(s)][t];
            if (p.valid() && shot.receivers[t] >= x0 && shot.receivers[t] <= x1 && p.time >= t0 && p.time <= t1)
                out.push_back({s, static_cast<int>(t)});
        }
    }
    return out;
}

bool PickSession::undo() {
    if (undo_.empty()) return false;
    picks_ = std::move(undo_.back().picks);
    layers_ = std::move(undo_.back().layers);
    undo_.pop_back();
    save();
    return true;
}

bool PickSession::exportCsv(int layers, std::string& report) const {
    const PickTable t = table();
    if (std::string err = WritePicksCsv(csvPath(), t); !err.empty()) {
        report = csvPath() + " could not be written: " + err;
        return false;
    }
    report = "Picks written to " + csvPath();
    const Model m = Interpret(t, layers, assignment());
    if (m.fits.empty()) {
        report += "; no model: " + (m.notes.empty() ? std::string("no picks") : m.notes.back());
        return true;
    }
    if (std::string err = WriteFileAtomically(modelCsvPath(), ModelCsv(m)); !err.empty()) {
        report += "; " + modelCsvPath() + " could not be written: " + err;
        return false;
    }
    report += ", the model to " + modelCsvPath();
    return true;
}

}  // namespace q24::refraction
