// The panel and the stand-in with one 1920 x 1080 monitor, a 15200 x 9500 tablet with a
// trackpad and a pen display, for the mapping group's end-to-end tests.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "config/block_access.h"
#include "config/service_protocol.h"
#include "mapping/screen_mapping.h"
#include "panel_driver.h"
#include "platform/block_kernel.h"
#include "platform/handles.h"
#include "platform/wide.h"
#include "processes.h"
#include "resource.h"

// Printed by the assertions (found next to the types).
namespace scribo {
inline std::ostream& operator<<(std::ostream& os, const Area& a) {
    return os << a.x << ", " << a.y << ", " << a.w << ", " << a.h;
}
inline std::ostream& operator<<(std::ostream& os, const Rect32& r) {
    return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

}  // namespace scribo

namespace testsupport {

inline const char kMappingProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\nprimaryMonitor = "
    "1\n"
    "currentMonitor = 1\n"
    "[device]\ndeviceId = PID_0374\nproductName = Pad S\ndeviceKind = 0\nhasExpressKeys = 1\n"
    "keyCount = 8\npenModel = 3\ntabletMaxX = 15200\ntabletMaxY = 9500\nmonitorIndex = 1\n"
    "screenArea = 0 0 1920 1080\nhasTrackPad = 1\ntrackPadId = 1\n"
    "pictureIds = 201 202 210 211 212 213 0 0\n"
    "previewLayout = 0.30 0.52 0.62 0.78  0.36 0.47 0.56 0.83  0.30 0.52 0.62 0.78  0.36 0.47 0.56 "
    "0.83\n"
    "[device]\ndeviceId = PID_0390\nproductName = Display 16\ndeviceKind = 1\nhasExpressKeys = 1\n"
    "tabletMaxX = 34420\ntabletMaxY = 19360\nmonitorIndex = 1\nscreenArea = 0 0 1920 1080\n"
    "displayCalib = 0.5 0.5 0.5 0.5\npictureIds = 206 0 218 219 220 221 0 0\n"
    "previewLayout = 0.28 0.52 0.64 0.78  0.37 0.46 0.55 0.84  0.28 0.52 0.64 0.78  0.37 0.46 0.55 "
    "0.84\n";

class MappingE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(listenWindow(), nullptr) << "a stand-in is still running";
        ASSERT_TRUE(installDefaultConfig());
    }
    void start(const std::string& profile = kMappingProfile) {
        sim_ = std::make_unique<ServiceSim>(folder_, profile);
        ASSERT_TRUE(sim_->started());
        ASSERT_TRUE(panel_.start());
        ASSERT_EQ(link_.attach(), scribo::AttachResult::Attached);
        sendToPanel(scribo::WM_PANEL_SHOW);
        ASSERT_TRUE(waitFor(panelShown));
    }
    static HWND control(int id) { return GetDlgItem(panelWindow(), id); }
    static void click(int id) { sendOrFail(control(id), BM_CLICK, 0, 0); }
    static std::wstring textOf(int id) {
        wchar_t t[64] = {};
        GetDlgItemTextW(panelWindow(), id, t, 64);
        return t;
    }
    static void type(int id, const wchar_t* text) { SetDlgItemTextW(panelWindow(), id, text); }
    static void chooseDevice(int index) { chooseInCombo(IDC_DEVICE_LIST, index); }
    static void chooseInCombo(int id, int index) {
        sendOrFail(control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        sendOrFail(panelWindow(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(control(id)));
    }
    // A control's rectangle in the main window's client coordinates.
    static scribo::Rect32 clientRect(int id) {
        RECT r{};
        GetWindowRect(control(id), &r);
        MapWindowPoints(nullptr, panelWindow(), reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right, r.bottom};
    }
    // What the screen shows over a rectangle of the main window's client area, row by row.
    static std::vector<COLORREF> screenPixels(const scribo::Rect32& r) {
        POINT origin{r.left, r.top};
        ClientToScreen(panelWindow(), &origin);
        const int w = r.right - r.left, h = r.bottom - r.top;
        platform::WindowDc screen(nullptr);
        platform::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        platform::UniqueBitmap dib(
            CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!dib || bits == nullptr) return {};
        platform::SelectGuard select(memory.get(), dib.get());
        BitBlt(memory.get(), 0, 0, w, h, screen.get(), origin.x, origin.y, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const COLORREF*>(bits);
        return std::vector<COLORREF>(p, p + static_cast<size_t>(w) * static_cast<size_t>(h));
    }
    // The whole main window drawn again, and given the time to reach the screen.
    static void repaintPanel() {
        RedrawWindow(panelWindow(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        letDrawingSettle();
    }
    static void letDrawingSettle() {
        sendToPanel(WM_NULL);
        Sleep(400);
    }
    scribo::DeviceRecord& slot(int s) { return link_.block()->devices[s]; }
    scribo::SharedBlock& block() { return *link_.block(); }
    static scribo::Area areaOf(const scribo::DeviceRecord& r) {
        return {r.tabletAreaX, r.tabletAreaY, r.tabletAreaW, r.tabletAreaH};
    }

    TestFolder folder_;
    std::unique_ptr<ServiceSim> sim_;
    Panel panel_;
    platform::SharedBlockLink link_;
};

}  // namespace testsupport
