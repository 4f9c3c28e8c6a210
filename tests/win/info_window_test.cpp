// The info strip in this process: texts by WM_COPYDATA, the tick timer, placement, and that it
// never takes the activation from the window the user works in.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "config/service_protocol.h"
#include "platform/gdiplus_init.h"
#include "shell/win/info_window.h"

namespace {

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// Dispatches this thread's messages until `done` holds or `ms` have passed; whether it held.
bool pumpUntil(const std::function<bool()>& done, int ms) {
    const auto start = Clock::now();
    while (!done()) {
        if (msSince(start) > ms) return false;
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        Sleep(2);
    }
    return true;
}
void pumpFor(int ms) {
    pumpUntil([] { return false; }, ms);
}

LRESULT copyData(HWND to, const void* data, DWORD bytes) {
    COPYDATASTRUCT cds{0, bytes, const_cast<void*>(data)};
    return SendMessageW(to, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
}

class InfoWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gdiplus_.usable());
        ASSERT_TRUE(info_.create(GetModuleHandleW(nullptr)));
        info_.setFontSize(16);
        info_.setTextColour(0xFFF5F5F5);
        hwnd_ = info_.hwnd();
    }
    bool visible() const { return IsWindowVisible(hwnd_) != FALSE; }
    bool hiddenWithin(int ms) const {
        return pumpUntil([this] { return !visible(); }, ms);
    }
    // Whether the tick timer was still running (it is stopped by this check).
    bool timerWasRunning() const { return KillTimer(hwnd_, 1) != FALSE; }

    platform::GdiplusInit gdiplus_;
    CWndShowInfo info_;
    HWND hwnd_ = nullptr;
};

TEST_F(InfoWindow, StartsHiddenAsAToolStripAtTheBottomOfTheWorkArea) {
    ASSERT_NE(hwnd_, nullptr);
    wchar_t cls[64]{};
    GetClassNameW(hwnd_, cls, 64);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(cls)), scribo::kInfoWindowClass);
    EXPECT_FALSE(visible());
    const LONG_PTR ex = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    for (LONG_PTR bit : {LONG_PTR{WS_EX_TOPMOST}, LONG_PTR{WS_EX_TOOLWINDOW},
                         LONG_PTR{WS_EX_LAYERED}, LONG_PTR{WS_EX_NOACTIVATE}}) {
        EXPECT_TRUE(ex & bit) << std::hex << bit;
    }
    RECT work{}, r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(hwnd_, &r);
    EXPECT_EQ(r.left, work.left);
    EXPECT_EQ(r.right, work.right);
    EXPECT_EQ(r.top, work.bottom - 40);
    EXPECT_EQ(r.bottom, work.bottom);

    info_.moveTo(RECT{100, 200, 700, 900});
    GetWindowRect(hwnd_, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 860);
    EXPECT_EQ(r.right, 700);
    EXPECT_EQ(r.bottom, 900);
    // A monitor entry without area (a table the service has not filled) leaves it there.
    for (const RECT& empty : {RECT{0, 0, 0, 0}, RECT{1920, 1080, 0, 0}}) {
        info_.moveTo(empty);
        RECT now{};
        GetWindowRect(hwnd_, &now);
        EXPECT_TRUE(EqualRect(&now, &r)) << empty.left;
    }
    EXPECT_FALSE(visible());
}

TEST_F(InfoWindow, CopyDataTextIsBoundedByItsByteCountAndShown) {
    const std::u16string hello = u"Pen positioning done";
    const DWORD full = static_cast<DWORD>(2 * (hello.size() + 1));
    struct Case {
        const void* data;
        DWORD bytes;
        std::u16string expected;
    } cases[] = {
        {hello.c_str(), full, hello},
        {hello.c_str(), 7, u"Pen"},  // 3 whole characters of 7 bytes, nothing past them
        {nullptr, full, u""},
        {hello.c_str(), 0, u""},
    };
    for (const Case& c : cases) {
        info_.hide();
        EXPECT_EQ(copyData(hwnd_, c.data, c.bytes), 0);
        EXPECT_EQ(info_.text(), c.expected) << c.bytes;
        EXPECT_TRUE(visible()) << c.bytes;
        // A screen reader reads the text shown as the window's text, the title staying empty.
        wchar_t shown[64] = {};
        EXPECT_EQ(
            SendMessageW(hwnd_, WM_GETTEXT, std::size(shown), reinterpret_cast<LPARAM>(shown)),
            static_cast<LRESULT>(c.expected.size()));
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(shown)), c.expected);
    }
    wchar_t three[4] = {};
    EXPECT_EQ(SendMessageW(hwnd_, WM_GETTEXT, std::size(three), reinterpret_cast<LPARAM>(three)),
              0);
    copyData(hwnd_, hello.c_str(), full);
    EXPECT_EQ(SendMessageW(hwnd_, WM_GETTEXT, std::size(three), reinterpret_cast<LPARAM>(three)),
              3);
    EXPECT_EQ(std::wstring(three), L"Pen");
}

