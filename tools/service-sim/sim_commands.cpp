#include "sim_commands.h"

#include <cerrno>
#include <cstdlib>

namespace scribo::sim {

std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inQuotes = false, any = false;
    for (char c : line) {
        if (c == '"') {
            inQuotes = !inQuotes;
            any = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

bool parseNumber(const std::string& text, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    value = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    return errno == 0 && end != nullptr && *end == '\0';
}

}  // namespace scribo::sim
