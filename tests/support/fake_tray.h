// A notification area of the test's own: a top-level window of class "Shell_TrayWnd" that records
// what Shell_NotifyIconW sends it, from this process or any other (the panel under test).
//
// Wine's shell32 finds the tray with FindWindowExW(0, 0, "Shell_TrayWnd", 0), i.e. the first
// window of that class in z-order, and sends it WM_COPYDATA: wParam = the icon's owner window,
// dwData = NIM_ADD / NIM_MODIFY / NIM_DELETE / ..., lpData = a fixed-layout copy of the
// NOTIFYICONDATA fields (window as 32 bits, uID, uFlags, uCallbackMessage, then the tip of 128
// units) followed, when an icon was given, by the icon's mask and colour bits. Wine 8 and later
// put the icon's size (width, height, planes, bpp) between uCallbackMessage and the tip; older
// versions put it after the GUID. Which one is in front of us is told from the data (see parse).
//
// Under Wine the explorer process of the desktop keeps a "Shell_TrayWnd" of its own. The fake
// makes itself the one FindWindow finds by being topmost and raised above every other topmost
// window when it starts; winsFindWindow() tells whether that worked, and tests assert it.
//
// The window lives on a thread of its own that pumps messages, so a panel that adds its icon
// while the test thread sleeps or waits is answered at once.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class FakeTray {
public:
    struct Call {
        DWORD action = 0;          // NIM_ADD, NIM_MODIFY, NIM_DELETE, ...
        HWND owner = nullptr;      // the window the icon reports to
        UINT id = 0;               // uID
        UINT flags = 0;            // uFlags (NIF_MESSAGE, NIF_ICON, NIF_TIP, ...)
        UINT callbackMessage = 0;  // meaningful with NIF_MESSAGE
        std::wstring tip;          // meaningful with NIF_TIP
        bool hasIcon = false;      // NIF_ICON with an icon whose bits came along
    };

    FakeTray() {
        std::unique_lock<std::mutex> lock(mutex_);
        thread_ = std::thread([this] { run(); });
        ready_.wait(lock, [this] { return started_; });
    }
    ~FakeTray() {
        if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
        if (thread_.joinable()) thread_.join();
    }
    FakeTray(const FakeTray&) = delete;
    FakeTray& operator=(const FakeTray&) = delete;

    HWND window() const { return window_; }
    // True when Shell_NotifyIconW of any process will talk to this window.
    bool winsFindWindow() const {
        return window_ != nullptr &&
               FindWindowExW(nullptr, nullptr, L"Shell_TrayWnd", nullptr) == window_;
    }
    // Everything received so far, in order.
    std::vector<Call> calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    // The answer Shell_NotifyIconW returns to its caller (TRUE by default; FALSE simulates a
    // shell that refuses the icon).
    void answer(BOOL value) { answer_ = value; }
    // Tells every top-level window that the notification area was (re)created, as a shell does
    // after a restart: the "TaskbarCreated" message, sent with a time-out.
    void announceRestart() const {
        const UINT msg = RegisterWindowMessageW(L"TaskbarCreated");
        SendMessageTimeoutW(HWND_BROADCAST, msg, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 5000,
                            nullptr);
    }

    // Reads one WM_COPYDATA of Shell_NotifyIconW; false when the data is too short to be one.
    // Trusts neither the size nor the pointer beyond what cbData covers.
    static bool parse(DWORD action, const void* data, DWORD size, Call& out) {
        // Window (32 bits), uID, uFlags, uCallbackMessage, then either the icon size (16 bytes)
        // and the tip (Wine 8+) or the tip directly (older), then the rest: 960 bytes in both.
        constexpr DWORD kHead = 16, kIconInfo = 16, kTipUnits = 128, kFixed = 960;
        if (data == nullptr || size < kFixed) return false;
        const auto* bytes = static_cast<const uint8_t*>(data);
        uint32_t head[4];
        std::memcpy(head, bytes, sizeof head);
        out.action = action;
        out.owner = reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(head[0])));
        out.id = head[1];
        out.flags = head[2];
        out.callbackMessage = head[3];
        // Icon size first when those 16 bytes read as one (planes 1, a sane size) or are zero
        // (no icon) in a message that carries a tip further on; otherwise the tip comes first.
        uint32_t info[4];
        std::memcpy(info, bytes + kHead, sizeof info);
        const bool infoZero = info[0] == 0 && info[1] == 0 && info[2] == 0 && info[3] == 0;
        const bool infoIcon = info[2] == 1 && info[0] > 0 && info[0] <= 256 && info[1] > 0 &&
                              info[1] <= 256 && info[3] > 0 && info[3] <= 32;
        const bool iconFirst = infoIcon || infoZero;
        const DWORD tipAt = iconFirst ? kHead + kIconInfo : kHead;
        wchar_t tip[kTipUnits + 1] = {};
        std::memcpy(tip, bytes + tipAt, kTipUnits * sizeof(wchar_t));
        out.tip = (out.flags & NIF_TIP) != 0 ? std::wstring(tip) : std::wstring();
        out.hasIcon = (out.flags & NIF_ICON) != 0 && size > kFixed;
        return true;
    }

private:
    static LRESULT CALLBACK proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<FakeTray*>(GetWindowLongPtrW(w, GWLP_USERDATA));
        if (msg == WM_NCCREATE) {
            self = static_cast<FakeTray*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        if (self != nullptr && msg == WM_COPYDATA) {
            const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            Call call;
            if (cds == nullptr ||
                !parse(static_cast<DWORD>(cds->dwData), cds->lpData, cds->cbData, call))
                return FALSE;
            std::lock_guard<std::mutex> lock(self->mutex_);
            self->calls_.push_back(call);
            return self->answer_.load();
        }
        if (msg == WM_CLOSE) {
            DestroyWindow(w);
            return 0;
        }
        if (msg == WM_DESTROY) {
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcW(w, msg, wp, lp);
    }

    void run() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Shell_TrayWnd";
        RegisterClassW(&wc);
        // Off-screen and without size: it must exist and come first, not be seen.
        HWND w = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"Shell_TrayWnd", L"", WS_POPUP,
                                 -32000, -32000, 0, 0, nullptr, nullptr, wc.hInstance, this);
        if (w != nullptr)
            SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            window_ = w;
            started_ = true;
        }
        ready_.notify_all();
        if (w == nullptr) return;
        MSG m;
        while (GetMessageW(&m, nullptr, 0, 0) > 0) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        UnregisterClassW(L"Shell_TrayWnd", wc.hInstance);
    }

    mutable std::mutex mutex_;
    std::condition_variable ready_;
    bool started_ = false;
    HWND window_ = nullptr;
    std::atomic<BOOL> answer_{TRUE};
    std::vector<Call> calls_;
    std::thread thread_;
};

}  // namespace testsupport
