#include "shell/win/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <ctime>

#include "build_info.h"
#include "config/block_access.h"
#include "config/win/config_store.h"
#include "config/win/config_transfer.h"
#include "platform/wide.h"
#include "resource.h"
#include "config/service_protocol.h"
#include "shell/win/service_link.h"

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

constexpr int kPenSettingCount = 6;

bool isXpMode() {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&v);
#pragma GCC diagnostic pop
    return v.dwMajorVersion == 5;
}

}  // namespace

CQX_ScriboDlg::CQX_ScriboDlg(HINSTANCE instance) : instance_(instance) {
    mainIcon_ = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAIN));
    altIcon_ = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TRAY_ALT));
    xpMode_ = isXpMode();
    const std::u16string dir = platform::programDirectory();
    configPath_ = platform::configurationFilePath();
    if (!pictures_.load((toWide(dir) + L"\\ResDLL.dll").c_str()))
        MessageBoxW(nullptr, L" Can not find ResDLL\xFF01", L"Scribo", MB_OK);
    areaEvent_.reset(OpenEventW(EVENT_ALL_ACCESS, FALSE, platform::wz(kSetAreaEventName)));
}

CQX_ScriboDlg::~CQX_ScriboDlg() = default;

INT_PTR CQX_ScriboDlg::run() { return runModal(instance_, IDD_MAIN, nullptr); }

std::u16string CQX_ScriboDlg::text(std::u16string_view key, std::u16string_view fallback,
                                   std::u16string_view section) const {
    if (!language_) return std::u16string(fallback);
    return language_->readText(section, key, fallback);
}

bool CQX_ScriboDlg::onInitDialog() {
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(mainIcon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(mainIcon_));
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");

    switch (link_.attach()) {
        case AttachResult::NotReady:
            EndDialog(hwnd(), 2);
            return true;
        case AttachResult::MissingBlock:
            PostMessageW(hwnd(), WM_CLOSE, 0, 0);
            EndDialog(hwnd(), 0);
            return true;
        case AttachResult::Attached:
            break;
    }
    tray_.configure(hwnd(), WM_PANEL_TRAY, L"Scribo");

    const std::u16string dir = platform::programDirectory();
    languageFiles_ = chooseLanguageFiles(GetUserDefaultUILanguage(), dir);
    language_ = std::make_unique<TIniFile>(profiles_, languageFiles_.languageFile);
    store_ = std::make_unique<platform::ConfigStore>(configPath_, *language_, hwnd());
    transfer_ = std::make_unique<platform::ConfigTransfer>(configPath_, hwnd(), store_.get());
    common_ = std::make_unique<CommonFile>(profiles_, languageFiles_.commonFile);
    const int monitors = GetSystemMetrics(SM_CMONITORS);
    systemMonitorCount_ = monitors > 0 ? monitors : 1;
    // The monitor list of the mapping panel is filled here once the mapping panel exists.

    devices_ = std::make_unique<DeviceList>(
        *link_.block(), [this](std::u16string_view id) { return common_->modelDisplayName(id); });
    if (devices_->scanDevices() <= 0) {
        MessageBoxW(hwnd(), toWide(text(u"Main.MsgNotConnect", u"MsgNotConnect")).c_str(),
                    L"Warning", MB_OK);
        PostMessageW(hwnd(), WM_CLOSE, 0, 0);
        EndDialog(hwnd(), 0);
        return true;
    }
    tray_.add(mainIcon_);
    setAllTexts();
    // The info window and the precision indicator are created here once they exist.
    finishInitialisation();
    collapse();
    return true;
}

void CQX_ScriboDlg::setAllTexts() {
    fillDeviceCombo();
    for (int combo : {IDC_PEN_BUTTON_UPPER, IDC_PEN_BUTTON_LOWER}) {
        SendDlgItemMessageW(hwnd(), combo, CB_RESETCONTENT, 0, 0);
        for (int k = 1; k <= kPenSettingCount; ++k) {
            const std::u16string key = u"Main.PenSetting." + std::u16string(1, char16_t(u'0' + k));
            SendDlgItemMessageW(hwnd(), combo, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(toWide(text(key, u"")).c_str()));
        }
    }
    SendDlgItemMessageW(hwnd(), IDC_PEN_BUTTON_UPPER, CB_SETCURSEL, 3, 0);
    SendDlgItemMessageW(hwnd(), IDC_PEN_BUTTON_LOWER, CB_SETCURSEL, 1, 0);
    SendDlgItemMessageW(hwnd(), IDC_MONITOR_LIST, CB_SETCURSEL, 1, 0);
    for (const ControlText& t : kControlTexts)
        setText(t.id, text(t.key, t.fallback != nullptr ? t.fallback : t.key));
    setText(IDC_REMOTE, text(u"QuickSet.RX20", u"RX20", u"Dialog_QuickSet"));
    setText(IDC_NOTICE, common_->copyRight());
    char year[8] = {};
    const std::time_t now = std::time(nullptr);
    std::strftime(year, sizeof year, "%Y", std::localtime(&now));
    setText(IDC_YEAR, std::u16string(year, year + std::char_traits<char>::length(year)));
    setText(IDC_VERSION, u"Ver:1.6.4(Build:" SCRIBO_BUILD_ID u")");
    CheckDlgButton(hwnd(), IDC_WINDOWS_INK, windowsInkChecked_ ? BST_CHECKED : BST_UNCHECKED);
}

