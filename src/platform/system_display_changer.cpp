// The product's display-mode changes: the system's own. Linked into Scribo.exe only; programs
// that must never change the screen they run on link a changer of their own instead.
#include "platform/monitor_control.h"

namespace platform {

namespace {

class SystemDisplaySettings : public DisplaySettingsChanger {
public:
    LONG change(const std::wstring& deviceName, DEVMODEW& mode, DWORD flags) override {
        return ChangeDisplaySettingsExW(deviceName.c_str(), &mode, nullptr, flags, nullptr);
    }
};

}  // namespace

std::unique_ptr<DisplaySettingsChanger> makeDisplaySettingsChanger() {
    return std::make_unique<SystemDisplaySettings>();
}

}  // namespace platform
