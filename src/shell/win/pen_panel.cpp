#include "shell/win/pen_panel.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>

#include "keys/descriptors.h"
#include "keys/win/hotkeys_dialog.h"
#include "platform/file_dialog.h"
#include "platform/message_loop.h"
#include "platform/wide.h"
#include "resource.h"
#include "shell/device_defaults.h"

using namespace scribo;
using platform::toWide;

namespace {

constexpr int kPenFunctionCount = 6;

}  // namespace

void PenPanel::fillTexts() {
    for (int combo : {IDC_PEN_BUTTON_UPPER, IDC_PEN_BUTTON_LOWER}) {
        SendDlgItemMessageW(dialog_, combo, CB_RESETCONTENT, 0, 0);
        for (int k = 1; k <= kPenFunctionCount; ++k) {
            const std::u16string key = u"Main.PenSetting." + std::u16string(1, char16_t(u'0' + k));
            const std::wstring text = toWide(language_.readText(u"Dialog_Main", key, u""));
            SendDlgItemMessageW(dialog_, combo, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
    SendDlgItemMessageW(dialog_, IDC_PEN_BUTTON_UPPER, CB_SETCURSEL, kDefaultUpperPenButton, 0);
    SendDlgItemMessageW(dialog_, IDC_PEN_BUTTON_LOWER, CB_SETCURSEL, kDefaultLowerPenButton, 0);
}

void PenPanel::initTrackbar() {
    SendDlgItemMessageW(dialog_, IDC_SPEED, TBM_SETRANGE, TRUE,
                        MAKELPARAM(kMouseSpeedSlowest, kMouseSpeedFastest));
    SendDlgItemMessageW(dialog_, IDC_SPEED, TBM_SETTICFREQ, 1, 0);
}

void PenPanel::load(const DeviceRecord& rec) {
    SendDlgItemMessageW(dialog_, IDC_PEN_BUTTON_LOWER, CB_SETCURSEL,
                        static_cast<WPARAM>(rec.penButton1Index), 0);
    SendDlgItemMessageW(dialog_, IDC_PEN_BUTTON_UPPER, CB_SETCURSEL,
                        static_cast<WPARAM>(rec.penButton2Index), 0);
    const std::u16string lower = describeFunction(readField(rec.penButton1Descriptor), language_);
    const std::u16string upper = describeFunction(readField(rec.penButton2Descriptor), language_);
    SetDlgItemTextW(dialog_, IDC_PEN_LOWER_CUSTOM, toWide(lower).c_str());
    SetDlgItemTextW(dialog_, IDC_PEN_UPPER_CUSTOM, toWide(upper).c_str());

    const bool relative = rec.mouseMode != 0;
    CheckRadioButton(dialog_, IDC_ABSOLUTE, IDC_RELATIVE, relative ? IDC_RELATIVE : IDC_ABSOLUTE);
    CheckDlgButton(dialog_, IDC_WINDOWS_INK, rec.windowsInk != 0 ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageW(dialog_, IDC_SPEED, TBM_SETPOS, TRUE, rec.mouseSpeed);
}

bool PenPanel::onCommand(int id, int code, DeviceRecord* rec) {
    switch (id) {
        case IDC_ABSOLUTE:
        case IDC_RELATIVE: {
            if (code != BN_CLICKED) return true;
            const bool relative = IsDlgButtonChecked(dialog_, IDC_RELATIVE) == BST_CHECKED;
            if (rec != nullptr) {
                rec->mouseMode = relative ? 1 : 0;
                // Relative positioning and Windows Ink do not go together; switching back to
                // absolute leaves Ink as the user last set it.
                if (relative) setWindowsInk(false, rec);
            }
            return true;
        }
        case IDC_PEN_BUTTON_LOWER:
        case IDC_PEN_BUTTON_UPPER: {
            if (code != CBN_SELCHANGE) return true;
            const int k = static_cast<int>(SendDlgItemMessageW(dialog_, id, CB_GETCURSEL, 0, 0));
            if (rec != nullptr && k >= 0 && k < kPenFunctionCount)
                assignButton(id == IDC_PEN_BUTTON_LOWER ? 1 : 2, k, *rec);
            return true;
        }
        case IDC_WINDOWS_INK:
            if (code == BN_CLICKED && rec != nullptr) {
                const int32_t on =
                    IsDlgButtonChecked(dialog_, IDC_WINDOWS_INK) == BST_CHECKED ? 1 : 0;
                writeLocked(lock_, [&] { rec->windowsInk = on; });
            }
            return true;
        default:
            return false;
    }
}

std::optional<std::u16string> PenPanel::chooseProgram() {
    platform::FileDialogOptions options;
    options.owner = dialog_;
    options.filter = L"Describe Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0";
    options.flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    return platform::chooseFileToOpen(options);  // a path too long is refused later
}

void PenPanel::assignButton(int button, int k, DeviceRecord& rec) {
    const int labelId = button == 1 ? IDC_PEN_LOWER_CUSTOM : IDC_PEN_UPPER_CUSTOM;
    wchar_t shown[kDescriptorUnits] = {};
    GetDlgItemTextW(dialog_, labelId, shown, kDescriptorUnits);

    // The user chooses first, with the block free; the choice is then written in one go.
    if (assigning_) return;
    pending_ = bindCurrent_ ? bindCurrent_() : scribo::DeviceBinding();
    if (pending_.record() != &rec) return;
    std::optional<std::u16string> program;
    std::optional<HotKeyResult> hotKeys;
    assigning_ = true;
    pendingLevel_ = platform::message_loop::modalDepth();
    if (k == 4) {
        program = chooseProgram();
    } else if (k == 5) {
        const auto instance =
            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog_, GWLP_HINSTANCE));
        hotKeys = win::runHotKeys(instance, dialog_, language_, rec.hasRing, rec.hasTrackPad,
                                  rec.ringCount);
    }
    assigning_ = false;
    // Service messages are handled while the chooser or the dialog is open: when a device came
    // or went, or the service reloaded, meanwhile, the binding is stale and the choice is dropped
    // rather than written into a record that may no longer be this device's.
    if (pending_.record() != &rec) return;
    pending_.release();
    const FunctionDialogs answered{[&] { return program; },
                                   [&](int32_t, int32_t, int32_t) { return hotKeys; }};
    // Index and descriptor together under the lock: the service never sees a new index with the
    // old descriptor, nor a descriptor half written.
    AssignOutcome outcome;
    writeLocked(lock_, [&] {
        outcome = assignPenButton(rec, button, k, platform::toU16(shown), answered, language_);
    });
    SetDlgItemTextW(dialog_, labelId, toWide(outcome.label).c_str());
    if (outcome.refused) {
        // Told rather than dropped silently: the choice does not fit the button's field.
        wchar_t caption[256] = {};
        GetWindowTextW(dialog_, caption, static_cast<int>(std::size(caption)));
        MessageBoxW(dialog_, toWide(refusedChoiceText(language_)).c_str(), caption,
                    MB_OK | MB_ICONWARNING);
    }
}

void PenPanel::cancelPending() {
    if (!assigning_) return;
    pending_.release();
    platform::message_loop::endModalsFrom(pendingLevel_, IDCANCEL);
}

bool PenPanel::onHScroll(HWND bar, DeviceRecord* rec) {
    if (bar != item(IDC_SPEED)) return false;
    const auto pos = static_cast<int32_t>(SendMessageW(bar, TBM_GETPOS, 0, 0));
    if (rec != nullptr && pos >= kMouseSpeedSlowest && pos <= kMouseSpeedFastest)
        rec->mouseSpeed = pos;
    return true;
}

void PenPanel::setWindowsInk(bool on, DeviceRecord* rec) {
    CheckDlgButton(dialog_, IDC_WINDOWS_INK, on ? BST_CHECKED : BST_UNCHECKED);
    if (rec != nullptr) writeLocked(lock_, [&] { rec->windowsInk = on ? 1 : 0; });
}

void PenPanel::showDefaults() {
    SendDlgItemMessageW(dialog_, IDC_PEN_BUTTON_LOWER, CB_SETCURSEL, kDefaultLowerPenButton, 0);
    SendDlgItemMessageW(dialog_, IDC_PEN_BUTTON_UPPER, CB_SETCURSEL, kDefaultUpperPenButton, 0);
    SetDlgItemTextW(dialog_, IDC_PEN_LOWER_CUSTOM, L"");
    SetDlgItemTextW(dialog_, IDC_PEN_UPPER_CUSTOM, L"");
    CheckDlgButton(dialog_, IDC_WINDOWS_INK, BST_CHECKED);
    CheckRadioButton(dialog_, IDC_ABSOLUTE, IDC_RELATIVE, IDC_ABSOLUTE);
    SendDlgItemMessageW(dialog_, IDC_SPEED, TBM_SETPOS, TRUE, kDefaultMouseSpeed);
}
