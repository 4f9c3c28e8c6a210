// The panel's link to the tablet interface library "WinTab32.dll": loads it by name from the
// system folder or the program's folder (never the current directory), looks up the
// sixteen functions of the interface (all must be there), opens the pressure context on a window
// and fetches the packets the library announces with its packet message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/handles.h"
#include "platform/wintab_types.h"

namespace platform {

class WintabLibrary {
public:
    // `library` is the bare name in the product, searched for in the system folder and the
    // program's folder only; tests give a path or a name of their own.
    explicit WintabLibrary(std::wstring library = L"WinTab32.dll");
    ~WintabLibrary();
    WintabLibrary(const WintabLibrary&) = delete;
    WintabLibrary& operator=(const WintabLibrary&) = delete;

    // Loads the library again and opens the pressure context on `window`, closing first whatever
    // is open. False (nothing loaded, nothing open) when the library or a function is missing,
    // the library has no default system context, or the context does not open.
    bool openPressureContext(HWND window);
    // Copies the packet with this serial number; false when there is none (or no context).
    bool fetchPacket(UINT serial, wintab::PressurePacket& out);
    // Closes the context if open and unloads the library.
    void close();

    bool isOpen() const { return context_ != nullptr; }
    wintab::HCTX context() const { return context_; }
    // Maximum of the normal-pressure axis; 0 until a context is open or when the axis is unknown.
    uint32_t maxPressure() const { return maxPressure_; }
    // The packet message of the open context (its message base); 0 when none is open.
    UINT packetMessage() const { return context_ != nullptr ? packetMessage_ : 0; }

private:
    bool load();
    void unload();

    std::wstring libraryName_;
    UniqueModule module_;
    wintab::WTOpenAFn open_ = nullptr;
    wintab::WTInfoAFn info_ = nullptr;
    wintab::WTPacketFn packet_ = nullptr;
    wintab::WTCloseFn close_ = nullptr;
    wintab::HCTX context_ = nullptr;
    uint32_t maxPressure_ = 0;
    UINT packetMessage_ = 0;
};

}  // namespace platform
