#include "config/device_binding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "config/block_access.h"
#include "model_fixtures.h"

namespace scribo {
namespace {

void fill(SharedBlock& block, int slot, const char16_t* id) {
    DeviceRecord& r = block.devices[slot];
    std::memset(&r, 0, sizeof r);
    r.connected = 1;
    storeField(r.deviceId, id);
}

void clear(SharedBlock& block, int slot) {
    std::memset(&block.devices[slot], 0, sizeof(DeviceRecord));
}

TEST(DeviceBinding, BindsOnlyAConnectedDeviceAndNeverFallsBackToAnotherSlot) {
    auto block = testing::zeroBlock();
    DeviceGenerations generations;
    fill(*block, 0, u"PID_0374");
    fill(*block, 2, u"PID_0390");
    block->devices[3].connected = 0;
    storeField(block->devices[3].deviceId, u"PID_0375");  // listed but not connected

    EXPECT_EQ(generations.bindDevice(*block, u"pid_0390").record(), &block->devices[2]);
    EXPECT_EQ(generations.bindDevice(*block, u"PID_0390").slot(), 2);
    EXPECT_EQ(generations.bindDevice(*block, u"PID_0375").record(), nullptr);
    EXPECT_EQ(generations.bindDevice(*block, u"PID_9999").record(), nullptr);
    EXPECT_EQ(generations.bindDevice(*block, u"").record(), nullptr);
    EXPECT_EQ(generations.bindSlot(*block, 1).record(), nullptr);
    EXPECT_EQ(generations.bindSlot(*block, -1).record(), nullptr);
    EXPECT_EQ(generations.bindSlot(*block, kSlotCount).record(), nullptr);
    EXPECT_EQ(DeviceBinding().record(), nullptr);
}

// What happens to a binding of the device in slot 1 across the events of the device list.
TEST(DeviceBinding, EventsMakeItStaleAndRebindingFollowsTheDevice) {
    struct Case {
        const char* name;
        std::function<void(SharedBlock&, DeviceGenerations&)> event;
        bool validBeforeRebind;
        bool rebinds;
    };
    const Case cases[] = {
        {"nothing happened", [](SharedBlock&, DeviceGenerations&) {}, true, true},
        {"another device arrived elsewhere",
         [](SharedBlock& b, DeviceGenerations& g) { fill(b, 3, u"PID_0375"), g.bump(); }, false,
         true},
        {"reload", [](SharedBlock&, DeviceGenerations& g) { g.bump(); }, false, true},
        {"its device left", [](SharedBlock& b, DeviceGenerations& g) { clear(b, 1), g.bump(); },
         false, false},
        {"its device left, the message not yet handled",
         [](SharedBlock& b, DeviceGenerations&) { clear(b, 1); }, false, false},
        {"another device arrived in its slot",
         [](SharedBlock& b, DeviceGenerations& g) {
             clear(b, 1), g.bump(), fill(b, 1, u"PID_0375"), g.bump();
         },
         false, false},
        {"another device in its slot without any message",
         [](SharedBlock& b, DeviceGenerations&) { fill(b, 1, u"PID_0375"); }, false, false},
        {"it left and came back into the same slot",
         [](SharedBlock& b, DeviceGenerations& g) {
             clear(b, 1), g.bump(), fill(b, 1, u"PID_0390"), g.bump();
         },
         false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto block = testing::zeroBlock();
        DeviceGenerations generations;
        fill(*block, 0, u"PID_0374");
        fill(*block, 1, u"PID_0390");
        DeviceBinding binding = generations.bindDevice(*block, u"PID_0390");
        ASSERT_EQ(binding.record(), &block->devices[1]);
        c.event(*block, generations);
        EXPECT_EQ(binding.valid(), c.validBeforeRebind);
        EXPECT_EQ(binding.rebind(), c.rebinds);
        EXPECT_EQ(binding.record(), c.rebinds ? &block->devices[1] : nullptr);
        // Released, it never comes back.
        binding.release();
        EXPECT_EQ(binding.record(), nullptr);
        EXPECT_FALSE(binding.rebind());
    }
}

TEST(DeviceBinding, OutlivingItsGenerationsLeavesItStale) {
    auto block = testing::zeroBlock();
    fill(*block, 0, u"PID_0374");
    DeviceBinding binding;
    {
        DeviceGenerations generations;
        binding = generations.bindSlot(*block, 0);
        ASSERT_TRUE(binding.valid());
    }
    EXPECT_FALSE(binding.valid());
    EXPECT_FALSE(binding.rebind());
}

}  // namespace
}  // namespace scribo
