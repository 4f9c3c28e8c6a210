#include "mapping/display_adjust.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/shared_block.h"

namespace scribo {
namespace {

TEST(DisplayAdjust, SliderFromMonitorReadings) {
    uint32_t lastMin = 0;
    struct Case {
        bool ok;
        MonitorReading r;
        std::optional<uint32_t> position;
        uint32_t label;
    } cases[] = {
        {true, {0, 70, 100}, 70u, 70},
        {true, {0, 35, 50}, 70u, 35},
        {true, {0, 0, 0}, std::nullopt, 0},  // zero guard
        {true, {10, 50, 90}, 50u, 50},
        {false, {7, 7, 7}, 45u, 50},                               // failed: 50 of 100, min 10 kept
        {true, {0, 4000000000u, 4000000000u}, 100u, 4000000000u},  // no 32-bit wrap
        {true, {0xFFFFFFFFu, 5, 1}, 0u, 5},                        // sum beyond 32 bits is not 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.r.current);
        const SliderShown s = sliderFromReading(c.ok, c.r, lastMin);
        EXPECT_EQ(s.position, c.position);
        EXPECT_EQ(s.label, c.label);
    }
    uint32_t fresh = 0;
    EXPECT_EQ(sliderFromReading(false, {}, fresh).position, 50u);
}

TEST(DisplayAdjust, ColourTemperatureRadiosAndPresetValues) {
    using P = ColourPreset;
    const std::pair<int, std::optional<P>> cases[] = {
        {0, P::User},  {1, P::SRGB},      {2, P::K5000}, {3, P::K6500},
        {4, P::K7500}, {5, std::nullopt}, {6, P::K9300}, {8200, std::nullopt},
    };
    for (const auto& [reported, preset] : cases) EXPECT_EQ(presetFor(true, reported), preset);
    EXPECT_EQ(presetFor(false, 0), P::K6500);
    EXPECT_TRUE(readsGains(true, 0));
    EXPECT_FALSE(readsGains(false, 0));
    const std::pair<P, uint32_t> vcp[] = {{P::SRGB, 1},  {P::K5000, 4}, {P::K6500, 5},
                                          {P::K7500, 6}, {P::K9300, 8}, {P::User, 11}};
    for (const auto& [preset, value] : vcp) EXPECT_EQ(presetVcpValue(preset), value);
}

TEST(DisplayAdjust, LockedProducts) {
    EXPECT_TRUE(adjustmentLocked(u"PID_0E27"));
    EXPECT_TRUE(adjustmentLocked(u"pid_6f4c"));
    EXPECT_FALSE(adjustmentLocked(u"PID_0E29"));
    EXPECT_FALSE(adjustmentLocked(u""));
}

TEST(DisplayAdjust, RotationButtonsSwapWidthAndHeight) {
    uint8_t mode[kDisplayModeBytes];
    std::memset(mode, 0xAB, sizeof mode);
    const auto put = [&](std::size_t off, uint32_t v) {
        for (int i = 0; i < 4; ++i) mode[off + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(kDmPelsWidthOffset, 1920);
    put(kDmPelsHeightOffset, 1080);
    put(kDmOrientationOffset, 0);

    ASSERT_TRUE(setDisplayOrientation(mode, 1));
    DisplayModeSize d = readDisplayMode(mode);
    EXPECT_EQ(d.width, 1080u);
    EXPECT_EQ(d.height, 1920u);
    EXPECT_EQ(d.orientation, 1u);
    EXPECT_EQ(d.fields, 0x180080u);
    ASSERT_TRUE(setDisplayOrientation(mode, 2));
    d = readDisplayMode(mode);
    EXPECT_EQ(d.width, 1920u);
    EXPECT_EQ(d.height, 1080u);
    EXPECT_EQ(d.orientation, 2u);
    EXPECT_FALSE(setDisplayOrientation(mode, 4));
    EXPECT_EQ(readDisplayMode(mode).orientation, 2u);
    EXPECT_EQ(mode[0], 0xAB);  // nothing else touched
    EXPECT_EQ(mode[kDisplayModeBytes - 1], 0xAB);
}

// What the system is asked for at each rotation button, from a landscape and a portrait mode.
TEST(DisplayAdjust, OrientationChangeTable) {
    struct Case {
        uint32_t width, height, orientation;  // the mode before
        uint32_t turn;                        // the button's orientation
        uint32_t wantWidth, wantHeight;
    } cases[] = {
        {1920, 1080, 0, 0, 1920, 1080}, {1920, 1080, 0, 1, 1080, 1920},
        {1920, 1080, 0, 2, 1920, 1080}, {1920, 1080, 0, 3, 1080, 1920},
        {1080, 1920, 1, 0, 1920, 1080}, {1080, 1920, 1, 1, 1080, 1920},
        {1080, 1920, 3, 2, 1920, 1080}, {2560, 1440, 2, 3, 1440, 2560},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " o" +
                     std::to_string(c.orientation) + " -> " + std::to_string(c.turn));
        uint8_t mode[kDisplayModeBytes];
        std::memset(mode, 0x5A, sizeof mode);
        const auto put = [&](std::size_t off, uint32_t v) {
            for (int i = 0; i < 4; ++i) mode[off + i] = static_cast<uint8_t>(v >> (8 * i));
        };
        put(kDmPelsWidthOffset, c.width);
        put(kDmPelsHeightOffset, c.height);
        put(kDmOrientationOffset, c.orientation);
        put(kDmFieldsOffset, 0x00080000);
        const std::optional<DisplayModeChange> change = orientationChange(mode, c.turn);
        ASSERT_TRUE(change);
        EXPECT_EQ(change->flags, 0x40000009u);  // CDS_UPDATEREGISTRY | CDS_GLOBAL | CDS_RESET
        uint8_t sent[kDisplayModeBytes];
        std::memcpy(sent, change->mode.data(), sizeof sent);
        const DisplayModeSize d = readDisplayMode(sent);
        EXPECT_EQ(d.orientation, c.turn);
        EXPECT_EQ(d.width, c.wantWidth);
        EXPECT_EQ(d.height, c.wantHeight);
        EXPECT_EQ(d.fields, 0x00180080u);  // DM_DISPLAYORIENTATION | DM_PELSWIDTH | DM_PELSHEIGHT
        for (std::size_t i = 0; i < kDisplayModeBytes; ++i) {
            const bool set = (i >= kDmFieldsOffset && i < kDmFieldsOffset + 4) ||
                             (i >= kDmOrientationOffset && i < kDmOrientationOffset + 4) ||
                             (i >= kDmPelsWidthOffset && i < kDmPelsHeightOffset + 4);
            if (!set) {
                EXPECT_EQ(sent[i], 0x5A) << "byte " << i;
            }
        }
        EXPECT_EQ(readDisplayMode(mode).orientation, c.orientation)
            << "the record asked about stays";
    }
    uint8_t mode[kDisplayModeBytes] = {};
    EXPECT_FALSE(orientationChange(mode, 4));
}

}  // namespace
}  // namespace scribo
