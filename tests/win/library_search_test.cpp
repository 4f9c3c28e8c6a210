// Libraries are never looked for in the current directory: a library planted there (a download
// folder, a shortcut's start folder, wherever a file dialog once browsed to) is not loaded, by the
// panel's Wintab loader nor by any search after the start-up restriction.
//
// Under Wine a bare "WinTab32.dll" always resolves to Wine's own file in the system folder, so a
// planted library of that name would never be reached whatever the panel does. The tests plant
// a library under a name of their own instead: its search then goes on past the system folders
// to the current directory, as the search for WinTab32.dll does on a Windows machine without a
// tablet driver.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/handles.h"
#include "platform/wintab.h"
#include "processes.h"

namespace {

using testsupport::layoutDir;

constexpr wchar_t kPlanted[] = L"scribo_planted.dll";

std::wstring fullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2];
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(full) : path;
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class PlantedLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = folder_.file(L"downloads");
        ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
        const std::wstring built = fullPath(layoutDir() + L"\\..\\testdlls\\" + kPlanted);
        ASSERT_TRUE(CopyFileW(built.c_str(), (dir_ + L"\\" + kPlanted).c_str(), FALSE))
            << "not built: " << built.c_str();
        ASSERT_FALSE(exists(layoutDir() + L"\\" + kPlanted))
            << "the library must not lie beside the program";
    }
    bool marked() const { return exists(dir_ + L"\\" + kPlanted + L".loaded"); }
    void clearMark() const { DeleteFileW((dir_ + L"\\" + kPlanted + L".loaded").c_str()); }

    // The probe's exit code, run with the planted folder as its current directory.
    long probe(const std::wstring& arguments) const {
        std::wstring cmd = L"\"" + layoutDir() + L"\\library_probe.exe\" " + arguments;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.c_str(),
                            &si, &pi))
            return -1;
        platform::UniqueHandle process(pi.hProcess), thread(pi.hThread);
        if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        return static_cast<long>(code);
    }

    testsupport::TestFolder folder_;
    std::wstring dir_;
};

TEST_F(PlantedLibrary, IsNotLoadedAfterTheStartUpRestriction) {
    EXPECT_EQ(probe(kPlanted), 0);
    EXPECT_FALSE(marked());
    // Without the restriction the same search does reach the current directory here, so the
    // outcome above is the restriction's.
    EXPECT_EQ(probe(std::wstring(kPlanted) + L" --unrestricted"), 1);
    EXPECT_TRUE(marked());
}

// In this test program, whose own search is not restricted, the Wintab loader still looks only
// in the system folder and the program's folder.
TEST_F(PlantedLibrary, IsNotLoadedByTheWintabLoader) {
    wchar_t before[MAX_PATH * 2] = {};
    GetCurrentDirectoryW(MAX_PATH * 2, before);
    ASSERT_TRUE(SetCurrentDirectoryW(dir_.c_str()));
    HWND window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    platform::WintabLibrary library{kPlanted};
    const bool opened = library.openPressureContext(window);
    SetCurrentDirectoryW(before);
    DestroyWindow(window);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(marked()) << "the planted library was loaded";
    EXPECT_EQ(GetModuleHandleW(kPlanted), nullptr);
}

}  // namespace
