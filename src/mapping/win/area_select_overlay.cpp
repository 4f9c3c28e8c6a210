#include "mapping/win/area_select_overlay.h"

#include <windowsx.h>

#include "config/service_protocol.h"
#include "mapping/calibration.h"
#include "platform/geometry.h"
#include "resource.h"

using namespace scribo;

namespace {
constexpr BYTE kOverlayAlpha = 40;
}

CDlgCutWnd::~CDlgCutWnd() {
    if (hwnd() != nullptr) {
        ClipCursor(nullptr);
        info_.setInterval(kInfoTickNormalMs);
    }
    destroy();
}

bool CDlgCutWnd::create(HINSTANCE instance) {
    instance_ = instance;
    return createModeless(instance, IDD_CUT_SCREEN, owner_) != nullptr;
}

void CDlgCutWnd::say(const char16_t* key, unsigned intervalMs) const {
    info_.showText(language_.readText(u"Dialog_Main", key, key), intervalMs);
}

bool CDlgCutWnd::open(int selection) {
    if (hwnd() == nullptr || selection <= 0) return false;
    const Rect32* m = monitorAt(block_, selection);
    if (m == nullptr || m->right <= m->left || m->bottom <= m->top) return false;
    firstSet_ = false;
    // Out of the way of the monitor it covers; it comes back when the region is chosen or the
    // user gives up.
    ShowWindow(owner_, SW_HIDE);
    SetWindowPos(hwnd(), HWND_TOPMOST, m->left, m->top, m->right - m->left, m->bottom - m->top,
                 SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd());
    const Rect32 clip = overlayCursorClip(*m);
    const RECT c = platform::toRECT(clip);
    ClipCursor(&c);
    say(u"Main.CutScreenInfo1", kInfoTickLongMs);
    return true;
}

void CDlgCutWnd::close() {
    firstSet_ = false;
    // A confinement left behind would keep the user's pointer on this monitor.
    ClipCursor(nullptr);
    ShowWindow(hwnd(), SW_HIDE);
}

void CDlgCutWnd::cancel() {
    close();
    info_.setInterval(kInfoTickNormalMs);
    // The main window hid itself for the overlay; it comes back when the user gives up.
    ShowWindow(owner_, SW_SHOWNORMAL);
}

void CDlgCutWnd::onClick(POINT p) {
    if (!firstSet_) {
        firstSet_ = true;
        first_ = {p.x, p.y};
        say(u"Main.CutScreenInfo2", kInfoTickLongMs);
        SetCursor(LoadCursorW(instance_, MAKEINTRESOURCEW(IDC_CORNER_BR)));
        return;
    }
    const auto region = overlayRegion(first_, {p.x, p.y});
    if (!region) {
        // Up or left of the first corner: the first corner stays, the next click tries again.
        say(u"Main.CutScreenInfo3", kInfoTickLongMs);
        return;
    }
    say(u"Main.CutScreenInfo4", kInfoTickNormalMs);
    region_ = platform::toRECT(*region);
    // Synchronously: the main window applies the region before the overlay goes.
    SendMessageW(owner_, WM_PANEL_AREASELECTED, 0, 0);
    close();
}

bool CDlgCutWnd::preTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam == VK_ESCAPE) {
        cancel();
        return true;
    }
    return msg.wParam == VK_RETURN;
}

bool CDlgCutWnd::handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowTextW(hwnd(), L"Scribo screen area");
            black_.reset(CreateSolidBrush(RGB(0, 0, 0)));
            SetWindowLongPtrW(hwnd(), GWL_EXSTYLE,
                              GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
            SetLayeredWindowAttributes(hwnd(), 0, kOverlayAlpha, LWA_ALPHA);
            result = FALSE;
            return true;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            result = reinterpret_cast<LRESULT>(black_.get());
            return true;
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(instance_,
                                  MAKEINTRESOURCEW(firstSet_ ? IDC_CORNER_BR : IDC_CORNER_TL)));
            result = TRUE;
            return true;
        case WM_LBUTTONDOWN: {
            POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
            ClientToScreen(hwnd(), &p);
            onClick(p);
            return true;
        }
        case WM_COMMAND:
            if (LOWORD(w) == IDCANCEL) cancel();
            return true;
        default:
            return false;
    }
}
