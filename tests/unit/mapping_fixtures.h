// What the mapping tests share: rectangles and areas in failure messages as their four numbers,
// and where a 1024 x 1024 client places the tablet preview at rotation 0.
#pragma once

#include <ostream>

#include "mapping/screen_mapping.h"

namespace scribo {

inline void PrintTo(const Rect32& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
inline void PrintTo(const Area& a, std::ostream* os) {
    *os << "[" << a.x << ", " << a.y << ", " << a.w << ", " << a.h << "]";
}

inline const Rect32 kTabletPreview{420, 330, 554, 448};

}  // namespace scribo
