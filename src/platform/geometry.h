// Win32 rectangles beside the block's Rect32, and a child control's place in its dialog.
#pragma once

#include <windows.h>

#include "config/geometry.h"

namespace platform {

inline RECT toRECT(const scribo::Rect32& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline scribo::Rect32 toRect32(const RECT& r) {
    return scribo::Rect32{r.left, r.top, r.right, r.bottom};
}

// A child window's rectangle in its parent's client coordinates; empty when there is no child.
inline RECT childRect(HWND parent, HWND child) {
    RECT r{};
    if (child == nullptr) return r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
inline RECT childRect(HWND dialog, int id) { return childRect(dialog, GetDlgItem(dialog, id)); }

}  // namespace platform
