// The tools beside the mapping panel as models: the five-target calibration of a pen display
// (targets, taps, correction factors) and the two-click region of the selection overlay.
// Portable: points are pixels of the monitor (calibration) or of the virtual screen (overlay).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "config/block_access.h"
#include "config/shared_block.h"
#include "mapping/screen_mapping.h"

namespace scribo {

// ---- pen-display calibration --------------------------------------------------------------------

inline constexpr int kCalibrationTargets = 5;
inline constexpr int32_t kTargetMargin = 35;  // targets sit 35 px in; squares reach 35 px out

using CalibrationPoints = std::array<Point32, kCalibrationTargets>;
// displayCalib: horizontal scale, vertical scale, horizontal centre ratio, vertical centre ratio.
using CalibrationFactors = std::array<float, 4>;

// Top-left, bottom-left, bottom-right, top-right, centre, in the monitor's own pixels.
CalibrationPoints calibrationTargets(const Rect32& monitor);
Rect32 targetSquare(Point32 target);

// The four factors from the taps. A factor outside 0.0..2.0 - and one that is not a number at
// all, as a degenerate monitor or tap positions give by dividing by zero - becomes 1.0.
CalibrationFactors calibrationFactors(const CalibrationPoints& taps,
                                      const CalibrationPoints& targets);

class CalibrationSession {
public:
    enum class Tap { Ignored, Recorded, Finished };

    // Starts on monitor table entry `currentMonitor`; false (the window closes at once) when it is
    // negative or outside the table.
    bool start(const SharedBlock& block, int currentMonitor);
    // A click in client coordinates: recorded when inside the current target's square (left/top
    // inclusive); the fifth recorded tap finishes and the factors are ready.
    Tap tap(Point32 click);

    int targetIndex() const { return index_; }
    Point32 currentTarget() const { return targets_[index_ < kCalibrationTargets ? index_ : 0]; }
    const CalibrationPoints& targets() const { return targets_; }
    const Rect32& monitor() const { return monitor_; }
    CalibrationFactors factors() const { return calibrationFactors(taps_, targets_); }

private:
    Rect32 monitor_{};
    CalibrationPoints targets_{};
    CalibrationPoints taps_{};
    int index_ = 0;
};

// All four factors 1.0 (opening the calibration), or the measured ones; one locked group.
void resetCalibration(DeviceRecord& rec, BlockLock& lock);
void writeCalibration(DeviceRecord& rec, const CalibrationFactors& f, BlockLock& lock);

// ---- selection overlay --------------------------------------------------------------------------

// Where the cursor is confined while the overlay covers monitor `m`.
Rect32 overlayCursorClip(const Rect32& m);
// The region of a second click: the bracket corner of the bottom-right cursor lies 31 px beyond
// the click. nullopt when the click is not strictly right of and below the first corner.
std::optional<Rect32> overlayRegion(Point32 firstCorner, Point32 secondClick);

}  // namespace scribo
