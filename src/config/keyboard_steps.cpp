#include "config/keyboard_steps.h"

#include <algorithm>

#include "config/safe_math.h"

namespace scribo {

KeyStep arrowStep(ArrowKey key, bool large, int32_t dpi) {
    const int64_t scaled = int64_t{kLargeKeyStepAt96} * std::max<int32_t>(dpi, 96) / 96;
    const int32_t n = large ? saturate32(scaled) : 1;
    switch (key) {
        case ArrowKey::Left:
            return {-n, 0};
        case ArrowKey::Right:
            return {n, 0};
        case ArrowKey::Up:
            return {0, -n};
        case ArrowKey::Down:
            return {0, n};
    }
    return {};
}

namespace {

// How far `from..to` (one axis of the rectangle) may go by `d` and stay within lo..hi; a span
// that is already outside is moved by the whole step.
int64_t limitedMove(int64_t from, int64_t to, int64_t lo, int64_t hi, int64_t d) {
    if (from < lo || to > hi) return d;
    return std::clamp(d, lo - from, hi - to);
}

}  // namespace

Rect32 keyboardTrackerRect(const Rect32& r, const Rect32& b, KeyStep step, bool resize) {
    int64_t l = r.left, t = r.top, rt = r.right, bm = r.bottom;
    if (resize) {
        // The bottom-right corner: between one pixel past the top-left and the bounds.
        rt = std::clamp<int64_t>(rt + step.dx, l + 1, std::max<int64_t>(l + 1, b.right));
        bm = std::clamp<int64_t>(bm + step.dy, t + 1, std::max<int64_t>(t + 1, b.bottom));
    } else {
        const int64_t dx = limitedMove(l, rt, b.left, b.right, step.dx);
        const int64_t dy = limitedMove(t, bm, b.top, b.bottom, step.dy);
        l += dx;
        rt += dx;
        t += dy;
        bm += dy;
    }
    return {saturate32(l), saturate32(t), saturate32(rt), saturate32(bm)};
}

}  // namespace scribo
