#include "shell/info_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace scribo {
namespace {

// The bytes of a UTF-16 text with its terminator, shifted by one byte so that nothing relies on
// the sender's alignment.
struct Unaligned {
    explicit Unaligned(std::u16string_view s) : raw(1 + 2 * (s.size() + 1), 0) {
        std::memcpy(raw.data() + 1, s.data(), 2 * s.size());
    }
    const void* data() const { return raw.data() + 1; }
    std::vector<unsigned char> raw;
};

TEST(InfoText, TextIsBoundedByTheTerminatorAndTheByteCount) {
    const Unaligned hello(u"Hello");        // 12 bytes with the terminator
    const Unaligned pair(u"ab\U0001F58A");  // a surrogate pair at units 2 and 3
    struct Case {
        const void* data;
        std::size_t bytes;
        std::u16string expected;
    } cases[] = {
        {hello.data(), 12, u"Hello"},
        {hello.data(), 1000, u"Hello"},  // a byte count past the terminator stops there
        {hello.data(), 6, u"Hel"},       // shorter than the string: bytes / 2 units only
        {hello.data(), 7, u"Hel"},       // an odd last byte is no character
        {hello.data(), 1, u""},
        {hello.data(), 0, u""},
        {nullptr, 12, u""},
        {pair.data(), 8, u"ab\U0001F58A"},
        {pair.data(), 6, u"ab"},  // never half a surrogate pair
    };
    for (const Case& c : cases) {
        EXPECT_EQ(textFromCopyData(c.data, c.bytes), c.expected) << "bytes " << c.bytes;
    }
}

TEST(InfoText, AnUnterminatedHugeTextIsCutToOneStripsWorthOfWholeCharacters) {
    std::u16string big(5000, u'x');
    const std::u16string cut(kInfoTextMaxUnits, u'x');
    EXPECT_EQ(textFromCopyData(big.data(), 2 * big.size()), cut);
    EXPECT_EQ(clipInfoText(big), cut);
    big[kInfoTextMaxUnits - 1] = 0xD83D;  // the cut falls inside a pair
    EXPECT_EQ(textFromCopyData(big.data(), 2 * big.size()).size(), kInfoTextMaxUnits - 1);
    EXPECT_EQ(clipInfoText(big).size(), kInfoTextMaxUnits - 1);
    EXPECT_EQ(clipInfoText(u"short"), u"short");
}

TEST(InfoText, TextBoxIsCentredAndAWideTextStartsLeftClippedToTheStrip) {
    struct Case {
        float w, h, tw, th;
        InfoBox expected;
    } cases[] = {
        {1920, 40, 200, 18, {860, 11, 200, 18}},
        {1920, 40, 201.5f, 18.6f, {859, 10, 201.5f, 18.6f}},  // whole pixels: crisp edges
        {300, 40, 300, 18, {0, 11, 300, 18}},
        {300, 40, 500, 18, {0, 11, 300, 18}},  // wider: left edge, strip width
        {0, 40, 50, 18, {0, 11, 0, 18}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(layoutInfoText(c.w, c.h, c.tw, c.th), c.expected) << c.w << " " << c.tw;
    }
}

TEST(InfoText, PlateGrowsAroundTheTextButStaysInsideTheStrip) {
    EXPECT_EQ(plateAround({860, 11, 200, 18}, 1920, 40, 14, 6), (InfoBox{846, 5, 228, 30}));
    EXPECT_EQ(plateAround({0, 11, 300, 18}, 300, 40, 14, 6), (InfoBox{0, 5, 300, 30}));
    EXPECT_EQ(plateAround({0, -5, 300, 50}, 300, 40, 14, 6), (InfoBox{0, 0, 300, 40}));
}

TEST(InfoText, PlateContrastsWithTheTextColour) {
    for (uint32_t light : {0xFFF5F5F5u, 0xFFFFFFFFu, 0xFFFFFF00u}) {
        const uint32_t plate = plateColourFor(light);
        EXPECT_LT(plate & 0xFFFFFF, 0x404040u) << std::hex << light;
        EXPECT_GE(plate >> 24, 0x80u);
    }
    for (uint32_t dark : {0xFF000000u, 0xFF0000FFu, 0xFF800000u}) {
        EXPECT_GT(plateColourFor(dark) & 0xFF, 0xC0u) << std::hex << dark;
    }
}

TEST(InfoText, FifthTickHidesAndStartsTheCountAgain) {
    InfoTicker t;
    for (int round = 0; round < 2; ++round) {
        for (int i = 1; i < kInfoTicksShown; ++i) {
            EXPECT_FALSE(t.tick());
            EXPECT_EQ(t.tickCount(), i);
        }
        EXPECT_TRUE(t.tick());
        EXPECT_EQ(t.tickCount(), 0);
    }
    t.tick();
    t.tick();
    t.restart();  // a new text gets five full ticks
    for (int i = 1; i < kInfoTicksShown; ++i) EXPECT_FALSE(t.tick());
    EXPECT_TRUE(t.tick());
}

TEST(InfoText, IntervalZeroKeepsTheCurrentOneAndHugeRequestsAreClamped) {
    InfoTicker t;
    EXPECT_EQ(t.interval(), 300u);
    struct Case {
        std::uint64_t requested;
        unsigned expected;
    } cases[] = {{3000, 3000},
                 {0, 3000},
                 {20, 20},
                 {0x100000000ull, kInfoTickMaxMs},
                 {0xFFFFFFFFull, kInfoTickMaxMs},
                 {300, 300}};
    for (const Case& c : cases) {
        t.setInterval(c.requested);
        EXPECT_EQ(t.interval(), c.expected) << c.requested;
    }
}

}  // namespace
}  // namespace scribo
