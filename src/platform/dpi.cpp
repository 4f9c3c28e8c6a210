#include "platform/dpi.h"

namespace platform {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn dpiForWindow() {
    static const GetDpiForWindowFn fn = [] {
        HMODULE user = GetModuleHandleW(L"user32.dll");
        return user != nullptr ? reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
                                     GetProcAddress(user, "GetDpiForWindow")))
                               : nullptr;
    }();
    return fn;
}

}  // namespace

int dpiOf(HWND window) {
    if (window != nullptr)
        if (GetDpiForWindowFn fn = dpiForWindow())
            if (const UINT dpi = fn(window); dpi > 0) return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

int scalePx(int px, int dpi) {
    if (px == 0) return 0;
    const int s = MulDiv(px, dpi > 0 ? dpi : kBaseDpi, kBaseDpi);
    return s != 0 ? s : (px > 0 ? 1 : -1);
}

}  // namespace platform
