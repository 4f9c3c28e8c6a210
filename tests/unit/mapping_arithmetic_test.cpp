// The arithmetic under the mapping panel: the screen portion a tablet covers, conversions
// between tablet, preview and screen frames, clamping, rotation, field input, the thumbnail's
// source and the tablet preview's place.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "mapping/screen_mapping.h"
#include "mapping_fixtures.h"
#include "model_fixtures.h"

namespace scribo {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(ScreenPortion, KeepsTheMonitorAspectCentredOnTheTablet) {
    struct Case {
        Size32 eff;
        Rect32 monitor;
        Area expected;
    } cases[] = {
        {{15200, 9500}, {0, 0, 1920, 1080}, {0, 475, 15200, 8550}},
        {{15200, 9500}, {0, 0, 1280, 1024}, {1662, 0, 11875, 9500}},
        {{15200, 9500}, {0, 0, 1920, 1200}, {0, 0, 15200, 9500}},      // same ratio: full area
        {{9500, 15200}, {0, 0, 1920, 1080}, {0, 4928, 9500, 5343}},    // rotation 1
        {{15200, 9500}, {-1280, 0, 0, 1024}, {1662, 0, 11875, 9500}},  // origin plays no part
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.monitor.right - c.monitor.left);
        auto a = screenPortion(c.eff, c.monitor);
        ASSERT_TRUE(a);
        EXPECT_EQ(*a, c.expected);
    }
    EXPECT_EQ(effectiveSize(1, 15200, 9500, false), (Size32{9500, 15200}));
    // No defined result: an empty monitor entry, a tablet without size.
    EXPECT_FALSE(screenPortion({15200, 9500}, {0, 0, 1920, 0}));
    EXPECT_FALSE(screenPortion({15200, 9500}, {0, 0, 0, 1080}));
    EXPECT_FALSE(screenPortion({0, 0}, {0, 0, 1920, 1080}));
    EXPECT_FALSE(screenPortion({15200, 9500}, {100, 0, 0, 1080}));  // inverted entry
}

TEST(Conversions, TabletRoundTripLosesWhatIntegerDivisionLoses) {
    const Size32 eff{15200, 9500};
    auto r = tabletAreaToPreview({2000, 1000, 8000, 5000}, eff, kTabletPreview);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (Rect32{437, 342, 507, 404}));
    auto a = previewToTabletArea(*r, eff, kTabletPreview);
    ASSERT_TRUE(a);
    EXPECT_EQ(*a, (Area{1928, 966, 7940, 4991}));

    // Zero divisors have no result.
    EXPECT_FALSE(tabletAreaToPreview({0, 0, 1, 1}, {0, 9500}, kTabletPreview));
    EXPECT_FALSE(previewToTabletArea(kTabletPreview, eff, {5, 5, 5, 90}));
}

TEST(Conversions, ScreenAreaAgainstAMonitorLeftOfThePrimary) {
    const Rect32 monitor{-1920, 0, 0, 1080};
    const Rect32 preview{10, 20, 202, 128};  // 192 x 108: one preview pixel = 10 screen pixels
    auto r = screenAreaToPreview({-1900, 100, 960, 540}, monitor, preview);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (Rect32{12, 30, 108, 84}));
    auto f = previewToScreenArea(*r, monitor, preview);
    ASSERT_TRUE(f);
    EXPECT_EQ(*f, (Area{-1900, 100, 960, 540}));
    EXPECT_FALSE(screenAreaToPreview({0, 0, 1, 1}, {0, 0, 0, 0}, preview));
    EXPECT_FALSE(previewToScreenArea(preview, monitor, {0, 0, 0, 10}));
}

TEST(Conversions, ExtremeValuesSaturateInsteadOfOverflowing) {
    auto r = tabletAreaToPreview({kMax, kMin, kMax, kMax}, {1, 1}, {kMin, kMin, kMax, kMax});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->left, kMax);
    EXPECT_EQ(r->top, kMin);
    auto a = previewToScreenArea({kMin, kMin, kMax, kMax}, {kMin, kMin, kMax, kMax}, {0, 0, 1, 1});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->w, kMax);
    // Within 32 bits the 64-bit products give the 32-bit results.
    auto small = previewToTabletArea({100, 100, 200, 150}, {1000, 1000}, {0, 0, 400, 300});
    EXPECT_EQ(*small, (Area{250, 333, 250, 166}));
}

TEST(ClampToBounds, CutsCrossingRectanglesAndMovesOutlyingOnes) {
    const Rect32 b = kTabletPreview;
    struct Case {
        Rect32 in, out;
    } cases[] = {
        {{400, 300, 480, 380}, {420, 330, 480, 380}},  // crosses top and left: cut
        {{560, 460, 600, 500}, {514, 408, 554, 448}},  // beyond bottom-right: moved back
        {{300, 200, 380, 260}, {420, 330, 500, 390}},  // beyond top-left: moved back
        {{380, 300, 600, 500}, {420, 330, 554, 448}},  // covers the bounds: cut to them
        {{430, 340, 500, 400}, {430, 340, 500, 400}},  // inside: unchanged
        {{500, 400, 430, 340}, {430, 340, 500, 400}},  // inverted while dragging: normalised
        {{430, 448, 500, 470}, {430, 448, 500, 470}},  // top touches the bottom bound: left
        {{380, 340, 420, 400}, {380, 340, 420, 400}},  // right touches the left bound: left
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in.left);
        EXPECT_EQ(clampToBounds(c.in, b), c.out);
    }
    const Rect32 huge = clampToBounds({kMin, kMin, kMax, kMax}, {kMax - 5, kMax - 5, kMax, kMax});
    EXPECT_EQ(huge, (Rect32{kMax - 5, kMax - 5, kMax, kMax}));
    const Rect32 far =
        clampToBounds({kMax - 1, kMax - 1, kMax, kMax}, {kMin, kMin, kMin + 5, kMin + 5});
    EXPECT_LE(far.left, far.right);
}

