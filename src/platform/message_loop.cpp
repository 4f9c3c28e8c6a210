#include "platform/message_loop.h"

#include <algorithm>
#include <vector>

#include "platform/dialog.h"

namespace platform::message_loop {
namespace {

// The panel's windows all live on its one user-interface thread.
thread_local std::vector<Dialog*> t_dialogs;

Dialog* registeredFor(HWND h) {
    for (Dialog* d : t_dialogs)
        if (d->hwnd() == h) return d;
    return nullptr;
}

void dispatch(MSG& msg) {
    if (preTranslate(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

void registerDialog(Dialog* dialog) {
    if (std::find(t_dialogs.begin(), t_dialogs.end(), dialog) == t_dialogs.end())
        t_dialogs.push_back(dialog);
}

void unregisterDialog(Dialog* dialog) {
    t_dialogs.erase(std::remove(t_dialogs.begin(), t_dialogs.end(), dialog), t_dialogs.end());
}

size_t registeredCount() { return t_dialogs.size(); }

bool preTranslate(MSG& msg) {
    if (msg.hwnd == nullptr || t_dialogs.empty()) return false;
    // Walk from the window the message is for up through its parents (child windows only: a
    // pop-up's parent is its owner, which has its own navigation).
    Dialog* outermost = nullptr;
    for (HWND h = msg.hwnd; h != nullptr;) {
        if (Dialog* d = registeredFor(h)) {
            if (d->preTranslateMessage(msg)) return true;
            outermost = d;
        }
        if ((GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) == 0) break;
        h = GetParent(h);
    }
    return outermost != nullptr && outermost->hwnd() != nullptr &&
           IsDialogMessageW(outermost->hwnd(), &msg) != FALSE;
}

bool runUntil(const std::function<bool()>& done) {
    MSG msg;
    while (!done()) {
        const BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (r < 0) return false;
        dispatch(msg);
    }
    return true;
}

void pumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        dispatch(msg);
    }
}

}  // namespace platform::message_loop
