// A panel that lives for days: many cycles of showing and hiding, devices leaving and coming
// back, reloads, precision mode, and every window the devices offer opened and closed again. What
// the process holds at the end must stay within a small constant of what it held after the first
// cycle. SCRIBO_LONG_RUN_CYCLES sets the number of cycles (a long run for the report).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>

#include "config/service_protocol.h"
#include "panel_driver.h"
#include "process_counts.h"
#include "processes.h"
#include "resource.h"

using namespace scribo;
using namespace testsupport;

namespace {

// A tablet mapped to monitor 1 (screen-area overlay, express keys), a pen display (display
// settings, calibration) and a remote.
const char kProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\n"
    "currentMonitor = 1\ndisplayDeviceName = \\\\.\\DISPLAY1\n"
    "[device]\ndeviceId = PID_0374\nproductName = Pad S\ndeviceKind = 0\nhasExpressKeys = 1\n"
    "keyCount = 8\npenModel = 3\ntabletMaxX = 15200\ntabletMaxY = 9500\nmonitorIndex = 1\n"
    "[device]\ndeviceId = PID_0390\nproductName = Display 16\ndeviceKind = 1\nhasExpressKeys = 1\n"
    "[device]\ndeviceId = PID_0A31\nproductName = Remote\ndeviceKind = 5\n";

class LongRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(listenWindow(), nullptr) << "a stand-in is still running";
        ASSERT_TRUE(installDefaultConfig());
    }
    static HWND control(int id) { return GetDlgItem(panelWindow(), id); }
    static bool usable(int id) {
        HWND c = control(id);
        return c != nullptr && (GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE) != 0 &&
               IsWindowEnabled(c);
    }
    static void chooseDevice(int index) {
        sendOrFail(control(IDC_DEVICE_LIST), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        sendToPanel(WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, CBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(control(IDC_DEVICE_LIST)));
    }
    std::wstring openAndClose(const std::function<void()>& open) {
        return openAndCloseWindow(panel_.process().id(), open);
    }
    static void click(int id) {
        PostMessageW(panelWindow(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(control(id)));
    }

    // One cycle; the titles of the windows it opened (the remote's changes with how it opens).
    std::multiset<std::wstring> cycle() {
        std::multiset<std::wstring> opened;
        sendToPanel(WM_PANEL_SHOW);
        const int devices =
            static_cast<int>(sendOrFail(control(IDC_DEVICE_LIST), CB_GETCOUNT, 0, 0));
        for (int d = 0; d < devices; ++d) {
            chooseDevice(d);
            for (int id : {IDC_QUICK_SETTING, IDC_REMOTE, IDC_DISPLAY_SETTING, IDC_CALIBRATE,
                           IDC_SET_SCREEN_AREA})
                if (usable(id)) opened.insert(openAndClose([id] { click(id); }));
            if (usable(IDC_PEN_BUTTON_LOWER))
                opened.insert(openAndClose([] {
                    // "Function..." in the pen button list opens the function assignment window.
                    PostMessageW(control(IDC_PEN_BUTTON_LOWER), CB_SETCURSEL, 5, 0);
                    PostMessageW(panelWindow(), WM_COMMAND,
                                 MAKEWPARAM(IDC_PEN_BUTTON_LOWER, CBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(control(IDC_PEN_BUTTON_LOWER)));
                }));
        }
        sendToPanel(WM_PANEL_PRECISION);
        sendToPanel(WM_PANEL_PRECISION);
        sendToPanel(WM_COMMAND, IDCANCEL);
        EXPECT_EQ(simCommand("remove 0x0374"), 1);
        EXPECT_EQ(simCommand("remove 0x0A31"), 1);
        EXPECT_EQ(simCommand("arrive 0x0374"), 1);
        EXPECT_EQ(simCommand("arrive 0x0A31"), 1);
        sendToPanel(WM_PANEL_RELOAD);
        return opened;
    }

    TestFolder folder_;
    Panel panel_;
};

void print(const char* when, const ProcessCounts& c) {
    std::printf("%-16s private %7.1f MB%s  handles %5lu  GDI %5lu  %s %4lu\n", when,
                static_cast<double>(c.privateBytes) / (1024.0 * 1024.0),
                c.privateFromLinux ? " (Linux)" : "", static_cast<unsigned long>(c.handles),
                static_cast<unsigned long>(c.gdiObjects), c.userIsWindowCount ? "windows" : "USER",
                static_cast<unsigned long>(c.userObjects));
}

TEST_F(LongRun, CyclesOfEveryWindowLeaveTheCountsWhereTheyWere) {
    const char* env = std::getenv("SCRIBO_LONG_RUN_CYCLES");
    const int cycles = env ? std::max(2, std::atoi(env)) : 25;
    ServiceSim sim(folder_, kProfile);
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(panel_.start());
    print("started", countsOf(panel_.process().handle(), "Scribo.exe"));

    // The first two cycles fill what is made once (pictures, fonts, the windows kept for reuse;
    // the remote's window the first cycle's reload makes is first shown in the second).
    const auto windows = cycle();
    for (const auto& t : windows) std::printf("  opens \"%ls\"\n", t.c_str());
    EXPECT_EQ(windows.count(L""), 0u) << "a button brought no window";
    EXPECT_GE(windows.size(), 6u) << "every window the devices offer should have opened";
    EXPECT_EQ(cycle().size(), windows.size()) << "cycle 1";
    const ProcessCounts first = countsOf(panel_.process().handle(), "Scribo.exe");
    print("after 2 cycles", first);
    for (int i = 2; i < cycles && !HasFatalFailure(); ++i) {
        const auto opened = cycle();
        if ((i + 1) % 10 == 0 && i + 1 < cycles)
            print(("after " + std::to_string(i + 1)).c_str(),
                  countsOf(panel_.process().handle(), "Scribo.exe"));
        EXPECT_EQ(opened.size(), windows.size()) << "cycle " << i;
        EXPECT_EQ(opened.count(L""), 0u) << "cycle " << i;
        if (::testing::Test::HasFailure()) break;
    }
    ASSERT_TRUE(panel_.process().running());
    const ProcessCounts last = countsOf(panel_.process().handle(), "Scribo.exe");
    print(("after " + std::to_string(cycles)).c_str(), last);
    // A leak of one object per cycle shows as the number of cycles.
    EXPECT_LE(last.handles, first.handles + 8);
    EXPECT_LE(last.gdiObjects, first.gdiObjects + 8);
    EXPECT_LE(last.userObjects, first.userObjects + 4);
    EXPECT_LE(last.privateBytes, first.privateBytes + 2u * 1024 * 1024);
}

}  // namespace
