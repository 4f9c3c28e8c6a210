#include "keys/win/key_page.h"

#include <algorithm>
#include <string>

#include "config/block_access.h"
#include "keys/app_entries.h"
#include "platform/wide.h"
#include "resource.h"

namespace scribo::win {
namespace {

constexpr int kKeyLabels[] = {
    IDC_KEY_LABEL_1,  IDC_KEY_LABEL_2,  IDC_KEY_LABEL_3,  IDC_KEY_LABEL_4,  IDC_KEY_LABEL_5,
    IDC_KEY_LABEL_6,  IDC_KEY_LABEL_7,  IDC_KEY_LABEL_8,  IDC_KEY_LABEL_9,  IDC_KEY_LABEL_10,
    IDC_KEY_LABEL_11, IDC_KEY_LABEL_12, IDC_KEY_LABEL_13, IDC_KEY_LABEL_14, IDC_KEY_LABEL_15,
    IDC_KEY_LABEL_16, IDC_KEY_LABEL_17, IDC_KEY_LABEL_18, IDC_KEY_LABEL_19, IDC_KEY_LABEL_20};
static_assert(std::size(kKeyLabels) == 20, "the 20-key page has a label for every key");

constexpr int kKeyItems = 3;  // default function, run a program, custom function
constexpr int kKeyLayoutPicture = 0;

// A choice its descriptor field cannot hold is dropped; the user learns why instead of seeing
// the choice vanish as if cancelled.
void tellRefused(HWND page, const TIniFile& lang) {
    HWND window = GetAncestor(page, GA_ROOT);
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, static_cast<int>(std::size(caption)));
    MessageBoxW(window, platform::toWide(refusedChoiceText(lang)).c_str(), caption,
                MB_OK | MB_ICONWARNING);
}

}  // namespace

CDlgTabPageKey::CDlgTabPageKey(const PageContext& ctx)
    : KeyPageWindow(ctx, {IDD_KEY_PAGE_10, 10, kKeyLabels}) {}
CDlgTabPageKey_16::CDlgTabPageKey_16(const PageContext& ctx)
    : KeyPageWindow(ctx, {IDD_KEY_PAGE_16, 16, kKeyLabels}) {}
CDlgTabPageKey_20::CDlgTabPageKey_20(const PageContext& ctx)
    : KeyPageWindow(ctx, {IDD_KEY_PAGE_20, 20, kKeyLabels}) {}

int KeyPageWindow::keysOnPage() const {
    const DeviceRecord* rec = record();
    if (rec == nullptr || rec->hasExpressKeys == 0) return 0;
    // Keys beyond the page's own lists (a device with more keys than this page) are left out.
    return std::clamp(static_cast<int>(rec->keyCount), 0, layout_.keys);
}

bool KeyPageWindow::keyShown(int key) const {
    const DeviceRecord* rec = record();
    return key >= 0 && key < keysOnPage() && rec != nullptr && rec->keyPresent[key] == 1;
}

void KeyPageWindow::init() {
    entry_ = 0;
    labels_ = {};
    setText(IDC_PAGE_DEFAULT, text(u"Dialog_Main", u"Main.RestoreDefault", u"Main.RestoreDefault"));
    // Resets every key of the application: never on a stray letter.
    requireAltForMnemonic(IDC_PAGE_DEFAULT);
    for (int i = 0; i < layout_.keys; ++i) {
        show(IDC_KEY_COMBO_FIRST + i, false);
        show(IDC_KEY_NAME_FIRST + i, false);
    }
    if (keysOnPage() == 0) {
        pushLabels();
        return;
    }
    const std::u16string runApp = text(u"Dialog_Main", u"Main.PenSetting.5", u"RunApp");
    const std::u16string hotKey = text(u"Dialog_Main", u"Main.PenSetting.6", u"hotKey");
    const DeviceRecord& rec = *record();
    const AppEntry& others = rec.apps[0];
    for (int i = 0; i < keysOnPage(); ++i) {
        if (!keyShown(i)) continue;
        const std::u16string key =
            u"QuickSet.BtnSetListItem." + platform::toU16(std::to_wstring(rec.keyDefaultFunc[i]));
        const std::u16string items[kKeyItems] = {text(u"Dialog_QuickSet", key, u""), runApp,
                                                 hotKey};
        fillCombo(IDC_KEY_COMBO_FIRST + i, items, kKeyItems, others.keyFunc[i]);
        show(IDC_KEY_COMBO_FIRST + i, true);
        show(IDC_KEY_NAME_FIRST + i, true);
        labels_[i] = describeFunction(readField(others.keyDescriptor[i]), *ctx_.lang);
    }
    pushLabels();
}

