// The panel's file dialogs, driven as a user drives them: whatever folder the user browses to,
// the process's current directory stays where it was (a library search or a relative path would
// otherwise pick up the folder of a removable drive or a download).
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "config/win/config_transfer.h"
#include "keys/win/program_select_dialog.h"
#include "platform/file_dialog.h"
#include "platform/wide.h"
#include "win_test_files.h"

namespace {

// The file name box of the system's open and save dialogs.
constexpr int kFileNameBox = 0x47C;

// What the "user" does: browse to the folder first (its path typed, OK), then pick the file there.
// A dialog that does not get there is cancelled after a few seconds, so the test fails instead
// of hanging.
std::wstring g_folder, g_name;
int g_step = 0;
int g_ticks = 0;

std::wstring folderShown(HWND dialog) {
    wchar_t path[MAX_PATH * 2] = {};
    SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH * 2, reinterpret_cast<LPARAM>(path));
    return path;
}

void CALLBACK answer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM out) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(h, cls, 16);
            if (!IsWindowVisible(h) || std::wstring(cls) != L"#32770" ||
                !GetDlgItem(h, kFileNameBox))
                return TRUE;
            *reinterpret_cast<HWND*>(out) = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    if (++g_ticks > 100) {
        KillTimer(nullptr, timer);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    // Each step once the dialog shows its folder, as a user waits for it.
    if (FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr) == nullptr) return;
    if (g_step == 1 && _wcsicmp(folderShown(dialog).c_str(), g_folder.c_str()) != 0) return;
    SetDlgItemTextW(dialog, kFileNameBox, (g_step++ == 0 ? g_folder : g_name).c_str());
    if (g_step == 2) KillTimer(nullptr, timer);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

std::wstring currentDirectory() {
    wchar_t dir[MAX_PATH * 2] = {};
    GetCurrentDirectoryW(MAX_PATH * 2, dir);
    return dir;
}

TEST(FileDialogs, LeaveTheCurrentDirectoryWhereItWas) {
    platform::TempFolder folder;
    const std::u16string elsewhere = folder.file(u"removable drive");
    ASSERT_TRUE(CreateDirectoryW(platform::wz(elsewhere), nullptr));
    for (const char16_t* name : {u"tool.exe", u"saved.scfg"}) {
        HANDLE f = CreateFileW(platform::wz(elsewhere + u"\\" + name), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        CloseHandle(f);
    }
    scribo::win::CommonFileDialogs configDialogs;
    struct Case {
        const char* what;
        const wchar_t* file;
        std::function<std::optional<std::u16string>()> show;
    } cases[] = {
        {"program selection and the key pages' Run Program", L"tool.exe",
         [] { return scribo::win::browseForProgram(nullptr, L"*.exe\0*.exe\0\0"); }},
        {"configuration import", L"saved.scfg",
         [&] { return configDialogs.chooseImportSource(nullptr); }},
        {"configuration export", L"ScriboConfig_20270105.scfg",
         [&] { return configDialogs.chooseExportTarget(nullptr, u"ScriboConfig_20270105"); }},
    };
    const std::wstring before = currentDirectory();
    g_folder = platform::toWide(elsewhere);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_name = c.file;
        g_step = 0;
        g_ticks = 0;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, answer);
        const std::optional<std::u16string> chosen = c.show();
        KillTimer(nullptr, timer);
        ASSERT_EQ(g_step, 2) << "the dialog did not come up, or did not browse";
        ASSERT_TRUE(chosen);
        EXPECT_EQ(platform::toWide(*chosen), g_folder + L"\\" + c.file);
        EXPECT_EQ(currentDirectory(), before);
        SetCurrentDirectoryW(before.c_str());
    }
}

}  // namespace
