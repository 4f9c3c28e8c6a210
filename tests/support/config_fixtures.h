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
