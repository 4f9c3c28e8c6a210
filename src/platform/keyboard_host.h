// Makes a static control that the panel draws over (the pressure curve box, the mapping
// previews) a keyboard control of its own: a tab stop with an accessible name (its window text)
// that takes the arrow keys and tells its owner when it gains or loses the focus. The control
// stays transparent to the mouse, so the owner's mouse handling is unchanged.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

namespace platform {

class KeyboardHost {
public:
    // Returns true when the key was used.
    using KeyHandler = std::function<bool(UINT virtualKey)>;
    using FocusHandler = std::function<void(bool focused)>;

    KeyboardHost() = default;
    KeyboardHost(const KeyboardHost&) = delete;
    KeyboardHost& operator=(const KeyboardHost&) = delete;
    ~KeyboardHost() { detach(); }

    bool attach(HWND control, KeyHandler onKey, FocusHandler onFocus);
    void detach();
    // The name screen readers read; a mnemonic's '&' is left out.
    void setName(std::wstring_view name) const;
    // Only a control that can do something with the keys should be reached with Tab.
    void setTabStop(bool on) const;

    HWND hwnd() const { return control_; }
    bool focused() const { return control_ != nullptr && GetFocus() == control_; }
    static bool shiftDown() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }
    static bool controlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

private:
    static LRESULT CALLBACK proc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR data);

    HWND control_ = nullptr;
    KeyHandler onKey_;
    FocusHandler onFocus_;
};

}  // namespace platform
