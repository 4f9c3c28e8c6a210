// The shipped language files: a missing or misplaced key shows the raw key name in the panel, so
// every language file must carry every key, in the section its area word names, with a value the
// lookup can return whole.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "config/block_access.h"
#include "config/language.h"
#include "device_profile.h"

namespace scribo {
namespace {

const std::string kLanguageDir = SCRIBO_SOURCE_DIR "/resources/language/";

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// Number of UTF-16 code units of a UTF-8 text, or -1 when it is not valid UTF-8.
long utf16Units(const std::string& s) {
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

bool readFile(const std::string& path, std::string& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    std::stringstream ss;
    ss << f.rdbuf();
    out = ss.str();
    return true;
}

// Parses one UTF-8 INI file and reports every line the build or the reader would mishandle.
IniData parseIni(const std::string& name) {
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

std::string sectionOfArea(const std::string& key) {
    const std::string area = key.substr(0, key.find('.'));
    if (area == "main") return "dialog_main";
    if (area == "quickset") return "dialog_quickset";
    if (area == "userset") return "dialog_userset";
    if (area == "displaysetting") return "dialog_displaysetting";
    if (area == "menu") return "menu";
    return "";
}

std::string formatted(const char* pattern, int n) {
    char buf[64];
    std::snprintf(buf, sizeof buf, pattern, n);
    return lower(buf);
}

// Express-key function codes the demo devices use; the panel forms a key from each.
std::set<int> demoFunctionCodes() {
    std::string text;
    EXPECT_TRUE(readFile(SCRIBO_SOURCE_DIR "/tools/service-sim/demo.profile", text));
    std::set<int> codes;
    const sim::DeviceProfile p = sim::parseProfile(text);
    for (const auto& d : p.devices)
        for (int i = 0; i < d->keyCount && i < kMaxKeys; ++i) codes.insert(d->keyDefaultFunc[i]);
    return codes;
}

TEST(LanguageFiles, EnglishHasEveryFormedKeyInItsSectionWithAUsableValue) {
    const IniData en = parseIni("English.ini");
    std::set<std::string> formed;
    for (int n = 1; n <= 6; ++n) formed.insert(formatted("Main.PenSetting.%d", n));
    for (int n = 1; n <= 4; ++n) formed.insert(formatted("Main.CutScreenInfo%d", n));
    for (int n = 0; n <= 14; ++n) formed.insert(formatted("UserSet.Index.%02d", n));
    for (int n = 1; n <= 32; ++n) formed.insert(formatted("QuickSet.BtnSetListItem.%d", n));
    for (int n : demoFunctionCodes()) formed.insert(formatted("QuickSet.BtnSetListItem.%d", n));
    for (int n = 1; n <= 3; ++n) {
        formed.insert(formatted("QuickSet.WheelItem.%d", n));
        formed.insert(formatted("QuickSet.TrackPad.%d", n));
    }
    for (const auto& key : formed)
        EXPECT_EQ(en.count(sectionOfArea(key)) ? en.at(sectionOfArea(key)).count(key) : 0u, 1u)
            << "English.ini lacks " << key;

    for (const auto& [section, keys] : en)
        for (const auto& [key, value] : keys) {
            EXPECT_EQ(sectionOfArea(key), section) << key << " is in the wrong section";
            const long units = utf16Units(value);
            EXPECT_TRUE(units > 0 && units <= long(kLookupMaxText))
                << key << ": empty or longer than a lookup returns";
            EXPECT_EQ(value.find('&'), std::string::npos) << key << ": '&' would underline";
        }
}

TEST(LanguageFiles, EveryLanguageHasExactlyTheKeysOfEnglish) {
    const IniData en = parseIni("English.ini");
    int checked = 0;
    for (const uint16_t id : {0x0804, 0x0404, 0x0407, 0x040C, 0x0411, 0x0412, 0x0419, 0x040A,
                              0x0410, 0x041E, 0x0416, 0x042A, 0x0415}) {
        const std::u16string name16 = languageNameFor(id);
        const std::string name = std::string(name16.begin(), name16.end()) + ".ini";
        if (!std::ifstream(kLanguageDir + name)) {
            EXPECT_NE(name, "German.ini") << "German.ini is shipped";
            continue;
        }
        ++checked;
        const IniData other = parseIni(name);
        for (const auto& [section, keys] : en)
            for (const auto& [key, value] : keys) {
                const auto s = other.find(section);
                const bool has = s != other.end() && s->second.count(key);
                EXPECT_TRUE(has) << name << " lacks " << key;
                if (!has) continue;
                const long units = utf16Units(s->second.at(key));
                EXPECT_TRUE(units > 0 && units <= long(kLookupMaxText)) << name << ": " << key;
                // A trailing space is there on purpose (a number follows); keep it everywhere.
                EXPECT_EQ(value.back() == ' ', s->second.at(key).back() == ' ')
                    << name << ": " << key;
            }
        for (const auto& [section, keys] : other)
            for (const auto& [key, value] : keys)
                EXPECT_TRUE(en.count(section) && en.at(section).count(key))
                    << name << " has " << key << ", which English.ini lacks";
    }
    EXPECT_GE(checked, 1);
}

TEST(LanguageFiles, CommonFileNamesEveryDemoDeviceAndTheLogo) {
    const IniData common = parseIni("common.ini");
    ASSERT_TRUE(common.count("common"));
    const auto& c = common.at("common");
    EXPECT_TRUE(c.count("copyright") && !c.at("copyright").empty());
    // The reader takes the leading digits; anything else would leave the logo blank (0).
    ASSERT_TRUE(c.count("logoid"));
    EXPECT_GT(std::atoi(c.at("logoid").c_str()), 0);

    std::string text;
    ASSERT_TRUE(readFile(SCRIBO_SOURCE_DIR "/tools/service-sim/demo.profile", text));
    const sim::DeviceProfile p = sim::parseProfile(text);
    ASSERT_FALSE(p.devices.empty());
    ASSERT_TRUE(common.count("table_map"));
    for (const auto& d : p.devices) {
        const std::u16string id16 = readField(d->deviceId);
        const std::string id = lower(std::string(id16.begin(), id16.end()));
        EXPECT_TRUE(common.at("table_map").count(id)) << "common.ini has no name for " << id;
    }
}

}  // namespace
}  // namespace scribo
