#include "mapping/precision_area.h"

#include "config/safe_math.h"

namespace scribo {

int monitorUnderCursor(const SharedBlock& block, Point32 c) {
    const int count = boundedMonitorCount(block);
    for (int i = 1; i <= count; ++i) {
        const Rect32& m = block.monitorRects[i];
        if (c.x >= m.left && c.x < m.right && c.y >= m.top && c.y < m.bottom) return i;
    }
    return 0;
}

Rect32 precisionRect(Point32 c, const Rect32& m) {
    int64_t l = int64_t{c.x} - kPrecisionWidth / 2, r = int64_t{c.x} + kPrecisionWidth / 2;
    int64_t t = int64_t{c.y} - kPrecisionHeight / 2, b = int64_t{c.y} + kPrecisionHeight / 2;
    if (l < m.left) {
        l = m.left;
        r = int64_t{m.left} + kPrecisionWidth;
    }
    if (t < m.top) {
        t = m.top;
        b = int64_t{m.top} + kPrecisionHeight;
    }
    if (r > m.right) {
        r = m.right;
        l = int64_t{m.right} - kPrecisionWidth;
    }
    if (b > m.bottom) {
        b = m.bottom;
        t = int64_t{m.bottom} - kPrecisionHeight;
    }
    return {saturate32(l), saturate32(t), saturate32(r), saturate32(b)};
}

PrecisionIndicatorLayout precisionIndicatorLayout(const Rect32& m, const Rect32& r) {
    const int64_t l = int64_t{r.left} - m.left, t = int64_t{r.top} - m.top;
    const Rect32 hole{saturate32(l), saturate32(t), saturate32(int64_t{r.right} - m.left),
                      saturate32(int64_t{r.bottom} - m.top)};
    const Rect32 caption{saturate32(l + 1), saturate32(t - 14), saturate32(l + 1 + 249),
                         saturate32(t)};
    return {m, hole, caption};
}

PrecisionToggle::Result PrecisionToggle::toggle(SharedBlock& block, BlockLock& lock,
                                                Point32 cursor) {
    Result result;
    const int32_t v = value_;
    value_ = v == 0 ? 1 : 0;
    if (v == 0) {
        const Rect32 last = last_;
        writeToConnectedSlots(block, lock, [&](DeviceRecord& rec) {
            rec.precisionMode = 0;
            rec.precisionArea = last;
        });
        return result;
    }
    const Rect32 m = block.monitorRects[monitorUnderCursor(block, cursor)];
    last_ = precisionRect(cursor, m);
    const Rect32 rect = last_;
    writeToConnectedSlots(block, lock, [&](DeviceRecord& rec) {
        rec.precisionMode = v;
        rec.precisionArea = rect;
    });
    result.on = true;
    result.layout = precisionIndicatorLayout(m, rect);
    return result;
}

}  // namespace scribo
