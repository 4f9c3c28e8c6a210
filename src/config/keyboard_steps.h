// Moving the panel's drawn controls with the keyboard: the step of an arrow key, and where an
// arrow key takes a mapping tracker. Portable: rectangles are client pixels.
#pragma once

#include <cstdint>

#include "config/shared_block.h"

namespace scribo {

enum class ArrowKey { Left, Right, Up, Down };

struct KeyStep {
    int32_t dx = 0, dy = 0;
};

// One pixel per key press; with Shift a large step of ten pixels at 96 dots per inch, scaled
// with the window's dots per inch (never less than ten).
inline constexpr int32_t kLargeKeyStepAt96 = 10;
KeyStep arrowStep(ArrowKey key, bool large, int32_t dpi);

// The tracker rectangle after an arrow key inside `bounds` (the preview): moved by the step, or,
// when `resize`, its bottom-right corner moved. A move stops at the edge of the bounds and keeps
// the size; a resize keeps at least one pixel and never passes the bounds. A rectangle already
// outside the bounds is moved as asked, for the drag arithmetic to bring back.
Rect32 keyboardTrackerRect(const Rect32& rect, const Rect32& bounds, KeyStep step, bool resize);

}  // namespace scribo
