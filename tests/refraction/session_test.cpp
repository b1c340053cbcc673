// The picks the window edits, and the filters it views traces through.
#include <gtest/gtest.h>

#include <cmath>

#include "refraction/PickSession.h"
#include "refraction/SyntheticLine.h"
#include "refraction/ViewFilters.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

namespace q24::refraction {
namespace {

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
