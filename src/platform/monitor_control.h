// The monitor configuration interface (dxva2) and the display settings of a pen display: its
// physical monitors, owned for as long as the display adjustment dialog needs them, their raw
// readings and settings, and the display-mode changer.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace platform {

// The physical monitors behind the display that shows a rectangle of the desktop. Every
// monitor obtained is released when this object goes, on every path.
class PhysicalMonitors {
public:
    // False when there is no display for the rectangle, the count query fails or finds none,
    // or the monitors cannot be fetched; nothing is held then.
    bool open(const RECT& rect);
    bool empty() const { return monitors_.empty(); }
    HANDLE first() const { return monitors_.empty() ? nullptr : monitors_.front().get(); }
    void release() { monitors_.clear(); }

private:
    std::vector<UniquePhysicalMonitor> monitors_;
};

// A setting's range and value as the monitor reports it.
struct MonitorRange {
    DWORD minimum = 0, current = 0, maximum = 0;
};

// Readings of a physical monitor; false when the monitor did not answer.
bool readColourTemperature(HANDLE monitor, int& reported);
bool readGain(HANDLE monitor, int gainType, MonitorRange& reading);  // 0 red, 1 green, 2 blue
bool readBrightness(HANDLE monitor, MonitorRange& reading);
bool readContrast(HANDLE monitor, MonitorRange& reading);
// Settings; what the monitor answers is not reported (a slow one answers late or never).
void setVcp(HANDLE monitor, uint8_t code, uint32_t value);
void setBrightness(HANDLE monitor, uint32_t value);
void setContrast(HANDLE monitor, uint32_t value);
void saveSettings(HANDLE monitor);

// Changes a display's mode. Chosen when the program is linked, not at run time: the product
// links the system's (system_display_changer.cpp, ChangeDisplaySettingsExW); the panel of the
// test layout links one of the tests' own, so the product carries nothing of them.
class DisplaySettingsChanger {
public:
    virtual ~DisplaySettingsChanger() = default;
    virtual LONG change(const std::wstring& deviceName, DEVMODEW& mode, DWORD flags) = 0;
};
std::unique_ptr<DisplaySettingsChanger> makeDisplaySettingsChanger();

}  // namespace platform
