#include "mapping/precision_area.h"

#include <gtest/gtest.h>

#include "model_fixtures.h"

namespace scribo {
namespace {

TEST(PrecisionArea, RectangleKeptInsideTheMonitor) {
    const Rect32 m{0, 0, 1920, 1080};
    struct Case {
        Point32 cursor;
        Rect32 monitor, rect;
    } cases[] = {
        {{100, 50}, m, {0, 0, 320, 210}},
        {{1900, 1070}, m, {1600, 870, 1920, 1080}},
        {{960, 540}, m, {800, 435, 1120, 645}},
        {{50, 50}, {0, 0, 200, 800}, {-120, 0, 200, 210}},  // narrower than 320: right edge wins
        {{-1000, 10}, {-1920, 0, 0, 1080}, {-1160, 0, -840, 210}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cursor.x);
        EXPECT_EQ(precisionRect(c.cursor, c.monitor), c.rect);
    }
}

TEST(PrecisionArea, MonitorUnderTheCursorLeftTopInclusive) {
    auto block = testing::zeroBlock();
    block->monitorRects[0] = {-1920, 0, 1920, 1080};
    block->monitorRects[1] = {0, 0, 1920, 1080};
    block->monitorRects[2] = {-1920, 0, 0, 1080};
    block->monitorRects[3] = {5000, 0, 6000, 100};  // beyond monitorCount: never consulted
    block->monitorCount = 2;
    EXPECT_EQ(monitorUnderCursor(*block, {0, 0}), 1);
    EXPECT_EQ(monitorUnderCursor(*block, {-1, 1079}), 2);
    EXPECT_EQ(monitorUnderCursor(*block, {1920, 10}), 0);
    EXPECT_EQ(monitorUnderCursor(*block, {5500, 50}), 0);
    block->monitorCount = 1000;  // bounded to the table
    EXPECT_EQ(monitorUnderCursor(*block, {5500, 50}), 3);
}

TEST(PrecisionArea, ToggleWritesEveryConnectedSlotAndPlacesTheIndicator) {
    auto block = testing::zeroBlock();
    block->monitorRects[0] = {-1920, 0, 1920, 1080};
    block->monitorRects[2] = {-1920, 0, 0, 1080};
    block->monitorCount = 2;
    block->devices[0].connected = 1;
    block->devices[3].connected = 1;
    block->devices[1].precisionMode = 7;
    testing::CountingLock lock;
    PrecisionToggle t;
    lock.watch(block->devices);

    const auto on = t.toggle(*block, lock, {-1900, 1000});
    ASSERT_TRUE(on.on);
    const Rect32 expected{-1920, 870, -1600, 1080};
    for (int slot : {0, 3}) {
        EXPECT_EQ(block->devices[slot].precisionMode, 1);
        EXPECT_EQ(block->devices[slot].precisionArea, expected);
    }
    EXPECT_EQ(block->devices[1].precisionMode, 7);  // a free slot keeps its values
    EXPECT_EQ(on.layout.monitor, block->monitorRects[2]);
    EXPECT_EQ(on.layout.hole, (Rect32{0, 870, 320, 1080}));
    EXPECT_EQ(on.layout.caption, (Rect32{1, 856, 250, 870}));
    EXPECT_EQ(lock.locks, 2);
    EXPECT_EQ(lock.writesOutsideLock(), "");

    const auto off = t.toggle(*block, lock, {0, 0});
    EXPECT_FALSE(off.on);
    EXPECT_EQ(block->devices[3].precisionMode, 0);
    EXPECT_EQ(block->devices[3].precisionArea, expected);  // kept when the mode goes off
    EXPECT_TRUE(t.nextSwitchesOn());
    EXPECT_EQ(lock.unlocks, 4);
}

}  // namespace
}  // namespace scribo
