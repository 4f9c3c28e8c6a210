// The express-key settings windows: the list of applications with their own settings and one
// tab page per input group of the device (keys, rings or trackpad, lights), plus two
// device-wide switches. CDlgShortcutKey is the modal Quick Setting window of the current device;
// CDlgRX20 is the modeless window of the express-key remote. Every edit goes straight into the
// device record; nothing is kept to save or revert.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/device_binding.h"
#include "config/language.h"
#include "config/shared_block.h"
#include "keys/app_entries.h"
#include "keys/descriptors.h"
#include "keys/win/express_page.h"
#include "platform/dialog.h"
#include "platform/handles.h"
#include "platform/pictures.h"

namespace scribo::win {

class KeyPageWindow;
class CDlgTabPageWheel;

struct ExpressServices {
    HINSTANCE instance = nullptr;
    const TIniFile* lang = nullptr;
    platform::PictureLibrary* pictures = nullptr;
    // "+": the program to add, nullopt when none was chosen. Unset: the program selection dialog.
    std::function<std::optional<std::u16string>(HWND owner)> chooseApplication;
    // The custom-function dialog of the key pages; unset behaves as cancelled.
    std::function<std::optional<HotKeyResult>(HWND owner, int32_t hasRing, int32_t hasTrackPad,
                                              int32_t ringCount)>
        chooseHotKeys;
};

using UniqueImageList = platform::UniqueAny<
    platform::SimpleTraits<HIMAGELIST, decltype(&ImageList_Destroy), &ImageList_Destroy>>;

class ExpressKeyWindow : public platform::Dialog {
public:
    ExpressKeyWindow(ExpressWindow kind, ExpressServices services);
    ~ExpressKeyWindow() override;

    // The device the window edits. An unbound binding shows nothing; once it is stale every
    // edit is refused until the owner rebinds it or closes the window.
    void setDevice(DeviceBinding binding) { binding_ = std::move(binding); }
    DeviceBinding& binding() { return binding_; }
    DeviceRecord* record() const { return binding_.record(); }
    const AppList* appList() const { return list_.get(); }

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;
    // Buttons of one window class only; true when handled.
    virtual bool onButton(int) { return false; }

    ExpressWindow kind_;
    ExpressServices svc_;

private:
    void onInit();
    void setTexts();
    void createPages();
    void fillAppList();
    void onListClick();
    void onItemSelected(int item);
    void loadSelectedEntry();
    void onAdd();
    void onRemove();
    void onTabChange();
    void reloadPages(int entry);
    int appendIcon(HICON icon);
    void insertItem(int index, const std::u16string& text, int image);
    void selectItem(int index);
    void updateAddButton();
    ExpressPage* pageOfTab(int tab) const;

    DeviceBinding binding_;
    bool selecting_ = false;  // the window itself moves the list's selection
    FunctionDialogs dialogs_;
    std::unique_ptr<AppList> list_;
    UniqueImageList images_;
    std::vector<std::unique_ptr<ExpressPage>> pages_;  // in tab order
    KeyPageWindow* keyPage_ = nullptr;
    std::vector<CDlgTabPageWheel*> ringPages_;
};

// The Quick Setting window of the current device, run modally from the main window.
class CDlgShortcutKey : public ExpressKeyWindow {
public:
    explicit CDlgShortcutKey(ExpressServices services)
        : ExpressKeyWindow(ExpressWindow::ShortcutKey, std::move(services)) {}
    ~CDlgShortcutKey() override { destroy(); }
    INT_PTR open(HWND owner, DeviceBinding binding);
    // Ends the window and every dialog it opened, innermost first, with `code`.
    void close(INT_PTR code);
};

// The remote's window: modeless, owned by the main window, hidden by OK and Cancel. OK asks the
// main window to save; Export and Import run the main window's commands.
class CDlgRX20 : public ExpressKeyWindow {
public:
    explicit CDlgRX20(ExpressServices services)
        : ExpressKeyWindow(ExpressWindow::Remote, std::move(services)) {}
    ~CDlgRX20() override { destroy(); }
    HWND create(HWND owner, DeviceBinding binding);

protected:
    bool onButton(int id) override;

private:
    HWND owner_ = nullptr;
};

}  // namespace scribo::win
