#include "platform/dialog.h"

#include "platform/wide.h"

namespace platform {

Dialog::~Dialog() {
    if (modeless_ && hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

INT_PTR Dialog::runModal(HINSTANCE instance, int templateId, HWND parent) {
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent, proc,
                           reinterpret_cast<LPARAM>(this));
}

HWND Dialog::createModeless(HINSTANCE instance, int templateId, HWND parent) {
    modeless_ = true;
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, proc,
                              reinterpret_cast<LPARAM>(this));
}

void Dialog::setText(int id, std::u16string_view text) const {
    SetDlgItemTextW(hwnd_, id, toWide(text).c_str());
}

INT_PTR CALLBACK Dialog::proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(l);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (self == nullptr) return FALSE;
    LRESULT result = 0;
    const bool handled = self->handleMessage(msg, w, l, result);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    if (!handled) return FALSE;
    // WM_INITDIALOG and the messages whose answer is the procedure's own return value.
    switch (msg) {
        case WM_INITDIALOG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return static_cast<INT_PTR>(result);
        default:
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
            return TRUE;
    }
}

}  // namespace platform
