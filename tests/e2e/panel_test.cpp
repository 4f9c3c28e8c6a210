// The panel and the service stand-in together, driven from outside as the service and a user
// would: window messages, control ids, the shared block and the stand-in's log.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "config/block_access.h"
#include "config/service_protocol.h"
#include "fake_tray.h"
#include "panel_driver.h"
#include "platform/block_kernel.h"
#include "processes.h"
#include "resource.h"

using namespace scribo;
using namespace testsupport;

namespace {

std::wstring languageText(const wchar_t* key) {
    wchar_t buf[255] = {};
    GetPrivateProfileStringW(L"Dialog_Main", key, L"", buf, 255,
                             (layoutDir() + L"\\language\\English.ini").c_str());
    return buf;
}

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(listenWindow(), nullptr) << "a stand-in is still running";
        ASSERT_TRUE(installDefaultConfig());  // OK and WM_PANEL_SAVEALL save into it
    }
    TestFolder folder;
};

TEST_F(PanelTest, ASecondStartShowsTheFirstAndEnds) {
    ServiceSim sim(folder, kDemoProfile);
    Panel panel;
    ASSERT_TRUE(panel.start());
    EXPECT_FALSE(panelShown());  // collapsed into the notification area
    Process second;
    ASSERT_TRUE(second.start(L"\"" + layoutDir() + L"\\Scribo.exe\""));
    EXPECT_EQ(second.wait(15000), 0);
    EXPECT_TRUE(waitFor(panelShown));
    EXPECT_TRUE(panel.process().running());
}

TEST_F(PanelTest, AStartWithoutServiceLaunchesTheStandIn) {
    // The stand-in the panel starts inherits this and logs into the test's folder.
    SetEnvironmentVariableW(L"SCRIBO_SIM_LOG", folder.file(L"service.log").c_str());
    Panel panel;
    bool started = panel.start();
    // The panel gives the service it starts a fixed half second; a loaded machine may take
    // longer, and then the panel ends with code 2 (no service). The stand-in it started comes up
    // all the same, and the next start finds it.
    if (!started && panel.process().wait(15000) == 2) {
        EXPECT_TRUE(waitFor([] { return listenWindow() != nullptr; }, 20000));
        started = panel.start();
    }
    SetEnvironmentVariableW(L"SCRIBO_SIM_LOG", nullptr);
    EXPECT_TRUE(started);
    EXPECT_NE(listenWindow(), nullptr);
    EXPECT_NE(readFile(folder.file(L"service.log")).find("started"), std::string::npos);
    EXPECT_EQ(panel.stop(), 0);
    EXPECT_EQ(quitStandInStartedByPanel(), 0);
}

TEST_F(PanelTest, NoDeviceWarnsAndEnds) {
    ServiceSim sim(folder, "[device]\nconnected = 0\ndeviceId = PID_0374\n");
    Process panel;
    ASSERT_TRUE(panel.start(L"\"" + layoutDir() + L"\\Scribo.exe\""));
    HWND box = nullptr;
    ASSERT_TRUE(
        waitFor([&] { return (box = FindWindowW(L"#32770", L"Warning")) != nullptr; }, 15000));
    wchar_t message[512] = {};
    GetDlgItemTextW(box, 0xFFFF, message, 512);
    EXPECT_EQ(std::wstring(message), languageText(L"Main.MsgNotConnect"));
    EXPECT_FALSE(std::wstring(message).empty());
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(panel.wait(10000), 0);
}

TEST_F(PanelTest, OnlyTheRemoteLeavesTheDeviceListEmpty) {
    ServiceSim sim(folder, "[device]\ndeviceId = PID_0A31\ndeviceKind = 5\nproductName = Remote\n");
    Panel panel;
    ASSERT_TRUE(panel.start());
    EXPECT_EQ(comboCount(IDC_DEVICE_LIST), 0);
    // The remote's window is made at the start but not shown; a click on the icon shows it
    // instead of the main window (the send returns once it is handled).
    HWND remote = FindWindowW(L"#32770", L"Express Key Remote");
    ASSERT_NE(remote, nullptr);
    EXPECT_FALSE(IsWindowVisible(remote));
    EXPECT_EQ(sendToPanel(WM_PANEL_TRAY, 1, kTrayLeftButtonDown), 0);
    EXPECT_FALSE(panelShown());
    EXPECT_TRUE(IsWindowVisible(remote));
    EXPECT_EQ(FindWindowW(L"#32770", L"Express Key Remote"), remote);  // shown, not made anew
}

