#include "device_profile.h"

#include <limits>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <sstream>

#include "config/block_access.h"
#include "config/ini_text.h"

namespace scribo::sim {

namespace {

enum class Kind { I32, I16, F32, Text };

struct Field {
    const char* name;
    std::size_t offset;
    Kind kind;
    int count;  // values (numbers) or texts (Text)
    int width;  // units per text
};

#define REC_FIELD(f, kind, count, width) \
    { #f, offsetof(DeviceRecord, f), kind, count, width }
const Field kRecordFields[] = {
    REC_FIELD(connected, Kind::I32, 1, 0),
    REC_FIELD(deviceId, Kind::Text, 1, 18),
    REC_FIELD(deviceKind, Kind::I32, 1, 0),
    REC_FIELD(hasRing, Kind::I32, 1, 0),
    REC_FIELD(hasExpressKeys, Kind::I32, 1, 0),
    REC_FIELD(hasLights, Kind::I32, 1, 0),
    REC_FIELD(hasTrackPad, Kind::I32, 1, 0),
    REC_FIELD(ringCount, Kind::I32, 1, 0),
    REC_FIELD(keyCount, Kind::I32, 1, 0),
    REC_FIELD(pressureScaleMode, Kind::I32, 1, 0),
    REC_FIELD(penModel, Kind::I32, 1, 0),
    REC_FIELD(tabletAreaX, Kind::I32, 1, 0),
    REC_FIELD(tabletAreaY, Kind::I32, 1, 0),
    REC_FIELD(tabletAreaW, Kind::I32, 1, 0),
    REC_FIELD(tabletAreaH, Kind::I32, 1, 0),
    REC_FIELD(pressureCurve, Kind::F32, 4, 0),
    REC_FIELD(keyPresent, Kind::I32, kMaxKeys, 0),
    REC_FIELD(keyDefaultFunc, Kind::I32, kMaxKeys, 0),
    REC_FIELD(trackPadId, Kind::I16, 1, 0),
    REC_FIELD(ringFuncDefault, Kind::I32, kRings* kRingFunctions, 0),
    REC_FIELD(ringTextDefault, Kind::Text, kRings* kRingFunctions, kDescriptorUnits),
    REC_FIELD(penButton1Index, Kind::I32, 1, 0),
    REC_FIELD(penButton2Index, Kind::I32, 1, 0),
    REC_FIELD(penButton1Descriptor, Kind::Text, 1, kDescriptorUnits),
    REC_FIELD(penButton2Descriptor, Kind::Text, 1, kDescriptorUnits),
    REC_FIELD(monitorIndex, Kind::I32, 1, 0),
    REC_FIELD(screenArea, Kind::I32, 4, 0),
    REC_FIELD(windowsInk, Kind::I32, 1, 0),
    REC_FIELD(rotation, Kind::I32, 1, 0),
    REC_FIELD(mouseMode, Kind::I32, 1, 0),
    REC_FIELD(mouseSpeed, Kind::I32, 1, 0),
    REC_FIELD(displayCalib, Kind::F32, 4, 0),
    REC_FIELD(expressKeysDisabled, Kind::I32, 1, 0),
    REC_FIELD(expressKeyTipsOff, Kind::I32, 1, 0),
    REC_FIELD(pictureIds, Kind::I32, 8, 0),
    REC_FIELD(previewLayout, Kind::F32, 16, 0),
    REC_FIELD(precisionMode, Kind::I32, 1, 0),
    REC_FIELD(precisionArea, Kind::I32, 4, 0),
    REC_FIELD(productName, Kind::Text, 1, 226),
    REC_FIELD(physicalWidth, Kind::I32, 1, 0),
    REC_FIELD(physicalHeight, Kind::I32, 1, 0),
    REC_FIELD(tabletMaxX, Kind::I32, 1, 0),
    REC_FIELD(tabletMaxY, Kind::I32, 1, 0),
    REC_FIELD(modelName, Kind::Text, 1, 112),
    REC_FIELD(tabletLight, Kind::I16, 1, 0),
    REC_FIELD(wheelLight, Kind::I16, 1, 0),
};
#undef REC_FIELD

#define APP_FIELD(f, kind, count, width) \
    { #f, offsetof(AppEntry, f), kind, count, width }
const Field kAppFields[] = {
    APP_FIELD(inUse, Kind::I32, 1, 0),
    APP_FIELD(appName, Kind::Text, 1, kAppTextUnits),
    APP_FIELD(appPath, Kind::Text, 1, kAppTextUnits),
    APP_FIELD(ringFunc, Kind::I32, kRings* kRingFunctions, 0),
    APP_FIELD(ringTextA, Kind::Text, kRings* kRingFunctions, kDescriptorUnits),
    APP_FIELD(ringTextB, Kind::Text, kRings* kRingFunctions, kDescriptorUnits),
    APP_FIELD(ringTextC, Kind::Text, kRings* kRingFunctions, kDescriptorUnits),
    APP_FIELD(keyFunc, Kind::I32, kMaxKeys, 0),
    APP_FIELD(keyDescriptor, Kind::Text, kMaxKeys, kDescriptorUnits),
};
#undef APP_FIELD

#define BLOCK_FIELD(f, kind, count, width) \
    { #f, offsetof(SharedBlock, f), kind, count, width }
const Field kMonitorFields[] = {
    BLOCK_FIELD(monitorCount, Kind::I32, 1, 0),
    BLOCK_FIELD(currentMonitor, Kind::I32, 1, 0),
    BLOCK_FIELD(primaryMonitor, Kind::I32, 1, 0),
    BLOCK_FIELD(displayDeviceName, Kind::Text, 1, 32),
};
#undef BLOCK_FIELD

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// Splits "name.3" into ("name", 3); index -1 when there is none.
std::pair<std::string, int> splitIndex(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size()) return {name, -1};
    int index = 0;
    for (std::size_t i = dot + 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || index > 1000) return {name, -1};
        index = index * 10 + (name[i] - '0');
    }
    return {name.substr(0, dot), index};
}

bool setField(const Field* fields, std::size_t n, unsigned char* base, const std::string& fullName,
              const std::string& value) {
    auto [name, index] = splitIndex(fullName);
    for (std::size_t i = 0; i < n; ++i) {
        const Field& f = fields[i];
        if (f.kind == Kind::Text && f.count > 1) {
            if (name != f.name || index < 0 || index >= f.count) continue;
            auto* dst = reinterpret_cast<char16_t*>(base + f.offset) + index * f.width;
            return storeField(dst, static_cast<std::size_t>(f.width), utf8ToUtf16(value));
        }
        if (fullName != f.name) continue;
        if (f.kind == Kind::Text)
            return storeField(reinterpret_cast<char16_t*>(base + f.offset),
                              static_cast<std::size_t>(f.width), utf8ToUtf16(value));
        std::istringstream in(value);
        for (int k = 0; k < f.count; ++k) {
            double v;
            if (!(in >> v)) return k > 0;  // a shorter list sets the leading elements
            unsigned char* p = base + f.offset;
            if (f.kind == Kind::I32) {
                const int32_t x = static_cast<int32_t>(v);
                std::memcpy(p + 4 * k, &x, 4);
            } else if (f.kind == Kind::I16) {
                const int16_t x = static_cast<int16_t>(v);
                std::memcpy(p + 2 * k, &x, 2);
            } else {
                const float x = static_cast<float>(v);
                std::memcpy(p + 4 * k, &x, 4);
            }
        }
        std::string rest;
        return !(in >> rest);
    }
    return false;
}

bool getField(const Field* fields, std::size_t n, const unsigned char* base,
              const std::string& fullName, long long& value) {
    auto [name, index] = splitIndex(fullName);
    for (std::size_t i = 0; i < n; ++i) {
        const Field& f = fields[i];
        if (f.kind == Kind::Text) continue;
        int k = 0;
        if (fullName != f.name) {
            if (name != f.name || index < 0 || index >= f.count) continue;
            k = index;
        }
        const unsigned char* p = base + f.offset;
        if (f.kind == Kind::I32) {
            int32_t x;
            std::memcpy(&x, p + 4 * k, 4);
            value = x;
        } else if (f.kind == Kind::I16) {
            int16_t x;
            std::memcpy(&x, p + 2 * k, 2);
            value = x;
        } else {
            float x;
            std::memcpy(&x, p + 4 * k, 4);
            value = static_cast<long long>(x);
        }
        return true;
    }
    return false;
}

template <std::size_t N>
bool setFrom(const Field (&fields)[N], void* base, const std::string& name, const std::string& v) {
    return setField(fields, N, static_cast<unsigned char*>(base), name, v);
}

}  // namespace

std::u16string utf8ToUtf16(const std::string& s) { return decodeTextFile(s); }

bool setRecordField(DeviceRecord& rec, const std::string& name, const std::string& value) {
    if (name.rfind("apps.", 0) == 0) {
        const auto dot = name.find('.', 5);
        if (dot == std::string::npos) return false;
        int entry = -1;
        try {
            entry = std::stoi(name.substr(5, dot - 5));
        } catch (...) {
            return false;
        }
        AppEntry* e = entryAt(rec, entry);
        return e != nullptr && setFrom(kAppFields, e, name.substr(dot + 1), value);
    }
    return setFrom(kRecordFields, &rec, name, value);
}

bool getRecordField(const DeviceRecord& rec, const std::string& name, long long& value) {
    if (name.rfind("apps.", 0) == 0) {
        const auto dot = name.find('.', 5);
        if (dot == std::string::npos) return false;
        int entry = -1;
        try {
            entry = std::stoi(name.substr(5, dot - 5));
        } catch (...) {
            return false;
        }
        if (entry < 0 || entry >= kAppEntryCount) return false;
        return getField(kAppFields, std::size(kAppFields),
                        reinterpret_cast<const unsigned char*>(&rec.apps[entry]),
                        name.substr(dot + 1), value);
    }
    return getField(kRecordFields, std::size(kRecordFields),
                    reinterpret_cast<const unsigned char*>(&rec), name, value);
}

// ---- hostile values --------------------------------------------------------------------------

namespace {

uint64_t splitmix(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Counts far beyond their tables, indices just outside their ranges, the extremes.
int32_t hostileInt(uint64_t r) {
    static const int32_t kValues[] = {0,
                                      -1,
                                      1,
                                      2,
                                      3,
                                      4,
                                      5,
                                      6,
                                      9,
                                      10,
                                      11,
                                      16,
                                      20,
                                      21,
                                      50,
                                      255,
                                      9999,
                                      -32768,
                                      32767,
                                      65535,
                                      std::numeric_limits<int32_t>::min(),
                                      std::numeric_limits<int32_t>::max()};
    if ((r & 3) == 0) return static_cast<int32_t>(r >> 8);
    return kValues[(r >> 2) % std::size(kValues)];
}

float hostileFloat(uint64_t r) {
    static const float kValues[] = {std::numeric_limits<float>::quiet_NaN(),
                                    std::numeric_limits<float>::infinity(),
                                    -std::numeric_limits<float>::infinity(),
                                    0.0f,
                                    -0.0f,
                                    1.0f,
                                    -1.0f,
                                    0.5f,
                                    1e30f,
                                    -1e30f,
                                    1e-30f};
    if ((r & 3) == 0) {
        const auto bits = static_cast<uint32_t>(r >> 16);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    return kValues[(r >> 2) % std::size(kValues)];
}

// A text over the whole width without a terminating zero, or random units, or a lone half of a
// surrogate pair.
void hostileText(char16_t* text, int width, uint64_t r, uint64_t& state) {
    const int mode = static_cast<int>(r % 3);
    for (int i = 0; i < width; ++i) {
        if (mode == 0)
            text[i] = u'W';
        else if (mode == 1)
            text[i] = static_cast<char16_t>(splitmix(state));
        else
            text[i] = i % 2 == 0 ? char16_t(0xD800) : u'%';
    }
}

void mutateField(const Field& f, unsigned char* base, uint64_t& state) {
    const uint64_t r = splitmix(state);
    const int element =
        f.count > 1 ? static_cast<int>((r >> 40) % static_cast<uint64_t>(f.count)) : 0;
    switch (f.kind) {
        case Kind::I32: {
            const int32_t v = hostileInt(splitmix(state));
            std::memcpy(base + f.offset + element * 4, &v, 4);
            break;
        }
        case Kind::I16: {
            const auto v = static_cast<int16_t>(hostileInt(splitmix(state)));
            std::memcpy(base + f.offset + element * 2, &v, 2);
            break;
        }
        case Kind::F32: {
            const float v = hostileFloat(splitmix(state));
            std::memcpy(base + f.offset + element * 4, &v, 4);
            break;
        }
        case Kind::Text:
            hostileText(reinterpret_cast<char16_t*>(base + f.offset) + element * f.width, f.width,
                        splitmix(state), state);
            break;
    }
}

}  // namespace

BlockFuzzer::BlockFuzzer(uint64_t seed) : state_(seed) {}

uint64_t BlockFuzzer::next() { return splitmix(state_); }

std::string BlockFuzzer::mutate(SharedBlock& block) {
    const uint64_t r = next();
    const int target = static_cast<int>(r % 8);
    if (target == 0) {  // the monitor table
        const int which = static_cast<int>((r >> 8) % (std::size(kMonitorFields) + 1));
        if (which == static_cast<int>(std::size(kMonitorFields))) {
            const int rect = static_cast<int>((r >> 16) % kMonitorRectCount);
            block.monitorRects[rect] = {hostileInt(next()), hostileInt(next()), hostileInt(next()),
                                        hostileInt(next())};
            return "monitorRects." + std::to_string(rect);
        }
        mutateField(kMonitorFields[which], reinterpret_cast<unsigned char*>(&block), state_);
        return kMonitorFields[which].name;
    }
    DeviceRecord& rec = block.devices[(r >> 8) % kSlotCount];
    if (target == 1) {  // an application entry
        const int entry = static_cast<int>((r >> 16) % kAppEntryCount);
        const Field& f = kAppFields[(r >> 24) % std::size(kAppFields)];
        mutateField(f, reinterpret_cast<unsigned char*>(&rec.apps[entry]), state_);
        return "apps." + std::to_string(entry) + "." + f.name;
    }
    const Field& f = kRecordFields[(r >> 16) % std::size(kRecordFields)];
    mutateField(f, reinterpret_cast<unsigned char*>(&rec), state_);
    return f.name;
}

std::array<int32_t, 4> penPositionArea(const DeviceProfile& profile, const DeviceRecord& rec) {
    const std::u16string id = readField(rec.deviceId);
    for (std::size_t i = 0; i < profile.devices.size() && i < profile.penPositionAreas.size(); ++i)
        if (profile.penPositionAreas[i] &&
            equalsIgnoringCase(readField(profile.devices[i]->deviceId), id))
            return *profile.penPositionAreas[i];
    return {rec.tabletMaxX / 4, rec.tabletMaxY / 4, rec.tabletMaxX / 2, rec.tabletMaxY / 2};
}

DeviceProfile parseProfile(const std::string& text) {
    DeviceProfile p;
    p.monitors = std::make_unique<SharedBlock>();
    std::memset(p.monitors.get(), 0, sizeof(SharedBlock));
    std::istringstream in(text);
    std::string line;
    enum { None, Monitors, Device } section = None;
    for (int number = 1; std::getline(in, line); ++number) {
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (line == "[monitors]") {
            section = Monitors;
            continue;
        }
        if (line == "[device]") {
            section = Device;
            p.devices.push_back(std::make_unique<DeviceRecord>());
            std::memset(p.devices.back().get(), 0, sizeof(DeviceRecord));
            p.devices.back()->connected = 1;
            p.penPositionAreas.emplace_back();
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos || section == None) {
            p.errors.push_back(where + "expected a section or name = value");
            continue;
        }
        const std::string name = trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
        bool ok = false;
        if (section == Device && name == "penPositionArea") {
            std::array<int32_t, 4> area{};
            std::istringstream v(value);
            std::string rest;
            ok = static_cast<bool>(v >> area[0] >> area[1] >> area[2] >> area[3]) && !(v >> rest);
            if (ok) p.penPositionAreas.back() = area;
        } else if (section == Device) {
            ok = setRecordField(*p.devices.back(), name, value);
        } else if (name.size() == 5 && name.rfind("rect", 0) == 0 && name[4] >= '0' &&
                   name[4] <= '9') {
            Rect32& r = p.monitors->monitorRects[name[4] - '0'];
            std::istringstream v(value);
            ok = static_cast<bool>(v >> r.left >> r.top >> r.right >> r.bottom);
        } else {
            ok = setFrom(kMonitorFields, p.monitors.get(), name, value);
        }
        if (!ok) p.errors.push_back(where + "cannot set '" + name + "'");
    }
    return p;
}

void applyProfile(const DeviceProfile& profile, SharedBlock& block) {
    std::memcpy(block.monitorRects, profile.monitors->monitorRects, sizeof block.monitorRects);
    block.monitorCount = profile.monitors->monitorCount;
    block.currentMonitor = profile.monitors->currentMonitor;
    block.primaryMonitor = profile.monitors->primaryMonitor;
    std::memcpy(block.displayDeviceName, profile.monitors->displayDeviceName,
                sizeof block.displayDeviceName);
    for (const auto& dev : profile.devices)
        if (dev->connected != 0) placeInFreeSlot(block, *dev);
}

int placeInFreeSlot(SharedBlock& block, const DeviceRecord& device) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (block.devices[slot].connected != 0) continue;
        std::memcpy(&block.devices[slot], &device, sizeof(DeviceRecord));
        block.devices[slot].connected = 1;
        return slot;
    }
    return -1;
}

}  // namespace scribo::sim
