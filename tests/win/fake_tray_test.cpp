// The tests' own notification area records what Shell_NotifyIconW hands the shell.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "fake_tray.h"
#include "platform/handles.h"

namespace {

using testsupport::FakeTray;

// Every top-level "Shell_TrayWnd" with the process that owns it.
std::vector<std::pair<HWND, DWORD>> trayWindows() {
    std::vector<std::pair<HWND, DWORD>> found;
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            wchar_t cls[32] = {};
            GetClassNameW(h, cls, 32);
            if (lstrcmpW(cls, L"Shell_TrayWnd") == 0) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                reinterpret_cast<std::vector<std::pair<HWND, DWORD>>*>(p)->push_back({h, pid});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

class FakeTrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner_.reset(CreateWindowExW(0, L"STATIC", L"icon owner", WS_POPUP, 0, 0, 0, 0, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(owner_);
    }
    BOOL notify(DWORD action, UINT flags, const wchar_t* tip, HICON icon = nullptr) {
        NOTIFYICONDATAW nid{};
        nid.cbSize = sizeof nid;
        nid.hWnd = owner_.get();
        nid.uID = 7;
        nid.uFlags = flags;
        nid.uCallbackMessage = WM_APP + 5;
        nid.hIcon = icon;
        if (tip != nullptr) lstrcpynW(nid.szTip, tip, ARRAYSIZE(nid.szTip));
        return Shell_NotifyIconW(action, &nid);
    }
    platform::UniqueWindow owner_;
};

TEST_F(FakeTrayTest, IsTheTrayShellNotifyIconFindsEvenBesideTheDesktopsOwn) {
    FakeTray tray;
    ASSERT_NE(tray.window(), nullptr);
    EXPECT_TRUE(tray.winsFindWindow());
    // For the record: whether the desktop's explorer keeps a tray of its own in this prefix.
    for (const auto& [window, pid] : trayWindows())
        if (window != tray.window())
            std::printf("another Shell_TrayWnd %p of process %lu\n", static_cast<void*>(window),
                        static_cast<unsigned long>(pid));
}

TEST_F(FakeTrayTest, RecordsAddModifyAndDeleteWithTheirFields) {
    FakeTray tray;
    ASSERT_TRUE(tray.winsFindWindow());
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);  // shared: not destroyed
    ASSERT_TRUE(notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, L"Scribo \u00e9", icon));
    ASSERT_TRUE(notify(NIM_MODIFY, NIF_TIP, L"second tip"));
    ASSERT_TRUE(notify(NIM_MODIFY, NIF_ICON, nullptr, icon));
    ASSERT_TRUE(notify(NIM_DELETE, 0, nullptr));

    const auto calls = tray.calls();
    ASSERT_EQ(calls.size(), 4u);
    const struct {
        DWORD action;
        UINT callback;
        const wchar_t* tip;
        bool icon;
    } expected[] = {{NIM_ADD, WM_APP + 5, L"Scribo \u00e9", true},
                    {NIM_MODIFY, 0, L"second tip", false},
                    {NIM_MODIFY, 0, L"", true},
                    {NIM_DELETE, 0, L"", false}};
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(calls[i].action, expected[i].action);
        EXPECT_EQ(calls[i].owner, owner_.get());
        EXPECT_EQ(calls[i].id, 7u);
        EXPECT_EQ(calls[i].callbackMessage, expected[i].callback);
        EXPECT_EQ(calls[i].tip, expected[i].tip);
        EXPECT_EQ(calls[i].hasIcon, expected[i].icon);
    }

    // A shell that refuses: the caller sees the failure.
    tray.answer(FALSE);
    EXPECT_FALSE(notify(NIM_ADD, NIF_TIP, L"refused"));
    EXPECT_EQ(tray.calls().size(), 5u);
}

TEST_F(FakeTrayTest, GoesAwayWithItsOwnerAndRefusesShortData) {
    HWND gone = nullptr;
    {
        FakeTray tray;
        gone = tray.window();
    }
    EXPECT_FALSE(IsWindow(gone));
    // Short or missing data is no call.
    FakeTray::Call call;
    const char few[16] = {};
    EXPECT_FALSE(FakeTray::parse(NIM_ADD, few, sizeof few, call));
    EXPECT_FALSE(FakeTray::parse(NIM_ADD, nullptr, 2000, call));
}

}  // namespace
