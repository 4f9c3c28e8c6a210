#include "shell/info_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace scribo {
namespace {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

std::u16string clipInfoText(std::u16string_view text) {
    std::u16string clipped(text.substr(0, kInfoTextMaxUnits));
    if (!clipped.empty() && isHighSurrogate(clipped.back())) clipped.pop_back();
    return clipped;
}

std::u16string textFromCopyData(const void* data, std::size_t bytes) {
    std::u16string text;
    if (data == nullptr) return text;
    const auto* p = static_cast<const unsigned char*>(data);
    const std::size_t units = std::min(bytes / 2, kInfoTextMaxUnits);
    for (std::size_t i = 0; i < units; ++i) {
        char16_t c;
        std::memcpy(&c, p + 2 * i, sizeof c);
        if (c == 0) break;
        text.push_back(c);
    }
    return clipInfoText(text);
}

InfoBox layoutInfoText(float w, float h, float tw, float th) {
    InfoBox box;
    box.x = std::max(0.0f, std::floor((w - tw) * 0.5f));
    box.y = std::floor((h - th) * 0.5f);
    box.width = std::min(tw, w);
    box.height = th;
    return box;
}

InfoBox plateAround(const InfoBox& text, float w, float h, float padX, float padY) {
    const float left = std::max(0.0f, text.x - padX);
    const float top = std::max(0.0f, text.y - padY);
    const float right = std::min(w, text.x + text.width + padX);
    const float bottom = std::min(h, text.y + text.height + padY);
    return {left, top, std::max(0.0f, right - left), std::max(0.0f, bottom - top)};
}

uint32_t plateColourFor(uint32_t textArgb) {
    const unsigned r = (textArgb >> 16) & 0xFF, g = (textArgb >> 8) & 0xFF, b = textArgb & 0xFF;
    // Rec. 601 luma in thousandths.
    const unsigned luma = (299 * r + 587 * g + 114 * b) / 1000;
    return luma >= 128 ? 0xC8202226u : 0xC8F5F5F5u;
}

void InfoTicker::setInterval(std::uint64_t requestedMs) {
    if (requestedMs == 0) return;
    interval_ = static_cast<unsigned>(std::min<std::uint64_t>(requestedMs, kInfoTickMaxMs));
}

bool InfoTicker::tick() {
    if (++ticks_ < kInfoTicksShown) return false;
    ticks_ = 0;
    return true;
}

}  // namespace scribo
