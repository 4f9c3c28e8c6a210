#include "platform/rect_tracker.h"

#include <windowsx.h>

#include <utility>

#include "platform/handles.h"

namespace platform {

namespace {

RECT normalised(RECT r) {
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    return r;
}

// The drag outline: an inverted dotted frame; drawing it twice leaves the window as it was.
void invertOutline(HDC dc, const RECT& r) {
    const RECT n = normalised(r);
    if (n.right - n.left < 1 || n.bottom - n.top < 1) return;
    DrawFocusRect(dc, &n);
}

LPCWSTR cursorFor(RectTracker::Hit hit) {
    switch (hit) {
        case RectTracker::kHitTopLeft:
        case RectTracker::kHitBottomRight:
            return IDC_SIZENWSE;
        case RectTracker::kHitTopRight:
        case RectTracker::kHitBottomLeft:
            return IDC_SIZENESW;
        case RectTracker::kHitTop:
        case RectTracker::kHitBottom:
            return IDC_SIZENS;
        case RectTracker::kHitLeft:
        case RectTracker::kHitRight:
            return IDC_SIZEWE;
        default:
            return IDC_SIZEALL;
    }
}

}  // namespace

bool RectTracker::handlesInside() const {
    const RECT r = normalised(rect);
    return r.right - r.left >= 3 * handleSize && r.bottom - r.top >= 3 * handleSize;
}

int RectTracker::handleCount() const { return handlesInside() ? kHitLeft + 1 : kHitBottomLeft + 1; }

RECT RectTracker::handleRect(int handle) const {
    const RECT r = normalised(rect);
    const int s = handleSize;
    if (!handlesInside()) {
        // Too small to hold the handles apart inside: the four corner handles sit just outside
        // the corners, so the rectangle can still be resized, and all of its inside moves it.
        switch (handle) {
            case kHitTopLeft:
                return {r.left - s, r.top - s, r.left, r.top};
            case kHitTopRight:
                return {r.right, r.top - s, r.right + s, r.top};
            case kHitBottomRight:
                return {r.right, r.bottom, r.right + s, r.bottom + s};
            case kHitBottomLeft:
                return {r.left - s, r.bottom, r.left, r.bottom + s};
            default:
                return {};
        }
    }
    const int midX = (r.left + r.right - s) / 2, midY = (r.top + r.bottom - s) / 2;
    int x = r.left, y = r.top;
    switch (handle) {
        case kHitTopLeft:
            break;
        case kHitTopRight:
            x = r.right - s;
            break;
        case kHitBottomRight:
            x = r.right - s;
            y = r.bottom - s;
            break;
        case kHitBottomLeft:
            y = r.bottom - s;
            break;
        case kHitTop:
            x = midX;
            break;
        case kHitRight:
            x = r.right - s;
            y = midY;
            break;
        case kHitBottom:
            x = midX;
            y = r.bottom - s;
            break;
        case kHitLeft:
            y = midY;
            break;
        default:
            break;
    }
    return {x, y, x + s, y + s};
}

void RectTracker::draw(HDC dc) const {
    const RECT r = normalised(rect);
    if (r.right <= r.left || r.bottom <= r.top) return;
    const COLORREF ink = RGB(0, 0, 0);
    // Hatched inside, drawn transparently so the picture below stays visible.
    UniqueBrush hatch(CreateHatchBrush(HS_BDIAGONAL, ink));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    FillRect(dc, &r, hatch.get());
    SetBkMode(dc, oldMode);
    // Solid line around it, then the handles.
    UniqueBrush line(CreateSolidBrush(ink));
    FrameRect(dc, &r, line.get());
    for (int h = kHitTopLeft; h < handleCount(); ++h) {
        const RECT hr = handleRect(h);
        FillRect(dc, &hr, line.get());
    }
}

RectTracker::Hit RectTracker::hitTest(POINT p) const {
    const RECT r = normalised(rect);
    if (r.right <= r.left || r.bottom <= r.top) return kHitNothing;  // nothing drawn, nothing hit
    for (int h = kHitTopLeft; h < handleCount(); ++h) {
        const RECT hr = handleRect(h);
        if (PtInRect(&hr, p)) return static_cast<Hit>(h);
    }
    return PtInRect(&r, p) ? kHitMiddle : kHitNothing;
}

bool RectTracker::setCursor(HWND, POINT clientPoint) const {
    const Hit hit = hitTest(clientPoint);
    if (hit == kHitNothing) return false;
    SetCursor(LoadCursorW(nullptr, cursorFor(hit)));
    return true;
}

RECT RectTracker::dragged(const RECT& from, Hit hit, int dx, int dy) {
    RECT r = from;
    switch (hit) {
        case kHitMiddle:
            OffsetRect(&r, dx, dy);
            break;
        case kHitTopLeft:
            r.left += dx;
            r.top += dy;
            break;
        case kHitTopRight:
            r.right += dx;
            r.top += dy;
            break;
        case kHitBottomRight:
            r.right += dx;
            r.bottom += dy;
            break;
        case kHitBottomLeft:
            r.left += dx;
            r.bottom += dy;
            break;
        case kHitTop:
            r.top += dy;
            break;
        case kHitRight:
            r.right += dx;
            break;
        case kHitBottom:
            r.bottom += dy;
            break;
        case kHitLeft:
            r.left += dx;
            break;
        default:
            break;
    }
    return r;
}

bool RectTracker::track(HWND window, POINT start, Hit hit) {
    if (hit == kHitNothing || window == nullptr) return false;
    const RECT from = normalised(rect);
    RECT current = from;
    SetCapture(window);
    WindowDc dc(window);
    invertOutline(dc.get(), current);
    bool accepted = false;
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg{};
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            quitCode = msg.wParam;
            break;
        }
        if (GetCapture() != window) break;
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            if (msg.hwnd != window) MapWindowPoints(msg.hwnd, window, &p, 1);
            const RECT next = dragged(from, hit, p.x - start.x, p.y - start.y);
            if (!EqualRect(&next, &current)) {
                invertOutline(dc.get(), current);
                current = next;
                invertOutline(dc.get(), current);
            }
            if (msg.message == WM_LBUTTONUP) {
                accepted = true;
                break;
            }
            continue;
        }
        if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_RBUTTONDOWN)
            break;
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) continue;
        // Anything else (paint, timers, sent messages) goes on; the outline is lifted meanwhile so
        // a repaint cannot leave half of it behind.
        invertOutline(dc.get(), current);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        invertOutline(dc.get(), current);
    }
    invertOutline(dc.get(), current);
    if (GetCapture() == window) ReleaseCapture();
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    if (!accepted) return false;
    rect = normalised(current);
    return true;
}

}  // namespace platform
