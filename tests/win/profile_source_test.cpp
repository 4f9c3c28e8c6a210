// Language lookups through the system's profile reader, on real UTF-16LE files.
#include <gtest/gtest.h>

#include "config/language.h"
#include "platform/profile_source.h"
#include "platform/wide.h"
#include "processes.h"

using namespace scribo;

namespace {

void writeUtf16(const std::wstring& path, const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    testsupport::writeFile(path, bytes);
}

TEST(ProfileSource, ReadsUtf16FilesWithTheLookupConvention) {
    testsupport::TestFolder folder;
    const std::wstring dir = folder.path();
    CreateDirectoryW((dir + L"\\language").c_str(), nullptr);
    const std::u16string longValue(300, u'x');
    writeUtf16(dir + L"\\language\\German.ini",
               u"[Dialog_Main]\r\nMain.OK=Übernehmen\r\nMain.Long=" + longValue +
                   u"\r\nmain.cancel=Abbrechen\r\n");
    writeUtf16(dir + L"\\language\\common.ini",
               u"[COMMON]\r\nCopyRight=© 2026 Scribo\r\nLogoID=130\r\n"
               u"[TABLE_MAP]\r\nPID_0374=Scribo Pad S\r\n");

    platform::Win32ProfileSource source;
    const LanguageFiles files = chooseLanguageFiles(0x0407, platform::toU16(dir));
    TIniFile ini(source, files.languageFile);
    EXPECT_EQ(ini.readText(u"Dialog_Main", u"Main.OK"), u"Übernehmen");
    EXPECT_EQ(ini.readText(u"DIALOG_MAIN", u"Main.Cancel"), u"Abbrechen");  // names ignore case
    EXPECT_EQ(ini.readText(u"Dialog_Main", u"Main.Long"), longValue.substr(0, 254));
    EXPECT_EQ(ini.readText(u"Dialog_Main", u"Main.Missing"), u"Main.Missing");
    EXPECT_EQ(ini.readText(u"No_Section", u"Main.OK", u"OK"), u"OK");

    CommonFile common(source, files.commonFile);
    EXPECT_EQ(common.copyRight(), u"© 2026 Scribo");
    EXPECT_EQ(common.logoId(), 130);
    EXPECT_EQ(common.modelDisplayName(u"PID_0374"), u"Scribo Pad S");
    EXPECT_EQ(common.modelDisplayName(u"PID_9999"), u"");

    // A missing language file gives every default.
    TIniFile missing(source, chooseLanguageFiles(0x0409, platform::toU16(dir)).languageFile);
    EXPECT_EQ(missing.readText(u"Dialog_Main", u"Main.OK"), u"Main.OK");
    CommonFile noCommon(source, platform::toU16(dir + L"\\nowhere\\common.ini"));
    EXPECT_EQ(noCommon.logoId(), 0);
}

TEST(ProfileSource, AnUninstalledLanguageReadsTheEnglishFile) {
    testsupport::TestFolder folder;
    const std::wstring dir = folder.path();
    CreateDirectoryW((dir + L"\\language").c_str(), nullptr);
    writeUtf16(dir + L"\\language\\English.ini",
               u"[Dialog_Main]\r\nMain.ScreenMap=Screen Mapping\r\n");

    platform::Win32ProfileSource source;
    const LanguageFiles files =
        chooseLanguageFiles(0x041E, platform::toU16(dir), platform::fileExists);
    EXPECT_EQ(TIniFile(source, files.languageFile).readText(u"Dialog_Main", u"Main.ScreenMap"),
              u"Screen Mapping");
    EXPECT_FALSE(
        platform::fileExists(platform::toU16(dir + L"\\language")));  // a folder is no file
}

TEST(ProfileSource, ADeepProgramDirectoryStillFindsItsLanguageFile) {
    // Together with the file name this path is longer than a 255-unit buffer could hold.
    testsupport::TestFolder folder;
    std::wstring dir = folder.file(L"deep");
    const std::wstring longPrefix = L"\\\\?\\";
    CreateDirectoryW((longPrefix + dir).c_str(), nullptr);
    while (dir.size() < 250) {
        dir += L"\\" + std::wstring(40, L'd');
        CreateDirectoryW((longPrefix + dir).c_str(), nullptr);
    }
    CreateDirectoryW((longPrefix + dir + L"\\language").c_str(), nullptr);
    writeUtf16(longPrefix + dir + L"\\language\\English.ini", u"[Dialog_Main]\r\nMain.OK=OK\r\n");
    ASSERT_NE(GetFileAttributesW((longPrefix + dir + L"\\language\\English.ini").c_str()),
              INVALID_FILE_ATTRIBUTES);
    const LanguageFiles files = chooseLanguageFiles(0x0409, platform::toU16(dir));
    ASSERT_GT(files.languageFile.size(), 255u);
    EXPECT_TRUE(platform::fileExists(files.languageFile));
    platform::Win32ProfileSource source;
    EXPECT_EQ(TIniFile(source, files.languageFile).readText(u"Dialog_Main", u"Main.OK"), u"OK");
}

}  // namespace
