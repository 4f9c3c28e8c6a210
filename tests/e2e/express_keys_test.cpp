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
#include "platform/block_kernel.h"
#include "platform/wide.h"
#include "panel_driver.h"
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

enum class Page { Keys10, Keys16, Keys20, Ring, TrackPad, Lights, Unknown };

Page kindOf(HWND page) {
    if (GetDlgItem(page, IDC_KEY_COMBO_FIRST + 19) != nullptr) return Page::Keys20;
    if (GetDlgItem(page, IDC_KEY_COMBO_FIRST + 15) != nullptr) return Page::Keys16;
    if (GetDlgItem(page, IDC_KEY_COMBO_FIRST) != nullptr) return Page::Keys10;
    if (HWND mode = GetDlgItem(page, IDC_TRACKPAD_MODE))
        return (GetWindowLongPtrW(mode, GWL_STYLE) & WS_VISIBLE) != 0 ? Page::TrackPad : Page::Ring;
    if (GetDlgItem(page, IDC_LIGHT_TABLET) != nullptr) return Page::Lights;
    return Page::Unknown;
}

// The pages of an express-key window, in tab order (children of its tab control).
std::vector<HWND> pagesOf(HWND window) {
    std::vector<HWND> pages;
    for (HWND c = GetWindow(GetDlgItem(window, IDC_QS_TABS), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        pages.push_back(c);
    // Each page went on top of the previous one: the child list runs against the tab order.
    std::reverse(pages.begin(), pages.end());
    return pages;
}

std::vector<Page> pageKinds(HWND window) {
    std::vector<Page> kinds;
    for (HWND p : pagesOf(window)) kinds.push_back(kindOf(p));
    return kinds;
}

HWND pageOf(HWND window, Page kind) {
    for (HWND p : pagesOf(window))
        if (kindOf(p) == kind) return p;
    return nullptr;
}

bool visibleStyle(HWND h) { return h != nullptr && (GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0; }

std::wstring textOf(HWND h) {
    wchar_t buf[256] = {};
    GetWindowTextW(h, buf, 256);
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
    void start(const wchar_t* name, const std::wstring& config = L"") {
        sim_ = std::make_unique<ServiceSim>(kProfile, name, config);
        ASSERT_TRUE(sim_->started());
        ASSERT_TRUE(panel_.start());
        ASSERT_EQ(link_.attach(), AttachResult::Attached);
    }
    static void chooseDevice(int index) {
        HWND combo = GetDlgItem(panelWindow(), IDC_DEVICE_LIST);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(panelWindow(), WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }
    // Presses Quick Setting; the window runs modally inside the panel.
    static HWND openQuickSetting() {
        PostMessageW(panelWindow(), WM_COMMAND, MAKEWPARAM(IDC_QUICK_SETTING, BN_CLICKED), 0);
        HWND w = nullptr;
        waitFor([&] { return (w = FindWindowW(L"#32770", kQuickSetTitle)) != nullptr && IsWindowVisible(w); }, 10000);
        return w;
    }
    static void closeWindow(HWND w) {
        PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
        waitFor([w] { return !IsWindow(w); });
    }
    static void choose(HWND page, int combo, int item) {
        HWND c = GetDlgItem(page, combo);
        SendMessageW(c, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(c));
    }
    DeviceRecord& slot(int s) { return link_.block()->devices[s]; }

    std::unique_ptr<ServiceSim> sim_;
    Panel panel_;
    platform::SharedBlockLink link_;
};

TEST_F(ExpressKeys, EachDeviceGetsItsPages) {
    start(L"e2e-keys-pages");
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
        EXPECT_EQ(SendDlgItemMessageW(w, IDC_QS_TABS, TCM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(c.pages.size()));
        closeWindow(w);
    }
}

}  // namespace
