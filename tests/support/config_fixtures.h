// Small builders for configuration-file tests: records and tree fragments.
#pragma once

#include <memory>
#include <string>

#include "config/block_access.h"
#include "config/shared_block.h"

namespace scribo::testing {

inline std::unique_ptr<DeviceRecord> makeRecord(const char16_t* id, int kind = 0) {
    auto rec = std::make_unique<DeviceRecord>();  // value-initialised: all zero
    storeField(rec->deviceId, id);
    rec->connected = 1;
    rec->deviceKind = kind;
    return rec;
}

inline std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// A settings element with every optional element present and all values empty.
inline std::string emptySettings() {
    return "<Settings><Pen><Lower/><Upper/><P0/><P1/><P2/><P3/></Pen>"
           "<Screen><L/><T/><W/><H/></Screen>"
           "<Tablet><Area><X/><Y/><W/><H/></Area><Mode><Rot/><Ink/><Mouse/><Tips/></Mode></Tablet>"
           "</Settings>";
}

}  // namespace scribo::testing

namespace scribo::testing {

// A device element with the largest tree a device can have: 11 applications of 20 keys and
// two rings, calibration included.
inline std::string fullDeviceXml(const std::string& id) {
    std::string app = "<App name=''><Path/><Keys>" + repeat("<K SelectID='0'/>", 20) + "</Keys>" +
                      repeat("<Ring>" + repeat("<F SelectID='0'/>", 5) + "</Ring>", 2) + "</App>";
    return "<" + id + "><Info/>" + emptySettings() + "<EK><Opt><Off/><Res/><TP/></Opt><Apps>" +
           repeat(app, 11) +
           "</Apps></EK>"
           "<Cal><a/><b/><c/><d/></Cal></" +
           id + ">";
}

// A record to go with fullDeviceXml: every key present, two rings with trackpad, pen display.
inline void makeFull(DeviceRecord& rec) {
    rec.connected = 1;
    rec.deviceKind = 1;
    rec.hasExpressKeys = 1;
    rec.hasRing = 1;
    rec.ringCount = 2;
    rec.hasTrackPad = 1;
    rec.keyCount = 20;
    for (int i = 0; i < 20; ++i) rec.keyPresent[i] = 1;
    for (int a = 0; a < kAppEntryCount; ++a) {
        AppEntry& e = rec.apps[a];
        storeField(e.appPath, u"C:\\Program Files\\Painter\\painter.exe");
        for (int k = 0; k < 20; ++k) {
            e.keyFunc[k] = 2;
            storeField(e.keyDescriptor[k], u"1|[Ctrl + Shift + Z]|90|44|3");
        }
        for (int r = 0; r < 2; ++r)
            for (int g = 0; g < 5; ++g) {
                e.ringFunc[r][g] = 2;
                storeField(e.ringTextC[r][g], u"Zoom");
                storeField(e.ringTextA[r][g], u"1|[Ctrl + -]|189|12|2");
                storeField(e.ringTextB[r][g], u"1|[Ctrl + =]|187|13|2");
            }
    }
}

}  // namespace scribo::testing
