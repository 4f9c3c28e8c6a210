// The display adjustment dialog through the real panel, against the DDC/CI stand-in (dxva2.dll
// of a test layout): what the dialog shows for what the monitor reports, what it sends the
// monitor and when, the rotation it asks of the system, and that the window keeps answering
// while the monitor is slow.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../../tools/ddc-sim/ddc_sim_state.h"
#include "config/service_protocol.h"
#include "panel_driver.h"
#include "platform/block_kernel.h"
#include "processes.h"
#include "resource.h"

using namespace scribo;
using namespace testsupport;
using ddcsim::Call;

namespace {

// Two pen displays on the one 1920 x 1080 monitor; the second is one whose picture settings
// are locked.
const char kProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\n"
    "currentMonitor = 1\ndisplayDeviceName = \\\\.\\DISPLAY1\n"
    "[device]\ndeviceId = PID_0390\nproductName = Display 16\ndeviceKind = 1\nhasExpressKeys = 1\n"
    "[device]\ndeviceId = PID_0E27\nproductName = Display 13\ndeviceKind = 1\n";

struct Entry {
    Call call;
    ddcsim::LogEntry e;
};

class DisplaySettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(listenWindow(), nullptr) << "a stand-in is still running";
        ASSERT_TRUE(installDefaultConfig());
        ASSERT_NE(GetFileAttributesW((layoutDir() + L"\\dxva2.dll").c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << "the DDC/CI stand-in is not in the test layout";
        ddc_ = ddcsim::openState(section_);
        ASSERT_NE(ddc_, nullptr);
        ddcsim::setDefaults(*ddc_);
        sim_ = std::make_unique<ServiceSim>(folder_, kProfile);
        ASSERT_TRUE(sim_->started());
        ASSERT_EQ(link_.attach(), AttachResult::Attached);
        setDisplayMode(1920, 1080, 0);
        ASSERT_TRUE(panel_.start()) << "panel did not start";
        sendToPanel(WM_PANEL_SHOW);
        ASSERT_TRUE(waitFor(panelShown));
    }
    void TearDown() override {
        ddc_->hang = 0;  // a monitor left hanging by a failed test answers again
        if (HWND d = dialog()) PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
        waitFor([this] { return dialog() == nullptr; }, 3000);
        panel_.stop();
        sim_.reset();
        if (section_ != nullptr) CloseHandle(section_);
    }

    void setDisplayMode(uint32_t width, uint32_t height, uint32_t orientation) {
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        mode.dmPelsWidth = width;
        mode.dmPelsHeight = height;
        mode.dmDisplayOrientation = orientation;
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        std::memcpy(link_.block()->displayMode, &mode, sizeof mode);
    }
    static void chooseDevice(int index) {
        HWND combo = GetDlgItem(panelWindow(), IDC_DEVICE_LIST);
        sendOrFail(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        sendOrFail(panelWindow(), WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    }
    // The open display adjustment dialog: a window of the panel with the Restore button.
    static HWND dialog() {
        struct Find {
            DWORD process;
            HWND found;
        } find{0, nullptr};
        GetWindowThreadProcessId(panelWindow(), &find.process);
        EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                auto* f = reinterpret_cast<Find*>(p);
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == f->process && IsWindowVisible(w) &&
                    GetDlgItem(w, IDC_DS_RESTORE) != nullptr &&
                    GetDlgItem(w, IDC_DS_CONTRAST) != nullptr) {
                    f->found = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&find));
        return find.found;
    }
    static void clickPanelButton(int id) {
        PostMessageW(panelWindow(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(panelWindow(), id)));
    }
    // Opens the dialog and waits until it shows the monitor's values (Restore is enabled then).
    HWND openDialog() {
        clickPanelButton(IDC_DISPLAY_SETTING);
        waitFor([] { return dialog() != nullptr && enabled(dialog(), IDC_DS_RESTORE); }, 5000);
        return dialog();
    }
    static void click(HWND dlg, int id) {
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
    }
    // Closes the dialog with OK or Cancel and waits until it is gone.
    void closeWith(HWND dlg, int id) {
        click(dlg, id);
        EXPECT_TRUE(waitFor([] { return dialog() == nullptr; }, 5000));
    }
    static int pos(HWND dlg, int id) {
        return static_cast<int>(sendItemOrFail(dlg, id, TBM_GETPOS, 0, 0));
    }
    static std::wstring text(HWND w, int id) {
        wchar_t buf[256] = {};
        GetDlgItemTextW(w, id, buf, 256);
        return buf;
    }
    static bool enabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)) != FALSE; }
    static std::vector<int> checkedRadios(HWND dlg) {
        std::vector<int> ids;
        for (int id = IDC_DS_SRGB; id <= IDC_DS_USER; ++id)
            if (IsDlgButtonChecked(dlg, id) == BST_CHECKED) ids.push_back(id);
        return ids;
    }

    std::vector<Entry> log(std::size_t from = 0) const {
        std::vector<Entry> out;
        const auto n =
            std::min<uint32_t>(static_cast<uint32_t>(ddc_->logCount), ddcsim::kLogCapacity);
        for (uint32_t i = static_cast<uint32_t>(from); i < n; ++i)
            if (ddc_->log[i].call != 0)
                out.push_back({static_cast<Call>(ddc_->log[i].call), ddc_->log[i]});
        return out;
    }
    std::vector<Entry> calls(Call c, std::size_t from = 0) const {
        std::vector<Entry> all = log(from), out;
        std::copy_if(all.begin(), all.end(), std::back_inserter(out),
                     [c](const Entry& e) { return e.call == c; });
        return out;
    }
    std::size_t logSize() const { return static_cast<std::size_t>(ddc_->logCount); }

    TestFolder folder_;
    HANDLE section_ = nullptr;
    ddcsim::State* ddc_ = nullptr;
    std::unique_ptr<ServiceSim> sim_;
    platform::SharedBlockLink link_;
    Panel panel_;
};

