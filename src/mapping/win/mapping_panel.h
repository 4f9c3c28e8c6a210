// The screen-mapping group of the main window: the monitor list, the screen and tablet areas
// with their fields, the rotation, the two previews with their trackers, and the service's
// monitor notifications. The arithmetic is ScreenMapping's; this class reads the controls, calls
// it, writes what it leaves behind and draws it.
#pragma once

#include <windows.h>

#include <memory>

#include "config/block_access.h"
#include "config/language.h"
#include "config/shared_block.h"
#include "mapping/screen_mapping.h"
#include "mapping/win/display_settings_dialog.h"
#include "mapping/win/info_strip.h"
#include "mapping/win/thumbnail.h"
#include "platform/keyboard_host.h"
#include "platform/pictures.h"
#include "platform/rect_tracker.h"

class MappingPanel {
public:
    MappingPanel(HWND dialog, scribo::SharedBlock& block, scribo::BlockLock& lock,
                 const scribo::TIniFile& language, platform::PictureLibrary& pictures,
                 scribo::win::InfoStrip& info)
        : dialog_(dialog),
          block_(block),
          lock_(lock),
          language_(language),
          pictures_(pictures),
          info_(info) {}

    // Entry 0 is the whole desktop, then one entry per monitor of the block's table.
    void fillMonitorList();
    void setClientSize(int cx, int cy) { mapping_.setClientSize(cx, cy); }
    // A device was selected: state from the record, rotation radio, info window, thumbnail.
    void load(scribo::DeviceRecord& rec, int systemMonitorCount);
    // The main window moved to a screen with other dots per inch: the previews, trackers and
    // info strip are measured again from the new client size and the record.
    void onDpiChanged(int clientW, int clientH, scribo::DeviceRecord* rec, int systemMonitorCount);

    // Control notifications of this group; false when the control is not one of ours.
    bool onCommand(int id, int code, scribo::DeviceRecord* rec);
    // Rotation r: the rotation is written, then the trackpad is told (outside the lock), then
    // the full rotated area is written.
    void chooseRotation(int r, scribo::DeviceRecord& rec);
    // The record got its defaults (restore defaults): the mapping group shows them.
    void showDefaults(scribo::DeviceRecord& rec);
    // The service finished pen positioning and left the area in the tablet's own frame.
    void onAreaSet(scribo::DeviceRecord& rec);
    // A region chosen on the selection overlay (virtual-screen pixels).
    void applySelectedRegion(const RECT& region, scribo::DeviceRecord& rec);
    // The service's monitor notifications; neither writes the record.
    void onMonitorsChanged();
    void onSelectMonitor(int entry);
    // The pen switched between absolute and relative positioning (the record holds the new
    // mode): the trackers' tab stops and the drawing follow at once.
    void onMouseModeChanged(const scribo::DeviceRecord* rec);
    // Our timers (delayed thumbnail captures); false for any other timer.
    bool onTimer(UINT_PTR id);
    // Captures the thumbnail after the window had a moment to get out of the way.
    void captureThumbnailSoon(UINT delayMs);
    // Captures the thumbnail now (the main window is about to be shown); a capture still
    // waiting is dropped, as it would take the window itself.
    void refreshThumbnail();

    // Mouse and painting, called from the main window's handlers. onLeftButtonDown returns
    // false when the click belongs to no tracker (it then goes to the pressure curve).
    bool onLeftButtonDown(POINT p, scribo::DeviceRecord* rec);
    bool onSetCursor(POINT clientPoint, const scribo::DeviceRecord* rec) const;
    void paint(HDC dc, const scribo::DeviceRecord* rec);

    // Keyboard (mapping_keys.cpp): each preview is a tab stop named after its area while its
    // tracker can be moved; the arrows move the tracker, Shift for a large step, Ctrl moves its
    // bottom-right corner instead. The change goes the way of a mouse drag.
    enum class Tracker { Screen, Tablet };
    void attachKeyboard(Tracker which, std::wstring_view name,
                        platform::KeyboardHost::KeyHandler onKey);
    bool onTrackerKey(Tracker which, UINT virtualKey, scribo::DeviceRecord* rec);

    // The monitor of the current selection (entry 0 = the whole desktop).
    RECT selectedMonitor() const;
    int selection() const { return mapping_.selection(); }
    const scribo::ScreenMapping& mapping() const { return mapping_; }
    // Ends the dialogs this group opened (the panel is ending).
    void closeDialogs();

private:
    void showFields();
    void showRotation();
    void moveTabletPreview();
    void readScreenPreviewRect();
    void captureThumbnail();
    void moveInfoWindow() const;
    void afterMonitorChange(bool redrawNow);
    void syncTrackers();
    void invalidateArea(bool redrawNow);
    bool trackersShown(const scribo::DeviceRecord* rec) const;
    void onFieldUpdated(int id, scribo::DeviceRecord& rec);
    void drawTabletPicture(HDC dc, const scribo::DeviceRecord& rec);
    bool trackerMovable(Tracker which, const scribo::DeviceRecord* rec) const;
    void drawKeyFocus(HDC dc, const scribo::DeviceRecord* rec);
    HWND item(int id) const { return GetDlgItem(dialog_, id); }

    HWND dialog_;
    scribo::SharedBlock& block_;
    scribo::BlockLock& lock_;
    const scribo::TIniFile& language_;
    platform::PictureLibrary& pictures_;
    scribo::win::InfoStrip& info_;
    scribo::ScreenMapping mapping_;
    scribo::win::Thumbnail thumbnail_;
    platform::RectTracker screenTracker_;
    platform::RectTracker tabletTracker_;
    platform::KeyboardHost screenKeys_;
    platform::KeyboardHost tabletKeys_;
    bool showingFields_ = false;
    std::unique_ptr<CDlgDisplaySettings> displaySettings_;
};
