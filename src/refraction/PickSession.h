#pragma once
// The picks of an open project as the window edits them: automatic picking of
// a shot or all shots, a pick set or deleted by hand, undo. After every change
// the picks are written (atomically) beside the project, same name with
// .sgt, and opening the project again reads them back.
#include <string>
#include <vector>

#include "refraction/Picker.h"
#include "refraction/PicksFile.h"
#include "refraction/Shots.h"

namespace q24::refraction {

class PickSession {
public:
    // Reads the shots and the picks file beside the project when there is
    // one; a picks file that does not read is reported in `message()` and
    // left as it is until the first change.
    void open(const std::string& projectPath, const GeometryFallback& fallback = {});

    const ProjectShots& project() const { return project_; }
    const std::vector<TracePick>& picks(int shot) const { return picks_[static_cast<std::size_t>(shot)]; }
    int shotCount() const { return static_cast<int>(project_.shots.size()); }
    const std::string& picksPath() const { return picksPath_; }
    // The last thing worth telling (a picks file refused, a failed write).
    const std::string& message() const { return message_; }

    void autoPick(int shot);  // -1: every shot
    void setPick(int shot, int trace, double time);
    void deletePick(int shot, int trace);
    bool undo();
    bool canUndo() const { return !undo_.empty(); }

    PickTable table() const { return TableOfPicks(project_.shots, picks_); }

private:
    void remember();
    void save();
    bool valid(int shot, int trace) const;

    ProjectShots project_;
    std::vector<std::vector<TracePick>> picks_;
    std::vector<std::vector<std::vector<TracePick>>> undo_;
    std::string picksPath_;
    std::string message_;
};

}  // namespace q24::refraction
