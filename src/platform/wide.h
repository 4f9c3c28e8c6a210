// Views between the portable UTF-16 texts (char16_t) and the Windows API's wchar_t.
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t is UTF-16 on Windows");

namespace platform {

inline const wchar_t* wz(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}
inline const wchar_t* wz(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline std::wstring toWide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string toU16(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }

}  // namespace platform
