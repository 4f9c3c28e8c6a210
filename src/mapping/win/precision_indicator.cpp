#include "mapping/win/precision_indicator.h"

#include "config/service_protocol.h"
#include "resource.h"

namespace {
constexpr COLORREF kBackground = RGB(11, 11, 11);
constexpr COLORREF kClear = RGB(255, 255, 255);  // the colour key: white shows the desktop
constexpr BYTE kAlpha = 90;
}  // namespace

bool CDlgJXMode::create(HINSTANCE instance) {
    return createModeless(instance, IDD_PRECISION, owner_) != nullptr;
}

void CDlgJXMode::showAt(const scribo::PrecisionIndicatorLayout& l) {
    if (hwnd() == nullptr) return;
    const auto place = [](HWND w, const scribo::Rect32& r) {
        SetWindowPos(w, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(item(IDC_PRECISION_HOLE), l.hole);
    place(item(IDC_PRECISION_CAPTION), l.caption);
    const scribo::Rect32& m = l.monitor;
    SetWindowPos(hwnd(), HWND_TOPMOST, m.left, m.top, m.right - m.left, m.bottom - m.top,
                 SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd());  // so that Escape reaches it
    RedrawWindow(hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CDlgJXMode::hide() {
    if (hwnd() != nullptr) ShowWindow(hwnd(), SW_HIDE);
}

bool CDlgJXMode::preTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam == VK_ESCAPE) {
        // The main window owns the toggle: it switches the mode off and hides us.
        if (IsWindowVisible(hwnd())) SendMessageW(owner_, scribo::WM_PANEL_PRECISION, 0, 0);
        return true;
    }
    return msg.wParam == VK_RETURN;
}

bool CDlgJXMode::handleMessage(UINT msg, WPARAM, LPARAM l, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowTextW(hwnd(), L"Scribo precision");
            background_.reset(CreateSolidBrush(kBackground));
            SetWindowLongPtrW(hwnd(), GWL_EXSTYLE,
                              GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
            SetLayeredWindowAttributes(hwnd(), kClear, kAlpha, LWA_COLORKEY | LWA_ALPHA);
            setText(IDC_PRECISION_CAPTION, caption_);
            result = FALSE;  // no focus to any control
            return true;
        case WM_CTLCOLORDLG:
            result = reinterpret_cast<LRESULT>(background_.get());
            return true;
        case WM_COMMAND:
            return true;  // neither Enter nor Escape ends this window
        default:
            (void)l;
            return false;
    }
}
