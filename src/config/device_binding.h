// How a window reaches the device record it edits. A window keeps a DeviceBinding instead of a
// record pointer: the binding names the slot and the device id it was made for and the
// generation of the device list at that moment. The main window starts a new generation on
// every arrival, removal and reload, so a binding made before such an event yields no record
// until its holder rebinds it, and rebinding succeeds only while the same device is still
// connected in the same slot. A write through a stale binding therefore never lands in another
// device's record, whatever arrived in the slot meanwhile. Portable.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "config/shared_block.h"

namespace scribo {

class DeviceBinding;

// The generation counter the main window owns. Bindings observe it weakly: a binding that
// outlives its source is simply stale.
class DeviceGenerations {
public:
    DeviceGenerations() : counter_(std::make_shared<uint64_t>(1)) {}

    // Every binding made so far becomes stale.
    void bump() { ++*counter_; }
    uint64_t current() const { return *counter_; }

    // A binding to the device now connected in `slot`; unbound when the slot is out of range
    // or holds no connected device.
    DeviceBinding bindSlot(SharedBlock& block, int slot) const;
    // A binding to the connected device whose id matches `id` ignoring case; unbound when no
    // such device is connected (there is no fallback to another slot).
    DeviceBinding bindDevice(SharedBlock& block, std::u16string_view id) const;

private:
    std::shared_ptr<uint64_t> counter_;
};

class DeviceBinding {
public:
    DeviceBinding() = default;

    // The record, or null when the binding is unbound or stale (a newer generation, the slot
    // emptied, or another device in it).
    DeviceRecord* record() const;
    bool valid() const { return record() != nullptr; }
    // Takes the current generation when the bound device is still connected in its slot; false
    // (and the binding stays stale) otherwise.
    bool rebind();
    // Forgets the device: record() is null from now on, whatever happens.
    void release() { block_ = nullptr; }

    int slot() const { return block_ != nullptr ? slot_ : -1; }
    const std::u16string& deviceId() const { return deviceId_; }
    SharedBlock* block() const { return block_; }

private:
    friend class DeviceGenerations;
    bool deviceStillThere() const;

    SharedBlock* block_ = nullptr;
    int slot_ = -1;
    std::u16string deviceId_;
    uint64_t generation_ = 0;
    std::weak_ptr<uint64_t> source_;
};

}  // namespace scribo
