// The display settings dialog's monitor port: how its worker reaches the first physical monitor
// of a pen display and the display's settings, over the platform's monitor calls.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "mapping/display_adjust.h"
#include "mapping/monitor_commands.h"
#include "platform/monitor_control.h"

namespace scribo::win {

// The worker's way to the first physical monitor and to the display's settings. It owns the
// physical monitors from the moment the dialog hands them over, and releases them when the
// worker ends.
class Dxva2MonitorPort : public scribo::MonitorPort {
public:
    Dxva2MonitorPort(platform::PhysicalMonitors monitors, std::wstring deviceName,
                     std::unique_ptr<platform::DisplaySettingsChanger> changer);
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
    platform::PhysicalMonitors monitors_;
    std::wstring deviceName_;
    std::unique_ptr<platform::DisplaySettingsChanger> changer_;
};

}  // namespace scribo::win
