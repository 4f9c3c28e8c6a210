#include "config/device_binding.h"

#include "config/block_access.h"

namespace scribo {

DeviceBinding DeviceGenerations::bindSlot(SharedBlock& block, int slot) const {
    DeviceBinding b;
    DeviceRecord* rec = recordAt(block, slot);
    if (rec == nullptr || rec->connected == 0) return b;
    b.deviceId_ = readField(rec->deviceId);
    if (b.deviceId_.empty()) return b;
    b.block_ = &block;
    b.slot_ = slot;
    b.generation_ = *counter_;
    b.source_ = counter_;
    return b;
}

DeviceBinding DeviceGenerations::bindDevice(SharedBlock& block, std::u16string_view id) const {
    if (id.empty()) return {};
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const DeviceRecord& rec = block.devices[slot];
        if (rec.connected != 0 && equalsIgnoringCase(readField(rec.deviceId), id))
            return bindSlot(block, slot);
    }
    return {};
}

bool DeviceBinding::deviceStillThere() const {
    if (block_ == nullptr || slot_ < 0 || slot_ >= kSlotCount) return false;
    const DeviceRecord& rec = block_->devices[slot_];
    return rec.connected != 0 && equalsIgnoringCase(readField(rec.deviceId), deviceId_);
}

DeviceRecord* DeviceBinding::record() const {
    const auto source = source_.lock();
    if (!source || *source != generation_ || !deviceStillThere()) return nullptr;
    return &block_->devices[slot_];
}

bool DeviceBinding::rebind() {
    const auto source = source_.lock();
    if (!source || !deviceStillThere()) return false;
    generation_ = *source;
    return true;
}

}  // namespace scribo
