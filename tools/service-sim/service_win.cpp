// ScriboService.exe stand-in: creates the named objects, fills the shared block from a device
// profile, owns the hidden listen window, logs every message it receives and, on command, raises
// the notifications the real service sends to the panel.
//
//   ScriboService.exe [--profile FILE] [--log FILE] [--config FILE]
//                                                     run (defaults: demo.profile,
//                                                     %SCRIBO_SIM_LOG% or ScriboService.log
//                                                     next to the program,
//                                                     the panel's configuration file path)
//   ScriboService.exe --send COMMAND [ARGS...]        hand a command to the running stand-in
//
// Commands: arrive PID [nofill] | remove PID | monitors | selectmonitor N | areaset X Y W H [SLOT]
//   | precision | ink 0|1 | trayicon N | reload | exit | show | info TEXT | send MSG W L | post MSG
//   W L | set SLOT FIELD VALUE | get SLOT FIELD | get
//   light1|light2|trackpad|trackpadrotation|lockheld424 | get count MSG | hold MS | release | fuzz
//   SEED MS | hang MS | quit | replace SLOT PID (another device put into SLOT, announced only by
//   its arrival) | snapshot | changed (bit mask of the slots whose bytes differ from the snapshot)
//   | reloadlater MS (the reload notice after WM_SERVICE_RELOADCONFIG comes MS later; 0: at once)
//   | locknotify 0|1 (hold the block lock while notifying the panel) | penslot N (pen
//   positioning writes slot N; -1: the first pen device)
//
// Every message the listen window receives is checked against the parameters a service accepts;
// anything else is logged as "violation ...", and the tests' ServiceSim fails on such a line.
//
// Pen positioning: when the panel sets the SETAREA event, the stand-in writes the profile's
// penPositionArea (default: the centred half of the tablet) into the first connected device that
// is not the remote (or the slot "penslot" named), under the block lock, and then sends
// WM_PANEL_AREASET.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
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

struct Service {
    UniqueHandle serviceMutex, mapping, blockMutex, setAreaEvent, log;
    UniqueHandle releaseHold{CreateEventW(nullptr, TRUE, FALSE, nullptr)};  // ends "hold" early
    platform::MappedView view;
    SharedBlock* block = nullptr;
    sim::DeviceProfile profile;
    std::wstring configPath;
    HWND listen = nullptr;
};

// What the panel told the stand-in, for tests to read back with "get".
struct Received {
    std::map<unsigned, long long> counts;  // messages received by the listen window, by number
    long long light1 = 0, light2 = 0;      // last WM_SERVICE_LIGHTS level per light
    long long trackPad = 0, trackPadRotation = 0;  // last WM_SERVICE_TRACKPAD
    long long trackPadWhileLocked = 0;  // WM_SERVICE_TRACKPAD received while the lock was held
};
Received g_received;
Service g;
// Behaviour switches a test sets by command, to make the stand-in as awkward as a real service
// may be.
struct Switches {
    UINT reloadDelayMs = 0;  // "reloadlater MS": WM_PANEL_RELOAD after an import comes late
    bool lockWhileNotifying = false;  // "locknotify 1": the block lock is held across every notify
    int penSlot = -1;                 // "penslot N": pen positioning writes slot N (-1: first pen)
};
Switches g_switches;
constexpr UINT_PTR kLateReloadTimer = 1;
// The device records as "snapshot" found them; "changed" compares every byte with them.
std::vector<DeviceRecord> g_snapshot;

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

