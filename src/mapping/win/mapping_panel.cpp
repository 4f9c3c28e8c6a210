#include "mapping/win/mapping_panel.h"

#include <string>

#include "config/service_protocol.h"
#include "platform/service_link.h"
#include "platform/wide.h"
#include "resource.h"

using namespace scribo;
using platform::toWide;

namespace {

struct RotationRadio {
    int id;
    int rotation;
};
constexpr RotationRadio kRotationRadios[] = {
    {IDC_ROTATE_0, 0}, {IDC_ROTATE_90, 1}, {IDC_ROTATE_180, 2}, {IDC_ROTATE_270, 3}};

Rect32 clientRectOf(HWND dialog, HWND control) {
    RECT r{};
    if (control != nullptr) {
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    }
    return {r.left, r.top, r.right, r.bottom};
}

void setNumber(HWND dialog, int id, int32_t value) {
    SetDlgItemTextW(dialog, id, std::to_wstring(value).c_str());
}

}  // namespace

void MappingPanel::fillMonitorList() {
    HWND combo = item(IDC_MONITOR_LIST);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    const std::wstring full = toWide(language_.readText(u"Dialog_Main", u"Main.FullScreen"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(full.c_str()));
    const std::wstring screen = toWide(language_.readText(u"Dialog_Main", u"Main.ExtScreen"));
    const int count = boundedMonitorCount(block_);
    for (int i = 1; i <= count; ++i) {
        std::wstring text = screen + std::to_wstring(i);
        if (i == block_.primaryMonitor) text += L"[Primary]";
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void MappingPanel::load(DeviceRecord& rec, int systemMonitorCount) {
    mapping_.setScreenPreviewRect(clientRectOf(dialog_, item(IDC_SCREEN_PREVIEW)));
    mapping_.loadDeviceMapping(rec, systemMonitorCount, block_.monitorRects, lock_);
    SendMessageW(item(IDC_MONITOR_LIST), CB_SETCURSEL, static_cast<WPARAM>(mapping_.selection()), 0);
    EnableWindow(item(IDC_SET_SCREEN_AREA), mapping_.selection() != 0 ? TRUE : FALSE);
    showRotation();
    moveTabletPreview();
    showFields();
}

bool MappingPanel::onCommand(int id, int code, DeviceRecord* rec) {
    if (id == IDC_DISPLAY_SETTING) {
        if (code != BN_CLICKED) return true;
        if (!displaySettings_) displaySettings_ = std::make_unique<CDlgDisplaySettings>(block_, language_);
        const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog_, GWLP_HINSTANCE));
        displaySettings_->open(instance, dialog_, rec);
        return true;
    }
    for (const auto& radio : kRotationRadios) {
        if (radio.id != id) continue;
        if (code == BN_CLICKED && rec != nullptr) chooseRotation(radio.rotation, *rec);
        return true;
    }
    return false;
}

void MappingPanel::chooseRotation(int r, DeviceRecord& rec) {
    if (!mapping_.writeRotation(r, rec, lock_)) return;
    // Between the two locked writes and never while the lock is held: the service may take the
    // lock itself while it handles the message.
    if (rec.hasTrackPad != 0 && rec.trackPadId == 1)
        platform::sendToService(WM_SERVICE_TRACKPAD,
                                static_cast<WPARAM>(static_cast<LONG_PTR>(rec.trackPadId)),
                                static_cast<LPARAM>(r));
    mapping_.writeRotatedFullArea(rec, lock_);
    showRotation();
    showFields();
    moveTabletPreview();
    InvalidateRect(dialog_, nullptr, TRUE);
}

void MappingPanel::onAreaSet(DeviceRecord& rec) {
    mapping_.applyNativeArea(rec, lock_);
    showFields();
    invalidateArea();
}

void MappingPanel::showRotation() {
    for (const auto& radio : kRotationRadios)
        CheckDlgButton(dialog_, radio.id, radio.rotation == mapping_.rotation() ? BST_CHECKED : BST_UNCHECKED);
}

void MappingPanel::moveTabletPreview() {
    const Rect32& r = mapping_.tabletPreviewRect();
    if (r.right <= r.left || r.bottom <= r.top) return;
    SetWindowPos(item(IDC_TABLET_PREVIEW), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void MappingPanel::showFields() {
    // Setting a field's text notifies its change; the guard keeps that from writing back.
    if (showingFields_) return;
    showingFields_ = true;
    const Area& s = mapping_.screenFields();
    setNumber(dialog_, IDC_SCREEN_X, s.x);
    setNumber(dialog_, IDC_SCREEN_Y, s.y);
    setNumber(dialog_, IDC_SCREEN_W, s.w);
    setNumber(dialog_, IDC_SCREEN_H, s.h);
    const Area& t = mapping_.tabletArea();
    setNumber(dialog_, IDC_TABLET_X, t.x);
    setNumber(dialog_, IDC_TABLET_Y, t.y);
    setNumber(dialog_, IDC_TABLET_W, t.w);
    setNumber(dialog_, IDC_TABLET_H, t.h);
    showingFields_ = false;
}

void MappingPanel::invalidateArea() {
    const Rect32 r = clientRectOf(dialog_, item(IDC_MAPPING_AREA));
    const RECT area{r.left, r.top, r.right, r.bottom};
    InvalidateRect(dialog_, &area, TRUE);
}

void MappingPanel::closeDialogs() {
    if (displaySettings_) displaySettings_->close(-1);
}
