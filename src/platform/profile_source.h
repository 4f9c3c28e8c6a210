// Language and common files read with the system's profile functions.
#pragma once

#include "config/language.h"

namespace platform {

class Win32ProfileSource : public scribo::ProfileSource {
public:
    std::u16string readString(std::u16string_view file, std::u16string_view section,
                              std::u16string_view key, std::u16string_view fallback) override;
    int readInt(std::u16string_view file, std::u16string_view section, std::u16string_view key,
                int fallback) override;
};

// True when the file is there; a path beyond MAX_PATH is checked in its extended-length form.
bool fileExists(const std::u16string& path);

// Directory of the running executable, without a trailing backslash.
std::u16string programDirectory();

}  // namespace platform
