#include "platform/library_search.h"

namespace platform {

namespace {

constexpr DWORD kInstalledFolders =
    LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR;

std::wstring folderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring programFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    return n > 0 && n < std::size(path) ? folderOf(path) : std::wstring();
}

std::wstring systemFolder() {
    wchar_t path[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path) : std::wstring();
}

}  // namespace

void restrictLibrarySearch() {
    // Looked up rather than imported: a Windows 7 without its loader update lacks it, and the
    // program must still start there.
    using SetDefaultDirsFn = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
        if (auto setDefault = reinterpret_cast<SetDefaultDirsFn>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories"))))
            setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    }
    SetDllDirectoryW(L"");  // also takes the current directory out of the classic search order
}

HMODULE loadInstalledLibrary(const std::wstring& name) {
    if (HMODULE module = LoadLibraryExW(name.c_str(), nullptr, kInstalledFolders)) return module;
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    // A loader without the search flags: the same two folders, named in full.
    if (!folderOf(name).empty())
        return LoadLibraryExW(name.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    for (const std::wstring& folder : {programFolder(), systemFolder()}) {
        if (folder.empty()) continue;
        const std::wstring full = folder + L"\\" + name;
        if (HMODULE module = LoadLibraryExW(full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH))
            return module;
    }
    return nullptr;
}

}  // namespace platform
