// The live pressure meter of the pressure group: for each packet, the number to show and what to
// do with the bar. The bar is cleared once when the pen leaves the window (barDrawn), not on every
// packet outside it. Portable.
#pragma once

#include <cstdint>

namespace scribo {

struct PressureMeter {
    int32_t displayMode = 1;   // 1: pressure / 4, 2: as delivered, other: number not updated
    uint32_t maxPressure = 0;  // of the normal-pressure axis; 0 until a context is open
    int32_t shownValue = 0;
    bool barDrawn = false;
};

enum class MeterAction {
    None,   // outside the window, bar already cleared: nothing changes
    Draw,   // clear the bar, fill its first `fill` pixels, show `text`
    Clear,  // clear the bar, show `text` (0)
};

struct MeterUpdate {
    MeterAction action = MeterAction::None;
    uint32_t fill = 0;  // filled width: barWidth x pressure / maxPressure, at most barWidth; 0
                        // when maxPressure is 0 (the bar is cleared but never filled)
    int32_t text = 0;   // the number to show
};

// One packet of raw pressure `pressure`; `barWidth` in pixels (negative counts as 0).
MeterUpdate updatePressureMeter(PressureMeter& meter, int32_t barWidth, uint32_t pressure,
                                bool cursorInWindow);

}  // namespace scribo
