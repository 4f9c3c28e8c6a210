// The mapping group of the real main window: buttons, fields, trackers dragged by mouse
// messages and the service's monitor notifications, read back from the shared block.
#include "mapping_fixture.h"

#include <functional>

using namespace scribo;
using namespace testsupport;

namespace {

class MappingPanelE2E : public MappingE2E {};

TEST_F(MappingPanelE2E, ScreenPortionAndFullAreaAtEachRotation) {
    start();
    const struct {
        int radio;
        Area portion, full;
    } cases[] = {{IDC_ROTATE_0, {0, 475, 15200, 8550}, {0, 0, 15200, 9500}},
                 {IDC_ROTATE_90, {0, 4928, 9500, 5343}, {0, 0, 9500, 15200}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.radio);
        click(c.radio);
        click(IDC_SCREEN_PORTION);
        EXPECT_EQ(areaOf(slot(0)), c.portion);
        EXPECT_EQ(textOf(IDC_TABLET_Y), std::to_wstring(c.portion.y));
        EXPECT_EQ(textOf(IDC_TABLET_H), std::to_wstring(c.portion.h));
        click(IDC_FULL_AREA);
        EXPECT_EQ(areaOf(slot(0)), c.full);
        EXPECT_EQ(textOf(IDC_TABLET_W), std::to_wstring(c.full.w));
    }
}

TEST_F(MappingPanelE2E, TypedValuesAreBoundedAtOnceAndAnEmptyFieldIsZero) {
    start();
    const struct {
        int field;
        const wchar_t* typed;
        const wchar_t* shown;
        Area stored;
    } steps[] = {
        {IDC_TABLET_W, L"6000", L"6000", {0, 0, 6000, 9500}},
        {IDC_TABLET_X, L"14000", L"9200", {9200, 0, 6000, 9500}},  // X + W stays on the tablet
        {IDC_TABLET_H, L"20000", L"9500", {9200, 0, 6000, 9500}},
        {IDC_TABLET_Y, L"", L"0", {9200, 0, 6000, 9500}},
        {IDC_TABLET_X, L"", L"0", {0, 0, 6000, 9500}},
        {IDC_TABLET_W, L"16000", L"15200", {0, 0, 15200, 9500}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.typed);
        type(s.field, s.typed);
        EXPECT_EQ(textOf(s.field), s.shown);
        EXPECT_EQ(areaOf(slot(0)), s.stored);
    }
}

TEST_F(MappingPanelE2E, RestoreDefaultsWritesEveryDefault) {
    start();
    click(IDC_ROTATE_270);
    DeviceRecord& r = slot(0);
    r.windowsInk = 0;
    r.mouseMode = 1;
    r.penButton1Index = 4;
    r.penButton2Index = 4;
    r.mouseSpeed = 9;
    r.expressKeyTipsOff = 1;
    r.monitorIndex = 0;
    r.screenArea = {5, 6, 7, 8};
    for (float& f : r.displayCalib) f = 0.25f;
    const size_t trackpadBefore = sim_->log().find("msg=0x424 wParam=1 lParam=0");
    click(IDC_RESTORE_DEFAULT);
    EXPECT_TRUE(r.screenArea ==
                (Rect32{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    EXPECT_EQ(r.monitorIndex, 1);
    EXPECT_EQ(areaOf(r), (Area{0, 0, 15200, 9500}));
    EXPECT_EQ(r.rotation, 0);
    EXPECT_EQ(r.mouseMode, 0);
    EXPECT_EQ(r.windowsInk, 1);
    for (float f : r.displayCalib) EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(r.penButton1Index, 1);
    EXPECT_EQ(r.penButton2Index, 3);
    EXPECT_EQ(r.mouseSpeed, 5);
    EXPECT_EQ(r.expressKeyTipsOff, 0);
    EXPECT_EQ(sendOrFail(control(IDC_MONITOR_LIST), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(IsDlgButtonChecked(panelWindow(), IDC_ROTATE_0), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(panelWindow(), IDC_ROTATE_270), BST_UNCHECKED);
    EXPECT_EQ(textOf(IDC_TABLET_W), L"15200");
    EXPECT_EQ(textOf(IDC_SCREEN_W), L"1920");
    EXPECT_EQ(trackpadBefore, std::string::npos);
    EXPECT_NE(sim_->log().find("msg=0x424 wParam=1 lParam=0"), std::string::npos) << sim_->log();
}

// Mouse messages go into the window's queue as a user's would: down, moves, up.
void drag(POINT from, POINT to, int steps = 8) {
    HWND w = panelWindow();
    PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    for (int i = 1; i <= steps; ++i) {
        const int x = from.x + (to.x - from.x) * i / steps,
                  y = from.y + (to.y - from.y) * i / steps;
        PostMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    }
    PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

POINT centre(const Rect32& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST_F(MappingPanelE2E, DraggingTheTrackersStoresTheClampedConvertedAreas) {
    start();
    type(IDC_TABLET_W, L"7600");
    type(IDC_TABLET_H, L"4750");
    ASSERT_EQ(areaOf(slot(0)), (Area{0, 0, 7600, 4750}));
    const Size32 eff{15200, 9500};
    const Rect32 preview = clientRect(IDC_TABLET_PREVIEW);
    const Rect32 tracker = *tabletAreaToPreview({0, 0, 7600, 4750}, eff, preview);

    // Moved inside the preview, then pushed far beyond its bottom-right corner: the rectangle
    // comes back inside, its size kept.
    const struct { int dx, dy; } moves[] = {{12, 7}, {600, 400}};
    Rect32 from = tracker;
    for (const auto& m : moves) {
        SCOPED_TRACE(m.dx);
        const POINT c = centre(from);
        drag(c, {c.x + m.dx, c.y + m.dy});
        const Rect32 moved{from.left + m.dx, from.top + m.dy, from.right + m.dx,
                           from.bottom + m.dy};
        const Rect32 kept = clampToBounds(moved, preview);
        const Area expected = *previewToTabletArea(kept, eff, preview);
        EXPECT_TRUE(waitFor([&] { return areaOf(slot(0)) == expected; }));
        EXPECT_EQ(areaOf(slot(0)), expected);
        EXPECT_EQ(textOf(IDC_TABLET_X), std::to_wstring(expected.x));
        EXPECT_LE(expected.x + expected.w, eff.w);
        from = kept;
    }
    EXPECT_EQ(from.right, preview.right);
    EXPECT_EQ(from.bottom, preview.bottom);

    // The screen tracker covers the whole thumbnail; its top-left handle pulled in by a quarter
    // gives the bottom-right three quarters of the monitor.
    const Rect32 screen = clientRect(IDC_SCREEN_PREVIEW);
    const int qx = (screen.right - screen.left) / 4, qy = (screen.bottom - screen.top) / 4;
    drag({screen.left + 2, screen.top + 2}, {screen.left + 2 + qx, screen.top + 2 + qy});
    const Area fields =
        *previewToScreenArea({screen.left + qx, screen.top + qy, screen.right, screen.bottom},
                             {0, 0, 1920, 1080}, screen);
    const Rect32 stored{fields.x, fields.y, fields.x + fields.w, fields.y + fields.h};
    EXPECT_TRUE(waitFor([&] { return slot(0).screenArea == stored; })) << slot(0).screenArea;
    EXPECT_EQ(textOf(IDC_SCREEN_X), std::to_wstring(fields.x));
}

// A tablet area whose tracker is too small to hold its handles inside keeps them outside its
// corners: a drag from there resizes it; a drag from its inside still moves it.
TEST_F(MappingPanelE2E, SmallTrackerIsResizedFromItsCornerHandles) {
    start();
    const Size32 eff{15200, 9500};
    const Area small{3000, 2000, 900, 600};
    const Rect32 preview = clientRect(IDC_TABLET_PREVIEW);
    const Rect32 t = *tabletAreaToPreview(small, eff, preview);
    ASSERT_LT(t.right - t.left, 18) << "the tracker must be smaller than three 6-pixel handles";
    const struct {
        const char* what;
        POINT from;
        int dx, dy;
        Rect32 expected;
    } drags[] = {
        {"bottom-right handle",
         {t.right + 3, t.bottom + 3},
         20,
         15,
         {t.left, t.top, t.right + 20, t.bottom + 15}},
        {"top-left handle",
         {t.left - 3, t.top - 3},
         -10,
         -5,
         {t.left - 10, t.top - 5, t.right, t.bottom}},
        {"inside",
         {t.left + 2, t.top + 2},
         12,
         7,
         {t.left + 12, t.top + 7, t.right + 12, t.bottom + 7}},
    };
    for (const auto& d : drags) {
        SCOPED_TRACE(d.what);
        for (auto [id, value] : {std::pair{IDC_TABLET_W, L"900"},
                                 {IDC_TABLET_H, L"600"},
                                 {IDC_TABLET_X, L"3000"},
                                 {IDC_TABLET_Y, L"2000"}})
            type(id, value);
        ASSERT_EQ(areaOf(slot(0)), small);
        drag(d.from, {d.from.x + d.dx, d.from.y + d.dy});
        const Area expected = *previewToTabletArea(d.expected, eff, preview);
        EXPECT_TRUE(waitFor([&] { return areaOf(slot(0)) == expected; }))
            << areaOf(slot(0)) << " not " << expected;
        EXPECT_EQ(textOf(IDC_TABLET_W), std::to_wstring(expected.w));
    }
}

// The trackers come and go with the mouse mode at once, without waiting for some other repaint;
// and the select-area button stays off in relative mode whatever changes the monitor.
TEST_F(MappingPanelE2E, MouseModeRedrawsTheTrackersAndKeepsSelectAreaOffInRelative) {
    start();
    const Rect32 area = clientRect(IDC_MAPPING_AREA);
    repaintPanel();
    const std::vector<COLORREF> absolute = screenPixels(area);
    click(IDC_RELATIVE);
    letDrawingSettle();
    const std::vector<COLORREF> afterClick = screenPixels(area);
    repaintPanel();
    const std::vector<COLORREF> relative = screenPixels(area);
    ASSERT_FALSE(relative.empty());
    ASSERT_TRUE(relative != absolute) << "the trackers should make a visible difference";
    EXPECT_TRUE(afterClick == relative)
        << "the trackers stay on the screen after the switch to relative";
    click(IDC_ABSOLUTE);
    letDrawingSettle();
    EXPECT_TRUE(screenPixels(area) == absolute) << "the trackers do not come back with absolute";

    click(IDC_RELATIVE);
    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"the user chooses the monitor", [] { chooseInCombo(IDC_MONITOR_LIST, 1); }},
        {"the service switches the monitor", [] { EXPECT_EQ(simCommand("selectmonitor 1"), 0); }},
        {"the monitors changed", [] { sendToPanel(WM_PANEL_MONITORSCHANGED); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        c.change();
        EXPECT_EQ(sendOrFail(control(IDC_MONITOR_LIST), CB_GETCURSEL, 0, 0), 1);
        EXPECT_FALSE(IsWindowEnabled(control(IDC_SET_SCREEN_AREA)));
    }
    click(IDC_ABSOLUTE);
    EXPECT_TRUE(IsWindowEnabled(control(IDC_SET_SCREEN_AREA)));
    // Back to absolute on the whole desktop: still nothing to choose a region on.
    chooseInCombo(IDC_MONITOR_LIST, 0);
    click(IDC_RELATIVE);
    click(IDC_ABSOLUTE);
    EXPECT_FALSE(IsWindowEnabled(control(IDC_SET_SCREEN_AREA)));
    // And so when the device is loaded again with the whole desktop chosen.
    chooseDevice(1);
    chooseDevice(0);
    EXPECT_EQ(sendOrFail(control(IDC_MONITOR_LIST), CB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(control(IDC_SET_SCREEN_AREA)));
}

// A window of one colour over the whole monitor, owned by the test.
class ColourCover {
public:
    explicit ColourCover(COLORREF colour) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ScriboTestColourCover";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 1920, 1080,
                                  nullptr, nullptr, wc.hInstance, nullptr);
        paint(colour);
    }
    ~ColourCover() { DestroyWindow(window_); }
    void paint(COLORREF colour) {
        brush_.reset(CreateSolidBrush(colour));
        SetClassLongPtrW(window_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush_.get()));
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Sleep(400);  // on the screen
    }

private:
    HWND window_ = nullptr;
    platform::UniqueBrush brush_;
};

double shareOf(const std::vector<COLORREF>& pixels, COLORREF colour) {
    // The screen reads back as 0x00RRGGBB.
    const COLORREF want = RGB(GetBValue(colour), GetGValue(colour), GetRValue(colour));
    size_t n = 0;
    for (COLORREF p : pixels) n += (p & 0xFFFFFF) == want ? 1 : 0;
    return pixels.empty() ? 0.0 : static_cast<double>(n) / static_cast<double>(pixels.size());
}

// Showing the panel takes a new picture of the monitor, before the window covers it; painting
// only copies that picture.
TEST_F(MappingPanelE2E, ShowingThePanelRefreshesTheThumbnailAndPaintingDoesNot) {
    start();
    click(IDCANCEL);
    ASSERT_TRUE(waitFor([] { return !panelVisible(); }));
    const COLORREF magenta = RGB(255, 0, 255), green = RGB(0, 255, 0);
    ColourCover cover(magenta);
    sendToPanel(WM_PANEL_SHOW);
    ASSERT_TRUE(waitFor(panelShown));
    letDrawingSettle();
    Rect32 preview = clientRect(IDC_SCREEN_PREVIEW);
    preview = {preview.left + 8, preview.top + 8, preview.right - 8,
               preview.bottom - 8};  // no frame, no handles
    // Between the tracker's hatch lines, the cover's colour.
    EXPECT_GT(shareOf(screenPixels(preview), magenta), 0.5);

    cover.paint(green);
    repaintPanel();
    EXPECT_GT(shareOf(screenPixels(preview), magenta), 0.5);
    EXPECT_EQ(shareOf(screenPixels(preview), green), 0.0);
}

TEST_F(MappingPanelE2E, MonitorNotificationsFollowTheServicesTable) {
    start();
    SharedBlock& b = block();
    b.monitorRects[0] = {0, 0, 3840, 1080};
    b.monitorRects[1] = {0, 0, 1280, 1080};
    b.monitorRects[2] = {1280, 0, 2560, 1080};
    b.monitorRects[3] = {2560, 0, 3840, 1080};
    b.monitorCount = 3;
    b.primaryMonitor = 2;
    b.currentMonitor = 0;
    const Rect32 storedBefore = slot(0).screenArea;
    EXPECT_EQ(sendToPanel(WM_PANEL_MONITORSCHANGED), 1);
    const wchar_t* texts[] = {L"All Screens", L"Screen 1", L"Screen 2[Primary]", L"Screen 3"};
    ASSERT_EQ(comboCount(IDC_MONITOR_LIST), 4);
    for (int i = 0; i < 4; ++i) {
        wchar_t t[64] = {};
        sendOrFail(control(IDC_MONITOR_LIST), CB_GETLBTEXT, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(t));
        EXPECT_STREQ(t, texts[i]);
    }
    EXPECT_EQ(sendOrFail(control(IDC_MONITOR_LIST), CB_GETCURSEL, 0, 0), 1);  // currentMonitor 0
    EXPECT_EQ(textOf(IDC_SCREEN_W), L"1280");
    EXPECT_TRUE(slot(0).screenArea == storedBefore);  // the record is not written

    // The service switches the mapped monitor: list, fields and button follow, record stays.
    ASSERT_EQ(simCommand("selectmonitor 3"), 0);
    EXPECT_EQ(sendOrFail(control(IDC_MONITOR_LIST), CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(textOf(IDC_SCREEN_X), L"2560");
    EXPECT_TRUE(IsWindowEnabled(control(IDC_SET_SCREEN_AREA)));
    ASSERT_EQ(simCommand("selectmonitor 0"), 0);
    EXPECT_EQ(textOf(IDC_SCREEN_W), L"3840");
    EXPECT_FALSE(IsWindowEnabled(control(IDC_SET_SCREEN_AREA)));
    ASSERT_EQ(simCommand("selectmonitor 7"), 0);  // no such entry: nothing changes
    EXPECT_EQ(sendOrFail(control(IDC_MONITOR_LIST), CB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(slot(0).screenArea == storedBefore);

    // The user's own choice writes the record.
    chooseInCombo(IDC_MONITOR_LIST, 2);
    EXPECT_EQ(slot(0).monitorIndex, 2);
    EXPECT_TRUE(slot(0).screenArea == (Rect32{1280, 0, 2560, 1080}));
    EXPECT_TRUE(IsWindowEnabled(control(IDC_SET_SCREEN_AREA)));
}

}  // namespace
