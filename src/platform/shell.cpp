#include "platform/shell.h"

#include <shellapi.h>
#include <shobjidl.h>

#include <iterator>

namespace platform {

unsigned windowsMajorVersion() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        auto fn = reinterpret_cast<RtlGetVersionFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
        if (fn != nullptr && fn(&info) == 0) return info.dwMajorVersion;
    }
    return 6;
}

void setTaskbarButton(HWND hwnd, bool present) {
    static const CLSID kTaskbarList = {
        0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
    static const IID kTaskbarListIid = {
        0x56FDF342, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
    ITaskbarList* list = nullptr;
    if (FAILED(CoCreateInstance(kTaskbarList, nullptr, CLSCTX_INPROC_SERVER, kTaskbarListIid,
                                reinterpret_cast<void**>(&list))))
        return;
    if (SUCCEEDED(list->HrInit())) {
        if (present)
            list->AddTab(hwnd);
        else
            list->DeleteTab(hwnd);
    }
    list->Release();
}

void TrayIcon::configure(HWND owner, UINT callbackMessage, const std::wstring& tip) {
    data_ = {};
    data_.cbSize = sizeof data_;
    data_.hWnd = owner;
    data_.uID = 1;
    data_.uCallbackMessage = callbackMessage;
    lstrcpynW(data_.szTip, tip.c_str(), static_cast<int>(std::size(data_.szTip)));
}

bool TrayIcon::add(HICON icon) {
    data_.hIcon = icon;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    added_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    return added_;
}

bool TrayIcon::change(HICON icon) {
    data_.hIcon = icon;
    data_.uFlags = NIF_ICON;
    return Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
}

bool TrayIcon::readd() {
    if (data_.hWnd == nullptr) return false;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    added_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    return added_;
}

void TrayIcon::remove() {
    if (data_.hWnd != nullptr) Shell_NotifyIconW(NIM_DELETE, &data_);
    added_ = false;
}

}  // namespace platform
