// The service's notifications and the main window's start-up through the real panel: what each
// leaves in the shared block and on the screen.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "config/block_access.h"
#include "config/service_protocol.h"
#include "fake_tray.h"
#include "mapping/screen_mapping.h"
#include "panel_driver.h"
#include "platform/block_kernel.h"
#include "platform/handles.h"
#include "platform/wide.h"
#include "processes.h"
#include "resource.h"

using namespace scribo;
using namespace testsupport;

namespace {

struct TabletArea {
    int32_t x, y, w, h;
    bool operator==(const TabletArea& o) const {
        return x == o.x && y == o.y && w == o.w && h == o.h;
    }
    bool operator!=(const TabletArea& o) const { return !(*this == o); }
};
void PrintTo(const TabletArea& a, std::ostream* os) {
    *os << a.x << ", " << a.y << ", " << a.w << ", " << a.h;
}

// Two tablets and a pen display on one 1920 x 1080 monitor; the second tablet has a trackpad
// bound to rotation and a one-button pen.
const char kProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\nprimaryMonitor = "
    "1\n"
    "[device]\ndeviceId = PID_0374\nproductName = Pad S\ndeviceKind = 0\nhasExpressKeys = 1\n"
    "keyCount = 8\npenModel = 3\ntabletMaxX = 15200\ntabletMaxY = 9500\nmonitorIndex = 1\n"
    "[device]\ndeviceId = PID_0390\nproductName = Display 16\ndeviceKind = 1\nhasExpressKeys = 1\n"
    "tabletMaxX = 34500\ntabletMaxY = 19500\n"
    "[device]\ndeviceId = PID_0375\nproductName = Pad L\ndeviceKind = 0\nhasRing = 1\n"
    "hasTrackPad = 1\ntrackPadId = 1\npenModel = 1\ntabletMaxX = 21600\ntabletMaxY = 13500\n"
    "tabletAreaW = 21600\ntabletAreaH = 13500\n";

class ServiceMessages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(listenWindow(), nullptr) << "a stand-in is still running";
        ASSERT_TRUE(installDefaultConfig());
    }
    void start(const std::string& profile = kProfile) {
        sim_ = std::make_unique<ServiceSim>(folder_, profile);
        ASSERT_TRUE(sim_->started());
        ASSERT_TRUE(panel_.start());
        ASSERT_EQ(link_.attach(), AttachResult::Attached);
    }
    void showPanel() {
        sendToPanel(WM_PANEL_SHOW);
        ASSERT_TRUE(waitFor(panelShown));
    }
    static HWND control(int id) { return GetDlgItem(panelWindow(), id); }
    static bool visible(int id) { return IsWindowVisible(control(id)) != FALSE; }
    static void click(int id) { sendOrFail(control(id), BM_CLICK, 0, 0); }
    static void chooseDevice(int index) {
        sendOrFail(control(IDC_DEVICE_LIST), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        sendOrFail(panelWindow(), WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(control(IDC_DEVICE_LIST)));
    }
    DeviceRecord& slot(int s) { return link_.block()->devices[s]; }
    // The tablet area the panel's fields show.
    static TabletArea shown() {
        const int fields[] = {IDC_TABLET_X, IDC_TABLET_Y, IDC_TABLET_W, IDC_TABLET_H};
        TabletArea a{};
        int32_t* parts[] = {&a.x, &a.y, &a.w, &a.h};
        for (int i = 0; i < 4; ++i)
            *parts[i] =
                static_cast<int32_t>(GetDlgItemInt(panelWindow(), fields[i], nullptr, TRUE));
        return a;
    }
    static TabletArea areaOf(const DeviceRecord& r) {
        return {r.tabletAreaX, r.tabletAreaY, r.tabletAreaW, r.tabletAreaH};
    }

    TestFolder folder_;
    std::unique_ptr<ServiceSim> sim_;
    Panel panel_;
    platform::SharedBlockLink link_;
};

