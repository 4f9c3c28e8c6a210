#include "mapping/win/info_link.h"

#include <string>

#include "config/service_protocol.h"
#include "platform/dpi.h"
#include "platform/wide.h"

namespace scribo::win {

namespace {
constexpr int kInfoStripHeight = 40;
}

HWND findInfoWindow() { return FindWindowW(platform::wz(kInfoWindowClass), nullptr); }

void setInfoInterval(unsigned milliseconds) {
    if (HWND info = findInfoWindow())
        SendMessageW(info, WM_INFO_SETINTERVAL, static_cast<WPARAM>(milliseconds), 0);
}

void showInfoText(std::u16string_view text, unsigned milliseconds) {
    HWND info = findInfoWindow();
    if (info == nullptr) return;
    SendMessageW(info, WM_INFO_SETINTERVAL, static_cast<WPARAM>(milliseconds), 0);
    std::u16string copy(text);  // zero-terminated
    COPYDATASTRUCT data{};
    data.dwData = 0;
    data.cbData = static_cast<DWORD>((copy.size() + 1) * sizeof(char16_t));
    data.lpData = copy.data();
    SendMessageW(info, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

void moveInfoWindow(const RECT& m) {
    HWND info = findInfoWindow();
    if (info == nullptr || m.right <= m.left) return;
    const int height = platform::scalePx(kInfoStripHeight, info);
    SetWindowPos(info, nullptr, m.left, m.bottom - height, m.right - m.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace scribo::win
