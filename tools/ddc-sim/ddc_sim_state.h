// The state of the DDC/CI stand-in (dxva2.dll in test and demo layouts): one simulated monitor,
// its failure switches and a log of every call, in a named shared section so that a test in
// another process can set the monitor up before the panel opens it and read the log afterwards.
// Whoever opens the section first fills in the defaults.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ddcsim {

inline constexpr wchar_t kSectionName[] = L"Local\\ScriboDdcSimState";
inline constexpr uint32_t kReady = 0x44444353;  // "SCDD"
inline constexpr uint32_t kLogCapacity = 4096;

enum class Call : uint32_t {
    CountMonitors = 1,  // GetNumberOfPhysicalMonitorsFromHMONITOR: a = count
    GetMonitors,        // GetPhysicalMonitorsFromHMONITOR: a = count asked
    DestroyMonitor,     // DestroyPhysicalMonitor
    DestroyMonitors,    // DestroyPhysicalMonitors: a = count
    GetTemperature,     // a = reported
    GetGain,            // a = gain type, b = current
    GetBrightness,      // a = min, b = current, c = max
    GetContrast,        // a = min, b = current, c = max
    SetBrightness,      // a = value
    SetContrast,        // a = value
    SetVcp,             // a = code, b = value
    Save,               // SaveCurrentSettings
    ChangeDisplay,      // a = width, b = height, c = orientation, d = fields, e = flags, device
};

struct LogEntry {
    uint32_t call;
    uint32_t ok;
    uint32_t a, b, c, d, e;
    uint32_t thread;       // the calling thread
    int64_t microseconds;  // on the performance counter, comparable between processes
    wchar_t device[32];
};

struct State {
    volatile LONG ready;
    // Failure switches.
    uint32_t noPhysicalMonitor;  // the count query reports none
    uint32_t failCount;          // the count query fails
    uint32_t failReads;          // every Get call fails
    uint32_t failTemperature;    // only the colour temperature read fails
    uint32_t callDelayMs;        // every monitor command (read, set, save) takes this long, as
                                 // a real monitor's 40-50 ms; handle calls are not delayed
    volatile LONG hang;          // non-zero: monitor commands do not return until it is cleared
                                 // (at most a minute), as a monitor that went to sleep
    volatile LONG hungCalls;     // monitor commands waiting in a hang now
    // The monitor.
    uint32_t temperature;    // MC_COLOR_TEMPERATURE value
    uint32_t gain[3][3];     // red, green, blue: minimum, current, maximum
    uint32_t brightness[3];  // minimum, current, maximum
    uint32_t contrast[3];
    uint32_t preset;            // VCP 0x14
    uint32_t physicalCount;     // physical monitors behind the display
    volatile LONG openHandles;  // handed out and not yet destroyed
    volatile LONG logCount;
    LogEntry log[kLogCapacity];
};

inline int64_t nowMicroseconds() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<int64_t>(c.QuadPart / f.QuadPart * 1000000 +
                                c.QuadPart % f.QuadPart * 1000000 / f.QuadPart);
}

inline void setDefaults(State& s) {
    s.noPhysicalMonitor = s.failCount = s.failReads = s.failTemperature = 0;
    s.callDelayMs = 0;
    s.hang = 0;
    s.hungCalls = 0;
    s.temperature = 3;  // 6500 K
    for (auto& g : s.gain) {
        g[0] = 0;
        g[1] = 50;
        g[2] = 100;
    }
    s.brightness[0] = 0, s.brightness[1] = 70, s.brightness[2] = 100;
    s.contrast[0] = 0, s.contrast[1] = 50, s.contrast[2] = 100;
    s.preset = 5;
    s.physicalCount = 1;
    s.openHandles = 0;
    s.logCount = 0;
}

// Opens (or creates and fills) the shared state; the section stays while `section` is open.
inline State* openState(HANDLE& section) {
    section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(State),
                                 kSectionName);
    if (section == nullptr) return nullptr;
    auto* s = static_cast<State*>(MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(State)));
    if (s == nullptr) return nullptr;
    if (InterlockedCompareExchange(&s->ready, 1, 0) == 0) {
        setDefaults(*s);
        InterlockedExchange(&s->ready, static_cast<LONG>(kReady));
    }
    for (int i = 0; i < 500 && static_cast<uint32_t>(s->ready) != kReady; ++i) Sleep(1);
    return s;
}

}  // namespace ddcsim
