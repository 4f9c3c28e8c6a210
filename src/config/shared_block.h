// Byte layout of the configuration block shared with the driver service.
//
// The service creates the mapping "Local\QXSCRIBOMAPDATA" and fills it; the panel edits the
// current device's record in place. Both processes must agree on every byte, so the structures
// are packed and every offset is checked at compile time below. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace scribo {

inline constexpr int kSlotCount = 5;
inline constexpr int kAppEntryCount = 11;
inline constexpr int kMaxKeys = 20;
inline constexpr int kRings = 2;
inline constexpr int kRingFunctions = 5;
inline constexpr int kDescriptorUnits = 256;
inline constexpr int kAppTextUnits = 260;
inline constexpr int kMonitorRectCount = 10;
inline constexpr int kMaxMonitorCount = kMonitorRectCount - 1;
inline constexpr int kRotationCount = 4;

#pragma pack(push, 1)

struct Rect32 {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct AppEntry {
    int32_t inUse;
    char16_t appName[kAppTextUnits];
    char16_t appPath[kAppTextUnits];
    int32_t ringFunc[kRings][kRingFunctions];
    char16_t ringTextA[kRings][kRingFunctions][kDescriptorUnits];
    char16_t ringTextB[kRings][kRingFunctions][kDescriptorUnits];
    char16_t ringTextC[kRings][kRingFunctions][kDescriptorUnits];
    uint8_t reserved1[4];
    int32_t keyFunc[kMaxKeys];
    char16_t keyDescriptor[kMaxKeys][kDescriptorUnits];
};

struct DeviceRecord {
    int32_t connected;
    char16_t deviceId[18];
    int32_t deviceKind;
    int32_t hasRing;
    int32_t hasExpressKeys;
    int32_t hasLights;
    int32_t hasTrackPad;
    int32_t ringCount;
    int32_t keyCount;
    int32_t pressureScaleMode;
    int32_t penModel;
    int32_t tabletAreaX;
    int32_t tabletAreaY;
    int32_t tabletAreaW;
    int32_t tabletAreaH;
    float pressureCurve[4];
    int32_t keyPresent[kMaxKeys];
    uint8_t reserved1[80];
    int32_t keyDefaultFunc[kMaxKeys];
    uint8_t reserved2[240];
    int16_t trackPadId;
    uint8_t reserved3[2];
    int32_t ringFuncDefault[kRings][kRingFunctions];
    char16_t ringTextDefault[kRings][kRingFunctions][kDescriptorUnits];
    AppEntry apps[kAppEntryCount];
    int32_t penButton1Index;
    int32_t penButton2Index;
    char16_t penButton1Descriptor[kDescriptorUnits];
    char16_t penButton2Descriptor[kDescriptorUnits];
    int32_t monitorIndex;
    Rect32 screenArea;
    int32_t windowsInk;
    int32_t rotation;
    int32_t mouseMode;
    int32_t mouseSpeed;
    float displayCalib[4];
    int32_t expressKeysDisabled;
    int32_t expressKeyTipsOff;
    int32_t pictureIds[8];
    float previewLayout[kRotationCount][4];
    int32_t precisionMode;
    Rect32 precisionArea;
    uint8_t reserved4[560];
    char16_t productName[226];
    int32_t physicalWidth;
    int32_t physicalHeight;
    uint8_t reserved5[4];
    int32_t tabletMaxX;
    int32_t tabletMaxY;
    uint8_t reserved6[126];
    char16_t modelName[112];
    int16_t tabletLight;
    int16_t wheelLight;
    uint8_t reserved7[2];
};

struct SharedBlock {
    DeviceRecord devices[kSlotCount];
    Rect32 monitorRects[kMonitorRectCount];
    int32_t monitorCount;
    int32_t currentMonitor;
    int32_t primaryMonitor;
    uint8_t displayMode[220];  // the system's DEVMODEW, kept as bytes here
    char16_t displayDeviceName[32];
};

#pragma pack(pop)

// The layout is a contract with another process: check it field by field.
static_assert(sizeof(char16_t) == 2 && sizeof(float) == 4, "block types");
static_assert(sizeof(Rect32) == 16, "RECT");
static_assert(sizeof(AppEntry) == 26768, "AppEntry size");
static_assert(offsetof(AppEntry, appName) == 4);
static_assert(offsetof(AppEntry, appPath) == 524);
static_assert(offsetof(AppEntry, ringFunc) == 1044);
static_assert(offsetof(AppEntry, ringTextA) == 1084);
static_assert(offsetof(AppEntry, ringTextB) == 6204);
static_assert(offsetof(AppEntry, ringTextC) == 11324);
static_assert(offsetof(AppEntry, keyFunc) == 16448);
static_assert(offsetof(AppEntry, keyDescriptor) == 16528);

static_assert(sizeof(DeviceRecord) == 302796, "DeviceRecord size");
static_assert(offsetof(DeviceRecord, deviceId) == 4);
static_assert(offsetof(DeviceRecord, deviceKind) == 40);
static_assert(offsetof(DeviceRecord, hasRing) == 44);
static_assert(offsetof(DeviceRecord, hasExpressKeys) == 48);
static_assert(offsetof(DeviceRecord, hasLights) == 52);
static_assert(offsetof(DeviceRecord, hasTrackPad) == 56);
static_assert(offsetof(DeviceRecord, ringCount) == 60);
static_assert(offsetof(DeviceRecord, keyCount) == 64);
static_assert(offsetof(DeviceRecord, pressureScaleMode) == 68);
static_assert(offsetof(DeviceRecord, penModel) == 72);
static_assert(offsetof(DeviceRecord, tabletAreaX) == 76);
static_assert(offsetof(DeviceRecord, tabletAreaY) == 80);
static_assert(offsetof(DeviceRecord, tabletAreaW) == 84);
static_assert(offsetof(DeviceRecord, tabletAreaH) == 88);
static_assert(offsetof(DeviceRecord, pressureCurve) == 92);
static_assert(offsetof(DeviceRecord, keyPresent) == 108);
static_assert(offsetof(DeviceRecord, keyDefaultFunc) == 268);
static_assert(offsetof(DeviceRecord, trackPadId) == 588);
static_assert(offsetof(DeviceRecord, ringFuncDefault) == 592);
static_assert(offsetof(DeviceRecord, ringTextDefault) == 632);
static_assert(offsetof(DeviceRecord, apps) == 5752);
static_assert(offsetof(DeviceRecord, penButton1Index) == 300200);
static_assert(offsetof(DeviceRecord, penButton2Index) == 300204);
static_assert(offsetof(DeviceRecord, penButton1Descriptor) == 300208);
static_assert(offsetof(DeviceRecord, penButton2Descriptor) == 300720);
static_assert(offsetof(DeviceRecord, monitorIndex) == 301232);
static_assert(offsetof(DeviceRecord, screenArea) == 301236);
static_assert(offsetof(DeviceRecord, windowsInk) == 301252);
static_assert(offsetof(DeviceRecord, rotation) == 301256);
static_assert(offsetof(DeviceRecord, mouseMode) == 301260);
static_assert(offsetof(DeviceRecord, mouseSpeed) == 301264);
static_assert(offsetof(DeviceRecord, displayCalib) == 301268);
static_assert(offsetof(DeviceRecord, expressKeysDisabled) == 301284);
static_assert(offsetof(DeviceRecord, expressKeyTipsOff) == 301288);
static_assert(offsetof(DeviceRecord, pictureIds) == 301292);
static_assert(offsetof(DeviceRecord, previewLayout) == 301324);
static_assert(offsetof(DeviceRecord, precisionMode) == 301388);
static_assert(offsetof(DeviceRecord, precisionArea) == 301392);
static_assert(offsetof(DeviceRecord, productName) == 301968);
static_assert(offsetof(DeviceRecord, physicalWidth) == 302420);
static_assert(offsetof(DeviceRecord, physicalHeight) == 302424);
static_assert(offsetof(DeviceRecord, tabletMaxX) == 302432);
static_assert(offsetof(DeviceRecord, tabletMaxY) == 302436);
static_assert(offsetof(DeviceRecord, modelName) == 302566);
static_assert(offsetof(DeviceRecord, tabletLight) == 302790);
static_assert(offsetof(DeviceRecord, wheelLight) == 302792);

static_assert(offsetof(SharedBlock, monitorRects) == 1513980, "slot 4 ends where monitors begin");
static_assert(offsetof(SharedBlock, monitorCount) == 1514140);
static_assert(offsetof(SharedBlock, currentMonitor) == 1514144);
static_assert(offsetof(SharedBlock, primaryMonitor) == 1514148);
static_assert(offsetof(SharedBlock, displayMode) == 1514152);
static_assert(offsetof(SharedBlock, displayDeviceName) == 1514372);
static_assert(sizeof(SharedBlock) == 1514436, "SharedBlock size");

inline constexpr std::size_t kSharedBlockSize = sizeof(SharedBlock);

}  // namespace scribo
