#include "config/keyboard_steps.h"

#include <gtest/gtest.h>

#include "mapping/screen_mapping.h"

namespace scribo {
namespace {

TEST(KeyboardSteps, ArrowStepsScaleTheLargeStepWithTheDpi) {
    struct Case {
        ArrowKey key;
        bool large;
        int32_t dpi;
        int32_t dx, dy;
    } cases[] = {
        {ArrowKey::Right, false, 96, 1, 0},  {ArrowKey::Left, false, 192, -1, 0},
        {ArrowKey::Up, true, 96, 0, -10},    {ArrowKey::Down, true, 144, 0, 15},
        {ArrowKey::Right, true, 192, 20, 0}, {ArrowKey::Left, true, 0, -10, 0},  // no dpi: 96
    };
    for (const auto& c : cases) {
        const KeyStep s = arrowStep(c.key, c.large, c.dpi);
        EXPECT_EQ(s.dx, c.dx) << c.dpi;
        EXPECT_EQ(s.dy, c.dy) << c.dpi;
    }
}

TEST(KeyboardSteps, TrackerMovesStopAtTheEdgeAndResizesKeepAPixel) {
    const Rect32 bounds{10, 10, 110, 70};
    const Rect32 r{20, 20, 40, 30};
    struct Case {
        const char* what;
        Rect32 from;
        KeyStep step;
        bool resize;
        Rect32 expected;
    } cases[] = {
        {"one right", r, {1, 0}, false, {21, 20, 41, 30}},
        {"far right stops at the edge, size kept", r, {100, 0}, false, {90, 20, 110, 30}},
        {"far left", r, {-100, 0}, false, {10, 20, 30, 30}},
        {"far up", r, {0, -100}, false, {20, 10, 40, 20}},
        {"far down", r, {0, 100}, false, {20, 60, 40, 70}},
        {"already at the edge", {90, 20, 110, 30}, {1, 0}, false, {90, 20, 110, 30}},
        {"outside the bounds: moved as asked",
         {100, 20, 130, 30},
         {1, 0},
         false,
         {101, 20, 131, 30}},
        {"wider", r, {5, 0}, true, {20, 20, 45, 30}},
        {"narrower down to one pixel", r, {-100, 0}, true, {20, 20, 21, 30}},
        {"wider up to the edge", r, {100, 0}, true, {20, 20, 110, 30}},
        {"taller up to the edge", r, {0, 100}, true, {20, 20, 40, 70}},
        {"lower down to one pixel", r, {0, -100}, true, {20, 20, 40, 21}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Rect32 got = keyboardTrackerRect(c.from, bounds, c.step, c.resize);
        EXPECT_EQ(got, c.expected);
        // Inside the bounds the drag arithmetic leaves a keyboard result as it is.
        if (c.from.right <= bounds.right) {
            EXPECT_EQ(clampToBounds(got, bounds), got);
        }
    }
}

}  // namespace
}  // namespace scribo
