// Language files and the one lookup convention every window uses. Portable: the profile reader
// (GetPrivateProfileStringW on Windows) is reached through ProfileSource.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace scribo {

// Longest text a lookup returns: the reader's buffer holds 255 units including the NUL.
inline constexpr std::size_t kLookupUnits = 255;
inline constexpr std::size_t kLookupMaxText = kLookupUnits - 1;

// File name (without ".ini") of the language chosen for a Windows UI language id.
std::u16string languageNameFor(uint16_t languageId);

struct LanguageFiles {
    // Full paths. Held at their full length: a path cut to a fixed buffer would name another
    // file (or none), so a deep program directory still finds its language file.
    std::u16string languageFile;
    std::u16string commonFile;
};

// programDir is the directory of the running executable, without a trailing backslash.
LanguageFiles chooseLanguageFiles(uint16_t languageId, std::u16string_view programDir);

// The same, but a language whose file is not installed falls back to English.ini: a missing
// file would otherwise show every text as its bare key ("Main.ScreenMap").
using FileExists = std::function<bool(const std::u16string& path)>;
LanguageFiles chooseLanguageFiles(uint16_t languageId, std::u16string_view programDir,
                                  const FileExists& fileExists);

class ProfileSource {
public:
    virtual ~ProfileSource() = default;
    // Value of the first matching key (names compared ignoring case), or `fallback` when the
    // file, section or key is missing. Implementations may return longer texts; callers cut.
    virtual std::u16string readString(std::u16string_view file, std::u16string_view section,
                                      std::u16string_view key, std::u16string_view fallback) = 0;
    virtual int readInt(std::u16string_view file, std::u16string_view section,
                        std::u16string_view key, int fallback) = 0;
};

// The language text reader: no state beyond where to read.
class TIniFile {
public:
    TIniFile(ProfileSource& source, std::u16string languageFile)
        : source_(&source), file_(std::move(languageFile)) {}

    // Value of key in section, or `fallback`; at most 254 units.
    std::u16string readText(std::u16string_view section, std::u16string_view key,
                            std::u16string_view fallback) const;
    // The same with the key itself as the default.
    std::u16string readText(std::u16string_view section, std::u16string_view key) const {
        return readText(section, key, key);
    }

private:
    ProfileSource* source_;
    std::u16string file_;
};

// The common file: notice line, logo picture and model display names.
class CommonFile {
public:
    CommonFile(ProfileSource& source, std::u16string commonFile)
        : source_(&source), file_(std::move(commonFile)) {}

    std::u16string copyRight() const;                                     // "" when missing
    int logoId() const;                                                   // 0 when missing
    std::u16string modelDisplayName(std::u16string_view deviceId) const;  // "" when missing

private:
    ProfileSource* source_;
    std::u16string file_;
};

// Cuts a reader's result to what a 255-unit lookup buffer can return.
std::u16string cutToLookup(std::u16string text);

}  // namespace scribo
