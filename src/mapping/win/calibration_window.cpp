#include "mapping/win/calibration_window.h"

#include <windowsx.h>

#include "platform/dpi.h"
#include "platform/handles.h"
#include "resource.h"

using namespace scribo;

namespace {
constexpr int kCrossArm = 10;
constexpr int kCrossWidth = 3;
constexpr COLORREF kCrossColour = RGB(255, 0, 0);
}  // namespace

CDlgCheckDisplay::~CDlgCheckDisplay() {
    cancel();
    destroy();
}

bool CDlgCheckDisplay::create(HINSTANCE instance, HWND owner, DeviceBinding binding,
                              int currentMonitor) {
    DeviceRecord* rec = binding.record();
    if (rec == nullptr || !session_.start(block_, currentMonitor)) return false;
    binding_ = std::move(binding);
    finished_ = false;
    std::copy(std::begin(rec->displayCalib), std::end(rec->displayCalib), previous_.begin());
    resetCalibration(*rec, lock_);
    if (createModeless(instance, IDD_CHECK_DISPLAY, owner) == nullptr) {
        cancel();
        return false;
    }
    bringToFront();
    return true;
}

void CDlgCheckDisplay::cancel() {
    if (!finished_) {
        finished_ = true;
        if (DeviceRecord* rec = binding_.record()) writeCalibration(*rec, previous_, lock_);
    }
    binding_.release();
    destroy();
}

void CDlgCheckDisplay::bringToFront() {
    const Rect32& m = session_.monitor();
    SetWindowPos(hwnd(), HWND_TOPMOST, m.left, m.top, m.right - m.left, m.bottom - m.top,
                 SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd());
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void CDlgCheckDisplay::paintTarget(HDC dc) const {
    const Point32 t = session_.currentTarget();
    const int dpi = platform::dpiOf(hwnd());
    const int arm = platform::scalePx(kCrossArm, dpi);
    platform::UniquePen pen(CreatePen(PS_SOLID, platform::scalePx(kCrossWidth, dpi), kCrossColour));
    platform::SelectGuard select(dc, pen.get());
    MoveToEx(dc, t.x - arm, t.y, nullptr);
    LineTo(dc, t.x + arm, t.y);
    MoveToEx(dc, t.x, t.y - arm, nullptr);
    LineTo(dc, t.x, t.y + arm);
}

bool CDlgCheckDisplay::preTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam == VK_ESCAPE) {
        cancel();
        return true;
    }
    return msg.wParam == VK_RETURN;
}

bool CDlgCheckDisplay::handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowTextW(hwnd(), L"Scribo calibration");
            result = FALSE;
            return true;
        case WM_PAINT: {
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(hwnd(), &ps);
            paintTarget(dc);
            EndPaint(hwnd(), &ps);
            return true;
        }
        case WM_LBUTTONDOWN:
            switch (session_.tap({GET_X_LPARAM(l), GET_Y_LPARAM(l)})) {
                case CalibrationSession::Tap::Ignored:
                    break;
                case CalibrationSession::Tap::Recorded:
                    InvalidateRect(hwnd(), nullptr, TRUE);
                    break;
                case CalibrationSession::Tap::Finished:
                    // Written only into the device that was calibrated.
                    finished_ = true;
                    if (DeviceRecord* rec = binding_.record())
                        writeCalibration(*rec, session_.factors(), lock_);
                    binding_.release();
                    destroy();
                    break;
            }
            return true;
        case WM_COMMAND:
            (void)w;
            return true;  // Enter and Escape are handled before the dialog manager
        default:
            return false;
    }
}
