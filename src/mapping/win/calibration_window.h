// CDlgCheckDisplay: the pen-display calibration. A frameless window over the pen display's
// monitor shows five targets one after the other; the user taps each with the pen, and the four
// correction factors computed from the taps go into the device record.
#pragma once

#include <windows.h>

#include "config/block_access.h"
#include "config/shared_block.h"
#include "mapping/calibration.h"
#include "platform/dialog.h"

class CDlgCheckDisplay : public platform::Dialog {
public:
    CDlgCheckDisplay(const scribo::SharedBlock& block, scribo::BlockLock& lock)
        : block_(block), lock_(lock) {}
    ~CDlgCheckDisplay() override { destroy(); }

    // Creates the window over monitor entry `currentMonitor` for `rec`; false (and no window)
    // without a device or with a monitor outside the table.
    bool create(HINSTANCE instance, HWND owner, scribo::DeviceRecord* rec, int currentMonitor);
    // The window is there and waiting for taps.
    bool open() const { return hwnd() != nullptr; }
    void bringToFront();
    int targetIndex() const { return session_.targetIndex(); }

    bool preTranslateMessage(MSG& msg) override;

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

private:
    void paintTarget(HDC dc) const;

    const scribo::SharedBlock& block_;
    scribo::BlockLock& lock_;
    scribo::DeviceRecord* rec_ = nullptr;
    scribo::CalibrationSession session_;
};
