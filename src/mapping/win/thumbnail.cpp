#include "mapping/win/thumbnail.h"

namespace scribo::win {

void Thumbnail::capture(const RECT& source, SIZE size) {
    if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0) return;
    const int sw = source.right - source.left, sh = source.bottom - source.top;
    if (sw <= 0 || sh <= 0 || size.cx <= 0 || size.cy <= 0) return;
    platform::WindowDc screen(GetDesktopWindow());
    if (!screen) return;
    // One bitmap, created at the first capture and kept while the preview keeps its size.
    if (!bitmap_ || size.cx != size_.cx || size.cy != size_.cy) {
        bitmap_.reset(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
        size_ = bitmap_ ? size : SIZE{};
        if (!bitmap_) return;
    }
    platform::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    if (!memory) return;
    platform::SelectGuard select(memory.get(), bitmap_.get());
    SetStretchBltMode(memory.get(), HALFTONE);
    SetBrushOrgEx(memory.get(), 0, 0, nullptr);
    StretchBlt(memory.get(), 0, 0, size.cx, size.cy, screen.get(), source.left, source.top, sw, sh,
               SRCCOPY);
}

void Thumbnail::paint(HDC dc, POINT at) const {
    if (!bitmap_) return;
    platform::UniqueMemoryDc memory(CreateCompatibleDC(dc));
    if (!memory) return;
    platform::SelectGuard select(memory.get(), bitmap_.get());
    BitBlt(dc, at.x, at.y, size_.cx, size_.cy, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace scribo::win