// A reload while the window is still collapsed must not make it impossible to show.
TEST_F(ServiceMessages, AReloadBeforeTheFirstShowKeepsTheWindowsSize) {
    start();
    EXPECT_EQ(sendToPanel(WM_PANEL_RELOAD), 1);
    showPanel();
    RECT r{};
    GetWindowRect(panelWindow(), &r);
    EXPECT_GT(r.right - r.left, 400);
    EXPECT_GT(r.bottom - r.top, 300);
}

TEST_F(ServiceMessages, PrecisionModeIsWrittenIntoEveryConnectedSlot) {
    start();
    const struct {
        POINT cursor;
        Rect32 rect;
    } cases[] = {{{960, 540}, {800, 435, 1120, 645}},
                 {{5, 5}, {0, 0, 320, 210}},
                 {{1910, 1075}, {1600, 870, 1920, 1080}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cursor.x);
        const std::string stuck = moveCursor(c.cursor.x, c.cursor.y);
        if (!stuck.empty()) {
            ADD_FAILURE() << stuck;
            continue;
        }
        EXPECT_EQ(sendToPanel(WM_PANEL_PRECISION), 0);
        for (int s : {0, 1, 2}) {
            EXPECT_EQ(slot(s).precisionMode, 1) << "slot " << s;
            EXPECT_TRUE(slot(s).precisionArea == c.rect)
                << "slot " << s << ": " << slot(s).precisionArea.left << ","
                << slot(s).precisionArea.top;
        }
        EXPECT_EQ(sendToPanel(WM_PANEL_PRECISION), 0);
        for (int s : {0, 1, 2}) EXPECT_EQ(slot(s).precisionMode, 0) << "slot " << s;
    }
}

// Pen positioning: the service leaves the area in the tablet's own frame; the panel turns it
// into the frame of the chosen rotation and writes it back.
TEST_F(ServiceMessages, PenPositioningResultFollowsTheRotation) {
    start();
    showPanel();
    const struct {
        int radio;
        TabletArea expected;
    } cases[] = {{IDC_ROTATE_90, {6000, 1000, 3000, 4000}},
                 {IDC_ROTATE_0, {1000, 500, 4000, 3000}},
                 {IDC_ROTATE_180, {10200, 6000, 4000, 3000}},
                 {IDC_ROTATE_270, {500, 10200, 3000, 4000}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.radio);
        click(c.radio);
        // Otherwise a panel that ignored the message would pass: at rotation 0 the service's
        // area is the answer.
        ASSERT_NE(shown(), c.expected);
        ASSERT_EQ(simCommand("areaset 1000 500 4000 3000 0"), 1);
        EXPECT_EQ(areaOf(slot(0)), c.expected);
        EXPECT_EQ(shown(), c.expected);
    }
}

// The current device is not the one in slot 0: the service positions the pen of the slot it was
// told, and the panel takes that record's area, leaving slot 0 alone.
TEST_F(ServiceMessages, PenPositioningOfACurrentDeviceBeyondSlotZero) {
    start();
    showPanel();
    chooseDevice(2);  // Pad L, slot 2
    click(IDC_ROTATE_0);
    const TabletArea first = areaOf(slot(0));
    const TabletArea expected{5400, 3375, 10800, 6750};  // the centred half of 21600 x 13500
    ASSERT_NE(shown(), expected);
    ASSERT_EQ(simCommand("penslot 2"), 0);
    click(IDC_SET_WORK_AREA);
    ASSERT_TRUE(sim_->waitForLog("penposition slot=2"));
    ASSERT_TRUE(sim_->waitForLog("notify 0x41F"));
    EXPECT_EQ(areaOf(slot(2)), expected);
    EXPECT_EQ(shown(), expected);
    EXPECT_EQ(areaOf(slot(0)), first);
}