void KeyPageWindow::loadForEntry(int entry) {
    const DeviceRecord* rec = record();
    if (rec == nullptr) return;
    entry_ = entry >= 0 && entry < kAppEntryCount ? entry : 0;
    const AppEntry& e = rec->apps[entry_];
    for (int i = 0; i < keysOnPage(); ++i) {
        if (!keyShown(i)) continue;
        selectItem(IDC_KEY_COMBO_FIRST + i, e.keyFunc[i]);
        labels_[i] = describeFunction(readField(e.keyDescriptor[i]), *ctx_.lang);
    }
    pushLabels();
}

void KeyPageWindow::pushLabels() const {
    for (int i = 0; i < layout_.keys; ++i) setText(layout_.labelIds[i], labels_[i]);
}

void KeyPageWindow::onSelection(int key) {
    if (!keyShown(key)) return;
    const int s = selectedItem(IDC_KEY_COMBO_FIRST + key);
    // The chooser or the custom-function dialog runs first, with nothing written yet. Service
    // messages are handled while it is open: when the device left, was replaced or reloaded
    // meanwhile, the binding is stale and the choice is dropped instead of being written into
    // a record that is no longer this device's.
    const DeviceRecord& shown = *record();
    const FunctionDialogs asked = askExpressKeyDialogFirst(*ctx_.dialogs, s, shown.hasRing,
                                                           shown.hasTrackPad, shown.ringCount);
    DeviceRecord* rec = record();
    if (rec == nullptr) return;
    const AssignOutcome out =
        assignExpressKey(*rec, rec->apps[entry_], key, s, labels_[key], asked, *ctx_.lang);
    labels_[key] = out.label;
    pushLabels();
    if (out.refused) tellRefused(hwnd(), *ctx_.lang);
}

void KeyPageWindow::onDefault() {
    DeviceRecord* rec = record();
    if (rec == nullptr || keysOnPage() == 0) return;
    AppEntry& e = rec->apps[entry_];
    for (int i = 0; i < keysOnPage(); ++i) {
        if (!keyShown(i)) continue;
        e.keyFunc[i] = 0;
        selectItem(IDC_KEY_COMBO_FIRST + i, 0);
        storeField(e.keyDescriptor[i], u"");
        labels_[i].clear();
    }
    pushLabels();
}

bool KeyPageWindow::handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            init();
            result = FALSE;
            return true;
        case WM_COMMAND: {
            const int id = LOWORD(w);
            if (id == IDC_PAGE_DEFAULT && HIWORD(w) == BN_CLICKED) {
                onDefault();
                return true;
            }
            if (id >= IDC_KEY_COMBO_FIRST && id < IDC_KEY_COMBO_FIRST + layout_.keys &&
                HIWORD(w) == CBN_SELCHANGE) {
                onSelection(id - IDC_KEY_COMBO_FIRST);
                return true;
            }
            return false;
        }
        case WM_DRAWITEM: {
            const auto& di = *reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            if (di.CtlID != IDC_KEY_PICTURE) return false;
            drawDevicePicture(di, kKeyLayoutPicture, true);
            result = TRUE;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace scribo::win
