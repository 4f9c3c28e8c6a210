#include "platform/message_loop.h"

#include <algorithm>
#include <vector>

#include "platform/dialog.h"

namespace platform::message_loop {
namespace {

// The panel's windows all live on its one user-interface thread.
thread_local std::vector<Dialog*> t_dialogs;
thread_local std::vector<Dialog*> t_modal;  // outermost first
thread_local size_t t_handlerDepth = 0;
thread_local std::vector<std::function<void()>> t_deferred;

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
    t_modal.erase(std::remove(t_modal.begin(), t_modal.end(), dialog), t_modal.end());
}

void pushModal(Dialog* dialog) { t_modal.push_back(dialog); }

void popModal(Dialog* dialog) {
    t_modal.erase(std::remove(t_modal.begin(), t_modal.end(), dialog), t_modal.end());
}

size_t modalDepth() { return t_modal.size(); }

void endModalsFrom(size_t level, INT_PTR code) {
    // Copied first: ending a dialog may run messages that change the stack.
    const std::vector<Dialog*> running = t_modal;
    for (size_t i = running.size(); i > level; --i) {
        Dialog* d = running[i - 1];
        if (std::find(t_modal.begin(), t_modal.end(), d) != t_modal.end() && !d->ended())
            d->endDialog(code);
    }
}

void endModalsOwnedBy(HWND root, INT_PTR code) {
    if (root == nullptr) return;
    const std::vector<Dialog*> running = t_modal;
    for (size_t i = running.size(); i > 0; --i) {
        Dialog* d = running[i - 1];
        if (std::find(t_modal.begin(), t_modal.end(), d) == t_modal.end() || d->ended()) continue;
        bool owned = false;
        for (HWND h = d->hwnd(); h != nullptr && !owned; h = GetWindow(h, GW_OWNER))
            owned = GetAncestor(h, GA_ROOT) == root || h == root;
        if (owned) d->endDialog(code);
    }
}

void enterHandler() { ++t_handlerDepth; }

void leaveHandler() {
    if (t_handlerDepth > 0) --t_handlerDepth;
    while (t_handlerDepth == 0 && !t_deferred.empty()) {
        std::vector<std::function<void()>> work;
        work.swap(t_deferred);
        ++t_handlerDepth;  // work that sends messages does not run the rest from inside them
        for (auto& w : work) w();
        --t_handlerDepth;
    }
}

size_t handlerDepth() { return t_handlerDepth; }

void whenUnwound(std::function<void()> work) {
    if (t_handlerDepth == 0) {
        work();
        return;
    }
    t_deferred.push_back(std::move(work));
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
