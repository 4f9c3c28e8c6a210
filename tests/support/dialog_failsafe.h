// A fail-safe for tests that drive a modal dialog of their own process from a timer or another
// thread: when the driver misses the dialog, the modal loop would wait for ever. Armed for `ms`,
// it then closes (Cancel, then the close box) every visible dialog of this process that was not
// there when it was armed, and the test fails.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

namespace testsupport {

class DialogFailSafe {
public:
    explicit DialogFailSafe(DWORD ms = 20000) : ms_(ms) {
        before_ = dialogs();
        thread_ = std::thread([this] {
            const ULONGLONG end = GetTickCount64() + ms_;
            while (!disarmed_ && GetTickCount64() < end) Sleep(20);
            while (!disarmed_) {
                for (HWND d : dialogs()) {
                    if (before_.count(d) != 0) continue;
                    fired_ = true;
                    PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
                    PostMessageW(d, WM_CLOSE, 0, 0);
                }
                Sleep(200);
            }
        });
    }
    ~DialogFailSafe() {
        disarmed_ = true;
        thread_.join();
        EXPECT_FALSE(fired_) << "a dialog was still open after " << ms_
                             << " ms: its driver missed it";
    }
    DialogFailSafe(const DialogFailSafe&) = delete;
    DialogFailSafe& operator=(const DialogFailSafe&) = delete;

private:
    static std::set<HWND> dialogs() {
        std::set<HWND> found;
        EnumWindows(
            [](HWND h, LPARAM out) -> BOOL {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                wchar_t cls[16] = {};
                GetClassNameW(h, cls, 16);
                if (pid == GetCurrentProcessId() && IsWindowVisible(h) &&
                    lstrcmpW(cls, L"#32770") == 0)
                    reinterpret_cast<std::set<HWND>*>(out)->insert(h);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    DWORD ms_;
    std::set<HWND> before_;
    std::atomic<bool> disarmed_{false}, fired_{false};
    std::thread thread_;
};

}  // namespace testsupport
