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
    SendMessageW(listen, msg, w, l);
    return true;
}

}  // namespace platform
