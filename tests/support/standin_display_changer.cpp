// Display-mode changes of the test layout's panel: handed to the DDC/CI stand-in (dxva2.dll of
// the layout), which records them, so tests see exactly what the panel asked for and the virtual
// screen they run on stays as it is. Never the system's: without the stand-in nothing changes.
#include "platform/monitor_control.h"

namespace platform {

namespace {

using ChangeFn = LONG(WINAPI*)(LPCWSTR, DEVMODEW*, HWND, DWORD, LPVOID);

class StandInDisplaySettings : public DisplaySettingsChanger {
public:
    LONG change(const std::wstring& deviceName, DEVMODEW& mode, DWORD flags) override {
        HMODULE standIn = GetModuleHandleW(L"dxva2.dll");
        FARPROC fn = standIn ? GetProcAddress(standIn, "DdcSimChangeDisplaySettingsExW") : nullptr;
        if (fn == nullptr) return DISP_CHANGE_FAILED;
        return reinterpret_cast<ChangeFn>(reinterpret_cast<void*>(fn))(deviceName.c_str(), &mode,
                                                                       nullptr, flags, nullptr);
    }
};

}  // namespace

std::unique_ptr<DisplaySettingsChanger> makeDisplaySettingsChanger() {
    return std::make_unique<StandInDisplaySettings>();
}

}  // namespace platform
