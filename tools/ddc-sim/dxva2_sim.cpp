// DDC/CI stand-in, built as dxva2.dll for test and demo layouts (never shipped): the monitor
// configuration functions the panel imports, answered from one simulated monitor whose state,
// failure switches and call log live in the shared section of ddc_sim_state.h. It also records
// the display-settings change the test layout's panel makes when it rotates the display (that
// panel is linked with tests/support/standin_display_changer.cpp), so that tests see the mode
// asked for instead of Wine changing the virtual screen.
#include <windows.h>

#include <cwchar>

#include "ddc_sim_state.h"

namespace {

HANDLE g_section = nullptr;
ddcsim::State* g_state = nullptr;
constexpr uintptr_t kHandleBase = 0x5C0DD000;

ddcsim::State* state() {
    if (g_state == nullptr) g_state = ddcsim::openState(g_section);
    return g_state;
}

// Monitor commands go over the display cable and take their time; the handle calls do not.
bool talksToMonitor(ddcsim::Call call) {
    switch (call) {
        case ddcsim::Call::CountMonitors:
        case ddcsim::Call::GetMonitors:
        case ddcsim::Call::DestroyMonitor:
        case ddcsim::Call::DestroyMonitors:
        case ddcsim::Call::ChangeDisplay:
            return false;
        default:
            return true;
    }
}

// Logs the call (after the monitor's delay, or its hang) and returns `ok` for the caller.
BOOL record(ddcsim::Call call, BOOL ok, uint32_t a = 0, uint32_t b = 0, uint32_t c = 0,
            uint32_t d = 0, uint32_t e = 0, const wchar_t* device = nullptr) {
    ddcsim::State* s = state();
    if (s == nullptr) return ok;
    if (talksToMonitor(call)) {
        if (s->hang != 0) {
            InterlockedIncrement(&s->hungCalls);
            for (int ms = 0; s->hang != 0 && ms < 60000; ms += 5) Sleep(5);
            InterlockedDecrement(&s->hungCalls);
        }
        if (s->callDelayMs != 0) Sleep(s->callDelayMs);
    }
    const LONG index = InterlockedIncrement(&s->logCount) - 1;
    if (index < 0 || static_cast<uint32_t>(index) >= ddcsim::kLogCapacity) return ok;
    ddcsim::LogEntry& entry = s->log[index];
    entry.ok = ok ? 1 : 0;
    entry.a = a, entry.b = b, entry.c = c, entry.d = d, entry.e = e;
    entry.thread = GetCurrentThreadId();
    entry.microseconds = ddcsim::nowMicroseconds();
    entry.device[0] = L'\0';
    if (device != nullptr) wcsncpy(entry.device, device, 31), entry.device[31] = L'\0';
    MemoryBarrier();
    entry.call = static_cast<uint32_t>(call);
    return ok;
}

bool knownHandle(HANDLE h) {
    const auto v = reinterpret_cast<uintptr_t>(h);
    return v >= kHandleBase && v < kHandleBase + 16;
}

struct PhysicalMonitor {
    HANDLE handle;
    WCHAR description[128];
};

}  // namespace

extern "C" {

BOOL WINAPI GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR monitor, LPDWORD count) {
    ddcsim::State* s = state();
    if (s == nullptr || monitor == nullptr || count == nullptr || s->failCount != 0)
        return record(ddcsim::Call::CountMonitors, FALSE);
    *count = s->noPhysicalMonitor != 0 ? 0 : s->physicalCount;
    return record(ddcsim::Call::CountMonitors, TRUE, *count);
}

BOOL WINAPI GetPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD size, PhysicalMonitor* out) {
    ddcsim::State* s = state();
    if (s == nullptr || monitor == nullptr || out == nullptr || size == 0 || size > 16 ||
        size > s->physicalCount || s->noPhysicalMonitor != 0)
        return record(ddcsim::Call::GetMonitors, FALSE, size);
    for (DWORD i = 0; i < size; ++i) {
        out[i].handle = reinterpret_cast<HANDLE>(kHandleBase + i);
        swprintf(out[i].description, 128, L"Simulated pen display %lu",
                 static_cast<unsigned long>(i + 1));
        InterlockedIncrement(&s->openHandles);
    }
    return record(ddcsim::Call::GetMonitors, TRUE, size);
}

BOOL WINAPI DestroyPhysicalMonitor(HANDLE h) {
    ddcsim::State* s = state();
    if (s == nullptr || !knownHandle(h)) return record(ddcsim::Call::DestroyMonitor, FALSE);
    InterlockedDecrement(&s->openHandles);
    return record(ddcsim::Call::DestroyMonitor, TRUE);
}

