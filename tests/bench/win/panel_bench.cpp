// The panel's own figures under Wine, each the median of several runs, beside floors measured in
// the same run: a minimal dialog program, and the panel's main-window template shown by an empty
// dialog procedure (what the template's controls cost before any of our code runs).
//   start to initialised   process start until the window exists and is collapsed
//   show to painted        WM_PANEL_SHOW until the window is shown with nothing left to paint
//   arrival to painted     a device arriving (the stand-in fills its record and notifies) until
//                          the shown window has loaded it and painted
//   memory                 private bytes, handles, GDI and USER objects after start, and after
//                          showing the window and every window the devices offer once
// Run from the test layout: it starts the service stand-in itself.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "panel_driver.h"
#include "process_counts.h"
#include "processes.h"
#include "resource.h"

using namespace testsupport;
using Clock = std::chrono::steady_clock;

namespace {

// A tablet and a pen display, and a second tablet that arrives and leaves.
const char kProfile[] =
    "[monitors]\nrect0 = 0 0 1920 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\n"
    "currentMonitor = 1\ndisplayDeviceName = \\\\.\\DISPLAY1\n"
    "[device]\ndeviceId = PID_0374\nproductName = Pad S\ndeviceKind = 0\nhasExpressKeys = 1\n"
    "keyCount = 8\npenModel = 3\ntabletMaxX = 15200\ntabletMaxY = 9500\nmonitorIndex = 1\n"
    "[device]\ndeviceId = PID_0390\nproductName = Display 16\ndeviceKind = 1\nhasExpressKeys = 1\n"
    "[device]\nconnected = 0\ndeviceId = PID_0375\nproductName = Pad L\ndeviceKind = 0\n"
    "hasRing = 1\nhasExpressKeys = 1\nkeyCount = 16\ntabletMaxX = 21600\ntabletMaxY = 13500\n";

double ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool collapsed(HWND w) {
    RECT r{};
    return w != nullptr && GetWindowRect(w, &r) && r.right == r.left;
}

// Shown, and painted: a sent message is handled before any paint, so an empty update region
// after it means the paint is done.
bool shownAndPainted(HWND w) {
    RECT r{};
    if (!IsWindowVisible(w) || !GetWindowRect(w, &r) || r.right == r.left) return false;
    SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 2000, nullptr);
    return GetUpdateRect(w, nullptr, FALSE) == FALSE;
}

struct Program {
    const wchar_t* exe;
    const wchar_t* title;
    const char* name;
    std::vector<double> start, show;
};

void measure(Program& p) {
    Process process;
    const auto t0 = Clock::now();
    process.start(L"\"" + layoutDir() + L"\\" + p.exe + L"\"");
    HWND w = nullptr;
    if (!waitFor([&] { return collapsed(w = FindWindowW(L"#32770", p.title)); }, 20000)) return;
    const auto t1 = Clock::now();
    Sleep(300);
    const auto t2 = Clock::now();
    PostMessageW(w, scribo::WM_PANEL_SHOW, 0, 0);
    waitFor([&] { return shownAndPainted(w); }, 20000);
    const auto t3 = Clock::now();
    SendMessageTimeoutW(w, scribo::WM_PANEL_EXIT, 0, 0, SMTO_NORMAL, 5000, nullptr);
    process.wait(5000);
    p.start.push_back(ms(t0, t1));
    p.show.push_back(ms(t2, t3));
}

void printCounts(const char* when, const ProcessCounts& c) {
    std::printf("  %-34s %8.1f MB%s  %5lu handles  %5lu GDI  %5lu %s\n", when,
                static_cast<double>(c.privateBytes) / (1024.0 * 1024.0),
                c.privateFromLinux ? " (Linux)" : "", static_cast<unsigned long>(c.handles),
                static_cast<unsigned long>(c.gdiObjects), static_cast<unsigned long>(c.userObjects),
                c.userIsWindowCount ? "windows" : "USER");
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    installDefaultConfig();
    TestFolder folder;
    ServiceSim sim(folder, kProfile);
    if (!sim.started()) {
        std::printf("panel_bench: the service stand-in did not start\n");
        return 1;
    }
    Program panel{L"Scribo.exe", L"QM53", "panel", {}, {}};
    Program tmpl{L"TemplateDialog.exe", L"QM53", "same template, empty procedure", {}, {}};
    Program minimal{L"MinimalDialog.exe", L"MinimalDialog", "minimal dialog", {}, {}};
    for (int i = 0; i < runs; ++i)
        for (Program* p : {&panel, &tmpl, &minimal}) measure(*p);

    // Arrival, with the window shown.
    std::vector<double> arrival;
    Panel running;
    ProcessCounts afterStart, afterWindows;
    if (running.start()) {
        afterStart = countsOf(running.process().handle(), "Scribo.exe");
        PostMessageW(panelWindow(), scribo::WM_PANEL_SHOW, 0, 0);
        waitFor([] { return shownAndPainted(panelWindow()); }, 20000);
        for (int i = 0; i < runs; ++i) {
            const auto t0 = Clock::now();
            simCommand("arrive 0x0375");
            waitFor([] { return shownAndPainted(panelWindow()); }, 20000);
            arrival.push_back(ms(t0, Clock::now()));
            simCommand("remove 0x0375");
            waitFor([] { return shownAndPainted(panelWindow()); }, 20000);
        }
        // Every window the devices offer, once.
        HWND combo = GetDlgItem(panelWindow(), IDC_DEVICE_LIST);
        const int devices = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int d = 0; d < devices; ++d) {
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(d), 0);
            SendMessageW(panelWindow(), WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(combo));
            for (int id : {IDC_QUICK_SETTING, IDC_REMOTE, IDC_DISPLAY_SETTING, IDC_CALIBRATE,
                           IDC_SET_SCREEN_AREA}) {
                HWND button = GetDlgItem(panelWindow(), id);
                if (!IsWindowVisible(button) || !IsWindowEnabled(button)) continue;
                openAndCloseWindow(running.process().id(), [id, button] {
                    PostMessageW(panelWindow(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(button));
                });
            }
        }
        afterWindows = countsOf(running.process().handle(), "Scribo.exe");
    }

    const double startFloor = median(tmpl.start), showFloor = median(tmpl.show);
    std::printf(
        "\nPanel under Wine, medians of %d runs (ms)      ours   template  minimal  ours/template  "
        "goal\n",
        runs);
    std::printf(
        "  start to initialised                    %8.1f %8.1f %8.1f %10.2f      <= 1.30 x "
        "template\n",
        median(panel.start), startFloor, median(minimal.start), median(panel.start) / startFloor);
    std::printf(
        "  show to painted                         %8.1f %8.1f %8.1f %10.2f      <= 16 ms of our "
        "work\n",
        median(panel.show), showFloor, median(minimal.show), median(panel.show) / showFloor);
    std::printf("  device arrival to loaded and painted    %8.1f\n", median(arrival));
    std::printf("Panel memory                               (goal: private bytes <= 12 MB)\n");
    printCounts("after start", afterStart);
    printCounts("after showing every window once", afterWindows);
    return 0;
}
