// Live pressure through the Wintab stand-in and the on-screen info strip, with the real panel:
// the number by display mode, the bar's fill, the clear when the pen leaves the window, one open
// context however often the service reloads, and the strip's texts from the panel and from other
// processes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "config/service_protocol.h"
#include "linux_proc.h"
#include "panel_driver.h"
#include "platform/block_kernel.h"
#include "platform/handles.h"
#include "processes.h"
#include "resource.h"
#include "wintab_sim_control.h"

using namespace scribo;
using namespace testsupport;

namespace {

// A tablet showing a quarter of the raw pressure and one showing it raw; the stand-in's pressure
// axis goes to 8191.
const char kProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\n"
    "[device]\ndeviceId = PID_0374\nproductName = Pad S\ndeviceKind = 0\npenModel = 3\n"
    "tabletMaxX = 15200\ntabletMaxY = 9500\npressureScaleMode = 1\nmonitorIndex = 1\n"
    "[device]\ndeviceId = PID_0375\nproductName = Pad L\ndeviceKind = 0\npenModel = 3\n"
    "tabletMaxX = 21600\ntabletMaxY = 13500\npressureScaleMode = 2\nmonitorIndex = 1\n";

HWND control(int id) { return GetDlgItem(panelWindow(), id); }

std::wstring controlText(int id) {
    wchar_t buf[64] = {};
    GetWindowTextW(control(id), buf, 64);
    return buf;
}

HWND infoWindow() { return FindWindowW(L"OrvaShowInfoWindow", nullptr); }

class LivePressure : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(listenWindow(), nullptr) << "a stand-in is still running";
        ASSERT_TRUE(installDefaultConfig());
        // No packets until a test asks for them.
        SetEnvironmentVariableW(L"SCRIBO_WINTAB_SCRIPT", L"off");
        sim_ = std::make_unique<ServiceSim>(folder_, kProfile);
        ASSERT_TRUE(sim_->started());
        ASSERT_TRUE(panel_.start());
        SetEnvironmentVariableW(L"SCRIBO_WINTAB_SCRIPT", nullptr);
        HANDLE mapping = nullptr;
        control_ = wintabsim::openControl(panel_.process().id(), mapping);
        mapping_.reset(mapping);
        ASSERT_NE(control_, nullptr);
        // Only the stand-in counts opens in the panel's control block.
        ASSERT_TRUE(waitFor([&] { return control_->opens >= 1; }, 5000))
            << "the panel opened no context in the WinTab32.dll stand-in: Wine's built-in wintab32 "
               "loaded instead (WINEDLLOVERRIDES needs wintab32=n)";
        sendToPanel(WM_PANEL_SHOW);
        ASSERT_TRUE(waitFor(panelShown));
    }
    void TearDown() override {
        if (control_ != nullptr) UnmapViewOfFile(control_);
    }
    // Packets of this pressure from now on; true once the panel has fetched some of them, and
    // (a send of no consequence queued behind them) handled every message posted so far.
    bool press(const std::string& script) {
        if (!command(script)) return false;
        const LONG fetched = control_->packetsFetched;
        if (!waitFor([&] { return control_->packetsFetched > fetched + 5; })) return false;
        sendToPanel(WM_NULL);
        return true;
    }
    // A command the stand-in in the panel has taken.
    bool command(const std::string& text) {
        const LONG seq = wintabsim::sendCommand(*control_, text.c_str());
        return waitFor([&] { return control_->commandAck >= seq; });
    }
    static void cursorOverPanel() {
        RECT r{};
        GetWindowRect(panelWindow(), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    static void chooseDevice(int index) {
        sendOrFail(control(IDC_DEVICE_LIST), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        sendToPanel(WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, CBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(control(IDC_DEVICE_LIST)));
    }
    // Colour of the bar's pixel at x, read from the screen.
    static COLORREF barPixel(int x) {
        RECT r{};
        GetClientRect(control(IDC_PRESSURE_BAR), &r);
        POINT p{x, r.bottom / 2};
        ClientToScreen(control(IDC_PRESSURE_BAR), &p);
        platform::WindowDc screen(nullptr);
        return GetPixel(screen.get(), p.x, p.y);
    }

    TestFolder folder_;
    std::unique_ptr<ServiceSim> sim_;
    Panel panel_;
    platform::UniqueHandle mapping_;
    wintabsim::ControlBlock* control_ = nullptr;
};

TEST_F(LivePressure, TheNumberFollowsTheDisplayModeAndTheBarThePressure) {
    cursorOverPanel();
    const struct {
        int device;
        const wchar_t* shown;
    } cases[] = {{0, L"1023"}, {1, L"4095"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        chooseDevice(c.device);
        ASSERT_TRUE(press("fixed:4095"));
        EXPECT_TRUE(waitFor([&] { return controlText(IDC_PRESSURE_VALUE) == c.shown; }))
            << "shown: "
            << std::string(controlText(IDC_PRESSURE_VALUE).begin(),
                           controlText(IDC_PRESSURE_VALUE).end());
        // Half the axis fills half the bar, in both modes.
        RECT bar{};
        GetClientRect(control(IDC_PRESSURE_BAR), &bar);
        const int fill = static_cast<int>(static_cast<long long>(bar.right) * 4095 / 8191);
        EXPECT_EQ(barPixel(fill - 2), RGB(0x00, 0x78, 0xDE));
        EXPECT_NE(barPixel(fill + 2), RGB(0x00, 0x78, 0xDE));
    }

    // The pen leaves the window: bar cleared and "0" once; later packets outside change nothing.
    SetCursorPos(1, 1);
    EXPECT_TRUE(waitFor([] { return controlText(IDC_PRESSURE_VALUE) == L"0"; }));
    EXPECT_NE(barPixel(2), RGB(0x00, 0x78, 0xDE));
    ASSERT_TRUE(press("fixed:100"));
    EXPECT_EQ(controlText(IDC_PRESSURE_VALUE), L"0");
    EXPECT_NE(barPixel(2), RGB(0x00, 0x78, 0xDE));
}

// The panel's own packet handler, with messages the test sends: a packet it can fetch is answered
// with 1, also while the window is hidden; one it cannot (fetched already, never queued) with 0.
TEST_F(LivePressure, ThePacketHandlerAnswersWhetherItCouldFetchThePacket) {
    ASSERT_TRUE(command("off"));
    chooseDevice(1);  // shows the raw pressure
    const HWND panel = panelWindow();
    RECT r{};
    GetWindowRect(panel, &r);
    ASSERT_EQ(moveCursor((r.left + r.right) / 2, (r.top + r.bottom) / 2), "");
    ASSERT_TRUE(command("queue:3000"));
    const UINT serial = static_cast<UINT>(control_->lastSerial);
    const LPARAM context = 0;  // the handler fetches from its own context whatever lParam says
    EXPECT_EQ(sendToPanel(WM_TABLET_PACKET, serial, context), 1);
    for (const UINT gone : {serial, serial + 1000u, 0u}) {
        SCOPED_TRACE(gone);
        EXPECT_EQ(sendToPanel(WM_TABLET_PACKET, gone, context), 0);
    }
    // Hidden: still fetched (answer 1), nothing drawn.
    ShowWindow(panel, SW_HIDE);
    ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(panel); }));
    ASSERT_TRUE(command("queue:500"));
    const LONG fetched = control_->packetsFetched;
    EXPECT_EQ(sendToPanel(WM_TABLET_PACKET, static_cast<UINT>(control_->lastSerial), context), 1);
    EXPECT_EQ(control_->packetsFetched, fetched + 1);
}

