// A small dialog base: the HWND is linked to `this` in one place and every message goes to one
// virtual handler. Modal and modeless creation from a template.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

class Dialog {
public:
    virtual ~Dialog();
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    INT_PTR runModal(HINSTANCE instance, int templateId, HWND parent);
    HWND createModeless(HINSTANCE instance, int templateId, HWND parent);
    HWND hwnd() const { return hwnd_; }

protected:
    // Returns true when the message was handled; a value for the sender goes in `result`.
    virtual bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) = 0;

    HWND item(int id) const { return GetDlgItem(hwnd_, id); }
    void setText(int id, std::u16string_view text) const;
    void show(int id, bool visible) const { ShowWindow(item(id), visible ? SW_SHOW : SW_HIDE); }
    void enable(int id, bool enabled) const { EnableWindow(item(id), enabled ? TRUE : FALSE); }

private:
    static INT_PTR CALLBACK proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    HWND hwnd_ = nullptr;
    bool modeless_ = false;
};

}  // namespace platform
