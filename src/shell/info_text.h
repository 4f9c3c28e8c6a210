// The on-screen info strip's model: the text taken from a data-copy message (bounded by the
// sender's byte count), where the text and its backing plate sit in the strip, the plate's colour
// against the text colour, and the tick counting that hides a text after five ticks. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace scribo {

// A text stays for this many ticks of the interval.
inline constexpr int kInfoTicksShown = 5;
// The longest interval a timer accepts; larger requests are clamped to it.
inline constexpr unsigned kInfoTickMaxMs = 0x7FFFFFFF;
// A one-line strip never shows more than this (language texts are at most 254 units); longer
// texts are cut, on whole characters, so that a stray huge text cannot stall the UI thread.
inline constexpr std::size_t kInfoTextMaxUnits = 256;

// The text as the strip keeps it: at most kInfoTextMaxUnits, never ending in half a surrogate pair.
std::u16string clipInfoText(std::u16string_view text);

// The UTF-16 text at `data`: up to its terminating zero, never past `bytes` (an odd last byte is
// ignored) nor past kInfoTextMaxUnits. A cut never leaves half a surrogate pair. Null data or
// zero bytes give an empty text. The data need not be aligned.
std::u16string textFromCopyData(const void* data, std::size_t bytes);

struct InfoBox {
    float x = 0, y = 0, width = 0, height = 0;
    bool operator==(const InfoBox& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

// The box of a text measuring tw x th in a strip of w x h pixels: centred on whole pixels; a text
// wider than the strip starts at the left edge and its box is the strip's width (clipped right).
InfoBox layoutInfoText(float w, float h, float tw, float th);

// The plate behind a text box: the box grown by padX/padY on each side, kept inside the strip.
InfoBox plateAround(const InfoBox& text, float w, float h, float padX, float padY);

// A translucent plate colour (ARGB) that contrasts with the text colour: dark behind light text,
// light behind dark text, so the text reads over any desktop.
uint32_t plateColourFor(uint32_t textArgb);

// Interval and tick count of the strip's timer.
class InfoTicker {
public:
    unsigned interval() const { return interval_; }
    int tickCount() const { return ticks_; }

    // A requested interval: 0 keeps the current one, larger than kInfoTickMaxMs is clamped.
    void setInterval(std::uint64_t requestedMs);
    // A new text starts its count again.
    void restart() { ticks_ = 0; }
    // One tick; true when the text must be hidden now (the count starts again).
    bool tick();

private:
    unsigned interval_ = 300;
    int ticks_ = 0;
};

}  // namespace scribo
