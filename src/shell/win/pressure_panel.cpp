#include "shell/win/pressure_panel.h"

#include <objidl.h>
#include <commctrl.h>
#include <cwchar>
#include <gdiplus.h>

#include "platform/arrow_keys.h"
#include "platform/dpi.h"
#include "platform/geometry.h"
#include "platform/handles.h"
#include "resource.h"

using namespace scribo;

namespace {

constexpr COLORREF kPointColour = RGB(255, 0, 0);
constexpr float kCurveWidth = 2.0f;

}  // namespace

void PressurePanel::initTrackbar() {
    SendDlgItemMessageW(dialog_, IDC_HARDNESS, TBM_SETRANGE, TRUE,
                        MAKELPARAM(kHardnessSoftest, kHardnessHardest));
    SendDlgItemMessageW(dialog_, IDC_HARDNESS, TBM_SETTICFREQ, 1, 0);
}

Rect32 PressurePanel::clientRect(int id) const {
    return platform::toRect32(platform::childRect(dialog_, id));
}

Rect32 PressurePanel::boxRect() const { return clientRect(IDC_CURVE_BOX); }

CurvePoints PressurePanel::points() const {
    return {clientRect(IDC_CURVE_START), clientRect(IDC_CURVE_MIDDLE), clientRect(IDC_CURVE_END)};
}

void PressurePanel::takeHomePositions() {
    if (homeTaken_) return;
    home_ = points();
    homeTaken_ = true;
}

void PressurePanel::load(const DeviceRecord& rec) {
    meter_.displayMode = rec.pressureScaleMode;
    SendDlgItemMessageW(dialog_, IDC_HARDNESS, TBM_SETPOS, TRUE,
                        trackbarPosition(rec.pressureCurve[1]));
}

