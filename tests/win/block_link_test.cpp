// The shared block over real kernel objects created by the service stand-in.
#include <gtest/gtest.h>

#include <chrono>

#include "config/block_access.h"
#include "platform/block_kernel.h"
#include "processes.h"

using namespace scribo;
using testsupport::ServiceSim;

namespace {

const char kProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\n"
    "[device]\ndeviceId = PID_0374\nkeyCount = 8\nproductName = Test Pad\n"
    "[device]\ndeviceId = PID_0374\n"
    "[device]\nconnected = 0\ndeviceId = PID_0A31\ndeviceKind = 5\n";

long long msSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now() - t)
        .count();
}

TEST(BlockLink, WithoutServiceAttachFailsAndTouchesNothing) {
    ASSERT_EQ(testsupport::listenWindow(), nullptr) << "a stand-in is still running";
    platform::SharedBlockLink link;
    EXPECT_EQ(link.attach(), AttachResult::NotReady);
    EXPECT_EQ(link.block(), nullptr);
}

TEST(BlockLink, AttachesToTheStandInsBlockAndSeesItsCommands) {
    ServiceSim sim(kProfile, L"block-link");
    ASSERT_TRUE(sim.started());
    platform::SharedBlockLink link;
    ASSERT_EQ(link.attach(), AttachResult::Attached);
    SharedBlock& b = *link.block();
    EXPECT_EQ(b.monitorCount, 1);
    EXPECT_EQ(lookupSlot(b, u"pid_0374"), 0);
    EXPECT_EQ(b.devices[1].connected, 1);  // two slots with one id
    EXPECT_EQ(readField(b.devices[0].productName), u"Test Pad");
    EXPECT_EQ(b.devices[2].connected, 0);

    // An arrival fills a free slot before the (here absent) panel is told.
    EXPECT_EQ(testsupport::simCommand("arrive 0x0A31"), -1);  // no panel to notify
    EXPECT_EQ(readField(b.devices[2].deviceId), u"PID_0A31");
    EXPECT_EQ(testsupport::simCommand("remove 0x0A31"), -1);
    EXPECT_EQ(b.devices[2].connected, 0);
    EXPECT_NE(sim.log().find("notify 0x41B dropped: no panel"), std::string::npos);
}

TEST(BlockLink, LockHeldByAnotherProcessTimesOutAndAnAbandonedLockCountsAsHeld) {
    ServiceSim sim(kProfile, L"block-lock");
    ASSERT_TRUE(sim.started());
    platform::SharedBlockLink link;
    ASSERT_EQ(link.attach(), AttachResult::Attached);

    ASSERT_EQ(testsupport::simCommand("hold 4500"), 0);
    auto t = std::chrono::steady_clock::now();
    bool written = false;
    EXPECT_FALSE(writeLocked(link.lock(), [&] { written = true; }));
    EXPECT_TRUE(written);  // the edit is kept although the lock was not had
    EXPECT_GE(msSince(t), 2900);
    EXPECT_LT(msSince(t), 4400);

    // Once released, the lock is quick to take.
    ASSERT_TRUE(testsupport::waitFor([&] {
        if (!link.lock().lockBlock()) return false;
        link.lock().unlockBlock();
        return true;
    }, 4000));

    // The service ends while holding the mutex: the next wait gets it at once.
    ASSERT_EQ(testsupport::simCommand("hold 60000"), 0);
    sim.process().kill();
    t = std::chrono::steady_clock::now();
    EXPECT_TRUE(link.lock().lockBlock());
    link.lock().unlockBlock();
    EXPECT_LT(msSince(t), 1000);
}

TEST(BlockLink, ASecondStandInLeavesTheFirstIntact) {
    ServiceSim first(kProfile, L"first");
    ASSERT_TRUE(first.started());
    platform::SharedBlockLink link;
    ASSERT_EQ(link.attach(), AttachResult::Attached);
    link.block()->devices[0].keyCount = 17;

    testsupport::Process second;
    ASSERT_TRUE(second.start(L"ScriboService.exe --profile nothing.profile"));
    EXPECT_EQ(second.wait(10000), 1);
    EXPECT_EQ(link.block()->devices[0].keyCount, 17);
    EXPECT_EQ(testsupport::simCommand("set 0 keyCount 5"), 0);  // the first still answers
    EXPECT_EQ(link.block()->devices[0].keyCount, 5);
}

}  // namespace
