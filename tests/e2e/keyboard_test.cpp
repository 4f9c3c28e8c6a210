// The main window with the keyboard alone: Tab reaches every control, the pressure curve and the
// trackers included; their arrow keys change the shared block exactly as a mouse drag of the
// same distance does; mnemonics and Escape work through the dialog manager.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <set>
#include <string>

#include "mapping_fixture.h"

using namespace scribo;
using namespace testsupport;

namespace {

// The panel's focus, seen from this process.
HWND panelFocus() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(panelWindow(), nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// A key press posted to the focused control (or the window when nothing has the focus), as the
// keyboard would deliver it. Posted messages are handled in order: a check after a later key
// that shows its effect has also seen this one.
void press(UINT vk) {
    HWND target = panelFocus();
    if (target == nullptr) target = panelWindow();
    const LPARAM l = 1 | static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16);
    PostMessageW(target, WM_KEYDOWN, vk, l);
    PostMessageW(target, WM_KEYUP, vk, l | 0xC0000000);
}

void pressTimes(UINT vk, int n) {
    for (int i = 0; i < n; ++i) press(vk);
}

// Tab, and wait until the focus has moved on.
HWND tab() {
    HWND before = panelFocus();
    press(VK_TAB);
    waitFor([&] { return panelFocus() != before && panelFocus() != nullptr; }, 3000);
    return panelFocus();
}

// Tab until `target` has the focus; false when a whole round of the window never reaches it.
bool tabTo(HWND target) {
    for (int i = 0; i < 80 && panelFocus() != target; ++i) tab();
    return panelFocus() == target;
}

std::wstring windowText(HWND h) {
    wchar_t t[128] = {};
    GetWindowTextW(h, t, 128);
    return t;
}

std::array<float, 4> curveOf(const DeviceRecord& r) {
    return {r.pressureCurve[0], r.pressureCurve[1], r.pressureCurve[2], r.pressureCurve[3]};
}

class KeyboardE2E : public MappingE2E {
protected:
    void resetCurve() {
        sendToPanel(WM_COMMAND, MAKEWPARAM(IDC_CURVE_DEFAULT, BN_CLICKED),
                    reinterpret_cast<LPARAM>(control(IDC_CURVE_DEFAULT)));
    }
    // The mouse takes the point by its top-left corner and puts that corner where it lets go.
    void dragPoint(int id, int dx, int dy) {
        const Rect32 p = clientRect(id);
        sendToPanel(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.left, p.top));
        sendToPanel(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.left + dx, p.top + dy));
        sendToPanel(WM_LBUTTONUP, 0, MAKELPARAM(p.left + dx, p.top + dy));
    }
};

