#include "platform/profile_source.h"

#include <windows.h>

#include <vector>

#include "platform/wide.h"

namespace platform {

std::u16string Win32ProfileSource::readString(std::u16string_view file,
                                              std::u16string_view section,
                                              std::u16string_view key,
                                              std::u16string_view fallback) {
    // The shared lookup convention: a 255-unit buffer cleared first, the result copied out.
    wchar_t buffer[scribo::kLookupUnits] = {};
    GetPrivateProfileStringW(toWide(section).c_str(), toWide(key).c_str(),
                             toWide(fallback).c_str(), buffer, scribo::kLookupUnits,
                             toWide(file).c_str());
    buffer[scribo::kLookupUnits - 1] = L'\0';
    return toU16(buffer);
}

int Win32ProfileSource::readInt(std::u16string_view file, std::u16string_view section,
                                std::u16string_view key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntW(toWide(section).c_str(), toWide(key).c_str(),
                                                  fallback, toWide(file).c_str()));
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
