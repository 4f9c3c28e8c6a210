#include "keys/win/ring_page.h"

#include "config/service_protocol.h"
#include "keys/app_entries.h"
#include "keys/ring_lights.h"
#include "keys/win/ring_setting_dialog.h"
#include "platform/service_link.h"
#include "resource.h"

namespace scribo::win {
namespace {

constexpr int kRingPicture = 1;
constexpr int kTrackPadPicture = 7;
constexpr int kGroupItems = 3;
constexpr int kTrackPadModes = 3;

}  // namespace

bool CDlgTabPageWheel::create(HWND tab, const RECT& area) {
    return ExpressPage::create(IDD_RING_PAGE, tab, area);
}

void CDlgTabPageWheel::init() {
    entry_ = 0;
    setText(IDC_PAGE_DEFAULT, text(u"Dialog_Main", u"Main.RestoreDefault", u"Main.RestoreDefault"));
    setText(IDC_RING_GROUP,
            text(u"Dialog_QuickSet", u"QuickSet.RingFuncGroup", u"QuickSet.RingFuncGroup"));
    setText(IDC_TRACKPAD_LABEL,
            text(u"Dialog_QuickSet", u"QuickSet.TrackPadMode", u"TrackPadMode"));
    requireAltForMnemonic(IDC_PAGE_DEFAULT);
    const DeviceRecord* shown = record();
    if (shown == nullptr) return;
    const DeviceRecord& rec = *shown;
    if (rec.hasRing != 0) {
        const std::u16string items[kGroupItems] = {
            text(u"Dialog_QuickSet", u"QuickSet.WheelItem.1", u"1"),
            text(u"Dialog_QuickSet", u"QuickSet.WheelItem.2", u"2"),
            text(u"Dialog_QuickSet", u"QuickSet.WheelItem.3", u"3")};
        for (int g = 0; g < kRingFunctions; ++g)
            fillCombo(IDC_RING_COMBO_FIRST + g, items, kGroupItems, -1);
        showView(ringPageView(rec, 0, ring_));
    }
    if (rec.hasTrackPad != 0) {
        const std::u16string modes[kTrackPadModes] = {
            text(u"Dialog_QuickSet", u"QuickSet.TrackPad.1", u"Mouse"),
            text(u"Dialog_QuickSet", u"QuickSet.TrackPad.2", u"Scroll"),
            text(u"Dialog_QuickSet", u"QuickSet.TrackPad.3", u"UserSetting")};
        fillCombo(IDC_TRACKPAD_MODE, modes, kTrackPadModes, trackPadComboIndex(rec.trackPadId));
    }
    if (trackPadForm_) {
        Dialog::show(IDC_TRACKPAD_LABEL, true);
        Dialog::show(IDC_TRACKPAD_MODE, true);
        enableGroups(ringGroupsEnabled(rec.trackPadId));
    }
}

void CDlgTabPageWheel::showView(const RingPageView& view) {
    for (int g = 0; g < kRingFunctions; ++g) {
        selectItem(IDC_RING_COMBO_FIRST + g, view.selection[g]);
        labels_[g] = view.labels[g];
        setText(IDC_RING_LABEL_FIRST + g, labels_[g]);
    }
}

void CDlgTabPageWheel::enableGroups(bool enabled) const {
    for (int g = 0; g < kRingFunctions; ++g) enable(IDC_RING_COMBO_FIRST + g, enabled);
}

void CDlgTabPageWheel::loadForEntry(int entry) {
    const DeviceRecord* rec = record();
    if (rec == nullptr) return;
    entry_ = entry >= 0 && entry < kAppEntryCount ? entry : 0;
    showView(ringPageView(*rec, entry_, ring_));
}

void CDlgTabPageWheel::onGroup(int g) {
    if (record() == nullptr) return;
    const int s = selectedItem(IDC_RING_COMBO_FIRST + g);
    // The Setting dialog runs before anything is written: when the device left, was replaced or
    // reloaded while it was open, the binding is stale and the choice is dropped.
    std::optional<RingGroupSetting> chosen;
    if (s == 2) {
        CDlgSetWheel setting(*ctx_.lang);
        if (setting.runModal(ctx_.instance, IDD_RING_SETTING, GetAncestor(hwnd(), GA_ROOT)) == IDOK)
            chosen = setting.result();
    }
    DeviceRecord* rec = record();
    if (rec == nullptr) return;
    const RingSettingDialog answered = [&chosen] { return chosen; };
    labels_[g] = assignRingGroup(rec->apps[entry_], ring_, g, s, labels_[g], answered).label;
    setText(IDC_RING_LABEL_FIRST + g, labels_[g]);
}

void CDlgTabPageWheel::onTrackPadMode() {
    DeviceRecord* rec = record();
    if (rec == nullptr) return;
    const TrackPadMessage m = chooseTrackPadMode(*rec, selectedItem(IDC_TRACKPAD_MODE));
    if (m.mode == 0) return;
    enableGroups(ringGroupsEnabled(m.mode));
    platform::sendToService(WM_SERVICE_TRACKPAD, static_cast<WPARAM>(m.mode),
                            static_cast<LPARAM>(m.rotation));
}

void CDlgTabPageWheel::onDefault() {
    DeviceRecord* rec = record();
    if (rec == nullptr) return;
    const auto names = restoreRingDefaults(*rec, rec->apps[entry_], ring_);
    showView(ringPageView(*rec, entry_, ring_));
    for (int g = 0; g < kRingFunctions; ++g) {
        labels_[g] = names[g];
        setText(IDC_RING_LABEL_FIRST + g, labels_[g]);
    }
    if (trackPadForm_) {
        selectItem(IDC_TRACKPAD_MODE, 0);
        const TrackPadMessage m = resetTrackPadMode(*rec);
        enableGroups(false);
        platform::sendToService(WM_SERVICE_TRACKPAD, static_cast<WPARAM>(m.mode),
                                static_cast<LPARAM>(m.rotation));
    }
}

bool CDlgTabPageWheel::handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            init();
            result = FALSE;
            return true;
        case WM_COMMAND: {
            const int id = LOWORD(w);
            const int code = HIWORD(w);
            if (id == IDC_PAGE_DEFAULT && code == BN_CLICKED) {
                onDefault();
                return true;
            }
            if (id == IDC_TRACKPAD_MODE && code == CBN_SELCHANGE) {
                onTrackPadMode();
                return true;
            }
            if (id >= IDC_RING_COMBO_FIRST && id < IDC_RING_COMBO_FIRST + kRingFunctions &&
                code == CBN_SELCHANGE) {
                onGroup(id - IDC_RING_COMBO_FIRST);
                return true;
            }
            return false;
        }
        case WM_DRAWITEM: {
            const auto& di = *reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            if (di.CtlID != IDC_RING_PICTURE) return false;
            drawDevicePicture(di, trackPadForm_ ? kTrackPadPicture : kRingPicture, false);
            result = TRUE;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace scribo::win
