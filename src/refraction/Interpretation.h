#pragma once
// Travel-time interpretation of first-break picks: straight lines fitted per
// layer on each side of each shot (the break points proposed by least
// squares), velocities, depths by the intercept-time method below each shot
// and, where a forward and a reverse shot cover the same receivers, by the
// plus-minus method below each receiver; the reciprocal times of opposite
// shots compared.
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "refraction/PicksFile.h"

namespace q24::refraction {

// The layers the operator gave picks by hand (1 to 3), by the positions of
// their source and receiver (PickKey); the other picks go where the fit puts them.
using PickKey = std::pair<long long, long long>;
inline PickKey KeyOf(double source, double receiver) {
    return {std::llround(source * 1000), std::llround(receiver * 1000)};
}
using LayerAssignment = std::map<PickKey, int>;
// As the file beside the picks keeps it: "source_x,receiver_x,layer" lines
// after a header; lines that are not three numbers, or name no layer 1 to 3,
// are passed over.
std::string FormatLayers(const LayerAssignment& layers);
LayerAssignment ParseLayers(const std::string& text);
// PICKS.sgt's file of layers given by hand: PICKS.layers.csv.
std::string LayersPathOf(const std::string& picksPath);

// The picks of one side of one shot, nearest receiver first.
struct Branch {
    double source = 0;              // m
    int direction = 1;              // +1: receivers beyond the source along the line, -1: before it
    std::vector<double> receivers;  // m
    std::vector<double> times;      // s
    std::vector<int> layers;        // each pick's layer given by hand, 0: none
    double offset(std::size_t i) const { return (receivers[i] - source) * direction; }
};

// t = intercept + slowness * offset over picks [first, last] of a branch.
struct Segment {
    int first = 0, last = 0;
    double slowness = 0;   // s/m
    double intercept = 0;  // s
};

struct BranchFit {
    Branch branch;
    std::vector<Segment> segments;   // one a layer, shallowest first
    bool handLayersIgnored = false;  // the layers given by hand allowed no fit
    // The layer (1-based) of pick i.
    int layerOf(std::size_t i) const;
};

// Every shot's picks split into its two sides (a side needs two picks).
std::vector<Branch> BranchesOf(const PickTable& table, const LayerAssignment& assigned = {});

// The split of a branch into `layers` straight segments, nearest first, with
// the least squared misfit and slownesses falling with depth (the first
// segment passes through the source: offset 0, time 0), every pick given a
// layer by hand in that layer's segment; nothing when the branch has too few
// picks for it. When the hand-given layers allow no such split (they do not
// follow each other outwards, name a layer beyond `layers`, or leave a layer
// no faster than the one above), the split ignores them and says so.
std::optional<BranchFit> FitBranch(const Branch& branch, int layers);

struct ShotDepth {
    double source = 0;
    int direction = 1;
    std::vector<double> depths;  // to the top of layer 2 (and 3), m below the source
};

struct ReceiverDepth {
    double x = 0;
    double depth = 0;  // to the top of layer 2, m
    int pairs = 0;     // forward and reverse shot pairs averaged
};

struct Reciprocal {
    double shotA = 0, shotB = 0;    // positions, shotA < shotB
    double timeAB = 0, timeBA = 0;  // s: A's time at B's position and B's at A's
    double misfit() const { return timeAB - timeBA; }
};

struct Model {
    int layers = 2;
    std::vector<double> velocities;  // m/s, layer 1 first
    std::vector<BranchFit> fits;
    std::vector<ShotDepth> shotDepths;          // intercept-time method
    std::vector<ReceiverDepth> receiverDepths;  // plus-minus method
    std::vector<Reciprocal> reciprocals;
    std::vector<std::string> notes;  // what could not be done and why
};

// The whole interpretation of a picks table for 2 or 3 layers.
Model Interpret(const PickTable& table, int layers, const LayerAssignment& assigned = {});

// The depth of a refractor from its intercept time: layers above it with
// their thicknesses, velocities of all layers down to it. Nothing when the
// velocities do not increase with depth or the depth comes out negative.
std::optional<double> InterceptThickness(double intercept, const std::vector<double>& velocities,
                                         const std::vector<double>& thicknessesAbove);

// The model as CSV (one row a position: x_m,method,depth2_m,depth3_m and the
// velocities) and as the text the command line prints.
std::string ModelCsv(const Model& model);
std::string ModelText(const Model& model);

}  // namespace q24::refraction
