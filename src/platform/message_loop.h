// The panel's one message loop. Every dialog of the panel is registered here while its window
// exists; a queued message for a dialog or any of its controls is first offered to the dialogs
// from the innermost outwards (preTranslateMessage: hot-key capture sees Escape, Enter, Tab and
// the arrows before the dialog manager), then to IsDialogMessage of the outermost one, so modeless
// windows get Tab, arrow and mnemonic navigation too.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

namespace platform {

class Dialog;

namespace message_loop {

void registerDialog(Dialog* dialog);
void unregisterDialog(Dialog* dialog);
// How many dialogs of this thread are linked into the loop (for checks).
size_t registeredCount();

// Offers `msg` to the registered dialogs; true when one of them consumed it.
bool preTranslate(MSG& msg);

// Pumps messages until `done()` is true or WM_QUIT arrives (which is posted again for the outer
// loop). Returns false on WM_QUIT.
bool runUntil(const std::function<bool()>& done);

// Handles the messages already queued, without waiting (for tests and for long operations).
void pumpPending();

// ---- modal dialogs and deferred work ------------------------------------------------------------

// Modal dialogs run nested: each runModal pushes its dialog while it runs. modalDepth() is the
// number running (the main window counts when it runs modally).
void pushModal(Dialog* dialog);
void popModal(Dialog* dialog);
size_t modalDepth();
// Ends the modal dialogs from stack position `level` upwards (0 is the outermost), innermost
// first, each with `code`. Their runs return as the stack unwinds.
void endModalsFrom(size_t level, INT_PTR code);
// Ends, innermost first, every modal dialog whose window is owned (directly or through other
// windows) by `root`.
void endModalsOwnedBy(HWND root, INT_PTR code);

// Dialog procedures on the stack: a window object may only be freed when none of its handlers,
// and no dialog it opened, is still running. Work that frees such objects is deferred until
// every dialog procedure has returned.
void enterHandler();
void leaveHandler();
size_t handlerDepth();
// Runs `work` now when no dialog procedure is on the stack, otherwise as soon as the last one
// returns.
void whenUnwound(std::function<void()> work);

}  // namespace message_loop
}  // namespace platform
