#include "device_profile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "config/block_access.h"

namespace scribo::sim {
namespace {

TEST(DeviceProfile, ParsesFieldsArraysTextsAndAppEntries) {
    const std::string text =
        "# two devices\n"
        "[monitors]\nrect0 = 0 0 3840 1080\nrect1 = 0 0 1920 1080\nmonitorCount = 1\n"
        "[device]\ndeviceId = PID_0374\nkeyCount = 3\nkeyPresent = 1 1 1\n"
        "pressureCurve = 0 0.5 0.5 1\nproductName = Pad \xC3\xA9\n"
        "ringTextDefault.6 = Zoom;1|a|65||0;1|b|66||0\n"
        "apps.0.keyDescriptor.2 = 2|3\napps.1.appName = paint.exe\ntrackPadId = 2\n"
        "[device]\nconnected = 0\ndeviceId = PID_0A31\n";
    DeviceProfile p = parseProfile(text);
    EXPECT_TRUE(p.errors.empty()) << p.errors.front();
    ASSERT_EQ(p.devices.size(), 2u);
    const DeviceRecord& d = *p.devices[0];
    EXPECT_EQ(readField(d.deviceId), u"PID_0374");
    EXPECT_EQ(d.keyPresent[2], 1);
    EXPECT_EQ(d.keyPresent[3], 0);
    EXPECT_FLOAT_EQ(d.pressureCurve[1], 0.5f);
    EXPECT_EQ(readField(d.productName), u"Pad \u00E9");
    EXPECT_EQ(readField(d.ringTextDefault[1][1]), u"Zoom;1|a|65||0;1|b|66||0");
    EXPECT_EQ(readField(d.apps[0].keyDescriptor[2]), u"2|3");
    EXPECT_EQ(readField(d.apps[1].appName), u"paint.exe");
    EXPECT_EQ(d.trackPadId, 2);
    EXPECT_EQ(p.monitors->monitorRects[0].right, 3840);

    auto block = std::make_unique<SharedBlock>();
    std::memset(block.get(), 0, sizeof(SharedBlock));
    applyProfile(p, *block);
    EXPECT_EQ(block->monitorCount, 1);
    EXPECT_EQ(readField(block->devices[0].deviceId), u"PID_0374");
    EXPECT_EQ(block->devices[1].connected, 0);  // the remote waits for "arrive"
    EXPECT_EQ(placeInFreeSlot(*block, *p.devices[1]), 1);
    EXPECT_EQ(block->devices[1].connected, 1);
}

TEST(DeviceProfile, ReportsBadLinesAndKeepsFieldsInsideTheirArrays) {
    const std::string text =
        "stray\n[device]\nnoSuchField = 1\nkeyCount = x\nringTextDefault.10 = out\n"
        "apps.11.inUse = 1\ndeviceId = PID_0123456789ABCDEF0\nkeyPresent = 1 2 3\n";
    DeviceProfile p = parseProfile(text);
    ASSERT_EQ(p.errors.size(), 6u);
    EXPECT_EQ(p.errors[0].rfind("line 1:", 0), 0u);
    EXPECT_EQ(readField(p.devices[0]->deviceId), u"");  // 19 units do not fit 18
}

TEST(DeviceProfile, PenPositionAreaComesFromTheProfileOrIsTheCentredHalf) {
    DeviceProfile p = parseProfile(
        "[device]\ndeviceId = PID_0374\ntabletMaxX = 15200\ntabletMaxY = 9500\n"
        "penPositionArea = 100 200 3000 4000\n"
        "[device]\ndeviceId = PID_0375\ntabletMaxX = 21600\ntabletMaxY = 13500\n"
        "[device]\ndeviceId = PID_0390\npenPositionArea = 1 2 3\n");
    ASSERT_EQ(p.errors.size(), 1u);  // three numbers are no area
    using Area = std::array<int32_t, 4>;
    EXPECT_EQ(penPositionArea(p, *p.devices[0]), (Area{100, 200, 3000, 4000}));
    EXPECT_EQ(penPositionArea(p, *p.devices[1]), (Area{5400, 3375, 10800, 6750}));
    // Found by id ignoring case, as the block's record may spell it differently.
    DeviceRecord rec{};
    storeField(rec.deviceId, u"pid_0374");
    EXPECT_EQ(penPositionArea(p, rec), (Area{100, 200, 3000, 4000}));
}

TEST(DeviceProfile, ReadsNumericFieldsBackAndRefusesTextsAndOutsideIndices) {
    DeviceProfile p = parseProfile(
        "[device]\ndeviceId = PID_0374\ntrackPadId = -2\nscreenArea = 1 2 3 4\n"
        "pressureCurve = 0 0.5 2.75 1\napps.3.keyFunc = 0 7\n");
    const DeviceRecord& d = *p.devices[0];
    const struct {
        const char* name;
        bool ok;
        long long value;
    } cases[] = {
        {"trackPadId", true, -2},     {"screenArea", true, 1},       {"screenArea.3", true, 4},
        {"pressureCurve.2", true, 2}, {"apps.3.keyFunc.1", true, 7}, {"screenArea.4", false, 0},
        {"deviceId", false, 0},       {"apps.11.inUse", false, 0},   {"noSuchField", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        long long v = -999;
        EXPECT_EQ(getRecordField(d, c.name, v), c.ok);
        if (c.ok) {
            EXPECT_EQ(v, c.value);
        }
    }
}

TEST(DeviceProfile, TheShippedDemoProfileIsClean) {
    std::ifstream f(SCRIBO_SOURCE_DIR "/tools/service-sim/demo.profile");
    ASSERT_TRUE(f);
    std::stringstream ss;
    ss << f.rdbuf();
    DeviceProfile p = parseProfile(ss.str());
    for (const auto& e : p.errors) ADD_FAILURE() << e;
    EXPECT_EQ(p.devices.size(), 4u);
}

// The hostile-data generator is reproducible from its seed and never writes outside the block
// (the sanitizers watch every write); it does produce the cases the panel must survive.
TEST(BlockFuzzer, ReproducibleAndInsideTheBlock) {
    auto a = std::make_unique<SharedBlock>();
    auto b = std::make_unique<SharedBlock>();
    BlockFuzzer fa(42), fb(42);
    bool unterminated = false, hugeKeyCount = false;
    for (int i = 0; i < 20000; ++i) {
        EXPECT_EQ(fa.mutate(*a), fb.mutate(*b));
        for (const auto& d : a->devices) {
            unterminated =
                unterminated || std::char_traits<char16_t>::find(
                                    d.productName, std::size(d.productName), u'\0') == nullptr;
            hugeKeyCount = hugeKeyCount || d.keyCount > kMaxKeys;
        }
    }
    EXPECT_EQ(std::memcmp(a.get(), b.get(), sizeof(SharedBlock)), 0);
    EXPECT_TRUE(unterminated);
    EXPECT_TRUE(hugeKeyCount);
}

}  // namespace
}  // namespace scribo::sim
