// Driving the panel from outside in end-to-end tests.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>

#include "config/service_protocol.h"
#include "processes.h"

namespace testsupport {

inline const char kDemoProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\n"
    "[device]\ndeviceId = PID_0374\nproductName = Pad S\ndeviceKind = 0\nhasExpressKeys = 1\n"
    "keyCount = 8\npenModel = 3\ntabletMaxX = 15200\ntabletMaxY = 9500\n"
    "[device]\ndeviceId = PID_0390\nproductName = Display 16\ndeviceKind = 1\nhasExpressKeys = 1\n"
    "[device]\nconnected = 0\ndeviceId = PID_0A31\nproductName = Remote\ndeviceKind = 5\n"
    "[device]\nconnected = 0\ndeviceId = PID_0375\nproductName = Pad L\ndeviceKind = 0\n";

// The main window exists and is visible (it may be collapsed to zero size).
inline bool panelVisible() {
    HWND w = panelWindow();
    return w != nullptr && IsWindowVisible(w);
}

// Started and living in the notification area: the window is visible but collapsed to zero
// size, which the panel does at the end of its initialisation.
inline bool panelCollapsed() {
    HWND w = panelWindow();
    RECT r{};
    return w != nullptr && IsWindowVisible(w) && GetWindowRect(w, &r) && r.right == r.left;
}

// Shown to the user: visible with its full size.
inline bool panelShown() {
    HWND w = panelWindow();
    RECT r{};
    return w != nullptr && IsWindowVisible(w) && GetWindowRect(w, &r) && r.right - r.left > 0;
}

// The control's own visibility flag, whatever the state of the main window.
inline bool controlShown(int id) {
    HWND c = GetDlgItem(panelWindow(), id);
    return c != nullptr && (GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE) != 0;
}

// Moves the pointer and waits until the X server has it there, so another process reading the
// cursor sees the new place. Empty when it got there; otherwise why not, for the failure message.
// The tests' own X server has no other client: a pointer that stays put means a confinement or a
// grab that a window of the product left behind.
inline std::string moveCursor(int x, int y) {
    POINT p{};
    for (int attempt = 0; attempt < 5; ++attempt) {
        SetCursorPos(x, y);
        Sleep(150);  // past the time Wine trusts its own copy of the position
        if (GetCursorPos(&p) && p.x == x && p.y == y) return {};
        Sleep(500);
    }
    RECT clip{};
    GetClipCursor(&clip);
    wchar_t title[64] = {};
    GetWindowTextW(GetForegroundWindow(), title, 64);
    char text[256];
    std::snprintf(text, sizeof text,
                  "the pointer stays at %ld,%ld instead of %d,%d; confined to %ld,%ld-%ld,%ld; "
                  "foreground window \"%ls\"",
                  p.x, p.y, x, y, clip.left, clip.top, clip.right, clip.bottom, title);
    return text;
}

// The dialogs of process `pid` that are visible.
inline std::set<HWND> visibleDialogs(DWORD pid) {
    struct Find {
        DWORD pid;
        std::set<HWND> found;
    } f{pid, {}};
    EnumWindows(
        [](HWND w, LPARAM l) -> BOOL {
            auto* f = reinterpret_cast<Find*>(l);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t cls[16] = {};
            GetClassNameW(w, cls, 16);
            if (owner == f->pid && IsWindowVisible(w) && std::wstring(cls) == L"#32770")
                f->found.insert(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&f));
    return f.found;
}

// Does what `open` starts, waits for the dialog of process `pid` it brings, and closes that with
// Escape. Returns its title; empty if no window came.
inline std::wstring openAndCloseWindow(DWORD pid, const std::function<void()>& open) {
    const std::set<HWND> before = visibleDialogs(pid);
    open();
    HWND opened = nullptr;
    waitFor(
        [&] {
            for (HWND w : visibleDialogs(pid))
                if (before.count(w) == 0) opened = w;
            return opened != nullptr;
        },
        10000);
    if (opened == nullptr) return {};
    wchar_t title[128] = {};
    GetWindowTextW(opened, title, 128);
    PostMessageW(opened, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(opened); }, 10000))
        << "Escape leaves open: " << title;
    // The panel is idle again (an overlay brings the main window back as it goes).
    DWORD_PTR r = 0;
    SendMessageTimeoutW(panelWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 20000, &r);
    return title;
}

class Panel {
public:
    // Starts Scribo.exe from the test layout and waits until its initialisation has ended.
    bool start() {
        if (!process_.start(L"\"" + layoutDir() + L"\\Scribo.exe\"")) return false;
        return waitFor(panelCollapsed, 30000);
    }
    // Ends the panel as the service does; its exit code, -1 when it had to be killed.
    long stop() {
        if (!process_.started()) return -1;
        if (process_.running())
            if (HWND w = panelWindow())
                SendMessageTimeoutW(w, scribo::WM_PANEL_EXIT, 0, 0, SMTO_ABORTIFHUNG, 10000,
                                    nullptr);
        const long code = process_.wait(10000);
        process_.kill();
        return code;
    }
    Process& process() { return process_; }
    ~Panel() { stop(); }

private:
    Process process_;
};

// Sends a message to the panel and returns its answer; a send that fails or times out fails the
// test, so a check made afterwards knows the message was handled.
inline LRESULT sendToPanel(UINT msg, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(panelWindow(), msg, w, l, SMTO_NORMAL, 20000, &result))
        ADD_FAILURE() << "message 0x" << std::hex << msg << " was not handled by the panel";
    return static_cast<LRESULT>(result);
}

inline int comboCount(int id) {
    return static_cast<int>(sendItemOrFail(panelWindow(), id, CB_GETCOUNT, 0, 0));
}

// The user's configuration file, where the panel saves and the service loads. The panel has
// no other place for it, so tests that save put the default tree back when they end.
inline std::wstring configFile() {
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
    return std::wstring(appData) + L"\\Scribo\\xml\\scribo.xml";
}

// Puts the default configuration tree in place, as the installer does.
inline bool installDefaultConfig() {
    const std::wstring file = configFile();
    SHCreateDirectoryExW(nullptr, file.substr(0, file.find_last_of(L'\\')).c_str(), nullptr);
    return CopyFileW((layoutDir() + L"\\xml\\scribo.xml").c_str(), file.c_str(), FALSE) != FALSE;
}

// The stand-in that the panel started itself (no ServiceSim owns it): asks it to quit and
// returns its exit code, -1 when none runs or it did not end.
inline long quitStandInStartedByPanel() {
    HWND listen = listenWindow();
    if (listen == nullptr) return -1;
    DWORD pid = 0;
    GetWindowThreadProcessId(listen, &pid);
    platform::UniqueHandle process(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process) return -1;
    simCommand("quit");
    if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<long>(code);
}

}  // namespace testsupport
