#include "keys/ring_lights.h"

#include <gtest/gtest.h>

#include "config/block_access.h"
#include "model_fixtures.h"

namespace scribo {
namespace {

using testing::zeroBlock;

TEST(LightsPage, SliderPositionFromStoredLevel) {
    const std::pair<int16_t, int> cases[] = {{60, 2},  {1, 1},   {0, 0},     {50, 1},    {51, 2},
                                             {100, 2}, {-60, 0}, {32767, 2}, {-32768, 0}};
    for (const auto& [level, position] : cases)
        EXPECT_EQ(lightSliderPosition(level), position) << level;
    EXPECT_EQ(lightLevel(lightSliderPosition(60)), 100);
    EXPECT_EQ(lightLevel(lightSliderPosition(1)), 50);
}

TEST(LightsPage, LevelsAreStoredOnlyWhenTheServiceWasFound) {
    auto block = zeroBlock();
    DeviceRecord& rec = block->devices[0];
    EXPECT_EQ(moveLightSlider(rec, Light::Tablet, 2, false), 100);
    EXPECT_EQ(rec.tabletLight, 0);
    EXPECT_EQ(moveLightSlider(rec, Light::Tablet, 1, true), 50);
    EXPECT_EQ(rec.tabletLight, 50);
    EXPECT_EQ(moveLightSlider(rec, Light::Wheel, 9, true), 100);
    EXPECT_EQ(rec.wheelLight, 100);
    EXPECT_FALSE(hidesWheelLight(rec));
    storeField(rec.deviceId, u"PID_0C73");
    EXPECT_TRUE(hidesWheelLight(rec));
}

TEST(RingPage, ViewOfAnEntryAndTheTrackPadMode) {
    auto block = zeroBlock();
    DeviceRecord& rec = block->devices[0];
    rec.apps[3].ringFunc[1][0] = 2;
    rec.apps[3].ringFunc[1][1] = 7;  // outside the combo: no item
    storeField(rec.apps[3].ringTextC[1][0], u"Zoom");
    const RingPageView v = ringPageView(rec, 3, 1);
    EXPECT_EQ(v.selection[0], 2);
    EXPECT_EQ(v.selection[1], -1);
    EXPECT_EQ(v.selection[2], 0);
    EXPECT_EQ(v.labels[0], u"Zoom");
    EXPECT_EQ(ringPageView(rec, 11, 0).selection[0], -1);
    EXPECT_EQ(ringPageView(rec, 0, 2).selection[0], -1);

    rec.rotation = 3;
    const TrackPadMessage m = chooseTrackPadMode(rec, 2);
    EXPECT_EQ(rec.trackPadId, 3);
    EXPECT_EQ(m.mode, 3);
    EXPECT_EQ(m.rotation, 3);
    EXPECT_TRUE(ringGroupsEnabled(m.mode));
    EXPECT_FALSE(ringGroupsEnabled(chooseTrackPadMode(rec, 1).mode));
    EXPECT_EQ(chooseTrackPadMode(rec, 5).mode, 0);
    EXPECT_EQ(rec.trackPadId, 2);
    const TrackPadMessage reset = resetTrackPadMode(rec);
    EXPECT_EQ(reset.mode, 1);
    EXPECT_EQ(reset.rotation, 0);
    EXPECT_EQ(rec.trackPadId, 1);
    EXPECT_EQ(trackPadComboIndex(1), 0);
    EXPECT_EQ(trackPadComboIndex(0), -1);
    EXPECT_EQ(trackPadComboIndex(4), -1);
}

}  // namespace
}  // namespace scribo
