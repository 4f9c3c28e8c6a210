// The pen settings group of the main window: both pen-button lists and their labels, absolute
// or relative positioning, the relative speed and Windows Ink of the current device.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "config/block_access.h"
#include "config/device_binding.h"
#include "config/language.h"
#include "config/shared_block.h"

class PenPanel {
public:
    // `bindCurrent` binds the device the panels show; an assignment is written through it.
    PenPanel(HWND dialog, scribo::BlockLock& lock, const scribo::TIniFile& language,
             std::function<scribo::DeviceBinding()> bindCurrent)
        : dialog_(dialog), lock_(lock), language_(language), bindCurrent_(std::move(bindCurrent)) {}

    // Texts of both pen-button lists; before a device is loaded the upper list shows item 3 and
    // the lower item 1. Range of the speed trackbar.
    void fillTexts();
    void initTrackbar();
    void load(const scribo::DeviceRecord& rec);

    // Control notifications of this group; false when the control is not one of ours. `rec` is
    // the current record or null (then nothing is written).
    bool onCommand(int id, int code, scribo::DeviceRecord* rec);
    bool onHScroll(HWND bar, scribo::DeviceRecord* rec);

    // The service changed Windows Ink: box and record follow.
    void setWindowsInk(bool on, scribo::DeviceRecord* rec);
    // The record got its defaults (restore defaults): the pen group shows them.
    void showDefaults();
    // A device event while a pen-button dialog is open: the dialog ends and its choice is
    // dropped (the program chooser cannot be ended; what it returns is dropped).
    void cancelPending();

private:
    // A pen-button list changed: run the chooser or the assignment dialog the choice asks for
    // (outside the lock), then write the index and descriptor together.
    void assignButton(int button, int k, scribo::DeviceRecord& rec);
    std::optional<std::u16string> chooseProgram();
    HWND item(int id) const { return GetDlgItem(dialog_, id); }

    HWND dialog_;
    scribo::BlockLock& lock_;
    const scribo::TIniFile& language_;
    std::function<scribo::DeviceBinding()> bindCurrent_;
    scribo::DeviceBinding pending_;  // the device of the dialog that is open
    size_t pendingLevel_ = 0;        // modal depth below that dialog
    bool assigning_ = false;
};
