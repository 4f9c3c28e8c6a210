// CDlgCutWnd: the selection overlay. A dark, translucent window over the chosen monitor on which
// the user clicks the top-left and then the bottom-right corner of the screen area. Created once,
// hidden after each use and shown again on the next.
#pragma once

#include <windows.h>

#include <functional>

#include "config/language.h"
#include "config/shared_block.h"
#include "mapping/screen_mapping.h"
#include "mapping/win/info_strip.h"
#include "platform/dialog.h"
#include "platform/handles.h"

class CDlgCutWnd : public platform::Dialog {
public:
    // `region` receives the chosen rectangle before WM_PANEL_AREASELECTED goes to `owner`.
    CDlgCutWnd(HWND owner, const scribo::SharedBlock& block, const scribo::TIniFile& language,
               scribo::win::InfoStrip& info, RECT& region)
        : owner_(owner), block_(block), language_(language), info_(info), region_(region) {}
    ~CDlgCutWnd() override;

    bool create(HINSTANCE instance);
    // Hides the main window, covers monitor table entry `selection` and waits for the first
    // corner. Entry 0, one outside the table or an empty one show nothing and leave the main
    // window as it is: false then.
    bool open(int selection);
    bool firstCornerSet() const { return firstSet_; }
    // Escape: nothing chosen, the main window back.
    void cancel();

    bool preTranslateMessage(MSG& msg) override;

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

private:
    void onClick(POINT screen);
    // Hides the overlay and gives the cursor its freedom back.
    void close();
    void say(const char16_t* key, unsigned intervalMs) const;

    HWND owner_;
    const scribo::SharedBlock& block_;
    const scribo::TIniFile& language_;
    scribo::win::InfoStrip& info_;
    RECT& region_;
    HINSTANCE instance_ = nullptr;
    platform::UniqueBrush black_;
    bool firstSet_ = false;
    scribo::Point32 first_{};
};
