// The main window's express-key windows: the Quick Setting window of the current device and the
// remote's window, which lives while the remote is connected.
#include "config/block_access.h"
#include "config/service_protocol.h"
#include "keys/win/hotkeys_dialog.h"
#include "platform/message_loop.h"
#include "platform/wide.h"
#include "resource.h"
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
    s.chooseHotKeys = [instance, lang](HWND owner, int32_t hasRing, int32_t hasTrackPad,
                                       int32_t ringCount) {
        return win::runHotKeys(instance, owner, *lang, hasRing, hasTrackPad, ringCount);
    };
    return s;
}

DeviceBinding CQX_ScriboDlg::bindCurrent() const {
    const DeviceEntry* entry = devices_ ? devices_->currentDevice() : nullptr;
    if (entry == nullptr || link_.block() == nullptr || devices_->currentRecord() == nullptr)
        return {};
    return generations_.bindDevice(*link_.block(), entry->deviceId);
}

void CQX_ScriboDlg::openQuickSetting() {
    // An entry without a record has nothing to edit: never another slot's device in its place.
    DeviceBinding binding = bindCurrent();
    if (!binding.valid() || !language_) return;
    if (!quickSet_) quickSet_ = std::make_unique<win::CDlgShortcutKey>(expressServices());
    if (quickSet_->hwnd() != nullptr) return;
    if (quickSet_->open(hwnd(), std::move(binding)) < 0)
        OutputDebugStringW(L"Scribo: the express-key settings window could not be created\n");
}

void CQX_ScriboDlg::createRemoteWindow() {
    if ((remote_ && remote_->hwnd() != nullptr) || !language_) return;
    remote_ = std::make_unique<win::CDlgRX20>(expressServices());
    remote_->create(hwnd(), generations_.bindDevice(*link_.block(), kRemoteDeviceId));
}

void CQX_ScriboDlg::closeRemoteWindow() {
    if (!remote_) return;
    // The window goes out of sight and its dialogs end now; the object itself goes once every
    // handler on the stack has returned, because one of its pages may be waiting for a dialog
    // it opened (a program, a custom function, a ring setting) to return.
    remote_->binding().release();
    platform::retireDialog(std::move(remote_));
}

void CQX_ScriboDlg::onDeviceEvent(bool reload) {
    generations_.bump();
    // The pen-button dialogs belong to the device the panels show, which an event may change.
    if (pen_) pen_->cancelPending();
    if (mapping_) mapping_->closeDialogs();
    if (mappingTools_) mappingTools_->onDeviceEvent(reload);
    if (quickSet_ && quickSet_->hwnd() != nullptr && (reload || !quickSet_->binding().rebind()))
        quickSet_->close(-1);
    if (remote_ && !reload && !remote_->binding().rebind()) closeRemoteWindow();
}

void CQX_ScriboDlg::loadCurrentIfAppeared() {
    if (devices_) applyActions(devices_->refresh());
}

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
    // The remote's window shows what the block held before the reload: it is made anew, also
    // when it had not been made yet or was lost.
    if ((devices_->deviceKindMask() & kKindMaskRemote) == 0) return;
    closeRemoteWindow();
    createRemoteWindow();
    if (devices_->deviceKindMask() == kKindMaskRemote && remote_ && remote_->hwnd() != nullptr)
        ShowWindow(remote_->hwnd(), SW_SHOWNORMAL);
}