void CQX_ScriboDlg::fillDeviceCombo() {
    devices_->rebuildDeviceCombo();
    HWND combo = item(IDC_DEVICE_LIST);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& name : devices_->comboTexts())
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(name).c_str()));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

void CQX_ScriboDlg::finishInitialisation() {
    GetWindowRect(hwnd(), &restoreRect_);
    // The pressure curve's home positions and the pressure context are set up here once the
    // pressure panel exists; the mapping panel remembers its repaint area (control 1263).
    const int selection = static_cast<int>(SendDlgItemMessageW(hwnd(), IDC_DEVICE_LIST, CB_GETCURSEL, 0, 0));
    devices_->selectCurrentFromCombo(selection);
    for (int bar : {IDC_HARDNESS, IDC_SPEED}) {
        SendDlgItemMessageW(hwnd(), bar, TBM_SETRANGE, TRUE, MAKELPARAM(1, 9));
        SendDlgItemMessageW(hwnd(), bar, TBM_SETTICFREQ, 1, 0);
    }
    // The remote's window is created here (hidden) once it exists.
    if ((devices_->deviceKindMask() & 1) != 0) loadDeviceIntoPanel();
}

void CQX_ScriboDlg::loadDeviceIntoPanel() {
    const DeviceRecord* rec = devices_->currentRecord();
    if (rec == nullptr) return;  // an entry whose slot is not filled is never loaded
    // Mapping values and previews, pen buttons, mouse mode, speed, Windows Ink, the pressure
    // trackbar and the rotation radio are loaded here by their panels.
    show(IDC_REMOTE, (devices_->deviceKindMask() & 2) != 0);
    const bool oneButtonPen = rec->penModel == 1 || rec->penModel == 2;
    show(IDC_PEN_BUTTON_UPPER, !oneButtonPen);
    show(IDC_PEN_UPPER_CUSTOM, !oneButtonPen);

    static const int kTabletOnly[] = {IDC_SET_SCREEN_AREA, IDC_ROTATE_180, IDC_ROTATE_0,
                                      IDC_ROTATE_90, IDC_ROTATE_270, IDC_FULL_AREA,
                                      IDC_SCREEN_PORTION, IDC_SET_WORK_AREA};
    if (rec->deviceKind == 1) {  // pen display
        for (int id = IDC_TABLET_X; id <= IDC_TABLET_H; ++id) enable(id, false);
        for (int id : kTabletOnly) show(id, false);
        show(IDC_DISPLAY_SETTING, !xpMode_);
        show(IDC_QUICK_SETTING, rec->hasExpressKeys == 1);
        show(IDC_CALIBRATE, true);
    } else if (rec->deviceKind == 0) {  // pen tablet
        show(IDC_DISPLAY_SETTING, false);
        show(IDC_CALIBRATE, false);
        for (int id : kTabletOnly) show(id, true);
        for (int id = IDC_TABLET_X; id <= IDC_TABLET_H; ++id) enable(id, true);
        if (rec->hasExpressKeys == 1 || rec->hasRing == 1)
            show(IDC_QUICK_SETTING, true);
        else if (rec->hasExpressKeys == 0 && rec->hasRing == 0)
            show(IDC_QUICK_SETTING, false);
    }
    InvalidateRect(item(IDC_PEN_PICTURE), nullptr, TRUE);
    InvalidateRect(hwnd(), nullptr, TRUE);
    UpdateWindow(hwnd());
}

void CQX_ScriboDlg::applyActions(const PanelActions& a) {
    if (a.rebuildCombo) {
        HWND combo = item(IDC_DEVICE_LIST);
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        for (const auto& name : devices_->comboTexts())
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(name).c_str()));
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
    }
    if (a.closeRemoteWindow) show(IDC_REMOTE, false);
    if (a.loadCurrent) loadDeviceIntoPanel();
    if (a.showWindow) ShowWindow(hwnd(), SW_SHOWNORMAL);
    if (a.hideWindow) ShowWindow(hwnd(), SW_HIDE);
}

