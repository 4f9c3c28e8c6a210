// The main window's list of connected devices and the current device, kept apart from the
// window so every arrival/removal sequence can be tested on a plain block.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/service_protocol.h"
#include "config/shared_block.h"

namespace scribo {

struct DeviceEntry {
    int comboIndex = -1;  // position in the device combo; -1 = not listed (always for the remote)
    int connectionCount = 1;
    std::u16string deviceId;
    std::u16string displayName;
    DeviceRecord* record = nullptr;  // none until the service has filled the device's slot
};

// What the window has to do after a list change.
struct PanelActions {
    bool rebuildCombo = false;        // refill the device combo from comboTexts()
    bool loadCurrent = false;         // load the current device's record into every panel
    bool createRemoteWindow = false;  // create the remote's window if missing (not shown)
    bool closeRemoteWindow = false;   // close the remote's window and hide button 1105
    bool showWindow = false;          // show the main window normally
    bool hideWindow = false;          // hide the main window (only the remote is left)
};

class DeviceList {
public:
    // `tableMapName` gives the display name of a device id from the common file ("" = none).
    DeviceList(SharedBlock& block, std::function<std::u16string(std::u16string_view)> tableMapName);

    int scanDevices();                           // entries added from the connected slots
    void rebuildDeviceCombo();                   // renumbers entries and fills comboTexts()
    DeviceEntry* pickCurrentDevice();            // first entry with comboIndex 0, or none
    void selectCurrentFromCombo(int selection);  // current = entry whose comboIndex == selection
    PanelActions onDeviceArrived(unsigned productId);
    PanelActions onDeviceRemoved(unsigned productId);
    PanelActions onComboSelection(int selection);

    // The current device's record as the panels show it: null while there is none, and also
    // while the entry's record has appeared (the service filled its slot late) but has not been
    // loaded into the panels yet, so no edit made on another device's values reaches it.
    DeviceRecord* currentRecord();
    // Loads the current entry when its record has appeared since it became current.
    PanelActions refresh();

    const std::vector<std::u16string>& comboTexts() const { return comboTexts_; }
    const std::vector<std::unique_ptr<DeviceEntry>>& entries() const { return entries_; }
    DeviceEntry* currentDevice() const { return current_; }
    int deviceKindMask() const { return kindMask_; }
    std::vector<std::u16string> deviceIds() const;  // in list order, for saving

private:
    DeviceEntry& append(const std::u16string& id);
    bool resolve(DeviceEntry& entry);
    std::u16string comboText(const DeviceEntry& entry) const;
    // The window loads the current entry now: remember what it shows. False without a record.
    bool markLoaded();

    SharedBlock& block_;
    std::function<std::u16string(std::u16string_view)> tableMapName_;
    std::vector<std::unique_ptr<DeviceEntry>> entries_;
    std::vector<std::u16string> comboTexts_;
    DeviceEntry* current_ = nullptr;
    // What the panels show: the entry and the record it had when it was loaded.
    const DeviceEntry* loadedEntry_ = nullptr;
    const DeviceRecord* loadedRecord_ = nullptr;
    int kindMask_ = 0;
};

}  // namespace scribo
