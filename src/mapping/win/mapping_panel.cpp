#include "mapping/win/mapping_panel.h"

#include <string>

#include "config/service_protocol.h"
#include "platform/dpi.h"
#include "platform/geometry.h"
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

struct FieldId {
    int id;
    AreaField field;
};
constexpr FieldId kTabletFields[] = {{IDC_TABLET_X, AreaField::X},
                                     {IDC_TABLET_Y, AreaField::Y},
                                     {IDC_TABLET_W, AreaField::W},
                                     {IDC_TABLET_H, AreaField::H}};

// Timers of the panel on the main window: a capture after the screen settled, and the refresh
// button's capture with the window out of the way.
constexpr UINT_PTR kTimerCapture = 0x4D41;
constexpr UINT_PTR kTimerRefresh = 0x4D42;
constexpr UINT kMonitorsSettleMs = 500;
constexpr UINT kWindowGoneMs = 250;

// A field is rewritten only when its text differs, so the caret of a field being typed in stays
// where it is, and setting a text never notifies a change that is not one.
void setNumber(HWND dialog, int id, int32_t value) {
    const std::wstring text = std::to_wstring(value);
    wchar_t current[32] = {};
    GetDlgItemTextW(dialog, id, current, static_cast<int>(std::size(current)));
    if (text != current) SetDlgItemTextW(dialog, id, text.c_str());
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

RECT MappingPanel::selectedMonitor() const {
    const Rect32* m = monitorAt(block_, mapping_.selection());
    return m == nullptr ? RECT{} : platform::toRECT(*m);
}

void MappingPanel::readScreenPreviewRect() {
    mapping_.setScreenPreviewRect(
        platform::toRect32(platform::childRect(dialog_, IDC_SCREEN_PREVIEW)));
}

void MappingPanel::load(DeviceRecord& rec, int systemMonitorCount) {
    readScreenPreviewRect();
    mapping_.loadDeviceMapping(rec, systemMonitorCount, block_.monitorRects, lock_);
    SendMessageW(item(IDC_MONITOR_LIST), CB_SETCURSEL, static_cast<WPARAM>(mapping_.selection()),
                 0);
    showRotation();
    moveTabletPreview();
    showFields();
    syncTrackers();
    screenKeys_.setTabStop(trackerMovable(Tracker::Screen, &rec));
    tabletKeys_.setTabStop(trackerMovable(Tracker::Tablet, &rec));
    moveInfoWindow();
    // Copying the desktop is the slowest step of a load (under Wine most of the start-up's own
    // time): while the window is not on the screen it waits until the window thread is idle.
    RECT shown{};
    if (IsWindowVisible(dialog_) && GetWindowRect(dialog_, &shown) && shown.right > shown.left)
        captureThumbnail();
    else
        captureThumbnailSoon(0);
}

void MappingPanel::onDpiChanged(int clientW, int clientH, DeviceRecord* rec,
                                int systemMonitorCount) {
    if (clientW > 0 || clientH > 0) mapping_.setClientSize(clientW, clientH);
    if (rec != nullptr) load(*rec, systemMonitorCount);
}

bool MappingPanel::onCommand(int id, int code, DeviceRecord* rec) {
    if (id == IDC_DISPLAY_SETTING) {
        if (code != BN_CLICKED) return true;
        if (!displaySettings_)
            displaySettings_ = std::make_unique<CDlgDisplaySettings>(block_, language_);
        const auto instance =
            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog_, GWLP_HINSTANCE));
        displaySettings_->open(instance, dialog_, rec);
        return true;
    }
    for (const auto& radio : kRotationRadios) {
        if (radio.id != id) continue;
        if (code == BN_CLICKED && rec != nullptr) chooseRotation(radio.rotation, *rec);
        return true;
    }
    for (const auto& f : kTabletFields) {
        if (f.id != id) continue;
        if (code == EN_UPDATE && rec != nullptr) onFieldUpdated(id, *rec);
        return true;
    }
    switch (id) {
        case IDC_MONITOR_LIST:
            if (code == CBN_SELCHANGE && rec != nullptr) {
                const int i =
                    static_cast<int>(SendMessageW(item(IDC_MONITOR_LIST), CB_GETCURSEL, 0, 0));
                readScreenPreviewRect();
                if (!mapping_.selectMonitor(i, *rec, block_.monitorRects, lock_)) return true;
                afterMonitorChange(true);
            }
            return true;
        case IDC_FULL_AREA:
            if (code == BN_CLICKED && rec != nullptr) {
                mapping_.chooseFullArea(*rec, lock_);
                syncTrackers();
                showFields();
                invalidateArea(true);
            }
            return true;
        case IDC_SCREEN_PORTION:
            if (code == BN_CLICKED && rec != nullptr) {
                mapping_.chooseScreenPortion(*rec, block_.monitorRects, lock_);
                syncTrackers();
                showFields();
                invalidateArea(true);
            }
            return true;
        case IDC_UPDATE_IMAGE:
            if (code == BN_CLICKED) {
                ShowWindow(dialog_, SW_HIDE);
                SetTimer(dialog_, kTimerRefresh, kWindowGoneMs, nullptr);
            }
            return true;
        default:
            return false;
    }
}