void CQX_ScriboDlg::onDeviceArrived(unsigned productId) {
    applyActions(devices_->onDeviceArrived(productId));
}

void CQX_ScriboDlg::onDeviceRemoved(unsigned productId) {
    applyActions(devices_->onDeviceRemoved(productId));
}

void CQX_ScriboDlg::onWindowsInk(WPARAM state) {
    CheckDlgButton(hwnd(), IDC_WINDOWS_INK, state != 0 ? BST_CHECKED : BST_UNCHECKED);
    DeviceRecord* rec = devices_ ? devices_->currentRecord() : nullptr;
    if (rec == nullptr) return;
    writeLocked(link_.lock(), [&] { rec->windowsInk = static_cast<int32_t>(state); });
}

void CQX_ScriboDlg::onTrayIconChoice(LPARAM choice) {
    if (choice == 1)
        tray_.change(altIcon_);
    else if (choice == 2)
        tray_.change(mainIcon_);
}

void CQX_ScriboDlg::collapse() {
    SetWindowPos(hwnd(), nullptr, restoreRect_.left, restoreRect_.top, 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    platform::setTaskbarButton(hwnd(), false);
}

void CQX_ScriboDlg::showPanel() {
    if (devices_ && devices_->deviceKindMask() == 2) {
        showRemoteWindow();
        return;
    }
    // The mapping panel refreshes its screen picture here once it exists.
    SetWindowPos(hwnd(), HWND_TOP, restoreRect_.left, restoreRect_.top,
                 restoreRect_.right - restoreRect_.left, restoreRect_.bottom - restoreRect_.top, 0);
    SetForegroundWindow(hwnd());
    platform::setTaskbarButton(hwnd(), true);
    ShowWindow(hwnd(), SW_SHOWNORMAL);
}

void CQX_ScriboDlg::showRemoteWindow() {
    // The remote's own window (express keys of "PID_0A31") is shown here once it exists.
}

void CQX_ScriboDlg::hideToTray() {
    platform::setTaskbarButton(hwnd(), false);
    ShowWindow(hwnd(), SW_HIDE);
}

void CQX_ScriboDlg::closePanel() {
    // The pressure context, the secondary dialogs, the calibration window and the
    // area-selection overlay are closed here by their owners.
}

void CQX_ScriboDlg::saveAllDevices() {
    if (store_ && devices_) store_->saveAllDevices(*link_.block(), devices_->deviceIds());
}

void CQX_ScriboDlg::exportConfiguration() {
    if (transfer_) transfer_->exportConfig();
}

void CQX_ScriboDlg::importConfiguration() {
    if (transfer_) transfer_->importConfig();
}

void CQX_ScriboDlg::startPenPositioning() {
    // The service lets the user place the pen, writes the area and answers with 0x41F. The
    // on-screen prompt is shown by the info window once it exists.
    if (areaEvent_) SetEvent(areaEvent_.get());
}

void CQX_ScriboDlg::showTrayMenu() {
    HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_TRAY_MENU));
    if (menu == nullptr) return;
    HMENU popup = GetSubMenu(menu, 0);
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
    const UINT cmd = TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, pt.x, pt.y, 0, hwnd(), nullptr);
    PostMessageW(hwnd(), WM_NULL, 0, 0);
    DestroyMenu(menu);
    switch (cmd) {
        case ID_MENU_RESTORE:
            showPanel();
            break;
        case ID_MENU_EXIT:
            closePanel();
            EndDialog(hwnd(), IDCANCEL);
            break;
        case ID_MENU_OPEN_DOCUMENT:
            ShellExecuteW(nullptr, L"open", toWide(platform::programDirectory()).c_str(), nullptr,
                          nullptr, SW_SHOWNORMAL);
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

void CQX_ScriboDlg::onSysCommand(WPARAM w) {
    hideToTray();
    (void)w;
}

void CQX_ScriboDlg::onDrawItem(const DRAWITEMSTRUCT& di) {
    switch (di.CtlID) {
        case IDC_PEN_PICTURE: {
            const DeviceRecord* rec = devices_ ? devices_->currentRecord() : nullptr;
            const int model = rec != nullptr ? rec->penModel : 0;
            const int id = model == 1 ? 158 : model == 2 ? 181 : 122;
            platform::drawPictureInControl(di, pictures_.picture(id), true);
            break;
        }
        case IDC_LOGO:
            platform::drawPictureInControl(di, pictures_.picture(common_ ? common_->logoId() : 0), true);
            break;
        case IDC_NEW_VERSION_PICTURE:
            platform::drawPictureInControl(di, pictures_.picture(129), false);
            break;
        default:
            FillRect(di.hDC, &di.rcItem, GetSysColorBrush(COLOR_BTNFACE));
            break;
    }
}

bool CQX_ScriboDlg::onCommand(int id, int code) {
    switch (id) {
        case IDOK:
            saveAllDevices();
            PostMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return true;
        case ID_SAVE_ALL:
            saveAllDevices();
            return true;
        case IDCANCEL:
            PostMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return true;
        case IDC_DEVICE_LIST:
            if (code == CBN_SELCHANGE && devices_) {
                const int sel = static_cast<int>(SendMessageW(item(IDC_DEVICE_LIST), CB_GETCURSEL, 0, 0));
                applyActions(devices_->onComboSelection(sel));
            }
            return true;
        case IDC_LOGO:
            if (code == STN_CLICKED) openWebsite();
            return true;
        case IDC_EXPORT:
            exportConfiguration();
            return true;
        case IDC_IMPORT:
            importConfiguration();
            return true;
        case IDC_REMOTE:
            showRemoteWindow();
            return true;
        case IDC_SET_WORK_AREA:
            startPenPositioning();
            return true;
        case IDC_UPDATE_IMAGE:
            // Refreshing the screen picture belongs to the mapping panel.
            return true;
        case IDC_NEW_VERSION_PICTURE:
            return true;
        default:
            return false;
    }
}

bool CQX_ScriboDlg::onPanelMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    result = 1;
    switch (msg) {
        case WM_PANEL_TRAY:
            onTray(l);
            result = 0;
            return true;
        case WM_PANEL_TRAYICON:
            onTrayIconChoice(l);
            result = 0;
            return true;
        case WM_PANEL_PRECISION:
            // Precision mode switches with the toggle; its indicator arrives with that window.
            precisionToggle_ = precisionToggle_ == 1 ? 0 : 1;
            result = 0;
            return true;
        case WM_PANEL_SHOW:
            showPanel();
            result = 0;
            return true;
        case WM_PANEL_AREASELECTED:
        case WM_PANEL_SELECTMONITOR:
            result = 0;
            return true;
        case WM_PANEL_MONITORSCHANGED:
        case WM_PANEL_AREASET:
            return true;
        case WM_PANEL_DEVICEARRIVED:
            onDeviceArrived(static_cast<unsigned>(w));
            return true;
        case WM_PANEL_DEVICEREMOVED:
            onDeviceRemoved(static_cast<unsigned>(w));
            return true;
        case WM_PANEL_SAVEALL:
            saveAllDevices();
            return true;
        case WM_PANEL_EXIT:
            closePanel();
            EndDialog(hwnd(), 0);
            return true;
        case WM_PANEL_RELOAD:
            if ((devices_->deviceKindMask() & 1) != 0) {
                finishInitialisation();
                InvalidateRect(hwnd(), nullptr, TRUE);
            }
            return true;
        case WM_PANEL_IMPORTEXPORT:
            if (w == 1) exportConfiguration();
            if (w == 2) importConfiguration();
            return true;
        case WM_PANEL_WINDOWSINK:
            onWindowsInk(w);
            return true;
        default:
            return false;
    }
}

