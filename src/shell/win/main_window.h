// The main window: start-up, the device list, the notification-area icon, the service's
// notifications and routing to the panels (pen, pressure, mapping) that edit the current device.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "config/device_binding.h"
#include "config/language.h"
#include "config/win/config_store.h"
#include "config/win/config_transfer.h"
#include "keys/win/express_key_window.h"
#include "mapping/precision_area.h"
#include "mapping/win/mapping_panel.h"
#include "mapping/win/mapping_tools.h"
#include "platform/block_kernel.h"
#include "platform/dialog.h"
#include "platform/handles.h"
#include "platform/pictures.h"
#include "platform/profile_source.h"
#include "platform/shell.h"
#include "platform/wintab.h"
#include "shell/device_list.h"
#include "shell/win/info_window.h"
#include "shell/win/pen_panel.h"
#include "shell/win/pressure_panel.h"

class CQX_ScriboDlg : public platform::Dialog {
public:
    explicit CQX_ScriboDlg(HINSTANCE instance);
    ~CQX_ScriboDlg() override;

    INT_PTR run();

    // Text of a language key of section "Dialog_Main" (or another section), copied at once.
    std::u16string text(std::u16string_view key, std::u16string_view fallback,
                        std::u16string_view section = u"Dialog_Main") const;

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

private:
    bool onInitDialog();
    bool onCommand(int id, int code);
    bool dispatchCommand(int id, int code);
    bool onPanelMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result);
    bool dispatchPanelMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result);
    // The shown and enabled state of every control role, from the panel's state, in one place.
    void applyControlState();
    void onTray(LPARAM mouseMessage);
    void onDrawItem(const DRAWITEMSTRUCT& item);

    void setAllTexts();
    void fillDeviceCombo();
    void finishInitialisation();
    void loadDeviceIntoPanel();
    void applyActions(const scribo::PanelActions& actions);
    void onTrayIconChoice(LPARAM choice);
    void onPrecision();
    void onAreaSet();
    void onReload();
    void showPanel();
    void hideToTray();
    void collapse();
    void closePanel();
    void endPanel(INT_PTR code);
    void saveAllDevices();
    void showTrayMenu();
    void openWebsite();
    // The mapping group's messages, buttons and tools (main_window_mapping.cpp).
    bool onMappingMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result);
    void onMappingCommand(int id);
    // The drawn controls (curve box, previews) as keyboard controls with accessible names.
    void attachKeyboard();
    // Express keys: the Quick Setting window and the remote's window.
    scribo::win::ExpressServices expressServices();
    void openQuickSetting();
    void createRemoteWindow();
    void closeRemoteWindow();
    // A device arrived or left, or the service reloaded the block: a new generation of
    // bindings. Windows whose device is still connected in its slot carry on (not on a reload,
    // which rewrote every record); the others end, innermost dialog first.
    void onDeviceEvent(bool reload);
    // The current device's binding, unbound when it has no record.
    scribo::DeviceBinding bindCurrent() const;
    // The current entry got its record late: load it before anything edits it.
    void loadCurrentIfAppeared();
    void showRemoteWindow(bool fromButton);
    void reloadRemoteWindow();
    void startPenPositioning();
    void onAreaSelected();
    scribo::DeviceRecord* current() const;
    // Live pressure and the info strip.
    void openPressureContext();
    LRESULT onTabletPacket(WPARAM serial);
    void showLatestPressure();
    // Moved to a screen with other dots per inch (main_window_mapping.cpp).
    void onDpiChanged(int dpi, const RECT& suggested);

    // The newest packet's pressure, shown at the next frame.
    static constexpr UINT_PTR kTimerPressureFrame = 0x5046;
    static constexpr UINT kPressureFrameMs = 15;
    uint32_t latestPressure_ = 0;
    bool pressureFramePending_ = false;

    HINSTANCE instance_;
    HICON mainIcon_ = nullptr;  // shared icons from the executable: never destroyed
    HICON altIcon_ = nullptr;
    std::u16string configPath_;
    platform::PictureLibrary pictures_;
    platform::UniqueHandle areaEvent_;
    platform::SharedBlockLink link_;
    platform::Win32ProfileSource profiles_;
    scribo::LanguageFiles languageFiles_;
    std::unique_ptr<scribo::TIniFile> language_;
    std::unique_ptr<scribo::CommonFile> common_;
    std::unique_ptr<scribo::DeviceList> devices_;
    std::unique_ptr<scribo::win::ConfigStore> store_;
    std::unique_ptr<scribo::win::ConfigTransfer> transfer_;
    // The strip outlives the panels and tools it is handed to.
    CWndShowInfo info_;
    std::unique_ptr<PenPanel> pen_;
    std::unique_ptr<PressurePanel> pressure_;
    std::unique_ptr<MappingPanel> mapping_;
    platform::WintabLibrary wintab_;
    scribo::DeviceGenerations generations_;
    std::unique_ptr<MappingTools> mappingTools_;
    std::unique_ptr<scribo::win::CDlgShortcutKey> quickSet_;
    std::unique_ptr<scribo::win::CDlgRX20> remote_;
    scribo::PrecisionToggle precision_;
    platform::TrayIcon tray_;
    UINT taskbarCreated_ = 0;
    RECT restoreRect_{};
    bool xpMode_ = false;
    int systemMonitorCount_ = 1;
    int dpi_ = 96;
    // The info strip's text: 16 pixels at 96 dots per inch.
    static constexpr int kInfoFontPx = 16;
};
