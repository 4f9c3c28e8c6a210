// The shipped language files read as the panel's profile reader reads them: UTF-8, sections and
// keys compared ignoring case. Shared by the tests of the files' keys and of their mnemonics.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "config/language.h"

namespace scribo::testing_ini {

inline const std::string kLanguageDir = SCRIBO_SOURCE_DIR "/resources/language/";

inline std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

inline std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// Number of UTF-16 code units of a UTF-8 text, or -1 when it is not valid UTF-8.
inline long utf16Units(const std::string& s) {
    long units = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c < 0x80         ? 1
                                : (c >> 5) == 6  ? 2
                                : (c >> 4) == 14 ? 3
                                : (c >> 3) == 30 ? 4
                                                 : 0;
        if (len == 0 || i + len > s.size()) return -1;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return -1;
        units += len == 4 ? 2 : 1;
        i += len;
    }
    return units;
}

// Section (lower case) -> key (lower case) -> value, as the profile reader would return it.
using IniData = std::map<std::string, std::map<std::string, std::string>>;

inline bool readFile(const std::string& path, std::string& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    std::stringstream ss;
    ss << f.rdbuf();
    out = ss.str();
    return true;
}

// Parses one UTF-8 INI file and reports every line the build or the reader would mishandle.
inline IniData parseIni(const std::string& name) {
    IniData data;
    std::string text;
    if (!readFile(kLanguageDir + name, text)) {
        ADD_FAILURE() << name << ": cannot be read";
        return data;
    }
    EXPECT_NE(text.rfind("\xEF\xBB\xBF", 0), 0u) << name << ": must be UTF-8 without BOM";
    EXPECT_GE(utf16Units(text), 0) << name << ": not valid UTF-8";
    std::istringstream in(text);
    std::string line, section;
    for (int n = 1; std::getline(in, line); ++n) {
        const std::string s = trim(line);
        if (s.empty() || s[0] == ';') continue;
        if (s[0] == '[') {
            EXPECT_EQ(s.back(), ']') << name << " line " << n;
            section = lower(s.substr(1, s.size() - 2));
            EXPECT_EQ(data.count(section), 0u) << name << ": section repeated, line " << n;
            data[section];
            continue;
        }
        const auto eq = s.find('=');
        if (section.empty() || eq == std::string::npos || eq == 0) {
            ADD_FAILURE() << name << " line " << n << ": not a key in a section: " << s;
            continue;
        }
        const std::string key = lower(trim(s.substr(0, eq)));
        std::string value = trim(s.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        // The reader returns only the first of two equal keys; the second would be dead text.
        EXPECT_TRUE(data[section].emplace(key, value).second)
            << name << ": key repeated, line " << n << ": " << key;
    }
    return data;
}

// Every language the chooser can pick, other than English: each one must be shipped.
inline std::vector<std::string> translatedFiles() {
    std::set<std::u16string> names;
    for (unsigned id = 0; id <= 0xFFFF; ++id) names.insert(languageNameFor(uint16_t(id)));
    names.erase(u"English");
    std::vector<std::string> files;
    for (const auto& n : names) files.push_back(std::string(n.begin(), n.end()) + ".ini");
    return files;
}

}  // namespace scribo::testing_ini
