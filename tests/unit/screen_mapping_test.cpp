// The mapping state of one device: loaded from its record, and what each choice, drag and
// message writes back into it under the lock.
#include "mapping/screen_mapping.h"

#include <gtest/gtest.h>

#include "mapping_fixtures.h"
#include "model_fixtures.h"
#include "shell/device_defaults.h"

namespace scribo {
namespace {

using testing::CountingLock;
using testing::zeroBlock;

class MappingTest : public ::testing::Test {
protected:
    void SetUp() override {
        block->monitorRects[0] = {-1920, 0, 1920, 1080};
        block->monitorRects[1] = {0, 0, 1920, 1080};
        block->monitorRects[2] = {-1920, 0, 0, 1080};
        block->monitorCount = 2;
        rec.tabletMaxX = 15200;
        rec.tabletMaxY = 9500;
        rec.tabletAreaX = 2000;
        rec.tabletAreaY = 1000;
        rec.tabletAreaW = 8000;
        rec.tabletAreaH = 5000;
        rec.monitorIndex = 1;
        rec.screenArea = {0, 0, 960, 540};
        // 1024 x 1024 client: rotation 0 places the preview on (420, 330, 554, 448).
        const float layout0[4] = {420 / 1024.0f, 330 / 1024.0f, 554 / 1024.0f, 448 / 1024.0f};
        std::copy(layout0, layout0 + 4, rec.previewLayout[0]);
        const float layout1[4] = {0.125f, 0.25f, 0.375f, 0.5f};
        std::copy(layout1, layout1 + 4, rec.previewLayout[1]);
        m.setClientSize(0, 0);  // minimised: ignored
        m.setClientSize(1024, 1024);
        m.setScreenPreviewRect({10, 20, 202, 128});
    }
    std::unique_ptr<SharedBlock> block = zeroBlock();
    DeviceRecord& rec = block->devices[0];
    CountingLock lock;
    ScreenMapping m;
};

TEST_F(MappingTest, LoadBuildsTheStateFromTheRecord) {
    rec.tabletAreaW = 0;  // read as the tablet's width, not rewritten
    m.loadDeviceMapping(rec, 2, block->monitorRects, lock);
    EXPECT_EQ(m.tabletArea(), (Area{2000, 1000, 15200, 5000}));
    EXPECT_EQ(rec.tabletAreaW, 0);
    EXPECT_EQ(m.effective(), (Size32{15200, 9500}));
    EXPECT_EQ(m.tabletPreviewRect(), kTabletPreview);
    EXPECT_EQ(m.selection(), 1);
    EXPECT_EQ(m.screenFields(), (Area{0, 0, 960, 540}));
    EXPECT_EQ(m.screenTrackerRect(), (Rect32{10, 20, 106, 74}));
    EXPECT_EQ(lock.locks, 0);  // nothing to write back
    EXPECT_TRUE(m.editable());
}

TEST_F(MappingTest, MonitorIndexBeyondTheSystemFallsBackToTheDesktopAndIsWrittenBack) {
    for (int stored : {3, 0, -4, 12}) {
        SCOPED_TRACE(stored);
        rec.monitorIndex = stored;
        m.loadDeviceMapping(rec, stored == 12 ? 20 : 2, block->monitorRects, lock);
        EXPECT_EQ(rec.monitorIndex, 0);
        EXPECT_EQ(m.selection(), 0);
        EXPECT_EQ(m.screenFields(), (Area{-1920, 0, 3840, 1080}));
        EXPECT_EQ(rec.screenArea, (Rect32{0, 0, 960, 540}));  // left as stored
    }
    EXPECT_EQ(lock.unlocks, lock.locks);
}

TEST_F(MappingTest, RotationFromTheBlockOutsideItsTableIsNeverAnIndex) {
    m.loadDeviceMapping(rec, 2, block->monitorRects, lock);
    rec.rotation = 9;
    rec.deviceKind = kKindPenDisplay;
    m.loadDeviceMapping(rec, 2, block->monitorRects, lock);
    EXPECT_EQ(m.tabletPreviewRect(), kTabletPreview);  // kept: no layout for rotation 9
    EXPECT_FALSE(m.refreshTabletPreview(rec));
    EXPECT_FALSE(m.editable());
}

TEST_F(MappingTest, ChoosingARotationAlwaysGivesTheFullRotatedArea) {
    m.loadDeviceMapping(rec, 2, block->monitorRects, lock);
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        rec.tabletAreaX = 5;
        ASSERT_TRUE(m.chooseRotation(1, rec, lock));
        EXPECT_EQ(rec.rotation, 1);
        EXPECT_EQ(m.tabletArea(), (Area{0, 0, 9500, 15200}));
        EXPECT_EQ((Area{rec.tabletAreaX, rec.tabletAreaY, rec.tabletAreaW, rec.tabletAreaH}),
                  (Area{0, 0, 9500, 15200}));
        EXPECT_EQ(m.tabletPreviewRect(), (Rect32{128, 256, 384, 512}));
        EXPECT_EQ(m.tabletTrackerRect(), m.tabletPreviewRect());
    }
    EXPECT_FALSE(m.chooseRotation(4, rec, lock));
    EXPECT_EQ(lock.maxHeld, 1);
    EXPECT_EQ(lock.unlocks, lock.locks);
}

// The trackpad message goes between the two writes, so the first must leave the area alone.
TEST_F(MappingTest, RotationIsWrittenBeforeTheAreaInTwoLockedSteps) {
    m.loadDeviceMapping(rec, 2, block->monitorRects, lock);
    rec.tabletAreaX = 5;
    const int before = lock.locks;
    ASSERT_TRUE(m.writeRotation(1, rec, lock));
    EXPECT_EQ(rec.rotation, 1);
    EXPECT_EQ(rec.tabletAreaX, 5);
    EXPECT_EQ(lock.locks, before + 1);
    EXPECT_EQ(lock.unlocks, lock.locks);  // nothing held between the steps
    m.writeRotatedFullArea(rec, lock);
    EXPECT_EQ((Area{rec.tabletAreaX, rec.tabletAreaY, rec.tabletAreaW, rec.tabletAreaH}),
              (Area{0, 0, 9500, 15200}));
    EXPECT_FALSE(m.writeRotation(-1, rec, lock));
    EXPECT_EQ(rec.rotation, 1);
}

TEST_F(MappingTest, DragsStoreTheConvertedAreaAndKeepTheClampedTracker) {
    m.loadDeviceMapping(rec, 2, block->monitorRects, lock);
    lock.watch(rec);
    EXPECT_EQ(m.tabletTrackerRect(), (Rect32{437, 342, 507, 404}));
    m.finishTabletDrag({437, 342, 507, 404}, rec, lock);
    EXPECT_EQ((Area{rec.tabletAreaX, rec.tabletAreaY, rec.tabletAreaW, rec.tabletAreaH}),
              (Area{1928, 966, 7940, 4991}));
    m.finishTabletDrag({560, 460, 600, 500}, rec, lock);
    EXPECT_EQ(m.tabletTrackerRect(), (Rect32{514, 408, 554, 448}));

    m.finishScreenDrag({150, 100, 250, 150}, rec, block->monitorRects, lock);
    EXPECT_EQ(m.screenTrackerRect(), (Rect32{150, 100, 202, 128}));
    EXPECT_EQ(m.screenFields(), (Area{1400, 800, 520, 280}));
    EXPECT_EQ(rec.screenArea, (Rect32{1400, 800, 1920, 1080}));
    EXPECT_EQ(rec.monitorIndex, 1);
    EXPECT_EQ(lock.writesOutsideLock(), "");
}

TEST_F(MappingTest, ZeroDivisorsKeepThePreviousValues) {
    m.loadDeviceMapping(rec, 2, block->monitorRects, lock);
    const Rect32 tracker = m.tabletTrackerRect();
    rec.tabletMaxX = rec.tabletMaxY = 0;  // a record without tablet size
    m.chooseRotation(0, rec, lock);
    EXPECT_EQ(m.tabletTrackerRect(), tracker);
    m.loadDeviceMapping(rec, 2, block->monitorRects, lock);
    EXPECT_EQ(m.tabletTrackerRect(), tracker);
    m.finishTabletDrag({430, 340, 500, 400}, rec, lock);
    EXPECT_EQ(m.tabletArea(), (Area{0, 0, 0, 0}));  // 0 units per pixel, not a division fault

    block->monitorRects[1] = {0, 0, 0, 0};
    const Area before = m.tabletArea();
    m.chooseScreenPortion(rec, block->monitorRects, lock);
    EXPECT_EQ(m.tabletArea(), before);
    m.setScreenPreviewRect({0, 0, 0, 0});
    const Area fields = m.screenFields();
    m.finishScreenDrag({1, 1, 5, 5}, rec, block->monitorRects, lock);
    EXPECT_EQ(m.screenFields(), fields);
}

TEST_F(MappingTest, MonitorChoiceRegionTypingAndPenPositioningWriteTheirFields) {
    m.loadDeviceMapping(rec, 2, block->monitorRects, lock);
    const int before = lock.locks;
    lock.watch(rec);
    ASSERT_TRUE(m.selectMonitor(2, rec, block->monitorRects, lock));
    EXPECT_EQ(lock.locks, before + 1);  // monitorIndex and screenArea together
    EXPECT_EQ(rec.monitorIndex, 2);
    EXPECT_EQ(rec.screenArea, (Rect32{-1920, 0, 0, 1080}));
    EXPECT_EQ(m.screenFields(), (Area{-1920, 0, 1920, 1080}));
    EXPECT_EQ(m.screenTrackerRect(), m.screenPreviewRect());
    EXPECT_FALSE(m.selectMonitor(10, rec, block->monitorRects, lock));
    EXPECT_EQ(m.selection(), 2);

    m.applySelectedRegion({-1900, 100, -940, 640}, rec, block->monitorRects, lock);
    EXPECT_EQ(rec.screenArea, (Rect32{-1900, 100, -940, 640}));
    EXPECT_EQ(rec.monitorIndex, 2);
    EXPECT_EQ(m.screenFields(), (Area{-1900, 100, 960, 540}));
    EXPECT_EQ(m.screenTrackerRect(), (Rect32{12, 30, 108, 84}));

    m.typeTabletAreaField(AreaField::X, 14000, rec, lock);
    EXPECT_EQ(rec.tabletAreaX, 15200 - 8000);
    m.typeTabletAreaField(AreaField::W, 6000, rec, lock);
    m.typeTabletAreaField(AreaField::X, 14000, rec, lock);
    EXPECT_EQ(rec.tabletAreaX, 9200);
    EXPECT_EQ(lock.writesOutsideLock(), "");

    ASSERT_TRUE(m.chooseRotation(2, rec, lock));
    rec.tabletAreaX = 1000;  // the service's area, in the tablet's own frame
    rec.tabletAreaY = 500;
    rec.tabletAreaW = 4000;
    rec.tabletAreaH = 3000;
    lock.watch(rec);
    m.applyNativeArea(rec, lock);
    EXPECT_EQ(lock.writesOutsideLock(), "");
    EXPECT_EQ((Area{rec.tabletAreaX, rec.tabletAreaY, rec.tabletAreaW, rec.tabletAreaH}),
              (Area{10200, 6000, 4000, 3000}));
    EXPECT_EQ(lock.unlocks, lock.locks);
}

TEST_F(MappingTest, FollowingTheServicesMonitorLeavesTheRecordAlone) {
    m.loadDeviceMapping(rec, 2, block->monitorRects, lock);
    const int before = lock.locks;
    ASSERT_TRUE(m.followMonitor(2, block->monitorRects));
    EXPECT_EQ(m.selection(), 2);
    EXPECT_EQ(m.screenFields(), (Area{-1920, 0, 1920, 1080}));
    EXPECT_EQ(m.screenTrackerRect(), m.screenPreviewRect());
    EXPECT_EQ(rec.monitorIndex, 1);
    EXPECT_EQ(rec.screenArea, (Rect32{0, 0, 960, 540}));
    EXPECT_EQ(lock.locks, before);
    EXPECT_FALSE(m.followMonitor(-1, block->monitorRects));
    EXPECT_FALSE(m.followMonitor(10, block->monitorRects));
    EXPECT_EQ(m.selection(), 2);
}

TEST_F(MappingTest, RestoreDefaultsWritesTheRecordAndResetsTheState) {
    rec.rotation = 1;
    rec.mouseMode = 1;
    rec.penButton1Index = 4;
    rec.displayCalib[2] = 1.5f;
    rec.expressKeyTipsOff = 1;
    m.loadDeviceMapping(rec, 2, block->monitorRects, lock);
    restoreDeviceDefaults(rec, 2560, 1440);
    m.showMappingDefaults(rec, block->monitorRects);
    EXPECT_EQ(rec.screenArea, (Rect32{0, 0, 2560, 1440}));
    EXPECT_EQ(rec.monitorIndex, 1);
    EXPECT_EQ((Area{rec.tabletAreaX, rec.tabletAreaY, rec.tabletAreaW, rec.tabletAreaH}),
              (Area{0, 0, 15200, 9500}));
    EXPECT_EQ(rec.rotation, 0);
    EXPECT_EQ(rec.mouseMode, 0);
    EXPECT_EQ(rec.windowsInk, 1);
    for (float f : rec.displayCalib) EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(rec.penButton1Index, 1);
    EXPECT_EQ(rec.penButton2Index, 3);
    EXPECT_EQ(rec.mouseSpeed, 5);
    EXPECT_EQ(rec.expressKeyTipsOff, 0);
    EXPECT_EQ(m.selection(), 1);
    EXPECT_EQ(m.screenFields(), (Area{0, 0, 1920, 1080}));
    EXPECT_EQ(m.rotation(), 0);
    EXPECT_EQ(m.tabletArea(), (Area{0, 0, 15200, 9500}));
    EXPECT_TRUE(m.refreshTabletPreview(rec));
    EXPECT_EQ(m.tabletTrackerRect(), kTabletPreview);
}

}  // namespace
}  // namespace scribo
