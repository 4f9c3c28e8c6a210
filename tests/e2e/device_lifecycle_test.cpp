// Devices come and go while the panel's windows are open. For every window that edits a device
// (and the dialogs it opens) and every event the service can raise meanwhile — the window's
// device removed, another device put into its slot, a reload, the service's exit — the panel
// must survive and answer, close the window, end the process on exit, and never write a byte
// into any record after the event, whatever the user does in what is still on the screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "config/block_access.h"
#include "config/service_protocol.h"
#include "express_pages.h"
#include "panel_driver.h"
#include "platform/block_kernel.h"
#include "processes.h"
#include "resource.h"

using namespace scribo;
using namespace testsupport;

namespace {

// Pad S (slot 0) and Display 16 (slot 1) are listed, the remote (slot 2) has its window; Pad L is
// the device that takes another's slot.
const char kProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\nprimaryMonitor = "
    "1\n"
    "currentMonitor = 1\ndisplayDeviceName = \\\\.\\DISPLAY1\n"
    "[device]\ndeviceId = PID_0374\nproductName = Pad S\ndeviceKind = 0\nhasRing = 1\nringCount = "
    "1\n"
    "hasExpressKeys = 1\nkeyCount = 8\nkeyPresent = 1 1 1 1 1 1 1 1\npenModel = 3\n"
    "tabletMaxX = 15200\ntabletMaxY = 9500\nmonitorIndex = 1\nscreenArea = 0 0 1920 "
    "1080\napps.0.inUse = 1\n"
    "[device]\ndeviceId = PID_0390\nproductName = Display 16\ndeviceKind = 1\nhasExpressKeys = 1\n"
    "keyCount = 8\nkeyPresent = 1 1 1 1 1 1 1 1\ntabletMaxX = 34420\ntabletMaxY = 19360\n"
    "monitorIndex = 1\nscreenArea = 0 0 1920 1080\ndisplayCalib = 0.5 0.5 0.5 0.5\napps.0.inUse = "
    "1\n"
    "[device]\ndeviceId = PID_0A31\nproductName = Remote\ndeviceKind = 5\nhasRing = 1\nringCount = "
    "1\n"
    "hasExpressKeys = 1\nkeyCount = 18\nkeyPresent = 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 "
    "1\napps.0.inUse = 1\n"
    "[device]\nconnected = 0\ndeviceId = PID_0375\nproductName = Pad L\ndeviceKind = 0\n"
    "hasExpressKeys = 1\nkeyCount = 8\nkeyPresent = 1 1 1 1 1 1 1 1\ntabletMaxX = 40000\n"
    "tabletMaxY = 25000\napps.0.inUse = 1\n";

constexpr unsigned kReplacement = 0x0375;

enum class Event { Removed, Replaced, Reload, Exit };

const char* nameOf(Event e) {
    switch (e) {
        case Event::Removed:
            return "its device removed";
        case Event::Replaced:
            return "another device in its slot";
        case Event::Reload:
            return "reload";
        case Event::Exit:
            return "exit";
    }
    return "";
}

void post(HWND w, int id, int code = BN_CLICKED) {
    PostMessageW(w, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(w, id)));
}

