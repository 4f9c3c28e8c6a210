// Portable rules of configuration export and import.
#pragma once

#include <ctime>
#include <string>

namespace scribo {

inline constexpr const char16_t* kExportExtension = u"scfg";
inline constexpr const char16_t* kExportFailedText = u"Export configuration failed!";
inline constexpr const char16_t* kImportFailedText = u"Failed to import configuration!";

// "ScriboConfig_%Y%m%d" of a local date, e.g. ScriboConfig_20270105; the date part is empty
// when it cannot be formatted.
std::u16string suggestedExportName(const std::tm& localTime);

}  // namespace scribo
