// The express-key windows through the real panel and the service stand-in: which pages each
// device gets, what the trackpad and light controls send and store, the remote's window
// following its device, and the program selection.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "config/block_access.h"
#include "config/service_protocol.h"
#include "express_pages.h"
#include "panel_driver.h"
#include "platform/block_kernel.h"
#include "platform/wide.h"
#include "processes.h"
#include "resource.h"

using namespace scribo;
using namespace testsupport;

namespace {

const wchar_t kQuickSetTitle[] = L"Express Key Settings";
const wchar_t kRemoteTitle[] = L"Express Key Remote";

// The demo devices, with one key of the small tablet missing.
const char kProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\n"
    "[device]\ndeviceId = PID_0374\nproductName = Pad S\ndeviceKind = 0\nhasRing = 1\n"
    "hasExpressKeys = 1\nhasLights = 1\nringCount = 1\nkeyCount = 8\n"
    "keyPresent = 1 1 0 1 1 1 1 1\nkeyDefaultFunc = 1 2 3 4 5 6 7 8\npenModel = 3\n"
    "tabletMaxX = 15200\ntabletMaxY = 9500\ntabletLight = 50\nwheelLight = 100\napps.0.inUse = 1\n"
    "[device]\ndeviceId = PID_0375\nproductName = Pad L\ndeviceKind = 0\nhasRing = 1\n"
    "hasExpressKeys = 1\nhasTrackPad = 1\nringCount = 2\nkeyCount = 16\n"
    "keyPresent = 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\ntrackPadId = 1\nrotation = 1\npenModel = 1\n"
    "tabletMaxX = 40000\ntabletMaxY = 25000\napps.0.inUse = 1\n"
    "[device]\ndeviceId = PID_0390\nproductName = Display 16\ndeviceKind = 1\nhasExpressKeys = 1\n"
    "keyCount = 8\nkeyPresent = 1 1 1 1 1 1 1 1\ntabletMaxX = 34420\ntabletMaxY = 19360\n"
    "apps.0.inUse = 1\n"
    "[device]\nconnected = 0\ndeviceId = PID_0A31\nproductName = Remote\ndeviceKind = 5\n"
    "hasRing = 1\nhasExpressKeys = 1\nringCount = 1\nkeyCount = 18\n"
    "keyPresent = 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\napps.0.inUse = 1\n";

bool visibleStyle(HWND h) {
    return h != nullptr && (GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring textOf(HWND h) {
    wchar_t buf[512] = {};
    sendOrFail(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf));
    return buf;
}

class ExpressKeys : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(listenWindow(), nullptr) << "a stand-in is still running";
        ASSERT_TRUE(installDefaultConfig());
    }
    void TearDown() override {
        for (const wchar_t* t : {kQuickSetTitle, L"Select Program"})
            if (HWND w = FindWindowW(L"#32770", t)) PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
    }
    void start() {
        sim_ = std::make_unique<ServiceSim>(folder_, kProfile);
        ASSERT_TRUE(sim_->started());
        ASSERT_TRUE(panel_.start());
        ASSERT_EQ(link_.attach(), AttachResult::Attached);
    }
    static void chooseDevice(int index) {
        HWND combo = GetDlgItem(panelWindow(), IDC_DEVICE_LIST);
        sendOrFail(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        sendOrFail(panelWindow(), WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    }
    // Presses Quick Setting; the window runs modally inside the panel.
    static HWND openQuickSetting() {
        PostMessageW(panelWindow(), WM_COMMAND, MAKEWPARAM(IDC_QUICK_SETTING, BN_CLICKED), 0);
        HWND w = nullptr;
        waitFor(
            [&] {
                return (w = FindWindowW(L"#32770", kQuickSetTitle)) != nullptr &&
                       IsWindowVisible(w);
            },
            10000);
        return w;
    }
    static void closeWindow(HWND w) {
        PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
        waitFor([w] { return !IsWindow(w); });
    }
    static void choose(HWND page, int combo, int item) {
        HWND c = GetDlgItem(page, combo);
        sendOrFail(c, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        sendOrFail(page, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(c));
    }
    DeviceRecord& slot(int s) { return link_.block()->devices[s]; }

    TestFolder folder_;
    std::unique_ptr<ServiceSim> sim_;
    Panel panel_;
    platform::SharedBlockLink link_;
};

TEST_F(ExpressKeys, EachDeviceGetsItsPages) {
    start();
    const struct {
        int comboIndex;
        std::vector<Page> pages;
    } cases[] = {{0, {Page::Keys10, Page::Ring, Page::Lights}},
                 {1, {Page::Keys16, Page::Ring, Page::TrackPad}},
                 {2, {Page::Keys10}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.comboIndex);
        chooseDevice(c.comboIndex);
        HWND w = openQuickSetting();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(pageKinds(w), c.pages);
        EXPECT_EQ(sendItemOrFail(w, IDC_QS_TABS, TCM_GETITEMCOUNT, 0, 0),
                  static_cast<LRESULT>(c.pages.size()));
        closeWindow(w);
    }
}

}  // namespace

namespace {

TEST_F(ExpressKeys, KeysBeyondTheDeviceOrMissingStayHidden) {
    start();
    HWND w = openQuickSetting();
    ASSERT_NE(w, nullptr);
    HWND page = pageOf(w, Page::Keys10);
    ASSERT_NE(page, nullptr);
    // keyCount 8 with key 3 absent: K1, K2, K4..K8 shown; K3, K9, K10 hidden.
    for (int k = 0; k < 10; ++k) {
        const bool shown = k < 8 && k != 2;
        EXPECT_EQ(visibleStyle(GetDlgItem(page, IDC_KEY_COMBO_FIRST + k)), shown) << "K" << k + 1;
        EXPECT_EQ(visibleStyle(GetDlgItem(page, IDC_KEY_NAME_FIRST + k)), shown) << "K" << k + 1;
    }
    closeWindow(w);
}

TEST_F(ExpressKeys, TrackPadModeIsWrittenAndSentAndDefaultReturnsToMouse) {
    start();
    chooseDevice(1);
    HWND w = openQuickSetting();
    ASSERT_NE(w, nullptr);
    HWND page = pageOf(w, Page::TrackPad);
    ASSERT_NE(page, nullptr);
    const struct {
        int item;
        bool groupsEnabled;
        const char* message;
    } cases[] = {{2, true, "msg=0x424 wParam=3 lParam=1"},
                 {1, false, "msg=0x424 wParam=2 lParam=1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        choose(page, IDC_TRACKPAD_MODE, c.item);
        EXPECT_EQ(slot(1).trackPadId, c.item + 1);
        EXPECT_NE(sim_->log().find(c.message), std::string::npos);
        for (int g = 0; g < kRingFunctions; ++g)
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, IDC_RING_COMBO_FIRST + g)) != FALSE,
                      c.groupsEnabled);
    }
    sendOrFail(page, WM_COMMAND, MAKEWPARAM(IDC_PAGE_DEFAULT, BN_CLICKED), 0);
    EXPECT_EQ(slot(1).trackPadId, 1);
    EXPECT_NE(sim_->log().find("msg=0x424 wParam=1 lParam=0"), std::string::npos);
    EXPECT_EQ(sendItemOrFail(page, IDC_TRACKPAD_MODE, CB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_RING_COMBO_FIRST)));
    closeWindow(w);
}

