// CDlgHotKeys: the modal function assignment dialog. The user picks a mouse action, a driver
// function, or records a key combination by pressing the keys (with Ctrl/Alt/Shift/Win boxes).
// It always opens empty; on OK it returns what was chosen, on Cancel nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "config/language.h"
#include "keys/descriptors.h"
#include "keys/hotkey_capture.h"
#include "platform/dialog.h"

namespace scribo::win {

class CDlgHotKeys : public platform::Dialog {
public:
    CDlgHotKeys(const TIniFile& language, int32_t hasRing, int32_t hasTrackPad, int32_t ringCount)
        : language_(language),
          hasRing_(hasRing),
          hasTrackPad_(hasTrackPad),
          ringCount_(ringCount) {}
    ~CDlgHotKeys() override { destroy(); }

    // Runs the dialog over `owner`; the result of OK, or nullopt for Cancel, Escape outside
    // recording, closing the window, or a template that cannot be created.
    std::optional<HotKeyResult> run(HINSTANCE instance, HWND owner);

    // Key-downs are recorded here, before the dialog manager turns Enter, Escape, Tab or the
    // arrows into navigation.
    bool preTranslateMessage(MSG& msg) override;

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

private:
    void onInit();
    void onOptionClicked();
    void onModifierClicked(int id);
    void showEditText();
    int checkedOption() const;

    const TIniFile& language_;
    int32_t hasRing_, hasTrackPad_, ringCount_;
    HotKeyCapture capture_;
    std::optional<HotKeyResult> result_;
};

// The dialog as the assignment rules call it (FunctionDialogs::chooseHotKeys).
std::optional<HotKeyResult> runHotKeys(HINSTANCE instance, HWND owner, const TIniFile& language,
                                       int32_t hasRing, int32_t hasTrackPad, int32_t ringCount);

}  // namespace scribo::win
