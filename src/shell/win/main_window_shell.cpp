// The main window towards the user's desktop: its texts, showing and hiding, the
// notification-area icon's menu and the owner-drawn pictures.
#include <ctime>

#include "build_info.h"
#include "config/service_protocol.h"
#include "platform/dpi.h"
#include "platform/handles.h"
#include "platform/shell.h"
#include "platform/wide.h"
#include "resource.h"
#include "shell/picture_ids.h"
#include "shell/win/main_window.h"

using namespace scribo;
using platform::toWide;

namespace {

struct ControlText {
    int id;
    const char16_t* key;
    const char16_t* fallback;  // nullptr = the key itself
};

// Texts of the main window's controls, section "Dialog_Main".
const ControlText kControlTexts[] = {
    {IDC_GROUP_PEN, u"Main.PenSetting", nullptr},
    {IDC_GROUP_PRESSURE, u"Main.PressAdjust", nullptr},
    {IDC_GROUP_SCREEN_MAP, u"Main.ScreenMap", nullptr},
    {IDC_GROUP_MOUSE_MODE, u"Main.MouseMode", u"MouseMode"},
    {IDC_ABSOLUTE, u"Main.AbsoluteCoords", u"AbsoluteCoords"},
    {IDC_RELATIVE, u"Main.RelativeCoords", u"RelativeCoords"},
    {IDC_SLOW, u"Main.Slow", u"Slow"},
    {IDC_FAST, u"Main.Fast", u"Fast"},
    {IDC_SOFT, u"Main.Soft", u"Soft"},
    {IDC_HARD, u"Main.Hard", u"Hard"},
    {IDC_AXIS_OUTPUT, u"Main.OutPut", u"OutPut"},
    {IDC_AXIS_PRESS, u"Main.Press", u"Press"},
    {IDC_PRESSURE_LABEL, u"Main.CurrentPressure", u"CurrentPressure"},
    {IDC_CURVE_DEFAULT, u"Main.RestoreDefault", nullptr},
    {IDC_FULL_AREA, u"Main.FullArea", u"FullArea"},
    {IDC_SCREEN_PORTION, u"Main.ScreenPortion", u"ScreenPortion"},
    {IDC_WORK_AREA_LABEL, u"Main.WorkArea", nullptr},
    {IDC_SET_SCREEN_AREA, u"Main.SetScreenArea", u"SetScreenArea"},
    {IDC_SET_WORK_AREA, u"Main.SetWorkArea", u"SetWorkArea"},
    {IDC_CALIBRATE, u"Main.Calibrate", u"Calibrate"},
    {IDC_DISPLAY_SETTING, u"Main.DisplaySetting", u"DisplaySetting"},
    {IDC_QUICK_SETTING, u"Main.QuickSetting", nullptr},
    {IDC_EXPORT, u"Main.ExportConfig", u"ExportConfig"},
    {IDC_IMPORT, u"Main.ImportConfig", u"ImportConfig"},
    {IDC_RESTORE_DEFAULT, u"Main.RestoreDefault", nullptr},
    {IDC_UPDATE_IMAGE, u"Main.UpdataImage", nullptr},
    {IDOK, u"Main.OK", nullptr},
    {IDCANCEL, u"Main.Cancel", nullptr},
    {IDC_NEW_VERSION_TEXT, u"Main.NewVersionInfo", nullptr},
};

}  // namespace

void CQX_ScriboDlg::setAllTexts() {
    fillDeviceCombo();
    pen_->fillTexts();
    SendDlgItemMessageW(hwnd(), IDC_MONITOR_LIST, CB_SETCURSEL, 1, 0);
    for (const ControlText& t : kControlTexts)
        setText(t.id, text(t.key, t.fallback != nullptr ? t.fallback : t.key));
    setText(IDC_REMOTE, text(u"QuickSet.RX20", u"RX20", u"Dialog_QuickSet"));
    setText(IDC_NOTICE, common_->copyRight());
    char year[8] = {};
    const std::time_t now = std::time(nullptr);
    std::strftime(year, sizeof year, "%Y", std::localtime(&now));
    setText(IDC_YEAR, std::u16string(year, year + std::char_traits<char>::length(year)));
    setText(IDC_VERSION, u"Ver:" SCRIBO_VERSION u"(Build:" SCRIBO_BUILD_ID u")");
    CheckDlgButton(hwnd(), IDC_WINDOWS_INK, BST_CHECKED);
}

// The taskbar gives a button to every window shown without the tool-window style, at the moment
// it is shown: deleting the tab before the first show does not last. So while it is collapsed
// the window is a tool window and never gets a button; showPanel gives it back its own style
// and its button.
void CQX_ScriboDlg::collapse() {
    const LONG_PTR ex = GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, (ex & ~LONG_PTR{WS_EX_APPWINDOW}) | WS_EX_TOOLWINDOW);
    SetWindowPos(hwnd(), nullptr, restoreRect_.left, restoreRect_.top, 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    platform::setTaskbarButton(hwnd(), false);
}

