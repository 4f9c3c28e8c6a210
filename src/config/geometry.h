// Plain geometry shared by the models: a point and a size in pixels or device units, and the
// comparison of rectangles (Rect32 itself is part of the block layout). Portable.
#pragma once

#include <cstdint>

#include "config/shared_block.h"

namespace scribo {

struct Size32 {
    int32_t w = 0, h = 0;
};

struct Point32 {
    int32_t x = 0, y = 0;
};

inline bool operator==(const Rect32& a, const Rect32& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const Rect32& a, const Rect32& b) { return !(a == b); }
inline bool operator==(const Size32& a, const Size32& b) { return a.w == b.w && a.h == b.h; }

}  // namespace scribo
