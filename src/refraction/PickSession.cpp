#include "refraction/PickSession.h"

#include <cmath>
#include <filesystem>

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

void PickSession::open(const std::string& projectPath, const GeometryFallback& fallback) {
    project_ = ReadProjectShots(projectPath, fallback);
    picks_.clear();
    for (const Shot& s : project_.shots) picks_.emplace_back(s.traces.size());
    undo_.clear();
    message_.clear();
    picksPath_ = picksPathOf(projectPath);
    std::error_code absent;
    if (!std::filesystem::exists(picksPath_, absent)) return;
    std::string why;
    const auto saved = ReadSgt(picksPath_, &why);
    if (!saved) {
        message_ = picksPath_ + " was not read: " + why;
        return;
    }
    for (const Pick& p : saved->picks) {
        const double sx = saved->xOf(p.source), gx = saved->xOf(p.receiver);
        for (std::size_t s = 0; s < project_.shots.size(); ++s) {
            const Shot& shot = project_.shots[s];
            if (std::fabs(shot.source - sx) > 1e-3) continue;
            for (std::size_t t = 0; t < shot.receivers.size(); ++t)
                if (std::fabs(shot.receivers[t] - gx) < 1e-3) picks_[s][t] = {p.time, PickFlag::Picked};
        }
    }
}

bool PickSession::valid(int shot, int trace) const {
    return shot >= 0 && shot < shotCount() && trace >= 0 &&
           trace < static_cast<int>(picks_[static_cast<std::size_t>(shot)].size());
}

void PickSession::remember() {
    undo_.push_back(picks_);
    if (undo_.size() > kUndoDepth) undo_.erase(undo_.begin());
}

void PickSession::save() {
    if (const std::string err = WriteSgt(picksPath_, table()); !err.empty())
        message_ = picksPath_ + " could not be written: " + err;
    else message_.clear();
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

bool PickSession::undo() {
    if (undo_.empty()) return false;
    picks_ = std::move(undo_.back());
    undo_.pop_back();
    save();
    return true;
}

}  // namespace q24::refraction
