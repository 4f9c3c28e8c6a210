// The shared block over real kernel objects created by the service stand-in.
#include <gtest/gtest.h>

#include <chrono>

#include "config/block_access.h"
#include "config/service_protocol.h"
#include "platform/block_kernel.h"
#include "processes.h"

using namespace scribo;
using testsupport::ServiceSim;
using testsupport::simCommand;
using testsupport::TestFolder;

namespace {

const char kProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\n"
    "[device]\ndeviceId = PID_0374\nkeyCount = 8\nproductName = Test Pad\n"
    "[device]\ndeviceId = PID_0374\n"
    "[device]\nconnected = 0\ndeviceId = PID_0A31\ndeviceKind = 5\n";

long long msSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 t)
        .count();
}

TEST(BlockLink, WithoutServiceAttachFailsAndTouchesNothing) {
    ASSERT_EQ(testsupport::listenWindow(), nullptr) << "a stand-in is still running";
    platform::SharedBlockLink link;
    EXPECT_EQ(link.attach(), AttachResult::NotReady);
    EXPECT_EQ(link.block(), nullptr);
}

TEST(BlockLink, AttachesToTheStandInsBlockAndSeesItsCommands) {
    TestFolder folder;
    ServiceSim sim(folder, kProfile);
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
    TestFolder folder;
    ServiceSim sim(folder, kProfile);
    ASSERT_TRUE(sim.started());
    platform::SharedBlockLink link;
    ASSERT_EQ(link.attach(), AttachResult::Attached);

    // Held far longer than the wait: the write must give up after its own time-out, which is
    // what the upper bound shows however slow the machine is.
    ASSERT_EQ(simCommand("hold 60000"), 0);
    auto t = std::chrono::steady_clock::now();
    bool written = false;
    EXPECT_FALSE(writeLocked(link.lock(), [&] { written = true; }));
    EXPECT_TRUE(written);  // the edit is kept although the lock was not had
    EXPECT_GE(msSince(t), 2900);
    EXPECT_LT(msSince(t), 30000);

    // Once released, the lock is quick to take.
    ASSERT_EQ(simCommand("release"), 0);
    ASSERT_TRUE(testsupport::waitFor(
        [&] {
            if (!link.lock().lockBlock()) return false;
            link.lock().unlockBlock();
            return true;
        },
        20000));

    // The service ends while holding the mutex: the next wait gets it at once.
    ASSERT_EQ(simCommand("hold 60000"), 0);
    sim.kill();
    t = std::chrono::steady_clock::now();
    EXPECT_TRUE(link.lock().lockBlock());
    link.lock().unlockBlock();
    EXPECT_LT(msSince(t), 2500);
}

// What the panel sends to the listen window can be read back, with the lock state and the
// record at the moment WM_SERVICE_TRACKPAD arrived.
TEST(BlockLink, TheStandInRecordsLightsAndTrackpadWithTheLockState) {
    TestFolder folder;
    ServiceSim sim(folder, kProfile);
    ASSERT_TRUE(sim.started());
    platform::SharedBlockLink link;
    ASSERT_EQ(link.attach(), AttachResult::Attached);
    auto send = [](UINT msg, WPARAM w, LPARAM l) {
        DWORD_PTR r = 0;
        return SendMessageTimeoutW(testsupport::listenWindow(), msg, w, l, SMTO_NORMAL, 10000,
                                   &r) != 0;
    };

    ASSERT_TRUE(send(WM_SERVICE_LIGHTS, 1, 50));
    ASSERT_TRUE(send(WM_SERVICE_LIGHTS, 2, 100));
    EXPECT_EQ(simCommand("get light1"), 50);
    EXPECT_EQ(simCommand("get light2"), 100);
    EXPECT_EQ(simCommand("get count 0x423"), 2);

    ASSERT_EQ(simCommand("set 0 rotation 1"), 0);
    ASSERT_EQ(simCommand("set 0 tabletAreaX 10"), 0);
    ASSERT_EQ(simCommand("set 0 hasTrackPad 1"),
              0);  // the record reported is the trackpad device's
    ASSERT_TRUE(send(WM_SERVICE_TRACKPAD, 2, 1));
    EXPECT_EQ(simCommand("get trackpad"), 2);
    EXPECT_EQ(simCommand("get trackpadrotation"), 1);
    EXPECT_EQ(simCommand("get lockheld424"), 0);
    EXPECT_NE(
        sim.log().find(
            "msg=0x424 wParam=2 lParam=1 lock=free\ntrackpad slot=0 rotation=1 area=10 0 0 0"),
        std::string::npos);

    // Sent while this process holds the block lock: counted and logged as held.
    ASSERT_TRUE(link.lock().lockBlock());
    const bool sent = send(WM_SERVICE_TRACKPAD, 3, 0);
    link.lock().unlockBlock();
    ASSERT_TRUE(sent);
    EXPECT_EQ(simCommand("get lockheld424"), 1);
    EXPECT_EQ(simCommand("get count 0x424"), 2);
    EXPECT_NE(sim.log().find("msg=0x424 wParam=3 lParam=0 lock=held"), std::string::npos);

    // Numeric record fields read back; texts, unknown names and slots are refused.
    EXPECT_EQ(simCommand("get 0 keyCount"), 8);
    EXPECT_EQ(simCommand("get 0 rotation"), 1);
    EXPECT_EQ(simCommand("get 0 deviceId"), testsupport::kUnknownCommand);
    EXPECT_EQ(simCommand("get 5 keyCount"), testsupport::kUnknownCommand);
    EXPECT_EQ(simCommand("get nothing"), testsupport::kUnknownCommand);
}

TEST(BlockLink, ASecondStandInLeavesTheFirstIntact) {
    TestFolder folder;
    ServiceSim first(folder, kProfile);
    ASSERT_TRUE(first.started());
    platform::SharedBlockLink link;
    ASSERT_EQ(link.attach(), AttachResult::Attached);
    link.block()->devices[0].keyCount = 17;

    testsupport::Process second;
    ASSERT_TRUE(second.start(L"\"" + testsupport::layoutDir() + L"\\ScriboService.exe\" --log \"" +
                             folder.file(L"second.log") + L"\" --profile \"" +
                             folder.file(L"nothing.profile") + L"\""));
    EXPECT_EQ(second.wait(10000), 1);
    EXPECT_EQ(link.block()->devices[0].keyCount, 17);
    EXPECT_EQ(testsupport::simCommand("set 0 keyCount 5"), 0);  // the first still answers
    EXPECT_EQ(link.block()->devices[0].keyCount, 5);
}

}  // namespace