// Each case opens the dialog afresh: every opening reads the monitor again.
TEST_F(DisplaySettings, ShowsWhatTheMonitorReports) {
    struct Case {
        const char* name;
        int device;  // 0 = PID_0390, 1 = PID_0E27 (locked)
        uint32_t temperature;
        bool failTemperature, failReads;
        uint32_t brightness[3], contrast[3];
        int brightnessPos;
        const wchar_t* brightnessLabel;
        int contrastPos;
        const wchar_t* contrastLabel;
        std::vector<int> radios;
        bool gainsEnabled, picturesEnabled;
        int redPos;
    } cases[] = {
        {"readings scaled to 0..100",
         0,
         3,
         false,
         false,
         {0, 70, 100},
         {0, 35, 50},
         70,
         L"70",
         70,
         L"35",
         {IDC_DS_6500K},
         false,
         true,
         50},
        {"8200 K chooses nothing",
         0,
         5,
         false,
         false,
         {0, 70, 100},
         {0, 35, 50},
         70,
         L"70",
         70,
         L"35",
         {},
         false,
         true,
         50},
        {"failed temperature",
         0,
         3,
         true,
         false,
         {0, 70, 100},
         {0, 35, 50},
         70,
         L"70",
         70,
         L"35",
         {IDC_DS_6500K},
         false,
         true,
         50},
        {"unknown temperature reads the gains",
         0,
         0,
         false,
         false,
         {0, 20, 100},
         {0, 80, 100},
         20,
         L"20",
         80,
         L"80",
         {IDC_DS_USER},
         true,
         true,
         30},
        {"failed reads show 50 of 100",
         0,
         0,
         false,
         true,
         {0, 20, 100},
         {0, 80, 100},
         50,
         L"50",
         50,
         L"50",
         {IDC_DS_6500K},
         false,
         true,
         50},
        {"zero range leaves the slider",
         0,
         3,
         false,
         false,
         {0, 0, 0},
         {0, 35, 50},
         0,
         L"0",
         70,
         L"35",
         {IDC_DS_6500K},
         false,
         true,
         50},
        {"locked product",
         1,
         3,
         false,
         false,
         {0, 70, 100},
         {0, 35, 50},
         70,
         L"70",
         70,
         L"35",
         {IDC_DS_6500K},
         false,
         false,
         50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chooseDevice(c.device);
        ddcsim::setDefaults(*ddc_);
        ddc_->temperature = c.temperature;
        ddc_->failTemperature = c.failTemperature;
        ddc_->failReads = c.failReads;
        std::copy(std::begin(c.brightness), std::end(c.brightness), ddc_->brightness);
        std::copy(std::begin(c.contrast), std::end(c.contrast), ddc_->contrast);
        ddc_->gain[0][1] = 30;
        HWND dlg = openDialog();
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(pos(dlg, IDC_DS_BRIGHTNESS), c.brightnessPos);
        EXPECT_EQ(text(dlg, IDC_DS_BRIGHTNESS_VALUE), c.brightnessLabel);
        EXPECT_EQ(pos(dlg, IDC_DS_CONTRAST), c.contrastPos);
        EXPECT_EQ(text(dlg, IDC_DS_CONTRAST_VALUE), c.contrastLabel);
        EXPECT_EQ(pos(dlg, IDC_DS_RED), c.redPos);
        EXPECT_EQ(checkedRadios(dlg), c.radios);
        for (int id : {IDC_DS_RED, IDC_DS_GREEN, IDC_DS_BLUE})
            EXPECT_EQ(enabled(dlg, id), c.gainsEnabled) << id;
        for (int id : {IDC_DS_BRIGHTNESS, IDC_DS_CONTRAST, IDC_DS_SRGB, IDC_DS_USER})
            EXPECT_EQ(enabled(dlg, id), c.picturesEnabled) << id;
        for (int id : {IDC_DS_RESTORE, IDC_DS_ROTATE_0, IDC_DS_ROTATE_90, IDOK})
            EXPECT_TRUE(enabled(dlg, id)) << id;
        closeWith(dlg, IDCANCEL);
        EXPECT_TRUE(calls(Call::Save).empty()) << "Cancel stores nothing";
        EXPECT_EQ(ddc_->openHandles, 0) << "the physical monitor is released";
    }
}

TEST_F(DisplaySettings, RotationAndRestoreWorkOnALockedProductAndOkStores) {
    chooseDevice(1);
    HWND dlg = openDialog();
    ASSERT_NE(dlg, nullptr);
    struct Turn {
        int button;
        uint32_t width, height, orientation;
    } turns[] = {{IDC_DS_ROTATE_90, 1080, 1920, 1},
                 {IDC_DS_ROTATE_180, 1920, 1080, 2},
                 {IDC_DS_ROTATE_270, 1080, 1920, 3}};
    for (const Turn& t : turns) {
        const std::size_t before = calls(Call::ChangeDisplay).size();
        click(dlg, t.button);
        ASSERT_TRUE(waitFor([&] { return calls(Call::ChangeDisplay).size() == before + 1; }, 3000));
        const ddcsim::LogEntry e = calls(Call::ChangeDisplay).back().e;
        EXPECT_EQ(e.a, t.width);
        EXPECT_EQ(e.b, t.height);
        EXPECT_EQ(e.c, t.orientation);
        EXPECT_EQ(e.d, 0x180080u);
        EXPECT_EQ(e.e, 0x40000009u);
        EXPECT_STREQ(e.device, L"\\\\.\\DISPLAY1");
    }

    // Two quick clicks on Restore, as the mouse makes them: the second comes while the first
    // is still being done and is dropped.
    const std::size_t from = logSize();
    HWND restore = GetDlgItem(dlg, IDC_DS_RESTORE);
    for (int i = 0; i < 2; ++i) {
        PostMessageW(restore, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(restore, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    ASSERT_TRUE(waitFor([&] { return calls(Call::SetVcp, from).size() >= 4; }, 3000));
    EXPECT_TRUE(waitFor([&] { return enabled(dlg, IDC_DS_RESTORE); }, 3000));
    Sleep(800);  // a second restore would have started by now
    const std::vector<Entry> vcp = calls(Call::SetVcp, from);
    ASSERT_EQ(vcp.size(), 4u) << "one factory reset and three neutral gains";
    EXPECT_EQ(vcp[0].e.a, 0x04u);
    EXPECT_EQ(vcp[0].e.b, 16u);
    const std::vector<Entry> upright = calls(Call::ChangeDisplay, from);
    ASSERT_EQ(upright.size(), 1u);
    EXPECT_EQ(upright[0].e.a, 1920u);
    EXPECT_EQ(upright[0].e.b, 1080u);
    EXPECT_EQ(upright[0].e.c, 0u);
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(vcp[i].e.a, static_cast<uint32_t>(0x14 + 2 * i));
        EXPECT_EQ(vcp[i].e.b, 50u);
    }
    EXPECT_GE(vcp[1].e.microseconds - upright[0].e.microseconds, 395000)
        << "the display gets 400 ms";
    EXPECT_EQ(checkedRadios(dlg), std::vector<int>{IDC_DS_6500K});
    EXPECT_EQ(pos(dlg, IDC_DS_BRIGHTNESS), 50);
    EXPECT_EQ(text(dlg, IDC_DS_CONTRAST_VALUE), L"50");

    closeWith(dlg, IDOK);
    EXPECT_EQ(calls(Call::Save).size(), 1u);
    EXPECT_EQ(ddc_->openHandles, 0);
}

TEST_F(DisplaySettings, TellsWhyItCannotOpen) {
    struct Case {
        const char* name;
        int currentMonitor;
        uint32_t noPhysicalMonitor, failCount;
        const wchar_t* caption;
        const wchar_t* message;
    } cases[] = {
        {"duplicate or single display", 0, 0, 0, L"Info",
         L"Please set your monitors to extend mode then try again.! "},
        {"no physical monitor", 1, 1, 0, L"Error", L"Can't Get the PhysicalMonitor!"},
        {"count query fails", 1, 0, 1, L"Error", L"Can't Get the PhysicalMonitor!"},
        {"monitor index beyond the table", 12, 0, 0, L"Error", L"Can't Get the PhysicalMonitor!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        link_.block()->currentMonitor = c.currentMonitor;
        ddc_->noPhysicalMonitor = c.noPhysicalMonitor;
        ddc_->failCount = c.failCount;
        clickPanelButton(IDC_DISPLAY_SETTING);
        HWND box = nullptr;
        ASSERT_TRUE(
            waitFor([&] { return (box = FindWindowW(L"#32770", c.caption)) != nullptr; }, 5000));
        EXPECT_EQ(text(box, 0xFFFF), c.message);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(waitFor([&] { return !IsWindow(box); }, 3000));
        EXPECT_EQ(dialog(), nullptr);
        EXPECT_EQ(ddc_->openHandles, 0);
    }
}

// A drag of the brightness slider while every monitor call takes 60 ms: the window answers
// throughout, the monitor gets its commands from another thread 100 ms apart, and the last
// position is the one it ends with.
TEST_F(DisplaySettings, TheWindowAnswersWhileTheMonitorWorks) {
    HWND dlg = openDialog();
    ASSERT_NE(dlg, nullptr);
    ddc_->callDelayMs = 60;
    const std::size_t from = logSize();
    const DWORD uiThread = GetWindowThreadProcessId(dlg, nullptr);

    std::atomic<bool> dragging{true};
    std::atomic<long long> longest{0};
    std::thread pinger([&] {
        while (dragging) {
            const auto t0 = std::chrono::steady_clock::now();
            DWORD_PTR r = 0;
            SendMessageTimeoutW(dlg, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r);
            const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - t0)
                                     .count();
            longest = std::max(longest.load(), ms);
            Sleep(5);
        }
    });
    HWND slider = GetDlgItem(dlg, IDC_DS_BRIGHTNESS);
    const int moves = 60;
    for (int i = 1; i <= moves; ++i) {
        PostMessageW(slider, TBM_SETPOS, TRUE, i);
        PostMessageW(dlg, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, i),
                     reinterpret_cast<LPARAM>(slider));
        Sleep(15);
    }
    PostMessageW(dlg, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
    const int64_t dragEnd = ddcsim::nowMicroseconds();
    const std::wstring last = std::to_wstring(moves);
    const bool caughtUp =
        waitFor([&] { return text(dlg, IDC_DS_BRIGHTNESS_VALUE) == last; }, 30000);
    const int64_t windowLag = ddcsim::nowMicroseconds() - dragEnd;
    const bool settled = waitFor(
        [&] {
            const auto b = calls(Call::SetBrightness, from);
            return !b.empty() && b.back().e.a == static_cast<uint32_t>(moves);
        },
        30000);
    dragging = false;
    pinger.join();
    const auto sets = calls(Call::SetBrightness, from);
    std::printf(
        "[ figure ] drag of %d moves: longest unanswered message %lld ms; window showed the last "
        "position %lld ms after the drag, the monitor had it %lld ms after\n",
        moves, longest.load(), static_cast<long long>(windowLag / 1000),
        static_cast<long long>(sets.empty() ? -1 : (sets.back().e.microseconds - dragEnd) / 1000));
    ASSERT_TRUE(caughtUp && settled);
    // How long a message waited is a figure (above), not a check: a loaded machine can take any
    // time. What keeps the window answering is that no monitor call runs on its thread.

    EXPECT_LT(sets.size(), static_cast<std::size_t>(moves / 3))
        << "moves made while busy are merged";
    for (std::size_t i = 0; i < sets.size(); ++i) {
        EXPECT_NE(sets[i].e.thread, uiThread) << "monitor work on the window's thread";
        if (i == 0) continue;
        EXPECT_GE(sets[i].e.microseconds - sets[i - 1].e.microseconds, 99000) << i;
        EXPECT_GT(sets[i].e.a, sets[i - 1].e.a) << "in order";
    }
    closeWith(dlg, IDOK);
    const std::vector<Entry> after = log(from);
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(calls(Call::Save, from).size(), 1u);
    EXPECT_EQ(ddc_->openHandles, 0);
}

// With every monitor command taking 45 ms, as a real monitor's do, the dialog is up before the
// monitor has answered: its settings disabled, its window answering, the reads on the worker;
// then it shows the values and enables what may be changed.
TEST_F(DisplaySettings, OpensAtOnceAndFillsWhenTheMonitorAnswers) {
    ddc_->callDelayMs = 45;
    ddc_->temperature = 0;  // USER: the three gains are read too, six reads in all
    ddc_->gain[1][1] = 20;
    const std::size_t from = logSize();
    clickPanelButton(IDC_DISPLAY_SETTING);
    ASSERT_TRUE(waitFor([] { return dialog() != nullptr; }, 5000));
    HWND dlg = dialog();
    const int64_t shownAt = ddcsim::nowMicroseconds();
    const DWORD uiThread = GetWindowThreadProcessId(dlg, nullptr);
    for (int id : {IDC_DS_SRGB, IDC_DS_USER, IDC_DS_RED, IDC_DS_BRIGHTNESS, IDC_DS_CONTRAST,
                   IDC_DS_RESTORE, IDC_DS_ROTATE_0, IDC_DS_ROTATE_270})
        EXPECT_FALSE(enabled(dlg, id)) << id << " usable before the monitor's values are there";
    EXPECT_TRUE(enabled(dlg, IDCANCEL));
    DWORD_PTR r = 0;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_NE(SendMessageTimeoutW(dlg, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r), 0);
    const long long answerMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
            .count();

    ASSERT_TRUE(waitFor([&] { return enabled(dlg, IDC_DS_RESTORE); }, 5000));
    const std::vector<Call> reads = {Call::GetTemperature, Call::GetGain, Call::GetBrightness,
                                     Call::GetContrast};
    std::vector<Entry> done;
    for (const Entry& e : log(from))
        if (std::find(reads.begin(), reads.end(), e.call) != reads.end()) done.push_back(e);
    ASSERT_EQ(done.size(), 6u);
    std::printf(
        "[ figure ] dialog shown %lld ms before the last of six 45 ms reads; it answered in %lld "
        "ms meanwhile\n",
        static_cast<long long>((done.back().e.microseconds - shownAt) / 1000), answerMs);
    EXPECT_GT(done.back().e.microseconds, shownAt) << "the dialog waited for the monitor";
    EXPECT_LT(answerMs, 100);
    for (const Entry& e : done) EXPECT_NE(e.e.thread, uiThread) << "a read on the window's thread";
    EXPECT_EQ(checkedRadios(dlg), std::vector<int>{IDC_DS_USER});
    EXPECT_EQ(pos(dlg, IDC_DS_GREEN), 20);
    EXPECT_EQ(pos(dlg, IDC_DS_BRIGHTNESS), 70);
    for (int id : {IDC_DS_SRGB, IDC_DS_RED, IDC_DS_GREEN, IDC_DS_BRIGHTNESS, IDC_DS_ROTATE_90})
        EXPECT_TRUE(enabled(dlg, id)) << id;
    closeWith(dlg, IDCANCEL);
    EXPECT_TRUE(waitFor([&] { return ddc_->openHandles == 0; }, 3000));
}

// A monitor that stops answering holds a command for as long as it likes: Cancel and OK still
// close the dialog within half a second, the panel keeps answering, and the worker lets the
// monitor go (after storing the settings, for OK) once its command returns.
TEST_F(DisplaySettings, ClosingNeverWaitsForAHungMonitor) {
    ddc_->callDelayMs = 45;
    struct Case {
        const char* what;
        bool hangAtOpening;  // else: once the values are there, on a preset click
        int button;
    } cases[] = {{"hung while reading, Cancel", true, IDCANCEL},
                 {"hung on a preset, OK", false, IDOK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t from = logSize();
        HWND dlg = nullptr;
        if (c.hangAtOpening) {
            ddc_->hang = 1;
            clickPanelButton(IDC_DISPLAY_SETTING);
            ASSERT_TRUE(
                waitFor([&] { return (dlg = dialog()) != nullptr && ddc_->hungCalls > 0; }, 5000));
        } else {
            dlg = openDialog();
            ASSERT_NE(dlg, nullptr);
            ddc_->hang = 1;
            click(dlg, IDC_DS_SRGB);
            ASSERT_TRUE(waitFor([&] { return ddc_->hungCalls > 0; }, 3000));
        }
        const auto t0 = std::chrono::steady_clock::now();
        click(dlg, c.button);
        const bool closed = waitFor([] { return dialog() == nullptr; }, 5000);
        const long long closeMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                      std::chrono::steady_clock::now() - t0)
                                      .count();
        std::printf("[ figure ] %s: the dialog closed %lld ms after the click\n", c.what, closeMs);
        ASSERT_TRUE(closed) << "the dialog waits for the hung monitor";
        EXPECT_LE(closeMs, 700);  // half a second of waiting, and the window going
        DWORD_PTR r = 0;
        EXPECT_NE(SendMessageTimeoutW(panelWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 1000, &r), 0)
            << "the panel hangs";
        EXPECT_EQ(ddc_->openHandles, 1) << "the hung command's monitor is still in use";

        ddc_->hang = 0;
        EXPECT_TRUE(waitFor([&] { return ddc_->openHandles == 0; }, 5000))
            << "the monitor is not let go";
        EXPECT_EQ(calls(Call::Save, from).size(), c.button == IDOK ? 1u : 0u);
    }
}

// The panel ending (its exit message) while the dialog is open ends the dialog too, drops the
// monitor work not yet done and lets the monitor go.
TEST_F(DisplaySettings, ThePanelEndingClosesTheDialog) {
    HWND dlg = openDialog();
    ASSERT_NE(dlg, nullptr);
    ddc_->callDelayMs = 60;
    const std::size_t before = calls(Call::ChangeDisplay).size();
    click(dlg, IDC_DS_ROTATE_90);  // 500 ms of pause after it
    click(dlg, IDC_DS_ROTATE_180);
    // The first rotation done, the second waiting behind the pause and a slow monitor.
    ASSERT_TRUE(waitFor([&] { return calls(Call::ChangeDisplay).size() == before + 1; }, 10000));
    ddc_->callDelayMs = 3000;
    sendToPanel(WM_PANEL_EXIT);
    EXPECT_GE(panel_.process().wait(15000), 0) << "the panel did not end";
    EXPECT_EQ(ddc_->openHandles, 0);
    ddc_->callDelayMs = 0;
    EXPECT_EQ(calls(Call::ChangeDisplay).size(), before + 1) << "pending work is dropped";
}

}  // namespace
