// The windows beside the mapping panel through the real panel: the selection overlay, the
// pen-display calibration and the precision-mode indicator.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mapping_fixture.h"

using namespace scribo;
using namespace testsupport;

namespace {

// Waits for `done`, handling meanwhile what is sent to this thread.
bool waitPumping(const std::function<bool()>& done, int ms = 5000) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (!done()) {
        if (static_cast<LONG>(GetTickCount() - end) > 0) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    return true;
}

// The panel's own on-screen info strip, read as a screen reader reads it: its text by WM_GETTEXT.
class InfoStripView {
public:
    InfoStripView() : hwnd_(FindWindowW(platform::wz(kInfoWindowClass), nullptr)) {}
    bool isThePanels() const {
        DWORD strip = 0, panel = 0;
        GetWindowThreadProcessId(hwnd_, &strip);
        GetWindowThreadProcessId(panelWindow(), &panel);
        return hwnd_ != nullptr && strip == panel;
    }
    std::wstring last() const {
        wchar_t text[512] = {};
        sendOrFail(hwnd_, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
        return text;
    }
    // The strip hides on the fifth tick of its interval: within 1.5 s with the short one, only
    // after 15 s with the long one the overlay uses while it is open.
    bool hidesOnShortTicks() const {
        return waitPumping([&] { return !IsWindowVisible(hwnd_); }, 6000);
    }

private:
    HWND hwnd_;
};
// A click straight to the window's handler; while it runs, this thread answers the panel.
void clickAt(HWND w, POINT client) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y), SMTO_NORMAL,
                        10000, &r);
    SendMessageTimeoutW(w, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y), SMTO_NORMAL, 10000, &r);
}
// Keys go through the queue, where the windows look at them before the dialog manager.
void pressKey(HWND w, WPARAM key) { PostMessageW(w, WM_KEYDOWN, key, 0); }

