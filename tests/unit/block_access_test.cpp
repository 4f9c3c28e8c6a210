#include "config/block_access.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace scribo {
namespace {

std::unique_ptr<SharedBlock> zeroBlock() {
    auto block = std::make_unique<SharedBlock>();
    std::memset(block.get(), 0, sizeof(SharedBlock));
    return block;
}

TEST(SharedBlockLayout, BoundariesBetweenNeighbours) {
    // Slot 4 ends where the monitor table starts; entry 10 ends where the pen buttons start.
    EXPECT_EQ(4 * sizeof(DeviceRecord) + sizeof(DeviceRecord), offsetof(SharedBlock, monitorRects));
    EXPECT_EQ(1513980u, 5 * sizeof(DeviceRecord));
    EXPECT_EQ(offsetof(DeviceRecord, apps) + 11 * sizeof(AppEntry), 300200u);
    EXPECT_LT(offsetof(DeviceRecord, tabletLight), offsetof(DeviceRecord, wheelLight));
    // Ring text [r][g] starts 2,560 * r + 512 * g bytes into its array.
    AppEntry e{};
    auto base = reinterpret_cast<const char*>(e.ringTextA);
    EXPECT_EQ(reinterpret_cast<const char*>(e.ringTextA[1][3]) - base, 2560 + 3 * 512);
}

TEST(BlockLookup, FindsByIdIgnoringCaseFirstSlotWinsAndFallsBackToSlotZero) {
    auto block = zeroBlock();
    storeField(block->devices[2].deviceId, u"PID_0A31");
    storeField(block->devices[3].deviceId, u"pid_0a31");
    storeField(block->devices[1].deviceId, u"PID_0374");

    EXPECT_EQ(lookupRecord(*block, u"pid_0a31"), &block->devices[2]);
    EXPECT_EQ(lookupSlot(*block, u"Pid_0A31"), 2);
    EXPECT_EQ(lookupSlot(*block, u"PID_0374"), 1);
    EXPECT_EQ(lookupRecord(*block, u"PID_FFFF"), nullptr);
    EXPECT_EQ(lookupSlot(*block, u"PID_FFFF"), 0);  // not -1
    // `connected` is not consulted: slot 2 is free but still found.
    EXPECT_EQ(block->devices[2].connected, 0);
    EXPECT_EQ(deviceIdFromProductId(0x0A31), u"PID_0A31");
    EXPECT_EQ(deviceIdFromProductId(0x12), u"PID_0012");
}

TEST(BlockText, ReadsStayInsideUnterminatedArraysAndStoresRefuseOverlongTexts) {
    auto block = zeroBlock();
    DeviceRecord& rec = block->devices[0];
    for (auto& c : rec.deviceId) c = u'X';
    for (auto& c : rec.productName) c = u'P';
    EXPECT_EQ(readField(rec.deviceId), std::u16string(18, u'X'));
    EXPECT_EQ(readField(rec.productName).size(), 226u);
    // A lookup against an unterminated id compares only its 18 units.
    EXPECT_EQ(lookupRecord(*block, std::u16string(18, u'x')), &rec);

    char16_t field[6];
    std::fill(std::begin(field), std::end(field), u'#');
    EXPECT_TRUE(storeField(field, u"abc"));
    EXPECT_EQ(readField(field), u"abc");
    EXPECT_EQ(field[5], u'\0');                  // the stale tail is cleared
    EXPECT_FALSE(storeField(field, u"abcdef"));  // 6 units + NUL do not fit
    EXPECT_EQ(readField(field), u"abc");
    EXPECT_TRUE(storeField(field, u"abcde"));
}

TEST(BlockBounds, HostileCountsAreClamped) {
    auto block = zeroBlock();
    block->devices[0].keyCount = 99;
    block->devices[1].keyCount = -5;
    block->monitorCount = 50;
    EXPECT_EQ(boundedKeyCount(block->devices[0]), 20);
    EXPECT_EQ(boundedKeyCount(block->devices[1]), 0);
    EXPECT_EQ(boundedMonitorCount(*block), 9);
    EXPECT_FALSE(isValidRotation(7));
    EXPECT_FALSE(isValidRotation(-1));
    EXPECT_TRUE(isValidRotation(3));
    EXPECT_FALSE(isValidMonitorIndex(10));
    EXPECT_FALSE(isValidTrackPadId(0));
    EXPECT_EQ(recordAt(*block, 5), nullptr);
    EXPECT_EQ(entryAt(block->devices[0], 11), nullptr);
    EXPECT_EQ(entryAt(block->devices[0], 10), &block->devices[0].apps[10]);
}

class FakeLock : public BlockLock {
public:
    bool available = true;
    std::vector<std::string> calls;
    bool lockBlock() override {
        calls.push_back(available ? "lock" : "timeout");
        return available;
    }
    void unlockBlock() override { calls.push_back("unlock"); }
};

TEST(BlockLockDiscipline, TimeoutStillWritesButReleasesNothing) {
    FakeLock lock;
    int value = 0;
    EXPECT_TRUE(writeLocked(lock, [&] { value = 1; }));
    lock.available = false;
    EXPECT_FALSE(writeLocked(lock, [&] { value = 2; }));
    EXPECT_EQ(value, 2);
    EXPECT_EQ(lock.calls, (std::vector<std::string>{"lock", "unlock", "timeout"}));
}

TEST(BlockLockDiscipline, ConnectedSlotWritesLeaveFreeSlotsAlone) {
    auto block = zeroBlock();
    block->devices[0].connected = 1;
    block->devices[3].connected = 1;
    block->devices[1].precisionMode = 7;  // free slot keeps its value
    FakeLock lock;
    std::vector<int> order;
    writeToConnectedSlots(*block, lock, [&](DeviceRecord& rec) {
        rec.precisionMode = 1;
        order.push_back(static_cast<int>(&rec - block->devices));
    });
    EXPECT_EQ(order, (std::vector<int>{0, 3}));
    EXPECT_EQ(block->devices[1].precisionMode, 7);
    EXPECT_EQ(block->devices[4].precisionMode, 0);
    EXPECT_EQ(lock.calls.size(), 4u);
}

class FakeKernel : public BlockKernel {
public:
    bool mappingExists = true, mapFails = false, mutexExists = true;
    std::size_t size = sizeof(SharedBlock);
    std::vector<std::string> calls;
    std::vector<char> memory = std::vector<char>(sizeof(SharedBlock));

