#include "mapping/win/thumbnail.h"

#include "mapping/screen_mapping.h"

namespace scribo::win {

void Thumbnail::capture(const RECT& source, SIZE size) {
    if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0) return;
    if (source.right <= source.left || source.bottom <= source.top || size.cx <= 0 || size.cy <= 0)
        return;
    // The monitor entry comes from the service: copy only the part that lies on the desktop (a
    // copy from outside it is not something every display driver survives) and leave the rest
    // black.
    const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const Rect32 desktop{vx, vy, vx + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         vy + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const auto copy = thumbnailCopy({source.left, source.top, source.right, source.bottom}, desktop,
                                    size.cx, size.cy);
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
    if (!copy || copy->target.left > 0 || copy->target.top > 0 || copy->target.right < size.cx ||
        copy->target.bottom < size.cy)
        PatBlt(memory.get(), 0, 0, size.cx, size.cy, BLACKNESS);
    if (!copy) return;
    SetStretchBltMode(memory.get(), HALFTONE);
    SetBrushOrgEx(memory.get(), 0, 0, nullptr);
    const Rect32& s = copy->source;
    const Rect32& t = copy->target;
    StretchBlt(memory.get(), t.left, t.top, t.right - t.left, t.bottom - t.top, screen.get(),
               s.left, s.top, s.right - s.left, s.bottom - s.top, SRCCOPY);
}

void Thumbnail::paint(HDC dc, POINT at) const {
    if (!bitmap_) return;
    platform::UniqueMemoryDc memory(CreateCompatibleDC(dc));
    if (!memory) return;
    platform::SelectGuard select(memory.get(), bitmap_.get());
    BitBlt(dc, at.x, at.y, size_.cx, size_.cy, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace scribo::win
