// Interpretation against synthetic lines whose model is known.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "refraction/Commands.h"
#include "refraction/Interpretation.h"
#include "refraction/SyntheticLine.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

namespace q24::refraction {
namespace {

// Exact first-break times of shots at the given positions over receivers
// every 5 m from 0 to 115 m.
PickTable exactTimes(const test::TwoLayers& m, std::initializer_list<double> sources) {
    PickTable t;
    for (double s : sources)
        for (int r = 0; r < 24; ++r) t.picks.push_back({t.pointAt(s), t.pointAt(r * 5.0), m.firstBreak(r * 5.0 - s)});
    return t;
}

// Straight lines through exact times give the velocities and the depth; the
// forward and reverse shots add the plus-minus depth under each receiver and
// agree in their reciprocal time; one shot only says so.
TEST(Interpretation, RecoversTwoFlatLayersFromExactTimes) {
    const test::TwoLayers m;
    const Model model = Interpret(exactTimes(m, {2.5, 57.5, 112.5}), 2);
    ASSERT_EQ(model.velocities.size(), 2u);
    EXPECT_NEAR(model.velocities[0], m.v1, 1e-6 * m.v1);
    EXPECT_NEAR(model.velocities[1], m.v2, 1e-6 * m.v2);
    EXPECT_EQ(model.shotDepths.size(), 4u);  // a side with one pick has no line
    for (const ShotDepth& d : model.shotDepths) EXPECT_NEAR(d.depths[0], m.depth, 1e-6) << d.source;
    ASSERT_GE(model.receiverDepths.size(), 10u);
    for (const ReceiverDepth& d : model.receiverDepths) EXPECT_NEAR(d.depth, m.depth, 1e-6) << d.x;
    ASSERT_FALSE(model.reciprocals.empty());
    for (const Reciprocal& r : model.reciprocals) EXPECT_NEAR(r.misfit(), 0, 1e-9);
    EXPECT_TRUE(model.notes.empty()) << model.notes[0];

    // A side with two refracted picks only: their line's slope is far less
    // sure than the line's velocity, which gives its intercept time instead.
    PickTable shortSide = exactTimes(m, {2.5, 57.5, 112.5, 92.5});
    for (Pick& p : shortSide.picks)
        if (shortSide.xOf(p.source) == 92.5 && shortSide.xOf(p.receiver) >= 110)
            p.time += shortSide.xOf(p.receiver) == 110 ? 0.0003 : -0.0003;
    for (const ShotDepth& d : Interpret(shortSide, 2).shotDepths)
        EXPECT_NEAR(d.depths[0], m.depth, 0.01 * m.depth) << d.source << " " << d.direction;

    const Model one = Interpret(exactTimes(m, {-2.5}), 2);
    EXPECT_TRUE(one.receiverDepths.empty());
    ASSERT_EQ(one.notes.size(), 1u);
    EXPECT_NE(one.notes[0].find("intercept-time method only"), std::string::npos);
    EXPECT_NEAR(one.shotDepths.at(0).depths[0], m.depth, 1e-6);
}

// Three layers: the break points found by least squares and both depths.
TEST(Interpretation, ThreeLayersAndTheInterceptFormula) {
    const double v1 = 400, v2 = 1200, v3 = 3000, h1 = 3, h2 = 8;
    auto time = [&](double x) {
        x = std::fabs(x);
        const double t2 = x / v2 + 2 * h1 * std::sqrt(v2 * v2 - v1 * v1) / (v1 * v2);
        const double t3 = x / v3 + 2 * h1 * std::sqrt(v3 * v3 - v1 * v1) / (v1 * v3) +
                          2 * h2 * std::sqrt(v3 * v3 - v2 * v2) / (v2 * v3);
        return std::min({x / v1, t2, t3});
    };
    PickTable t;
    for (int r = 0; r < 48; ++r) t.picks.push_back({t.pointAt(-1), t.pointAt(r * 2.5), time(r * 2.5 + 1)});
    const Model model = Interpret(t, 3);
    ASSERT_EQ(model.shotDepths.size(), 1u);
    EXPECT_NEAR(model.velocities[2], v3, 1e-6 * v3);
    EXPECT_NEAR(model.shotDepths[0].depths[0], h1, 1e-6);
    EXPECT_NEAR(model.shotDepths[0].depths[1], h1 + h2, 1e-6);
    EXPECT_FALSE(InterceptThickness(0.01, {500, 400}, {}));
    EXPECT_FALSE(InterceptThickness(-0.01, {400, 500}, {}));
}

// Picks given a layer by hand stay in that layer's segment and the split
// moves around them; layers that allow no split are ignored with a note; the
// file beside the picks keeps them.
TEST(Interpretation, LayersGivenByHand) {
    const test::TwoLayers m;
    const PickTable t = exactTimes(m, {-2.5});
    const Model automatic = Interpret(t, 2);
    const BranchFit& fit = automatic.fits.at(0);
    std::size_t firstRefracted = 0;
    while (fit.layerOf(firstRefracted) == 1) ++firstRefracted;
    const double x = fit.branch.receivers[firstRefracted];
    const Model moved = Interpret(t, 2, {{KeyOf(-2.5, x), 1}});
    EXPECT_EQ(moved.fits.at(0).layerOf(firstRefracted), 1);
    EXPECT_EQ(moved.fits.at(0).layerOf(firstRefracted + 1), 2);
    EXPECT_TRUE(moved.notes.size() == automatic.notes.size());

    const LayerAssignment crossed{{KeyOf(-2.5, 0), 2}, {KeyOf(-2.5, 5), 1}};
    const Model ignored = Interpret(t, 2, crossed);
    EXPECT_EQ(ignored.fits.at(0).segments[0].last, fit.segments[0].last);
    EXPECT_TRUE(std::any_of(ignored.notes.begin(), ignored.notes.end(), [](const std::string& n) {
        return n.find("allow no split into 2 layers") != std::string::npos;
    }));
    EXPECT_EQ(ParseLayers(FormatLayers(crossed) + "x,1,2\n1,2,4\n1,2\n-2.5,10,3\r\n"),
              (LayerAssignment{{KeyOf(-2.5, 0), 2}, {KeyOf(-2.5, 5), 1}, {KeyOf(-2.5, 10), 3}}));
    EXPECT_EQ(LayersPathOf("/a/line.sgt"), "/a/line.layers.csv");
}

// The whole way on a synthetic line: SEG-2 shots, the automatic picks
// written as .sgt, the model from that file within 5 % of the truth. Bad
// input ends with status 1 and the reason.
TEST(Commands, PickAndInterpretASyntheticLineWithinFivePercent) {
    const test::TwoLayers m{600, 2400, 7.5};
    test::TempDir dir;
    std::string project;
    for (double s : {-2.5, 57.5, 117.5}) {
        const std::string name = "shot" + std::to_string(static_cast<int>(s + 10)) + ".sg2";
        test::WriteFile((dir / name).string(), test::Seg2Image(test::SyntheticShot(m, s, 24, 5, 0, 11)));
        project += name + "\r\n";
    }
    test::WriteFile((dir / "line.prj").string(), project);
    const std::string picks = (dir / "line.sgt").string(), csv = (dir / "model.csv").string();
    const CommandResult picked = PickProject((dir / "line.prj").string(), picks, (dir / "picks.csv").string());
    ASSERT_EQ(picked.status, 0) << picked.errors;
    EXPECT_NE(picked.output.find("3 shots, 72 picks"), std::string::npos) << picked.output;
    const std::string picksCsv = test::ReadFile((dir / "picks.csv").string());
    EXPECT_EQ(picksCsv.rfind("source_x,receiver_x,time_s\n-2.5,0,", 0), 0u) << picksCsv.substr(0, 80);
    EXPECT_EQ(std::count(picksCsv.begin(), picksCsv.end(), '\n'), 73);
    std::string edited = test::ReadFile(picks);  // an elevation given by hand survives picking again
    edited.replace(edited.find("\n0 0\n"), 5, "\n0 601.5\n");
    test::WriteFile(picks, edited);
    ASSERT_EQ(PickProject((dir / "line.prj").string(), picks).status, 0);
    EXPECT_EQ(ReadSgt(picks)->points.at(1).y, 601.5);
    const CommandResult done = InterpretPicks(picks, 2, csv);
    ASSERT_EQ(done.status, 0) << done.errors;
    const Model model = Interpret(*ReadSgt(picks), 2);
    EXPECT_NEAR(model.velocities[0], m.v1, 0.05 * m.v1);
    EXPECT_NEAR(model.velocities[1], m.v2, 0.05 * m.v2);
    for (const ShotDepth& d : model.shotDepths) EXPECT_NEAR(d.depths[0], m.depth, 0.05 * m.depth) << d.source;
    for (const ReceiverDepth& d : model.receiverDepths) EXPECT_NEAR(d.depth, m.depth, 0.05 * m.depth) << d.x;
    EXPECT_EQ(test::ReadFile(csv).rfind("x_m,method,depth2_m,depth3_m,v1_m_s,v2_m_s,v3_m_s\n", 0), 0u);
    EXPECT_NE(done.output.find("v2 = "), std::string::npos);

    test::WriteFile((dir / "empty.prj").string(), "\r\n");
    test::WriteFile((dir / "bad.sgt").string(), "2\n0 0\n5 0\n1\n1 9 0.1\n");
    for (const CommandResult& r :
         {PickProject((dir / "empty.prj").string(), picks),
          PickProject((dir / "line.prj").string(), (dir / "no/such/dir.sgt").string()),
          PickProject((dir / "line.prj").string(), picks, (dir / "no/such/dir.csv").string()),
          InterpretPicks((dir / "bad.sgt").string(), 2, csv), InterpretPicks((dir / "missing.sgt").string(), 2, csv)}) {
        EXPECT_EQ(r.status, 1);
        EXPECT_FALSE(r.errors.empty());
    }
}

}  // namespace
}  // namespace q24::refraction