void MappingPanel::onFieldUpdated(int id, DeviceRecord& rec) {
    // Setting a field's text notifies its update; the guard keeps that from writing back.
    if (showingFields_) return;
    AreaField field = AreaField::X;
    for (const auto& f : kTabletFields)
        if (f.id == id) field = f.field;
    wchar_t text[32] = {};
    GetDlgItemTextW(dialog_, id, text, static_cast<int>(std::size(text)));
    mapping_.typeTabletAreaField(field, parseAreaFieldText(platform::toU16(text)), rec, lock_);
    showFields();
    syncTrackers();
    invalidateArea(false);
}

void MappingPanel::chooseRotation(int r, DeviceRecord& rec) {
    if (!mapping_.writeRotation(r, rec, lock_)) return;
    // Between the two locked writes and never while the lock is held: the service may take the
    // lock itself while it handles the message.
    if (rec.hasTrackPad != 0 && rec.trackPadId == 1)
        platform::sendToService(
            WM_SERVICE_TRACKPAD,
            static_cast<WPARAM>(static_cast<LONG_PTR>(static_cast<int16_t>(rec.trackPadId))),
            static_cast<LPARAM>(r));
    mapping_.writeRotatedFullArea(rec, lock_);
    showRotation();
    showFields();
    moveTabletPreview();
    syncTrackers();
    InvalidateRect(dialog_, nullptr, TRUE);
}

void MappingPanel::showDefaults(DeviceRecord& rec) {
    readScreenPreviewRect();
    mapping_.showMappingDefaults(rec, block_.monitorRects);
    SendMessageW(item(IDC_MONITOR_LIST), CB_SETCURSEL, 1, 0);
    captureThumbnail();
    showRotation();
    // Outside the lock; here for every trackpad, whatever its id.
    if (rec.hasTrackPad != 0)
        platform::sendToService(
            WM_SERVICE_TRACKPAD,
            static_cast<WPARAM>(static_cast<LONG_PTR>(static_cast<int16_t>(rec.trackPadId))), 0);
    mapping_.refreshTabletPreview(rec);
    moveTabletPreview();
    showFields();
    syncTrackers();
    moveInfoWindow();
    InvalidateRect(dialog_, nullptr, TRUE);
}

void MappingPanel::onAreaSet(DeviceRecord& rec) {
    mapping_.applyNativeArea(rec, lock_);
    showFields();
    syncTrackers();
    invalidateArea(false);
}

void MappingPanel::applySelectedRegion(const RECT& region, DeviceRecord& rec) {
    readScreenPreviewRect();
    mapping_.applySelectedRegion(platform::toRect32(region), rec, block_.monitorRects, lock_);
    showFields();
    syncTrackers();
    invalidateArea(false);
}

