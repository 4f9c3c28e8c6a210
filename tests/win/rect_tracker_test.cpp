// The rect tracker's handles: where they are hit and drawn, large and small rectangles, and a
// real drag (mouse messages in the queue) from a handle.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/handles.h"
#include "platform/rect_tracker.h"

namespace {

using platform::RectTracker;

RectTracker trackerAt(RECT r) {
    RectTracker t;
    t.rect = r;
    t.handleSize = 6;
    return t;
}

TEST(RectTrackerHandles, HitOnLargeAndSmallRectangles) {
    const RECT large{100, 100, 160, 160};  // room for three handles along each side
    const RECT small{100, 100, 117, 117};  // 17 pixels: less than three handles
    const RECT thin{100, 100, 300, 110};   // long but low
    const struct {
        const char* what;
        RECT rect;
        POINT p;
        RectTracker::Hit hit;
    } cases[] = {
        {"large: top-left handle inside", large, {102, 102}, RectTracker::kHitTopLeft},
        {"large: bottom-right handle inside", large, {158, 158}, RectTracker::kHitBottomRight},
        {"large: top edge handle", large, {130, 101}, RectTracker::kHitTop},
        {"large: inside moves", large, {120, 140}, RectTracker::kHitMiddle},
        {"large: outside its corner", large, {97, 97}, RectTracker::kHitNothing},
        {"small: top-left handle outside", small, {97, 97}, RectTracker::kHitTopLeft},
        {"small: top-right handle outside", small, {119, 96}, RectTracker::kHitTopRight},
        {"small: bottom-right handle outside", small, {117, 117}, RectTracker::kHitBottomRight},
        {"small: bottom-left handle outside", small, {94, 122}, RectTracker::kHitBottomLeft},
        {"small: its corner pixel moves", small, {100, 100}, RectTracker::kHitMiddle},
        {"small: inside moves", small, {108, 108}, RectTracker::kHitMiddle},
        {"small: beside an edge", small, {108, 97}, RectTracker::kHitNothing},
        {"small: past a handle", small, {93, 93}, RectTracker::kHitNothing},
        {"thin: bottom-right handle outside", thin, {302, 112}, RectTracker::kHitBottomRight},
        {"thin: inside moves", thin, {200, 105}, RectTracker::kHitMiddle},
        {"empty: nothing", RECT{100, 100, 100, 117}, {97, 97}, RectTracker::kHitNothing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(trackerAt(c.rect).hitTest(c.p), c.hit);
    }
}

// What is drawn is what is hit: each handle's square is black on a white bitmap.
TEST(RectTrackerHandles, DrawnWhereTheyAreHit) {
    platform::WindowDc screen(nullptr);
    platform::UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    platform::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), 200, 200));
    platform::SelectGuard select(dc.get(), bitmap.get());
    for (const RECT r : {RECT{50, 50, 67, 67}, RECT{50, 50, 110, 110}}) {
        SCOPED_TRACE(r.right - r.left);
        PatBlt(dc.get(), 0, 0, 200, 200, WHITENESS);
        const RectTracker t = trackerAt(r);
        t.draw(dc.get());
        const int handles = r.right - r.left < 18 ? 4 : 8;
        for (int h = RectTracker::kHitTopLeft; h <= RectTracker::kHitLeft; ++h) {
            const RECT hr = t.handleRect(h);
            if (h >= handles) {
                EXPECT_TRUE(IsRectEmpty(&hr)) << "handle " << h;
                continue;
            }
            const POINT c{(hr.left + hr.right) / 2, (hr.top + hr.bottom) / 2};
            EXPECT_EQ(GetPixel(dc.get(), c.x, c.y), RGB(0, 0, 0)) << "handle " << h;
            EXPECT_EQ(t.hitTest(c), static_cast<RectTracker::Hit>(h));
        }
    }
}

// A 17-pixel area dragged by its outside bottom-right handle grows; by its inside, it moves.
TEST(RectTrackerHandles, DragFromAnOutsideHandleResizes) {
    HWND w = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    const struct {
        POINT from, to;
        RECT expected;
    } drags[] = {{{119, 119}, {149, 139}, {100, 100, 147, 137}},
                 {{96, 96}, {86, 91}, {90, 95, 117, 117}},
                 {{108, 108}, {128, 118}, {120, 110, 137, 127}}};
    for (const auto& d : drags) {
        SCOPED_TRACE(d.to.x);
        RectTracker t = trackerAt({100, 100, 117, 117});
        const RectTracker::Hit hit = t.hitTest(d.from);
        ASSERT_NE(hit, RectTracker::kHitNothing);
        MSG stale{};
        while (PeekMessageW(&stale, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&stale);
        PostMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(d.to.x, d.to.y));
        PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(d.to.x, d.to.y));
        ASSERT_TRUE(t.track(w, d.from, hit));
        EXPECT_TRUE(EqualRect(&t.rect, &d.expected))
            << t.rect.left << ", " << t.rect.top << ", " << t.rect.right << ", " << t.rect.bottom;
    }
    DestroyWindow(w);
}

}  // namespace
