#include "shell/device_list.h"

#include "config/block_access.h"

namespace scribo {

DeviceList::DeviceList(SharedBlock& block,
                       std::function<std::u16string(std::u16string_view)> tableMapName)
    : block_(block), tableMapName_(std::move(tableMapName)) {}

DeviceEntry& DeviceList::append(const std::u16string& id) {
    auto entry = std::make_unique<DeviceEntry>();
    entry->deviceId = id;
    entry->record = lookupRecord(block_, id);
    entries_.push_back(std::move(entry));
    return *entries_.back();
}

bool DeviceList::resolve(DeviceEntry& entry) {
    // A slot can change hands without a removal in between: a record kept from earlier is only
    // this entry's while it still carries the entry's id.
    if (entry.record != nullptr &&
        !equalsIgnoringCase(readField(entry.record->deviceId), entry.deviceId))
        entry.record = nullptr;
    if (entry.record == nullptr) entry.record = lookupRecord(block_, entry.deviceId);
    return entry.record != nullptr;
}

int DeviceList::scanDevices() {
    int added = 0;
    for (DeviceRecord& rec : block_.devices) {
        if (rec.connected == 0) continue;
        const std::u16string id = readField(rec.deviceId);
        DeviceEntry* known = nullptr;
        for (auto& e : entries_)
            if (e->deviceId == id) known = e.get();  // exact comparison, as listed
        if (known != nullptr) {
            ++known->connectionCount;
            continue;
        }
        append(id);
        kindMask_ |= rec.deviceKind == kDeviceKindRemote ? kKindMaskRemote : kKindMaskPen;
        ++added;
    }
    return added;
}

std::u16string DeviceList::comboText(const DeviceEntry& e) const {
    const DeviceRecord* rec = e.record;
    if (rec != nullptr && e.deviceId == u"PID_0B52" && rec->physicalWidth == 20320 &&
        rec->physicalHeight == 15240)
        return readField(rec->modelName) + u" " + readField(rec->productName);
    if (!e.displayName.empty()) return e.displayName;
    // An entry whose slot the service has not filled yet is listed by its id.
    return rec != nullptr ? readField(rec->productName) : e.deviceId;
}

void DeviceList::rebuildDeviceCombo() {
    comboTexts_.clear();
    int k = 0;
    for (auto& e : entries_) {
        e->displayName = tableMapName_ ? tableMapName_(e->deviceId) : std::u16string();
        if (e->deviceId == kRemoteDeviceId) continue;
        resolve(*e);
        e->comboIndex = k++;
        comboTexts_.push_back(comboText(*e));
    }
}

DeviceEntry* DeviceList::pickCurrentDevice() {
    current_ = nullptr;
    for (auto& e : entries_)
        if (e->comboIndex == 0) {
            current_ = e.get();
            break;
        }
    return current_;
}

void DeviceList::selectCurrentFromCombo(int selection) {
    current_ = nullptr;
    for (auto& e : entries_)
        if (e->comboIndex == selection) {
            current_ = e.get();
            break;
        }
    markLoaded();
}

bool DeviceList::markLoaded() {
    if (current_ == nullptr || !resolve(*current_)) {
        loadedEntry_ = nullptr;
        loadedRecord_ = nullptr;
        return false;
    }
    loadedEntry_ = current_;
    loadedRecord_ = current_->record;
    return true;
}

DeviceRecord* DeviceList::currentRecord() {
    if (current_ == nullptr || !resolve(*current_)) return nullptr;
    return current_ == loadedEntry_ && current_->record == loadedRecord_ ? current_->record
                                                                         : nullptr;
}

PanelActions DeviceList::refresh() {
    PanelActions a;
    if (current_ == nullptr || currentRecord() != nullptr || !resolve(*current_)) return a;
    // Only a tablet or pen display is loaded into the panels; the remote's record is edited in
    // its own window.
    if ((kindMask_ & kKindMaskPen) == 0 || current_->comboIndex < 0) return a;
    a.loadCurrent = markLoaded();
    return a;
}

PanelActions DeviceList::onDeviceArrived(unsigned productId) {
    PanelActions a;
    DeviceEntry& entry = append(deviceIdFromProductId(productId));
    if (entry.record == nullptr) return a;  // listed, but nothing to load until the slot is there
    if ((productId & 0xFFFFu) == kRemoteProductId) {
        kindMask_ |= kKindMaskRemote;
        if (kindMask_ == kKindMaskRemote)
            a.createRemoteWindow = true;
        else
            a.loadCurrent = markLoaded();
        return a;
    }
    kindMask_ |= kKindMaskPen;
    rebuildDeviceCombo();
    a.rebuildCombo = true;
    pickCurrentDevice();
    a.loadCurrent = markLoaded();
    a.showWindow = true;
    return a;
}

PanelActions DeviceList::onDeviceRemoved(unsigned productId) {
    PanelActions a;
    const std::u16string id = deviceIdFromProductId(productId);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        DeviceEntry& e = **it;
        if (e.deviceId != id) continue;
        if (e.connectionCount > 1) {
            --e.connectionCount;
            break;
        }
        if (e.deviceId == kRemoteDeviceId && (kindMask_ & kKindMaskRemote) != 0) {
            kindMask_ &= ~kKindMaskRemote;
            a.closeRemoteWindow = true;
        }
        if (current_ == &e) current_ = nullptr;
        if (loadedEntry_ == &e) loadedEntry_ = nullptr;
        entries_.erase(it);
        rebuildDeviceCombo();
        a.rebuildCombo = true;
        pickCurrentDevice();
        a.loadCurrent = markLoaded();
        break;
    }
    if (entries_.size() == 1 && entries_.front()->deviceId == kRemoteDeviceId &&
        (kindMask_ & kKindMaskPen) != 0) {
        kindMask_ &= ~kKindMaskPen;
        a.hideWindow = true;
        a.loadCurrent = false;
        current_ = nullptr;
        markLoaded();
    }
    return a;
}

PanelActions DeviceList::onComboSelection(int selection) {
    PanelActions a;
    // Compared with what the panels show, not with the last choice: after an arrival or a
    // removal put the combo back on its first item, choosing the previous device again must
    // load it, or the combo would name one device while every panel edits another.
    DeviceEntry* chosen = nullptr;
    for (auto& e : entries_)
        if (e->comboIndex == selection) chosen = e.get();
    if (chosen != nullptr && chosen == current_ && currentRecord() != nullptr) return a;
    selectCurrentFromCombo(selection);
    a.loadCurrent = currentRecord() != nullptr;
    return a;
}

std::vector<std::u16string> DeviceList::deviceIds() const {
    std::vector<std::u16string> ids;
    for (const auto& e : entries_) ids.push_back(e->deviceId);
    return ids;
}

}  // namespace scribo