HWND panelWindow() {
    return FindWindowW(platform::wz(kMainWindowClass), platform::wz(kMainWindowTitle));
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

// Notifications go to the panel with a blocking send, as the real service does; -1 = no panel.
LRESULT notifyPanel(UINT msg, WPARAM w, LPARAM l) {
    HWND panel = panelWindow();
    if (panel == nullptr) {
        logLine("notify " + hex(msg) + " dropped: no panel");
        return -1;
    }
    LRESULT r;
    if (g_switches.lockWhileNotifying) {
        BlockGuard guard;
        r = SendMessageW(panel, msg, w, l);
    } else {
        r = SendMessageW(panel, msg, w, l);
    }
    logLine("notify " + hex(msg) + " wParam=" + std::to_string(w) + " lParam=" + std::to_string(l) +
            " result=" + std::to_string(r));
    return r;
}

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

// The device the stand-in acts on for pen positioning: the first connected one that is not the
// remote (the remote has no pen area).
int firstPenSlot() {
    for (int s = 0; s < kSlotCount; ++s)
        if (g.block->devices[s].connected != 0 &&
            g.block->devices[s].deviceKind != kDeviceKindRemote)
            return s;
    return -1;
}

std::string areaText(const DeviceRecord& r) {
    return std::to_string(r.tabletAreaX) + " " + std::to_string(r.tabletAreaY) + " " +
           std::to_string(r.tabletAreaW) + " " + std::to_string(r.tabletAreaH);
}

// The panel set the SETAREA event: "measure" the pen's area, write it, tell the panel.
void positionPen() {
    const int slot = g_switches.penSlot >= 0 ? g_switches.penSlot : firstPenSlot();
    if (slot < 0) {
        logLine("penposition: no pen device connected");
        return;
    }
    DeviceRecord& rec = g.block->devices[slot];
    {
        BlockGuard guard;
        const auto area = sim::penPositionArea(g.profile, rec);
        rec.tabletAreaX = area[0];
        rec.tabletAreaY = area[1];
        rec.tabletAreaW = area[2];
        rec.tabletAreaH = area[3];
        logLine("penposition slot=" + std::to_string(slot) + " area=" + areaText(rec) +
                (guard.held ? "" : " (lock timed out)"));
    }
    notifyPanel(WM_PANEL_AREASET, 0, 0);
}

// WM_SERVICE_TRACKPAD: remember it and what the record and the lock looked like at that moment,
// so a test can tell whether the panel sent it between its locked writes.
void receiveTrackPad(WPARAM w, LPARAM l) {
    ++g_received.counts[WM_SERVICE_TRACKPAD];
    g_received.trackPad = static_cast<long long>(w);
    g_received.trackPadRotation = static_cast<long long>(l);
    const DWORD r = WaitForSingleObject(g.blockMutex.get(), 0);
    const bool free = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    if (!free) ++g_received.trackPadWhileLocked;
    // The device the message is about: the first connected one with a trackpad.
    std::string state = "no trackpad device";
    int slot = -1;
    for (int s = 0; s < kSlotCount && slot < 0; ++s)
        if (g.block->devices[s].connected != 0 && g.block->devices[s].hasTrackPad != 0) slot = s;
    if (slot >= 0) {
        const DeviceRecord& rec = g.block->devices[slot];
        state = "slot=" + std::to_string(slot) + " rotation=" + std::to_string(rec.rotation) +
                " area=" + areaText(rec);
    }
    if (free) ReleaseMutex(g.blockMutex.get());
    logLine("msg=" + hex(WM_SERVICE_TRACKPAD) + " wParam=" + std::to_string(w) +
            " lParam=" + std::to_string(l) + " lock=" + (free ? "free" : "held"));
    logLine("trackpad " + state);
}

// "get ...": a value the stand-in received or a numeric record field; -100 when unknown.
LRESULT getValue(const std::vector<std::string>& a) {
    const std::string& what = a[1];
    if (a.size() == 2) {
        if (what == "light1") return static_cast<LRESULT>(g_received.light1);
        if (what == "light2") return static_cast<LRESULT>(g_received.light2);
        if (what == "trackpad") return static_cast<LRESULT>(g_received.trackPad);
        if (what == "trackpadrotation") return static_cast<LRESULT>(g_received.trackPadRotation);
        if (what == "lockheld424") return static_cast<LRESULT>(g_received.trackPadWhileLocked);
        return -100;
    }
    long long n = 0;
    if (what == "count") {
        if (!sim::parseNumber(a[2], n)) return -100;
        const auto it = g_received.counts.find(static_cast<unsigned>(n));
        return it == g_received.counts.end() ? 0 : static_cast<LRESULT>(it->second);
    }
    if (!sim::parseNumber(what, n)) return -100;
    const DeviceRecord* rec = recordAt(*g.block, static_cast<int>(n));
    long long value = 0;
    if (rec == nullptr || !sim::getRecordField(*rec, a[2], value)) return -100;
    return static_cast<LRESULT>(value);
}

void reloadConfiguration() {
    BlockGuard guard;
    const std::string result = loadConfigurationIntoBlock(*g.block, g.configPath);
    logLine("config " + result);
}

// ---- a misbehaving service --------------------------------------------------------------------

constexpr UINT kRunFuzz = WM_APP + 1;  // wParam: milliseconds; the seed is in g_fuzzSeed
constexpr UINT kHang = WM_APP + 2;     // wParam: milliseconds the listen window stops answering
uint64_t g_fuzzSeed = 1;

// Hostile block contents and every notification in random order with random parameters, for
// `ms` milliseconds. Left out: the exit message, export/import and the icon's right click, whose
// handlers wait for a user (file dialogs, menus) or end the panel. The panel must answer every
// message; one it does not answer within 10 s is counted.
void runFuzz(DWORD ms) {
    logLine("fuzz seed=" + std::to_string(g_fuzzSeed) + " ms=" + std::to_string(ms));
    sim::BlockFuzzer fuzz(g_fuzzSeed);
    static const UINT kNotifications[] = {WM_PANEL_TRAYICON,
                                          WM_PANEL_PRECISION,
                                          WM_PANEL_SHOW,
                                          WM_PANEL_AREASELECTED,
                                          WM_PANEL_MONITORSCHANGED,
                                          WM_PANEL_SELECTMONITOR,
                                          WM_PANEL_DEVICEARRIVED,
                                          WM_PANEL_DEVICEREMOVED,
                                          WM_PANEL_AREASET,
                                          WM_PANEL_RELOAD,
                                          WM_PANEL_WINDOWSINK,
                                          WM_PANEL_TRAY,
                                          WM_PANEL_IMPORTEXPORT,
                                          WM_COPYDATA};
    static const unsigned kProducts[] = {0x0374, 0x0375, 0x0390, kRemoteProductId, 0xFFFF, 0};
    unsigned long mutations = 0, notifications = 0, unanswered = 0;
    bool panelGone = false;
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        for (int i = 0; i < 8; ++i, ++mutations) {
            if (fuzz.next() % 2 == 0) {
                BlockGuard guard;
                fuzz.mutate(*g.block);
            } else {
                fuzz.mutate(*g.block);  // a service that does not even take the lock
            }
        }
        const uint64_t r = fuzz.next();
        const UINT msg = kNotifications[r % std::size(kNotifications)];
        WPARAM w = static_cast<WPARAM>(fuzz.next());
        LPARAM l = static_cast<LPARAM>(fuzz.next());
        if (msg == WM_PANEL_DEVICEARRIVED || msg == WM_PANEL_DEVICEREMOVED)
            w = kProducts[(r >> 8) % std::size(kProducts)];
        if (msg == WM_PANEL_TRAY) l = kTrayLeftButtonDown;
        if (msg == WM_PANEL_IMPORTEXPORT && (w == kImportExportExport || w == kImportExportImport))
            w = 0;
        if (msg == WM_PANEL_SELECTMONITOR || msg == WM_PANEL_TRAYICON ||
            msg == WM_PANEL_WINDOWSINK) {
            w = static_cast<WPARAM>(static_cast<LONG_PTR>(static_cast<int32_t>(w % 24) - 4));
            l = static_cast<LPARAM>(static_cast<int32_t>(l % 6) - 1);
        }
        DWORD_PTR result = 0;
        bool answered = true;
        if (msg == WM_COPYDATA) {
            // A text without its zero, a size that lies about it, or no data at all.
            wchar_t text[300];
            for (wchar_t& c : text) c = static_cast<wchar_t>(u'A' + fuzz.next() % 26);
            COPYDATASTRUCT cds{0, static_cast<DWORD>(fuzz.next() % sizeof text),
                               (r >> 16) % 8 == 0 ? nullptr : text};
            if (HWND info = FindWindowW(platform::wz(kInfoWindowClass), nullptr))
                answered = SendMessageTimeoutW(info, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                                               SMTO_NORMAL, 10000, &result) != 0;
        } else if (HWND panel = panelWindow()) {
            answered = SendMessageTimeoutW(panel, msg, w, l, SMTO_NORMAL, 10000, &result) != 0;
        }
        ++notifications;
        if (!panelGone && !panelWindow()) {
            panelGone = true;
            logLine("fuzz: the panel window is gone after message " + hex(msg) +
                    " w=" + hex(static_cast<uint64_t>(w)) + " l=" + hex(static_cast<uint64_t>(l)));
        }
        if (!answered) {
            ++unanswered;
            logLine("fuzz: message " + hex(msg) + " not answered");
        }
    }
    logLine("fuzz done seed=" + std::to_string(g_fuzzSeed) + " mutations=" +
            std::to_string(mutations) + " notifications=" + std::to_string(notifications) +
            " unanswered=" + std::to_string(unanswered));
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
        return notifyPanel(WM_PANEL_DEVICEARRIVED, pid, 0);
    }
    if (cmd == "replace" && a.size() >= 3) {
        DeviceRecord* rec = recordAt(*g.block, static_cast<int>(num(1, -1)));
        const unsigned pid = static_cast<unsigned>(num(2, 0));
        const DeviceRecord* dev = profileDevice(deviceIdFromProductId(pid));
        if (rec == nullptr || dev == nullptr) return -2;
        {
            BlockGuard guard;
            std::memcpy(rec, dev, sizeof(DeviceRecord));
            rec->connected = 1;
            logLine("config " + loadConfigurationIntoRecord(*rec, g.configPath));
        }
        return notifyPanel(WM_PANEL_DEVICEARRIVED, pid, 0);
    }
    if (cmd == "snapshot") {
        BlockGuard guard;
        g_snapshot.assign(std::begin(g.block->devices), std::end(g.block->devices));
        return 0;
    }
    if (cmd == "changed") {
        if (g_snapshot.size() != static_cast<size_t>(kSlotCount)) return -2;
        BlockGuard guard;
        LRESULT mask = 0;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const auto* now = reinterpret_cast<const unsigned char*>(&g.block->devices[slot]);
            const auto* then =
                reinterpret_cast<const unsigned char*>(&g_snapshot[static_cast<size_t>(slot)]);
            for (size_t i = 0; i < sizeof(DeviceRecord); ++i)
                if (now[i] != then[i]) {
                    logLine("changed: slot " + std::to_string(slot) + " first at byte " +
                            std::to_string(i));
                    mask |= LRESULT{1} << slot;
                    break;
                }
        }
        return mask;
    }
    if (cmd == "remove" && a.size() >= 2) {
        const unsigned pid = static_cast<unsigned>(num(1, 0));
        if (DeviceRecord* rec = lookupRecord(*g.block, deviceIdFromProductId(pid))) {
            BlockGuard guard;
            std::memset(rec, 0, sizeof(DeviceRecord));
        }
        return notifyPanel(WM_PANEL_DEVICEREMOVED, pid, 0);
    }
    if (cmd == "monitors") return notifyPanel(WM_PANEL_MONITORSCHANGED, 0, 0);
    if (cmd == "selectmonitor")
        return notifyPanel(WM_PANEL_SELECTMONITOR, static_cast<WPARAM>(num(1, 0)), 0);
    if (cmd == "areaset" && a.size() >= 5) {
        const int slot = static_cast<int>(num(5, firstConnectedSlot()));
        if (DeviceRecord* rec = recordAt(*g.block, slot)) {
            BlockGuard guard;
            rec->tabletAreaX = static_cast<int32_t>(num(1, 0));
            rec->tabletAreaY = static_cast<int32_t>(num(2, 0));
            rec->tabletAreaW = static_cast<int32_t>(num(3, 0));
            rec->tabletAreaH = static_cast<int32_t>(num(4, 0));
        }
        return notifyPanel(WM_PANEL_AREASET, 0, 0);
    }
    if (cmd == "precision") return notifyPanel(WM_PANEL_PRECISION, 0, 0);
    if (cmd == "ink") return notifyPanel(WM_PANEL_WINDOWSINK, static_cast<WPARAM>(num(1, 0)), 0);
    if (cmd == "trayicon") return notifyPanel(WM_PANEL_TRAYICON, 0, static_cast<LPARAM>(num(1, 0)));
    if (cmd == "reload") return notifyPanel(WM_PANEL_RELOAD, 0, 0);
    if (cmd == "exit") return notifyPanel(WM_PANEL_EXIT, 0, 0);
    if (cmd == "show") {
        HWND panel = panelWindow();
        return panel != nullptr && PostMessageW(panel, WM_PANEL_SHOW, 0, 0) ? 0 : -1;
    }
    if (cmd == "send" && a.size() >= 4)
        return notifyPanel(static_cast<UINT>(num(1, 0)), static_cast<WPARAM>(num(2, 0)),
                           static_cast<LPARAM>(num(3, 0)));
    if (cmd == "post" && a.size() >= 4) {  // for messages whose handler runs a modal loop
        HWND panel = panelWindow();
        return panel != nullptr &&
                       PostMessageW(panel, static_cast<UINT>(num(1, 0)),
                                    static_cast<WPARAM>(num(2, 0)), static_cast<LPARAM>(num(3, 0)))
                   ? 0
                   : -1;
    }
    if (cmd == "info" && a.size() >= 2) {
        HWND info = FindWindowW(platform::wz(kInfoWindowClass), nullptr);
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
    if (cmd == "get" && a.size() >= 2) return getValue(a);
    if (cmd == "hold") {
        // Holds the block mutex from another thread for the given time, or until "release".
        const DWORD ms = static_cast<DWORD>(num(1, 1000));
        ResetEvent(g.releaseHold.get());
        auto ready = std::make_shared<UniqueHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        std::thread([ms, ready] {
            WaitForSingleObject(g.blockMutex.get(), INFINITE);
            SetEvent(ready->get());
            WaitForSingleObject(g.releaseHold.get(), ms);
            ReleaseMutex(g.blockMutex.get());
        }).detach();
        return WaitForSingleObject(ready->get(), 5000) == WAIT_OBJECT_0 ? 0 : -1;
    }
    if (cmd == "reloadlater" && a.size() >= 2) {
        g_switches.reloadDelayMs = static_cast<UINT>(num(1, 0));
        return 0;
    }
    if (cmd == "locknotify" && a.size() >= 2) {
        g_switches.lockWhileNotifying = num(1, 0) != 0;
        return 0;
    }
    if (cmd == "penslot" && a.size() >= 2) {
        const int slot = static_cast<int>(num(1, -1));
        if (slot >= kSlotCount || slot < -1) return -2;
        g_switches.penSlot = slot;
        return 0;
    }
    if (cmd == "release") {
        SetEvent(g.releaseHold.get());
        return 0;
    }
    if (cmd == "fuzz" && a.size() >= 3) {  // fuzz SEED MS: runs after this command has returned
        g_fuzzSeed = static_cast<uint64_t>(num(1, 1));
        return PostMessageW(g.listen, kRunFuzz, static_cast<WPARAM>(num(2, 1000)), 0) ? 0 : -1;
    }
    if (cmd == "hang" && a.size() >= 2)  // hang MS: the listen window stops answering
        return PostMessageW(g.listen, kHang, static_cast<WPARAM>(num(1, 1000)), 0) ? 0 : -1;
    if (cmd == "quit") {
        PostQuitMessage(0);
        return 0;
    }
    return -100;  // unknown command
}

