#include "keys/win/lights_page.h"

#include <commctrl.h>

#include <string>

#include "config/service_protocol.h"
#include "keys/ring_lights.h"
#include "platform/service_link.h"
#include "platform/wide.h"
#include "resource.h"

namespace scribo::win {
namespace {

std::u16string number(int n) { return platform::toU16(std::to_wstring(n)); }

}  // namespace

bool CDlgTabPageControl::create(HWND tab, const RECT& area) {
    return ExpressPage::create(IDD_LIGHTS_PAGE, tab, area);
}

void CDlgTabPageControl::init() {
    setText(IDC_LIGHT_WHEEL_LABEL, text(u"Dialog_QuickSet", u"QuickSet.WheelLight", u"WheelLight"));
    setText(IDC_LIGHT_TABLET_LABEL,
            text(u"Dialog_QuickSet", u"QuickSet.TabletLight", u"TabletLight"));
    int wheel = 1;
    int tablet = 1;
    const DeviceRecord* rec = record();
    if (rec != nullptr) {
        wheel = lightSliderPosition(rec->wheelLight);
        tablet = lightSliderPosition(rec->tabletLight);
    }
    const struct {
        int bar, value, position;
    } sliders[] = {{IDC_LIGHT_WHEEL, IDC_LIGHT_WHEEL_VALUE, wheel},
                   {IDC_LIGHT_TABLET, IDC_LIGHT_TABLET_VALUE, tablet}};
    for (const auto& s : sliders) {
        SendDlgItemMessageW(hwnd(), s.bar, TBM_SETRANGE, TRUE, MAKELPARAM(0, kLightSteps));
        SendDlgItemMessageW(hwnd(), s.bar, TBM_SETTICFREQ, 1, 0);
        SendDlgItemMessageW(hwnd(), s.bar, TBM_SETPOS, TRUE, s.position);
        setText(s.value, number(lightLevel(s.position)));
    }
    if (rec != nullptr && hidesWheelLight(*rec)) {
        for (int id : {IDC_LIGHT_WHEEL, IDC_LIGHT_WHEEL_LABEL, IDC_LIGHT_WHEEL_VALUE})
            show(id, false);
    }
}

void CDlgTabPageControl::onSlider(HWND bar) {
    const bool wheel = bar == item(IDC_LIGHT_WHEEL);
    if (!wheel && bar != item(IDC_LIGHT_TABLET)) return;
    const int position = static_cast<int>(SendMessageW(bar, TBM_GETPOS, 0, 0));
    const Light light = wheel ? Light::Wheel : Light::Tablet;
    const int level = lightLevel(position < 0             ? 0
                                 : position > kLightSteps ? kLightSteps
                                                          : position);
    setText(wheel ? IDC_LIGHT_WHEEL_VALUE : IDC_LIGHT_TABLET_VALUE, number(level));
    const bool found = platform::sendToService(WM_SERVICE_LIGHTS, static_cast<WPARAM>(light),
                                               static_cast<LPARAM>(level));
    // Asked again after the send: the device may have left while the service was answering.
    if (DeviceRecord* rec = record()) moveLightSlider(*rec, light, position, found);
}

bool CDlgTabPageControl::handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            init();
            result = FALSE;
            return true;
        case WM_HSCROLL:
            // The end of a drag or key press repeats the last position: nothing new to send.
            if (LOWORD(w) != TB_ENDTRACK) onSlider(reinterpret_cast<HWND>(l));
            return true;
        default:
            return false;
    }
}

}  // namespace scribo::win