TEST_F(KeyboardE2E, TabReachesEveryControlAndTheDrawnOnesHaveNames) {
    start();
    std::set<HWND> expected;
    EnumChildWindows(
        panelWindow(),
        [](HWND h, LPARAM out) -> BOOL {
            const LONG style = GetWindowLongW(h, GWL_STYLE);
            if ((style & WS_TABSTOP) && IsWindowVisible(h) && IsWindowEnabled(h))
                reinterpret_cast<std::set<HWND>*>(out)->insert(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&expected));
    for (int id : {IDC_CURVE_BOX, IDC_SCREEN_PREVIEW, IDC_TABLET_PREVIEW, IDC_HARDNESS, IDOK})
        EXPECT_EQ(expected.count(control(id)), 1u) << id;

    std::set<HWND> reached;
    const auto all = [&] {
        for (HWND h : expected)
            if (reached.count(h) == 0) return false;
        return true;
    };
    for (int i = 0; i < 80 && !all(); ++i) reached.insert(tab());
    for (HWND h : expected) EXPECT_EQ(reached.count(h), 1u) << GetDlgCtrlID(h);

    // Screen readers read the window texts (the group names, without the mnemonic).
    EXPECT_EQ(windowText(control(IDC_CURVE_BOX)), L"Pressure Sensitivity");
    EXPECT_EQ(windowText(control(IDC_SCREEN_PREVIEW)), L"Screen Mapping");
    EXPECT_EQ(windowText(control(IDC_TABLET_PREVIEW)), L"Tablet Area");

    // Alt+N ("Scree&n Mapping") goes to the first control of the group; Escape hides the window.
    PostMessageW(panelFocus(), WM_SYSCHAR, L'n', 1 << 29);
    EXPECT_TRUE(waitFor([&] { return panelFocus() == control(IDC_MONITOR_LIST); }, 3000));
    press(VK_ESCAPE);
    EXPECT_TRUE(waitFor([] { return !IsWindowVisible(panelWindow()); }, 3000));
}

TEST_F(KeyboardE2E, CurvePointsMoveWithTheArrowsAsWithTheMouse) {
    start();
    ASSERT_TRUE(tabTo(control(IDC_CURVE_BOX)));

    // The middle point first: six right and four up, against the same drag.
    struct Move {
        const char* what;
        int spaces;  // Space presses that choose the point, from the one chosen before
        int id;
        int dx, dy;
    } moves[] = {
        {"middle", 0, IDC_CURVE_MIDDLE, 6, -4},
        {"end", 1, IDC_CURVE_END, -5, 0},
        {"start", 1, IDC_CURVE_START, 3, 0},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(m.what);
        resetCurve();
        ASSERT_TRUE(tabTo(control(IDC_CURVE_BOX)));
        pressTimes(VK_SPACE, m.spaces);
        const Rect32 home = clientRect(m.id);
        pressTimes(m.dx > 0 ? VK_RIGHT : VK_LEFT, std::abs(m.dx));
        pressTimes(m.dy > 0 ? VK_DOWN : VK_UP, std::abs(m.dy));
        EXPECT_TRUE(waitFor([&] {
            const Rect32 r = clientRect(m.id);
            return r.left - home.left == m.dx && r.top - home.top == m.dy;
        }));
        // The point moves before the record is written for the same key: the record is read once
        // the panel has finished with the last key (a sent message comes back only then).
        sendToPanel(WM_NULL);
        const Rect32 byKeys = clientRect(m.id);
        EXPECT_EQ(byKeys.left - home.left, m.dx);
        EXPECT_EQ(byKeys.top - home.top, m.dy);
        const auto keyed = curveOf(slot(0));

        resetCurve();
        dragPoint(m.id, m.dx, m.dy);
        EXPECT_EQ(clientRect(m.id), byKeys);
        EXPECT_EQ(curveOf(slot(0)), keyed);
        EXPECT_NE(keyed, (std::array<float, 4>{0.0f, 0.5f, 0.5f, 1.0f}));
    }
}

TEST_F(KeyboardE2E, TrackersMoveWithTheArrowsAsWithTheMouse) {
    start();
    const auto halfArea = [&] {
        type(IDC_TABLET_X, L"0");
        type(IDC_TABLET_Y, L"0");
        type(IDC_TABLET_W, L"7600");
        type(IDC_TABLET_H, L"4750");
        ASSERT_EQ(areaOf(slot(0)), (Area{0, 0, 7600, 4750}));
    };
    halfArea();
    const Rect32 preview = clientRect(IDC_TABLET_PREVIEW);
    const Rect32 tracker = *tabletAreaToPreview({0, 0, 7600, 4750}, {15200, 9500}, preview);

    ASSERT_TRUE(tabTo(control(IDC_TABLET_PREVIEW)));
    pressTimes(VK_RIGHT, 5);
    pressTimes(VK_DOWN, 3);
    const Area expected = *previewToTabletArea(
        {tracker.left + 5, tracker.top + 3, tracker.right + 5, tracker.bottom + 3}, {15200, 9500},
        preview);
    EXPECT_TRUE(waitFor([&] { return areaOf(slot(0)) == expected; })) << areaOf(slot(0));
    const Area byKeys = areaOf(slot(0));
    const std::wstring fieldX = textOf(IDC_TABLET_X);
    EXPECT_EQ(fieldX, std::to_wstring(expected.x));

    // The same distance with the mouse, from the same place.
    halfArea();
    const POINT from{(tracker.left + tracker.right) / 2, (tracker.top + tracker.bottom) / 2};
    PostMessageW(panelWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    PostMessageW(panelWindow(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 5, from.y + 3));
    PostMessageW(panelWindow(), WM_LBUTTONUP, 0, MAKELPARAM(from.x + 5, from.y + 3));
    EXPECT_TRUE(waitFor([&] { return areaOf(slot(0)) == byKeys; })) << areaOf(slot(0));
    EXPECT_EQ(textOf(IDC_TABLET_X), fieldX);

    // The screen tracker: its top-left handle pulled in by a quarter with the mouse, then moved
    // back left with the keys; the screen area follows the tracker.
    const Rect32 screen = clientRect(IDC_SCREEN_PREVIEW);
    const int qx = (screen.right - screen.left) / 4, qy = (screen.bottom - screen.top) / 4;
    PostMessageW(panelWindow(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(screen.left + 2, screen.top + 2));
    PostMessageW(panelWindow(), WM_MOUSEMOVE, MK_LBUTTON,
                 MAKELPARAM(screen.left + 2 + qx, screen.top + 2 + qy));
    PostMessageW(panelWindow(), WM_LBUTTONUP, 0,
                 MAKELPARAM(screen.left + 2 + qx, screen.top + 2 + qy));
    const auto stored = [&](const Rect32& tracker) {
        const Area a = *previewToScreenArea(tracker, {0, 0, 1920, 1080}, screen);
        return Rect32{a.x, a.y, a.x + a.w, a.y + a.h};
    };
    const Rect32 pulled{screen.left + qx, screen.top + qy, screen.right, screen.bottom};
    ASSERT_TRUE(waitFor([&] { return slot(0).screenArea == stored(pulled); }))
        << slot(0).screenArea;
    ASSERT_TRUE(tabTo(control(IDC_SCREEN_PREVIEW)));
    pressTimes(VK_LEFT, 7);
    const Rect32 moved{pulled.left - 7, pulled.top, pulled.right - 7, pulled.bottom};
    EXPECT_TRUE(waitFor([&] { return slot(0).screenArea == stored(moved); })) << slot(0).screenArea;
}

}  // namespace
