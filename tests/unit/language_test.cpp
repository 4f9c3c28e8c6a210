#include "config/language.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace scribo {
namespace {

TEST(LanguageChoice, TableOfLanguageIds) {
    const std::pair<uint16_t, const char16_t*> cases[] = {
        {0x0804, u"ChineseSimplified"},
        {0x0404, u"ChineseTraditional"},
        {0x0C04, u"ChineseTraditional"},
        {0x1004, u"ChineseTraditional"},
        {0x1404, u"ChineseTraditional"},
        {0x1804, u"English"},
        {0x0407, u"German"},
        {0x0807, u"German"},
        {0x1407, u"German"},
        {0x1807, u"English"},
        {0x040C, u"French"},
        {0x180C, u"French"},
        {0x1C0C, u"English"},
        {0x0411, u"Japanese"},
        {0x0412, u"Korean"},
        {0x0419, u"Russian"},
        {0x040A, u"Spanish"},
        {0x080A, u"Spanish"},
        {0x500A, u"Spanish"},
        {0x500A + 0x0400, u"English"},
        {0x040B, u"English"},
        {0x0410, u"Italian"},
        {0x0810, u"Italian"},
        {0x0C10, u"English"},
        {0x041E, u"Thai"},
        {0x0416, u"Portuguese"},
        {0x0816, u"Portuguese"},
        {0x042A, u"Vietnamese"},
        {0x0415, u"Polish"},
        {0x0409, u"English"},
        {0x0809, u"English"},
        {0x0413, u"English"},
        {0x0000, u"English"},
        {0x0003, u"English"},
        {0xFFFF, u"English"},
    };
    for (const auto& [id, name] : cases) {
        SCOPED_TRACE(id);
        EXPECT_EQ(languageNameFor(id), name);
    }
}

TEST(LanguageChoice, PathsAreBuiltFromTheProgramDirectoryAndNeverCut) {
    LanguageFiles f = chooseLanguageFiles(0x0407, u"C:\\Program Files\\Scribo");
    EXPECT_EQ(f.languageFile, u"C:\\Program Files\\Scribo\\language\\German.ini");
    EXPECT_EQ(f.commonFile, u"C:\\Program Files\\Scribo\\language\\common.ini");

    const std::u16string deep = u"C:\\" + std::u16string(300, u'd');
    f = chooseLanguageFiles(0x0409, deep);
    EXPECT_EQ(f.languageFile, deep + u"\\language\\English.ini");
    EXPECT_EQ(f.commonFile, deep + u"\\language\\common.ini");
}

TEST(LanguageChoice, AMissingLanguageFileFallsBackToEnglish) {
    const std::u16string dir = u"C:\\Scribo";
    const std::u16string lang = dir + u"\\language\\";
    struct Case {
        uint16_t id;
        std::set<std::u16string> installed;
        std::u16string expected;
    } cases[] = {
        {0x0411, {lang + u"Japanese.ini", lang + u"English.ini"}, lang + u"Japanese.ini"},
        {0x0411, {lang + u"English.ini", lang + u"German.ini"}, lang + u"English.ini"},
        {0x0407, {}, lang + u"English.ini"},  // nothing there: still a usable name
        {0x0409, {lang + u"English.ini"}, lang + u"English.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        std::vector<std::u16string> asked;
        const LanguageFiles f = chooseLanguageFiles(c.id, dir, [&](const std::u16string& path) {
            asked.push_back(path);
            return c.installed.count(path) > 0;
        });
        EXPECT_EQ(f.languageFile, c.expected);
        EXPECT_EQ(f.commonFile, lang + u"common.ini");
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.front(), chooseLanguageFiles(c.id, dir).languageFile);
    }
}

class MapSource : public ProfileSource {
public:
    std::map<std::u16string, std::u16string> values;  // "file|section|key"
    std::u16string readString(std::u16string_view file, std::u16string_view section,
                              std::u16string_view key, std::u16string_view fallback) override {
        auto it = values.find(std::u16string(file) + u"|" + std::u16string(section) + u"|" +
                              std::u16string(key));
        return it == values.end() ? std::u16string(fallback) : it->second;
    }
    int readInt(std::u16string_view file, std::u16string_view section, std::u16string_view key,
                int fallback) override {
        auto s = readString(file, section, key, u"");
        return s.empty() ? fallback : std::stoi(std::string(s.begin(), s.end()));
    }
};

TEST(LanguageLookup, DefaultsAndTheCutAt254Units) {
    MapSource src;
    src.values[u"lang|Dialog_Main|Main.OK"] = u"OK";
    src.values[u"lang|Dialog_Main|Main.Long"] = std::u16string(300, u'w');
    TIniFile ini(src, u"lang");
    EXPECT_EQ(ini.readText(u"Dialog_Main", u"Main.OK"), u"OK");
    EXPECT_EQ(ini.readText(u"Dialog_Main", u"Main.Cancel"), u"Main.Cancel");
    EXPECT_EQ(ini.readText(u"Dialog_Main", u"Main.SetAreaInfo3", u"OK"), u"OK");
    EXPECT_EQ(ini.readText(u"Dialog_Main", u"Main.Long").size(), 254u);

    CommonFile common(src, u"common");
    EXPECT_EQ(common.copyRight(), u"");
    EXPECT_EQ(common.logoId(), 0);
    EXPECT_EQ(common.modelDisplayName(u"PID_0A31"), u"");
    src.values[u"common|COMMON|LogoID"] = u"141";
    src.values[u"common|TABLE_MAP|PID_0A31"] = u"Scribo Remote";
    EXPECT_EQ(common.logoId(), 141);
    EXPECT_EQ(common.modelDisplayName(u"PID_0A31"), u"Scribo Remote");
}

}  // namespace
}  // namespace scribo
