// The arrow keys of the keyboard-driven controls, as the portable models name them.
#pragma once

#include <windows.h>

#include <optional>

#include "config/keyboard_steps.h"

namespace platform {

inline std::optional<scribo::ArrowKey> arrowKeyOf(UINT virtualKey) {
    switch (virtualKey) {
        case VK_LEFT:
            return scribo::ArrowKey::Left;
        case VK_RIGHT:
            return scribo::ArrowKey::Right;
        case VK_UP:
            return scribo::ArrowKey::Up;
        case VK_DOWN:
            return scribo::ArrowKey::Down;
        default:
            return std::nullopt;
    }
}

}  // namespace platform
