#include "config/language.h"

namespace scribo {

namespace {

// L - base is a multiple of 0x400 and at most `span`.
bool inSeries(uint16_t l, uint16_t base, uint16_t span) {
    if (l < base) return false;
    const unsigned d = static_cast<unsigned>(l) - base;
    return d % 0x400u == 0 && d <= span;
}

}  // namespace

std::u16string languageNameFor(uint16_t l) {
    if (l == 0x0804) return u"ChineseSimplified";
    if (l == 0x0404 || l == 0x0C04 || l == 0x1004 || l == 0x1404) return u"ChineseTraditional";
    if (inSeries(l, 0x0407, 0x1000)) return u"German";
    if (inSeries(l, 0x040C, 0x1400)) return u"French";
    if (l == 0x0411) return u"Japanese";
    if (l == 0x0412) return u"Korean";
    if (l == 0x0419) return u"Russian";
    if (inSeries(l, 0x040A, 0x4C00)) return u"Spanish";
    if (l == 0x0410 || l == 0x0810) return u"Italian";
    if (l == 0x041E) return u"Thai";
    if (l == 0x0416 || l == 0x0816) return u"Portuguese";
    if (l == 0x042A) return u"Vietnamese";
    if (l == 0x0415) return u"Polish";
    return u"English";
}

LanguageFiles chooseLanguageFiles(uint16_t languageId, std::u16string_view programDir) {
    const std::u16string dir(programDir);
    return {dir + u"\\language\\" + languageNameFor(languageId) + u".ini",
            dir + u"\\language\\common.ini"};
}

LanguageFiles chooseLanguageFiles(uint16_t languageId, std::u16string_view programDir,
                                  const FileExists& fileExists) {
    LanguageFiles files = chooseLanguageFiles(languageId, programDir);
    if (!fileExists(files.languageFile))
        files.languageFile = std::u16string(programDir) + u"\\language\\English.ini";
    return files;
}

std::u16string cutToLookup(std::u16string text) {
    if (text.size() > kLookupMaxText) text.resize(kLookupMaxText);
    return text;
}

std::u16string TIniFile::readText(std::u16string_view section, std::u16string_view key,
                                  std::u16string_view fallback) const {
    return cutToLookup(source_->readString(file_, section, key, fallback));
}

std::u16string CommonFile::copyRight() const {
    return cutToLookup(source_->readString(file_, u"COMMON", u"CopyRight", u""));
}

int CommonFile::logoId() const { return source_->readInt(file_, u"COMMON", u"LogoID", 0); }

std::u16string CommonFile::modelDisplayName(std::u16string_view deviceId) const {
    return cutToLookup(source_->readString(file_, u"TABLE_MAP", deviceId, u""));
}

}  // namespace scribo
