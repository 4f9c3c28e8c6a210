// PNG pictures from the resource-only picture library, decoded once and kept.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <map>
#include <memory>

#include "platform/handles.h"

namespace platform {

class PictureLibrary {
public:
    PictureLibrary() = default;
    ~PictureLibrary();
    PictureLibrary(const PictureLibrary&) = delete;
    PictureLibrary& operator=(const PictureLibrary&) = delete;

    bool load(const wchar_t* path);  // false when the library is missing
    bool loaded() const { return static_cast<bool>(module_); }
    // The picture with this number, or nullptr when there is none. Owned by the library.
    Gdiplus::Bitmap* picture(int id);

    // Small pictures are also shipped drawn at twice their size, under their number plus this.
    static constexpr int kLargeOffset = 1000;
    struct Sized {
        Gdiplus::Bitmap* bitmap = nullptr;
        int width = 0, height = 0;  // the size to draw it at
    };
    // The picture to draw at `dpi`: its own size scaled with the dpi, taken from the copy at
    // twice the size when the screen needs more pixels than the picture has and there is one.
    Sized forDpi(int id, int dpi);
    void unload();

private:
    UniqueModule module_;
    std::map<int, std::unique_ptr<Gdiplus::Bitmap>> cache_;
};

// Clears the control with the button-face colour and draws the picture at its size at the
// top-left corner, made smaller to fit a smaller control (nothing when it is missing).
void drawPictureInControl(const DRAWITEMSTRUCT& item, const PictureLibrary::Sized& picture,
                          bool bicubic);

}  // namespace platform