TEST_F(PanelTest, ArrivalsAndRemovalsFollowTheService) {
    ServiceSim sim(folder, kDemoProfile);
    Panel panel;
    ASSERT_TRUE(panel.start());
    HWND w = panelWindow();
    EXPECT_EQ(comboCount(IDC_DEVICE_LIST), 2);
    EXPECT_FALSE(controlShown(IDC_REMOTE));

    // The remote arrives while a tablet is listed: its button appears, the list stays.
    EXPECT_EQ(simCommand("arrive 0x0A31"), 1);
    EXPECT_TRUE(controlShown(IDC_REMOTE));
    EXPECT_EQ(comboCount(IDC_DEVICE_LIST), 2);

    // An arrival announced before its slot is filled is listed by id with the next rebuild.
    EXPECT_EQ(simCommand("arrive 0x0375 nofill"), 1);
    EXPECT_EQ(simCommand("arrive 0x0375"), 1);
    EXPECT_EQ(comboCount(IDC_DEVICE_LIST), 4);
    EXPECT_EQ(simCommand("remove 0x0375"), 1);
    EXPECT_EQ(simCommand("remove 0x0375"), 1);
    EXPECT_EQ(comboCount(IDC_DEVICE_LIST), 2);

    // The last tablets go while the remote stays: the panel hides.
    sendToPanel(WM_PANEL_SHOW);
    EXPECT_TRUE(waitFor(panelShown));
    EXPECT_EQ(simCommand("remove 0x0374"), 1);
    EXPECT_EQ(simCommand("remove 0x0390"), 1);
    EXPECT_EQ(comboCount(IDC_DEVICE_LIST), 0);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_TRUE(panel.process().running());
}

TEST_F(PanelTest, MessagesAnswerWithTheirValues) {
    ServiceSim sim(folder, kDemoProfile);
    Panel panel;
    ASSERT_TRUE(panel.start());
    for (long choice : {1L, 2L, 0L}) EXPECT_EQ(simCommand("trayicon " + std::to_string(choice)), 0);
    EXPECT_EQ(sendToPanel(WM_PANEL_IMPORTEXPORT, 3, 0), 1);  // neither export nor import
    EXPECT_EQ(sendToPanel(WM_PANEL_PRECISION), 0);
    EXPECT_EQ(sendToPanel(WM_PANEL_SAVEALL), 1);
    EXPECT_EQ(sendToPanel(WM_PANEL_MONITORSCHANGED), 1);
    EXPECT_EQ(sendToPanel(WM_PANEL_RELOAD), 1);
    EXPECT_TRUE(panel.process().running());
}

TEST_F(PanelTest, CancelAndTheCloseBoxHideWithoutEnding) {
    ServiceSim sim(folder, kDemoProfile);
    Panel panel;
    ASSERT_TRUE(panel.start());
    const struct {
        const char* name;
        UINT msg;
        WPARAM w;
        bool hides;
    } closers[] = {{"Cancel", WM_COMMAND, IDCANCEL, true},
                   {"OK", WM_COMMAND, IDOK, true},
                   {"close box", WM_SYSCOMMAND, SC_CLOSE, true},
                   {"minimise", WM_SYSCOMMAND, SC_MINIMIZE, true},
                   {"WM_CLOSE", WM_CLOSE, 0, false}};
    for (const auto& c : closers) {
        SCOPED_TRACE(c.name);
        sendToPanel(WM_PANEL_TRAY, 1, kTrayLeftButtonDown);  // click on the icon
        ASSERT_TRUE(waitFor(panelShown));
        sendToPanel(c.msg, c.w, 0);
        if (c.hides)
            EXPECT_TRUE(waitFor([] { return !panelShown(); }));
        else
            EXPECT_TRUE(panelShown());  // handled (the send returned) and ignored
        EXPECT_TRUE(panel.process().running());
    }
}

