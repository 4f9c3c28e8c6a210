// The monitor configuration interface (dxva2) and the display settings of a pen display: its
// physical monitors, owned for as long as the display adjustment dialog needs them, the readings
// the dialog shows, and the monitor port the dialog's worker sends commands through.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "mapping/display_adjust.h"
#include "mapping/monitor_commands.h"
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

// Readings of a physical monitor; false when the monitor did not answer.
bool readColourTemperature(HANDLE monitor, int& reported);
bool readGain(HANDLE monitor, int gainType, scribo::MonitorReading& reading);  // 0 red, 1 green, 2 blue
bool readBrightness(HANDLE monitor, scribo::MonitorReading& reading);
bool readContrast(HANDLE monitor, scribo::MonitorReading& reading);

// Changes a display's mode. Chosen when the program is linked, not at run time: the product
// links the system's (system_display_changer.cpp, ChangeDisplaySettingsExW); the panel of the
// test layout links one of the tests' own, so the product carries nothing of them.
class DisplaySettingsChanger {
public:
    virtual ~DisplaySettingsChanger() = default;
    virtual LONG change(const std::wstring& deviceName, DEVMODEW& mode, DWORD flags) = 0;
};
std::unique_ptr<DisplaySettingsChanger> makeDisplaySettingsChanger();

// The worker's way to the first physical monitor and to the display's settings. It owns the
// physical monitors from the moment the dialog hands them over, and releases them when the
// worker ends.
class Dxva2MonitorPort : public scribo::MonitorPort {
public:
    Dxva2MonitorPort(PhysicalMonitors monitors, std::wstring deviceName,
                     std::unique_ptr<DisplaySettingsChanger> changer);
    bool readColourTemperature(int& reported) override;
    bool readGain(int gain, scribo::MonitorReading& reading) override;
    bool readBrightness(scribo::MonitorReading& reading) override;
    bool readContrast(scribo::MonitorReading& reading) override;
    void setVcp(uint8_t code, uint32_t value) override;
    void setBrightness(uint32_t value) override;
    void setContrast(uint32_t value) override;
    void save() override;
    void changeDisplayMode(const scribo::DisplayModeChange& change) override;

private:
    PhysicalMonitors monitors_;
    std::wstring deviceName_;
    std::unique_ptr<DisplaySettingsChanger> changer_;
};

}  // namespace platform
