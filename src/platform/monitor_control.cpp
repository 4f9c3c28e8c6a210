#include "platform/monitor_control.h"

#include <highlevelmonitorconfigurationapi.h>

#include <cstring>

// Low-level monitor configuration, exported by dxva2 but not declared by every tool chain.
extern "C" {
BOOL WINAPI SetVCPFeature(HANDLE monitor, BYTE code, DWORD value);
BOOL WINAPI SaveCurrentSettings(HANDLE monitor);
}

namespace platform {

static_assert(sizeof(DEVMODEW) == scribo::kDisplayModeBytes, "the block keeps the system's record");
static_assert(offsetof(DEVMODEW, dmFields) == scribo::kDmFieldsOffset);
static_assert(offsetof(DEVMODEW, dmDisplayOrientation) == scribo::kDmOrientationOffset);
static_assert(offsetof(DEVMODEW, dmPelsWidth) == scribo::kDmPelsWidthOffset);
static_assert(offsetof(DEVMODEW, dmPelsHeight) == scribo::kDmPelsHeightOffset);

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

bool readGain(HANDLE monitor, int gainType, scribo::MonitorReading& r) {
    DWORD mn = 0, cur = 0, mx = 0;
    if (monitor == nullptr ||
        !GetMonitorRedGreenOrBlueGain(monitor, static_cast<MC_GAIN_TYPE>(gainType), &mn, &cur, &mx))
        return false;
    r = {mn, cur, mx};
    return true;
}

bool readBrightness(HANDLE monitor, scribo::MonitorReading& r) {
    DWORD mn = 0, cur = 0, mx = 0;
    if (monitor == nullptr || !GetMonitorBrightness(monitor, &mn, &cur, &mx)) return false;
    r = {mn, cur, mx};
    return true;
}

bool readContrast(HANDLE monitor, scribo::MonitorReading& r) {
    DWORD mn = 0, cur = 0, mx = 0;
    if (monitor == nullptr || !GetMonitorContrast(monitor, &mn, &cur, &mx)) return false;
    r = {mn, cur, mx};
    return true;
}

Dxva2MonitorPort::Dxva2MonitorPort(PhysicalMonitors monitors, std::wstring deviceName,
                                   std::unique_ptr<DisplaySettingsChanger> changer)
    : monitors_(std::move(monitors)), deviceName_(std::move(deviceName)), changer_(std::move(changer)) {}

bool Dxva2MonitorPort::readColourTemperature(int& reported) {
    return platform::readColourTemperature(monitors_.first(), reported);
}
bool Dxva2MonitorPort::readGain(int gain, scribo::MonitorReading& r) {
    return platform::readGain(monitors_.first(), gain, r);
}
bool Dxva2MonitorPort::readBrightness(scribo::MonitorReading& r) {
    return platform::readBrightness(monitors_.first(), r);
}
bool Dxva2MonitorPort::readContrast(scribo::MonitorReading& r) {
    return platform::readContrast(monitors_.first(), r);
}

void Dxva2MonitorPort::setVcp(uint8_t code, uint32_t value) { SetVCPFeature(monitors_.first(), code, value); }
void Dxva2MonitorPort::setBrightness(uint32_t value) { SetMonitorBrightness(monitors_.first(), value); }
void Dxva2MonitorPort::setContrast(uint32_t value) { SetMonitorContrast(monitors_.first(), value); }
void Dxva2MonitorPort::save() { SaveCurrentSettings(monitors_.first()); }

void Dxva2MonitorPort::changeDisplayMode(const scribo::DisplayModeChange& change) {
    if (!changer_) return;
    DEVMODEW mode;
    std::memcpy(&mode, change.mode.data(), sizeof mode);
    changer_->change(deviceName_, mode, change.flags);
}

}  // namespace platform
