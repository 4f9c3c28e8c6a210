// The shipped language files: a missing or misplaced key shows the raw key name in the panel, so
// every language file must carry every key, in the section its area word names, with a value the
// lookup can return whole.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

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

// Every language the chooser can pick, other than English: each one must be shipped.
std::vector<std::string> translatedFiles() {
    std::set<std::u16string> names;
    for (unsigned id = 0; id <= 0xFFFF; ++id) names.insert(languageNameFor(uint16_t(id)));
    names.erase(u"English");
    std::vector<std::string> files;
    for (const auto& n : names) files.push_back(std::string(n.begin(), n.end()) + ".ini");
    return files;
}

// UTF-8 to code points (the files were checked to be valid UTF-8 by parseIni).
std::u32string codePoints(const std::string& s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
        char32_t cp = len == 1 ? c : c & (0x7F >> len);
        for (int k = 1; k < len && i + k < s.size(); ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
        out += cp;
        i += len;
    }
    return out;
}

// Keys whose text is the same in every language: key names printed on keyboards, the OK
// button, the web address, and words many languages borrow ("Mouse", "Ring").
bool languageNeutral(const std::string& key) {
    static const std::set<std::string> keys = {"main.ok",
                                               "main.website",
                                               "quickset.ring",
                                               "quickset.trackpad.1",
                                               "userset.mouse",
                                               "quickset.btnsetlistitem.1",
                                               "quickset.btnsetlistitem.2",
                                               "quickset.btnsetlistitem.3",
                                               "quickset.btnsetlistitem.23",
                                               "quickset.btnsetlistitem.24",
                                               "quickset.btnsetlistitem.25",
                                               "quickset.btnsetlistitem.26"};
    return keys.count(key) > 0;
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
            // A '&' underlines: only control texts may carry one (checked with the mnemonics).
        }
}

TEST(LanguageFiles, EveryLanguageHasExactlyTheKeysOfEnglish) {
    const IniData en = parseIni("English.ini");
    for (const std::string& name : translatedFiles()) {
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
}

// Windows still being written read these fixed keys; the source scan below cannot see them yet.
TEST(LanguageFiles, EnglishHasTheFixedKeysOfEveryWindow) {
    const IniData en = parseIni("English.ini");
    const char* const keys[] = {"QuickSet.Caption",
                                "QuickSet.RX20",
                                "QuickSet.Keys",
                                "QuickSet.Ring",
                                "QuickSet.Control",
                                "QuickSet.DisableQuickKey",
                                "QuickSet.DisableInfo",
                                "QuickSet.RingFuncGroup",
                                "QuickSet.TrackPadMode",
                                "QuickSet.WheelLight",
                                "QuickSet.TabletLight",
                                "QuickSet.SelectProgram",
                                "QuickSet.Runningprogram",
                                "QuickSet.OpenFile",
                                "QuickSet.ProgramPath",
                                "UserSet.HotKey",
                                "UserSet.Mouse",
                                "UserSet.Clear",
                                "UserSet.MaxString",
                                "UserSet.Other",
                                "UserSet.KeyBoardInfo",
                                "DisplaySetting.Caption",
                                "DisplaySetting.ColorTemperature",
                                "DisplaySetting.Red",
                                "DisplaySetting.Green",
                                "DisplaySetting.Blue",
                                "DisplaySetting.Brightness",
                                "DisplaySetting.Constrast",
                                "DisplaySetting.Restore",
                                "Menu.OpenDocument",
                                "Menu.Restore",
                                "Menu.Exit",
                                "Main.SetAreaInfo1",
                                "Main.SetAreaInfo3",
                                "Main.DisplaySetting",
                                "Main.NewVersionInfo"};
    for (const char* k : keys) {
        const std::string key = lower(k);
        EXPECT_TRUE(en.count(sectionOfArea(key)) && en.at(sectionOfArea(key)).count(key))
            << "English.ini lacks " << k;
    }
}

#ifndef _WIN32
// Every key spelled out in the program's sources is in English.ini (and so, by the test above,
// in every language). Keys formed from a pattern end in '.' or hold '%' and are checked above.
TEST(LanguageFiles, EveryKeyTheSourcesReadIsInEnglish) {
    const IniData en = parseIni("English.ini");
    const std::regex literal(
        R"re(u?"((Main|QuickSet|UserSet|DisplaySetting|Menu)\.[A-Za-z0-9_.]*[A-Za-z0-9_])")re");
    int found = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(SCRIBO_SOURCE_DIR "/src")) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h") continue;
        std::string text;
        ASSERT_TRUE(readFile(entry.path().string(), text));
        for (std::sregex_iterator m(text.begin(), text.end(), literal), end; m != end; ++m) {
            const std::string key = lower((*m)[1].str());
            ++found;
            EXPECT_TRUE(en.count(sectionOfArea(key)) && en.at(sectionOfArea(key)).count(key))
                << entry.path().filename().string() << " reads " << (*m)[1].str()
                << ", which English.ini lacks";
        }
    }
    EXPECT_GT(found, 0) << "the scan found no key at all";
}
#endif

