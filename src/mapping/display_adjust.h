// Arithmetic of the display adjustment dialog: slider values from monitor readings, the colour
// preset radios, the locked product ids, and the orientation change of the pen display's
// display-mode record (kept in the shared block as the system's 220-byte DEVMODEW). Portable:
// the record is edited at its documented byte offsets, little-endian on every target.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace scribo {

// ---- sliders ------------------------------------------------------------------------------------

// A brightness or contrast reading as the monitor reports it.
struct MonitorReading {
    uint32_t minimum = 0, current = 0, maximum = 0;
};

struct SliderShown {
    std::optional<uint32_t> position;  // nullopt: maximum + minimum is 0, the slider is not set
    uint32_t label = 0;                // the current value itself
};

// current x 100 / (maximum + minimum), within the slider's 0..100. A failed reading shows 50 of
// 100 and keeps the minimum of the previous reading (`lastMinimum`, 0 at first), which a
// successful reading updates.
SliderShown sliderFromReading(bool ok, const MonitorReading& reading, uint32_t& lastMinimum);

// ---- colour presets -----------------------------------------------------------------------------

// The colour presets a pen display offers, one radio each; User lets the gains be set.
enum class ColourPreset { SRGB, K5000, K6500, K7500, K9300, User };

// Preset shown for a reported colour temperature (the system's MC_COLOR_TEMPERATURE value);
// nullopt leaves every radio as it is. A failed reading shows 6500 K.
std::optional<ColourPreset> presetFor(bool ok, int reported);
// The gains are read only when the temperature is unknown (User).
inline bool readsGains(bool ok, int reported) { return ok && reported == 0; }
// The VCP 0x14 value that chooses a preset on the monitor.
uint32_t presetVcpValue(ColourPreset preset);

// Products whose colour, gain, brightness and contrast controls are disabled.
bool adjustmentLocked(std::u16string_view deviceId);

// ---- display orientation ------------------------------------------------------------------------

inline constexpr std::size_t kDisplayModeBytes = 220;
inline constexpr std::size_t kDmFieldsOffset = 72;
inline constexpr std::size_t kDmOrientationOffset = 84;
inline constexpr std::size_t kDmPelsWidthOffset = 172;
inline constexpr std::size_t kDmPelsHeightOffset = 176;
// DM_DISPLAYORIENTATION | DM_PELSWIDTH | DM_PELSHEIGHT
inline constexpr uint32_t kOrientationFields = 0x00180080;
// CDS_UPDATEREGISTRY | CDS_GLOBAL | CDS_RESET
inline constexpr uint32_t kOrientationChangeFlags = 0x40000009;

struct DisplayModeSize {
    uint32_t fields = 0, orientation = 0, width = 0, height = 0;
};
DisplayModeSize readDisplayMode(const uint8_t (&mode)[kDisplayModeBytes]);

// Orientation 0..3 set; at 0 and 2 the width becomes the larger of the two sizes, at 1 and 3 the
// smaller; the field mask becomes kOrientationFields. Other orientations change nothing and
// return false.
bool setDisplayOrientation(uint8_t (&mode)[kDisplayModeBytes], uint32_t orientation);

// A turn of the display as the system is asked for it (ChangeDisplaySettingsExW): the display
// mode record with its orientation, size and field mask set as setDisplayOrientation sets them,
// every other byte as it was, and the change's flags (kOrientationChangeFlags).
struct DisplayModeChange {
    std::array<uint8_t, kDisplayModeBytes> mode{};
    uint32_t flags = 0;
};
// nullopt for an orientation other than 0..3.
std::optional<DisplayModeChange> orientationChange(const uint8_t (&mode)[kDisplayModeBytes],
                                                   uint32_t orientation);

}  // namespace scribo
