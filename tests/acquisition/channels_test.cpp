// The channel settings logic: slot texts into Ch_param, selections into
// Ch_enabled, the groups, the trigger choices and the CHANNELS preparation.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "acquisition/ChannelSettings.h"

namespace q24 {
namespace {

struct Channels : ::testing::Test {
    std::unique_ptr<State> s = std::make_unique<State>();
    std::unique_ptr<ChannelSettings> c;

    // Start-up order: the dialog loads before ini.txt is read.
    void start(int traces) {
        c = std::make_unique<ChannelSettings>(*s);
        c->Load();
        s->N_Geofoni = static_cast<int16_t>(traces);
        for (int p = 1; p <= 96; ++p) s->Ch_param[p] = static_cast<int16_t>(100 + p);
        c->RefreshChannelSlots();
        c->FillSlots();
        c->SelectPositionsUpToTraceCount();
    }
};

TEST_F(Channels, NonNumberEmptiesTheBoxAndKeepsTheUnit) {
    start(24);
    for (const char* bad : {"12a", "abc", "70000", "-40000", " ", "1e9", "nan"}) {
        c->setText(3, "5");
        c->setText(3, bad);
        EXPECT_EQ(c->text(3), "") << bad;
        EXPECT_EQ(s->Ch_param[3], 5) << bad;
    }
    c->setText(4, " 2.5 ");  // rounded, halves to even
    EXPECT_EQ(s->Ch_param[4], 2);
    // The acquisitions read only the real slots.
    ChannelSlots& seen = *c;
    EXPECT_EQ(std::tuple(seen.text(10), seen.text(0), seen.text(25), seen.checked(25)),
              std::tuple("110", "", "", false));
    int told = 0;
    c->changed = [&] { ++told; };
    seen.setCheckCaption(99, "OK", kSlotGreen);  // no such slot: ignored
    EXPECT_EQ(told, 0);
}

TEST_F(Channels, SwitchingGroupSelectsAllItsPositionsWithOneNotice) {
    start(96);
    int told = 0;
    c->changed = [&] { ++told; };
    c->selectGroup(2);
    EXPECT_EQ(told, 1);
    for (int p = 49; p <= 72; ++p) EXPECT_TRUE(s->Ch_enabled[p]) << p;
    // The positions deselected in a group come back selected on the next visit.
    c->setChecked(3, false);
    EXPECT_FALSE(s->Ch_enabled[51]);
    c->selectGroup(0);
    c->selectGroup(2);
    EXPECT_TRUE(s->Ch_enabled[51] && c->checked(3));
}

TEST(ChannelGroups, AndSlotsFollowTheTraceCount) {
    // traces, groups b c d enabled, last enabled slot of group a
    for (auto [traces, b, c, d, lastSlot] :
         {std::tuple{1, false, false, false, 1}, {24, false, false, false, 24}, {25, true, false, false, 24},
          {49, true, true, false, 24}, {73, true, true, true, 24}, {500, true, true, true, 24},
          {-3, false, false, false, 0}}) {
        auto s = std::make_unique<State>();
        ChannelSettings settings(*s);
        s->N_Geofoni = static_cast<int16_t>(traces);
        settings.RefreshChannelSlots();
        EXPECT_EQ(std::tuple(settings.groupEnabled(0), settings.groupEnabled(1), settings.groupEnabled(2),
                             settings.groupEnabled(3)),
                  std::tuple(true, b, c, d)) << traces;
        for (int i = 1; i <= 24; ++i) {
            const auto& slot = settings.slot(i);
            EXPECT_EQ(std::tuple(slot.textEnabled, slot.checkEnabled, slot.optionEnabled),
                      std::tuple(i <= lastSlot, i <= lastSlot, i <= lastSlot)) << traces << " slot " << i;
        }
    }
}

TEST_F(Channels, StartUpSelectsTheStoredTracesAndPreparationShowsGroupA) {
    start(48);
    for (int p = 1; p <= 48; ++p) EXPECT_TRUE(s->Ch_enabled[p]) << p;
    EXPECT_FALSE(s->Ch_enabled[49]);
    c->selectGroup(1);
    s->Ch_param[7] = 33, s->Trigger_unit = 33;
    c->PrepareForShow();
    EXPECT_EQ(std::tuple(c->group(), c->text(7), c->slot(7).option), std::tuple(0, "33", true));
    EXPECT_EQ(std::pair(c->slot(7).textBackground, c->slot(8).textBackground), std::pair(kSlotRed, kSlotWhite));
}

TEST_F(Channels, PreparationEnablesTriggerChoicesForTheTraces) {
    start(5);
    c->PrepareForShow();
    EXPECT_TRUE(c->slot(5).optionEnabled && !c->slot(6).optionEnabled);
    s->N_Geofoni = 30;
    c->PrepareForShow();
    for (int i = 1; i <= 24; ++i) EXPECT_TRUE(c->slot(i).optionEnabled) << i;
}

}  // namespace
}  // namespace q24
