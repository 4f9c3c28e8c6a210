// Small fixtures shared by the model tests: a zeroed block on the heap, a lock that records how
// it was used and what the record looked like while it was held, and a language file in memory.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/block_access.h"
#include "config/language.h"

namespace scribo::testing {

inline std::unique_ptr<SharedBlock> zeroBlock() {
    auto block = std::make_unique<SharedBlock>();
    std::memset(block.get(), 0, sizeof(SharedBlock));
    return block;
}

// Counts the lock's use and, for the object a test watches (a record or the whole block), keeps
// its bytes when the lock is taken and when it is released, so that a test can tell whether every
// write happened while the lock was held: a write moved before the lock or after the release shows
// up as bytes that changed between two lock periods.
class CountingLock : public BlockLock {
public:
    bool grant = true;
    int locks = 0, unlocks = 0, held = 0, maxHeld = 0;
    bool lockBlock() override {
        ++locks;
        if (grant) maxHeld = std::max(maxHeld, ++held);
        if (watched_ != nullptr) atLock_.push_back(bytes());
        return grant;
    }
    void unlockBlock() override {
        ++unlocks;
        --held;
        if (watched_ != nullptr) atRelease_.push_back(bytes());
    }

    template <typename T>
    void watch(const T& object) {
        watched_ = reinterpret_cast<const unsigned char*>(&object);
        size_ = sizeof(T);
        original_ = bytes();
        atLock_.clear();
        atRelease_.clear();
    }
    // Empty when the watched bytes changed only while the lock was held (and every lock was
    // released); otherwise where the first change outside the lock lies.
    std::string writesOutsideLock() const {
        if (atLock_.size() != atRelease_.size()) return "a lock was not released";
        std::vector<unsigned char> before = original_;
        for (size_t i = 0; i <= atLock_.size(); ++i) {
            const std::vector<unsigned char>& next = i < atLock_.size() ? atLock_[i] : bytes();
            for (size_t b = 0; b < size_; ++b)
                if (before[b] != next[b])
                    return "byte " + std::to_string(b) + " changed " +
                           (i == 0 ? std::string("before the first lock")
                                   : "after release " + std::to_string(i));
            if (i < atRelease_.size()) before = atRelease_[i];
        }
        return {};
    }

private:
    std::vector<unsigned char> bytes() const { return {watched_, watched_ + size_}; }
    const unsigned char* watched_ = nullptr;
    size_t size_ = 0;
    std::vector<unsigned char> original_;
    std::vector<std::vector<unsigned char>> atLock_, atRelease_;
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
