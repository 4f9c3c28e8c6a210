// Arithmetic helpers for values that come from another process or from the user: results that
// would not fit 32 bits saturate instead of wrapping, and floating-point values are turned into
// integers without the undefined behaviour of an out-of-range conversion. Portable.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

namespace scribo {

// A 64-bit intermediate brought back to 32 bits, saturating at the ends of the range.
inline int32_t saturate32(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

// Truncation toward zero as a C cast does it; NaN gives 0 and values beyond the range saturate.
template <typename F>
int32_t truncToInt32(F v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<F>(2147483647.0)) return std::numeric_limits<int32_t>::max();
    if (v <= static_cast<F>(-2147483648.0)) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

// The integer at the start of a text as the C library's atoi reads it: leading blanks, an
// optional sign, then decimal digits; 0 when there are none. Saturates instead of overflowing.
inline int32_t leadingInt(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    int64_t v = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        v = v * 10 + (text[i] - u'0');
        if (v > int64_t{1} << 32) break;  // already beyond every 32-bit value
    }
    return saturate32(negative ? -v : v);
}

}  // namespace scribo
