// Window messages between the panel, the driver service and the panel's own windows.
#pragma once

namespace scribo {

// Panel to the service's listen window.
inline constexpr unsigned WM_SERVICE_RELOADCONFIG = 0x420;
inline constexpr unsigned WM_SERVICE_LIGHTS = 0x423;
inline constexpr unsigned WM_SERVICE_TRACKPAD = 0x424;

// To the panel's main window.
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
inline constexpr unsigned WM_TABLET_PACKET = 0x7FF0;

// To the info window.
inline constexpr unsigned WM_INFO_SETINTERVAL = 0x432;

// Mouse messages the notification-area icon reports.
inline constexpr unsigned kTrayLeftButtonDown = 513;
inline constexpr unsigned kTrayRightButtonUp = 517;

}  // namespace scribo
