// The main window's express-key windows: the Quick Setting window of the current device and the
// remote's window, which lives while the remote is connected.
#include "config/block_access.h"
#include "config/service_protocol.h"
#include "platform/wide.h"
#include "resource.h"
#include "keys/win/hotkeys_dialog.h"
#include "shell/win/main_window.h"

using namespace scribo;

namespace {

void centreOnItsMonitor(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTOPRIMARY), &mi)) return;
    const RECT& a = mi.rcWork;
    const int x = a.left + ((a.right - a.left) - (r.right - r.left)) / 2;
    const int y = a.top + ((a.bottom - a.top) - (r.bottom - r.top)) / 2;
    SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

win::ExpressServices CQX_ScriboDlg::expressServices() {
    win::ExpressServices s;
    s.instance = instance_;
    s.lang = language_.get();
    s.pictures = &pictures_;
    const HINSTANCE instance = instance_;
    const TIniFile* lang = language_.get();
    s.chooseHotKeys = [instance, lang](HWND owner, int32_t hasRing, int32_t hasTrackPad, int32_t ringCount) {
        return win::runHotKeys(instance, owner, *lang, hasRing, hasTrackPad, ringCount);
    };
    return s;
}

void CQX_ScriboDlg::openQuickSetting() {
    DeviceEntry* entry = devices_ ? devices_->currentDevice() : nullptr;
    if (entry == nullptr || !language_) return;
    if (!quickSet_) quickSet_ = std::make_unique<win::CDlgShortcutKey>(expressServices());
    if (quickSet_->open(hwnd(), link_.block(), lookupSlot(*link_.block(), entry->deviceId)) < 0)
        OutputDebugStringW(L"Scribo: the express-key settings window could not be created\n");
}

void CQX_ScriboDlg::createRemoteWindow() {
    if ((remote_ && remote_->hwnd() != nullptr) || !language_) return;
    remote_ = std::make_unique<win::CDlgRX20>(expressServices());
    remote_->create(hwnd(), link_.block(), lookupSlot(*link_.block(), kRemoteDeviceId));
}

void CQX_ScriboDlg::closeRemoteWindow() { remote_.reset(); }

void CQX_ScriboDlg::showRemoteWindow(bool fromButton) {
    if (!remote_ || remote_->hwnd() == nullptr) {
        createRemoteWindow();
        if (!remote_ || remote_->hwnd() == nullptr) return;
        if (fromButton) {
            SetWindowTextW(remote_->hwnd(), L"Drawing Assistant");
            centreOnItsMonitor(remote_->hwnd());
        }
    }
    SetForegroundWindow(remote_->hwnd());
    ShowWindow(remote_->hwnd(), SW_SHOWNORMAL);
}

void CQX_ScriboDlg::reloadRemoteWindow() {
    if ((devices_->deviceKindMask() & kKindMaskRemote) == 0 || !remote_) return;
    remote_.reset();
    createRemoteWindow();
    if (devices_->deviceKindMask() == kKindMaskRemote && remote_ && remote_->hwnd() != nullptr)
        ShowWindow(remote_->hwnd(), SW_SHOWNORMAL);
}
