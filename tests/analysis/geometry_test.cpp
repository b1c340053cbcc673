#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>

#include "analysis/GeometryView.h"

namespace q24 {
namespace {

constexpr int32_t kW = 13500;  // dialog width, twips; row 1 starts at 1350

struct GeometryFixture : testing::Test {
    std::unique_ptr<State> s = std::make_unique<State>();
    void SetUp() override { s->N_Geofoni = 24, s->Dist_geofoni = 5, s->Pos_source = 0; }
    GeometryView drawn() {
        GeometryView v(*s, kW, '.');
        v.draw();
        return v;
    }
};

TEST_F(GeometryFixture, StepsAndGeophoneCountBounds) {
    for (auto [count, shown, step] : {std::tuple{24, 24, 450}, {60, 60, 225}, {120, 96, 225}, {0, 1, 10800}}) {
        s->N_Geofoni = static_cast<int16_t>(count);
        GeometryView v = drawn();
        EXPECT_EQ(std::pair(v.shown(), v.step()), std::pair(shown, step)) << count;  // 0.8 W over row 1's geophones
    }
}

// Where the full drawing puts the shot: geophone count, spacing, source
// distance (5 m spacing) -> Shot_x and the tops of the shot and its label.
TEST_F(GeometryFixture, ShotPlacementOfTheFullDrawing) {
    const struct {
        int geophones;
        float source;
        int32_t x, top, labelTop;
    } cases[] = {{24, 0, 1350, 2280, 1920},           // at geophone 1
                 {24, -5, 900, 2280, 1920},           // one step left of it
                 {24, -1000, 1350 - 90000, 2280, 1920},  // no clamping here
                 {1, 37, 1350, 2280, 1920},           // one geophone: always at it
                 {60, 240, 12150, 2280, 1920},        // 48 spacings: end of row 1
                 {60, 245, 1350 + 225, 3840, 3360},   // row 2, one spacing past 49
                 {49, 250, 1800, 3840, 3360},         // 49: row 1's twips per metre
                 {49, 240, 12150, 2280, 1920}};
    for (const auto& p : cases) {
        s->N_Geofoni = static_cast<int16_t>(p.geophones), s->Pos_source = p.source;
        GeometryView v = drawn();
        EXPECT_EQ(std::tuple(s->Shot_x, v.shotTop(), v.shotLabelTop()), std::tuple(p.x, p.top, p.labelTop))
            << p.geophones << " geophones, source at " << p.source;
    }
}

TEST_F(GeometryFixture, MovesTestTheRowByDirection) {
    s->N_Geofoni = 60;
    GeometryView v = drawn();
    v.move(SourceMove::FiveForward), v.move(SourceMove::HalfBack);
    EXPECT_EQ(v.distanceText(), "22.5");
    // Exactly 48 spacings out after a move: the start of row 2, either way.
    s->Pos_source = 237.5f;
    v.move(SourceMove::HalfForward);
    EXPECT_EQ(std::tuple(s->Shot_x, v.shotTop(), v.shotLabelTop()), std::tuple(1350, 3840, 3480));
    s->Pos_source = 242.5f;
    v.move(SourceMove::HalfBack);
    const int32_t row2 = v.shotTop();
    v.move(SourceMove::HalfBack);  // 237.5: back in row 1
    EXPECT_EQ(std::pair(row2, v.shotTop()), std::pair(3840, 2280));
}

// 3e38 as a damaged ini.txt may hold: far, but no overflow.
TEST_F(GeometryFixture, MovedShotStopsAtTheDialogEdges) {
    GeometryView v = drawn();
    constexpr int32_t right = kW - GeometryLayout::kShotWidth;
    for (auto [from, move, x] : {std::tuple{-1000.f, SourceMove::HalfBack, 0}, {1000.f, SourceMove::FiveForward, right},
                                 {3e38f, SourceMove::HalfForward, right}}) {
        s->Pos_source = from;
        v.move(move);
        EXPECT_EQ(s->Shot_x, x) << from;
        if (from < 0) EXPECT_EQ(v.distanceText(), "-1002.5");
    }
}

// A stored spacing the scroll bar cannot show: the bar goes to the nearest
// tenth within 1 ... 100, which is a spacing change that puts the source back
// on the first geophone.
TEST_F(GeometryFixture, SpacingOnOpeningAgreesWithTheScrollBar) {
    const struct {
        float stored;
        int scroll;
        float spacing, source;
    } cases[] = {{2.55f, 26, 2.6f, 0},  // 25.5 tenths, half to even
                 {2.6f, 26, 2.6f, 7},   // a tenth already: kept
                 {0.1f, 1, 0.1f, 7},   {10, 100, 10, 7},  {20, 100, 10, 0},
                 {0.04f, 1, 0.1f, 0},  {-3, 1, 0.1f, 0},  {NAN, 50, 5, 0}};
    for (const auto& o : cases) {
        s->Dist_geofoni = o.stored, s->Pos_source = 7;
        GeometryView v = drawn();
        EXPECT_EQ(std::tuple(v.scroll(), s->Pos_source, s->Dist_geofoni, s->Half_spacing),
                  std::tuple(o.scroll, o.source, o.spacing, o.spacing / 2)) << o.stored;
    }
}

TEST(FormatDistance, AtLeastOneDecimalAtMostTwo) {
    for (auto [value, decimal, text] : {std::tuple{0.0, '.', "0.0"}, {0.125, '.', "0.12"}, {-0.001, '.', "0.0"}, {7.25, ',', "7,25"}})
        EXPECT_EQ(FormatDistance(value, decimal), text);
}

}  // namespace
}  // namespace q24
