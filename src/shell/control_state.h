// Which of the main window's controls are shown and enabled, from the state of the panel: the
// device shown, how its pen positions the pointer, the monitor entry chosen, what is listed.
// One answer for every control role, applied by the main window in one place after every
// change, so no panel decides another panel's controls and the order of events cannot leave a
// control in a state that contradicts another. Portable.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "config/service_protocol.h"

namespace scribo {

enum class ControlRole {
    RemoteButton,    // the remote's window: shown while the remote is listed
    QuickSetting,    // express keys of the device shown
    DisplaySetting,  // pen-display monitor adjustment
    Calibrate,       // pen-display calibration
    TabletOnly,      // rotations, full area / screen portion, set screen area, pen positioning
    TabletFields,    // the tablet-area edits
    SetScreenArea,   // draw a screen region (one monitor, absolute positioning)
    AbsoluteOnly,    // Windows Ink, full area, screen portion
    Speed,           // relative speed
    UpperPenButton,  // the upper pen button's list and label (two-button pens)
    Count
};
inline constexpr int kControlRoleCount = static_cast<int>(ControlRole::Count);

struct ControlInputs {
    bool hasRecord = false;  // a device is shown; the record fields below are its own
    int32_t deviceKind = kDeviceKindTablet;  // other kinds leave the kind's controls be
    int32_t mouseMode = 0;                   // 0 absolute, otherwise relative
    int32_t hasExpressKeys = 0;
    int32_t hasRing = 0;
    int32_t penModel = 0;      // 1 and 2 are one-button pens
    int monitorSelection = 0;  // entry of the monitor list; 0 is the whole desktop
    bool remoteListed = false;
    bool xpMode = false;
};

// nullopt: the control is left as it is.
struct ControlState {
    std::optional<bool> shown;
    std::optional<bool> enabled;
};

using ControlStates = std::array<ControlState, kControlRoleCount>;

ControlStates controlStates(const ControlInputs& in);

inline ControlState stateOf(const ControlStates& s, ControlRole r) {
    return s[static_cast<size_t>(r)];
}

}  // namespace scribo
