// Reading a project's shots, picking them, the picks file, the picks the
// window edits and the filters it views traces through.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "refraction/PickSession.h"
#include "refraction/Picker.h"
#include "refraction/PicksFile.h"
#include "refraction/Shots.h"
#include "refraction/SyntheticLine.h"
#include "refraction/ViewFilters.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

namespace q24::refraction {
namespace {

// CR LF and LF, blank lines and a relative path; missing, non-SEG-2 and
// truncated files named and skipped; geometry and DELAY as the files say,
// or placed from the fallback with a note.
TEST(Project, ReadsEveryShotItCanAndNamesTheOthers) {
    test::TempDir dir;
    const test::TwoLayers model;
    Shot early = test::SyntheticShot(model, 57.5, 4, 5, -0.01);
    test::WriteFile((dir / "a.sg2").string(), test::Seg2Image(early));
    test::WriteFile((dir / "bare.sg2").string(), test::Seg2Image(early, false));
    test::WriteFile((dir / "text.sg2").string(), "not a seismic file");
    test::WriteFile((dir / "cut.sg2").string(), test::Seg2Image(early).substr(0, 300));
    const std::string project = (dir / "line.prj").string();
    test::WriteFile(project,
                    "a.sg2\r\n\r\n  " + (dir / "bare.sg2").string() + "\nmissing.sg2\r\ntext.sg2\ncut.sg2\n\n");
    GeometryFallback fallback{2.0, 10.0, -3.0};
    const ProjectShots shots = ReadProjectShots(project, fallback);

    ASSERT_EQ(shots.shots.size(), 2u);
    const Shot& a = shots.shots[0];
    EXPECT_EQ(a.path, (dir / "a.sg2").string());
    EXPECT_EQ(a.receivers, (std::vector<double>{0, 5, 10, 15}));
    EXPECT_EQ(std::tuple(a.source, a.interval, a.delay, a.notes.size()), std::tuple(57.5, 0.00025, -0.01, 0u));
    EXPECT_DOUBLE_EQ(a.timeOf(40), 0.0);  // 40 samples before the trigger
    EXPECT_EQ(a.traces[2], early.traces[2]);
    const Shot& bare = shots.shots[1];
    EXPECT_EQ(bare.receivers, (std::vector<double>{10, 12, 14, 16}));
    EXPECT_EQ(bare.source, -3.0);
    EXPECT_EQ(bare.notes.size(), 2u);
    ASSERT_EQ(shots.problems.size(), 3u);
    for (auto [k, name] :
         {std::pair{0, "missing.sg2: No such file"}, {1, "text.sg2: not a SEG-2 file"}, {2, "cut.sg2: "}})
        EXPECT_NE(shots.problems[static_cast<std::size_t>(k)].find(name), std::string::npos)
            << shots.problems[static_cast<std::size_t>(k)];
    EXPECT_EQ(ReadProjectShots((dir / "none.prj").string()).problems.size(), 1u);
}

// The synthetic line picked within a sample or two of the true first
// breaks, also with samples before the trigger and with one trace 2 ms late
// (a static its neighbours must not smooth away); dead traces get no pick and
// clipped ones are flagged, never a crash.
TEST(Picker, FindsTheFirstBreaksOfASyntheticShotAndSurvivesBadTraces) {
    const test::TwoLayers model;
    for (double delay : {0.0, -0.02}) {
        Shot shot = test::SyntheticShot(model, -2.5, 24, 5, delay, 3);
        shot.traces[5].assign(shot.traces[5].size(), 0.0f);
        for (float& v : shot.traces[9]) v = std::clamp(v, -100.0f, 100.0f);
        shot.traces[11].clear();
        auto& late = shot.traces[16];
        late.insert(late.begin(), 8, 0.0f);
        late.resize(late.size() - 8);
        const auto picks = PickShot(shot);
        ASSERT_EQ(picks.size(), 24u);
        EXPECT_EQ(picks[5].flag, PickFlag::Dead);
        EXPECT_EQ(picks[11].flag, PickFlag::Dead);
        EXPECT_EQ(picks[9].flag, PickFlag::Clipped);
        for (int t = 0; t < 24; ++t) {
            if (t == 5 || t == 11) continue;
            ASSERT_TRUE(picks[static_cast<std::size_t>(t)].valid()) << t;
            EXPECT_NEAR(picks[static_cast<std::size_t>(t)].time, model.firstBreak(t * 5 + 2.5) + (t == 16) * 0.002,
                        0.0006)
                << t << " " << delay;
        }
    }
    EXPECT_EQ(PickOnset(std::vector<float>(500, 3.0f), 0.001, {}), -1);
    EXPECT_EQ(PickOnset({}, 0.001, {}), -1);
}

// The picker against one analyst's manual picks of a real line: a guard
// against losing what the bench measures (bench/refraction_picks).
TEST(Picker, AgreesWithTheManualPicksOfTheExampleLine) {
    const std::string folder = Q24_REFRACTION_EXAMPLE;
    const auto manual = ReadSgt(folder + "/field_example_02.sgt");
    if (!manual) GTEST_SKIP() << "no example line in " << folder;
    std::vector<Shot> shots;
    std::vector<std::vector<TracePick>> picks;
    for (const char* name : {"1", "3", "4", "5", "6", "7", "8", "9", "10"}) {
        const std::string path = folder + "/" + name + ".dat";
        auto shot = ShotFromSeg2(test::ReadFile(path), path);
        ASSERT_TRUE(shot) << path;
        picks.push_back(PickShot(*shot));
        shots.push_back(std::move(*shot));
    }
    const PickAgreement a = ComparePicks(TableOfPicks(shots, picks), *manual);
    EXPECT_EQ(a.reference, 207);
    EXPECT_GE(a.compared, 192);
    EXPECT_LT(a.median, 0.00115);
    EXPECT_GT(a.within3, 0.86);
}

// A table written and read back is the same table; hand-edited garbage is
// refused with the line and the reason.
TEST(PicksFile, RoundTripsAndRefusesGarbageWithAReason) {
    PickTable t;
    for (double x : {-2.5, 0.0, 5.0, 7.3}) t.pointAt(x);
    t.points[2].y = 601.43;
    t.picks = {{0, 1, 0.0050625}, {0, 3, 0.1 / 3}, {2, 1, 0.0}};
    test::TempDir dir;
    const std::string path = (dir / "p.sgt").string();
    ASSERT_EQ(WriteSgt(path, t), "");
    const auto back = ReadSgt(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->picks, t.picks);
    EXPECT_EQ(back->points[2].y, 601.43);
    EXPECT_EQ(std::filesystem::directory_iterator(dir.path())->path(), path) << "no temporary file left";

    const auto columns = ParseSgt("2\n0 0\n5 0 1\n1\n# g t s\n2 0.01 1\n");
    ASSERT_TRUE(columns);
    EXPECT_EQ(columns->picks, (std::vector<Pick>{{0, 1, 0.01}}));
    EXPECT_TRUE(columns->threeD);

    const struct {
        const char* text;
        const char* reason;
    } bad[] = {
        {"", "ends before the count of points"},
        {"x\n", "line 1: \"x\" is not a count of points"},
        {"3\n0 0\n5 0\n", "ends after 2 of 3 points"},
        {"2\n0 0\n5 zero\n1\n1 2 0.1\n", "line 3: \"zero\" is not a number"},
        {"2\n0 0\n5\n", "line 3: a point needs"},
        {"2\n0 0\n5 0\n2\n1 2 0.1\n", "ends after 1 of 2 picks"},
        {"2\n0 0\n5 0\n1\n1 3 0.1\n", "line 5: point number out of range"},
        {"2\n0 0\n5 0\n1\n0 2 0.1\n", "out of range"},
        {"2\n0 0\n5 0\n1\n1 2 -0.1\n", "not a time"},
        {"2\n0 0\n5 0\n1\n1 2 nan\n", "not a time"},
        {"2\n0 0\n5 0\n1\n1.5 2 0.1\n", "whole numbers"},
        {"2\n0 0\n5 0\n1\n1 2 0.1\n2 1 0.1\n", "line 6: more lines than the 1 picks"},
        {"2\n0 0\n5 0\n99999999999\n", "not a count of picks"},
    };
    for (const auto& b : bad) {
        std::string why;
        EXPECT_FALSE(ParseSgt(b.text, &why)) << b.text;
        EXPECT_NE(why.find(b.reason), std::string::npos) << b.text << " -> " << why;
    }
}

// Every change is written beside the project at once and read back when the
// project is opened again; undo goes back one change at a time; a picks file
// garbled by hand is reported, not trusted, and replaced at the next change.
TEST(PickSession, SavesEveryChangeUndoesAndReopens) {
    test::TempDir dir;
    const test::TwoLayers model;
    for (double s : {-2.5, 117.5})
        test::WriteFile((dir / ("s" + std::to_string(static_cast<int>(s + 10)) + ".sg2")).string(),
                        test::Seg2Image(test::SyntheticShot(model, s)));
    const std::string project = (dir / "line.prj").string();
    test::WriteFile(project, "s7.sg2\r\ns127.sg2\r\n");
    PickSession session;
    session.open(project);
    ASSERT_EQ(session.shotCount(), 2);
    EXPECT_EQ(session.picksPath(), (dir / "line.sgt").string());
    session.autoPick(-1);
    const PickTable automatic = session.table();
    EXPECT_EQ(automatic.picks.size(), 48u);
    session.setPick(1, 3, 0.05);
    session.deletePick(0, 0);
    session.setPick(0, 99, 0.05);  // no such trace: nothing happens
    session.setPick(0, 1, -1);
    EXPECT_EQ(session.picks(1)[3].flag, PickFlag::Manual);
    EXPECT_FALSE(session.picks(0)[0].valid());

    PickSession again;
    again.open(project);
    EXPECT_EQ(again.table().picks, session.table().picks);
    EXPECT_DOUBLE_EQ(again.picks(1)[3].time, 0.05);
    EXPECT_TRUE(session.undo() && session.undo());
    EXPECT_EQ(session.table().picks, automatic.picks);
    EXPECT_TRUE(session.undo());
    EXPECT_FALSE(session.undo());
    EXPECT_TRUE(session.table().picks.empty());

    // Layers given by hand are kept beside the picks, undone with the rest;
    // the elevations of a hand-edited picks file survive the next write; the
    // picks and the model export as CSV.
    session.autoPick(-1);
    const auto right = session.picksWithin(60, 200, 0, 1);
    EXPECT_EQ(right.size(), 24u);  // 60 m to 115 m on both shots
    session.assignLayer(right, 2);
    session.assignLayer({{0, 99}}, 1);  // no such trace: nothing happens
    EXPECT_EQ(session.layerGiven(1, 20), 2);
    PickSession layered;
    layered.open(project);
    EXPECT_EQ(layered.assignment(), session.assignment());
    EXPECT_EQ(layered.assignment().size(), right.size());
    EXPECT_TRUE(session.undo());
    EXPECT_TRUE(session.assignment().empty());
    std::string sgt = test::ReadFile(session.picksPath());
    sgt.replace(sgt.find("\n0 0\n"), 5, "\n0 601.25\n");
    test::WriteFile(session.picksPath(), sgt);
    layered.open(project);
    layered.setPick(0, 2, 0.02);
    EXPECT_EQ(ReadSgt(layered.picksPath())->points.at(1).y, 601.25);
    std::string report;
    EXPECT_TRUE(layered.exportCsv(2, report)) << report;
    EXPECT_EQ(test::ReadFile(layered.csvPath()).rfind("source_x,receiver_x,time_s\n", 0), 0u);
    EXPECT_EQ(test::ReadFile(layered.modelCsvPath()).rfind("x_m,method,", 0), 0u) << report;

    test::WriteFile(session.picksPath(), "3\n0 0\n");
    again.open(project);
    EXPECT_NE(again.message().find("was not read: the file ends after 1 of 3 points"), std::string::npos)
        << again.message();
    again.setPick(0, 2, 0.02);
    EXPECT_EQ(ReadSgt(again.picksPath())->picks.size(), 1u);
}

// The band-pass moves nothing in time and takes out what lies outside its
// band; AGC brings a weak and a strong part to the same level; the recorded
// trace is left alone.
TEST(ViewFilters, BandPassIsZeroPhaseAndAgcEqualises) {
    const double dt = 0.0005;
    std::vector<float> trace(2000);
    for (std::size_t j = 0; j < trace.size(); ++j) {
        const double t = static_cast<double>(j) * dt;
        trace[j] =
            static_cast<float>(std::sin(2 * M_PI * 40 * t) * (j < 1000 ? 1 : 100) + 10 * std::sin(2 * M_PI * 400 * t));
    }
    const std::vector<float> recorded = trace;
    ViewSettings band;
    band.highCut = 100;
    band.normalise = false;
    const auto low = ForView(trace, dt, band);
    double error = 0;
    for (std::size_t j = 100; j < 900; ++j)
        error = std::max(error, std::fabs(low[j] - std::sin(2 * M_PI * 40 * j * dt)));
    EXPECT_LT(error, 0.15) << "the 40 Hz wave kept in place, the 400 Hz one gone";
    ViewSettings agc;
    agc.agcWindow = 0.1;
    agc.normalise = false;
    const auto even = ForView(trace, dt, agc);
    auto rms = [&](std::size_t a, std::size_t b) {
        double s = 0;
        for (std::size_t j = a; j < b; ++j) s += even[j] * even[j];
        return std::sqrt(s / static_cast<double>(b - a));
    };
    EXPECT_NEAR(rms(200, 800), rms(1200, 1800), 0.1);
    EXPECT_EQ(trace, recorded);
    EXPECT_TRUE(ForView({}, dt, {}).empty());
}

}  // namespace
}  // namespace q24::refraction
