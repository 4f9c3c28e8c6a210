// The protocol between the panel, the driver service and the panel's own windows: message
// numbers, named kernel objects, the window classes and titles each side looks up, device kinds
// and the mouse messages the notification-area icon reports. The panel, the service stand-in and
// the tests all name these values through this header and nowhere else. Portable.
#pragma once

#include <cstdint>

namespace scribo {

// ---- named kernel objects (per-logon namespace; the service creates them) -------------------
inline constexpr const char16_t* kBlockMappingName = u"Local\\QXSCRIBOMAPDATA";
inline constexpr const char16_t* kBlockMutexName = u"Local\\QXSCRIBOMAPDATAMUTEX";
inline constexpr const char16_t* kSetAreaEventName = u"Local\\QXSCRIBOSETAREA";
inline constexpr const char16_t* kServiceMutexName = u"Local\\ORVA_ScriboService_Mutex";
inline constexpr const char16_t* kPanelMutexName = u"Local\\ORVA_Scribo_Mutex";

// ---- windows found by class and title ---------------------------------------------------------
inline constexpr const char16_t* kListenWindowClass = u"ORVA_HIDE_LISTEN_WINDOW";
inline constexpr const char16_t* kListenWindowTitle = u"QXListen";
inline constexpr const char16_t* kMainWindowClass = u"#32770";  // the system dialog class
inline constexpr const char16_t* kMainWindowTitle = u"QM53";
inline constexpr const char16_t* kInfoWindowClass = u"OrvaShowInfoWindow";
inline constexpr const char16_t* kServiceExecutable = u"ScriboService.exe";

// ---- panel to the service's listen window (blocking sends) -----------------------------------
inline constexpr unsigned WM_SERVICE_RELOADCONFIG = 0x420;
inline constexpr unsigned WM_SERVICE_LIGHTS = 0x423;    // wParam light 1|2, lParam level 0|50|100
inline constexpr unsigned WM_SERVICE_TRACKPAD = 0x424;  // wParam trackPadId, lParam rotation

// ---- to the panel's main window ----------------------------------------------------------------
inline constexpr unsigned WM_PANEL_TRAY = 0x414;
inline constexpr unsigned WM_PANEL_TRAYICON = 0x415;
inline constexpr unsigned WM_PANEL_PRECISION = 0x416;
inline constexpr unsigned WM_PANEL_SHOW = 0x417;
inline constexpr unsigned WM_PANEL_AREASELECTED = 0x418;
inline constexpr unsigned WM_PANEL_MONITORSCHANGED = 0x419;
inline constexpr unsigned WM_PANEL_SELECTMONITOR = 0x41A;
inline constexpr unsigned WM_PANEL_DEVICEARRIVED = 0x41B;
inline constexpr unsigned WM_PANEL_DEVICEREMOVED = 0x41C;
inline constexpr unsigned WM_PANEL_SAVEALL = 0x41D;
inline constexpr unsigned WM_PANEL_EXIT = 0x41E;
inline constexpr unsigned WM_PANEL_AREASET = 0x41F;
inline constexpr unsigned WM_PANEL_RELOAD = 0x421;
inline constexpr unsigned WM_PANEL_IMPORTEXPORT = 0x422;
inline constexpr unsigned WM_PANEL_WINDOWSINK = 0x463;
inline constexpr unsigned WM_TABLET_PACKET = 0x7FF0;  // Wintab packets of the pressure context

// The first and last of the service's notification numbers, for routing.
inline constexpr unsigned kPanelMessageFirst = WM_PANEL_TRAY;
inline constexpr unsigned kPanelMessageLast = WM_PANEL_WINDOWSINK;

// wParam of WM_PANEL_IMPORTEXPORT; lParam of WM_PANEL_TRAYICON.
inline constexpr unsigned kImportExportExport = 1;
inline constexpr unsigned kImportExportImport = 2;
inline constexpr long kTrayIconAlternate = 1;
inline constexpr long kTrayIconMain = 2;

// The OK of the main window without a control: save only.
inline constexpr int kCommandSaveAll = 3;

// ---- to the info window ------------------------------------------------------------------------
inline constexpr unsigned WM_INFO_SETINTERVAL = 0x432;  // wParam tick interval in ms
inline constexpr unsigned kInfoTickNormalMs = 300;
inline constexpr unsigned kInfoTickLongMs = 3000;

// ---- mouse messages the notification-area icon reports in lParam ------------------------------
inline constexpr unsigned kTrayLeftButtonDown = 0x0201;  // WM_LBUTTONDOWN
inline constexpr unsigned kTrayRightButtonUp = 0x0205;   // WM_RBUTTONUP

// ---- devices -----------------------------------------------------------------------------------
// `deviceKind` of a record.
inline constexpr int32_t kDeviceKindTablet = 0;
inline constexpr int32_t kDeviceKindPenDisplay = 1;
inline constexpr int32_t kDeviceKindRemote = 5;

// Bits of the main window's deviceKindMask.
inline constexpr int kKindMaskPen = 1;     // a tablet or pen display is listed
inline constexpr int kKindMaskRemote = 2;  // the express-key remote is listed

inline constexpr unsigned kRemoteProductId = 0x0A31;
inline constexpr const char16_t* kRemoteDeviceId = u"PID_0A31";

}  // namespace scribo
