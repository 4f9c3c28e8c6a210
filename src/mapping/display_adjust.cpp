#include "mapping/display_adjust.h"

#include <algorithm>
#include <cstring>

#include "config/block_access.h"

namespace scribo {

SliderShown sliderFromReading(bool ok, const MonitorReading& reading, uint32_t& lastMinimum) {
    MonitorReading r = reading;
    if (ok) {
        lastMinimum = r.minimum;
    } else {
        r = {lastMinimum, 50, 100};
    }
    SliderShown s;
    s.label = r.current;
    // In 64 bits: a 32-bit product or sum would wrap for large readings.
    const uint64_t sum = uint64_t{r.maximum} + r.minimum;
    if (sum != 0)
        s.position =
            static_cast<uint32_t>(std::min<uint64_t>(uint64_t{r.current} * 100 / sum, 100));
    return s;
}

std::optional<ColourPreset> presetFor(bool ok, int reported) {
    if (!ok) return ColourPreset::K6500;
    switch (reported) {
        case 0:
            return ColourPreset::User;
        case 1:
            return ColourPreset::SRGB;
        case 2:
            return ColourPreset::K5000;
        case 3:
            return ColourPreset::K6500;
        case 4:
            return ColourPreset::K7500;
        case 6:
            return ColourPreset::K9300;
        default:
            return std::nullopt;
    }
}

uint32_t presetVcpValue(ColourPreset preset) {
    switch (preset) {
        case ColourPreset::SRGB:
            return 1;
        case ColourPreset::K5000:
            return 4;
        case ColourPreset::K6500:
            return 5;
        case ColourPreset::K7500:
            return 6;
        case ColourPreset::K9300:
            return 8;
        case ColourPreset::User:
            break;
    }
    return 11;
}

bool adjustmentLocked(std::u16string_view deviceId) {
    static constexpr const char16_t* kLocked[] = {u"PID_9D14", u"PID_9D15", u"PID_0E26",
                                                  u"PID_0E27", u"PID_0E28", u"PID_0E39",
                                                  u"PID_0E3A", u"PID_6F4B", u"PID_6F4C"};
    for (const char16_t* id : kLocked)
        if (equalsIgnoringCase(deviceId, id)) return true;
    return false;
}

namespace {

uint32_t load32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

void store32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

DisplayModeSize readDisplayMode(const uint8_t (&mode)[kDisplayModeBytes]) {
    return {load32(mode + kDmFieldsOffset), load32(mode + kDmOrientationOffset),
            load32(mode + kDmPelsWidthOffset), load32(mode + kDmPelsHeightOffset)};
}

bool setDisplayOrientation(uint8_t (&mode)[kDisplayModeBytes], uint32_t orientation) {
    if (orientation > 3) return false;
    const DisplayModeSize d = readDisplayMode(mode);
    const uint32_t larger = std::max(d.width, d.height), smaller = std::min(d.width, d.height);
    const bool upright = orientation == 0 || orientation == 2;
    store32(mode + kDmOrientationOffset, orientation);
    store32(mode + kDmPelsWidthOffset, upright ? larger : smaller);
    store32(mode + kDmPelsHeightOffset, upright ? smaller : larger);
    store32(mode + kDmFieldsOffset, kOrientationFields);
    return true;
}

std::optional<DisplayModeChange> orientationChange(const uint8_t (&mode)[kDisplayModeBytes],
                                                   uint32_t orientation) {
    uint8_t turned[kDisplayModeBytes];
    std::memcpy(turned, mode, sizeof turned);
    if (!setDisplayOrientation(turned, orientation)) return std::nullopt;
    DisplayModeChange change;
    std::memcpy(change.mode.data(), turned, sizeof turned);
    change.flags = kOrientationChangeFlags;
    return change;
}

}  // namespace scribo
