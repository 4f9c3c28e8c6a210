// What the express-key windows hand their tab pages, and the pages' common face: a child dialog
// of the tab control that loads the settings of one application entry.
#pragma once

#include <windows.h>

#include <string_view>

#include "config/device_binding.h"
#include "config/language.h"
#include "config/shared_block.h"
#include "keys/descriptors.h"
#include "platform/dialog.h"
#include "platform/pictures.h"

namespace scribo::win {

struct PageContext {
    HINSTANCE instance = nullptr;
    // The device being edited, through its window's binding: a stale binding leaves the pages
    // empty and refuses every write.
    const DeviceBinding* binding = nullptr;
    const TIniFile* lang = nullptr;
    platform::PictureLibrary* pictures = nullptr;
    const FunctionDialogs* dialogs = nullptr;  // program and custom-function choosers
};

class ExpressPage : public platform::Dialog {
public:
    explicit ExpressPage(const PageContext& ctx) : ctx_(ctx) {}
    ~ExpressPage() override { destroy(); }

    // Creates the page as a child of `tab`, placed in `area` (tab client coordinates), hidden.
    bool create(int templateId, HWND tab, const RECT& area);
    // The application entry (0..10) whose settings the page shows; 0 is "Others".
    virtual void loadForEntry(int) {}

protected:
    // The record the page edits, or null once its window's binding went stale.
    DeviceRecord* record() const {
        return ctx_.binding != nullptr ? ctx_.binding->record() : nullptr;
    }
    std::u16string text(std::u16string_view section, std::u16string_view key,
                        std::u16string_view fallback) const;
    // Fills a drop-down list with `items` and selects `selection` (-1: none).
    void fillCombo(int id, const std::u16string* items, int count, int selection) const;
    // Draws the device's picture of `slot` (an index into its picture ids) fitted into the
    // owner-drawn control of `item`.
    void drawDevicePicture(const DRAWITEMSTRUCT& item, int slot, bool topAligned) const;
    void selectItem(int id, int selection) const;
    int selectedItem(int id) const;

    PageContext ctx_;
};

// Draws `picture` into an owner-drawn control scaled down to fit (never up), centred
// horizontally, at the top or centred vertically; the control is cleared first.
void drawFittedPicture(const DRAWITEMSTRUCT& item, Gdiplus::Bitmap* picture, bool topAligned);

}  // namespace scribo::win
