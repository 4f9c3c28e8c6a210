// Small fixtures shared by the model tests: a zeroed block on the heap, a lock that records how
// it was used and what the record looked like while it was held, and a language file in memory.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "config/block_access.h"
#include "config/language.h"

namespace scribo::testing {

inline std::unique_ptr<SharedBlock> zeroBlock() {
    auto block = std::make_unique<SharedBlock>();
    std::memset(block.get(), 0, sizeof(SharedBlock));
    return block;
}

class CountingLock : public BlockLock {
public:
    bool grant = true;
    int locks = 0, unlocks = 0, held = 0, maxHeld = 0;
    bool lockBlock() override {
        ++locks;
        if (grant) maxHeld = std::max(maxHeld, ++held);
        return grant;
    }
    void unlockBlock() override {
        ++unlocks;
        --held;
    }
};

// Texts by "section|key"; everything else falls back as a missing key does.
class MemoryProfile : public ProfileSource {
public:
    std::map<std::u16string, std::u16string> texts;
    std::u16string readString(std::u16string_view, std::u16string_view section,
                              std::u16string_view key, std::u16string_view fallback) override {
        auto it = texts.find(std::u16string(section) + u"|" + std::u16string(key));
        return it == texts.end() ? std::u16string(fallback) : it->second;
    }
    int readInt(std::u16string_view, std::u16string_view, std::u16string_view,
                int fallback) override {
        return fallback;
    }
};

}  // namespace scribo::testing
