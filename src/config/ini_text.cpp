#include "config/ini_text.h"

namespace scribo {

namespace {

char16_t fold(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

bool sameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

std::u16string_view trim(std::u16string_view s) {
    const auto space = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r'; };
    while (!s.empty() && space(s.front())) s.remove_prefix(1);
    while (!s.empty() && space(s.back())) s.remove_suffix(1);
    return s;
}

// A value enclosed in a matching pair of single or double quotes loses them, as the system's
// profile reader does; what the quotes held (a trailing space, say) is kept.
std::u16string_view unquote(std::u16string_view v) {
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

}  // namespace

std::u16string decodeTextFile(std::string_view b) {
    std::u16string out;
    if (b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFF &&
        static_cast<unsigned char>(b[1]) == 0xFE) {
        for (std::size_t i = 2; i + 1 < b.size(); i += 2)
            out += static_cast<char16_t>(static_cast<unsigned char>(b[i]) |
                                         (static_cast<unsigned char>(b[i + 1]) << 8));
        return out;
    }
    if (b.size() >= 3 && b.substr(0, 3) == "\xEF\xBB\xBF") b.remove_prefix(3);
    for (std::size_t i = 0; i < b.size();) {
        const unsigned char c = static_cast<unsigned char>(b[i]);
        const int extra = c < 0x80         ? 0
                          : (c >> 5) == 6  ? 1
                          : (c >> 4) == 14 ? 2
                          : (c >> 3) == 30 ? 3
                                           : -1;
        if (extra < 0 || i + extra >= b.size() + (extra == 0)) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(b[i + k]) & 0x3F);
        i += 1 + extra;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::optional<std::u16string> findIniValue(std::u16string_view text, std::u16string_view section,
                                           std::u16string_view key) {
    bool inSection = false;
    while (!text.empty()) {
        const auto end = text.find(u'\n');
        std::u16string_view line = trim(text.substr(0, end));
        text = end == std::u16string_view::npos ? std::u16string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == u';') continue;
        if (line.front() == u'[') {
            const auto close = line.find(u']');
            inSection = close != std::u16string_view::npos &&
                        sameName(trim(line.substr(1, close - 1)), section);
            continue;
        }
        const auto eq = line.find(u'=');
        if (inSection && eq != std::u16string_view::npos && sameName(trim(line.substr(0, eq)), key))
            return std::u16string(unquote(trim(line.substr(eq + 1))));
    }
    return std::nullopt;
}

}  // namespace scribo