// A file that still holds English texts shows English to the user without any test noticing
// a missing key; a file in the wrong script is a file saved under the wrong name.
TEST(LanguageFiles, EveryTranslationIsItsOwnLanguage) {
    const IniData en = parseIni("English.ini");
    struct Script {
        const char* file;
        char32_t from, to;
    };
    const Script scripts[] = {
        {"Russian.ini", 0x0400, 0x04FF},
        {"Thai.ini", 0x0E00, 0x0E7F},
        {"Korean.ini", 0xAC00, 0xD7AF},
        {"Japanese.ini", 0x3040, 0x30FF},
        {"ChineseSimplified.ini", 0x4E00, 0x9FFF},
        {"ChineseTraditional.ini", 0x4E00, 0x9FFF},
    };
    for (const std::string& name : translatedFiles()) {
        const IniData other = parseIni(name);
        const Script* script = nullptr;
        for (const auto& s : scripts)
            if (name == s.file) script = &s;
        int inScript = 0, translated = 0;
        for (const auto& [section, keys] : en)
            for (const auto& [key, value] : keys) {
                if (languageNeutral(key) || !other.count(section) || !other.at(section).count(key))
                    continue;
                const std::string& text = other.at(section).at(key);
                EXPECT_NE(text, value) << name << ": " << key << " is still English";
                ++translated;
                for (char32_t c : codePoints(text))
                    if (script && c >= script->from && c <= script->to) {
                        ++inScript;
                        break;
                    }
            }
        // Japanese writes many words in kanji alone; kana still appear in most of its texts.
        if (script) {
            EXPECT_GT(inScript * 2, translated) << name << " is not written in its script";
        }
    }
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

// Mnemonics ('&' before a letter) in the English control texts: the keys shown on the controls of
// each window, and the texts a template gives its controls itself. Within one window no two
// controls may share a letter, or Alt+letter would reach only one of them.
struct WindowTexts {
    const char* window;
    std::vector<std::string> keys;   // "section/key"
    std::vector<std::string> fixed;  // texts of the templates themselves
};

std::vector<std::string> withKeys(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<std::string> kExpressKeys = {"dialog_quickset/quickset.disablequickkey",
                                               "dialog_quickset/quickset.disableinfo",
                                               "dialog_main/main.ok",
                                               "dialog_main/main.cancel",
                                               "dialog_quickset/quickset.listfull",
                                               "dialog_main/main.restoredefault",
                                               "dialog_quickset/quickset.trackpadmode",
                                               "dialog_quickset/quickset.ringfuncgroup",
                                               "dialog_quickset/quickset.wheellight",
                                               "dialog_quickset/quickset.tabletlight"};

const WindowTexts kWindows[] = {
    {"main window",
     {"dialog_main/main.pensetting",
      "dialog_main/main.pressadjust",
      "dialog_main/main.screenmap",
      "dialog_main/main.mousemode",
      "dialog_main/main.absolutecoords",
      "dialog_main/main.relativecoords",
      "dialog_main/main.slow",
      "dialog_main/main.fast",
      "dialog_main/main.soft",
      "dialog_main/main.hard",
      "dialog_main/main.output",
      "dialog_main/main.press",
      "dialog_main/main.currentpressure",
      "dialog_main/main.restoredefault",
      "dialog_main/main.fullarea",
      "dialog_main/main.screenportion",
      "dialog_main/main.setscreenarea",
      "dialog_main/main.setworkarea",
      "dialog_main/main.calibrate",
      "dialog_main/main.displaysetting",
      "dialog_main/main.quicksetting",
      "dialog_main/main.exportconfig",
      "dialog_main/main.importconfig",
      "dialog_main/main.ok",
      "dialog_main/main.cancel",
      "dialog_main/main.newversioninfo",
      "dialog_quickset/quickset.rx20"},
     {"&Windows Ink"}},
    {"express key settings", kExpressKeys, {}},
    {"remote",
     withKeys(kExpressKeys, {"dialog_main/main.exportconfig", "dialog_main/main.importconfig"}),
     {}},
    {"program selection",
     {"dialog_quickset/quickset.selectprogram", "dialog_quickset/quickset.runningprogram",
      "dialog_quickset/quickset.openfile", "dialog_quickset/quickset.programpath",
      "dialog_main/main.ok", "dialog_main/main.cancel"},
     {}},
    {"display settings",
     {"dialog_displaysetting/displaysetting.colortemperature",
      "dialog_displaysetting/displaysetting.red", "dialog_displaysetting/displaysetting.green",
      "dialog_displaysetting/displaysetting.blue",
      "dialog_displaysetting/displaysetting.brightness",
      "dialog_displaysetting/displaysetting.constrast",
      "dialog_displaysetting/displaysetting.restore", "dialog_main/main.ok",
      "dialog_main/main.cancel"},
     {}},
    {"ring key setting",
     {"dialog_userset/userset.keyboardinfo", "dialog_main/main.ok", "dialog_main/main.cancel"},
     {"&Name"}},
    {"custom function",
     {"dialog_userset/userset.mouse", "dialog_userset/userset.other",
      "dialog_userset/userset.clear", "dialog_userset/userset.index.00",
      "dialog_userset/userset.index.07", "dialog_userset/userset.index.13", "dialog_main/main.ok",
      "dialog_main/main.cancel"},
     {}},
};

// The mnemonic letter of a control text (upper case), 0 for none; "&&" is a plain '&'. Adds a
// failure for a text the dialog manager would read wrongly.
char mnemonicOf(const std::string& text, const std::string& where) {
    char letter = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (i + 1 < text.size() && text[i + 1] == '&') {
            ++i;
            continue;
        }
        const bool usable =
            i + 1 < text.size() && std::isalnum(static_cast<unsigned char>(text[i + 1]));
        EXPECT_TRUE(usable) << where << ": '&' before no letter in \"" << text << "\"";
        EXPECT_EQ(letter, 0) << where << ": two mnemonics in \"" << text << "\"";
        if (usable)
            letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
    }
    return letter;
}

TEST(LanguageFiles, EnglishMnemonicsAreUniqueWithinEachWindow) {
    const IniData en = parseIni("English.ini");
    std::set<std::string> onControls;
    for (const auto& w : kWindows) {
        std::map<char, std::string> taken;
        auto add = [&](const std::string& where, const std::string& text) {
            const char letter = mnemonicOf(text, where);
            if (letter == 0) return;
            const auto [it, fresh] = taken.emplace(letter, where);
            EXPECT_TRUE(fresh) << w.window << ": " << where << " and " << it->second
                               << " share the mnemonic " << letter;
        };
        for (const auto& k : w.keys) {
            const auto slash = k.find('/');
            const auto section = en.find(k.substr(0, slash));
            ASSERT_NE(section, en.end()) << k;
            const auto value = section->second.find(k.substr(slash + 1));
            ASSERT_NE(value, section->second.end()) << k;
            onControls.insert(k.substr(slash + 1));
            add(k, value->second);
        }
        for (const auto& text : w.fixed) add(text, text);
    }
    // A text that is also shown in a list, a message or the on-screen strip would show the '&'.
    for (const auto& [section, keys] : en)
        for (const auto& [key, value] : keys)
            if (value.find('&') != std::string::npos && mnemonicOf(value, key) != 0) {
                EXPECT_TRUE(onControls.count(key))
                    << key << " carries a mnemonic but is not a control text";
            }
}

}  // namespace
}  // namespace scribo
