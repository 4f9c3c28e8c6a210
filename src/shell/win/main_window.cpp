#include "shell/win/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "config/block_access.h"
#include "config/service_protocol.h"
#include "platform/dpi.h"
#include "platform/geometry.h"
#include "platform/message_loop.h"
#include "platform/shell.h"
#include "platform/wide.h"
#include "resource.h"

using namespace scribo;
using platform::toWide;

namespace {

bool isXpMode() { return platform::windowsMajorVersion() == 5; }

// Codes the main window ends with.
constexpr INT_PTR kEndNoService = 2;
constexpr INT_PTR kEndNormal = 0;

// The info strip's look: near-white text.
constexpr uint32_t kInfoTextColour = 0xFFF5F5F5;

}  // namespace

CQX_ScriboDlg::CQX_ScriboDlg(HINSTANCE instance) : instance_(instance) {
    mainIcon_ = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAIN));
    altIcon_ = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TRAY_ALT));
    xpMode_ = isXpMode();
    configPath_ = scribo::win::configurationFilePath();
    const std::wstring library = toWide(platform::programDirectory()) + L"\\ResDLL.dll";
    pictures_.load(library.c_str());
    areaEvent_.reset(OpenEventW(EVENT_ALL_ACCESS, FALSE, platform::wz(kSetAreaEventName)));
}

CQX_ScriboDlg::~CQX_ScriboDlg() { destroy(); }

INT_PTR CQX_ScriboDlg::run() { return runModal(instance_, IDD_MAIN, nullptr); }

std::u16string CQX_ScriboDlg::text(std::u16string_view key, std::u16string_view fallback,
                                   std::u16string_view section) const {
    if (!language_) return std::u16string(fallback);
    return language_->readText(section, key, fallback);
}

DeviceRecord* CQX_ScriboDlg::current() const {
    return devices_ ? devices_->currentRecord() : nullptr;
}

void CQX_ScriboDlg::endPanel(INT_PTR code) { endDialog(code); }

bool CQX_ScriboDlg::onInitDialog() {
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(mainIcon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(mainIcon_));
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    // The panel runs without pictures; the user is told once, before anything else.
    if (!pictures_.loaded()) MessageBoxW(nullptr, L" Can not find ResDLL\xFF01", L"Scribo", MB_OK);

    switch (link_.attach()) {
        case AttachResult::NotReady:
            endPanel(kEndNoService);
            return true;
        case AttachResult::MissingBlock:
            PostMessageW(hwnd(), WM_CLOSE, 0, 0);
            endPanel(kEndNormal);
            return true;
        case AttachResult::Attached:
            break;
    }
    tray_.configure(hwnd(), WM_PANEL_TRAY, L"Scribo");

    const std::u16string dir = platform::programDirectory();
    languageFiles_ = chooseLanguageFiles(GetUserDefaultUILanguage(), dir, platform::fileExists);
    language_ = std::make_unique<TIniFile>(profiles_, languageFiles_.languageFile);
    store_ = std::make_unique<scribo::win::ConfigStore>(configPath_, *language_, hwnd());
    transfer_ = std::make_unique<scribo::win::ConfigTransfer>(configPath_, hwnd(), store_.get());
    common_ = std::make_unique<CommonFile>(profiles_, languageFiles_.commonFile);
    pen_ = std::make_unique<PenPanel>(hwnd(), link_.lock(), *language_,
                                      [this] { return bindCurrent(); });
    pressure_ = std::make_unique<PressurePanel>(hwnd(), link_.lock());
    mapping_ = std::make_unique<MappingPanel>(hwnd(), *link_.block(), link_.lock(), *language_,
                                              pictures_, info_);
    mappingTools_ = std::make_unique<MappingTools>(instance_, hwnd(), *link_.block(), link_.lock(),
                                                   *language_, info_);
    RECT client{};
    GetClientRect(hwnd(), &client);
    mapping_->setClientSize(client.right, client.bottom);
    dpi_ = platform::dpiOf(hwnd());

    const int monitors = GetSystemMetrics(SM_CMONITORS);
    systemMonitorCount_ = monitors > 0 ? monitors : 1;
    mapping_->fillMonitorList();
    attachKeyboard();

    devices_ = std::make_unique<DeviceList>(
        *link_.block(), [this](std::u16string_view id) { return common_->modelDisplayName(id); });
    if (devices_->scanDevices() <= 0) {
        MessageBoxW(hwnd(), toWide(text(u"Main.MsgNotConnect", u"MsgNotConnect")).c_str(),
                    L"Warning", MB_OK);
        PostMessageW(hwnd(), WM_CLOSE, 0, 0);
        endPanel(kEndNormal);
        return true;
    }
    tray_.add(mainIcon_);
    setAllTexts();
    // Resets the whole device: never on a stray letter typed while a button has the focus.
    requireAltForMnemonic(IDC_RESTORE_DEFAULT);
    // The info strip starts hidden; its light text sits on a dark translucent plate.
    if (info_.create(instance_)) {
        info_.setFontSize(platform::scalePx(kInfoFontPx, hwnd()));
        info_.setTextColour(kInfoTextColour);
    }
    mappingTools_->createIndicator();
    finishInitialisation();
    if ((devices_->deviceKindMask() & kKindMaskRemote) != 0) createRemoteWindow();
    collapse();
    return true;
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
    // A reload may come while the window is collapsed: only a real rectangle is worth keeping,
    // or the next show would give the window no size at all.
    RECT r{};
    if (GetWindowRect(hwnd(), &r) && r.right > r.left && r.bottom > r.top) restoreRect_ = r;
    const int selection =
        static_cast<int>(SendDlgItemMessageW(hwnd(), IDC_DEVICE_LIST, CB_GETCURSEL, 0, 0));
    devices_->selectCurrentFromCombo(selection);
    pressure_->initTrackbar();
    pen_->initTrackbar();
    pressure_->takeHomePositions();
    openPressureContext();
    if ((devices_->deviceKindMask() & kKindMaskPen) != 0) loadDeviceIntoPanel();
    pressure_->placePoints(current(), devices_->deviceKindMask() == kKindMaskRemote);
}

