// Temporary folders and small file helpers for the Windows tests.
#pragma once

#include <windows.h>

#include <string>

#include "platform/wide.h"

namespace platform {

// A fresh folder under the temporary directory, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        static unsigned counter = 0;
        path_ = toU16(base) + u"scribo-win-" + toU16(std::to_wstring(GetCurrentProcessId())) +
                u"-" + toU16(std::to_wstring(++counter));
        CreateDirectoryW(wz(path_), nullptr);
    }
    ~TempFolder() { removeTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::u16string& path() const { return path_; }
    std::u16string file(const std::u16string& name) const { return path_ + u"\\" + name; }

    static void removeTree(const std::u16string& dir) {
        WIN32_FIND_DATAW f;
        HANDLE h = FindFirstFileW(wz(dir + u"\\*"), &f);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::u16string name = toU16(f.cFileName);
                if (name == u"." || name == u"..") continue;
                const std::u16string full = dir + u"\\" + name;
                if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeTree(full);
                else
                    DeleteFileW(wz(full));
            } while (FindNextFileW(h, &f));
            FindClose(h);
        }
        RemoveDirectoryW(wz(dir));
    }

private:
    std::u16string path_;
};

inline void writeText(const std::u16string& path, const std::string& bytes) {
    HANDLE h = CreateFileW(wz(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (h != INVALID_HANDLE_VALUE) {
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
    }
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string readText(const std::u16string& path) {
    HANDLE h = CreateFileW(wz(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string out;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
    CloseHandle(h);
    return out;
}

inline bool fileExists(const std::u16string& path) {
    return GetFileAttributesW(wz(path)) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace platform
