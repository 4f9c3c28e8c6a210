// The main window: device list, panels of the current device, notification-area icon and the
// service's notifications.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "config/language.h"
#include "config/win/config_store.h"
#include "config/win/config_transfer.h"
#include "platform/block_kernel.h"
#include "platform/dialog.h"
#include "platform/pictures.h"
#include "platform/profile_source.h"
#include "platform/shell.h"
#include "shell/device_list.h"

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
    bool onPanelMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result);
    void onSysCommand(WPARAM w);
    void onTray(LPARAM mouseMessage);
    void onDrawItem(const DRAWITEMSTRUCT& item);

    void setAllTexts();
    void fillDeviceCombo();
    void finishInitialisation();
    void loadDeviceIntoPanel();
    void applyActions(const scribo::PanelActions& actions);
    void onDeviceArrived(unsigned productId);
    void onDeviceRemoved(unsigned productId);
    void onWindowsInk(WPARAM state);
    void onTrayIconChoice(LPARAM choice);
    void showPanel();
    void hideToTray();
    void collapse();
    void closePanel();
    void saveAllDevices();
    void exportConfiguration();
    void importConfiguration();
    void showTrayMenu();
    void openWebsite();
    void showRemoteWindow();
    void startPenPositioning();

    HINSTANCE instance_;
    HICON mainIcon_ = nullptr;
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
    std::unique_ptr<platform::ConfigStore> store_;
    std::unique_ptr<platform::ConfigTransfer> transfer_;
    platform::TrayIcon tray_;
    UINT taskbarCreated_ = 0;
    RECT restoreRect_{};
    bool xpMode_ = false;
    int systemMonitorCount_ = 1;
    int pressureDisplayMode_ = 1;
    int precisionToggle_ = 1;
    bool windowsInkChecked_ = true;
    COLORREF pressureBarColour_ = RGB(0x00, 0x78, 0xDE);
    int clientWidth_ = 0;
    int clientHeight_ = 0;
};
