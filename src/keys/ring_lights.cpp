#include "keys/ring_lights.h"

#include <algorithm>

#include "config/block_access.h"

namespace scribo {

RingPageView ringPageView(const DeviceRecord& rec, int entry, int ring) {
    RingPageView v;
    v.selection.fill(-1);
    if (entry < 0 || entry >= kAppEntryCount || ring < 0 || ring >= kRings) return v;
    const AppEntry& e = rec.apps[entry];
    for (int g = 0; g < kRingFunctions; ++g) {
        const int s = e.ringFunc[ring][g];
        v.selection[g] = (s >= 0 && s <= 2) ? s : -1;
        v.labels[g] = readField(e.ringTextC[ring][g]);
    }
    return v;
}

int trackPadComboIndex(int16_t trackPadId) {
    return isValidTrackPadId(trackPadId) ? trackPadId - 1 : -1;
}

TrackPadMessage chooseTrackPadMode(DeviceRecord& rec, int item) {
    if (item < 0 || item > 2) return {0, 0};
    const int mode = item + 1;
    rec.trackPadId = static_cast<int16_t>(mode);
    return {mode, rec.rotation};
}

TrackPadMessage resetTrackPadMode(DeviceRecord& rec) {
    rec.trackPadId = 1;
    return {1, 0};
}

int lightSliderPosition(int16_t level) {
    return std::clamp((level + 49) / kLightLevelStep, 0, kLightSteps);
}

bool hidesWheelLight(const DeviceRecord& rec) {
    return equalsIgnoringCase(readField(rec.deviceId), u"PID_0C73");
}

int moveLightSlider(DeviceRecord& rec, Light light, int position, bool serviceFound) {
    const int level = lightLevel(std::clamp(position, 0, kLightSteps));
    if (serviceFound) {
        if (light == Light::Wheel)
            rec.wheelLight = static_cast<int16_t>(level);
        else
            rec.tabletLight = static_cast<int16_t>(level);
    }
    return level;
}

}  // namespace scribo
