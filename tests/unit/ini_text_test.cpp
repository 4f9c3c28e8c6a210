#include "config/ini_text.h"

#include <gtest/gtest.h>

namespace scribo {
namespace {

TEST(IniText, DecodesUtf16AndUtf8Files) {
    EXPECT_EQ(decodeTextFile(std::string("\xFF\xFE"
                                         "a\0\xFC\0",
                                         6)),
              u"a\u00FC");
    EXPECT_EQ(decodeTextFile("\xEF\xBB\xBF"
                             "\xC3\xBC"
                             "x"),
              u"\u00FCx");
    EXPECT_EQ(decodeTextFile("\xF0\x9F\x96\x8A"), u"\U0001F58A");
    EXPECT_EQ(decodeTextFile("ab\xE2\x82"), u"ab\uFFFD\uFFFD");  // cut sequence, no overread
}

TEST(IniText, FindsTheFirstMatchIgnoringCase) {
    const std::u16string text =
        u"; comment\r\n[Dialog_Main]\r\nMain.OK = OK \r\nmain.ok=second\r\n"
        u"[Other]\r\nMain.Cancel=Nein\r\n[dialog_main]\r\nMain.Cancel=Cancel\r\nbroken line\r\n[x";
    EXPECT_EQ(findIniValue(text, u"DIALOG_MAIN", u"MAIN.OK"), u"OK");
    EXPECT_EQ(findIniValue(text, u"Dialog_Main", u"Main.Cancel"), u"Cancel");
    EXPECT_EQ(findIniValue(text, u"Dialog_Main", u"Main.Missing"), std::nullopt);
    EXPECT_EQ(findIniValue(text, u"Missing", u"Main.OK"), std::nullopt);
}

TEST(IniText, EnclosingQuotesGoAndWhatTheyHoldStays) {
    const std::u16string text =
        u"[Dialog_Main]\r\nMain.ExtScreen=\"Screen \"\r\nA= 'single' \r\nB=\"open\r\n"
        u"C=\"mixed'\r\nD=\"\r\nE=a\"b\"\r\n";
    const struct {
        const char16_t* key;
        const char16_t* value;
    } cases[] = {{u"Main.ExtScreen", u"Screen "},
                 {u"A", u"single"},
                 {u"B", u"\"open"},
                 {u"C", u"\"mixed'"},
                 {u"D", u"\""},
                 {u"E", u"a\"b\""}};
    for (const auto& c : cases) EXPECT_EQ(findIniValue(text, u"Dialog_Main", c.key), c.value);
}

}  // namespace
}  // namespace scribo
