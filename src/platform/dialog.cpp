#include "platform/dialog.h"

#include "platform/message_loop.h"
#include "platform/wide.h"

namespace platform {

Dialog::~Dialog() {
    // The derived part is gone already: unlink first, so the messages that destruction sends
    // reach no handler of this object.
    if (HWND h = hwnd_) {
        unlink();
        if (IsWindow(h)) DestroyWindow(h);
    }
}

void Dialog::unlink() {
    if (hwnd_ != nullptr && IsWindow(hwnd_)) SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    message_loop::unregisterDialog(this);
    hwnd_ = nullptr;
}

INT_PTR Dialog::runModal(HINSTANCE instance, int templateId, HWND owner) {
    modal_ = true;
    ended_ = false;
    code_ = 0;
    HWND top = owner != nullptr ? GetAncestor(owner, GA_ROOT) : nullptr;
    const bool disableOwner = top != nullptr && IsWindowEnabled(top);
    HWND h = CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), owner, proc,
                                reinterpret_cast<LPARAM>(this));
    if (h == nullptr) {
        modal_ = false;
        return -1;
    }
    if (disableOwner && !ended_) EnableWindow(top, FALSE);
    if (!ended_ && hwnd_ != nullptr && (GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) == 0)
        ShowWindow(h, SW_SHOWNORMAL);
    message_loop::pushModal(this);
    message_loop::runUntil([this] { return ended_ || hwnd_ == nullptr; });
    message_loop::popModal(this);
    // Give the activation back to the owner before this window goes.
    if (disableOwner) EnableWindow(top, TRUE);
    const INT_PTR code = code_;
    destroy();
    modal_ = false;
    return code;
}

HWND Dialog::createModeless(HINSTANCE instance, int templateId, HWND parent) {
    modal_ = false;
    ended_ = false;
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, proc,
                              reinterpret_cast<LPARAM>(this));
}

void Dialog::endDialog(INT_PTR code) {
    if (!modal_) {
        destroy();
        return;
    }
    ended_ = true;
    code_ = code;
    if (hwnd_ != nullptr) {
        ShowWindow(hwnd_, SW_HIDE);
        PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the loop that runs this dialog
    }
}

void Dialog::destroy() {
    if (hwnd_ == nullptr) return;
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);  // unlinks at WM_NCDESTROY
    // A window whose parent is already being destroyed (a page deleted while its parent handles
    // WM_DESTROY) may not come back through WM_NCDESTROY yet: unlink now, or the loop and that
    // later WM_NCDESTROY would reach this object after it is gone.
    if (hwnd_ != nullptr) unlink();
}

void retireDialog(std::unique_ptr<Dialog> dialog) {
    if (!dialog) return;
    if (HWND h = dialog->hwnd()) {
        message_loop::endModalsOwnedBy(h, -1);
        ShowWindow(h, SW_HIDE);
    }
    std::shared_ptr<Dialog> retired(std::move(dialog));
    message_loop::whenUnwound([retired]() mutable { retired.reset(); });
}

bool Dialog::preTranslateMessage(MSG& msg) { return isBareMnemonicOfProtected(msg); }

bool Dialog::isBareMnemonicOfProtected(const MSG& msg) const {
    if (msg.message != WM_CHAR || altOnly_.empty() || hwnd_ == nullptr) return false;
    if ((GetKeyState(VK_MENU) & 0x8000) != 0) return false;
    HWND focus = GetFocus();
    if (focus == nullptr || (focus != hwnd_ && !IsChild(hwnd_, focus))) return false;
    // A control that takes the letter itself (an edit, a list's type-ahead) gets it as usual.
    MSG copy = msg;
    const LRESULT code =
        SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&copy));
    if ((code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0) return false;
    const wchar_t typed = static_cast<wchar_t>(reinterpret_cast<uintptr_t>(CharUpperW(
        reinterpret_cast<wchar_t*>(static_cast<uintptr_t>(static_cast<wchar_t>(msg.wParam))))));
    for (int id : altOnly_) {
        HWND button = item(id);
        if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) continue;
        wchar_t text[256] = {};
        GetWindowTextW(button, text, 256);
        for (const wchar_t* p = text; *p != L'\0' && p[1] != L'\0'; ++p) {
            if (*p != L'&') continue;
            if (p[1] == L'&') {
                ++p;  // "&&" is a literal ampersand
                continue;
            }
            const wchar_t mnemonic = static_cast<wchar_t>(reinterpret_cast<uintptr_t>(
                CharUpperW(reinterpret_cast<wchar_t*>(static_cast<uintptr_t>(p[1])))));
            if (mnemonic == typed) return true;
            break;
        }
    }
    return false;
}

void Dialog::setText(int id, std::u16string_view text) const {
    SetDlgItemTextW(hwnd_, id, toWide(text).c_str());
}

std::u16string Dialog::itemText(int id) const {
    HWND h = item(id);
    const int n = h != nullptr ? GetWindowTextLengthW(h) : 0;
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    if (n > 0) GetWindowTextW(h, s.data(), n + 1);
    s.resize(wcslen(s.c_str()));
    return toU16(s);
}

INT_PTR CALLBACK Dialog::proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(l);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        message_loop::registerDialog(self);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (self == nullptr) return FALSE;
    LRESULT result = 0;
    message_loop::enterHandler();
    bool handled = self->handleMessage(msg, w, l, result);
    if (msg == WM_NCDESTROY) {
        self->unlink();
        message_loop::leaveHandler();
        return FALSE;
    }
    if (!handled && msg == WM_COMMAND && self->modal_ &&
        (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL)) {
        self->endDialog(LOWORD(w));
        handled = true;
        result = 0;
    }
    message_loop::leaveHandler();
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
