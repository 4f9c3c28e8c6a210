// Shell services: the taskbar button of a window, the notification-area icon, the system's
// version.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace platform {

// Adds or removes the window's taskbar button; does nothing when the taskbar-list object cannot
// be created.
void setTaskbarButton(HWND hwnd, bool present);

// The operating system's real major version, whatever the program's manifest declares (6 when
// it cannot be read).
unsigned windowsMajorVersion();

class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon() { remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void configure(HWND owner, UINT callbackMessage, const std::wstring& tip);
    bool add(HICON icon);
    bool change(HICON icon);
    bool readd();  // after the shell restarted
    void remove();
    bool added() const { return added_; }

private:
    NOTIFYICONDATAW data_{};
    bool added_ = false;
};

}  // namespace platform
