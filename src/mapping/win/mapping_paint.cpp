// The mapping panel on the screen: the thumbnail, the tablet picture, the frame, the trackers and
// the lines that join the screen area to the tablet area; and the mouse on the trackers.
#include <objidl.h>
#include <gdiplus.h>

#include "config/service_protocol.h"
#include "mapping/win/mapping_panel.h"
#include "platform/dpi.h"
#include "platform/geometry.h"
#include "platform/handles.h"
#include "resource.h"

using namespace scribo;

namespace {

constexpr COLORREF kFrameColour = RGB(12, 112, 200);
constexpr int kTabletPictureSlot = 2;  // pictureIds[2 + rotation]: the tablet pictures

RECT grown(RECT r, int by) {
    InflateRect(&r, by, by);
    return r;
}

}  // namespace

bool MappingPanel::trackersShown(const DeviceRecord* rec) const {
    // Relative positioning does not use the mapping; a pen display maps onto itself.
    return rec != nullptr && rec->deviceKind == kDeviceKindTablet && rec->mouseMode == 0;
}

bool MappingPanel::onLeftButtonDown(POINT p, DeviceRecord* rec) {
    if (!trackersShown(rec)) return false;
    // A small tracker's corner handles lie just outside its rectangle: the tracker's own hit
    // test decides what a click is on.
    using platform::RectTracker;
    if (mapping_.selection() != 0 && screenTracker_.hitTest(p) != RectTracker::kHitNothing) {
        const auto hit = screenTracker_.hitTest(p);
        if (screenTracker_.track(dialog_, p, hit)) {
            const RECT& r = screenTracker_.rect;
            mapping_.finishScreenDrag(platform::toRect32(r), *rec, block_.monitorRects, lock_);
        }
        syncTrackers();
        showFields();
        invalidateArea(true);
        return true;
    }
    if (tabletTracker_.hitTest(p) != RectTracker::kHitNothing) {
        const auto hit = tabletTracker_.hitTest(p);
        if (tabletTracker_.track(dialog_, p, hit)) {
            const RECT& r = tabletTracker_.rect;
            mapping_.finishTabletDrag(platform::toRect32(r), *rec, lock_);
        }
        syncTrackers();
        showFields();
        invalidateArea(true);
        return true;
    }
    return false;
}

bool MappingPanel::onSetCursor(POINT p, const DeviceRecord* rec) const {
    if (!trackersShown(rec)) return false;
    if (mapping_.selection() != 0 && screenTracker_.setCursor(dialog_, p)) return true;
    return tabletTracker_.setCursor(dialog_, p);
}

void MappingPanel::drawTabletPicture(HDC dc, const DeviceRecord& rec) {
    const int rotation = mapping_.rotation();
    if (!isValidRotation(rotation)) return;
    Gdiplus::Bitmap* picture = pictures_.picture(rec.pictureIds[kTabletPictureSlot + rotation]);
    if (picture == nullptr) return;
    const RECT box = platform::childRect(dialog_, IDC_TABLET_PICTURE);
    const int cw = box.right - box.left, ch = box.bottom - box.top;
    const UINT iw = picture->GetWidth(), ih = picture->GetHeight();
    if (cw <= 0 || ch <= 0 || iw == 0 || ih == 0) return;
    const float s = std::min(static_cast<float>(cw) / static_cast<float>(iw),
                             static_cast<float>(ch) / static_cast<float>(ih));
    const int dw = static_cast<int>(static_cast<float>(iw) * s);
    const int dh = static_cast<int>(static_cast<float>(ih) * s);
    Gdiplus::Graphics g(dc);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.TranslateTransform(static_cast<Gdiplus::REAL>(box.left), static_cast<Gdiplus::REAL>(box.top));
    // The pictures of rotations 2 and 3 are those of 0 and 1 upside down.
    if (rotation == 2 || rotation == 3) {
        g.TranslateTransform(static_cast<Gdiplus::REAL>(cw), static_cast<Gdiplus::REAL>(ch));
        g.RotateTransform(180.0f);
    }
    g.DrawImage(picture, (cw - dw) / 2, (ch - dh) / 2, dw, dh);
}

void MappingPanel::paint(HDC dc, const DeviceRecord* rec) {
    readScreenPreviewRect();
    const Rect32& preview = mapping_.screenPreviewRect();
    thumbnail_.paint(dc, {preview.left, preview.top});
    if (rec == nullptr) return;
    drawTabletPicture(dc, *rec);

    // One pixel at 96 dots per inch: the frame and the lines keep their weight at any scale.
    const int line = platform::scalePx(1, dialog_);
    platform::UniquePen pen(CreatePen(PS_SOLID, line, kFrameColour));
    platform::SelectGuard selectPen(dc, pen.get());
    platform::SelectGuard selectBrush(dc, GetStockObject(HOLLOW_BRUSH));
    RECT frame = platform::toRECT(preview);
    if (trackersShown(rec)) {
        if (mapping_.selection() != 0) {
            screenTracker_.draw(dc);
            frame = grown(platform::toRECT(mapping_.screenTrackerRect()), line);
        }
        tabletTracker_.draw(dc);
    }
    const RECT tablet = platform::toRECT(mapping_.tabletTrackerRect());
    const RECT tabletFrame = grown(tablet, line);
    Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
    Rectangle(dc, tabletFrame.left, tabletFrame.top, tabletFrame.right, tabletFrame.bottom);
    const POINT lines[4][2] = {{{frame.left, frame.top}, {tablet.left, tablet.top}},
                               {{frame.right, frame.top}, {tablet.right, tablet.top}},
                               {{frame.left, frame.bottom}, {tablet.left, tablet.bottom}},
                               {{frame.right, frame.bottom}, {tablet.right, tablet.bottom}}};
    for (const auto& line : lines) {
        MoveToEx(dc, line[0].x, line[0].y, nullptr);
        LineTo(dc, line[1].x, line[1].y);
    }
    drawKeyFocus(dc, rec);
}
