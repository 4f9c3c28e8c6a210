#include "platform/keyboard_host.h"

#include <commctrl.h>

#include <string>

namespace platform {

namespace {
constexpr UINT_PTR kSubclassId = 0x4B48;
}

bool KeyboardHost::attach(HWND control, KeyHandler onKey, FocusHandler onFocus) {
    detach();
    if (control == nullptr) return false;
    if (!SetWindowSubclass(control, proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    control_ = control;
    onKey_ = std::move(onKey);
    onFocus_ = std::move(onFocus);
    setTabStop(true);
    return true;
}

void KeyboardHost::detach() {
    if (control_ != nullptr && IsWindow(control_))
        RemoveWindowSubclass(control_, proc, kSubclassId);
    control_ = nullptr;
}

void KeyboardHost::setName(std::wstring_view name) const {
    if (control_ == nullptr) return;
    std::wstring plain;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == L'&' && i + 1 < name.size()) ++i;  // "&&" stays one '&'
        plain += name[i];
    }
    // Stored by the default handling: a frame static keeps no text of its own.
    DefWindowProcW(control_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(plain.c_str()));
}

void KeyboardHost::setTabStop(bool on) const {
    if (control_ == nullptr) return;
    const LONG_PTR style = GetWindowLongPtrW(control_, GWL_STYLE);
    const LONG_PTR next = on ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    if (next != style) SetWindowLongPtrW(control_, GWL_STYLE, next);
}

LRESULT CALLBACK KeyboardHost::proc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR,
                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<KeyboardHost*>(data);
    switch (msg) {
        case WM_GETDLGCODE:
            // The arrows are ours; Tab, Enter, Escape and the mnemonics stay with the dialog.
            return DefSubclassProc(h, msg, w, l) | DLGC_WANTARROWS;
        case WM_KEYDOWN:
            if (self->onKey_ && self->onKey_(static_cast<UINT>(w))) return 0;
            break;
        case WM_CHAR:
            if (w == L' ') return 0;  // Space is a key of ours (handled at key down), no beep
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            const LRESULT r = DefSubclassProc(h, msg, w, l);
            if (self->onFocus_) self->onFocus_(msg == WM_SETFOCUS);
            return r;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(h, proc, kSubclassId);
            self->control_ = nullptr;
            break;
        default:
            break;
    }
    return DefSubclassProc(h, msg, w, l);
}

}  // namespace platform
