#include "config/transfer_rules.h"

namespace scribo {

std::u16string suggestedExportName(const std::tm& localTime) {
    char date[128];
    const std::size_t n = std::strftime(date, sizeof date, "%Y%m%d", &localTime);
    const std::string s(date, n);
    return u"ScriboConfig_" + std::u16string(s.begin(), s.end());
}

}  // namespace scribo
