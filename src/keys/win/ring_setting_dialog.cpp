#include "keys/win/ring_setting_dialog.h"

#include "platform/wide.h"
#include "resource.h"

namespace scribo::win {
namespace {

bool down(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

}  // namespace

bool CDlgSetWheel::preTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    RingKeystroke* target = nullptr;
    int edit = 0;
    if (msg.hwnd == item(IDC_SETTING_KL)) {
        target = &result_.left;
        edit = IDC_SETTING_KL;
    } else if (msg.hwnd == item(IDC_SETTING_KR)) {
        target = &result_.right;
        edit = IDC_SETTING_KR;
    } else {
        return false;
    }
    wchar_t name[64] = {};
    GetKeyNameTextW(static_cast<LONG>(msg.lParam), name, static_cast<int>(std::size(name)));
    *target = ringKeystroke(down(VK_CONTROL), down(VK_SHIFT), down(VK_MENU),
                            static_cast<uint16_t>(msg.wParam), static_cast<uint32_t>(msg.lParam),
                            platform::toU16(name));
    setText(edit, target->text);
    // Escape and Enter are keystrokes here, not the dialog's Cancel and OK.
    return msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN;
}

bool CDlgSetWheel::handleMessage(UINT msg, WPARAM w, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            result_ = {};
            setText(IDC_SETTING_INFO,
                    lang_.readText(u"Dialog_UserSet", u"UserSet.KeyBoardInfo", u"KeyBoardInfo"));
            setText(IDOK, lang_.readText(u"Dialog_Main", u"Main.OK", u"OK"));
            setText(IDCANCEL, lang_.readText(u"Dialog_Main", u"Main.Cancel", u"Cannel"));
            result = TRUE;
            return true;
        case WM_COMMAND:
            if (LOWORD(w) == IDOK) {
                result_.name = itemText(IDC_SETTING_NAME);
                endDialog(IDOK);
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace scribo::win
