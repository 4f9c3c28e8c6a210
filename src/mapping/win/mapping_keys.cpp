// The mapping trackers with the keyboard: each preview is a tab stop while its tracker can be
// changed, and the arrow keys move or resize the tracker through the same operations as a drag.
#include "config/keyboard_steps.h"
#include "mapping/win/mapping_panel.h"
#include "platform/arrow_keys.h"
#include "platform/dpi.h"
#include "platform/geometry.h"
#include "resource.h"

using namespace scribo;

void MappingPanel::attachKeyboard(Tracker which, std::wstring_view name,
                                  platform::KeyboardHost::KeyHandler onKey) {
    platform::KeyboardHost& host = which == Tracker::Screen ? screenKeys_ : tabletKeys_;
    const int id = which == Tracker::Screen ? IDC_SCREEN_PREVIEW : IDC_TABLET_PREVIEW;
    if (!host.attach(item(id), std::move(onKey), [this](bool) { invalidateArea(false); })) return;
    host.setName(name);
    // Until a device shows its trackers there is nothing to move.
    host.setTabStop(false);
}

bool MappingPanel::trackerMovable(Tracker which, const DeviceRecord* rec) const {
    if (!trackersShown(rec)) return false;
    return which == Tracker::Tablet || mapping_.selection() != 0;
}

bool MappingPanel::onTrackerKey(Tracker which, UINT vk, DeviceRecord* rec) {
    const auto key = platform::arrowKeyOf(vk);
    if (!key) return false;
    if (!trackerMovable(which, rec)) return true;
    const KeyStep step =
        arrowStep(*key, platform::KeyboardHost::shiftDown(), platform::dpiOf(dialog_));
    const bool resize = platform::KeyboardHost::controlDown();
    if (which == Tracker::Screen) {
        readScreenPreviewRect();
        const Rect32 r = keyboardTrackerRect(mapping_.screenTrackerRect(),
                                             mapping_.screenPreviewRect(), step, resize);
        mapping_.finishScreenDrag(r, *rec, block_.monitorRects, lock_);
    } else {
        const Rect32 r = keyboardTrackerRect(mapping_.tabletTrackerRect(),
                                             mapping_.tabletPreviewRect(), step, resize);
        mapping_.finishTabletDrag(r, *rec, lock_);
    }
    syncTrackers();
    showFields();
    invalidateArea(true);
    return true;
}

void MappingPanel::drawKeyFocus(HDC dc, const DeviceRecord* rec) {
    // Only a tracker that the keys can move is reached with Tab.
    screenKeys_.setTabStop(trackerMovable(Tracker::Screen, rec));
    tabletKeys_.setTabStop(trackerMovable(Tracker::Tablet, rec));
    const Rect32* r = screenKeys_.focused()   ? &mapping_.screenTrackerRect()
                      : tabletKeys_.focused() ? &mapping_.tabletTrackerRect()
                                              : nullptr;
    if (r == nullptr ||
        !trackerMovable(screenKeys_.focused() ? Tracker::Screen : Tracker::Tablet, rec))
        return;
    RECT focus = platform::toRECT(*r);
    const int gap = platform::scalePx(3, dialog_);
    InflateRect(&focus, gap, gap);
    DrawFocusRect(dc, &focus);
}
