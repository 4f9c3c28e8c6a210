#include "mapping/calibration.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model_fixtures.h"

namespace scribo {
namespace {

const Rect32 kPenDisplay{1920, 0, 3840, 1080};  // 1920 x 1080 right of the primary

TEST(Calibration, TargetsOfA1920x1080Display) {
    const CalibrationPoints t = calibrationTargets(kPenDisplay);
    const CalibrationPoints expected{{{35, 35}, {35, 1045}, {1885, 1045}, {1885, 35}, {960, 540}}};
    for (int i = 0; i < kCalibrationTargets; ++i) {
        EXPECT_EQ(t[i].x, expected[i].x) << i;
        EXPECT_EQ(t[i].y, expected[i].y) << i;
    }
    EXPECT_EQ(targetSquare(t[2]), (Rect32{1850, 1010, 1920, 1080}));
}

TEST(Calibration, FactorsFromTheTaps) {
    const CalibrationPoints t = calibrationTargets(kPenDisplay);
    for (float f : calibrationFactors(t, t)) EXPECT_EQ(f, 1.0f);

    const CalibrationPoints off{{{30, 30}, {30, 1050}, {1890, 1050}, {1890, 30}, {960, 540}}};
    const CalibrationFactors f = calibrationFactors(off, t);
    EXPECT_EQ(f[0], 3720.0f / 3700.0f);
    EXPECT_EQ(f[1], 2040.0f / 2020.0f);
    EXPECT_EQ(f[2], 1.0f);
    EXPECT_EQ(f[3], 1.0f);

    // Out of range: taps crossed over (negative) or the centre tapped near the corner (> 2).
    const CalibrationPoints crossed{{{1890, 30}, {1890, 1050}, {30, 1050}, {30, 30}, {100, 100}}};
    const CalibrationFactors g = calibrationFactors(crossed, t);
    EXPECT_EQ(g[0], 1.0f);
    EXPECT_EQ(g[2], 1.0f);
    EXPECT_EQ(g[3], 1.0f);
}

TEST(Calibration, DegenerateMonitorOrTapsGiveNoCorrectionInsteadOfNaN) {
    // A 70 x 70 monitor: all five targets coincide, so both scales divide 0 by 0; a centre tap
    // at (0, 0) divides by zero as well.
    const CalibrationPoints t = calibrationTargets({0, 0, 70, 70});
    const CalibrationPoints taps{{{35, 35}, {35, 35}, {35, 35}, {35, 35}, {0, 0}}};
    for (float f : calibrationFactors(taps, t)) EXPECT_EQ(f, 1.0f);
    // An empty monitor entry: the centre target is (0, 0) and 0 / 0 is NaN.
    const CalibrationFactors empty = calibrationFactors(taps, calibrationTargets({5, 5, 5, 5}));
    EXPECT_EQ(empty[2], 1.0f);
    EXPECT_EQ(empty[3], 1.0f);
}

TEST(Calibration, SessionRecordsTapsInsideTheCurrentSquareOnly) {
    auto block = testing::zeroBlock();
    block->monitorRects[2] = kPenDisplay;
    CalibrationSession s;
    EXPECT_FALSE(s.start(*block, -1));
    EXPECT_FALSE(s.start(*block, 10));
    ASSERT_TRUE(s.start(*block, 2));
    EXPECT_EQ(s.tap({0, 0}), CalibrationSession::Tap::Recorded);    // square (0, 0, 70, 70)
    EXPECT_EQ(s.tap({35, 975}), CalibrationSession::Tap::Ignored);  // top edge of (0, 1010, ..)
    EXPECT_EQ(s.tap({35, 1010}), CalibrationSession::Tap::Recorded);
    EXPECT_EQ(s.tap({1920, 1045}), CalibrationSession::Tap::Ignored);  // right edge exclusive
    EXPECT_EQ(s.tap({1885, 1045}), CalibrationSession::Tap::Recorded);
    EXPECT_EQ(s.tap({1885, 35}), CalibrationSession::Tap::Recorded);
    EXPECT_EQ(s.targetIndex(), 4);
    EXPECT_EQ(s.tap({960, 540}), CalibrationSession::Tap::Finished);
    EXPECT_EQ(s.tap({960, 540}), CalibrationSession::Tap::Ignored);

    testing::CountingLock lock;
    DeviceRecord& rec = block->devices[0];
    lock.watch(rec);
    writeCalibration(rec, s.factors(), lock);
    EXPECT_EQ(rec.displayCalib[2], 1.0f);
    resetCalibration(rec, lock);
    EXPECT_EQ(lock.writesOutsideLock(), "");
    for (float f : rec.displayCalib) EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(lock.locks, 2);
}

TEST(SelectionOverlay, SecondClickMustLieRightAndBelow) {
    EXPECT_EQ(overlayCursorClip(kPenDisplay), (Rect32{1920, 0, 3810, 1050}));
    EXPECT_EQ(overlayRegion({100, 100}, {101, 101}), (Rect32{100, 100, 132, 132}));  // 32 x 32
    EXPECT_FALSE(overlayRegion({100, 100}, {99, 200}));
    EXPECT_FALSE(overlayRegion({100, 100}, {200, 100}));
    EXPECT_EQ(overlayRegion({1920, 0}, {3809, 1049}), (Rect32{1920, 0, 3840, 1080}));
}

}  // namespace
}  // namespace scribo
