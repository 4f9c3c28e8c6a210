// A reader of INI text with the same answers as the system's profile functions: first matching
// section and key, names compared ignoring case, value trimmed. Used where those functions
// cannot open a file (paths longer than they accept).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scribo {

// Decodes a text file: UTF-16LE with BOM, UTF-8 with or without BOM.
std::u16string decodeTextFile(std::string_view bytes);

std::optional<std::u16string> findIniValue(std::u16string_view text, std::u16string_view section,
                                           std::u16string_view key);

}  // namespace scribo
