// CDlgCheckDisplay: the pen-display calibration. A frameless window over the pen display's
// monitor shows five targets one after the other; the user taps each with the pen, and the four
// correction factors computed from the taps go into the device record. The taps are measured
// with the factors at 1.0; a calibration that ends before its last tap (Escape, the device
// leaving, the panel ending) puts the user's previous factors back.
#pragma once

#include <windows.h>

#include "config/block_access.h"
#include "config/device_binding.h"
#include "config/shared_block.h"
#include "mapping/calibration.h"
#include "platform/dialog.h"

class CDlgCheckDisplay : public platform::Dialog {
public:
    CDlgCheckDisplay(const scribo::SharedBlock& block, scribo::BlockLock& lock)
        : block_(block), lock_(lock) {}
    ~CDlgCheckDisplay() override;

    // Creates the window over monitor entry `currentMonitor` for the bound device, whose factors
    // are set to 1.0 while the taps are measured; false (and nothing changed) without a device,
    // with a monitor outside the table or when the window cannot be created.
    bool create(HINSTANCE instance, HWND owner, scribo::DeviceBinding binding, int currentMonitor);
    // The window is there and waiting for taps.
    bool open() const { return hwnd() != nullptr; }
    void bringToFront();
    // Ends an unfinished calibration: the previous factors go back when the device is still the
    // one calibrated.
    void cancel();
    scribo::DeviceBinding& binding() { return binding_; }
    int targetIndex() const { return session_.targetIndex(); }

    bool preTranslateMessage(MSG& msg) override;

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

private:
    void paintTarget(HDC dc) const;

    const scribo::SharedBlock& block_;
    scribo::BlockLock& lock_;
    scribo::DeviceBinding binding_;
    scribo::CalibrationFactors previous_{};
    bool finished_ = false;
    scribo::CalibrationSession session_;
};
