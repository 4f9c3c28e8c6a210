// The live pressure meter: number shown, bar fill, and the one clear when the pen leaves.
#include <gtest/gtest.h>

#include "shell/pressure_meter.h"

using namespace scribo;

namespace {

struct Step {
    int32_t displayMode;
    uint32_t maxPressure;
    int32_t barWidth;
    uint32_t pressure;
    bool inside;
    bool barDrawnBefore;
    int32_t shownBefore;
    // expected
    MeterAction action;
    uint32_t fill;
    int32_t text;
    int32_t shownAfter;
    bool barDrawnAfter;
};

const Step kSteps[] = {
    // mode max    W    p     in     drawn  shown  action               fill  text  shown drawn
    {1, 8191, 200, 4095, true, false, 0, MeterAction::Draw, 99, 1023, 1023, true},
    {2, 8191, 200, 4095, true, false, 0, MeterAction::Draw, 99, 4095, 4095, true},
    {0, 8191, 200, 4095, true, false, 7, MeterAction::Draw, 99, 7, 7, true},  // not updated
    {3, 8191, 200, 8191, true, true, 7, MeterAction::Draw, 200, 7, 7, true},  // not updated
    {1, 8191, 200, 0, true, true, 5, MeterAction::Draw, 0, 0, 0, true},
    {1, 0, 200, 4095, true, false, 0, MeterAction::Draw, 0, 1023, 1023, true},  // max 0: no fill
    {2, 4095, 200, 9000, true, false, 0, MeterAction::Draw, 200, 9000, 9000, true},  // never past
    {2, 65535, 100000, 65535, true, false, 0, MeterAction::Draw, 100000, 65535, 65535, true},
    {2, 8191, -5, 4095, true, false, 0, MeterAction::Draw, 0, 4095, 4095, true},  // empty bar
    {1, 0xFFFFFFFFu, 200, 0xFFFFFFFFu, true, false, 0, MeterAction::Draw, 200, 0x3FFFFFFF,
     0x3FFFFFFF, true},  // unsigned shift
    // Outside the window: cleared once, then nothing changes; the number still follows the pen.
    {1, 8191, 200, 4095, false, true, 9, MeterAction::Clear, 0, 0, 1023, false},
    {1, 8191, 200, 4095, false, false, 9, MeterAction::None, 0, 0, 1023, false},
    {4, 8191, 200, 4095, false, true, 9, MeterAction::Clear, 0, 0, 9, false},
};

TEST(PressureMeter, Table) {
    int row = 0;
    for (const Step& s : kSteps) {
        SCOPED_TRACE(row++);
        PressureMeter m;
        m.displayMode = s.displayMode;
        m.maxPressure = s.maxPressure;
        m.shownValue = s.shownBefore;
        m.barDrawn = s.barDrawnBefore;
        const MeterUpdate u = updatePressureMeter(m, s.barWidth, s.pressure, s.inside);
        EXPECT_EQ(u.action, s.action);
        EXPECT_EQ(u.fill, s.fill);
        EXPECT_EQ(u.text, s.text);
        EXPECT_EQ(m.shownValue, s.shownAfter);
        EXPECT_EQ(m.barDrawn, s.barDrawnAfter);
    }
}

TEST(PressureMeter, LeavingTheWindowClearsOnceAndComingBackDrawsAgain) {
    PressureMeter m;
    m.maxPressure = 1000;
    EXPECT_EQ(updatePressureMeter(m, 100, 500, true).action, MeterAction::Draw);
    const MeterUpdate leave = updatePressureMeter(m, 100, 600, false);
    EXPECT_EQ(leave.action, MeterAction::Clear);
    EXPECT_EQ(leave.text, 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(updatePressureMeter(m, 100, 700, false).action, MeterAction::None);
    const MeterUpdate back = updatePressureMeter(m, 100, 800, true);
    EXPECT_EQ(back.action, MeterAction::Draw);
    EXPECT_EQ(back.fill, 80u);
    EXPECT_EQ(back.text, 200);
}

}  // namespace