void PressurePanel::movePoint(int id, const Rect32& r) {
    MoveWindow(item(id), r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

void PressurePanel::movePoints(const CurvePoints& p) {
    movePoint(IDC_CURVE_START, p.start);
    movePoint(IDC_CURVE_MIDDLE, p.middle);
    movePoint(IDC_CURVE_END, p.end);
}

void PressurePanel::redrawBox() {
    HWND box = item(IDC_CURVE_BOX);
    InvalidateRect(box, nullptr, FALSE);
    UpdateWindow(box);
}

void PressurePanel::placePoints(DeviceRecord* rec, bool remoteOnly) {
    if (rec == nullptr || !homeTaken_) return;
    if (remoteOnly) writePressureCurve(*rec, kDefaultCurve, lock_);
    const Rect32 box = boxRect();
    movePoints(scribo::placeCurvePoints(readPressureCurve(*rec), home_, box.right - box.left,
                                        box.bottom - box.top));
    redrawBox();
}

void PressurePanel::reset(DeviceRecord* rec) {
    if (rec == nullptr) return;
    writePressureCurve(*rec, kDefaultCurve, lock_);
    if (homeTaken_) movePoints(home_);
    redrawBox();
}

void PressurePanel::showDefaults() {
    if (homeTaken_) movePoints(home_);
    redrawBox();
    SendDlgItemMessageW(dialog_, IDC_HARDNESS, TBM_SETPOS, TRUE, kDefaultTrackbarPosition);
}

bool PressurePanel::onCommand(int id, int code, DeviceRecord* rec) {
    if (id != IDC_CURVE_DEFAULT) return false;
    if (code == BN_CLICKED) reset(rec);
    return true;
}

bool PressurePanel::onVScroll(HWND bar, DeviceRecord* rec) {
    if (bar == nullptr || bar != item(IDC_HARDNESS)) return false;
    if (rec == nullptr) return true;
    const int position = static_cast<int>(SendMessageW(bar, TBM_GETPOS, 0, 0));
    writePressureCurve(*rec, curveForTrackbar(position), lock_);
    placePoints(rec, false);
    return true;
}

void PressurePanel::onButtonDown(POINT client) {
    dragged_ = hitCurvePoint(points(), Point32{client.x, client.y});
    // Captured so that the drag also ends (and is stored) when the button comes up outside the
    // window; otherwise the point would stay stuck to the cursor.
    if (dragged_ == CurvePoint::None) return;
    SetCapture(dialog_);
    // The keyboard carries on with the point the mouse took.
    keyPoint_ = dragged_;
    if (keyboard_.hwnd() != nullptr) SetFocus(keyboard_.hwnd());
}

bool PressurePanel::onMouseMove(POINT client) {
    if (dragged_ == CurvePoint::None) return true;
    const auto moved = dragCurvePoint(dragged_, Point32{client.x, client.y}, points(), boxRect());
    if (!moved) return false;
    movePoint(pointId(dragged_), *moved);
    redrawBox();
    return true;
}

void PressurePanel::onButtonUp(DeviceRecord* rec) {
    if (dragged_ == CurvePoint::None) return;
    dragged_ = CurvePoint::None;
    if (GetCapture() == dialog_) ReleaseCapture();
    if (rec == nullptr) return;
    if (const auto curve = curveFromPoints(points(), boxRect()))
        writePressureCurve(*rec, *curve, lock_);
}

void PressurePanel::draw(HDC target, const RECT& area) const {
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return;
    // Drawn off screen and copied in one go, so a drag never flickers.
    platform::UniqueMemoryDc dc(CreateCompatibleDC(target));
    platform::UniqueBitmap bitmap(CreateCompatibleBitmap(target, w, h));
    if (!dc || !bitmap) return;
    platform::SelectGuard keepBitmap(dc.get(), bitmap.get());
    platform::SelectGuard pen(dc.get(), GetStockObject(BLACK_PEN));
    platform::SelectGuard brush(dc.get(), GetStockObject(WHITE_BRUSH));
    Rectangle(dc.get(), 0, 0, w, h);

    // Points are kept in the main window's client coordinates; the box draws in its own.
    const Rect32 box = boxRect();
    const CurvePoints p = points();
    platform::UniqueBrush red(CreateSolidBrush(kPointColour));
    for (const Rect32* r : {&p.start, &p.middle, &p.end}) {
        RECT inBox = platform::toRECT(*r);
        OffsetRect(&inBox, -box.left, -box.top);
        FillRect(dc.get(), &inBox, red.get());
    }
    {
        const CurveBezier b = curveBezier(p);
        const auto at = [&](Point32 q) { return Gdiplus::Point(q.x - box.left, q.y - box.top); };
        Gdiplus::Graphics g(dc.get());
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        const float width =
            kCurveWidth * static_cast<float>(platform::dpiOf(dialog_)) / platform::kBaseDpi;
        Gdiplus::Pen blue(Gdiplus::Color(0xFF, 0x00, 0x00, 0xFF), width);
        g.DrawBezier(&blue, at(b.from), at(b.control), at(b.control), at(b.to));
    }
    drawKeyFocus(dc.get(), box);
    BitBlt(target, area.left, area.top, w, h, dc.get(), 0, 0, SRCCOPY);
}

// ---- Live pressure: the bar and the number, one packet at a time. Packets come at the pen's full
// rate, so the bar is drawn straight onto its control and the number is only set when it changes.

namespace {

constexpr COLORREF kBarColour = RGB(0x00, 0x78, 0xDE);

}  // namespace

void PressurePanel::drawBar(HDC dc, const RECT& bar) const {
    FillRect(dc, &bar, GetSysColorBrush(COLOR_BTNFACE));
    if (!meter_.barDrawn || barFill_ == 0) return;
    const RECT filled{bar.left, bar.top, bar.left + static_cast<LONG>(barFill_), bar.bottom};
    platform::UniqueBrush brush(CreateSolidBrush(kBarColour));
    FillRect(dc, &filled, brush.get());
}

void PressurePanel::onPacket(uint32_t pressure, bool cursorInWindow) {
    HWND bar = item(IDC_PRESSURE_BAR);
    RECT r{};
    GetClientRect(bar, &r);
    const int32_t before = meter_.shownValue;
    const bool wasDrawn = meter_.barDrawn;
    const MeterUpdate u = updatePressureMeter(meter_, r.right - r.left, pressure, cursorInWindow);
    if (u.action == MeterAction::None) return;
    const uint32_t fill = u.action == MeterAction::Draw ? u.fill : 0;
    if (fill != barFill_ || wasDrawn != meter_.barDrawn) {
        barFill_ = fill;
        platform::WindowDc dc(bar);
        if (dc) drawBar(dc.get(), r);
    }
    // The number is set on every change and whenever the bar is cleared ("0" shown again).
    if (u.text != before || u.action == MeterAction::Clear || !wasDrawn) {
        wchar_t text[16];
        std::swprintf(text, 16, L"%d", u.text);
        SetDlgItemTextW(dialog_, IDC_PRESSURE_VALUE, text);
    }
}

// ---- The curve with the keyboard: the curve box is a tab stop, Space chooses a point and the
// arrow keys move it through the same rules and the same store as a mouse drag.

int PressurePanel::pointId(CurvePoint p) const {
    switch (p) {
        case CurvePoint::Start:
            return IDC_CURVE_START;
        case CurvePoint::Middle:
            return IDC_CURVE_MIDDLE;
        case CurvePoint::End:
            return IDC_CURVE_END;
        case CurvePoint::None:
            break;
    }
    return 0;
}

void PressurePanel::attachKeyboard(std::wstring_view name,
                                   platform::KeyboardHost::KeyHandler onKey) {
    if (!keyboard_.attach(item(IDC_CURVE_BOX), std::move(onKey), [this](bool) { redrawBox(); }))
        return;
    keyboard_.setName(name);
}

bool PressurePanel::onKey(UINT vk, DeviceRecord* rec) {
    if (vk == VK_SPACE) {
        keyPoint_ = nextCurvePoint(keyPoint_, platform::KeyboardHost::shiftDown());
        redrawBox();
        return true;
    }
    const auto key = platform::arrowKeyOf(vk);
    if (!key) return false;
    const KeyStep step =
        arrowStep(*key, platform::KeyboardHost::shiftDown(), platform::dpiOf(dialog_));
    const auto moved = keyMoveCurvePoint(keyPoint_, step.dx, step.dy, points(), boxRect());
    if (!moved) return true;
    movePoint(pointId(keyPoint_), *moved);
    redrawBox();
    // Stored as at the end of a drag; the trackbar stays where it is.
    if (rec != nullptr)
        if (const auto curve = curveFromPoints(points(), boxRect()))
            writePressureCurve(*rec, *curve, lock_);
    return true;
}

void PressurePanel::drawKeyFocus(HDC dc, const Rect32& box) const {
    if (!keyboard_.focused()) return;
    const int id = pointId(keyPoint_);
    if (id == 0) return;
    // The focus shows as a ring around the point the arrows move.
    RECT r = platform::childRect(dialog_, id);
    OffsetRect(&r, -box.left, -box.top);
    const int gap = platform::scalePx(2, dialog_);
    InflateRect(&r, gap, gap);
    platform::UniquePen pen(CreatePen(PS_SOLID, platform::scalePx(1, dialog_), RGB(0, 0, 0)));
    platform::SelectGuard selectPen(dc, pen.get());
    platform::SelectGuard selectBrush(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

// ---- A screen with other dots per inch.

void PressurePanel::onDpiChanged(int oldDpi, int newDpi, DeviceRecord* rec, bool remoteOnly) {
    rescaleHomePositions(oldDpi, newDpi);
    placePoints(rec, remoteOnly);
}

void PressurePanel::rescaleHomePositions(int oldDpi, int newDpi) {
    if (!homeTaken_ || oldDpi <= 0 || newDpi <= 0 || oldDpi == newDpi) return;
    // Client coordinates scale about the client origin, as the dialog's own controls do.
    for (Rect32* r : {&home_.start, &home_.middle, &home_.end}) {
        const int w = MulDiv(r->right - r->left, newDpi, oldDpi);
        const int h = MulDiv(r->bottom - r->top, newDpi, oldDpi);
        r->left = MulDiv(r->left, newDpi, oldDpi);
        r->top = MulDiv(r->top, newDpi, oldDpi);
        r->right = r->left + w;
        r->bottom = r->top + h;
    }
}
