// ScriboService.exe stand-in: creates the named objects, fills the shared block from a device
// profile, owns the hidden listen window, logs every message it receives and, on command, raises
// the notifications the real service sends to the panel.
//
//   ScriboService.exe [--profile FILE] [--log FILE] [--config FILE]
//                                                     run (defaults: demo.profile,
//                                                     ScriboService.log next to the program,
//                                                     the panel's configuration file path)
//   ScriboService.exe --send COMMAND [ARGS...]        hand a command to the running stand-in
//
// Commands: arrive PID [nofill] | remove PID | monitors | selectmonitor N | areaset X Y W H [SLOT]
//   | precision | ink 0|1 | trayicon N | reload | exit | show | info TEXT | send MSG W L | post MSG W L
//   | set SLOT FIELD VALUE | hold MS | quit
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "config/block_access.h"
#include "config/service_protocol.h"
#include "config_load.h"
#include "device_profile.h"
#include "platform/handles.h"
#include "platform/profile_source.h"
#include "platform/wide.h"
#include "sim_commands.h"

using platform::UniqueHandle;
using namespace scribo;

namespace {

constexpr wchar_t kListenClass[] = L"ORVA_HIDE_LISTEN_WINDOW";
constexpr wchar_t kListenTitle[] = L"QXListen";

struct Service {
    UniqueHandle serviceMutex, mapping, blockMutex, setAreaEvent, log;
    platform::MappedView view;
    SharedBlock* block = nullptr;
    sim::DeviceProfile profile;
    std::wstring configPath;
    HWND listen = nullptr;
};
Service g;

std::string narrow(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

void logLine(const std::string& line) {
    if (!g.log) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(g.log.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void writeOut(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

std::string hex(unsigned long long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llX", v);
    return buf;
}

HWND panelWindow() { return FindWindowW(L"#32770", L"QM53"); }

// Notifications go to the panel with a blocking send, as the real service does; -1 = no panel.
LRESULT notifyPanel(UINT msg, WPARAM w, LPARAM l) {
    HWND panel = panelWindow();
    if (panel == nullptr) {
        logLine("notify " + hex(msg) + " dropped: no panel");
        return -1;
    }
    const LRESULT r = SendMessageW(panel, msg, w, l);
    logLine("notify " + hex(msg) + " wParam=" + std::to_string(w) + " lParam=" +
            std::to_string(l) + " result=" + std::to_string(r));
    return r;
}

struct BlockGuard {
    bool held;
    BlockGuard() {
        const DWORD r = WaitForSingleObject(g.blockMutex.get(), kBlockLockTimeoutMs);
        held = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    }
    ~BlockGuard() {
        if (held) ReleaseMutex(g.blockMutex.get());
    }
};

const DeviceRecord* profileDevice(const std::u16string& id) {
    for (const auto& d : g.profile.devices)
        if (equalsIgnoringCase(readField(d->deviceId), id)) return d.get();
    return nullptr;
}

int firstConnectedSlot() {
    for (int s = 0; s < kSlotCount; ++s)
        if (g.block->devices[s].connected != 0) return s;
    return -1;
}

void reloadConfiguration() {
    BlockGuard guard;
    const std::string result = loadConfigurationIntoBlock(*g.block, g.configPath);
    logLine("config " + result);
}

// Runs one command; the result goes back to the --send client as the WM_COPYDATA result.
LRESULT runCommand(const std::vector<std::string>& a) {
    auto num = [&](size_t i, long long fallback) {
        long long v = fallback;
        if (i < a.size() && !sim::parseNumber(a[i], v)) v = fallback;
        return v;
    };
    const std::string& cmd = a[0];
    if (cmd == "arrive" && a.size() >= 2) {
        const unsigned pid = static_cast<unsigned>(num(1, 0));
        const std::u16string id = deviceIdFromProductId(pid);
        const bool fill = !(a.size() >= 3 && a[2] == "nofill");
        if (fill && lookupRecord(*g.block, id) == nullptr) {
            const DeviceRecord* dev = profileDevice(id);
            if (dev == nullptr) return -2;
            BlockGuard guard;
            const int slot = sim::placeInFreeSlot(*g.block, *dev);
            if (slot < 0) return -3;
            // The device's saved settings, as at the start.
            logLine("config " + loadConfigurationIntoRecord(g.block->devices[slot], g.configPath));
        } else if (fill) {
            lookupRecord(*g.block, id)->connected = 1;
        }
        return notifyPanel(0x41B, pid, 0);
    }
    if (cmd == "remove" && a.size() >= 2) {
        const unsigned pid = static_cast<unsigned>(num(1, 0));
        if (DeviceRecord* rec = lookupRecord(*g.block, deviceIdFromProductId(pid))) {
            BlockGuard guard;
            std::memset(rec, 0, sizeof(DeviceRecord));
        }
        return notifyPanel(0x41C, pid, 0);
    }
    if (cmd == "monitors") return notifyPanel(0x419, 0, 0);
    if (cmd == "selectmonitor") return notifyPanel(0x41A, static_cast<WPARAM>(num(1, 0)), 0);
    if (cmd == "areaset" && a.size() >= 5) {
        const int slot = static_cast<int>(num(5, firstConnectedSlot()));
        if (DeviceRecord* rec = recordAt(*g.block, slot)) {
            BlockGuard guard;
            rec->tabletAreaX = static_cast<int32_t>(num(1, 0));
            rec->tabletAreaY = static_cast<int32_t>(num(2, 0));
            rec->tabletAreaW = static_cast<int32_t>(num(3, 0));
            rec->tabletAreaH = static_cast<int32_t>(num(4, 0));
        }
        return notifyPanel(0x41F, 0, 0);
    }
    if (cmd == "precision") return notifyPanel(0x416, 0, 0);
    if (cmd == "ink") return notifyPanel(0x463, static_cast<WPARAM>(num(1, 0)), 0);
    if (cmd == "trayicon") return notifyPanel(0x415, 0, static_cast<LPARAM>(num(1, 0)));
    if (cmd == "reload") return notifyPanel(0x421, 0, 0);
    if (cmd == "exit") return notifyPanel(0x41E, 0, 0);
    if (cmd == "show") {
        HWND panel = panelWindow();
        return panel != nullptr && PostMessageW(panel, 0x417, 0, 0) ? 0 : -1;
    }
    if (cmd == "send" && a.size() >= 4)
        return notifyPanel(static_cast<UINT>(num(1, 0)), static_cast<WPARAM>(num(2, 0)),
                           static_cast<LPARAM>(num(3, 0)));
    if (cmd == "post" && a.size() >= 4) {  // for messages whose handler runs a modal loop
        HWND panel = panelWindow();
        return panel != nullptr && PostMessageW(panel, static_cast<UINT>(num(1, 0)),
                                                static_cast<WPARAM>(num(2, 0)),
                                                static_cast<LPARAM>(num(3, 0)))
                   ? 0
                   : -1;
    }
    if (cmd == "info" && a.size() >= 2) {
        HWND info = FindWindowW(L"OrvaShowInfoWindow", nullptr);
        if (info == nullptr) return -1;
        std::wstring text = platform::toWide(sim::utf8ToUtf16(a[1]));
        COPYDATASTRUCT cds{0, static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)),
                           const_cast<wchar_t*>(text.c_str())};
        return SendMessageW(info, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
    }
    if (cmd == "set" && a.size() >= 4) {
        DeviceRecord* rec = recordAt(*g.block, static_cast<int>(num(1, -1)));
        if (rec == nullptr) return -2;
        std::string value = a[3];
        for (size_t i = 4; i < a.size(); ++i) value += " " + a[i];
        BlockGuard guard;
        return sim::setRecordField(*rec, a[2], value) ? 0 : -2;
    }
    if (cmd == "hold") {
        // Holds the block mutex from another thread for the given time, for lock tests.
        const DWORD ms = static_cast<DWORD>(num(1, 1000));
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::thread([ms, ready] {
            WaitForSingleObject(g.blockMutex.get(), INFINITE);
            SetEvent(ready);
            Sleep(ms);
            ReleaseMutex(g.blockMutex.get());
        }).detach();
        WaitForSingleObject(ready, 5000);
        CloseHandle(ready);
        return 0;
    }
    if (cmd == "quit") {
        PostQuitMessage(0);
        return 0;
    }
    return -100;  // unknown command
}

LRESULT CALLBACK listenProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg >= WM_USER || msg == WM_COPYDATA)
        logLine("msg=" + hex(msg) + " wParam=" + std::to_string(w) + " lParam=" +
                std::to_string(l));
    switch (msg) {
        case 0x420:  // reload the configuration file, then tell the panel to re-read the block
            reloadConfiguration();
            notifyPanel(0x421, 0, 0);
            return 0;
        case 0x423:  // light level
        case 0x424:  // trackpad function group for a rotation
            return 0;
        case WM_COPYDATA: {
            // Another process's data: check the id, the size and the pointer before reading.
            const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
            if (cds == nullptr || cds->dwData != sim::kCommandCopyDataId || cds->lpData == nullptr ||
                cds->cbData == 0 || cds->cbData > 64 * 1024)
                return -100;
            std::string line(static_cast<const char*>(cds->lpData), cds->cbData);
            line = line.c_str();
            logLine("cmd " + line);
            const auto words = sim::splitWords(line);
            return words.empty() ? -100 : runCommand(words);
        }
        default:
            return DefWindowProcW(hwnd, msg, w, l);
    }
}

std::wstring argAfter(int argc, wchar_t** argv, const wchar_t* name, const std::wstring& fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::wcscmp(argv[i], name) == 0) return argv[i + 1];
    return fallback;
}

int sendCommand(int argc, wchar_t** argv, int first) {
    std::string line;
    for (int i = first; i < argc; ++i) {
        std::string word = narrow(argv[i]);
        if (word.find(' ') != std::string::npos) word = "\"" + word + "\"";
        line += (line.empty() ? "" : " ") + word;
    }
    HWND listen = FindWindowW(kListenClass, kListenTitle);
    if (listen == nullptr) {
        writeOut("no running ScriboService stand-in\n");
        return 2;
    }
    COPYDATASTRUCT cds{sim::kCommandCopyDataId, static_cast<DWORD>(line.size() + 1),
                       const_cast<char*>(line.c_str())};
    const LRESULT r = SendMessageW(listen, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
    writeOut(std::to_string(r) + "\n");
    return r == -100 ? 3 : 0;
}

bool createObjects() {
    g.mapping.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       static_cast<DWORD>(kSharedBlockSize),
                                       platform::wz(kBlockMappingName)));
    if (!g.mapping) return false;
    g.view.reset(MapViewOfFile(g.mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    g.block = static_cast<SharedBlock*>(g.view.get());
    g.blockMutex.reset(CreateMutexW(nullptr, FALSE, platform::wz(kBlockMutexName)));
    g.setAreaEvent.reset(CreateEventW(nullptr, FALSE, FALSE, platform::wz(kSetAreaEventName)));
    return g.block != nullptr && g.blockMutex && g.setAreaEvent;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; i < argc; ++i)
        if (std::wcscmp(argv[i], L"--send") == 0) return sendCommand(argc, argv, i + 1);

    const std::wstring dir = platform::toWide(platform::programDirectory());
    // A second stand-in leaves the first one's block and objects alone and ends.
    g.serviceMutex.reset(CreateMutexW(nullptr, FALSE, platform::wz(kServiceMutexName)));
    if (!g.serviceMutex || GetLastError() == ERROR_ALREADY_EXISTS) return 1;

    const std::wstring logPath = argAfter(argc, argv, L"--log", dir + L"\\ScriboService.log");
    g.log.reset(CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!createObjects()) {
        logLine("cannot create the shared block");
        return 1;
    }

    const std::wstring profilePath = argAfter(argc, argv, L"--profile", dir + L"\\demo.profile");
    std::ifstream in(profilePath.c_str());
    std::stringstream text;
    text << in.rdbuf();
    g.profile = sim::parseProfile(text.str());
    for (const auto& e : g.profile.errors) logLine("profile " + e);
    {
        BlockGuard guard;
        sim::applyProfile(g.profile, *g.block);
    }
    g.configPath = argAfter(argc, argv, L"--config", defaultConfigurationPath());
    reloadConfiguration();

    WNDCLASSW wc{};
    wc.lpfnWndProc = listenProc;
    wc.hInstance = instance;
    wc.lpszClassName = kListenClass;
    RegisterClassW(&wc);
    g.listen = CreateWindowExW(WS_EX_TOOLWINDOW, kListenClass, kListenTitle, WS_POPUP, 0, 0, 0, 0,
                               nullptr, nullptr, instance, nullptr);
    logLine("started: profile " + narrow(profilePath) + ", " +
            std::to_string(g.profile.devices.size()) + " devices");

    // The message loop also watches the pen-positioning event the panel sets.
    for (;;) {
        HANDLE events[] = {g.setAreaEvent.get()};
        const DWORD r = MsgWaitForMultipleObjects(1, events, FALSE, INFINITE, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) logLine("event SETAREA");
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) {
                logLine("quit");
                DestroyWindow(g.listen);
                return 0;
            }
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
}
