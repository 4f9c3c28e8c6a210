// The live pressure of the pressure group: the bar and the number, one packet at a time. Packets
// come at the pen's full rate, so the bar is drawn straight onto its control and the number is
// only set when it changes.
#include <cwchar>

#include "platform/handles.h"
#include "resource.h"
#include "shell/win/pressure_panel.h"

using namespace scribo;

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
