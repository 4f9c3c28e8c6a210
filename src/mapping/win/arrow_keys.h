// The arrow keys of the keyboard-driven controls, as the portable models name them.
#pragma once

#include <windows.h>

#include <optional>

#include "mapping/keyboard_steps.h"

namespace scribo::win {

inline std::optional<ArrowKey> arrowKeyOf(UINT virtualKey) {
    switch (virtualKey) {
        case VK_LEFT: return ArrowKey::Left;
        case VK_RIGHT: return ArrowKey::Right;
        case VK_UP: return ArrowKey::Up;
        case VK_DOWN: return ArrowKey::Down;
        default: return std::nullopt;
    }
}

}  // namespace scribo::win
