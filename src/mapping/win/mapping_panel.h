// The screen-mapping group of the main window: the monitor list, the screen and tablet areas
// with their fields, and the rotation. The arithmetic is ScreenMapping's; this class reads the
// controls, calls it and shows what it leaves behind.
#pragma once

#include <windows.h>

#include <memory>

#include "config/block_access.h"
#include "config/language.h"
#include "config/shared_block.h"
#include "mapping/screen_mapping.h"
#include "mapping/win/display_settings_dialog.h"

class MappingPanel {
public:
    MappingPanel(HWND dialog, scribo::SharedBlock& block, scribo::BlockLock& lock,
                 const scribo::TIniFile& language)
        : dialog_(dialog), block_(block), lock_(lock), language_(language) {}

    // Entry 0 is the whole desktop, then one entry per monitor of the block's table.
    void fillMonitorList();
    void setClientSize(int cx, int cy) { mapping_.setClientSize(cx, cy); }
    void load(scribo::DeviceRecord& rec, int systemMonitorCount);

    // Control notifications of this group; false when the control is not one of ours.
    bool onCommand(int id, int code, scribo::DeviceRecord* rec);
    // Rotation r: the rotation is written, then the trackpad is told (outside the lock), then
    // the full rotated area is written.
    void chooseRotation(int r, scribo::DeviceRecord& rec);
    // The service finished pen positioning and left the area in the tablet's own frame.
    void onAreaSet(scribo::DeviceRecord& rec);

    const scribo::ScreenMapping& mapping() const { return mapping_; }
    // Ends the dialogs this group opened (the panel is ending).
    void closeDialogs();

private:
    void showFields();
    void showRotation();
    void moveTabletPreview();
    void invalidateArea();
    HWND item(int id) const { return GetDlgItem(dialog_, id); }

    HWND dialog_;
    scribo::SharedBlock& block_;
    scribo::BlockLock& lock_;
    const scribo::TIniFile& language_;
    scribo::ScreenMapping mapping_;
    bool showingFields_ = false;
    std::unique_ptr<CDlgDisplaySettings> displaySettings_;
};