void CQX_ScriboDlg::loadDeviceIntoPanel() {
    DeviceRecord* rec = current();
    if (rec == nullptr) return;  // an entry whose slot is not filled is never loaded
    pressure_->load(*rec);
    // The curve's points come from this record, or the box would show the previous device's
    // curve and the next drag would write all of it into this one.
    pressure_->placePoints(rec, false);
    mapping_->load(*rec, systemMonitorCount_);
    pen_->load(*rec);
    applyControlState();
    InvalidateRect(item(IDC_PEN_PICTURE), nullptr, TRUE);
    InvalidateRect(hwnd(), nullptr, TRUE);
    UpdateWindow(hwnd());
}

void CQX_ScriboDlg::applyActions(const PanelActions& a) {
    if (a.rebuildCombo) fillDeviceCombo();
    if (a.createRemoteWindow) createRemoteWindow();
    if (a.closeRemoteWindow) {
        show(IDC_REMOTE, false);
        closeRemoteWindow();
    }
    if (a.loadCurrent) loadDeviceIntoPanel();
    if (a.showWindow) ShowWindow(hwnd(), SW_SHOWNORMAL);
    if (a.hideWindow) ShowWindow(hwnd(), SW_HIDE);
    applyControlState();
}

void CQX_ScriboDlg::onTrayIconChoice(LPARAM choice) {
    if (choice == kTrayIconAlternate)
        tray_.change(altIcon_);
    else if (choice == kTrayIconMain)
        tray_.change(mainIcon_);
}

void CQX_ScriboDlg::onPrecision() {
    POINT cursor{};
    GetCursorPos(&cursor);
    const auto result =
        precision_.toggle(*link_.block(), link_.lock(), Point32{cursor.x, cursor.y});
    if (mappingTools_) mappingTools_->showPrecision(result);
}

