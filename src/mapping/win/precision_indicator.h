// CDlgJXMode: the precision-mode indicator. Over the monitor under the cursor it dims everything
// except a clear hole on the precision rectangle, with the function's name above the hole.
// Created hidden when the main window starts and kept for the whole run.
#pragma once

#include <windows.h>

#include <string>

#include "mapping/precision_area.h"
#include "platform/dialog.h"
#include "platform/handles.h"

class CDlgJXMode : public platform::Dialog {
public:
    // `caption` is the name of the precision-mode key function.
    CDlgJXMode(HWND owner, std::u16string caption) : owner_(owner), caption_(std::move(caption)) {}
    ~CDlgJXMode() override { destroy(); }

    bool create(HINSTANCE instance);
    void showAt(const scribo::PrecisionIndicatorLayout& layout);
    void hide();

    bool preTranslateMessage(MSG& msg) override;

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

private:
    HWND owner_;
    std::u16string caption_;
    platform::UniqueBrush background_;
};
