// Device profiles of the service stand-in: a small text format that fills the shared block.
//
//   # comment
//   [monitors]                     monitor table of the block
//   rect0 = 0 0 3840 1080          rectN = left top right bottom (0 = whole desktop)
//   monitorCount = 2
//   currentMonitor = 2
//   [device]                       one device; connected = 0 keeps it back for "arrive"
//   deviceId = PID_0374
//   keyPresent = 1 1 1 1           arrays: values separated by spaces
//   ringTextDefault.3 = Zoom;...   element of a text array by flat index
//   apps.0.keyFunc = 0 0 2         fields of application entry 0
//   apps.0.keyDescriptor.2 = 2|3
//   penPositionArea = X Y W H      the area pen positioning measures (stand-in only; by default
//                                  the centred half of the tablet)
//
// Field names are those of the block. Portable.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/shared_block.h"

namespace scribo::sim {

struct DeviceProfile {
    // Devices in profile order; `connected` tells whether they are present at start.
    std::vector<std::unique_ptr<DeviceRecord>> devices;
    // Per device (same order): the area pen positioning reports, when the profile gives one.
    std::vector<std::optional<std::array<int32_t, 4>>> penPositionAreas;
    std::unique_ptr<SharedBlock> monitors;  // only the monitor fields are meaningful
    std::vector<std::string> errors;        // "line N: ..." for every line not understood
};

DeviceProfile parseProfile(const std::string& utf8Text);

// Sets one field of a record from its profile name and value text; false when unknown or bad.
bool setRecordField(DeviceRecord& rec, const std::string& name, const std::string& value);

// Reads one numeric field of a record by its profile name; an element of an array as "name.N"
// (floats are truncated). False when the name is unknown, names a text or the index is outside.
bool getRecordField(const DeviceRecord& rec, const std::string& name, long long& value);

// The tablet area pen positioning reports for `rec`: the profile's penPositionArea of the device
// with its deviceId, otherwise the centred half of the tablet (maxX/4, maxY/4, maxX/2, maxY/2),
// in the tablet's own unrotated frame.
std::array<int32_t, 4> penPositionArea(const DeviceProfile& profile, const DeviceRecord& rec);

// Fills the block: monitor fields, then every device marked connected into slots 0, 1, ...
void applyProfile(const DeviceProfile& profile, SharedBlock& block);

// Puts `device` into the first free slot; returns the slot or -1 when all five are used.
int placeInFreeSlot(SharedBlock& block, const DeviceRecord& device);

std::u16string utf8ToUtf16(const std::string& s);

}  // namespace scribo::sim
