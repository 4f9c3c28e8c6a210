#include "platform/service_link.h"

#include "config/service_protocol.h"
#include "platform/wide.h"

namespace platform {

HWND findListenWindow() {
    return FindWindowW(wz(scribo::kListenWindowClass), wz(scribo::kListenWindowTitle));
}

bool sendToService(UINT msg, WPARAM w, LPARAM l) {
    HWND listen = findListenWindow();
    if (listen == nullptr) return false;
    // A service that stops answering must not freeze the panel: the wait is bounded, and while
    // it lasts the messages the service sends to the panel are still handled.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(listen, msg, w, l, SMTO_NORMAL | SMTO_ABORTIFHUNG, kServiceSendTimeoutMs,
                        &ignored);
    return true;
}

}  // namespace platform