void CQX_ScriboDlg::onReload() {
    onDeviceEvent(true);
    reloadRemoteWindow();
    if ((devices_->deviceKindMask() & kKindMaskPen) == 0) return;
    finishInitialisation();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void CQX_ScriboDlg::closePanel() {
    // Every open dialog ends first, innermost first, and nothing they still hold reaches a
    // device: work not yet handed over is dropped. The main window's own run ends after them.
    generations_.bump();
    if (pen_) pen_->cancelPending();
    platform::message_loop::endModalsFrom(1, -1);
    if (mapping_) mapping_->closeDialogs();
    if (mappingTools_) mappingTools_->closeAll();
    // Nothing of the panel may outlive it in the notification area.
    tray_.remove();
    wintab_.close();
    OutputDebugStringW(L"UnloadWintab()\n");
}

void CQX_ScriboDlg::openPressureContext() {
    // A reload opens the context again: the library closes the old one first, so reloads never
    // leave contexts open behind them.
    if (wintab_.openPressureContext(hwnd()))
        pressure_->setMaxPressure(wintab_.maxPressure());
    else
        OutputDebugStringW(L"Scribo: no tablet interface library, no live pressure\n");
}

LRESULT CQX_ScriboDlg::onTabletPacket(WPARAM serial) {
    wintab::PressurePacket packet{};
    if (!wintab_.fetchPacket(static_cast<UINT>(serial), packet)) return 0;
    if (!IsWindowVisible(hwnd())) return 1;
    // Packets come at the pen's rate (hundreds a second); the bar and number are brought up to
    // the latest packet at most once per frame, so a fast pen costs no more drawing than the
    // screen can show.
    latestPressure_ = packet.normalPressure;
    if (!pressureFramePending_) {
        pressureFramePending_ = true;
        SetTimer(hwnd(), kTimerPressureFrame, kPressureFrameMs, nullptr);
    }
    return 1;
}

void CQX_ScriboDlg::showLatestPressure() {
    KillTimer(hwnd(), kTimerPressureFrame);
    pressureFramePending_ = false;
    if (!pressure_ || !IsWindowVisible(hwnd())) return;
    POINT cursor{};
    RECT window{};
    GetCursorPos(&cursor);
    GetWindowRect(hwnd(), &window);
    pressure_->onPacket(latestPressure_, PtInRect(&window, cursor) != FALSE);
}

void CQX_ScriboDlg::saveAllDevices() {
    if (store_ && devices_) store_->saveAllDevices(*link_.block(), devices_->deviceIds());
}

bool CQX_ScriboDlg::onCommand(int id, int code) {
    const bool handled = dispatchCommand(id, code);
    // Whatever the command changed (a mode, a monitor, the device), the controls follow.
    applyControlState();
    return handled;
}

bool CQX_ScriboDlg::dispatchCommand(int id, int code) {
    DeviceRecord* rec = current();
    if (pen_ && pen_->onCommand(id, code, rec)) {
        if ((id == IDC_ABSOLUTE || id == IDC_RELATIVE) && code == BN_CLICKED && mapping_)
            mapping_->onMouseModeChanged(rec);
        return true;
    }
    if (mapping_ && mapping_->onCommand(id, code, rec)) return true;
    if (pressure_ && pressure_->onCommand(id, code, rec)) return true;
    switch (id) {
        case IDOK:
            saveAllDevices();
            PostMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return true;
        case kCommandSaveAll:
            saveAllDevices();
            return true;
        case IDCANCEL:
            PostMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return true;
        case IDC_DEVICE_LIST:
            if (code == CBN_SELCHANGE && devices_) {
                const int sel =
                    static_cast<int>(SendMessageW(item(IDC_DEVICE_LIST), CB_GETCURSEL, 0, 0));
                applyActions(devices_->onComboSelection(sel));
            }
            return true;
        case IDC_LOGO:
            if (code == STN_CLICKED) openWebsite();
            return true;
        case IDC_EXPORT:
            if (transfer_) transfer_->exportConfig();
            return true;
        case IDC_IMPORT:
            if (transfer_) transfer_->importConfig();
            return true;
        case IDC_REMOTE:
            showRemoteWindow(true);
            return true;
        case IDC_QUICK_SETTING:
            openQuickSetting();
            return true;
        case IDC_SET_WORK_AREA:
        case IDC_SET_SCREEN_AREA:
        case IDC_CALIBRATE:
        case IDC_RESTORE_DEFAULT:
            if (code == BN_CLICKED) onMappingCommand(id);
            return true;
        default:
            return false;
    }
}

bool CQX_ScriboDlg::onPanelMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    const bool handled = dispatchPanelMessage(msg, w, l, result);
    if (handled && msg != WM_PANEL_EXIT) applyControlState();
    return handled;
}