BOOL WINAPI DestroyPhysicalMonitors(DWORD size, PhysicalMonitor* monitors) {
    ddcsim::State* s = state();
    if (s == nullptr || monitors == nullptr)
        return record(ddcsim::Call::DestroyMonitors, FALSE, size);
    for (DWORD i = 0; i < size; ++i)
        if (knownHandle(monitors[i].handle)) InterlockedDecrement(&s->openHandles);
    return record(ddcsim::Call::DestroyMonitors, TRUE, size);
}

BOOL WINAPI GetMonitorColorTemperature(HANDLE h, DWORD* reported) {
    ddcsim::State* s = state();
    if (s == nullptr || !knownHandle(h) || reported == nullptr || s->failReads ||
        s->failTemperature)
        return record(ddcsim::Call::GetTemperature, FALSE);
    *reported = s->temperature;
    return record(ddcsim::Call::GetTemperature, TRUE, *reported);
}

BOOL WINAPI GetMonitorRedGreenOrBlueGain(HANDLE h, DWORD type, LPDWORD min, LPDWORD cur,
                                         LPDWORD max) {
    ddcsim::State* s = state();
    if (s == nullptr || !knownHandle(h) || type > 2 || !min || !cur || !max || s->failReads)
        return record(ddcsim::Call::GetGain, FALSE, type);
    *min = s->gain[type][0], *cur = s->gain[type][1], *max = s->gain[type][2];
    return record(ddcsim::Call::GetGain, TRUE, type, *cur);
}

namespace {
BOOL readRange(ddcsim::Call call, HANDLE h, const uint32_t (&v)[3], LPDWORD min, LPDWORD cur,
               LPDWORD max) {
    ddcsim::State* s = state();
    if (s == nullptr || !knownHandle(h) || !min || !cur || !max || s->failReads)
        return record(call, FALSE);
    *min = v[0], *cur = v[1], *max = v[2];
    return record(call, TRUE, *min, *cur, *max);
}
}  // namespace

BOOL WINAPI GetMonitorBrightness(HANDLE h, LPDWORD min, LPDWORD cur, LPDWORD max) {
    ddcsim::State* s = state();
    return s == nullptr ? FALSE
                        : readRange(ddcsim::Call::GetBrightness, h, s->brightness, min, cur, max);
}

BOOL WINAPI GetMonitorContrast(HANDLE h, LPDWORD min, LPDWORD cur, LPDWORD max) {
    ddcsim::State* s = state();
    return s == nullptr ? FALSE
                        : readRange(ddcsim::Call::GetContrast, h, s->contrast, min, cur, max);
}

BOOL WINAPI SetMonitorBrightness(HANDLE h, DWORD value) {
    ddcsim::State* s = state();
    if (s == nullptr || !knownHandle(h)) return record(ddcsim::Call::SetBrightness, FALSE, value);
    s->brightness[1] = value;
    return record(ddcsim::Call::SetBrightness, TRUE, value);
}

BOOL WINAPI SetMonitorContrast(HANDLE h, DWORD value) {
    ddcsim::State* s = state();
    if (s == nullptr || !knownHandle(h)) return record(ddcsim::Call::SetContrast, FALSE, value);
    s->contrast[1] = value;
    return record(ddcsim::Call::SetContrast, TRUE, value);
}

BOOL WINAPI SetVCPFeature(HANDLE h, BYTE code, DWORD value) {
    ddcsim::State* s = state();
    if (s == nullptr || !knownHandle(h)) return record(ddcsim::Call::SetVcp, FALSE, code, value);
    switch (code) {
        case 0x04:  // factory defaults
            s->preset = 5;
            s->temperature = 3;
            s->brightness[1] = 70;
            s->contrast[1] = 50;
            break;
        case 0x14:
            s->preset = value;
            break;
        case 0x16:
            s->gain[0][1] = value;
            break;
        case 0x18:
            s->gain[1][1] = value;
            break;
        case 0x1A:
            s->gain[2][1] = value;
            break;
        default:
            break;
    }
    return record(ddcsim::Call::SetVcp, TRUE, code, value);
}

BOOL WINAPI SaveCurrentSettings(HANDLE h) {
    return record(ddcsim::Call::Save, knownHandle(h) ? TRUE : FALSE);
}

// Not a monitor-configuration function: the test layout's panel hands its display-mode changes
// here. The shipped panel knows nothing of it.
LONG WINAPI DdcSimChangeDisplaySettingsExW(LPCWSTR device, DEVMODEW* mode, HWND, DWORD flags,
                                           LPVOID) {
    if (mode == nullptr) {
        record(ddcsim::Call::ChangeDisplay, FALSE, 0, 0, 0, 0, flags, device);
        return DISP_CHANGE_BADPARAM;
    }
    record(ddcsim::Call::ChangeDisplay, TRUE, mode->dmPelsWidth, mode->dmPelsHeight,
           mode->dmDisplayOrientation, mode->dmFields, flags, device);
    return DISP_CHANGE_SUCCESSFUL;
}

}  // extern "C"