TEST_F(PanelTest, TheIconMenuExitEndsThePanel) {
    ServiceSim sim(folder, kDemoProfile);
    Panel panel;
    ASSERT_TRUE(panel.start());
    // Posted: the menu runs a modal loop inside the handler.
    PostMessageW(panelWindow(), WM_PANEL_TRAY, 1, kTrayRightButtonUp);
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
    ServiceSim sim(folder, kDemoProfile);
    Panel panel;
    ASSERT_TRUE(panel.start());
    EXPECT_EQ(simCommand("exit"), 1);
    EXPECT_EQ(panel.process().wait(10000), 0);
}

TEST_F(PanelTest, WindowsInkIsWrittenUnderTheBlockLock) {
    ServiceSim sim(folder, kDemoProfile);
    Panel panel;
    ASSERT_TRUE(panel.start());
    platform::SharedBlockLink link;
    ASSERT_EQ(link.attach(), AttachResult::Attached);
    DeviceRecord& rec = link.block()->devices[0];

    EXPECT_EQ(simCommand("ink 0"), 1);
    EXPECT_EQ(rec.windowsInk, 0);
    EXPECT_EQ(IsDlgButtonChecked(panelWindow(), IDC_WINDOWS_INK), BST_UNCHECKED);

    // While another process holds the lock the panel waits for its release, then writes. The
    // clock starts before the hold, so a panel that waits can never look faster than the hold.
    const auto t = std::chrono::steady_clock::now();
    ASSERT_EQ(simCommand("hold 1500"), 0);
    EXPECT_EQ(sendToPanel(WM_PANEL_WINDOWSINK, 1, 0), 1);
    EXPECT_GE(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t)
            .count(),
        1500);
    EXPECT_EQ(rec.windowsInk, 1);
    EXPECT_EQ(IsDlgButtonChecked(panelWindow(), IDC_WINDOWS_INK), BST_CHECKED);
}

TEST_F(PanelTest, TheNotificationIconFollowsTheServiceAndTheShell) {
    FakeTray tray;
    ASSERT_TRUE(tray.winsFindWindow());
    ServiceSim sim(folder, kDemoProfile);
    Panel panel;
    ASSERT_TRUE(panel.start());
    HWND w = panelWindow();
    auto last = [&] { return tray.calls().back(); };
    ASSERT_FALSE(tray.calls().empty());
    const FakeTray::Call added = tray.calls().front();
    EXPECT_EQ(added.action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(added.owner, w);
    EXPECT_EQ(added.callbackMessage, WM_PANEL_TRAY);
    EXPECT_TRUE(added.hasIcon);

    // The service swaps the icon: a modification of the same icon with a picture.
    const size_t before = tray.calls().size();
    EXPECT_EQ(simCommand("trayicon " + std::to_string(kTrayIconAlternate)), 0);
    ASSERT_GT(tray.calls().size(), before);
    EXPECT_EQ(last().action, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(last().id, added.id);
    EXPECT_TRUE(last().hasIcon);

    // The shell restarts: the icon is added again.
    const size_t beforeRestart = tray.calls().size();
    tray.announceRestart();
    ASSERT_TRUE(waitFor([&] { return tray.calls().size() > beforeRestart; }));
    EXPECT_EQ(last().action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(last().owner, w);

    // The panel ends: its icon goes.
    EXPECT_EQ(panel.stop(), 0);
    EXPECT_EQ(last().action, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(last().id, added.id);
}

TEST_F(PanelTest, PenPositioningWritesTheMeasuredAreaAndTellsThePanel) {
    ServiceSim sim(folder, kDemoProfile);
    Panel panel;
    ASSERT_TRUE(panel.start());
    sendToPanel(WM_PANEL_SHOW);
    ASSERT_TRUE(waitFor(panelShown));
    // The button sets the event; the stand-in writes the centred half of the 15200 x 9500
    // tablet into the first pen device and sends WM_PANEL_AREASET, which the panel answers.
    sendToPanel(WM_COMMAND, MAKEWPARAM(IDC_SET_WORK_AREA, BN_CLICKED),
                reinterpret_cast<LPARAM>(GetDlgItem(panelWindow(), IDC_SET_WORK_AREA)));
    ASSERT_TRUE(sim.waitForLog("penposition slot=0 area=3800 2375 7600 4750\n"));
    EXPECT_TRUE(sim.waitForLog("notify 0x41F wParam=0 lParam=0 result=1"));
    EXPECT_EQ(simCommand("get 0 tabletAreaW"), 7600);
    EXPECT_EQ(simCommand("get 0 tabletAreaH"), 4750);
}

}  // namespace