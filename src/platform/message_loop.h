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

}  // namespace message_loop
}  // namespace platform