TEST_F(LivePressure, ReloadsLeaveOneContextOpenAndTheEndClosesIt) {
    for (int i = 0; i < 10; ++i) EXPECT_EQ(sendToPanel(WM_PANEL_RELOAD), 1);
    EXPECT_EQ(control_->openContexts, 1);
    EXPECT_EQ(control_->opens, 11);
    EXPECT_EQ(panel_.stop(), 0);
    EXPECT_EQ(control_->openContexts, 0);
}

TEST_F(LivePressure, InfoStripShowsTextsForFiveTicks) {
    HWND info = infoWindow();
    ASSERT_NE(info, nullptr);
    EXPECT_FALSE(IsWindowVisible(info));  // created hidden

    // Another process's text, whole or with a byte count shorter than the string: shown, then
    // hidden after five ticks of 300 ms.
    const std::wstring text = L"Pen positioning finished";
    const DWORD sizes[] = {static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), 7};
    for (DWORD cb : sizes) {
        SCOPED_TRACE(cb);
        COPYDATASTRUCT data{0, cb, const_cast<wchar_t*>(text.c_str())};
        DWORD_PTR r = 0;
        SendMessageTimeoutW(info, WM_COPYDATA, reinterpret_cast<WPARAM>(panelWindow()),
                            reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 5000, &r);
        EXPECT_TRUE(IsWindowVisible(info));
        EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(info); }, 5000));
    }
    // A new interval while hidden keeps the strip hidden.
    DWORD_PTR r = 0;
    SendMessageTimeoutW(info, WM_INFO_SETINTERVAL, 100, 0, SMTO_NORMAL, 5000, &r);
    Sleep(400);
    EXPECT_FALSE(IsWindowVisible(info));

    // Pen positioning: the prompt, then the stand-in's result, at the bottom of the mapped
    // monitor; the result goes after five short ticks.
    sendOrFail(control(IDC_SET_WORK_AREA), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowVisible(info));
    RECT strip{};
    GetWindowRect(info, &strip);
    EXPECT_EQ(strip.bottom, 1080);
    EXPECT_EQ(strip.bottom - strip.top, 40);
    ASSERT_TRUE(sim_->waitForLog("event SETAREA"));
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(info); }, 5000));
}

