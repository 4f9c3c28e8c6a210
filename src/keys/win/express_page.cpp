#include "keys/win/express_page.h"

#include <algorithm>

#include "platform/dpi.h"
#include "platform/wide.h"

namespace scribo::win {

bool ExpressPage::create(int templateId, HWND tab, const RECT& area) {
    HWND h = createModeless(ctx_.instance, templateId, tab);
    if (h == nullptr) return false;
    SetWindowPos(h, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOACTIVATE);
    ShowWindow(h, SW_HIDE);
    return true;
}

std::u16string ExpressPage::text(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view fallback) const {
    return ctx_.lang != nullptr ? ctx_.lang->readText(section, key, fallback)
                                : std::u16string(fallback);
}

void ExpressPage::fillCombo(int id, const std::u16string* items, int count, int selection) const {
    HWND combo = item(id);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i)
        SendMessageW(combo, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(platform::toWide(items[i]).c_str()));
    selectItem(id, selection);
}

void ExpressPage::selectItem(int id, int selection) const {
    SendMessageW(item(id), CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

int ExpressPage::selectedItem(int id) const {
    return static_cast<int>(SendMessageW(item(id), CB_GETCURSEL, 0, 0));
}

void ExpressPage::drawDevicePicture(const DRAWITEMSTRUCT& item, int slot, bool topAligned) const {
    const DeviceRecord* rec = record();
    const int id = rec != nullptr ? rec->pictureIds[slot] : 0;
    drawFittedPicture(item, ctx_.pictures != nullptr ? ctx_.pictures->picture(id) : nullptr,
                      topAligned);
}

void drawFittedPicture(const DRAWITEMSTRUCT& di, Gdiplus::Bitmap* picture, bool topAligned) {
    FillRect(di.hDC, &di.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (picture == nullptr) return;
    const double w = di.rcItem.right - di.rcItem.left;
    const double h = di.rcItem.bottom - di.rcItem.top;
    const double pw = picture->GetWidth();
    const double ph = picture->GetHeight();
    if (pw <= 0 || ph <= 0 || w <= 0 || h <= 0) return;
    // Never larger than the picture's own size at the control's dots per inch.
    const double own = static_cast<double>(platform::dpiOf(di.hwndItem)) / platform::kBaseDpi;
    const double s = std::min({own, h / ph, w / pw});
    const double dw = pw * s;
    const double dh = ph * s;
    const double x = di.rcItem.left + (w - dw) / 2;
    const double y = di.rcItem.top + (topAligned ? 0.0 : (h - dh) / 2);
    Gdiplus::Graphics g(di.hDC);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    g.DrawImage(picture,
                Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                               static_cast<Gdiplus::REAL>(dw), static_cast<Gdiplus::REAL>(dh)));
}

}  // namespace scribo::win
