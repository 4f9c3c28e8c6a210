#include "shell/win/pressure_panel.h"

#include <commctrl.h>

#include "resource.h"

using namespace scribo;

void PressurePanel::initTrackbar() {
    SendDlgItemMessageW(dialog_, IDC_HARDNESS, TBM_SETRANGE, TRUE, MAKELPARAM(1, 9));
    SendDlgItemMessageW(dialog_, IDC_HARDNESS, TBM_SETTICFREQ, 1, 0);
}

void PressurePanel::load(const DeviceRecord& rec) {
    displayMode_ = rec.pressureScaleMode;
    // The trackbar stores the middle point as position / 10; single precision gives the position
    // back for every curve it produced.
    const float middle = rec.pressureCurve[1] * 10.0f;
    const int position = middle >= 1.0f && middle <= 9.0f ? static_cast<int>(middle) : middle < 1.0f ? 1 : 9;
    SendDlgItemMessageW(dialog_, IDC_HARDNESS, TBM_SETPOS, TRUE, position);
}
