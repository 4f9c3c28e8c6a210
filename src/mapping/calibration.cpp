#include "mapping/calibration.h"

#include <algorithm>
#include <cmath>

#include "config/safe_math.h"

namespace scribo {

namespace {

float ratio(int64_t num, int64_t den) { return static_cast<float>(num) / static_cast<float>(den); }

float sane(float f) { return (std::isfinite(f) && f >= 0.0f && f <= 2.0f) ? f : 1.0f; }

}  // namespace

CalibrationPoints calibrationTargets(const Rect32& m) {
    const int64_t w = int64_t{m.right} - m.left, h = int64_t{m.bottom} - m.top;
    const int32_t right = saturate32(w - kTargetMargin), bottom = saturate32(h - kTargetMargin);
    return {{{kTargetMargin, kTargetMargin},
             {kTargetMargin, bottom},
             {right, bottom},
             {right, kTargetMargin},
             {saturate32(w / 2), saturate32(h / 2)}}};
}

Rect32 targetSquare(Point32 t) {
    return {saturate32(int64_t{t.x} - kTargetMargin), saturate32(int64_t{t.y} - kTargetMargin),
            saturate32(int64_t{t.x} + kTargetMargin), saturate32(int64_t{t.y} + kTargetMargin)};
}

CalibrationFactors calibrationFactors(const CalibrationPoints& c, const CalibrationPoints& t) {
    // Sums of two differences in single precision, as the service expects them.
    const float sx =
        static_cast<float>(int64_t{c[2].x} - c[1].x) + static_cast<float>(int64_t{c[3].x} - c[0].x);
    const float sy =
        static_cast<float>(int64_t{c[2].y} - c[3].y) + static_cast<float>(int64_t{c[1].y} - c[0].y);
    return {sane(sx / static_cast<float>((int64_t{t[3].x} - t[0].x) * 2)),
            sane(sy / static_cast<float>((int64_t{t[1].y} - t[0].y) * 2)),
            sane(ratio(t[4].x, c[4].x)), sane(ratio(t[4].y, c[4].y))};
}

bool CalibrationSession::start(const SharedBlock& block, int currentMonitor) {
    const Rect32* m = monitorAt(block, currentMonitor);
    if (m == nullptr) return false;
    monitor_ = *m;
    targets_ = calibrationTargets(monitor_);
    taps_ = {};
    index_ = 0;
    return true;
}

CalibrationSession::Tap CalibrationSession::tap(Point32 click) {
    if (index_ >= kCalibrationTargets) return Tap::Ignored;
    const Rect32 sq = targetSquare(targets_[index_]);
    if (click.x < sq.left || click.x >= sq.right || click.y < sq.top || click.y >= sq.bottom)
        return Tap::Ignored;
    taps_[index_++] = click;
    return index_ == kCalibrationTargets ? Tap::Finished : Tap::Recorded;
}

void resetCalibration(DeviceRecord& rec, BlockLock& lock) {
    writeCalibration(rec, {1.0f, 1.0f, 1.0f, 1.0f}, lock);
}

void writeCalibration(DeviceRecord& rec, const CalibrationFactors& f, BlockLock& lock) {
    writeLocked(lock, [&] { std::copy(f.begin(), f.end(), rec.displayCalib); });
}

Rect32 overlayCursorClip(const Rect32& m) {
    return {m.left, m.top, saturate32(int64_t{m.right} - 30), saturate32(int64_t{m.bottom} - 30)};
}

std::optional<Rect32> overlayRegion(Point32 first, Point32 second) {
    if (second.x <= first.x || second.y <= first.y) return std::nullopt;
    return Rect32{first.x, first.y, saturate32(int64_t{second.x} + 31),
                  saturate32(int64_t{second.y} + 31)};
}

}  // namespace scribo
