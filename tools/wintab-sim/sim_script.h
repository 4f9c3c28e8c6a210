// The pressure script of the WinTab32.dll stand-in: which pressure the next packet carries.
//   "stroke"     repeated pen strokes of `strokeLength` packets: pressure rises from 0 to max over
//                the first half and falls back over the second; the pen moves left to right
//   "fixed:<n>"  every packet carries pressure n (at most max)
//   "off"        no packets
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace wintabsim {

enum class ScriptMode { Stroke, Fixed, Off };

struct Script {
    ScriptMode mode = ScriptMode::Stroke;
    uint32_t fixed = 0;
    uint32_t step = 0;  // packets of the current stroke so far
};

// Parses a script word; false (and `out` unchanged) for anything else.
inline bool parseScript(const char* text, Script& out) {
    if (text == nullptr) return false;
    if (std::strcmp(text, "stroke") == 0) {
        out = Script{ScriptMode::Stroke, 0, 0};
        return true;
    }
    if (std::strcmp(text, "off") == 0) {
        out = Script{ScriptMode::Off, 0, 0};
        return true;
    }
    if (std::strncmp(text, "fixed:", 6) == 0 && text[6] >= '0' && text[6] <= '9') {
        char* end = nullptr;
        const unsigned long v = std::strtoul(text + 6, &end, 10);
        if (end == nullptr || *end != '\0') return false;
        out = Script{ScriptMode::Fixed, static_cast<uint32_t>(v > 0xFFFFFFu ? 0xFFFFFFu : v), 0};
        return true;
    }
    return false;
}

struct ScriptPacket {
    uint32_t pressure;
    uint32_t phase;  // position in the stroke, 0..strokeLength-1
};

// The next packet of the script, or nullopt when none goes out.
inline std::optional<ScriptPacket> nextPacket(Script& s, uint32_t maxPressure,
                                              uint32_t strokeLength) {
    switch (s.mode) {
        case ScriptMode::Off:
            return std::nullopt;
        case ScriptMode::Fixed:
            return ScriptPacket{s.fixed < maxPressure ? s.fixed : maxPressure, 0};
        case ScriptMode::Stroke:
            break;
    }
    const uint32_t n = strokeLength < 2 ? 2 : strokeLength;
    const uint32_t half = n / 2;
    const uint32_t i = s.step % n;
    s.step = (i + 1) % n;
    const uint32_t rise = i <= half ? i : n - i;
    return ScriptPacket{static_cast<uint32_t>(uint64_t{maxPressure} * rise / half), i};
}

}  // namespace wintabsim
