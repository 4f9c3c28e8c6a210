#include "shell/pressure_curve.h"

#include <algorithm>

#include "config/safe_math.h"

namespace scribo {

namespace {

Rect32 moved(const Rect32& r, int64_t dx, int64_t dy) {
    return {saturate32(r.left + dx), saturate32(r.top + dy), saturate32(r.right + dx),
            saturate32(r.bottom + dy)};
}

bool contains(const Rect32& r, Point32 p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

}  // namespace

CurvePoints placeCurvePoints(const PressureCurve& c, const CurvePoints& home, int32_t w,
                             int32_t h) {
    const float fw = static_cast<float>(w);
    CurvePoints p;
    p.start = moved(home.start, truncToInt32(fw * c[0]), 0);
    p.middle = moved(home.middle, truncToInt32((static_cast<double>(w) - 1) * (double{c[1]} - 0.5)),
                     truncToInt32((0.5 - double{c[2]}) * static_cast<double>(h)));
    p.end = moved(home.end, truncToInt32((c[3] - 1.0f) * fw), 0);
    return p;
}

std::optional<PressureCurve> curveFromPoints(const CurvePoints& p, const Rect32& box) {
    const int64_t w = int64_t{box.right} - box.left, h = int64_t{box.bottom} - box.top;
    if (w == 0 || w == 1 || h == 0) return std::nullopt;
    const auto ratio = [](int64_t num, int64_t den) {
        return static_cast<float>(num) / static_cast<float>(den);
    };
    return PressureCurve{ratio(int64_t{p.start.left} - box.left - 2, w),
                         ratio(int64_t{p.middle.left} - box.left + 5, w - 1),
                         ratio(int64_t{box.bottom} - p.middle.top - 6, h),
                         ratio(int64_t{p.end.right} - box.left + 3, w)};
}

CurvePoint hitCurvePoint(const CurvePoints& p, Point32 cursor) {
    if (contains(p.start, cursor)) return CurvePoint::Start;
    if (contains(p.middle, cursor)) return CurvePoint::Middle;
    if (contains(p.end, cursor)) return CurvePoint::End;
    return CurvePoint::None;
}

std::optional<Rect32> dragCurvePoint(CurvePoint which, Point32 c, const CurvePoints& p,
                                     const Rect32& box) {
    switch (which) {
        case CurvePoint::Start: {
            const Rect32 r = moved(p.start, int64_t{c.x} - p.start.left, 0);
            if (r.left < int64_t{box.left} + 2 || r.right > p.middle.left) return std::nullopt;
            return r;
        }
        case CurvePoint::Middle: {
            const Rect32 r =
                moved(p.middle, int64_t{c.x} - p.middle.left, int64_t{c.y} - p.middle.top);
            if (r.left < p.start.right || r.right > p.end.left ||
                r.bottom >= int64_t{box.bottom} - 1 || r.top <= int64_t{box.top} + 1)
                return std::nullopt;
            return r;
        }
        case CurvePoint::End: {
            const Rect32 r = moved(p.end, int64_t{c.x} - p.end.left, 0);
            if (r.left < p.middle.right || r.right > int64_t{box.right} - 2) return std::nullopt;
            return r;
        }
        case CurvePoint::None:
            break;
    }
    return std::nullopt;
}

std::optional<Rect32> keyMoveCurvePoint(CurvePoint which, int32_t dx, int32_t dy,
                                        const CurvePoints& p, const Rect32& box) {
    const Rect32* r = which == CurvePoint::Start    ? &p.start
                      : which == CurvePoint::Middle ? &p.middle
                      : which == CurvePoint::End    ? &p.end
                                                    : nullptr;
    if (r == nullptr) return std::nullopt;
    if (which != CurvePoint::Middle) dy = 0;
    // One axis at a time (an arrow key moves along one), shortened towards a single pixel.
    int64_t sx = std::clamp<int64_t>(dx, -65536, 65536),
            sy = std::clamp<int64_t>(dy, -65536, 65536);
    while (sx != 0 || sy != 0) {
        const Point32 to{saturate32(r->left + sx), saturate32(r->top + sy)};
        if (auto moved = dragCurvePoint(which, to, p, box)) return moved;
        sx -= (sx > 0) - (sx < 0);
        sy -= (sy > 0) - (sy < 0);
    }
    return std::nullopt;
}

CurvePoint nextCurvePoint(CurvePoint current, bool backwards) {
    switch (current) {
        case CurvePoint::Start:
            return backwards ? CurvePoint::End : CurvePoint::Middle;
        case CurvePoint::Middle:
            return backwards ? CurvePoint::Start : CurvePoint::End;
        case CurvePoint::End:
            return backwards ? CurvePoint::Middle : CurvePoint::Start;
        case CurvePoint::None:
            break;
    }
    return backwards ? CurvePoint::End : CurvePoint::Start;
}

CurveBezier curveBezier(const CurvePoints& p) {
    return {{p.start.left, p.start.bottom},
            {saturate32(int64_t{p.middle.left} + 3), saturate32(int64_t{p.middle.top} + 3)},
            {p.end.right, p.end.top}};
}

PressureCurve curveForTrackbar(int position) {
    const double p = std::clamp(position, kHardnessSoftest, kHardnessHardest) * 0.1;
    return {0.0f, static_cast<float>(p), static_cast<float>(1 - p), 1.0f};
}

int trackbarPosition(float middleX) {
    const float scaled = middleX * 10.0f;
    return std::clamp(truncToInt32(scaled), kHardnessSoftest, kHardnessHardest);
}

int32_t shownPressure(int32_t displayMode, uint32_t raw, int32_t previous) {
    if (displayMode == 2) return static_cast<int32_t>(raw);
    if (displayMode == 1) return static_cast<int32_t>(raw >> 2);
    return previous;
}

std::optional<uint32_t> pressureBarFill(uint32_t barWidth, uint32_t pressure,
                                        uint32_t maxPressure) {
    if (maxPressure == 0) return std::nullopt;
    const uint64_t fill = uint64_t{barWidth} * pressure / maxPressure;
    return static_cast<uint32_t>(std::min<uint64_t>(fill, barWidth));
}

void writePressureCurve(DeviceRecord& rec, const PressureCurve& curve, BlockLock& lock) {
    writeLocked(lock, [&] { std::copy(curve.begin(), curve.end(), rec.pressureCurve); });
}

PressureCurve readPressureCurve(const DeviceRecord& rec) {
    return {rec.pressureCurve[0], rec.pressureCurve[1], rec.pressureCurve[2], rec.pressureCurve[3]};
}

}  // namespace scribo