// The panel-to-service messages and the parameters a real service accepts; anything else the
// listen window receives from the panel is logged as a violation, which the tests look for.
std::string violationOf(UINT msg, WPARAM w, LPARAM l) {
    const auto within = [](long long v, long long lo, long long hi) { return v >= lo && v <= hi; };
    const long long wv = static_cast<long long>(static_cast<INT_PTR>(w));
    const long long lv = static_cast<long long>(l);
    switch (msg) {
        case WM_SERVICE_RELOADCONFIG:
            return wv == 0 && lv == 0 ? "" : "parameters must be 0";
        case WM_SERVICE_LIGHTS:
            if (wv != 1 && wv != 2) return "light must be 1 or 2";
            return lv == 0 || lv == 50 || lv == 100 ? "" : "level must be 0, 50 or 100";
        case WM_SERVICE_TRACKPAD:
            if (!within(wv, 1, 3)) return "trackpad group must be 1..3";
            return within(lv, 0, 3) ? "" : "rotation must be 0..3";
        default:
            // The stand-in's own posted messages lie from WM_APP upward.
            return msg >= WM_USER && msg < WM_APP ? "not a message of the service" : "";
    }
}

LRESULT CALLBACK listenProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    const std::string violation = violationOf(msg, w, l);
    if (!violation.empty())
        logLine("violation msg=" + hex(msg) +
                " wParam=" + std::to_string(static_cast<long long>(static_cast<INT_PTR>(w))) +
                " lParam=" + std::to_string(static_cast<long long>(l)) + ": " + violation);
    if (msg >= WM_USER && msg != WM_SERVICE_TRACKPAD) ++g_received.counts[msg];
    if ((msg >= WM_USER && msg != WM_SERVICE_TRACKPAD) || msg == WM_COPYDATA)
        logLine("msg=" + hex(msg) + " wParam=" + std::to_string(w) +
                " lParam=" + std::to_string(l));
    switch (msg) {
        case WM_SERVICE_RELOADCONFIG:  // reload the file, then tell the panel to re-read the block
            reloadConfiguration();
            if (g_switches.reloadDelayMs == 0)
                notifyPanel(WM_PANEL_RELOAD, 0, 0);
            else
                SetTimer(hwnd, kLateReloadTimer, g_switches.reloadDelayMs, nullptr);
            return 0;
        case WM_TIMER:
            if (w != kLateReloadTimer) return DefWindowProcW(hwnd, msg, w, l);
            KillTimer(hwnd, kLateReloadTimer);
            notifyPanel(WM_PANEL_RELOAD, 0, 0);
            return 0;
        case WM_SERVICE_LIGHTS:
            if (w == 1) g_received.light1 = static_cast<long long>(l);
            if (w == 2) g_received.light2 = static_cast<long long>(l);
            return 0;
        case WM_SERVICE_TRACKPAD:
            receiveTrackPad(w, l);
            return 0;
        case kRunFuzz:
            runFuzz(static_cast<DWORD>(w));
            return 0;
        case kHang:
            logLine("hang " + std::to_string(w));
            Sleep(static_cast<DWORD>(w));
            logLine("hang over");
            return 0;
        case WM_COPYDATA: {
            // Another process's data: check the id, the size and the pointer before reading.
            const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
            if (cds == nullptr || cds->dwData != sim::kCommandCopyDataId ||
                cds->lpData == nullptr || cds->cbData == 0 || cds->cbData > 64 * 1024)
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
    HWND listen = FindWindowW(platform::wz(kListenWindowClass), platform::wz(kListenWindowTitle));
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
    g.setAreaEvent.reset(CreateEventW(nullptr, FALSE, FALSE, platform::wz(kSetAreaEventName)));
    return g.block != nullptr && g.setAreaEvent;
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

    // Without --log: SCRIBO_SIM_LOG when set (tests whose panel starts the stand-in use it to keep
    // the log in their own folder), else ScriboService.log beside the program.
    wchar_t envLog[MAX_PATH * 2] = {};
    const DWORD envLength = GetEnvironmentVariableW(L"SCRIBO_SIM_LOG", envLog, MAX_PATH * 2);
    const std::wstring defaultLog = envLength > 0 && envLength < MAX_PATH * 2
                                        ? std::wstring(envLog)
                                        : dir + L"\\ScriboService.log";
    const std::wstring logPath = argAfter(argc, argv, L"--log", defaultLog);
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
    // The block's lock is what the panel attaches by: published only now that the block holds
    // the devices and the configuration, so no panel ever reads a half-filled block. (Until then
    // the lock guards above wait for nothing: no other process can reach the block.)
    g.blockMutex.reset(CreateMutexW(nullptr, FALSE, platform::wz(kBlockMutexName)));
    if (!g.blockMutex) {
        logLine("cannot create the block lock");
        return 1;
    }

    WNDCLASSW wc{};
    wc.lpfnWndProc = listenProc;
    wc.hInstance = instance;
    wc.lpszClassName = platform::wz(kListenWindowClass);
    RegisterClassW(&wc);
    g.listen = CreateWindowExW(WS_EX_TOOLWINDOW, platform::wz(kListenWindowClass),
                               platform::wz(kListenWindowTitle), WS_POPUP, 0, 0, 0, 0, nullptr,
                               nullptr, instance, nullptr);
    logLine("started: profile " + narrow(profilePath) + ", " +
            std::to_string(g.profile.devices.size()) + " devices");

    // The message loop also watches the pen-positioning event the panel sets.
    for (;;) {
        HANDLE events[] = {g.setAreaEvent.get()};
        const DWORD r = MsgWaitForMultipleObjects(1, events, FALSE, INFINITE, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) {
            logLine("event SETAREA");
            positionPen();
        }
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
