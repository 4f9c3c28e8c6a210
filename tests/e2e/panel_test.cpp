// The panel and the service stand-in together, driven from outside as the service and a user
// would: window messages, control ids, the shared block and the stand-in's log.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "config/block_access.h"
#include "platform/block_kernel.h"
#include "panel_driver.h"
#include "processes.h"
#include "resource.h"

using namespace scribo;
using namespace testsupport;

namespace {

std::wstring languageText(const wchar_t* key) {
    wchar_t buf[255] = {};
    GetPrivateProfileStringW(L"Dialog_Main", key, L"", buf, 255,
                             (binDir() + L"\\language\\English.ini").c_str());
    return buf;
}

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(listenWindow(), nullptr) << "a stand-in is still running";
        ASSERT_TRUE(installDefaultConfig());  // OK and 0x41D save into it
    }
};

TEST_F(PanelTest, ASecondStartShowsTheFirstAndEnds) {
    ServiceSim sim(kDemoProfile, L"e2e-second");
    Panel panel;
    ASSERT_TRUE(panel.start());
    EXPECT_FALSE(panelShown());  // collapsed into the notification area
    Process second;
    ASSERT_TRUE(second.start(L"Scribo.exe"));
    EXPECT_EQ(second.wait(15000), 0);
    EXPECT_TRUE(waitFor(panelShown));
    EXPECT_TRUE(panel.process().running());
}

TEST_F(PanelTest, AStartWithoutServiceLaunchesTheStandIn) {
    Panel panel;
    panel.process().start(L"\"" + binDir() + L"\\Scribo.exe\"");
    EXPECT_TRUE(waitFor([] { return listenWindow() != nullptr; }, 15000));
    panel.stop();
    simCommand("quit");
    waitFor([] { return listenWindow() == nullptr; });
}

TEST_F(PanelTest, NoDeviceWarnsAndEnds) {
    ServiceSim sim("[device]\nconnected = 0\ndeviceId = PID_0374\n", L"e2e-none");
    Process panel;
    ASSERT_TRUE(panel.start(L"Scribo.exe"));
    HWND box = nullptr;
    ASSERT_TRUE(waitFor([&] { return (box = FindWindowW(L"#32770", L"Warning")) != nullptr; }, 15000));
    wchar_t message[512] = {};
    GetDlgItemTextW(box, 0xFFFF, message, 512);
    EXPECT_EQ(std::wstring(message), languageText(L"Main.MsgNotConnect"));
    EXPECT_FALSE(std::wstring(message).empty());
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(panel.wait(10000), 0);
}

TEST_F(PanelTest, OnlyTheRemoteLeavesTheDeviceListEmpty) {
    ServiceSim sim("[device]\ndeviceId = PID_0A31\ndeviceKind = 5\nproductName = Remote\n", L"e2e-remote");
    Panel panel;
    ASSERT_TRUE(panel.start());
    EXPECT_EQ(comboCount(IDC_DEVICE_LIST), 0);
    EXPECT_EQ(sendToPanel(0x414, 1, 513), 0);  // a click on the icon does not show the main window
    Sleep(300);
    EXPECT_FALSE(panelShown());
}

TEST_F(PanelTest, ArrivalsAndRemovalsFollowTheService) {
    ServiceSim sim(kDemoProfile, L"e2e-arrive");
    Panel panel;
    ASSERT_TRUE(panel.start());
    HWND w = panelWindow();
    EXPECT_EQ(comboCount(IDC_DEVICE_LIST), 2);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(w, IDC_REMOTE)));

    // The remote arrives while a tablet is listed: its button appears, the list stays.
    EXPECT_EQ(simCommand("arrive 0x0A31"), 1);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(w, IDC_REMOTE)));
    EXPECT_EQ(comboCount(IDC_DEVICE_LIST), 2);

    // An arrival announced before its slot is filled is listed by id with the next rebuild.
    EXPECT_EQ(simCommand("arrive 0x0375 nofill"), 1);
    EXPECT_EQ(simCommand("arrive 0x0375"), 1);
    EXPECT_EQ(comboCount(IDC_DEVICE_LIST), 4);
    EXPECT_EQ(simCommand("remove 0x0375"), 1);
    EXPECT_EQ(simCommand("remove 0x0375"), 1);
    EXPECT_EQ(comboCount(IDC_DEVICE_LIST), 2);

    // The last tablets go while the remote stays: the panel hides.
    sendToPanel(0x417);
    EXPECT_TRUE(waitFor(panelShown));
    EXPECT_EQ(simCommand("remove 0x0374"), 1);
    EXPECT_EQ(simCommand("remove 0x0390"), 1);
    EXPECT_EQ(comboCount(IDC_DEVICE_LIST), 0);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_TRUE(panel.process().running());
}

