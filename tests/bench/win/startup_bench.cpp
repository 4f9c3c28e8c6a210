// Measures, over several runs, the time from process start to the end of initialisation (the
// window exists and is collapsed) and from WM_PANEL_SHOW to the window shown and painted, for
// the panel and for a minimal dialog program. Run with the service stand-in running.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "processes.h"

using Clock = std::chrono::steady_clock;

static double ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

static bool collapsed(HWND w) {
    RECT r{};
    return w != nullptr && GetWindowRect(w, &r) && r.right == r.left;
}

static bool shownAndPainted(HWND w) {
    RECT r{};
    if (!IsWindowVisible(w) || !GetWindowRect(w, &r) || r.right == r.left) return false;
    // A sent message is handled before any paint; an empty update region means painted.
    SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 2000, nullptr);
    return GetUpdateRect(w, nullptr, FALSE) == FALSE;
}

struct Result {
    double start, show;
};

static Result measure(const std::wstring& exe, const wchar_t* title) {
    testsupport::Process p;
    const auto t0 = Clock::now();
    p.start(L"\"" + testsupport::layoutDir() + L"\\" + exe + L"\"");
    HWND w = nullptr;
    testsupport::waitFor([&] { return collapsed(w = FindWindowW(L"#32770", title)); }, 20000);
    const auto t1 = Clock::now();
    Sleep(300);
    const auto t2 = Clock::now();
    PostMessageW(w, scribo::WM_PANEL_SHOW, 0, 0);
    testsupport::waitFor([&] { return shownAndPainted(w); }, 20000);
    const auto t3 = Clock::now();
    SendMessageTimeoutW(w, scribo::WM_PANEL_EXIT, 0, 0, SMTO_NORMAL, 5000, nullptr);
    p.wait(5000);
    return {ms(t0, t1), ms(t2, t3)};
}

static double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const struct {
        const wchar_t* exe;
        const wchar_t* title;
        const char* name;
    } programs[] = {{L"Scribo.exe", L"QM53", "panel"}, {L"MinimalDialog.exe", L"MinimalDialog", "minimal dialog"}};
    for (const auto& prog : programs) {
        std::vector<double> start, show;
        for (int i = 0; i < runs; ++i) {
            const Result r = measure(prog.exe, prog.title);
            start.push_back(r.start);
            show.push_back(r.show);
        }
        std::printf("%-15s start to initialised: median %.1f ms; show to painted: median %.1f ms (%d runs)\n",
                    prog.name, median(start), median(show), runs);
    }
    return 0;
}
