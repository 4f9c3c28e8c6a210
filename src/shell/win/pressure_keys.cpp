// The pressure curve with the keyboard: the curve box is a tab stop, Space chooses a point and
// the arrow keys move it through the same rules and the same store as a mouse drag.
#include "platform/dpi.h"
#include "platform/handles.h"
#include "mapping/win/arrow_keys.h"
#include "resource.h"
#include "shell/win/pressure_panel.h"

using namespace scribo;

int PressurePanel::pointId(CurvePoint p) const {
    switch (p) {
        case CurvePoint::Start: return IDC_CURVE_START;
        case CurvePoint::Middle: return IDC_CURVE_MIDDLE;
        case CurvePoint::End: return IDC_CURVE_END;
        case CurvePoint::None: break;
    }
    return 0;
}

void PressurePanel::attachKeyboard(std::wstring_view name, platform::KeyboardHost::KeyHandler onKey) {
    if (!keyboard_.attach(item(IDC_CURVE_BOX), std::move(onKey), [this](bool) { redrawBox(); })) return;
    keyboard_.setName(name);
}

bool PressurePanel::onKey(UINT vk, DeviceRecord* rec) {
    if (vk == VK_SPACE) {
        keyPoint_ = nextCurvePoint(keyPoint_, platform::KeyboardHost::shiftDown());
        redrawBox();
        return true;
    }
    const auto key = win::arrowKeyOf(vk);
    if (!key) return false;
    const KeyStep step = arrowStep(*key, platform::KeyboardHost::shiftDown(), platform::dpiOf(dialog_));
    const auto moved = keyMoveCurvePoint(keyPoint_, step.dx, step.dy, points(), boxRect());
    if (!moved) return true;
    movePoint(pointId(keyPoint_), *moved);
    redrawBox();
    // Stored as at the end of a drag; the trackbar stays where it is.
    if (rec != nullptr)
        if (const auto curve = curveFromPoints(points(), boxRect())) writePressureCurve(*rec, *curve, lock_);
    return true;
}

void PressurePanel::drawKeyFocus(HDC dc, const Rect32& box) const {
    if (!keyboard_.focused()) return;
    const int id = pointId(keyPoint_);
    if (id == 0) return;
    // The focus shows as a ring around the point the arrows move.
    RECT r{};
    GetWindowRect(item(id), &r);
    MapWindowPoints(HWND_DESKTOP, dialog_, reinterpret_cast<POINT*>(&r), 2);
    OffsetRect(&r, -box.left, -box.top);
    const int gap = platform::scalePx(2, dialog_);
    InflateRect(&r, gap, gap);
    platform::UniquePen pen(CreatePen(PS_SOLID, platform::scalePx(1, dialog_), RGB(0, 0, 0)));
    platform::SelectGuard selectPen(dc, pen.get());
    platform::SelectGuard selectBrush(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}
