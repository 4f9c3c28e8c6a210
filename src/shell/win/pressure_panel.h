// The pressure group of the main window: the Soft/Hard trackbar of the current device's curve
// and how the live pressure number is shown.
#pragma once

#include <windows.h>

#include "config/shared_block.h"

class PressurePanel {
public:
    explicit PressurePanel(HWND dialog) : dialog_(dialog) {}

    void initTrackbar();
    // Takes the device's pressure display mode and puts the trackbar where its curve lies.
    void load(const scribo::DeviceRecord& rec);
    int displayMode() const { return displayMode_; }

private:
    HWND dialog_;
    int displayMode_ = 1;  // 1 = a quarter of the raw value, 2 = raw, other = not updated
};
