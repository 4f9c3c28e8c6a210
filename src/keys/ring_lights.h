// The ring, trackpad and lights pages as models: what the page shows for an application entry,
// the trackpad mode and the light levels. Portable; the window sends the service messages with
// the values these functions return.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/shared_block.h"

namespace scribo {

// ---- ring page ---------------------------------------------------------------------------------

struct RingPageView {
    std::array<int, kRingFunctions> selection{};        // ringFunc[r][g], -1 when outside 0..2
    std::array<std::u16string, kRingFunctions> labels;  // ringTextC[r][g]
};
// Combos and labels of ring r (0 or 1) for application entry `entry`; empty for a bad index.
RingPageView ringPageView(const DeviceRecord& rec, int entry, int ring);

inline constexpr int kTrackPadUserSetting = 3;  // Mouse 1, Scroll 2, UserSetting 3

// Combo 1366 item of the stored trackPadId, -1 (no item) outside 1..3.
int trackPadComboIndex(int16_t trackPadId);
// The five group combos are enabled only in the "UserSetting" mode.
inline bool ringGroupsEnabled(int trackPadMode) { return trackPadMode == kTrackPadUserSetting; }

// What the window sends as WM_SERVICE_TRACKPAD after a trackpad change.
struct TrackPadMessage {
    int32_t mode;      // wParam, the new trackPadId
    int32_t rotation;  // lParam
};
// Combo item s chosen: trackPadId = s + 1 is written; the message carries the record's rotation.
// Items outside 0..2 change nothing and return mode 0 (nothing to send).
TrackPadMessage chooseTrackPadMode(DeviceRecord& rec, int item);
// Default button in trackpad form: mode 1 written; the message is (1, 0).
TrackPadMessage resetTrackPadMode(DeviceRecord& rec);

// ---- lights page -------------------------------------------------------------------------------

inline constexpr int kLightSteps = 2;       // slider range 0..2
inline constexpr int kLightLevelStep = 50;  // level = position x 50

// Slider position for a stored level: (level + 49) / 50, within 0..2.
int lightSliderPosition(int16_t level);
inline int lightLevel(int position) { return position * kLightLevelStep; }
// The device whose wheel light slider is hidden.
bool hidesWheelLight(const DeviceRecord& rec);

enum class Light : int32_t { Wheel = 1, Tablet = 2 };  // the message's wParam
// A slider moved: the level to show and send; stored only when the service window was found.
int moveLightSlider(DeviceRecord& rec, Light light, int position, bool serviceFound);

}  // namespace scribo
