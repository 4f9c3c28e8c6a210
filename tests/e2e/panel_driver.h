// Driving the panel from outside in end-to-end tests.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "processes.h"

namespace testsupport {

inline const char kDemoProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\n"
    "[device]\ndeviceId = PID_0374\nproductName = Pad S\ndeviceKind = 0\nhasExpressKeys = 1\n"
    "keyCount = 8\npenModel = 3\ntabletMaxX = 15200\ntabletMaxY = 9500\n"
    "[device]\ndeviceId = PID_0390\nproductName = Display 16\ndeviceKind = 1\nhasExpressKeys = 1\n"
    "[device]\nconnected = 0\ndeviceId = PID_0A31\nproductName = Remote\ndeviceKind = 5\n"
    "[device]\nconnected = 0\ndeviceId = PID_0375\nproductName = Pad L\ndeviceKind = 0\n";

class Panel {
public:
    bool start() {
        if (!process_.start(L"\"" + binDir() + L"\\Scribo.exe\"")) return false;
        // The window exists before its initialisation ends; collapsed means it has ended.
        return waitFor([] {
            RECT r{};
            HWND w = panelWindow();
            return w != nullptr && GetWindowRect(w, &r) && r.right == r.left;
        }, 15000);
    }
    void stop() {
        if (HWND w = panelWindow()) SendMessageTimeoutW(w, 0x41E, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        if (process_.wait(5000) < 0) process_.kill();
    }
    Process& process() { return process_; }
    ~Panel() { stop(); }

private:
    Process process_;
};

inline LRESULT sendToPanel(UINT msg, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(panelWindow(), msg, w, l, SMTO_ABORTIFHUNG, 10000, &result);
    return static_cast<LRESULT>(result);
}

inline bool panelShown() {
    HWND w = panelWindow();
    RECT r{};
    return w != nullptr && IsWindowVisible(w) && GetWindowRect(w, &r) && r.right - r.left > 0;
}

inline int comboCount(int id) {
    return static_cast<int>(SendDlgItemMessageW(panelWindow(), id, CB_GETCOUNT, 0, 0));
}


// The user's configuration file, where the panel saves and the service loads.
inline std::wstring configFile() {
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
    return std::wstring(appData) + L"\\Scribo\\xml\\scribo.xml";
}

// Puts the default configuration tree in place, as the installer does.
inline bool installDefaultConfig() {
    const std::wstring file = configFile();
    SHCreateDirectoryExW(nullptr, file.substr(0, file.find_last_of(L'\\')).c_str(), nullptr);
    return CopyFileW((binDir() + L"\\xml\\scribo.xml").c_str(), file.c_str(), FALSE) != FALSE;
}

}  // namespace testsupport
