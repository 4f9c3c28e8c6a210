// Dots per inch of a window, and pixel sizes given at 96 dots per inch scaled to them. Windows
// 10 answers per monitor (GetDpiForWindow); older systems and Wine builds without it give the
// screen's logical dots per inch.
#pragma once

#include <windows.h>

namespace platform {

inline constexpr int kBaseDpi = 96;

int dpiOf(HWND window);
// A size of `px` pixels at 96 dots per inch, at `dpi`: rounded, and never 0 for a non-zero size.
int scalePx(int px, int dpi);
inline int scalePx(int px, HWND window) { return scalePx(px, dpiOf(window)); }

}  // namespace platform