TEST_F(InfoWindow, HidesOnTheFifthTickAndStopsItsTimer) {
    const std::u16string text = u"SetAreaInfo1";
    copyData(hwnd_, text.c_str(), static_cast<DWORD>(2 * (text.size() + 1)));
    ASSERT_TRUE(visible());
    const auto start = Clock::now();
    EXPECT_EQ(SendMessageW(hwnd_, scribo::WM_INFO_SETINTERVAL, 20, 0), 1);
    EXPECT_TRUE(visible());  // the interval alone changes no visibility
    ASSERT_TRUE(hiddenWithin(3000));
    EXPECT_GE(msSince(start), 4 * 20);
    EXPECT_FALSE(timerWasRunning());
    EXPECT_EQ(info_.text(), text);  // hiding keeps the text for the next show
}

TEST_F(InfoWindow, SecondTextGetsFullFiveTicks) {
    SendMessageW(hwnd_, scribo::WM_INFO_SETINTERVAL, 50, 0);
    info_.showText(u"first", 0);  // 0 keeps the interval just set
    pumpFor(150);                 // about three ticks of the first text
    ASSERT_TRUE(visible());
    const std::u16string second = u"second";
    const auto start = Clock::now();
    copyData(hwnd_, second.c_str(), static_cast<DWORD>(2 * (second.size() + 1)));
    ASSERT_TRUE(hiddenWithin(3000));
    EXPECT_GE(msSince(start), 200) << "the count did not start again with the new text";
    EXPECT_EQ(info_.text(), second);
}

TEST_F(InfoWindow, NewIntervalWhileHiddenLeavesItHiddenAndTheTimerEndsAfterFiveTicks) {
    ASSERT_FALSE(visible());
    EXPECT_EQ(SendMessageW(hwnd_, scribo::WM_INFO_SETINTERVAL, 20, 0), 1);
    EXPECT_FALSE(visible());
    pumpFor(60);
    EXPECT_FALSE(visible());
    EXPECT_TRUE(timerWasRunning()) << "the interval restarts the timer";
    SendMessageW(hwnd_, scribo::WM_INFO_SETINTERVAL, 20, 0);
    pumpFor(400);
    EXPECT_FALSE(visible());
    EXPECT_FALSE(timerWasRunning());
}

TEST_F(InfoWindow, NeverTakesTheActivation) {
    HWND user = CreateWindowExW(0, L"STATIC", L"user window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                50, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(user, nullptr);
    SetForegroundWindow(user);
    SetActiveWindow(user);
    pumpFor(50);
    const HWND activeBefore = GetActiveWindow();

    const std::u16string text = u"Area selected";
    copyData(hwnd_, text.c_str(), static_cast<DWORD>(2 * (text.size() + 1)));
    info_.showText(u"Another text", scribo::kInfoTickNormalMs);
    // A click on the strip starts a drag, not an activation.
    EXPECT_EQ(SendMessageW(hwnd_, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(user),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    pumpFor(100);
    EXPECT_TRUE(visible());
    EXPECT_NE(GetActiveWindow(), hwnd_);
    EXPECT_NE(GetForegroundWindow(), hwnd_);
    EXPECT_EQ(GetActiveWindow(), activeBefore);
    DestroyWindow(user);
}

// Pixels of a screen rectangle whose red, green and blue are all at least `level`.
int brightPixels(const RECT& r, int level) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    int count = 0;
    const auto* p = static_cast<const unsigned char*>(bits);
    for (int i = 0; i < w * h; ++i) {
        count += p[4 * i] >= level && p[4 * i + 1] >= level && p[4 * i + 2] >= level;
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return count;
}

TEST_F(InfoWindow, TextIsDrawnOnScreenCentredOnItsPlate) {
    const RECT monitor{0, 0, 600, 400};
    info_.moveTo(monitor);
    info_.showText(u"IIIIIIIIIIII", scribo::kInfoTickLongMs);
    pumpFor(200);
    ASSERT_TRUE(visible());
    // Light text on its dark plate in the middle of the strip; nothing at its ends.
    EXPECT_GT(brightPixels(RECT{250, 360, 350, 400}, 0xE0), 40);
    EXPECT_EQ(brightPixels(RECT{0, 360, 200, 400}, 0xE0),
              brightPixels(RECT{0, 300, 200, 340}, 0xE0));
    info_.setText(u"");
    pumpFor(100);
    EXPECT_LT(brightPixels(RECT{250, 360, 350, 400}, 0xE0), 5);
}

TEST_F(InfoWindow, TextWiderThanTheStripAndDestructionAreSafe) {
    info_.moveTo(RECT{0, 0, 120, 300});
    info_.showText(std::u16string(3000, u'W'), 20);
    EXPECT_EQ(info_.text().size(), scribo::kInfoTextMaxUnits);
    EXPECT_TRUE(visible());
    auto other = std::make_unique<CWndShowInfo>();
    ASSERT_TRUE(other->create(GetModuleHandleW(nullptr)));  // the class is already registered
    other->showText(u"short-lived", 20);
    const HWND gone = other->hwnd();
    ASSERT_TRUE(IsWindow(gone));
    other.reset();  // the window goes with its object, timer and all
    EXPECT_FALSE(IsWindow(gone));
    pumpFor(50);  // no tick reaches a destroyed object
}

}  // namespace
