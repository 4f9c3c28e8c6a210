// What "Restore Defaults" puts into a device record, named once. The main window writes them
// in one grouped write under the block lock; the panels then show them. Portable.
#pragma once

#include <cstdint>

#include "config/shared_block.h"

namespace scribo {

inline constexpr int32_t kDefaultLowerPenButton = 1;  // penButton1Index
inline constexpr int32_t kDefaultUpperPenButton = 3;  // penButton2Index
// The speed trackbar of relative positioning, slowest to fastest.
inline constexpr int32_t kMouseSpeedSlowest = 1;
inline constexpr int32_t kMouseSpeedFastest = 9;
inline constexpr int32_t kDefaultMouseSpeed = 5;    // the middle
inline constexpr int32_t kDefaultMonitorEntry = 1;  // the first monitor
inline constexpr float kDefaultCalibrationFactor = 1.0f;

// Every default of the device: mapping (the primary monitor `primaryWidth` x `primaryHeight`,
// the whole tablet, no rotation), absolute positioning with Windows Ink, the pen buttons, the
// speed, no calibration, express-key tips on and the default pressure curve. The caller holds
// the lock.
void restoreDeviceDefaults(DeviceRecord& rec, int32_t primaryWidth, int32_t primaryHeight);

}  // namespace scribo
