#include "mapping/win/monitor_port.h"

#include <cstddef>
#include <cstring>

namespace scribo::win {

// The block keeps the system's own display-mode record, byte for byte.
static_assert(sizeof(DEVMODEW) == kDisplayModeBytes, "the block keeps the system's record");
static_assert(offsetof(DEVMODEW, dmFields) == kDmFieldsOffset);
static_assert(offsetof(DEVMODEW, dmDisplayOrientation) == kDmOrientationOffset);
static_assert(offsetof(DEVMODEW, dmPelsWidth) == kDmPelsWidthOffset);
static_assert(offsetof(DEVMODEW, dmPelsHeight) == kDmPelsHeightOffset);

Dxva2MonitorPort::Dxva2MonitorPort(platform::PhysicalMonitors monitors, std::wstring deviceName,
                                   std::unique_ptr<platform::DisplaySettingsChanger> changer)
    : monitors_(std::move(monitors)),
      deviceName_(std::move(deviceName)),
      changer_(std::move(changer)) {}

bool Dxva2MonitorPort::readColourTemperature(int& reported) {
    return platform::readColourTemperature(monitors_.first(), reported);
}
namespace {

bool asReading(bool ok, const platform::MonitorRange& raw, MonitorReading& r) {
    if (ok) r = {raw.minimum, raw.current, raw.maximum};
    return ok;
}

}  // namespace

bool Dxva2MonitorPort::readGain(int gain, MonitorReading& r) {
    platform::MonitorRange raw;
    return asReading(platform::readGain(monitors_.first(), gain, raw), raw, r);
}
bool Dxva2MonitorPort::readBrightness(MonitorReading& r) {
    platform::MonitorRange raw;
    return asReading(platform::readBrightness(monitors_.first(), raw), raw, r);
}
bool Dxva2MonitorPort::readContrast(MonitorReading& r) {
    platform::MonitorRange raw;
    return asReading(platform::readContrast(monitors_.first(), raw), raw, r);
}

void Dxva2MonitorPort::setVcp(uint8_t code, uint32_t value) {
    platform::setVcp(monitors_.first(), code, value);
}
void Dxva2MonitorPort::setBrightness(uint32_t value) {
    platform::setBrightness(monitors_.first(), value);
}
void Dxva2MonitorPort::setContrast(uint32_t value) {
    platform::setContrast(monitors_.first(), value);
}
void Dxva2MonitorPort::save() { platform::saveSettings(monitors_.first()); }

void Dxva2MonitorPort::changeDisplayMode(const scribo::DisplayModeChange& change) {
    if (!changer_) return;
    DEVMODEW mode;
    std::memcpy(&mode, change.mode.data(), sizeof mode);
    changer_->change(deviceName_, mode, change.flags);
}

}  // namespace scribo::win