TEST_F(ExpressKeys, LightLevelsAreSentAndStoredOnlyWhenTheServiceTookThem) {
    start();
    HWND w = openQuickSetting();
    ASSERT_NE(w, nullptr);
    HWND page = pageOf(w, Page::Lights);
    ASSERT_NE(page, nullptr);
    const auto move = [page](int bar, int position) {
        HWND b = GetDlgItem(page, bar);
        sendOrFail(b, TBM_SETPOS, TRUE, position);
        sendOrFail(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                   reinterpret_cast<LPARAM>(b));
    };
    // Stored 100 and 50 show as positions 2 and 1.
    EXPECT_EQ(sendItemOrFail(page, IDC_LIGHT_WHEEL, TBM_GETPOS, 0, 0), 2);
    EXPECT_EQ(sendItemOrFail(page, IDC_LIGHT_TABLET, TBM_GETPOS, 0, 0), 1);
    move(IDC_LIGHT_WHEEL, 0);
    move(IDC_LIGHT_TABLET, 2);
    EXPECT_EQ(slot(0).wheelLight, 0);
    EXPECT_EQ(slot(0).tabletLight, 100);
    const std::string log = sim_->log();
    EXPECT_NE(log.find("msg=0x423 wParam=1 lParam=0"), std::string::npos);
    EXPECT_NE(log.find("msg=0x423 wParam=2 lParam=100"), std::string::npos);
    EXPECT_EQ(textOf(GetDlgItem(page, IDC_LIGHT_TABLET_VALUE)), L"100");

    // Without the service the new level is shown but the record keeps the old one.
    sim_->stop();
    move(IDC_LIGHT_TABLET, 1);
    EXPECT_EQ(textOf(GetDlgItem(page, IDC_LIGHT_TABLET_VALUE)), L"50");
    EXPECT_EQ(slot(0).tabletLight, 100);
    closeWindow(w);
}

