// A rectangle the user moves and resizes with the mouse: drawn with a solid line, a hatched
// inside and resize handles inside its corners and edges; a rectangle too small to hold them
// apart keeps its corner handles just outside its corners. A drag runs with the mouse captured and
// draws its feedback as an inverted outline on the window's own device context, so the window is
// not repainted per mouse move; the rectangle may turn inside out while dragging and is
// normalised when the button goes up.
#pragma once

#include <windows.h>

namespace platform {

class RectTracker {
public:
    // What a point hits: one of the eight handles, the inside (move), or nothing.
    enum Hit {
        kHitNothing = -1,
        kHitTopLeft = 0,
        kHitTopRight,
        kHitBottomRight,
        kHitBottomLeft,
        kHitTop,
        kHitRight,
        kHitBottom,
        kHitLeft,
        kHitMiddle,
    };

    static constexpr int kHandleSize = 6;  // at 96 dots per inch

    RECT rect{};
    int handleSize = kHandleSize;  // in pixels, scaled with the window's dots per inch

    void draw(HDC dc) const;
    // The handle under `p` (inside or, on a small rectangle, outside the rectangle), else
    // kHitMiddle inside the rectangle, else kHitNothing.
    Hit hitTest(POINT p) const;
    // The cursor for the part under `clientPoint`; false when the point is outside the tracker.
    bool setCursor(HWND window, POINT clientPoint) const;
    // Follows the mouse from `start` (client coordinates of `window`) until the left button goes
    // up; Escape, the right button or a lost capture cancel. Returns true when the drag ended
    // with the button; `rect` then holds the normalised result.
    bool track(HWND window, POINT start, Hit hit);

    // The rectangle that a drag of part `hit` by (dx, dy) leaves, before normalisation.
    static RECT dragged(const RECT& from, Hit hit, int dx, int dy);

    // Where handle `handle` (kHitTopLeft..kHitLeft) is drawn; empty for a handle not shown.
    RECT handleRect(int handle) const;

private:
    bool handlesInside() const;
    int handleCount() const;  // the handles shown are kHitTopLeft .. handleCount() - 1
};

}  // namespace platform
