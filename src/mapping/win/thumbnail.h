// The monitor thumbnail of the screen preview: a cached bitmap of the preview's size, filled by a
// halftone-stretched copy of the desktop on the events that change the monitor, and copied
// unchanged when the window paints (painting never captures the desktop).
#pragma once

#include <windows.h>

#include "platform/handles.h"

namespace scribo::win {

class Thumbnail {
public:
    // Copies the desktop inside `source` (virtual-screen pixels) into a bitmap of `size`; what
    // lies off the desktop stays black. A source of all zeros, an empty source or an empty size
    // change nothing.
    void capture(const RECT& source, SIZE size);
    // Copies the bitmap to `at` (its top-left corner); nothing before the first capture.
    void paint(HDC dc, POINT at) const;
    bool captured() const { return static_cast<bool>(bitmap_); }
    SIZE size() const { return size_; }

private:
    platform::UniqueBitmap bitmap_;
    SIZE size_{};
};

}  // namespace scribo::win