void CQX_ScriboDlg::showPanel() {
    loadCurrentIfAppeared();
    if (devices_ && devices_->deviceKindMask() == kKindMaskRemote) {
        showRemoteWindow(false);
        return;
    }
    // The picture of the monitor as it is now, taken before the window covers any of it.
    if (mapping_) mapping_->refreshThumbnail();
    const LONG_PTR ex = GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
    UINT frame = 0;
    if ((ex & WS_EX_TOOLWINDOW) != 0) {
        SetWindowLongPtrW(hwnd(), GWL_EXSTYLE,
                          (ex & ~LONG_PTR{WS_EX_TOOLWINDOW}) | WS_EX_APPWINDOW);
        frame = SWP_FRAMECHANGED;
    }
    SetWindowPos(hwnd(), HWND_TOP, restoreRect_.left, restoreRect_.top,
                 restoreRect_.right - restoreRect_.left, restoreRect_.bottom - restoreRect_.top,
                 frame);
    SetForegroundWindow(hwnd());
    platform::setTaskbarButton(hwnd(), true);
    ShowWindow(hwnd(), SW_SHOWNORMAL);
}

void CQX_ScriboDlg::hideToTray() {
    platform::setTaskbarButton(hwnd(), false);
    ShowWindow(hwnd(), SW_HIDE);
}

void CQX_ScriboDlg::showTrayMenu() {
    platform::UniqueMenu menu(LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu.get(), 0);
    const ControlText items[] = {{0, u"Menu.OpenDocument", u"OpenDocument"},
                                 {1, u"Menu.Restore", u"Restore"},
                                 {2, u"Menu.Exit", u"Exit"}};
    for (const auto& it : items) {
        const std::wstring label = toWide(text(it.key, it.fallback, u"MENU"));
        ModifyMenuW(popup, static_cast<UINT>(it.id), MF_BYPOSITION | MF_STRING,
                    GetMenuItemID(popup, it.id), label.c_str());
    }
    POINT pt{};
    GetCursorPos(&pt);
    SetForegroundWindow(hwnd());
    const UINT cmd =
        TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, pt.x, pt.y, 0, hwnd(), nullptr);
    PostMessageW(hwnd(), WM_NULL, 0, 0);
    menu.reset();
    switch (cmd) {
        case ID_MENU_RESTORE:
            showPanel();
            break;
        case ID_MENU_EXIT:
            closePanel();
            endPanel(IDCANCEL);
            break;
        case ID_MENU_OPEN_DOCUMENT:
            ShellExecuteW(nullptr, L"open", toWide(platform::programDirectory()).c_str(), nullptr,
                          nullptr, SW_SHOW);
            break;
        default:
            break;
    }
}

void CQX_ScriboDlg::openWebsite() {
    const std::u16string site = text(u"Main.Website", u"");
    if (site.empty()) return;
    const std::wstring params = L"url.dll,FileProtocolHandler " + toWide(site);
    ShellExecuteW(nullptr, L"open", L"rundll32.exe", params.c_str(), nullptr, SW_SHOWNORMAL);
}

void CQX_ScriboDlg::onTray(LPARAM mouseMessage) {
    if (mouseMessage == kTrayLeftButtonDown)
        showPanel();
    else if (mouseMessage == kTrayRightButtonUp)
        showTrayMenu();
}

void CQX_ScriboDlg::onDrawItem(const DRAWITEMSTRUCT& di) {
    const int dpi = platform::dpiOf(hwnd());
    switch (di.CtlID) {
        case IDC_PEN_PICTURE: {
            const DeviceRecord* rec = current();
            platform::drawPictureInControl(
                di, pictures_.forDpi(penPictureId(rec ? rec->penModel : 0), dpi), true);
            break;
        }
        case IDC_LOGO:
            platform::drawPictureInControl(
                di, pictures_.forDpi(common_ ? common_->logoId() : 0, dpi), true);
            break;
        case IDC_PRESSURE_BAR:
            if (pressure_) pressure_->drawBar(di.hDC, di.rcItem);
            break;
        case IDC_CURVE_BOX:
            if (pressure_) pressure_->draw(di.hDC, di.rcItem);
            break;
        case IDC_TABLET_PICTURE:
            break;  // drawn with the mapping area when the main window paints
        case IDC_NEW_VERSION_PICTURE:
            platform::drawPictureInControl(di, pictures_.forDpi(kNewVersionPicture, dpi), false);
            break;
        default:
            FillRect(di.hDC, &di.rcItem, GetSysColorBrush(COLOR_BTNFACE));
            break;
    }
}
