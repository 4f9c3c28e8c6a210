#include "shell/pressure_curve.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model_fixtures.h"

namespace scribo {
namespace {

// The template geometry at two pixels per dialog unit.
const Rect32 kBox{110, 254, 260, 402};  // 150 x 148
const CurvePoints kHome{{112, 392, 120, 400}, {178, 322, 186, 330}, {248, 256, 256, 264}};

TEST(PressureCurve, PointsPlacedFromTheStoredCurve) {
    const CurvePoints home = placeCurvePoints(kDefaultCurve, kHome, 150, 148);
    EXPECT_EQ(home.start, kHome.start);
    EXPECT_EQ(home.middle, kHome.middle);
    EXPECT_EQ(home.end, kHome.end);

    const CurvePoints p = placeCurvePoints({0.1f, 0.9f, 0.1f, 0.8f}, kHome, 150, 148);
    EXPECT_EQ(p.start.left, 112 + 15);
    EXPECT_EQ(p.middle.left, 178 + 59);  // trunc(149 x 0.39999998) in double
    EXPECT_EQ(p.middle.top, 322 + 59);   // down: trunc(0.39999999 x 148)
    EXPECT_EQ(p.end.left, 248 - 29);     // (0.8f - 1.0f) x 150 = -29.999998 in single
    EXPECT_EQ(p.end.right - p.end.left, 8);

    const CurvePoints broken = placeCurvePoints({NAN, INFINITY, -INFINITY, 1e30f}, kHome, 150, 148);
    EXPECT_EQ(broken.start, kHome.start);  // NaN moves nothing; the rest saturates, never wraps
    EXPECT_GT(broken.middle.left, kHome.middle.left);
}

TEST(PressureCurve, ValuesStoredFromThePointPositions) {
    auto c = curveFromPoints(kHome, kBox);
    ASSERT_TRUE(c);
    EXPECT_FLOAT_EQ((*c)[0], 0.0f);
    EXPECT_EQ((*c)[1], 73.0f / 149.0f);
    EXPECT_EQ((*c)[2], 0.5f);  // (402 - 322 - 6) / 148
    EXPECT_EQ((*c)[3], 149.0f / 150.0f);
    EXPECT_FALSE(curveFromPoints(kHome, {10, 10, 11, 50}));  // W - 1 = 0
    EXPECT_FALSE(curveFromPoints(kHome, {10, 10, 50, 10}));
}

TEST(PressureCurve, DragsThatLeaveTheirRoomAreRejected) {
    struct Case {
        CurvePoint which;
        Point32 cursor;
        bool accepted;
    } cases[] = {
        {CurvePoint::Middle, {115, 300}, false},  // left of the start point's right edge
        {CurvePoint::Middle, {245, 300}, false},  // right of the end point's left edge
        {CurvePoint::Middle, {200, 393}, false},  // bottom on the box's bottom border line
        {CurvePoint::Middle, {200, 392}, true},
        {CurvePoint::Middle, {200, 255}, false},  // top on the box's top border line
        {CurvePoint::Middle, {200, 256}, true},
        {CurvePoint::Start, {111, 0}, false},
        {CurvePoint::Start, {112, 0}, true},
        {CurvePoint::Start, {171, 0}, false},
        {CurvePoint::Start, {170, 0}, true},
        {CurvePoint::End, {185, 0}, false},
        {CurvePoint::End, {186, 0}, true},
        {CurvePoint::End, {251, 0}, false},
        {CurvePoint::End, {250, 0}, true},
        {CurvePoint::None, {200, 300}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cursor.x * 1000 + c.cursor.y);
        auto r = dragCurvePoint(c.which, c.cursor, kHome, kBox);
        EXPECT_EQ(r.has_value(), c.accepted);
        if (r && c.which != CurvePoint::Middle) {
            EXPECT_EQ(r->left, c.cursor.x);
            EXPECT_EQ(r->right - r->left, 8);
            EXPECT_EQ(r->top, c.which == CurvePoint::Start ? kHome.start.top : kHome.end.top);
        }
    }
    EXPECT_EQ(hitCurvePoint(kHome, {112, 392}), CurvePoint::Start);
    EXPECT_EQ(hitCurvePoint(kHome, {120, 392}), CurvePoint::None);  // right edge exclusive
    EXPECT_EQ(hitCurvePoint(kHome, {185, 329}), CurvePoint::Middle);
    EXPECT_EQ(hitCurvePoint(kHome, {250, 260}), CurvePoint::End);
    const CurveBezier b = curveBezier(kHome);
    EXPECT_EQ(b.from.y, 400);
    EXPECT_EQ(b.control.x, 181);
    EXPECT_EQ(b.to.x, 256);
}

TEST(PressureCurve, KeyboardMovesFollowTheDragRulesAndStopAtTheLimit) {
    struct Case {
        const char* what;
        CurvePoint which;
        int32_t dx, dy;
        std::optional<Point32> topLeft;
    } cases[] = {
        {"middle one right", CurvePoint::Middle, 1, 0, Point32{179, 322}},
        {"middle up", CurvePoint::Middle, 0, -10, Point32{178, 312}},
        {"middle far right stops left of the end point", CurvePoint::Middle, 100, 0,
         Point32{240, 322}},
        {"middle far up stops under the top line", CurvePoint::Middle, 0, -100, Point32{178, 256}},
        {"middle far down stops over the bottom line", CurvePoint::Middle, 0, 100,
         Point32{178, 392}},
        {"start at its left limit", CurvePoint::Start, -1, 0, std::nullopt},
        {"start right", CurvePoint::Start, 10, 0, Point32{122, 392}},
        {"start only moves sideways", CurvePoint::Start, 0, -10, std::nullopt},
        {"end far right stops inside the box", CurvePoint::End, 5, 0, Point32{250, 256}},
        {"end far left stops right of the middle point", CurvePoint::End, -100, 0,
         Point32{186, 256}},
        {"no point chosen", CurvePoint::None, 1, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto r = keyMoveCurvePoint(c.which, c.dx, c.dy, kHome, kBox);
        ASSERT_EQ(r.has_value(), c.topLeft.has_value());
        if (!r) continue;
        EXPECT_EQ(r->left, c.topLeft->x);
        EXPECT_EQ(r->top, c.topLeft->y);
        EXPECT_EQ(r->right - r->left, 8);
        EXPECT_EQ(r->bottom - r->top, 8);
        // Exactly where a mouse drag of the point to that corner puts it.
        EXPECT_EQ(*r, *dragCurvePoint(c.which, *c.topLeft, kHome, kBox));
    }
    EXPECT_EQ(nextCurvePoint(CurvePoint::None, false), CurvePoint::Start);
    EXPECT_EQ(nextCurvePoint(CurvePoint::Start, false), CurvePoint::Middle);
    EXPECT_EQ(nextCurvePoint(CurvePoint::Middle, false), CurvePoint::End);
    EXPECT_EQ(nextCurvePoint(CurvePoint::End, false), CurvePoint::Start);
    EXPECT_EQ(nextCurvePoint(CurvePoint::Start, true), CurvePoint::End);
    EXPECT_EQ(nextCurvePoint(CurvePoint::Middle, true), CurvePoint::Start);
}

TEST(PressureCurve, TrackbarAndItsInverse) {
    EXPECT_EQ(curveForTrackbar(5), kDefaultCurve);
    EXPECT_EQ(curveForTrackbar(1), (PressureCurve{0.0f, 0.1f, 0.9f, 1.0f}));
    EXPECT_EQ(curveForTrackbar(9), (PressureCurve{0.0f, 0.9f, 0.1f, 1.0f}));
    for (int p = 1; p <= 9; ++p) EXPECT_EQ(trackbarPosition(curveForTrackbar(p)[1]), p) << p;
    EXPECT_EQ(trackbarPosition(0.0f), 1);
    EXPECT_EQ(trackbarPosition(NAN), 1);
    EXPECT_EQ(trackbarPosition(3.0f), 9);
}

TEST(PressureMeter, ShownValueAndBarFill) {
    EXPECT_EQ(shownPressure(1, 4095, 7), 1023);
    EXPECT_EQ(shownPressure(2, 4095, 7), 4095);
    EXPECT_EQ(shownPressure(0, 4095, 7), 7);
    EXPECT_EQ(shownPressure(3, 4095, 7), 7);
    EXPECT_EQ(pressureBarFill(200, 4095, 8191), 99u);
    EXPECT_EQ(pressureBarFill(200, 4095, 4095), 200u);
    EXPECT_EQ(pressureBarFill(200, 0, 4095), 0u);
    EXPECT_EQ(pressureBarFill(200, 4095, 0), std::nullopt);
    EXPECT_EQ(pressureBarFill(200, 9000, 4095), 200u);          // never past the bar
    EXPECT_EQ(pressureBarFill(100000, 65535, 65535), 100000u);  // product beyond 32 bits
}

TEST(PressureCurve, FourValuesWrittenInOneLockedGroup) {
    auto block = testing::zeroBlock();
    testing::CountingLock lock;
    lock.watch(block->devices[2]);
    writePressureCurve(block->devices[2], curveForTrackbar(3), lock);
    EXPECT_EQ(lock.writesOutsideLock(), "");
    EXPECT_EQ(lock.locks, 1);
    EXPECT_EQ(lock.unlocks, 1);
    EXPECT_EQ(readPressureCurve(block->devices[2]), curveForTrackbar(3));
}

}  // namespace
}  // namespace scribo
