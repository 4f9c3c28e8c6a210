// Timings of the mapping panel's hot paths, each beside a floor figure from the same run:
//  - tracker drag: mouse moves handled per second by the tracker's drag loop (each one redraws
//    the inverted outline), against bare message round trips through the same queue;
//  - one halftone thumbnail capture of a 1920 x 1080 monitor, against one plain 160 x 90 copy;
//  - one paint of both previews (thumbnail, tablet picture, two trackers, frames, lines),
//    against the thumbnail copy alone.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "mapping/win/thumbnail.h"
#include "platform/gdiplus_init.h"
#include "platform/pictures.h"
#include "platform/rect_tracker.h"

namespace {

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

HWND makeWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MappingBench";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wc.lpszClassName, L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600,
                             nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(w);
    return w;
}

}  // namespace

int main() {
    platform::GdiplusInit gdiplus;
    HWND w = makeWindow();
    constexpr int kMoves = 2000;

    // Floor: posted messages through GetMessage and DispatchMessage.
    for (int i = 0; i < kMoves; ++i) PostMessageW(w, WM_NULL, 0, 0);
    auto t = Clock::now();
    MSG msg;
    for (int i = 0; i < kMoves && GetMessageW(&msg, nullptr, 0, 0) > 0; ++i) DispatchMessageW(&msg);
    const double floorMs = msSince(t);

    platform::RectTracker tracker;
    tracker.rect = {300, 200, 400, 270};
    for (int i = 1; i <= kMoves; ++i)
        PostMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(350 + (i % 200), 235 + (i % 100)));
    PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(360, 240));
    t = Clock::now();
    tracker.track(w, {350, 235}, platform::RectTracker::kHitMiddle);
    const double dragMs = msSince(t);
    std::printf(
        "tracker drag: %.0f moves/s (%.3f ms per move; 60 Hz budget 16.7 ms); "
        "floor %.0f messages/s\n",
        kMoves * 1000.0 / dragMs, dragMs / kMoves, kMoves * 1000.0 / floorMs);

    constexpr int kCaptures = 20;
    scribo::win::Thumbnail thumb;
    const SIZE preview{240, 135};
    thumb.capture({0, 0, 1920, 1080}, preview);  // first one creates the bitmap
    t = Clock::now();
    for (int i = 0; i < kCaptures; ++i) thumb.capture({0, 0, 1920, 1080}, preview);
    const double captureMs = msSince(t) / kCaptures;
    HDC screen = GetDC(nullptr);
    HDC dc = GetDC(w);
    t = Clock::now();
    for (int i = 0; i < kCaptures; ++i) BitBlt(dc, 0, 0, 160, 90, screen, 0, 0, SRCCOPY);
    const double copyMs = msSince(t) / kCaptures;
    std::printf(
        "thumbnail capture 1920x1080 -> 240x135: %.2f ms; floor (plain 160x90 copy) %.2f ms\n",
        captureMs, copyMs);

    platform::PictureLibrary pictures;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    dir = dir.substr(0, dir.find_last_of(L"\\/"));
    pictures.load((dir + L"\\ResDLL.dll").c_str());
    Gdiplus::Bitmap* picture = pictures.picture(210);
    platform::RectTracker screenTracker, tabletTracker;
    screenTracker.rect = {20, 20, 200, 110};
    tabletTracker.rect = {60, 200, 180, 280};
    constexpr int kPaints = 50;
    t = Clock::now();
    for (int i = 0; i < kPaints; ++i) thumb.paint(dc, {10, 10});
    const double blitMs = msSince(t) / kPaints;
    t = Clock::now();
    for (int i = 0; i < kPaints; ++i) {
        thumb.paint(dc, {10, 10});
        if (picture != nullptr) {
            Gdiplus::Graphics g(dc);
            g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            g.DrawImage(picture, 20, 180, 213, 137);
        }
        screenTracker.draw(dc);
        tabletTracker.draw(dc);
        Rectangle(dc, 19, 19, 201, 111);
        Rectangle(dc, 59, 199, 181, 281);
        for (int k = 0; k < 4; ++k) {
            MoveToEx(dc, 20 + k * 40, 110, nullptr);
            LineTo(dc, 60 + k * 30, 200);
        }
    }
    const double paintMs = msSince(t) / kPaints;
    std::printf(
        "paint of both previews: %.2f ms (picture %s); floor (thumbnail copy alone) %.2f ms\n",
        paintMs, picture != nullptr ? "drawn" : "missing", blitMs);
    ReleaseDC(w, dc);
    ReleaseDC(nullptr, screen);
    DestroyWindow(w);
    return 0;
}