TEST(NativeToRotated, EachRotationOfTheServiceArea) {
    struct Case {
        int rotation;
        Size32 eff;
        Area native, rotated;
    } cases[] = {
        {0, {15200, 9500}, {1000, 2000, 3000, 4000}, {1000, 2000, 3000, 4000}},
        {1, {9500, 15200}, {1000, 2000, 3000, 4000}, {3500, 1000, 4000, 3000}},
        {2, {15200, 9500}, {1000, 500, 4000, 3000}, {10200, 6000, 4000, 3000}},
        {3, {9500, 15200}, {1000, 2000, 3000, 4000}, {2000, 11200, 4000, 3000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rotation);
        EXPECT_EQ(*nativeToRotated(c.native, c.rotation, c.eff), c.rotated);
    }
    EXPECT_FALSE(nativeToRotated({1, 2, 3, 4}, 4, {10, 10}));
    EXPECT_FALSE(nativeToRotated({1, 2, 3, 4}, -1, {10, 10}));
}

TEST(TabletAreaField, OnlyTheUpperBoundIsEnforced) {
    const Size32 eff{15200, 9500};
    const Area a{0, 1000, 6000, 5000};
    EXPECT_EQ(setTabletAreaField(a, eff, AreaField::X, 14000).x, 9200);
    EXPECT_EQ(setTabletAreaField(a, eff, AreaField::X, 3000).x, 3000);
    EXPECT_EQ(setTabletAreaField(a, eff, AreaField::Y, 9000).y, 4500);
    EXPECT_EQ(setTabletAreaField({100, 0, 0, 0}, eff, AreaField::W, 20000).w, 15100);
    EXPECT_EQ(setTabletAreaField(a, eff, AreaField::H, 9000).h, 8500);
    EXPECT_EQ(setTabletAreaField(a, eff, AreaField::W, 0).w, 0);
    EXPECT_EQ(setTabletAreaField({kMax, 0, kMax, 0}, eff, AreaField::W, kMax).w, 15200 - kMax);
}

TEST(TabletAreaField, FieldTextReadsItsLeadingDigitsOnly) {
    const struct {
        const char16_t* text;
        int32_t value;
    } cases[] = {{u"", 0},
                 {u"0", 0},
                 {u"9200", 9200},
                 {u"007", 7},
                 {u"-5", 0},
                 {u"12ab", 12},
                 {u"x12", 0},
                 {u" 3", 0},
                 {u"2147483647", kMax},
                 {u"99999999999999999999", kMax}};
    for (const auto& c : cases)
        EXPECT_EQ(parseAreaFieldText(c.text), c.value) << "text: " << c.value;
}

// The monitor entry is the service's: only what lies on the desktop is copied, into the matching
// part of the picture.
TEST(ThumbnailCopy, CopiesOnlyThePartOnTheDesktop) {
    const Rect32 desktop{-1280, 0, 1920, 1080};
    struct Case {
        Rect32 monitor;
        int32_t w, h;
        std::optional<ThumbnailCopy> expected;
    } cases[] = {
        // wholly on the desktop: everything, into the whole picture
        {{0, 0, 1920, 1080}, 192, 108, ThumbnailCopy{{0, 0, 1920, 1080}, {0, 0, 192, 108}}},
        {{-1280, 0, 0, 1024}, 128, 100, ThumbnailCopy{{-1280, 0, 0, 1024}, {0, 0, 128, 100}}},
        // half off to the right and below: the visible quarter into the top-left quarter
        {{960, 540, 2880, 1620}, 200, 100, ThumbnailCopy{{960, 540, 1920, 1080}, {0, 0, 100, 50}}},
        // off to the left: the right part of the picture
        {{-2560, 0, 0, 1080}, 200, 100, ThumbnailCopy{{-1280, 0, 0, 1080}, {100, 0, 200, 100}}},
        // the whole 32-bit plane (no overflow): the desktop is thinner than one picture pixel
        {{kMin, kMin, kMax, kMax}, 200, 100, std::nullopt},
        {{kMin, 0, kMax, 1080}, 200, 100, ThumbnailCopy{{-1280, 0, 1920, 1080}, {99, 0, 100, 100}}},
        // wholly off, touching only an edge, empty, inverted, empty picture
        {{1920, 0, 3840, 1080}, 200, 100, std::nullopt},
        {{0, 1080, 1920, 2160}, 200, 100, std::nullopt},
        {{100, 100, 100, 500}, 200, 100, std::nullopt},
        {{500, 500, 100, 100}, 200, 100, std::nullopt},
        {{0, 0, 1920, 1080}, 0, 100, std::nullopt},
        {{0, 0, 1920, 1080}, 200, -5, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.monitor));
        const auto got = thumbnailCopy(c.monitor, desktop, c.w, c.h);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (!got) continue;
        EXPECT_EQ(got->source, c.expected->source);
        EXPECT_EQ(got->target, c.expected->target);
    }
}

TEST(TabletPreviewPlacement, FractionsOfTheClientSizeTruncated) {
    const float layout[4] = {0.5f, 0.25f, 0.75f, 0.6f};
    EXPECT_EQ(placeTabletPreview(layout, 801, 503), (Rect32{400, 125, 600, 301}));
    const float broken[4] = {NAN, INFINITY, -INFINITY, 1e30f};
    EXPECT_EQ(placeTabletPreview(broken, 800, 600), (Rect32{0, kMax, kMin, kMax}));
}

}  // namespace
}  // namespace scribo