// Chooses item `item` of a drop-down list; posted, as the handler may run a dialog.
void choose(HWND owner, int combo, int item) {
    sendOrFail(GetDlgItem(owner, combo), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    post(owner, combo, CBN_SELCHANGE);
}

void send(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(w, msg, wp, lp, SMTO_NORMAL, 10000, &r);
}

void clickAt(HWND w, POINT client) {
    send(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    send(w, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
}

bool gone(HWND w) { return !IsWindow(w) || !IsWindowVisible(w); }

class DeviceLifecycle : public ::testing::Test {
public:
    // Does what `open` starts and returns the dialog it brings.
    HWND opens(const std::function<void()>& open) {
        const std::set<HWND> before = visibleDialogs(panel_.process().id());
        open();
        return newDialog(before);
    }

protected:
    void SetUp() override {
        ASSERT_EQ(listenWindow(), nullptr) << "a stand-in is still running";
        ASSERT_TRUE(installDefaultConfig());
    }
    void start() {
        sim_ = std::make_unique<ServiceSim>(folder_, kProfile);
        ASSERT_TRUE(sim_->started());
        ASSERT_TRUE(panel_.start());
        sendToPanel(WM_PANEL_SHOW);
        ASSERT_TRUE(waitFor(panelShown));
    }
    // Waits for a dialog of the panel that was not on the screen before and returns it.
    HWND newDialog(const std::set<HWND>& before) {
        HWND found = nullptr;
        waitFor([&] {
            for (HWND w : visibleDialogs(panel_.process().id()))
                if (before.count(w) == 0 && w != panelWindow()) found = w;
            return found != nullptr;
        });
        return found;
    }
    // Runs the event; false when it could not be raised.
    bool raise(Event e, int slot, unsigned productId) {
        char line[64] = {};
        switch (e) {
            case Event::Removed:
                std::snprintf(line, sizeof line, "remove 0x%04X", productId);
                break;
            case Event::Replaced:
                std::snprintf(line, sizeof line, "replace %d 0x%04X", slot, kReplacement);
                break;
            case Event::Reload:
                std::snprintf(line, sizeof line, "reload");
                break;
            case Event::Exit:
                std::snprintf(line, sizeof line, "exit");
                break;
        }
        return simCommand(line) != kNoStandIn;
    }

    TestFolder folder_;
    std::unique_ptr<ServiceSim> sim_;
    Panel panel_;
};

// What one window of the table is: how it opens (the windows it brings, outermost first) and
// what a user still does in it after the event.
struct WindowCase {
    const char* name;
    int slot;
    unsigned productId;
    std::function<std::vector<HWND>(DeviceLifecycle&)> open;
    // Edits made in whichever of the windows are still on the screen, innermost first.
    std::function<void(const std::vector<HWND>&)> carryOn;
};

// The express-key window's own edit (a check box written straight into the record) and, for the
// dialog opened from one of its pages, OK.
void editExpressWindow(const std::vector<HWND>& windows) {
    for (size_t i = windows.size(); i > 0; --i) {
        HWND w = windows[i - 1];
        if (gone(w)) continue;
        if (i == 1)
            send(GetDlgItem(w, IDC_QS_DISABLE_KEYS), BM_CLICK);
        else
            PostMessageW(w, WM_COMMAND, IDOK, 0);
        waitFor([w] { return gone(w); }, 2000);
    }
}

void pressOk(const std::vector<HWND>& windows) {
    for (size_t i = windows.size(); i > 0; --i)
        if (!gone(windows[i - 1])) PostMessageW(windows[i - 1], WM_COMMAND, IDOK, 0);
}

// Quick Setting of Pad S, optionally with a dialog of one of its pages on top.
std::vector<HWND> openQuickSetting(DeviceLifecycle& t, const std::function<void(HWND)>& nested) {
    HWND qs = t.opens([] { post(panelWindow(), IDC_QUICK_SETTING); });
    if (qs == nullptr || !nested) return {qs};
    return {qs, t.opens([&] { nested(qs); })};
}

std::vector<HWND> openRemote(DeviceLifecycle& t, const std::function<void(HWND)>& nested) {
    HWND remote = t.opens([] { post(panelWindow(), IDC_REMOTE); });
    if (remote == nullptr || !nested) return {remote};
    return {remote, t.opens([&] { nested(remote); })};
}

void customFunctionOfFirstKey(HWND window) {
    choose(pageOf(window, Page::Keys10), IDC_KEY_COMBO_FIRST, 2);
}
void userRingGroup(HWND window) { choose(pageOf(window, Page::Ring), IDC_RING_COMBO_FIRST, 2); }

std::vector<HWND> onDisplay16(DeviceLifecycle& t, int button) {
    HWND combo = GetDlgItem(panelWindow(), IDC_DEVICE_LIST);
    sendOrFail(combo, CB_SETCURSEL, 1, 0);
    send(panelWindow(), WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, CBN_SELCHANGE),
         reinterpret_cast<LPARAM>(combo));
    return {t.opens([button] { post(panelWindow(), button); })};
}

const POINT kCalibrationTaps[] = {{35, 35}, {35, 1045}, {1885, 1045}, {1885, 35}, {960, 540}};

const WindowCase kWindows[] = {
    {"Quick Setting", 0, 0x0374, [](DeviceLifecycle& t) { return openQuickSetting(t, nullptr); },
     editExpressWindow},
    {"Quick Setting > custom function", 0, 0x0374,
     [](DeviceLifecycle& t) { return openQuickSetting(t, customFunctionOfFirstKey); },
     editExpressWindow},
    {"Quick Setting > ring Setting", 0, 0x0374,
     [](DeviceLifecycle& t) { return openQuickSetting(t, userRingGroup); }, editExpressWindow},
    {"Quick Setting > program selection", 0, 0x0374,
     [](DeviceLifecycle& t) { return openQuickSetting(t, [](HWND qs) { post(qs, IDC_QS_ADD); }); },
     editExpressWindow},
    {"remote's window", 2, kRemoteProductId,
     [](DeviceLifecycle& t) { return openRemote(t, nullptr); }, editExpressWindow},
    {"remote's window > custom function", 2, kRemoteProductId,
     [](DeviceLifecycle& t) { return openRemote(t, customFunctionOfFirstKey); }, editExpressWindow},
    {"remote's window > ring Setting", 2, kRemoteProductId,
     [](DeviceLifecycle& t) { return openRemote(t, userRingGroup); }, editExpressWindow},
    {"pen-button dialog", 0, 0x0374,
     [](DeviceLifecycle& t) {
         return std::vector<HWND>{t.opens([] { choose(panelWindow(), IDC_PEN_BUTTON_LOWER, 5); })};
     },
     pressOk},
    {"calibration", 1, 0x0390, [](DeviceLifecycle& t) { return onDisplay16(t, IDC_CALIBRATE); },
     [](const std::vector<HWND>& w) {
         if (gone(w[0])) return;
         for (const POINT& p : kCalibrationTaps) clickAt(w[0], p);
     }},
    {"screen-area overlay", 0, 0x0374,
     [](DeviceLifecycle& t) {
         return std::vector<HWND>{t.opens([] { post(panelWindow(), IDC_SET_SCREEN_AREA); })};
     },
     [](const std::vector<HWND>& w) {
         if (gone(w[0])) return;
         clickAt(w[0], {200, 100});
         clickAt(w[0], {1000, 600});
     }},
    {"display settings", 1, 0x0390,
     [](DeviceLifecycle& t) { return onDisplay16(t, IDC_DISPLAY_SETTING); }, pressOk},
};

TEST_F(DeviceLifecycle, EveryWindowSurvivesEveryEventAndNothingIsWrittenAfterIt) {
    for (const WindowCase& window : kWindows) {
        for (Event event : {Event::Removed, Event::Replaced, Event::Reload, Event::Exit}) {
            SCOPED_TRACE(std::string(window.name) + ", " + nameOf(event));
            start();
            if (HasFatalFailure()) return;
            const std::vector<HWND> opened = window.open(*this);
            ASSERT_FALSE(opened.empty());
            for (HWND w : opened) ASSERT_NE(w, nullptr) << "a window did not open";

            ASSERT_TRUE(raise(event, window.slot, window.productId));
            if (event == Event::Exit) {
                EXPECT_EQ(panel_.process().wait(10000), 0) << "the panel did not end";
            } else {
                // Still there and answering; whatever is left on the screen is used as a user
                // would, and no record may change from now on.
                sendToPanel(WM_PANEL_IMPORTEXPORT, 0, 0);
                ASSERT_EQ(simCommand("snapshot"), 0);
                window.carryOn(opened);
                sendToPanel(WM_NULL);
                EXPECT_EQ(simCommand("changed"), 0)
                    << "bit mask of the slots written after the event";
                for (HWND w : opened) EXPECT_TRUE(gone(w)) << "a window of the device stayed open";
                EXPECT_TRUE(panel_.process().running());
            }
            panel_.stop();
            sim_.reset();
        }
    }
}

// A device the service announces before it has filled its slot is listed by its id. Chosen in
// the combo it has nothing to edit: Quick Setting is off (and pressing it opens nothing, never
// another slot's device). Once the service has filled the slot, the panels load the record
// before anything edits it, so no value shown for the previous device reaches it.
TEST_F(DeviceLifecycle, AnEntryWithoutItsRecordIsNeverEditedAndLoadsWhenItAppears) {
    start();
    ASSERT_EQ(simCommand("arrive 0x0375 nofill"), 1);
    ASSERT_EQ(simCommand("arrive 0x0390"), 1);  // lists every entry again, the new one by its id
    HWND panel = panelWindow();
    HWND combo = GetDlgItem(panel, IDC_DEVICE_LIST);
    // Pad S, Display 16, the new entry (the remote is never listed), Display 16 again.
    ASSERT_EQ(sendOrFail(combo, CB_GETCOUNT, 0, 0), 4);
    const int entry = 2;
    sendOrFail(combo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    sendToPanel(WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, CBN_SELCHANGE),
                reinterpret_cast<LPARAM>(combo));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(panel, IDC_QUICK_SETTING)));
    ASSERT_EQ(simCommand("snapshot"), 0);
    // Pressed anyway: handled at once, with no window to wait for.
    DWORD_PTR r = 0;
    EXPECT_NE(SendMessageTimeoutW(panel, WM_COMMAND, MAKEWPARAM(IDC_QUICK_SETTING, BN_CLICKED), 0,
                                  SMTO_NORMAL, 5000, &r),
              0);
    sendOrFail(GetDlgItem(panel, IDC_RELATIVE), BM_CLICK, 0, 0);
    EXPECT_EQ(simCommand("changed"), 0);

    // The service fills slot 3 without a word; the next thing the user does loads it first.
    for (const char* field :
         {"deviceId PID_0375", "productName Pad L", "penButton1Index 4", "mouseMode 0"})
        ASSERT_EQ(simCommand(std::string("set 3 ") + field), 0) << field;
    ASSERT_EQ(simCommand("set 3 connected 1"), 0);
    // The click was made on the previous device's controls: it loads the device and is dropped.
    sendOrFail(GetDlgItem(panel, IDC_RELATIVE), BM_CLICK, 0, 0);
    EXPECT_EQ(sendItemOrFail(panel, IDC_PEN_BUTTON_LOWER, CB_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(IsDlgButtonChecked(panel, IDC_ABSOLUTE), BST_CHECKED);
    EXPECT_EQ(simCommand("get 3 mouseMode"), 0);
    EXPECT_EQ(simCommand("get 3 penButton1Index"), 4);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(panel, IDC_QUICK_SETTING)));
    // From now on it is edited as any device.
    sendOrFail(GetDlgItem(panel, IDC_RELATIVE), BM_CLICK, 0, 0);
    EXPECT_EQ(simCommand("get 3 mouseMode"), 1);
}

// The remote arriving while a tablet is listed gets no window until it is asked for; a reload
// makes the remote's window anew from the reloaded block, also when there was none yet.
TEST_F(DeviceLifecycle, AReloadMakesTheRemotesWindowAnew) {
    start();
    const auto remoteWindow = [] { return FindWindowW(L"#32770", L"Express Key Remote"); };
    HWND first = remoteWindow();
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(simCommand("remove 0x0A31"), 1);
    ASSERT_TRUE(waitFor([&] { return remoteWindow() == nullptr; }));
    ASSERT_EQ(simCommand("arrive 0x0A31"), 1);
    sendToPanel(WM_NULL);
    EXPECT_EQ(remoteWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(panelWindow(), IDC_REMOTE)));
    ASSERT_EQ(simCommand("reload"), 1);
    HWND made = nullptr;
    EXPECT_TRUE(waitFor([&] { return (made = remoteWindow()) != nullptr; }));
    EXPECT_FALSE(IsWindowVisible(made));  // made, not shown: a tablet is listed
    // Reloaded again: the window showing the old block goes, a new one takes its place.
    ASSERT_EQ(simCommand("reload"), 1);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(made) && remoteWindow() != nullptr; }));
}

}  // namespace
