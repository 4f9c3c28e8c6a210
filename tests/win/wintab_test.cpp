// The panel's Wintab loader over the WinTab32.dll stand-in (built into standins/, loaded by path;
// Wine loads it instead of its built-in wintab32 because of WINEDLLOVERRIDES="wintab32=n,b").
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/wintab.h"
#include "processes.h"
#include "wintab_sim_control.h"

namespace {

using wintab::PressurePacket;

std::wstring standin(const std::wstring& relative) {
    const std::wstring raw = testsupport::layoutDir() + L"\\..\\standins\\" + relative;
    wchar_t full[MAX_PATH * 2];
    const DWORD n = GetFullPathNameW(raw.c_str(), MAX_PATH * 2, full, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(full) : raw;
}

std::string readFile(const std::wstring& path) {
    std::string text;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return text;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(f, buf, sizeof buf, &n, nullptr) && n > 0) text.append(buf, n);
    CloseHandle(f);
    return text;
}

double threadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto seconds = [](const FILETIME& f) {
        return double((ULONGLONG{f.dwHighDateTime} << 32) | f.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

void setEnv(const wchar_t* name, const wchar_t* value) { SetEnvironmentVariableW(name, value); }

// Empty when loading `path` gives that very file; otherwise what was loaded instead. Wine puts its
// built-in wintab32 in place of a native file of the same name unless WINEDLLOVERRIDES says
// "wintab32=n" (tools/wine-env adds it to whatever the shell has).
std::string loadedInsteadOf(const std::wstring& path) {
    HMODULE m = LoadLibraryW(path.c_str());
    if (m == nullptr) return "nothing (error " + std::to_string(GetLastError()) + ")";
    wchar_t loaded[MAX_PATH * 2] = {};
    GetModuleFileNameW(m, loaded, MAX_PATH * 2);
    // The stand-in names its system context after itself.
    wintab::LOGCONTEXTA lc{};
    auto info =
        reinterpret_cast<wintab::WTInfoAFn>(reinterpret_cast<void*>(GetProcAddress(m, "WTInfoA")));
    const bool standIn = lstrcmpiW(loaded, path.c_str()) == 0 && info != nullptr &&
                         info(wintab::WTI_DEFSYSCTX, 0, &lc) == sizeof lc &&
                         std::string(lc.lcName) == "Scribo stand-in system context";
    FreeLibrary(m);
    if (standIn) return {};
    char text[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_UTF8, 0, loaded, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

// A window that fetches every packet it is told about, as the panel does, and times each fetch.
class PacketWindow {
public:
    explicit PacketWindow(platform::WintabLibrary& lib) : lib_(lib) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &PacketWindow::proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ScriboWintabTestWindow";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"wintab test", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                100, nullptr, nullptr, wc.hInstance, this);
        QueryPerformanceFrequency(&freq_);
    }
    ~PacketWindow() { DestroyWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }

    // Dispatches messages until `done` holds or `ms` have passed.
    template <typename Done>
    bool pumpUntil(Done done, DWORD ms) {
        const ULONGLONG end = GetTickCount64() + ms;
        while (!done()) {
            const ULONGLONG t = GetTickCount64();
            if (t >= end) return false;
            const DWORD left = static_cast<DWORD>(end - t);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 10 ? left : 10, QS_ALLINPUT);
            MSG m;  // the deadline holds even when messages come faster than they are handled
            while (GetTickCount64() < end && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&m);
        }
        return true;
    }
    void pumpFor(DWORD ms) {
        pumpUntil([] { return false; }, ms);
    }

    std::vector<PressurePacket> packets;
    std::vector<UINT> serials;
    int messages = 0;
    int failedFetches = 0;
    int foreignContext = 0;
    double fetchSeconds = 0;
    double slowestFetch = 0;

private:
    static LRESULT CALLBACK proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrW(
                h, GWLP_USERDATA,
                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        auto* self = reinterpret_cast<PacketWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (self != nullptr && msg == scribo::WM_TABLET_PACKET) return self->onPacket(wp, lp);
        return DefWindowProcW(h, msg, wp, lp);
    }

    LRESULT onPacket(WPARAM wp, LPARAM lp) {
        ++messages;
        if (reinterpret_cast<wintab::HCTX>(lp) != lib_.context()) ++foreignContext;
        PressurePacket p{};
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        const bool ok = lib_.fetchPacket(static_cast<UINT>(wp), p);
        QueryPerformanceCounter(&b);
        const double s = double(b.QuadPart - a.QuadPart) / double(freq_.QuadPart);
        fetchSeconds += s;
        if (s > slowestFetch) slowestFetch = s;
        if (!ok) {
            ++failedFetches;
            return 0;
        }
        packets.push_back(p);
        serials.push_back(static_cast<UINT>(wp));
        return 1;
    }

    platform::WintabLibrary& lib_;
    HWND hwnd_ = nullptr;
    LARGE_INTEGER freq_{};
};

class Wintab : public ::testing::Test {
protected:
    void SetUp() override {
        control_ = wintabsim::openControl(GetCurrentProcessId(), mapping_);
        ASSERT_NE(control_, nullptr);
        setEnv(L"SCRIBO_WINTAB_RATE", L"200");
        setEnv(L"SCRIBO_WINTAB_STROKE", L"40");
        setEnv(L"SCRIBO_WINTAB_SCRIPT", nullptr);
        setEnv(L"SCRIBO_WINTAB_MAX", nullptr);
        setEnv(L"SCRIBO_WINTAB_LOG", nullptr);
        const std::string instead = loadedInsteadOf(standin(L"WinTab32.dll"));
        ASSERT_EQ(instead, "")
            << "the WinTab32.dll stand-in did not load; Wine loaded this instead "
               "(WINEDLLOVERRIDES needs wintab32=n): "
            << instead;
    }
    void TearDown() override {
        lib_.close();
        EXPECT_EQ(GetModuleHandleW(standin(L"WinTab32.dll").c_str()), nullptr)
            << "stand-in left loaded";
        EXPECT_EQ(control_->openContexts, 0);
        UnmapViewOfFile(control_);
        CloseHandle(mapping_);
    }
    wintabsim::ControlBlock& control() { return *control_; }

    platform::WintabLibrary lib_{standin(L"WinTab32.dll")};

private:
    HANDLE mapping_ = nullptr;
    wintabsim::ControlBlock* control_ = nullptr;
};

TEST_F(Wintab, OpensThePressureContextAndFetchesARisingStroke) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log =
        std::wstring(temp) + L"scribo-wintab-" + std::to_wstring(GetCurrentProcessId()) + L".log";
    DeleteFileW(log.c_str());
    setEnv(L"SCRIBO_WINTAB_LOG", log.c_str());
    PacketWindow w(lib_);
    ASSERT_TRUE(lib_.openPressureContext(w.hwnd()));
    EXPECT_TRUE(lib_.isOpen());
    EXPECT_EQ(lib_.maxPressure(), 8191u);
    EXPECT_EQ(lib_.packetMessage(), scribo::WM_TABLET_PACKET);
    EXPECT_EQ(control().openContexts, 1);

    ASSERT_TRUE(w.pumpUntil([&] { return w.packets.size() >= 30; }, 5000)) << w.packets.size();
    EXPECT_EQ(w.failedFetches, 0);
    EXPECT_EQ(w.foreignContext, 0);
    // One stroke of 40 packets: 0, rising to the maximum at the 21st, falling back.
    EXPECT_EQ(w.packets[0].normalPressure, 0u);
    for (int i = 1; i <= 20; ++i)
        EXPECT_GT(w.packets[i].normalPressure, w.packets[i - 1].normalPressure);
    EXPECT_EQ(w.packets[20].normalPressure, 8191u);
    for (int i = 21; i < 30; ++i)
        EXPECT_LT(w.packets[i].normalPressure, w.packets[i - 1].normalPressure);
    for (size_t i = 1; i < w.serials.size(); ++i) EXPECT_EQ(w.serials[i], w.serials[i - 1] + 1);
    EXPECT_EQ(w.packets[0].buttons, 0u);
    EXPECT_EQ(w.packets[10].buttons, 1u);
    for (const PressurePacket& p : w.packets) {  // the panel's output extent
        EXPECT_GE(p.x, 0);
        EXPECT_LT(p.x, 50000);
        EXPECT_EQ(p.y, 15000);
    }

    // A packet can be fetched once; serials never posted are not there.
    PressurePacket p{};
    EXPECT_FALSE(lib_.fetchPacket(w.serials.back(), p));
    EXPECT_FALSE(lib_.fetchPacket(0, p));
    EXPECT_FALSE(lib_.fetchPacket(0xFFFFFFFFu, p));

    lib_.close();
    EXPECT_FALSE(lib_.isOpen());
    EXPECT_FALSE(lib_.fetchPacket(w.serials.back() + 1, p));
    const std::string text = readFile(log);
    EXPECT_NE(text.find("name=ScriboPress options=0x5 pktData=0x5C0 msgBase=0x7FF0"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("close ctx="), std::string::npos);
    setEnv(L"SCRIBO_WINTAB_LOG", nullptr);
    DeleteFileW(log.c_str());
}

TEST_F(Wintab, OpeningAgainClosesTheFirstContext) {
    PacketWindow w(lib_);
    const LONG opens = control().opens, closes = control().closes;
    ASSERT_TRUE(lib_.openPressureContext(w.hwnd()));
    ASSERT_TRUE(lib_.openPressureContext(w.hwnd()));
    EXPECT_EQ(control().openContexts, 1);
    EXPECT_EQ(control().opens, opens + 2);
    EXPECT_EQ(control().closes, closes + 1);
    EXPECT_TRUE(w.pumpUntil([&] { return w.packets.size() >= 3; }, 3000));
    EXPECT_EQ(w.foreignContext, 0);
    lib_.close();
    lib_.close();  // twice is harmless
    EXPECT_EQ(control().openContexts, 0);
    EXPECT_EQ(control().closes, closes + 2);
}

TEST_F(Wintab, RunTimeCommandsSetAFixedPressureAndStopThePackets) {
    PacketWindow w(lib_);
    setEnv(L"SCRIBO_WINTAB_MAX", L"4095");
    ASSERT_TRUE(lib_.openPressureContext(w.hwnd()));
    EXPECT_EQ(lib_.maxPressure(), 4095u);
    const LONG seq = wintabsim::sendCommand(control(), "fixed:1234");
    ASSERT_TRUE(w.pumpUntil([&] { return control().commandAck == seq; }, 3000));
    w.packets.clear();
    ASSERT_TRUE(w.pumpUntil([&] { return w.packets.size() >= 5; }, 3000));
    for (const PressurePacket& p : w.packets) EXPECT_EQ(p.normalPressure, 1234u);

    const LONG off = wintabsim::sendCommand(control(), "off");
    ASSERT_TRUE(w.pumpUntil([&] { return control().commandAck == off; }, 3000));
    w.pumpFor(50);  // packets already posted
    const LONG posted = control().packetsPosted;
    w.pumpFor(200);
    EXPECT_EQ(control().packetsPosted, posted);
}

TEST_F(Wintab, AFixedPressureFromTheEnvironmentAboveTheMaximumIsCapped) {
    PacketWindow w(lib_);
    setEnv(L"SCRIBO_WINTAB_SCRIPT", L"fixed:99999");
    ASSERT_TRUE(lib_.openPressureContext(w.hwnd()));
    ASSERT_TRUE(w.pumpUntil([&] { return !w.packets.empty(); }, 3000));
    EXPECT_EQ(w.packets[0].normalPressure, 8191u);
}

TEST_F(Wintab, AMissingFunctionFailsCleanly) {
    const std::wstring partial = standin(L"partial\\WinTab32.dll");
    platform::WintabLibrary lib(partial);
    PacketWindow w(lib);
    const LONG opens = control().opens;
    EXPECT_FALSE(lib.openPressureContext(w.hwnd()));
    EXPECT_FALSE(lib.isOpen());
    EXPECT_EQ(lib.maxPressure(), 0u);
    EXPECT_EQ(lib.packetMessage(), 0u);
    EXPECT_EQ(control().opens, opens);
    EXPECT_EQ(GetModuleHandleW(partial.c_str()), nullptr);
    PressurePacket p{};
    EXPECT_FALSE(lib.fetchPacket(1, p));
}

TEST_F(Wintab, AMissingLibraryOrABadWindowFailsCleanly) {
    platform::WintabLibrary missing(standin(L"nowhere\\WinTab32.dll"));
    EXPECT_FALSE(missing.openPressureContext(nullptr));
    EXPECT_FALSE(missing.isOpen());

    // The stand-in refuses a handle that is no window: nothing stays open or loaded.
    EXPECT_FALSE(lib_.openPressureContext(reinterpret_cast<HWND>(0x12345)));
    EXPECT_FALSE(lib_.isOpen());
    EXPECT_EQ(control().openContexts, 0);
}

// Not a timed test: prints what one fetch costs at the default rate and at a fast pen's rate.
TEST_F(Wintab, FetchCostAtTwoHundredAndOneThousandPacketsPerSecond) {
    for (const wchar_t* rate : {L"200", L"1000"}) {
        setEnv(L"SCRIBO_WINTAB_RATE", rate);
        setEnv(L"SCRIBO_WINTAB_STROKE", L"200");
        PacketWindow w(lib_);
        ASSERT_TRUE(lib_.openPressureContext(w.hwnd()));
        const LONG posted = control().packetsPosted;
        const double cpuBefore = threadCpuSeconds();
        w.pumpFor(2000);
        const double cpu = threadCpuSeconds() - cpuBefore;
        const long sent = control().packetsPosted - posted;
        lib_.close();
        ASSERT_GT(w.packets.size(), 0u);
        const double n = double(w.messages);
        std::printf(
            "[ wintab   ] %ls packets/s: %ld posted and %d handled in 2 s, %d fetched, "
            "%d gone; fetch mean %.2f us, slowest %.1f us; UI thread CPU %.1f us/packet\n",
            rate, sent, w.messages, static_cast<int>(w.packets.size()), w.failedFetches,
            w.fetchSeconds / n * 1e6, w.slowestFetch * 1e6, cpu / n * 1e6);
    }
}

}  // namespace
