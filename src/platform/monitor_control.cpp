#include "platform/monitor_control.h"

#include <highlevelmonitorconfigurationapi.h>

#include <cstring>

// Low-level monitor configuration, exported by dxva2 but not declared by every tool chain.
extern "C" {
BOOL WINAPI SetVCPFeature(HANDLE monitor, BYTE code, DWORD value);
BOOL WINAPI SaveCurrentSettings(HANDLE monitor);
}

namespace platform {

namespace {

// More physical monitors than this behind one display is not a monitor answering sensibly.
constexpr DWORD kMostPhysicalMonitors = 16;

}  // namespace

bool PhysicalMonitors::open(const RECT& rect) {
    monitors_.clear();
    HMONITOR display = MonitorFromRect(&rect, MONITOR_DEFAULTTONULL);
    if (display == nullptr) return false;
    DWORD count = 0;
    if (!GetNumberOfPhysicalMonitorsFromHMONITOR(display, &count) || count == 0 ||
        count > kMostPhysicalMonitors)
        return false;
    std::vector<PHYSICAL_MONITOR> fetched(count);
    if (!GetPhysicalMonitorsFromHMONITOR(display, count, fetched.data())) return false;
    monitors_.reserve(count);
    for (const PHYSICAL_MONITOR& m : fetched) monitors_.emplace_back(m.hPhysicalMonitor);
    return true;
}

bool readColourTemperature(HANDLE monitor, int& reported) {
    MC_COLOR_TEMPERATURE t = MC_COLOR_TEMPERATURE_UNKNOWN;
    if (monitor == nullptr || !GetMonitorColorTemperature(monitor, &t)) return false;
    reported = static_cast<int>(t);
    return true;
}

bool readGain(HANDLE monitor, int gainType, MonitorRange& r) {
    DWORD mn = 0, cur = 0, mx = 0;
    if (monitor == nullptr ||
        !GetMonitorRedGreenOrBlueGain(monitor, static_cast<MC_GAIN_TYPE>(gainType), &mn, &cur, &mx))
        return false;
    r = {mn, cur, mx};
    return true;
}

bool readBrightness(HANDLE monitor, MonitorRange& r) {
    DWORD mn = 0, cur = 0, mx = 0;
    if (monitor == nullptr || !GetMonitorBrightness(monitor, &mn, &cur, &mx)) return false;
    r = {mn, cur, mx};
    return true;
}

bool readContrast(HANDLE monitor, MonitorRange& r) {
    DWORD mn = 0, cur = 0, mx = 0;
    if (monitor == nullptr || !GetMonitorContrast(monitor, &mn, &cur, &mx)) return false;
    r = {mn, cur, mx};
    return true;
}

void setVcp(HANDLE monitor, uint8_t code, uint32_t value) {
    if (monitor != nullptr) SetVCPFeature(monitor, code, value);
}
void setBrightness(HANDLE monitor, uint32_t value) {
    if (monitor != nullptr) SetMonitorBrightness(monitor, value);
}
void setContrast(HANDLE monitor, uint32_t value) {
    if (monitor != nullptr) SetMonitorContrast(monitor, value);
}
void saveSettings(HANDLE monitor) {
    if (monitor != nullptr) SaveCurrentSettings(monitor);
}

}  // namespace platform
