#include "platform/profile_source.h"

#include <windows.h>

#include <cwchar>
#include <optional>
#include <vector>

#include "config/ini_text.h"
#include "platform/handles.h"
#include "platform/wide.h"

namespace platform {

namespace {

// The profile functions stop at MAX_PATH. A longer path is read directly (extended-length form)
// with the same lookup rules, so a deep program directory still finds its texts.
bool beyondProfileLimit(std::u16string_view file) { return file.size() >= MAX_PATH; }

std::wstring extendedPath(std::u16string_view file) {
    std::wstring path = toWide(file);
    if (beyondProfileLimit(file) && path.size() > 2 && path[1] == L':') path = L"\\\\?\\" + path;
    return path;
}

std::optional<std::u16string> readLongPathValue(std::u16string_view file,
                                                std::u16string_view section,
                                                std::u16string_view key) {
    const std::wstring path = extendedPath(file);
    UniqueHandle h(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h.get(), &size) || size.QuadPart > 16 * 1024 * 1024) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return std::nullopt;
    bytes.resize(read);
    return scribo::findIniValue(scribo::decodeTextFile(bytes), section, key);
}

}  // namespace

std::u16string Win32ProfileSource::readString(std::u16string_view file, std::u16string_view section,
                                              std::u16string_view key,
                                              std::u16string_view fallback) {
    if (beyondProfileLimit(file))
        return scribo::cutToLookup(
            readLongPathValue(file, section, key).value_or(std::u16string(fallback)));
    // The shared lookup convention: a 255-unit buffer cleared first, the result copied out.
    wchar_t buffer[scribo::kLookupUnits] = {};
    GetPrivateProfileStringW(toWide(section).c_str(), toWide(key).c_str(), toWide(fallback).c_str(),
                             buffer, scribo::kLookupUnits, toWide(file).c_str());
    buffer[scribo::kLookupUnits - 1] = L'\0';
    return toU16(buffer);
}

int Win32ProfileSource::readInt(std::u16string_view file, std::u16string_view section,
                                std::u16string_view key, int fallback) {
    if (beyondProfileLimit(file)) {
        const auto v = readLongPathValue(file, section, key);
        return v && !v->empty() ? static_cast<int>(wcstol(
                                      reinterpret_cast<const wchar_t*>(v->c_str()), nullptr, 10))
                                : fallback;
    }
    return static_cast<int>(GetPrivateProfileIntW(toWide(section).c_str(), toWide(key).c_str(),
                                                  fallback, toWide(file).c_str()));
}

bool fileExists(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(extendedPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::u16string programDirectory() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return u".";
        if (n < path.size()) {
            std::wstring full(path.data(), n);
            const auto slash = full.find_last_of(L"\\/");
            return toU16(slash == std::wstring::npos ? L"." : full.substr(0, slash));
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace platform
