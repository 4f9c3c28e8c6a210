// The pages of the express-key windows as the tests find them: by the controls each kind of
// page has, in tab order under the window's tab control.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

#include "resource.h"

namespace testsupport {

enum class Page { Keys10, Keys16, Keys20, Ring, TrackPad, Lights, Unknown };

inline Page kindOf(HWND page) {
    if (GetDlgItem(page, IDC_KEY_COMBO_FIRST + 19) != nullptr) return Page::Keys20;
    if (GetDlgItem(page, IDC_KEY_COMBO_FIRST + 15) != nullptr) return Page::Keys16;
    if (GetDlgItem(page, IDC_KEY_COMBO_FIRST) != nullptr) return Page::Keys10;
    if (HWND mode = GetDlgItem(page, IDC_TRACKPAD_MODE))
        return (GetWindowLongPtrW(mode, GWL_STYLE) & WS_VISIBLE) != 0 ? Page::TrackPad : Page::Ring;
    if (GetDlgItem(page, IDC_LIGHT_TABLET) != nullptr) return Page::Lights;
    return Page::Unknown;
}

// The pages of an express-key window, in tab order (children of its tab control).
inline std::vector<HWND> pagesOf(HWND window) {
    std::vector<HWND> pages;
    for (HWND c = GetWindow(GetDlgItem(window, IDC_QS_TABS), GW_CHILD); c != nullptr;
         c = GetWindow(c, GW_HWNDNEXT))
        pages.push_back(c);
    // Each page went on top of the previous one: the child list runs against the tab order.
    std::reverse(pages.begin(), pages.end());
    return pages;
}

inline std::vector<Page> pageKinds(HWND window) {
    std::vector<Page> kinds;
    for (HWND p : pagesOf(window)) kinds.push_back(kindOf(p));
    return kinds;
}

inline HWND pageOf(HWND window, Page kind) {
    for (HWND p : pagesOf(window))
        if (kindOf(p) == kind) return p;
    return nullptr;
}

}  // namespace testsupport
