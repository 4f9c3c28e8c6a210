// Precision mode: the monitor under the cursor, the 320 x 210 rectangle kept inside it, the
// writes into every connected device record, and where the indicator places its hole and
// caption. Portable: coordinates are virtual-screen pixels unless stated.
#pragma once

#include "config/block_access.h"
#include "config/shared_block.h"
#include "mapping/screen_mapping.h"

namespace scribo {

inline constexpr int32_t kPrecisionWidth = 320;
inline constexpr int32_t kPrecisionHeight = 210;

// First monitor entry 1..monitorCount containing `cursor` (left/top inclusive, right/bottom
// exclusive); 0, the whole desktop, when none does.
int monitorUnderCursor(const SharedBlock& block, Point32 cursor);

// The rectangle centred on the cursor, moved inside monitor `m` (left, top, right, bottom in this
// order, so the right and bottom edges win on a monitor smaller than the rectangle).
Rect32 precisionRect(Point32 cursor, const Rect32& m);

// Placement of the indicator's controls in its client coordinates (the window covers M).
struct PrecisionIndicatorLayout {
    Rect32 monitor;  // where the indicator window goes
    Rect32 hole;     // control 1285
    Rect32 caption;  // control 1288: 249 x 14 just above the hole's left part
};
PrecisionIndicatorLayout precisionIndicatorLayout(const Rect32& monitor, const Rect32& rect);

// The main window's toggle: the first switch turns the mode on.
class PrecisionToggle {
public:
    struct Result {
        bool on = false;
        PrecisionIndicatorLayout layout{};  // valid when on
    };
    // WM_PANEL_PRECISION: switches with the current toggle value, then inverts it. On: the
    // rectangle around `cursor` is stored with precisionMode 1 in every connected slot. Off:
    // precisionMode 0 with the last rectangle. Each slot is written under the lock.
    Result toggle(SharedBlock& block, BlockLock& lock, Point32 cursor);
    bool nextSwitchesOn() const { return value_ != 0; }
    const Rect32& lastRect() const { return last_; }

private:
    int32_t value_ = 1;
    Rect32 last_{};
};

}  // namespace scribo
