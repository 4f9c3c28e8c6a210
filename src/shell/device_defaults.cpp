#include "shell/device_defaults.h"

#include <algorithm>
#include <iterator>

#include "shell/pressure_curve.h"

namespace scribo {

void restoreDeviceDefaults(DeviceRecord& rec, int32_t primaryWidth, int32_t primaryHeight) {
    rec.screenArea = {0, 0, primaryWidth, primaryHeight};
    rec.monitorIndex = kDefaultMonitorEntry;
    rec.tabletAreaX = 0;
    rec.tabletAreaY = 0;
    rec.tabletAreaW = rec.tabletMaxX;
    rec.tabletAreaH = rec.tabletMaxY;
    rec.rotation = 0;
    rec.mouseMode = 0;
    rec.windowsInk = 1;
    std::fill(std::begin(rec.displayCalib), std::end(rec.displayCalib), kDefaultCalibrationFactor);
    rec.penButton1Index = kDefaultLowerPenButton;
    rec.penButton2Index = kDefaultUpperPenButton;
    rec.mouseSpeed = kDefaultMouseSpeed;
    rec.expressKeyTipsOff = 0;
    std::copy(kDefaultCurve.begin(), kDefaultCurve.end(), rec.pressureCurve);
}

}  // namespace scribo
