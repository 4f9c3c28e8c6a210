#include "shell/win/service_link.h"

namespace platform {

HWND findListenWindow() { return FindWindowW(L"ORVA_HIDE_LISTEN_WINDOW", L"QXListen"); }

bool sendToService(UINT msg, WPARAM w, LPARAM l) {
    HWND listen = findListenWindow();
    if (listen == nullptr) return false;
    SendMessageW(listen, msg, w, l);
    return true;
}

}  // namespace platform
