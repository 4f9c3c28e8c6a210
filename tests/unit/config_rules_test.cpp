// Value texts, ring texts, the file path and the export name: the small rules of the
// configuration file that need no DOM.
#include <gtest/gtest.h>

#include "config/config_layout.h"
#include "config/config_reader.h"
#include "config/config_writer.h"
#include "config/transfer_rules.h"

namespace scribo {
namespace {

TEST(ConfigValues, FormatsAndParsesTheFileForms) {
    EXPECT_EQ(formatDecimal(0.5f, 6), u"0.500000");
    EXPECT_EQ(formatDecimal(1.0f, 4), u"1.0000");
    EXPECT_EQ(formatDecimal(-3.4e38f, 6).size(), 1u + 39 + 7);  // the largest float still fits
    EXPECT_EQ(formatNumber(-1), u"-1");
    EXPECT_EQ(formatOnOff(7), u"True");
    EXPECT_EQ(formatOnOff(0), u"False");

    int32_t n = 5;
    EXPECT_TRUE(parseNumber(u" -12 ", n));
    EXPECT_EQ(n, -12);
    for (const char16_t* bad : {u"", u"12a", u"2147483648", u"1.5", u"\u0661"}) {
        EXPECT_FALSE(parseNumber(bad, n));
        EXPECT_EQ(n, -12);
    }
    float f = 0;
    EXPECT_TRUE(parseDecimal(u"0.250000", f));
    EXPECT_FLOAT_EQ(f, 0.25f);
    EXPECT_FALSE(parseDecimal(u"nan", f));
    EXPECT_FALSE(parseDecimal(u"1e300", f));
    int32_t b = 0;
    EXPECT_TRUE(parseOnOff(u"true", b));
    EXPECT_EQ(b, 1);
    EXPECT_FALSE(parseOnOff(u"1", b));
}

TEST(ConfigValues, SplitsRingTextsWithSemicolonKeysInside) {
    struct Case {
        const char16_t *text, *name, *left, *right;
    };
    const Case cases[] = {
        {u"Zoom;1|[Ctrl + -]|189|12|2;1|[Ctrl + =]|187|13|2", u"Zoom", u"1|[Ctrl + -]|189|12|2",
         u"1|[Ctrl + =]|187|13|2"},
        {u"Semi;1|[;]|186|39|0;1|[Shift + ;]|186|39|1", u"Semi", u"1|[;]|186|39|0",
         u"1|[Shift + ;]|186|39|1"},
        {u"Brush;;1|[]]|221|27|0", u"Brush", u"", u"1|[]]|221|27|0"},
        {u"Left only;2|3;", u"Left only", u"2|3", u""},
        {u"NoSeparators", u"NoSeparators", u"", u""},
        {u"", u"", u"", u""},
    };
    for (const Case& c : cases) {
        std::u16string name, left, right;
        splitRingText(c.text, name, left, right);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(right, c.right);
    }
}

TEST(ConfigPath, MajorVersionFiveUsesTheProgramFolder) {
    EXPECT_EQ(configurationFilePath(5, u"C:\\Prog", u"C:\\Roam"), u"C:\\Prog\\xml\\scribo.xml");
    EXPECT_EQ(configurationFilePath(6, u"C:\\Prog", u"C:\\Roam"),
              u"C:\\Roam\\Scribo\\xml\\scribo.xml");
    EXPECT_EQ(configurationFilePath(10, u"C:\\Prog", u""), u"");  // no user folder: no path
}

TEST(ExportName, IsTheLocalDateWithoutSeparators) {
    std::tm day{};
    day.tm_year = 2027 - 1900;
    day.tm_mon = 0;
    day.tm_mday = 5;
    EXPECT_EQ(suggestedExportName(day), u"ScriboConfig_20270105");
    day.tm_year = 2026 - 1900, day.tm_mon = 11, day.tm_mday = 8;
    EXPECT_EQ(suggestedExportName(day), u"ScriboConfig_20261208");
}

}  // namespace
}  // namespace scribo
