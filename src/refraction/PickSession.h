#pragma once
// The picks of an open project as the window edits them: automatic picking of
// a shot or all shots, a pick set or deleted by hand, picks given a layer by
// hand, undo. After every change the picks are written (atomically) beside
// the project, same name with .sgt (the layers given by hand, when there are
// any, with .layers.csv), and opening the project again reads them back.
#include <string>
#include <utility>
#include <vector>

#include "refraction/Interpretation.h"
#include "refraction/Picker.h"
#include "refraction/PicksFile.h"
#include "refraction/Shots.h"

namespace q24::refraction {

// One pick of the session: shot and trace.
struct PickRef {
    int shot = 0, trace = 0;
    bool operator==(const PickRef&) const = default;
};

class PickSession {
public:
    // Reads the shots and the picks file beside the project when there is
    // one; a picks file that does not read is reported in `message()` and
    // left as it is until the first change. The elevations of its points are
    // kept in every later write.
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
    // The picks given layer 1 to 3 by hand, or back to the fit's choice (0).
    void assignLayer(const std::vector<PickRef>& refs, int layer);
    int layerGiven(int shot, int trace) const;
    LayerAssignment assignment() const;
    bool undo();
    bool canUndo() const { return !undo_.empty(); }

    PickTable table() const;
    // The valid picks whose receiver position lies in [x0, x1] and time in [t0, t1].
    std::vector<PickRef> picksWithin(double x0, double x1, double t0, double t1) const;

    // The picks as CSV beside the .sgt (same name, .csv) and the model of
    // `layers` layers as PICKS-model.csv; false when a file could not be
    // written. `report` says what was written, or why not.
    bool exportCsv(int layers, std::string& report) const;
    std::string csvPath() const;
    std::string modelCsvPath() const;

private:
    struct Snapshot {
        std::vector<std::vector<TracePick>> picks;
        std::vector<std::vector<int>> layers;
    };
    void remember();
    void save();
    bool valid(int shot, int trace) const;
    std::string base() const;

    ProjectShots project_;
    std::vector<std::vector<TracePick>> picks_;
    std::vector<std::vector<int>> layers_;  // the layer given by hand, 0: none
    std::vector<Snapshot> undo_;
    PickTable elevations_;  // the points of the picks file read
    std::string picksPath_;
    std::string message_;
};

}  // namespace q24::refraction
