// The windows beside the mapping panel that the main window owns: the selection overlay, the
// pen-display calibration and the precision-mode indicator.
#pragma once

#include <windows.h>

#include <memory>

#include "config/block_access.h"
#include "config/device_binding.h"
#include "config/language.h"
#include "config/shared_block.h"
#include "mapping/precision_area.h"
#include "mapping/win/info_strip.h"

class CDlgCutWnd;
class CDlgCheckDisplay;
class CDlgJXMode;

class MappingTools {
public:
    MappingTools(HINSTANCE instance, HWND mainWindow, scribo::SharedBlock& block,
                 scribo::BlockLock& lock, const scribo::TIniFile& language,
                 scribo::win::InfoStrip& info);
    ~MappingTools();

    // The precision indicator exists from the start, hidden.
    void createIndicator();
    void showPrecision(const scribo::PrecisionToggle::Result& result);

    // Button 1148: the overlay over monitor entry `selection`, the main window hidden meanwhile.
    // False when it cannot open (no window, an entry without a monitor); the main window stays.
    bool openOverlay(int selection);
    // What the overlay chose, valid when WM_PANEL_AREASELECTED arrives.
    const RECT& selectedRegion() const { return selectedRegion_; }

    // Button 1009: the calibration of the bound device (a running one is shown again where it
    // was).
    void openCalibration(scribo::DeviceBinding binding);
    // A device arrived or left, or the service reloaded: a calibration whose device is no longer
    // there in its slot (or every calibration, on `reload`) ends and the overlay closes, so
    // neither writes into a record that has changed hands.
    void onDeviceEvent(bool reload);
    // The panel ends: both go.
    void closeAll();

private:
    HINSTANCE instance_;
    HWND main_;
    scribo::SharedBlock& block_;
    scribo::BlockLock& lock_;
    const scribo::TIniFile& language_;
    scribo::win::InfoStrip& info_;
    RECT selectedRegion_{};
    std::unique_ptr<CDlgCutWnd> overlay_;
    std::unique_ptr<CDlgCheckDisplay> calibration_;
    std::unique_ptr<CDlgJXMode> indicator_;
};
