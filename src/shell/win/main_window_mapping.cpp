// The main window's share of the mapping group: routing the service's monitor notifications,
// painting and mouse messages to the mapping panel, and the buttons that start pen positioning,
// restore the defaults or open the mapping tools.
#include "shell/win/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "config/service_protocol.h"
#include "platform/dpi.h"
#include "platform/wide.h"
#include "resource.h"
#include "shell/device_defaults.h"

using namespace scribo;

namespace {
constexpr UINT kOverlayGoneMs = 250;
}

bool CQX_ScriboDlg::onMappingMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    if (!mapping_) return false;
    DeviceRecord* rec = current();
    switch (msg) {
        case WM_PANEL_MONITORSCHANGED:
            mapping_->onMonitorsChanged();
            result = 1;
            return true;
        case WM_PANEL_SELECTMONITOR:
            mapping_->onSelectMonitor(static_cast<int>(static_cast<INT_PTR>(w)));
            result = 0;
            return true;
        case WM_PANEL_AREASELECTED:
            onAreaSelected();
            result = 0;
            return true;
        case WM_PAINT: {
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(hwnd(), &ps);
            mapping_->paint(dc, rec);
            EndPaint(hwnd(), &ps);
            result = 0;
            return true;
        }
        case WM_LBUTTONDOWN:
            // A click beside the trackers belongs to the pressure curve.
            return mapping_->onLeftButtonDown({GET_X_LPARAM(l), GET_Y_LPARAM(l)}, rec);
        case WM_SETCURSOR: {
            if (reinterpret_cast<HWND>(w) != hwnd() || LOWORD(l) != HTCLIENT) return false;
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(hwnd(), &p);
            if (!mapping_->onSetCursor(p, rec)) return false;
            result = TRUE;
            return true;
        }
        case WM_TIMER:
            return mapping_->onTimer(static_cast<UINT_PTR>(w));
        default:
            return false;
    }
}

void CQX_ScriboDlg::onMappingCommand(int id) {
    DeviceRecord* rec = current();
    switch (id) {
        case IDC_SET_WORK_AREA:
            startPenPositioning();
            break;
        case IDC_SET_SCREEN_AREA:
            if (mapping_->selection() == 0) break;  // never over the whole desktop
            // The overlay hides this window only once it is up: one that cannot open leaves
            // the panel on the screen.
            mappingTools_->openOverlay(mapping_->selection());
            break;
        case IDC_CALIBRATE:
            mappingTools_->openCalibration(bindCurrent());
            break;
        case IDC_RESTORE_DEFAULT:
            if (rec == nullptr) break;
            // One grouped write: the service never sees half of the defaults.
            writeLocked(link_.lock(), [&] {
                restoreDeviceDefaults(*rec, GetSystemMetrics(SM_CXSCREEN),
                                      GetSystemMetrics(SM_CYSCREEN));
            });
            mapping_->showDefaults(*rec);
            pen_->showDefaults();
            pressure_->showDefaults();
            InvalidateRect(hwnd(), nullptr, TRUE);
            break;
        default:
            break;
    }
}

void CQX_ScriboDlg::startPenPositioning() {
    // The service lets the user place the pen, writes the area and answers with WM_PANEL_AREASET.
    if (areaEvent_) SetEvent(areaEvent_.get());
    info_.showText(text(u"Main.SetAreaInfo1", u"SetAreaInfo1"), kInfoTickLongMs);
}

void CQX_ScriboDlg::onAreaSet() {
    info_.showText(text(u"Main.SetAreaInfo3", u"OK"), kInfoTickNormalMs);
    if (DeviceRecord* rec = current()) mapping_->onAreaSet(*rec);
}

void CQX_ScriboDlg::onAreaSelected() {
    DeviceRecord* rec = current();
    if (rec != nullptr) mapping_->applySelectedRegion(mappingTools_->selectedRegion(), *rec);
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    // The overlay is still up while this runs: the thumbnail is taken once it has gone, so it
    // shows the monitor and not the darkened overlay.
    mapping_->captureThumbnailSoon(kOverlayGoneMs);
}

void CQX_ScriboDlg::attachKeyboard() {
    using Tracker = MappingPanel::Tracker;
    pressure_->attachKeyboard(platform::toWide(text(u"Main.PressAdjust", u"Pressure")),
                              [this](UINT vk) { return pressure_->onKey(vk, current()); });
    mapping_->attachKeyboard(
        Tracker::Screen, platform::toWide(text(u"Main.ScreenMap", u"Screen")),
        [this](UINT vk) { return mapping_->onTrackerKey(Tracker::Screen, vk, current()); });
    mapping_->attachKeyboard(
        Tracker::Tablet, platform::toWide(text(u"Main.WorkArea", u"Tablet")),
        [this](UINT vk) { return mapping_->onTrackerKey(Tracker::Tablet, vk, current()); });
}

void CQX_ScriboDlg::onDpiChanged(int dpi, const RECT& suggested) {
    const int old = dpi_;
    dpi_ = dpi > 0 ? dpi : platform::dpiOf(hwnd());
    // The dialog's controls and font are scaled by the system; the window takes the suggested
    // rectangle, unless it is collapsed into the notification area: then only the size it is
    // shown with next grows or shrinks.
    RECT r{};
    GetWindowRect(hwnd(), &r);
    if (r.right > r.left) {
        SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        restoreRect_ = suggested;
    } else if (old > 0) {
        restoreRect_.right =
            restoreRect_.left + MulDiv(restoreRect_.right - restoreRect_.left, dpi_, old);
        restoreRect_.bottom =
            restoreRect_.top + MulDiv(restoreRect_.bottom - restoreRect_.top, dpi_, old);
    }
    // Everything measured in pixels is measured again: the info strip's text, the curve's home
    // positions, the previews and trackers (from the record, as when the device is chosen).
    info_.setFontSize(platform::scalePx(kInfoFontPx, dpi_));
    RECT client{};
    GetClientRect(hwnd(), &client);
    pressure_->onDpiChanged(old, dpi_, current(), devices_->deviceKindMask() == kKindMaskRemote);
    mapping_->onDpiChanged(client.right, client.bottom, current(), systemMonitorCount_);
    InvalidateRect(hwnd(), nullptr, TRUE);
}