    bool openMapping() override {
        calls.push_back("openMapping");
        return mappingExists;
    }
    void* mapWholeView() override {
        calls.push_back("map");
        return mapFails ? nullptr : memory.data();
    }
    std::size_t viewSize() override { return size; }
    void closeMapping() override { calls.push_back("closeMapping"); }
    bool openMutex() override {
        calls.push_back("openMutex");
        return mutexExists;
    }
    void unmapView(void*) override { calls.push_back("unmap"); }
};

TEST(BlockAttach, OutcomesOfTheAttachSteps) {
    struct Case {
        const char* name;
        bool mapping, mapFails, mutex;
        std::size_t size;
        AttachResult result;
        std::vector<std::string> calls;
    };
    const std::size_t full = sizeof(SharedBlock);
    const Case cases[] = {
        {"service ready",
         true,
         false,
         true,
         full,
         AttachResult::Attached,
         {"openMapping", "map", "openMutex"}},
        {"no service: mutex missing",
         false,
         false,
         false,
         full,
         AttachResult::NotReady,
         {"openMapping", "openMutex"}},
        {"mapping missing, mutex there",
         false,
         false,
         true,
         full,
         AttachResult::MissingBlock,
         {"openMapping", "openMutex"}},
        {"view cannot be mapped",
         true,
         true,
         true,
         full,
         AttachResult::NotReady,
         {"openMapping", "map", "closeMapping"}},
        {"mapping too small",
         true,
         false,
         true,
         full - 1,
         AttachResult::MissingBlock,
         {"openMapping", "map", "openMutex"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeKernel k;
        k.mappingExists = c.mapping;
        k.mapFails = c.mapFails;
        k.mutexExists = c.mutex;
        k.size = c.size;
        BlockAttachment a(k);
        EXPECT_EQ(a.attach(), c.result);
        EXPECT_EQ(k.calls, c.calls);
        EXPECT_EQ(a.block() != nullptr, c.result == AttachResult::Attached);
    }
}

TEST(BlockAttach, DetachUnmapsOnce) {
    FakeKernel k;
    {
        BlockAttachment a(k);
        ASSERT_EQ(a.attach(), AttachResult::Attached);
        a.detach();
        EXPECT_EQ(a.block(), nullptr);
    }
    EXPECT_EQ(std::count(k.calls.begin(), k.calls.end(), "unmap"), 1);
}

}  // namespace
}  // namespace scribo
