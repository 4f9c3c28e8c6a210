#include "platform/pictures.h"

#include <algorithm>

#include <objidl.h>
#include <gdiplus.h>

#include "platform/dpi.h"

namespace platform {

PictureLibrary::~PictureLibrary() { unload(); }

bool PictureLibrary::load(const wchar_t* path) {
    unload();
    module_.reset(
        LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    return static_cast<bool>(module_);
}

void PictureLibrary::unload() {
    cache_.clear();
    module_.reset();
}

Gdiplus::Bitmap* PictureLibrary::picture(int id) {
    if (!module_ || id <= 0 || id > 0xFFFF) return nullptr;
    auto it = cache_.find(id);
    if (it != cache_.end()) return it->second.get();
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    if (HRSRC res = FindResourceW(module_.get(), MAKEINTRESOURCEW(id), L"PNG")) {
        const DWORD size = SizeofResource(module_.get(), res);
        const void* data = LockResource(LoadResource(module_.get(), res));
        HGLOBAL copy = data != nullptr ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
        if (copy != nullptr) {
            memcpy(GlobalLock(copy), data, size);
            GlobalUnlock(copy);
            IStream* stream = nullptr;
            if (SUCCEEDED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
                // Decode fully so the stream can go now.
                std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream));
                if (decoded && decoded->GetLastStatus() == Gdiplus::Ok)
                    bitmap.reset(decoded->Clone(0, 0, decoded->GetWidth(), decoded->GetHeight(),
                                                PixelFormat32bppPARGB));
                decoded.reset();
                stream->Release();
            } else {
                GlobalFree(copy);
            }
        }
    }
    if (bitmap && bitmap->GetLastStatus() != Gdiplus::Ok) bitmap.reset();
    return (cache_[id] = std::move(bitmap)).get();
}

PictureLibrary::Sized PictureLibrary::forDpi(int id, int dpi) {
    Sized s;
    s.bitmap = picture(id);
    if (s.bitmap == nullptr) return s;
    if (dpi <= 0) dpi = kBaseDpi;
    const int w = static_cast<int>(s.bitmap->GetWidth()),
              h = static_cast<int>(s.bitmap->GetHeight());
    s.width = MulDiv(w, dpi, kBaseDpi);
    s.height = MulDiv(h, dpi, kBaseDpi);
    if (dpi > kBaseDpi && id > 0 && id < kLargeOffset)
        if (Gdiplus::Bitmap* large = picture(id + kLargeOffset)) s.bitmap = large;
    return s;
}

void drawPictureInControl(const DRAWITEMSTRUCT& item, const PictureLibrary::Sized& picture,
                          bool bicubic) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (picture.bitmap == nullptr) return;
    Gdiplus::Graphics g(item.hDC);
    g.SetInterpolationMode(bicubic ? Gdiplus::InterpolationModeHighQualityBicubic
                                   : Gdiplus::InterpolationModeHighQualityBilinear);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    // Made smaller, never cut, when the control has less room than the picture needs.
    const int cw = item.rcItem.right - item.rcItem.left, ch = item.rcItem.bottom - item.rcItem.top;
    int w = picture.width, h = picture.height;
    if (w > cw || h > ch) {
        const double s = std::min(static_cast<double>(cw) / w, static_cast<double>(ch) / h);
        w = static_cast<int>(w * s);
        h = static_cast<int>(h * s);
    }
    g.DrawImage(picture.bitmap, static_cast<INT>(item.rcItem.left),
                static_cast<INT>(item.rcItem.top), static_cast<INT>(w), static_cast<INT>(h));
}

}  // namespace platform