bool CQX_ScriboDlg::handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    if (msg >= WM_PANEL_TRAY && msg <= WM_PANEL_WINDOWSINK && devices_)
        if (onPanelMessage(msg, w, l, result)) return true;
    if (taskbarCreated_ != 0 && msg == taskbarCreated_) {
        if (tray_.added()) tray_.readd();  // the shell restarted: put the icon back
        return true;
    }
    switch (msg) {
        case WM_INITDIALOG:
            result = onInitDialog() ? TRUE : FALSE;
            return true;
        case WM_COMMAND:
            return onCommand(LOWORD(w), HIWORD(w));
        case WM_SYSCOMMAND:
            if ((w & 0xFFF0) == SC_MINIMIZE) {
                onSysCommand(w);
                return true;
            }
            if ((w & 0xFFF0) == SC_CLOSE) hideToTray();
            return false;
        case WM_CLOSE:
            return true;  // only the icon menu's Exit and the service end the panel
        case WM_QUERYENDSESSION:
            result = TRUE;
            return true;
        case WM_SIZE:
            if (LOWORD(l) != 0 || HIWORD(l) != 0) {
                clientWidth_ = LOWORD(l);
                clientHeight_ = HIWORD(l);
            }
            return false;
        case WM_DRAWITEM:
            onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
            result = TRUE;
            return true;
        case WM_DESTROY:
            tray_.remove();
            link_.detach();
            return false;
        default:
            return false;
    }
}
