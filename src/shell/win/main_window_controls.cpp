// The main window's controls shown and enabled as the control-state table says, applied in one
// place after every change.
#include "resource.h"
#include "shell/control_state.h"
#include "shell/win/main_window.h"

using namespace scribo;

void CQX_ScriboDlg::applyControlState() {
    struct Ids {
        ControlRole role;
        std::initializer_list<int> ids;
    };
    static const Ids kRoles[] = {
        {ControlRole::RemoteButton, {IDC_REMOTE}},
        {ControlRole::QuickSetting, {IDC_QUICK_SETTING}},
        {ControlRole::DisplaySetting, {IDC_DISPLAY_SETTING}},
        {ControlRole::Calibrate, {IDC_CALIBRATE}},
        {ControlRole::TabletOnly,
         {IDC_SET_SCREEN_AREA, IDC_ROTATE_180, IDC_ROTATE_0, IDC_ROTATE_90, IDC_ROTATE_270,
          IDC_FULL_AREA, IDC_SCREEN_PORTION, IDC_SET_WORK_AREA}},
        {ControlRole::TabletFields, {IDC_TABLET_X, IDC_TABLET_Y, IDC_TABLET_W, IDC_TABLET_H}},
        {ControlRole::SetScreenArea, {IDC_SET_SCREEN_AREA}},
        {ControlRole::AbsoluteOnly, {IDC_WINDOWS_INK, IDC_FULL_AREA, IDC_SCREEN_PORTION}},
        {ControlRole::Speed, {IDC_SPEED}},
        {ControlRole::UpperPenButton, {IDC_PEN_BUTTON_UPPER, IDC_PEN_UPPER_CUSTOM}},
    };
    if (!devices_) return;
    ControlInputs in;
    if (const DeviceRecord* rec = current()) {
        in.hasRecord = true;
        in.deviceKind = rec->deviceKind;
        in.mouseMode = rec->mouseMode;
        in.hasExpressKeys = rec->hasExpressKeys;
        in.hasRing = rec->hasRing;
        in.penModel = rec->penModel;
    }
    in.monitorSelection = mapping_ ? mapping_->selection() : 0;
    in.remoteListed = (devices_->deviceKindMask() & kKindMaskRemote) != 0;
    in.xpMode = xpMode_;
    const ControlStates states = controlStates(in);
    for (const Ids& r : kRoles) {
        const ControlState s = stateOf(states, r.role);
        for (int id : r.ids) {
            if (s.shown) show(id, *s.shown);
            if (s.enabled) enable(id, *s.enabled);
        }
    }
}
