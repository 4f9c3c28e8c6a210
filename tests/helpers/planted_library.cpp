// A library that leaves a mark when a process loads it: an empty file "<its own path>.loaded".
// The library-search tests plant it where the panel must never look for a library.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(self, path, MAX_PATH * 4 - 8);
    if (n == 0 || n >= MAX_PATH * 4 - 8) return TRUE;
    lstrcatW(path, L".loaded");
    HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    return TRUE;
}
