// Commands of the service stand-in, parsed portably: "arrive 0x0A31", "ink 1", ...
#pragma once

#include <string>
#include <vector>

namespace scribo::sim {

// Magic dwData of the WM_COPYDATA that carries a command to the running stand-in.
inline constexpr unsigned long kCommandCopyDataId = 0x53494D43;  // 'SIMC'

// Splits a command line into words; "double quotes" keep spaces inside a word.
std::vector<std::string> splitWords(const std::string& line);

// Parses a number given in decimal or as 0x-prefixed hexadecimal; false when it is neither.
bool parseNumber(const std::string& text, long long& value);

}  // namespace scribo::sim
