// Stand-ins for what the configuration store asks of its surroundings: language texts (every
// text is its fallback) and the user's feedback (messages recorded, save-failure traces counted).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/language.h"
#include "config/win/config_store.h"
#include "fallback_texts.h"

namespace testsupport {

// The store's tests read their texts as the store's fallbacks.
using KeyAsText = FallbackTexts;

class Recorder : public scribo::UserFeedback {
public:
    void showMessage(std::u16string_view text) override { messages.emplace_back(text); }
    void traceSaveFailure() override { ++traces; }
    std::vector<std::u16string> messages;
    int traces = 0;
};

}  // namespace testsupport
