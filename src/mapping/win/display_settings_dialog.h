// The display adjustment dialog of a pen display: colour preset, red, green and blue gains,
// brightness and contrast over DDC/CI, and the turn of the display's picture. The monitor is
// slow to answer, so every command, the reading of its values at opening included, goes to a
// worker in order; the window opens at once with its settings disabled until the values are
// there, only shows values and stays responsive. Restore is busy (its button disabled) until the
// monitor has done it. Closing waits for the monitor at most MonitorWorker::kMostWaitMs.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "config/language.h"
#include "config/shared_block.h"
#include "mapping/monitor_commands.h"
#include "mapping/win/monitor_port.h"
#include "mapping/win/monitor_worker.h"
#include "platform/dialog.h"
#include "platform/monitor_control.h"

class CDlgDisplaySettings : public platform::Dialog {
public:
    CDlgDisplaySettings(const scribo::SharedBlock& block, const scribo::TIniFile& language)
        : block_(block), language_(language) {}
    ~CDlgDisplaySettings() override;

    // Opens the dialog modally for the pen display the service reports, after the checks that
    // tell the user why it cannot be opened. Returns how it ended (IDOK, IDCANCEL, -1).
    INT_PTR open(HINSTANCE instance, HWND owner, const scribo::DeviceRecord* device);
    bool isOpen() const { return hwnd() != nullptr; }
    // Ends an open dialog at once with `code`: monitor work not yet done is dropped.
    void close(INT_PTR code);

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

private:
    void onInitDialog();
    void setTexts();
    void showReadings(const scribo::MonitorReadings& readings);
    void enableAdjusting(bool enabled);
    void onCloseTimer();
    void showSlider(int sliderId, int valueId, const scribo::SliderShown& shown);
    void setSlider(int sliderId, int valueId, uint32_t value);
    void enableGains(bool enabled);
    void onPreset(int radioId);
    void onSlider(HWND slider);
    void onRestore();
    void onRotate(uint32_t orientation);
    void onMonitorDone(WPARAM token);
    void finish(INT_PTR code);

    const scribo::SharedBlock& block_;
    const scribo::TIniFile& language_;
    platform::PhysicalMonitors monitors_;  // until the worker takes them
    std::unique_ptr<scribo::win::MonitorWorker> worker_;
    uint8_t mode_[scribo::kDisplayModeBytes] = {};
    std::wstring deviceName_;
    bool locked_ = false;
    bool restoring_ = false;
    bool closing_ = false;
    bool reading_ = false;  // the monitor's values have not arrived yet
    INT_PTR closeCode_ = IDCANCEL;
};