void MappingPanel::onMonitorsChanged() {
    fillMonitorList();
    const int current = block_.currentMonitor;
    const int entry = current > 0 && current <= boundedMonitorCount(block_) ? current : 1;
    readScreenPreviewRect();
    if (!mapping_.followMonitor(entry, block_.monitorRects)) return;
    SendMessageW(item(IDC_MONITOR_LIST), CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    // The new monitors need a moment before they show what they will show: capture later,
    // without holding up this thread.
    captureThumbnailSoon(kMonitorsSettleMs);
    showFields();
    syncTrackers();
    invalidateArea(false);
}

void MappingPanel::onSelectMonitor(int entry) {
    if (entry < 0 || entry > boundedMonitorCount(block_)) return;  // not an entry of the list
    readScreenPreviewRect();
    if (!mapping_.followMonitor(entry, block_.monitorRects)) return;
    afterMonitorChange(true);
}

void MappingPanel::onMouseModeChanged(const DeviceRecord* rec) {
    screenKeys_.setTabStop(trackerMovable(Tracker::Screen, rec));
    tabletKeys_.setTabStop(trackerMovable(Tracker::Tablet, rec));
    // The trackers come and go with the mode: drawn again now, not at some later repaint.
    invalidateArea(true);
}

void MappingPanel::afterMonitorChange(bool redrawNow) {
    const int i = mapping_.selection();
    SendMessageW(item(IDC_MONITOR_LIST), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    moveInfoWindow();
    captureThumbnail();
    showFields();
    syncTrackers();
    invalidateArea(redrawNow);
}

void MappingPanel::moveInfoWindow() const {
    const int entry = win::InfoStrip::monitorEntryFor(mapping_.selection());
    if (const Rect32* m = monitorAt(block_, entry)) info_.moveTo(platform::toRECT(*m));
}

void MappingPanel::captureThumbnail() {
    const Rect32& p = mapping_.screenPreviewRect();
    thumbnail_.capture(selectedMonitor(), SIZE{p.right - p.left, p.bottom - p.top});
}

void MappingPanel::captureThumbnailSoon(UINT delayMs) {
    SetTimer(dialog_, kTimerCapture, delayMs, nullptr);
}

void MappingPanel::refreshThumbnail() {
    KillTimer(dialog_, kTimerCapture);
    readScreenPreviewRect();
    captureThumbnail();
    invalidateArea(false);
}

bool MappingPanel::onTimer(UINT_PTR id) {
    if (id != kTimerCapture && id != kTimerRefresh) return false;
    KillTimer(dialog_, id);
    captureThumbnail();
    if (id == kTimerRefresh) {
        ShowWindow(dialog_, SW_SHOWNORMAL);
        showFields();
    }
    invalidateArea(false);
    return true;
}

void MappingPanel::showRotation() {
    for (const auto& radio : kRotationRadios)
        CheckDlgButton(dialog_, radio.id,
                       radio.rotation == mapping_.rotation() ? BST_CHECKED : BST_UNCHECKED);
}

void MappingPanel::moveTabletPreview() {
    const Rect32& r = mapping_.tabletPreviewRect();
    if (r.right <= r.left || r.bottom <= r.top) return;
    SetWindowPos(item(IDC_TABLET_PREVIEW), nullptr, r.left, r.top, r.right - r.left,
                 r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MappingPanel::syncTrackers() {
    screenTracker_.rect = platform::toRECT(mapping_.screenTrackerRect());
    tabletTracker_.rect = platform::toRECT(mapping_.tabletTrackerRect());
    const int handle = platform::scalePx(platform::RectTracker::kHandleSize, dialog_);
    screenTracker_.handleSize = handle;
    tabletTracker_.handleSize = handle;
}

void MappingPanel::showFields() {
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

void MappingPanel::invalidateArea(bool redrawNow) {
    const RECT area = platform::childRect(dialog_, IDC_MAPPING_AREA);
    InvalidateRect(dialog_, &area, TRUE);
    if (redrawNow) UpdateWindow(dialog_);
}

void MappingPanel::closeDialogs() {
    if (displaySettings_) displaySettings_->close(-1);
}
