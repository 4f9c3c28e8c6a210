// A profile source with no files: every lookup answers its fallback, so a text shows as the
// fallback its caller passes (for most, the key itself) and a number as its default.
#pragma once

#include <string>
#include <string_view>

#include "config/language.h"

namespace testsupport {

class FallbackTexts : public scribo::ProfileSource {
public:
    std::u16string readString(std::u16string_view, std::u16string_view, std::u16string_view,
                              std::u16string_view fallback) override {
        return std::u16string(fallback);
    }
    int readInt(std::u16string_view, std::u16string_view, std::u16string_view,
                int fallback) override {
        return fallback;
    }
};

}  // namespace testsupport