HWND toolWindow(const wchar_t* title) { return FindWindowW(L"#32770", title); }
bool rectIs(const RECT& r, const RECT& expected) { return EqualRect(&r, &expected) != FALSE; }
RECT virtualDesktop() {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
            y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

class MappingToolsE2E : public MappingE2E {
protected:
    HWND openOverlay() {
        click(IDC_SET_SCREEN_AREA);
        HWND overlay = toolWindow(L"Scribo screen area");
        return overlay != nullptr && IsWindowVisible(overlay) ? overlay : nullptr;
    }
    // Once the panel has started and made its strip.
    void startWithInfo() {
        start();
        info_ = std::make_unique<InfoStripView>();
        ASSERT_TRUE(info_->isThePanels());
    }
    std::unique_ptr<InfoStripView> info_;
};

TEST_F(MappingToolsE2E, TwoClicksOnTheOverlayChooseTheScreenArea) {
    startWithInfo();
    HWND overlay = openOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(IsWindowVisible(panelWindow()));
    RECT r{};
    GetWindowRect(overlay, &r);
    EXPECT_TRUE(rectIs(r, {0, 0, 1920, 1080}));
    GetClipCursor(&r);
    EXPECT_TRUE(rectIs(r, {0, 0, 1890, 1050}));
    EXPECT_EQ(info_->last(), L"Click the top-left corner of the screen area (Esc cancels).");

    clickAt(overlay, {200, 100});
    EXPECT_EQ(info_->last(), L"Now click the bottom-right corner of the screen area.");
    // Up and to the left of the first corner: refused, the first corner stays.
    clickAt(overlay, {150, 300});
    EXPECT_EQ(info_->last(),
              L"The second corner must lie below and to the right of the first one. Click again.");
    EXPECT_TRUE(IsWindowVisible(overlay));
    clickAt(overlay, {1000, 600});
    EXPECT_EQ(info_->last(), L"Screen area set.");
    EXPECT_TRUE(slot(0).screenArea == (Rect32{200, 100, 1031, 631})) << slot(0).screenArea;
    EXPECT_EQ(slot(0).monitorIndex, 1);
    EXPECT_EQ(textOf(IDC_SCREEN_W), L"831");
    EXPECT_EQ(textOf(IDC_SCREEN_H), L"531");
    EXPECT_FALSE(IsWindowVisible(overlay));
    EXPECT_TRUE(IsWindowVisible(panelWindow()));
    GetClipCursor(&r);
    EXPECT_TRUE(rectIs(r, virtualDesktop()));
    EXPECT_TRUE(info_->hidesOnShortTicks());

    // The smallest region: one pixel right of and below the first corner.
    overlay = openOverlay();
    ASSERT_NE(overlay, nullptr);
    clickAt(overlay, {10, 10});
    clickAt(overlay, {11, 11});
    EXPECT_TRUE(slot(0).screenArea == (Rect32{10, 10, 42, 42})) << slot(0).screenArea;
}

TEST_F(MappingToolsE2E, EscapeLeavesTheMappingAndFreesTheCursor) {
    startWithInfo();
    const Rect32 before = slot(0).screenArea;
    HWND overlay = openOverlay();
    ASSERT_NE(overlay, nullptr);
    clickAt(overlay, {300, 300});
    pressKey(overlay, VK_ESCAPE);
    // The overlay goes first, the main window comes back last.
    EXPECT_TRUE(waitPumping([&] { return !IsWindowVisible(overlay); }));
    EXPECT_TRUE(waitPumping([] { return IsWindowVisible(panelWindow()) != FALSE; }));
    EXPECT_TRUE(slot(0).screenArea == before);
    RECT r{};
    GetClipCursor(&r);
    EXPECT_TRUE(rectIs(r, virtualDesktop()));
    EXPECT_TRUE(info_->hidesOnShortTicks());
    // The next use starts again from the first corner.
    overlay = openOverlay();
    ASSERT_NE(overlay, nullptr);
    clickAt(overlay, {400, 400});
    clickAt(overlay, {500, 450});
    EXPECT_TRUE(slot(0).screenArea == (Rect32{400, 400, 531, 481})) << slot(0).screenArea;
}

// The service's entry for the chosen monitor is empty or inverted: no overlay can cover it, and
// the main window, which would have hidden itself for the overlay, stays on the screen. Once
// before the overlay was ever created, once with the overlay kept from an earlier use.
TEST_F(MappingToolsE2E, OverlayThatCannotOpenLeavesThePanelShown) {
    startWithInfo();
    const Rect32 monitor = block().monitorRects[1];
    const Rect32 unusable[] = {{0, 0, 0, 0}, {1920, 1080, 0, 0}};
    for (int round = 0; round < 2; ++round) {
        for (const Rect32& entry : unusable) {
            SCOPED_TRACE(::testing::Message() << "round " << round << ", entry " << entry);
            block().monitorRects[1] = entry;
            EXPECT_EQ(openOverlay(), nullptr);
            EXPECT_TRUE(panelShown());
        }
        block().monitorRects[1] = monitor;
        HWND overlay = openOverlay();
        ASSERT_NE(overlay, nullptr);
        EXPECT_FALSE(IsWindowVisible(panelWindow()));
        pressKey(overlay, VK_ESCAPE);
        ASSERT_TRUE(waitPumping([] { return panelShown(); }));
    }
}

TEST_F(MappingToolsE2E, CalibrationTapsGiveTheFactors) {
    start();
    chooseDevice(1);  // the pen display, on monitor 1 (1920 x 1080)
    const struct {
        const char* name;
        POINT taps[5];
        float expected[4];
    } cases[] = {
        {"on the targets",
         {{35, 35}, {35, 1045}, {1885, 1045}, {1885, 35}, {960, 540}},
         {1, 1, 1, 1}},
        {"spread outwards",
         {{30, 30}, {30, 1050}, {1890, 1050}, {1890, 30}, {960, 540}},
         {3720.0f / 3700.0f, 2040.0f / 2020.0f, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        click(IDC_CALIBRATE);
        HWND w = toolWindow(L"Scribo calibration");
        ASSERT_NE(w, nullptr);
        for (float f : slot(1).displayCalib) EXPECT_EQ(f, 1.0f);  // measured without correction
        RECT r{};
        GetWindowRect(w, &r);
        EXPECT_TRUE(rectIs(r, {0, 0, 1920, 1080}));
        clickAt(w, {500, 500});  // beside the first target: ignored
        for (const POINT& t : c.taps) clickAt(w, t);
        EXPECT_FALSE(IsWindow(w));
        for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(slot(1).displayCalib[i], c.expected[i]) << i;
    }
    // Ended before its last tap (Escape after two taps, or at once): the window goes and the
    // user's calibration from before is back.
    for (const int taps : {2, 0}) {
        SCOPED_TRACE(taps);
        click(IDC_CALIBRATE);
        HWND w = toolWindow(L"Scribo calibration");
        ASSERT_NE(w, nullptr);
        for (int i = 0; i < taps; ++i) clickAt(w, cases[1].taps[i]);
        pressKey(w, VK_ESCAPE);
        EXPECT_TRUE(waitPumping([&] { return !IsWindow(w); }));
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(slot(1).displayCalib[i], cases[1].expected[i]) << i;
    }
}

TEST_F(MappingToolsE2E, PrecisionIndicatorShowsTheHoleAndHidesAgain) {
    start();
    HWND indicator = toolWindow(L"Scribo precision");
    ASSERT_NE(indicator, nullptr);
    EXPECT_FALSE(IsWindowVisible(indicator));
    const struct {
        POINT cursor;
        Rect32 rect;
    } cases[] = {{{100, 50}, {0, 0, 320, 210}},
                 {{1900, 1070}, {1600, 870, 1920, 1080}},
                 {{960, 540}, {800, 435, 1120, 645}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cursor.x);
        const std::string stuck = moveCursor(c.cursor.x, c.cursor.y);
        if (!stuck.empty()) {
            ADD_FAILURE() << stuck;
            continue;
        }
        EXPECT_EQ(sendToPanel(WM_PANEL_PRECISION), 0);
        for (int s : {0, 1}) {
            EXPECT_EQ(slot(s).precisionMode, 1);
            EXPECT_TRUE(slot(s).precisionArea == c.rect) << slot(s).precisionArea;
        }
        EXPECT_TRUE(IsWindowVisible(indicator));
        RECT r{};
        GetWindowRect(indicator, &r);
        EXPECT_TRUE(rectIs(r, {0, 0, 1920, 1080}));
        GetWindowRect(GetDlgItem(indicator, IDC_PRECISION_HOLE), &r);
        EXPECT_TRUE(rectIs(r, {c.rect.left, c.rect.top, c.rect.right, c.rect.bottom}));
        GetWindowRect(GetDlgItem(indicator, IDC_PRECISION_CAPTION), &r);
        EXPECT_TRUE(rectIs(r, {c.rect.left + 1, c.rect.top - 14, c.rect.left + 250, c.rect.top}));
        EXPECT_EQ(sendToPanel(WM_PANEL_PRECISION), 0);
        EXPECT_FALSE(IsWindowVisible(indicator));
        for (int s : {0, 1}) EXPECT_EQ(slot(s).precisionMode, 0);
    }
    // Escape in the indicator switches the mode off through the main window.
    sendToPanel(WM_PANEL_PRECISION);
    ASSERT_TRUE(IsWindowVisible(indicator));
    pressKey(indicator, VK_ESCAPE);
    EXPECT_TRUE(waitPumping([&] { return !IsWindowVisible(indicator); }));
    sendToPanel(WM_NULL);
    EXPECT_EQ(slot(0).precisionMode, 0);
    EXPECT_EQ(sendToPanel(WM_PANEL_PRECISION), 0);  // the toggle went round: on again
    EXPECT_TRUE(IsWindowVisible(indicator));
}

}  // namespace
