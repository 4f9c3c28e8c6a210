#include "shell/control_state.h"

#include "config/service_protocol.h"

namespace scribo {

ControlStates controlStates(const ControlInputs& in) {
    ControlStates s{};
    auto at = [&s](ControlRole r) -> ControlState& { return s[static_cast<size_t>(r)]; };

    at(ControlRole::RemoteButton).shown = in.remoteListed;
    // Quick Setting needs a record to edit; with none, the rest stays as the last device left it.
    at(ControlRole::QuickSetting).enabled = in.hasRecord;
    if (!in.hasRecord) return s;

    const bool absolute = in.mouseMode == 0;
    at(ControlRole::AbsoluteOnly).enabled = absolute;
    at(ControlRole::Calibrate).enabled = absolute;
    at(ControlRole::Speed).enabled = !absolute;
    at(ControlRole::SetScreenArea).enabled = absolute && in.monitorSelection != 0;
    at(ControlRole::UpperPenButton).shown = !(in.penModel == 1 || in.penModel == 2);

    if (in.deviceKind == kDeviceKindPenDisplay) {
        at(ControlRole::TabletFields).enabled = false;
        at(ControlRole::TabletOnly).shown = false;
        at(ControlRole::DisplaySetting).shown = !in.xpMode;
        at(ControlRole::QuickSetting).shown = in.hasExpressKeys == 1;
        at(ControlRole::Calibrate).shown = true;
    } else if (in.deviceKind == kDeviceKindTablet) {
        at(ControlRole::DisplaySetting).shown = false;
        at(ControlRole::Calibrate).shown = false;
        at(ControlRole::TabletOnly).shown = true;
        at(ControlRole::TabletFields).enabled = true;
        // A record saying neither yes nor no leaves the button as it was.
        if (in.hasExpressKeys == 1 || in.hasRing == 1)
            at(ControlRole::QuickSetting).shown = true;
        else if (in.hasExpressKeys == 0 && in.hasRing == 0)
            at(ControlRole::QuickSetting).shown = false;
    }
    return s;
}

}  // namespace scribo
