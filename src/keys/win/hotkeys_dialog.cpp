#include "keys/win/hotkeys_dialog.h"

#include <string>

#include "platform/wide.h"
#include "resource.h"

namespace scribo::win {

namespace {

// Option controls by function number.
constexpr int kOptionIds[] = {
    IDC_HK_OPTION_00, IDC_HK_OPTION_01, IDC_HK_OPTION_02, IDC_HK_OPTION_03, IDC_HK_OPTION_04,
    IDC_HK_OPTION_05, IDC_HK_OPTION_06, IDC_HK_OPTION_07, IDC_HK_OPTION_08, IDC_HK_OPTION_09,
    IDC_HK_OPTION_10, IDC_HK_OPTION_11, IDC_HK_OPTION_12, IDC_HK_OPTION_13, IDC_HK_OPTION_14};
constexpr int kOptionCount = static_cast<int>(sizeof kOptionIds / sizeof kOptionIds[0]);
constexpr int kOptionSwitchGroup = 12, kOptionSwitchGroup2 = 13, kOptionTrackPad = 14;

struct ModifierBox {
    int id;
    uint16_t flag;
};
constexpr ModifierBox kModifierBoxes[] = {{IDC_HK_CTRL, kModCtrl},
                                          {IDC_HK_ALT, kModAlt},
                                          {IDC_HK_SHIFT, kModShift},
                                          {IDC_HK_WIN, kModWin}};

constexpr int kKeyNameBuffer = 40;  // 39 characters and the terminator

std::u16string keyName(LPARAM l) {
    wchar_t name[kKeyNameBuffer] = {};
    const int n = GetKeyNameTextW(static_cast<LONG>(l), name, kKeyNameBuffer);
    return platform::toU16(std::wstring_view(name, n > 0 ? static_cast<size_t>(n) : 0));
}

std::u16string indexKey(int n) {
    std::u16string key = u"UserSet.Index.";
    key += static_cast<char16_t>(u'0' + n / 10);
    key += static_cast<char16_t>(u'0' + n % 10);
    return key;
}

}  // namespace

std::optional<HotKeyResult> CDlgHotKeys::run(HINSTANCE instance, HWND owner) {
    result_.reset();
    capture_ = HotKeyCapture{};
    if (runModal(instance, IDD_HOTKEYS, owner) != IDOK) return std::nullopt;
    return result_;
}

void CDlgHotKeys::onInit() {
    const auto user = [&](std::u16string_view key, std::u16string_view fallback) {
        return language_.readText(u"Dialog_UserSet", key, fallback);
    };
    SetWindowTextW(hwnd(), platform::toWide(user(u"UserSet.HotKey", u"HotKey")).c_str());
    if (HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN))) {
        SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }
    setText(IDC_HK_GROUP_MOUSE, user(u"UserSet.Mouse", u"Mouse"));
    setText(IDC_HK_GROUP_OTHER, user(u"UserSet.Other", u"Other"));
    setText(IDC_HK_CLEAR, user(u"UserSet.Clear", u"Clear"));
    setText(IDC_HK_MAX_HINT, user(u"UserSet.MaxString", u"MaxString"));
    for (int n = 0; n < kOptionTrackPad; ++n) {
        const std::u16string key = indexKey(n);
        setText(kOptionIds[n], user(key, key.substr(8)));  // default "Index.07"
    }
    setText(kOptionIds[kOptionTrackPad],
            language_.readText(u"Dialog_QuickSet", u"QuickSet.BtnSetListItem.32",
                               u"TrackPad Mode Switch"));
    setText(IDOK, language_.readText(u"Dialog_Main", u"Main.OK", u"OK"));
    setText(IDCANCEL, language_.readText(u"Dialog_Main", u"Main.Cancel", u"Cannel"));

    const HotKeyOptionVisibility shown = hotKeyOptionsShown(hasRing_, ringCount_, hasTrackPad_);
    show(kOptionIds[kOptionSwitchGroup], shown.switchGroup);
    show(kOptionIds[kOptionSwitchGroup2], shown.switchGroup2);
    show(kOptionIds[kOptionTrackPad], shown.trackPadMode);
    CheckRadioButton(hwnd(), IDC_HK_OPTION_00, IDC_HK_OPTION_14, IDC_HK_OPTION_00);
    capture_.selectOption(0);
    for (const ModifierBox& b : kModifierBoxes) enable(b.id, false);
    showEditText();
}

int CDlgHotKeys::checkedOption() const {
    for (int n = 0; n < kOptionCount; ++n)
        if (IsDlgButtonChecked(hwnd(), kOptionIds[n]) == BST_CHECKED) return n;
    return capture_.option();
}

void CDlgHotKeys::onOptionClicked() {
    capture_.selectOption(checkedOption());
    // Ticks stay as they are while the boxes are disabled.
    for (const ModifierBox& b : kModifierBoxes) enable(b.id, capture_.modifiersEnabled());
}

void CDlgHotKeys::onModifierClicked(int id) {
    for (const ModifierBox& b : kModifierBoxes)
        if (b.id == id) capture_.setModifier(b.flag, IsDlgButtonChecked(hwnd(), id) == BST_CHECKED);
    showEditText();
}

void CDlgHotKeys::showEditText() { setText(IDC_HK_EDIT, capture_.editText()); }

bool CDlgHotKeys::preTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (!capture_.modifiersEnabled()) return false;  // recording only under keyboard functions
    const std::size_t before = capture_.keys().size();
    const bool consume = capture_.keyDown(static_cast<uint16_t>(LOWORD(msg.wParam)),
                                          static_cast<uint32_t>(msg.lParam), keyName(msg.lParam));
    if (capture_.keys().size() != before) showEditText();
    return consume;
}

bool CDlgHotKeys::handleMessage(UINT msg, WPARAM w, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            onInit();
            result = TRUE;
            return true;
        case WM_HELP:
            return true;  // no help for this dialog
        case WM_COMMAND: {
            const int id = LOWORD(w);
            const int code = HIWORD(w);
            if (id == IDOK) {
                capture_.selectOption(checkedOption());
                // The recorded keys belong to keyboard functions only; any other option
                // returns its number alone.
                if (capture_.modifiersEnabled()) {
                    result_ = capture_.confirm();
                } else {
                    result_ = HotKeyResult{};
                    result_->option = capture_.option();
                }
                endDialog(IDOK);
                return true;
            }
            if (id == IDC_HK_CLEAR) {
                capture_.clear();
                showEditText();
                return true;
            }
            if (code != BN_CLICKED) return false;
            for (int n = 0; n < kOptionCount; ++n)
                if (kOptionIds[n] == id) {
                    onOptionClicked();
                    return true;
                }
            for (const ModifierBox& b : kModifierBoxes)
                if (b.id == id) {
                    onModifierClicked(id);
                    return true;
                }
            return false;
        }
        default:
            return false;
    }
}

std::optional<HotKeyResult> runHotKeys(HINSTANCE instance, HWND owner, const TIniFile& language,
                                       int32_t hasRing, int32_t hasTrackPad, int32_t ringCount) {
    CDlgHotKeys dialog(language, hasRing, hasTrackPad, ringCount);
    return dialog.run(instance, owner);
}

}  // namespace scribo::win