TEST_F(ServiceMessages, EachDeviceKindShowsItsOwnControls) {
    start();
    showPanel();
    struct Expect {
        const char* name;
        int comboIndex;
        bool tabletControls, displayControls, upperPenButton;
    };
    const Expect cases[] = {{"tablet", 0, true, false, true},
                            {"pen display", 1, false, true, true},
                            {"one-button pen tablet", 2, true, false, false},
                            {"tablet again", 0, true, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chooseDevice(c.comboIndex);
        for (int id : {IDC_SET_SCREEN_AREA, IDC_ROTATE_0, IDC_FULL_AREA, IDC_SCREEN_PORTION,
                       IDC_SET_WORK_AREA})
            EXPECT_EQ(visible(id), c.tabletControls) << id;
        EXPECT_EQ(IsWindowEnabled(control(IDC_TABLET_X)) != FALSE, c.tabletControls);
        EXPECT_EQ(visible(IDC_CALIBRATE), c.displayControls);
        EXPECT_EQ(visible(IDC_DISPLAY_SETTING), c.displayControls);
        EXPECT_EQ(visible(IDC_PEN_BUTTON_UPPER), c.upperPenButton);
        EXPECT_EQ(visible(IDC_PEN_BUTTON_LOWER), true);
    }
    // The chosen device's own values are loaded: its full tablet area shows in the fields.
    chooseDevice(2);
    wchar_t w[16] = {};
    GetDlgItemTextW(panelWindow(), IDC_TABLET_W, w, 16);
    EXPECT_EQ(std::wstring(w), L"21600");
}

// The rotation is written, then the trackpad is told, then the area: the service sees the new
// rotation with the old area, and never gets the message while the panel holds the lock.
TEST_F(ServiceMessages, RotationTellsTheTrackpadBetweenItsTwoWrites) {
    start();
    showPanel();
    chooseDevice(2);
    for (int pass = 0; pass < 2; ++pass) {  // choosing the rotation already set sends again
        SCOPED_TRACE(pass);
        click(IDC_ROTATE_90);
        EXPECT_EQ(slot(2).rotation, 1);
        EXPECT_EQ(areaOf(slot(2)), (TabletArea{0, 0, 13500, 21600}));
    }
    EXPECT_EQ(simCommand("get count 0x424"), 2);
    EXPECT_EQ(simCommand("get trackpad"), 1);
    EXPECT_EQ(simCommand("get trackpadrotation"), 1);
    EXPECT_EQ(simCommand("get lockheld424"), 0);  // never sent while the panel held the lock
    // When it arrived, the rotation was already written and the area not yet: the first time
    // the record still held the unrotated full area.
    const std::string log = sim_->log();
    EXPECT_NE(log.find("trackpad slot=2 rotation=1 area=0 0 21600 13500"), std::string::npos)
        << log;
    // A tablet without trackpad is not announced.
    chooseDevice(0);
    click(IDC_ROTATE_180);
    EXPECT_EQ(slot(0).rotation, 2);
    EXPECT_EQ(simCommand("get count 0x424"), 2);
}

// A panel started before the shell is ready gets no icon; it must still get one when the shell
// announces itself.
TEST_F(ServiceMessages, TheIconIsAddedWhenTheShellComesAfterThePanel) {
    FakeTray tray;
    ASSERT_TRUE(tray.winsFindWindow());
    tray.answer(FALSE);
    start();
    ASSERT_FALSE(tray.calls().empty());
    EXPECT_EQ(tray.calls().front().action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(tray.calls().front().tip, L"Scribo");
    tray.answer(TRUE);
    const size_t before = tray.calls().size();
    tray.announceRestart();
    ASSERT_TRUE(waitFor([&] { return tray.calls().size() > before; }));
    const FakeTray::Call readded = tray.calls().back();
    EXPECT_EQ(readded.action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(readded.owner, panelWindow());
    EXPECT_EQ(readded.callbackMessage, WM_PANEL_TRAY);
    EXPECT_EQ(readded.tip, L"Scribo");
    EXPECT_TRUE(readded.hasIcon);
}

TEST(StartUp, WithoutTheServicesObjectsThePanelEndsWithCode2) {
    ASSERT_EQ(listenWindow(), nullptr);
    // The service's mutex exists, so the panel does not start the service, but there is no
    // block: the panel ends at once and silently.
    platform::UniqueHandle serviceMutex(
        CreateMutexW(nullptr, FALSE, platform::wz(kServiceMutexName)));
    ASSERT_TRUE(serviceMutex);
    Process panel;
    ASSERT_TRUE(panel.start(L"\"" + layoutDir() + L"\\Scribo.exe\""));
    EXPECT_EQ(panel.wait(15000), 2);
}

}  // namespace