// Not a pass/fail test: the panel's CPU share and time per packet while the stand-in posts
// packets at 300 and at 1000 per second with the pen over the window, beside the same panel
// idle (no packets) over the same time. Run with --gtest_also_run_disabled_tests.
TEST_F(LivePressure, DISABLED_PacketCost) {
    EXPECT_EQ(panel_.stop(), 0);
    UnmapViewOfFile(control_);
    control_ = nullptr;
    constexpr DWORD kWindowMs = 5000;
    const struct {
        const char* name;
        const wchar_t* script;
        const wchar_t* rate;
        bool over = true;  // the pen over the window (drawn) or beside it (fetched only)
    } runs[] = {{"idle (floor)", L"off", L"300"},
                {"300 packets/s", L"stroke", L"300"},
                {"1000 packets/s", L"stroke", L"1000"},
                {"1000/s outside", L"stroke", L"1000", false}};
    double idleCpu = 0;
    for (const auto& r : runs) {
        // The stand-in reads its script and rate when the panel opens the context.
        SetEnvironmentVariableW(L"SCRIBO_WINTAB_SCRIPT", r.script);
        SetEnvironmentVariableW(L"SCRIBO_WINTAB_RATE", r.rate);
        Panel panel;
        ASSERT_TRUE(panel.start());
        SetEnvironmentVariableW(L"SCRIBO_WINTAB_SCRIPT", nullptr);
        SetEnvironmentVariableW(L"SCRIBO_WINTAB_RATE", nullptr);
        HANDLE mapping = nullptr;
        wintabsim::ControlBlock* control = wintabsim::openControl(panel.process().id(), mapping);
        platform::UniqueHandle keepMapping(mapping);
        ASSERT_NE(control, nullptr);
        sendToPanel(WM_PANEL_SHOW);
        ASSERT_TRUE(waitFor(panelShown));
        if (r.over)
            cursorOverPanel();
        else
            SetCursorPos(1, 1);
        Sleep(500);
        const auto cpuMs = [] { return linuxCpuMs("Scribo.exe"); };
        ASSERT_GE(cpuMs(), 0.0);
        const LONG posted0 = control->packetsPosted;
        const double cpu0 = cpuMs();
        const DWORD t0 = GetTickCount();
        Sleep(kWindowMs);
        const double cpu = cpuMs() - cpu0;
        const DWORD wall = GetTickCount() - t0;
        const long packets = control->packetsPosted - posted0;
        if (packets == 0) idleCpu = cpu;
        std::printf("%-15s packets %6ld  panel CPU %7.1f ms in %lu ms = %5.2f %%", r.name, packets,
                    cpu, static_cast<unsigned long>(wall), 100.0 * cpu / wall);
        if (packets > 0)
            std::printf("  per packet %.1f us (%.1f us above idle)", 1000.0 * cpu / packets,
                        1000.0 * (cpu - idleCpu) / packets);
        std::printf("\n");
        UnmapViewOfFile(control);
        EXPECT_EQ(panel.stop(), 0);
    }
}

}  // namespace
