// Messages to the driver service's hidden listen window.
#pragma once

#include <windows.h>

namespace platform {

// The service's listen window, looked up anew for every send (the service may have restarted).
HWND findListenWindow();

// Sends and waits for the service, at most kServiceSendTimeoutMs (while waiting, messages sent
// to this thread are still handled, so a service that notifies the panel meanwhile does not
// deadlock; a hung service is given up on). Returns whether the listen window was found.
inline constexpr UINT kServiceSendTimeoutMs = 3000;
bool sendToService(UINT msg, WPARAM w, LPARAM l);

}  // namespace platform