TEST_F(PanelTest, MessagesAnswerWithTheirValues) {
    ServiceSim sim(kDemoProfile, L"e2e-values");
    Panel panel;
    ASSERT_TRUE(panel.start());
    for (long choice : {1L, 2L, 0L}) EXPECT_EQ(simCommand("trayicon " + std::to_string(choice)), 0);
    EXPECT_EQ(sendToPanel(0x422, 3, 0), 1);  // neither export nor import
    EXPECT_EQ(sendToPanel(0x416), 0);
    EXPECT_EQ(sendToPanel(0x41D), 1);
    EXPECT_EQ(sendToPanel(0x419), 1);
    EXPECT_EQ(sendToPanel(0x421), 1);
    EXPECT_TRUE(panel.process().running());
}

TEST_F(PanelTest, CancelAndTheCloseBoxHideWithoutEnding) {
    ServiceSim sim(kDemoProfile, L"e2e-hide");
    Panel panel;
    ASSERT_TRUE(panel.start());
    HWND w = panelWindow();
    const struct {
        const char* name;
        UINT msg;
        WPARAM w;
    } closers[] = {{"Cancel", WM_COMMAND, IDCANCEL},
                   {"OK", WM_COMMAND, IDOK},
                   {"close box", WM_SYSCOMMAND, SC_CLOSE},
                   {"minimise", WM_SYSCOMMAND, SC_MINIMIZE},
                   {"WM_CLOSE", WM_CLOSE, 0}};
    for (const auto& c : closers) {
        SCOPED_TRACE(c.name);
        sendToPanel(0x414, 1, 513);  // click on the icon
        ASSERT_TRUE(waitFor(panelShown));
        PostMessageW(w, c.msg, c.w, 0);
        if (c.msg == WM_CLOSE) {
            Sleep(300);
            EXPECT_TRUE(IsWindowVisible(w));  // ignored
            PostMessageW(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        }
        EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(w); }));
        EXPECT_TRUE(panel.process().running());
    }
}

TEST_F(PanelTest, TheIconMenuExitEndsThePanel) {
    ServiceSim sim(kDemoProfile, L"e2e-menu");
    Panel panel;
    ASSERT_TRUE(panel.start());
    PostMessageW(panelWindow(), 0x414, 1, 517);
    HWND menu = nullptr;
    ASSERT_TRUE(waitFor([&] {
        menu = FindWindowW(L"#32768", nullptr);
        return menu != nullptr && IsWindowVisible(menu);
    }));
    // Exit is the last of the three items.
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(panel.process().wait(10000), IDCANCEL);
}

TEST_F(PanelTest, ServiceExitEndsThePanel) {
    ServiceSim sim(kDemoProfile, L"e2e-exit");
    Panel panel;
    ASSERT_TRUE(panel.start());
    EXPECT_EQ(simCommand("exit"), 1);
    EXPECT_EQ(panel.process().wait(10000), 0);
}

TEST_F(PanelTest, WindowsInkIsWrittenUnderTheBlockLock) {
    ServiceSim sim(kDemoProfile, L"e2e-ink");
    Panel panel;
    ASSERT_TRUE(panel.start());
    platform::SharedBlockLink link;
    ASSERT_EQ(link.attach(), AttachResult::Attached);
    DeviceRecord& rec = link.block()->devices[0];

    EXPECT_EQ(simCommand("ink 0"), 1);
    EXPECT_EQ(rec.windowsInk, 0);
    EXPECT_EQ(IsDlgButtonChecked(panelWindow(), IDC_WINDOWS_INK), BST_UNCHECKED);

    // While another process holds the lock the panel waits for it, then writes.
    ASSERT_EQ(simCommand("hold 1200"), 0);
    const auto t = std::chrono::steady_clock::now();
    EXPECT_EQ(sendToPanel(0x463, 1, 0), 1);
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t).count(), 900);
    EXPECT_EQ(rec.windowsInk, 1);
    EXPECT_EQ(IsDlgButtonChecked(panelWindow(), IDC_WINDOWS_INK), BST_CHECKED);
}

}  // namespace
