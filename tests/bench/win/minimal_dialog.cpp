// The smallest dialog program started the way the panel is: collapsed after initialisation,
// shown again on message 0x417, ended on 0x41E. The yardstick for the panel's timings. Built
// twice: with a one-button template, and with the panel's own main-window template and manifest
// (TEMPLATE_ID 102), so the cost of the template's controls is measured apart from our code.
#include <windows.h>

#ifndef TEMPLATE_ID
#define TEMPLATE_ID 100
#endif

static RECT g_rect;

static INT_PTR CALLBACK proc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            GetWindowRect(hwnd, &g_rect);
            SetWindowPos(hwnd, nullptr, g_rect.left, g_rect.top, 0, 0,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return TRUE;
        case 0x417:
            SetWindowPos(hwnd, HWND_TOP, g_rect.left, g_rect.top, g_rect.right - g_rect.left,
                         g_rect.bottom - g_rect.top, 0);
            ShowWindow(hwnd, SW_SHOWNORMAL);
            return TRUE;
        case 0x41E:
        case WM_CLOSE:
            EndDialog(hwnd, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return static_cast<int>(
        DialogBoxParamW(instance, MAKEINTRESOURCEW(TEMPLATE_ID), nullptr, proc, 0));
}
