// A service that misbehaves: hostile data in the block and random notifications, a listen window
// that stops answering, a service that is gone. The panel must stay alive and answering.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "config/service_protocol.h"
#include "panel_driver.h"
#include "processes.h"
#include "resource.h"

using namespace scribo;
using namespace testsupport;

namespace {

// Two tablets (one with a trackpad bound to rotation) and a pen display.
const char kProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\nprimaryMonitor = "
    "1\n"
    "[device]\ndeviceId = PID_0375\nproductName = Pad L\ndeviceKind = 0\nhasRing = "
    "1\nhasExpressKeys = 1\n"
    "hasTrackPad = 1\ntrackPadId = 1\nkeyCount = 16\ntabletMaxX = 21600\ntabletMaxY = 13500\n"
    "[device]\ndeviceId = PID_0374\nproductName = Pad S\ndeviceKind = 0\nhasExpressKeys = 1\n"
    "keyCount = 8\ntabletMaxX = 15200\ntabletMaxY = 9500\n"
    "[device]\ndeviceId = PID_0390\nproductName = Display 16\ndeviceKind = 1\nhasExpressKeys = 1\n"
    "tabletMaxX = 34500\ntabletMaxY = 19500\n";

long long elapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 since)
        .count();
}

// The panel answers a message that does nothing (neither export nor import) within `ms`.
bool panelAnswers(int ms = 5000) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(panelWindow(), WM_PANEL_IMPORTEXPORT, 0, 0, SMTO_NORMAL,
                               static_cast<UINT>(ms), &result) != 0 &&
           result == 1;
}

class Robustness : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(listenWindow(), nullptr) << "a stand-in is still running";
        ASSERT_TRUE(installDefaultConfig());
    }
    TestFolder folder;
};

// The stand-in mutates the block (with and without its lock) and sends random notifications.
// SCRIBO_FUZZ_SEEDS ("1 2 3") and SCRIBO_FUZZ_MS (per seed) make a longer run of the same test.
TEST_F(Robustness, HostileDataAndRandomNotificationsLeaveThePanelAnswering) {
    std::vector<std::string> seeds{"7", "20261210"};
    if (const char* env = std::getenv("SCRIBO_FUZZ_SEEDS")) {
        std::istringstream in(env);
        seeds.assign(std::istream_iterator<std::string>(in), std::istream_iterator<std::string>());
    }
    const char* msEnv = std::getenv("SCRIBO_FUZZ_MS");
    const int ms = msEnv ? std::max(1, std::atoi(msEnv)) : 6000;
    ServiceSim sim(folder, kProfile);
    ASSERT_TRUE(sim.started());
    Panel panel;
    ASSERT_TRUE(panel.start());
    sendToPanel(WM_PANEL_SHOW);
    for (const std::string& seed : seeds) {
        SCOPED_TRACE(seed);
        ASSERT_EQ(simCommand("fuzz " + seed + " " + std::to_string(ms)), 0);
        const std::string doneText = "fuzz done seed=" + seed + " ";
        ASSERT_TRUE(sim.waitForLog(doneText, ms + 90000)) << sim.log().substr(0, 2000);
        const std::string log = sim.log();
        const auto done = log.find(doneText);
        const std::string line = log.substr(done, log.find('\n', done) - done);
        std::printf("%s\n", line.c_str());
        // What the stand-in noticed during this seed: a message left unanswered, the panel gone.
        const auto from = log.rfind("fuzz seed=" + seed + " ", done);
        const std::string findings = log.substr(from == std::string::npos ? 0 : from, done - from);
        EXPECT_NE(line.find("unanswered=0"), std::string::npos) << findings;
        ASSERT_TRUE(panel.process().running())
            << "exit code 0x" << std::hex << panel.process().wait(0) << "\n"
            << findings;
        EXPECT_TRUE(panelAnswers());
    }
}

// The listen window stops answering: a rotation that tells the trackpad still comes back within
// the send's bound, and the panel keeps answering its own messages.
TEST_F(Robustness, AHungServiceDoesNotFreezeThePanel) {
    ServiceSim sim(folder, kProfile);
    ASSERT_TRUE(sim.started());
    Panel panel;
    ASSERT_TRUE(panel.start());
    sendToPanel(WM_PANEL_SHOW);
    ASSERT_EQ(simCommand("hang 15000"), 0);
    ASSERT_TRUE(sim.waitForLog("hang 15000", 5000));
    const auto t = std::chrono::steady_clock::now();
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(GetDlgItem(panelWindow(), IDC_ROTATE_90), BM_CLICK, 0, 0,
                                  SMTO_NORMAL, 10000, &result),
              0);
    EXPECT_LT(elapsedMs(t), 6000);
    EXPECT_TRUE(panelAnswers(2000));
    // Cancel still hides the window.
    PostMessageW(panelWindow(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(waitFor([] { return !panelVisible(); }, 5000));
    ASSERT_TRUE(sim.waitForLog("hang over", 30000));
}

// The service is gone: the panel keeps running, its icon menu still opens and its Exit ends it.
TEST_F(Robustness, AVanishedServiceLeavesThePanelUsable) {
    ServiceSim sim(folder, kProfile);
    ASSERT_TRUE(sim.started());
    Panel panel;
    ASSERT_TRUE(panel.start());
    sim.kill();
    ASSERT_TRUE(waitFor([] { return listenWindow() == nullptr; }));
    sendToPanel(WM_PANEL_SHOW);
    sendOrFail(GetDlgItem(panelWindow(), IDC_ROTATE_180), BM_CLICK, 0, 0);  // nobody to tell
    EXPECT_TRUE(panelAnswers());
    PostMessageW(panelWindow(), WM_PANEL_TRAY, 1, kTrayRightButtonUp);
    HWND menu = nullptr;
    ASSERT_TRUE(waitFor([&] {
        menu = FindWindowW(L"#32768", nullptr);
        return menu != nullptr && IsWindowVisible(menu);
    }));
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);  // Exit is the last item
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(panel.process().wait(10000), IDCANCEL);
}

}  // namespace
