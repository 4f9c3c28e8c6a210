// Random bytes through the descriptor parser and through every model that reads the shared
// block. A fixed seed and a fixed number of rounds keep the run short and repeatable; under
// ASan/UBSan any read or write outside an array, or any overflow, fails the run.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "config/block_access.h"
#include "config/safe_math.h"
#include "keys/app_entries.h"
#include "keys/descriptors.h"
#include "keys/hotkey_capture.h"
#include "keys/ring_lights.h"
#include "mapping/calibration.h"
#include "mapping/display_adjust.h"
#include "mapping/precision_area.h"
#include "mapping/screen_mapping.h"
#include "model_fixtures.h"
#include "shell/device_defaults.h"
#include "shell/pressure_curve.h"

namespace scribo {
namespace {

class Fuzz {
public:
    explicit Fuzz(uint32_t seed) : rng_(seed) {}
    uint32_t next() { return static_cast<uint32_t>(rng_()); }
    int32_t anyInt() {
        switch (next() % 4) {
            case 0:
                return static_cast<int32_t>(next());
            case 1:
                return static_cast<int32_t>(next() % 64) - 8;
            case 2:
                return next() % 2 ? INT32_MAX - static_cast<int32_t>(next() % 4)
                                  : INT32_MIN + static_cast<int32_t>(next() % 4);
            default:
                return static_cast<int32_t>(next() % 20000);
        }
    }
    Rect32 rect() { return {anyInt(), anyInt(), anyInt(), anyInt()}; }
    Point32 point() { return {anyInt(), anyInt()}; }
    // Texts built mostly from the characters the parsers look at.
    std::u16string text(std::size_t maxLen) {
        static constexpr char16_t kAlphabet[] = u"012|||\\;;.9- x:[]";
        std::u16string s(next() % (maxLen + 1), u'\0');
        for (auto& c : s)
            c = next() % 5 ? kAlphabet[next() % (sizeof kAlphabet / sizeof(char16_t) - 1)]
                           : static_cast<char16_t>(next());
        return s;
    }
    void fill(void* p, std::size_t n) {
        auto* bytes = static_cast<unsigned char*>(p);
        for (std::size_t i = 0; i < n; i += 4) {
            const uint32_t v = next();
            std::memcpy(bytes + i, &v, std::min<std::size_t>(4, n - i));
        }
    }

private:
    std::mt19937 rng_;
};

TEST(ModelFuzz, DescriptorTextsOfAnyShape) {
    Fuzz f(0x5C81B0u);
    testing::MemoryProfile profile;
    TIniFile lang(profile, u"x.ini");
    for (int i = 0; i < 20000; ++i) {
        const std::u16string t = f.text(300);
        describeFunction(t, lang);
        splitRingDefault(t);
        appNameFromDisplayName(t);
        leadingInt(t);
        if (auto a = makeRunProgram(t)) {
            EXPECT_LE(a->descriptor.size(), kDescriptorMaxText);
        }
        const uint16_t flags = static_cast<uint16_t>(f.next());
        if (auto a = makeKeyCombination(t, f.text(120), f.text(120), flags)) {
            EXPECT_LE(a->descriptor.size(), kDescriptorMaxText);
        }
        const RingKeystroke k = ringKeystroke(f.next() & 1, f.next() & 1, f.next() & 1,
                                              static_cast<uint16_t>(f.next()), f.next(), t);
        EXPECT_LE(makeRingKeystroke(k).size(), kDescriptorMaxText);
    }
}

TEST(ModelFuzz, BlocksOfRandomBytes) {
    Fuzz f(0xB10C5u);
    auto block = testing::zeroBlock();
    testing::MemoryProfile profile;
    TIniFile lang(profile, u"x.ini");
    testing::CountingLock lock;
    for (int round = 0; round < 40; ++round) {
        f.fill(block.get(), sizeof(SharedBlock));
        if (round % 2) block->monitorCount = static_cast<int32_t>(f.next() % 12);
        SharedBlock& b = *block;
        PrecisionToggle precision;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            DeviceRecord& rec = b.devices[slot];
            ScreenMapping m;
            m.setClientSize(f.anyInt(), f.anyInt());
            m.setScreenPreviewRect(f.rect());
            m.loadDeviceMapping(rec, f.anyInt(), b.monitorRects, lock);
            m.selectMonitor(f.anyInt() % 12, rec, b.monitorRects, lock);
            m.finishScreenDrag(f.rect(), rec, b.monitorRects, lock);
            m.finishTabletDrag(f.rect(), rec, lock);
            m.chooseScreenPortion(rec, b.monitorRects, lock);
            m.typeTabletAreaField(static_cast<AreaField>(f.next() % 4), f.anyInt(), rec, lock);
            m.applyNativeArea(rec, lock);
            m.applySelectedRegion(f.rect(), rec, b.monitorRects, lock);
            m.chooseRotation(static_cast<int>(f.next() % 6) - 1, rec, lock);
            restoreDeviceDefaults(rec, f.anyInt(), f.anyInt());
            m.showMappingDefaults(rec, b.monitorRects);
            m.refreshTabletPreview(rec);
            clampToBounds(f.rect(), f.rect());
            screenPortion({f.anyInt(), f.anyInt()}, f.rect());

            describeFunction(readField(rec.penButton1Descriptor), lang);
            for (const AppEntry& e : rec.apps)
                for (const auto& d : e.keyDescriptor) describeFunction(readField(d), lang);
            for (int ring = 0; ring < kRings; ++ring) ringPageView(rec, slot * 2, ring);
            restoreRingDefaults(rec, rec.apps[f.next() % kAppEntryCount], f.next() % 3);
            expressTabs(rec, ExpressWindow::ShortcutKey, lang);
            entryIndexForName(rec, readField(rec.apps[f.next() % kAppEntryCount].appName));
            AppList list(rec);
            list.open(u"Others", [&](std::u16string_view) { return f.next() % 2 == 0; });
            list.click(static_cast<int>(f.next() % 13) - 1);
            list.add(f.text(270), f.text(270));
            list.remove(static_cast<int>(f.next() % 13) - 1);

            lightSliderPosition(rec.wheelLight);
            trackPadComboIndex(rec.trackPadId);
            hidesWheelLight(rec);
            adjustmentLocked(readField(rec.deviceId));
            const PressureCurve c = readPressureCurve(rec);
            trackbarPosition(c[1]);
            const CurvePoints p =
                placeCurvePoints(c, {f.rect(), f.rect(), f.rect()}, f.anyInt(), f.anyInt());
            curveFromPoints(p, f.rect());
            dragCurvePoint(static_cast<CurvePoint>(f.next() % 4), f.point(), p, f.rect());
        }
        precision.toggle(b, lock, f.point());
        CalibrationSession s;
        if (s.start(b, b.currentMonitor))
            for (const Point32& t : s.targets()) s.tap(t);
        setDisplayOrientation(b.displayMode, f.next() % 5);
        monitorUnderCursor(b, f.point());
    }
    EXPECT_EQ(lock.unlocks, lock.locks);
}

}  // namespace
}  // namespace scribo