TEST_F(ExpressKeys, ProgramSelectionListsEachProgramOnce) {
    Process first, second;
    const std::wstring app = L"\"" + layoutDir() + L"\\scribo_test_app.exe\"";
    ASSERT_TRUE(first.start(app));
    ASSERT_TRUE(second.start(app));
    start();
    HWND w = openQuickSetting();
    ASSERT_NE(w, nullptr);
    PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDC_QS_ADD, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(w, IDC_QS_ADD)));
    HWND select = nullptr;
    ASSERT_TRUE(waitFor(
        [&] { return (select = FindWindowW(L"#32770", L"Select Program")) != nullptr; }, 10000));
    HWND list = GetDlgItem(select, IDC_SP_LIST);
    int found = -1, count = 0;
    const int n = static_cast<int>(sendOrFail(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        wchar_t name[MAX_PATH] = {};
        sendOrFail(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
        if (_wcsicmp(name, L"scribo_test_app.exe") == 0) {
            ++count;
            found = i;
        }
    }
    EXPECT_EQ(count, 1);
    // Choosing the entry shows its full path, which OK hands back.
    sendOrFail(list, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    sendOrFail(select, WM_COMMAND, MAKEWPARAM(IDC_SP_LIST, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
    const std::wstring path = textOf(GetDlgItem(select, IDC_SP_PATH));
    EXPECT_NE(path.find(L"scribo_test_app.exe"), std::wstring::npos);
    PostMessageW(select, WM_COMMAND, IDCANCEL, 0);
    waitFor([select] { return !IsWindow(select); });
    closeWindow(w);
}

// Only the remote connected: its window lives while the device does, and its OK saves.
const char kRemoteOnly[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\n"
    "[device]\ndeviceId = PID_0A31\nproductName = Remote\ndeviceKind = 5\n"
    "hasRing = 1\nhasExpressKeys = 1\nringCount = 1\nkeyCount = 18\n"
    "keyPresent = 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\napps.0.inUse = 1\n";

TEST(ExpressKeysRemote, WindowFollowsTheRemoteAndOkSavesItsEdits) {
    ASSERT_EQ(listenWindow(), nullptr);
    ASSERT_TRUE(installDefaultConfig());
    const std::string original = readFile(configFile());
    TestFolder folder;
    ServiceSim sim(folder, kRemoteOnly, configFile());
    ASSERT_TRUE(sim.started());
    Panel panel;
    ASSERT_TRUE(panel.start());
    platform::SharedBlockLink link;
    ASSERT_EQ(link.attach(), AttachResult::Attached);
    DeviceRecord& remote = link.block()->devices[0];

    HWND w = nullptr;
    ASSERT_TRUE(waitFor([&] { return (w = FindWindowW(L"#32770", kRemoteTitle)) != nullptr; }));
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(pageKinds(w), (std::vector<Page>{Page::Keys10, Page::Ring}));

    ASSERT_EQ(simCommand("remove 0x0A31"), 1);
    EXPECT_TRUE(waitFor([] { return FindWindowW(L"#32770", kRemoteTitle) == nullptr; }));
    ASSERT_EQ(simCommand("arrive 0x0A31"), 1);
    ASSERT_TRUE(waitFor([&] { return (w = FindWindowW(L"#32770", kRemoteTitle)) != nullptr; }));

    // An edit on the ring page, then OK: the file the service loads holds it.
    HWND ring = pageOf(w, Page::Ring);
    ASSERT_NE(ring, nullptr);
    HWND combo = GetDlgItem(ring, IDC_RING_COMBO_FIRST + 2);
    sendOrFail(combo, CB_SETCURSEL, 1, 0);
    sendOrFail(ring, WM_COMMAND, MAKEWPARAM(IDC_RING_COMBO_FIRST + 2, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(remote.apps[0].ringFunc[0][2], 1);
    sendOrFail(w, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindowVisible(w));
    remote.apps[0].ringFunc[0][2] = 0;
    sendOrFail(listenWindow(), WM_SERVICE_RELOADCONFIG, 0, 0);
    EXPECT_EQ(remote.apps[0].ringFunc[0][2], 1);
    writeFile(configFile(), original);
}

}  // namespace