bool CQX_ScriboDlg::dispatchPanelMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
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
            onPrecision();
            result = 0;
            return true;
        case WM_PANEL_SHOW:
            showPanel();
            result = 0;
            return true;
        case WM_PANEL_AREASELECTED:
        case WM_PANEL_SELECTMONITOR:
        case WM_PANEL_MONITORSCHANGED:
            return onMappingMessage(msg, w, l, result);
        case WM_PANEL_AREASET:
            onAreaSet();
            return true;
        case WM_PANEL_DEVICEARRIVED:
            onDeviceEvent(false);
            applyActions(devices_->onDeviceArrived(static_cast<unsigned>(w)));
            return true;
        case WM_PANEL_DEVICEREMOVED:
            onDeviceEvent(false);
            applyActions(devices_->onDeviceRemoved(static_cast<unsigned>(w)));
            return true;
        case WM_PANEL_SAVEALL:
            saveAllDevices();
            return true;
        case WM_PANEL_EXIT:
            closePanel();
            endPanel(kEndNormal);
            return true;
        case WM_PANEL_RELOAD:
            onReload();
            return true;
        case WM_PANEL_IMPORTEXPORT:
            if (transfer_) transfer_->onImportExportMessage(w);
            return true;
        case WM_PANEL_WINDOWSINK:
            pen_->setWindowsInk(w != 0, current());
            return true;
        default:
            return false;
    }
}

bool CQX_ScriboDlg::handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    if (msg >= kPanelMessageFirst && msg <= kPanelMessageLast && devices_)
        if (onPanelMessage(msg, w, l, result)) return true;
    if (taskbarCreated_ != 0 && msg == taskbarCreated_) {
        // The shell (re)started: put the icon in, also when the first add failed because the
        // panel started before the shell was ready.
        if (devices_) tray_.readd();
        return true;
    }
    switch (msg) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_LBUTTONDOWN:
        case WM_KEYDOWN:
            loadCurrentIfAppeared();
            break;
        default:
            break;
    }
    switch (msg) {
        case WM_INITDIALOG:
            result = onInitDialog() ? TRUE : FALSE;
            return true;
        case WM_COMMAND:
            return onCommand(LOWORD(w), HIWORD(w));
        case WM_HSCROLL:
            return pen_ && pen_->onHScroll(reinterpret_cast<HWND>(l), current());
        case WM_TABLET_PACKET:
            result = pressure_ ? onTabletPacket(w) : 0;
            return true;
        case WM_VSCROLL:
            return pressure_ && pressure_->onVScroll(reinterpret_cast<HWND>(l), current());
        // Dragging the pressure curve's points.
        case WM_LBUTTONDOWN:
            // The mapping panel's trackers take the click first; otherwise it is the curve's.
            if (onMappingMessage(msg, w, l, result)) return true;
            if (pressure_) pressure_->onButtonDown(POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
            return false;
        case WM_MOUSEMOVE:
            // A rejected move ends the message here.
            return pressure_ && !pressure_->onMouseMove(POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
        case WM_LBUTTONUP:
            if (pressure_) pressure_->onButtonUp(current());
            return false;
        case WM_SYSCOMMAND:
            if ((w & 0xFFF0) == SC_MINIMIZE) {
                hideToTray();
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
            if (mapping_ && (LOWORD(l) != 0 || HIWORD(l) != 0))
                mapping_->setClientSize(LOWORD(l), HIWORD(l));
            return false;
        case WM_TIMER:
            if (w == kTimerPressureFrame) {
                showLatestPressure();
                return true;
            }
            return onMappingMessage(msg, w, l, result);
        case WM_PAINT:
        case WM_SETCURSOR:
            return onMappingMessage(msg, w, l, result);
        case WM_DPICHANGED:
            if (devices_) onDpiChanged(HIWORD(w), *reinterpret_cast<const RECT*>(l));
            result = 0;
            return devices_ != nullptr;
        case WM_DRAWITEM:
            onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
            result = TRUE;
            return true;
        case WM_DESTROY:
            // Nothing may reach the block once it is detached.
            generations_.bump();
            if (mappingTools_) mappingTools_->closeAll();
            remote_.reset();
            quickSet_.reset();
            tray_.remove();
            wintab_.close();
            link_.detach();
            return false;
        default:
            return false;
    }
}
