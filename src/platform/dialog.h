// A small dialog base: the HWND is linked to `this` in one place and every message goes to one
// virtual handler. Modal dialogs run in the panel's own message loop (platform/message_loop.h),
// so modeless windows keep their keyboard navigation while a modal dialog is up, and a dialog
// can see key messages before the dialog manager.
//
// Lifetime: `destroy()` destroys the window while the object is whole, so the derived handler
// sees WM_DESTROY. The base destructor unlinks `this` before it destroys a window that is still
// there, so no handler ever runs on a half-destroyed object.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Dialog {
public:
    virtual ~Dialog();
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally in the panel's message loop: the owner is disabled while it runs,
    // the window is shown after WM_INITDIALOG unless it ended there. Returns the endDialog code,
    // or -1 when the window could not be created.
    INT_PTR runModal(HINSTANCE instance, int templateId, HWND owner);
    // Creates a modeless dialog; it takes part in the message loop's keyboard navigation.
    HWND createModeless(HINSTANCE instance, int templateId, HWND parent);
    // Ends a modal run with `code` (the window is destroyed when the run returns), or destroys a
    // modeless dialog.
    void endDialog(INT_PTR code);
    // Destroys the window now; the derived handler sees WM_DESTROY and WM_NCDESTROY.
    void destroy();

    HWND hwnd() const { return hwnd_; }
    bool isModal() const { return modal_; }
    bool ended() const { return ended_; }

    // Sees every queued message for this dialog or its controls before the dialog manager does;
    // returns true when it consumed the message (it is then neither translated nor dispatched).
    // The base swallows bare mnemonics of the buttons given to requireAltForMnemonic.
    virtual bool preTranslateMessage(MSG& msg);

protected:
    // Returns true when the message was handled; a value for the sender goes in `result`.
    // Unhandled IDOK/IDCANCEL of a modal dialog end it with that code.
    virtual bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) = 0;

    HWND item(int id) const { return GetDlgItem(hwnd_, id); }
    void setText(int id, std::u16string_view text) const;
    std::u16string itemText(int id) const;
    void show(int id, bool visible) const { ShowWindow(item(id), visible ? SW_SHOW : SW_HIDE); }
    void enable(int id, bool enabled) const { EnableWindow(item(id), enabled ? TRUE : FALSE); }
    // The dialog manager presses a button when its mnemonic letter is typed without Alt while
    // the focus is on a control that takes no characters (another button, a check box). For a
    // button that throws settings away that is one stray key too few: such a button only
    // answers Alt+letter.
    void requireAltForMnemonic(int id) { altOnly_.push_back(id); }
    // True when `msg` is a bare letter that would press one of those buttons.
    bool isBareMnemonicOfProtected(const MSG& msg) const;

private:
    static INT_PTR CALLBACK proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    void unlink();

    HWND hwnd_ = nullptr;
    std::vector<int> altOnly_;
    bool modal_ = false;
    bool ended_ = false;
    INT_PTR code_ = 0;
};

// Takes a modeless dialog out of use: its window hides at once and the modal dialogs it opened
// end (code -1), innermost first; the object itself is deleted only when no dialog procedure is
// on the stack any more, since one of its handlers may still be waiting for such a dialog to
// return and carries on afterwards.
void retireDialog(std::unique_ptr<Dialog> dialog);

}  // namespace platform
