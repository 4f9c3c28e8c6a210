// State of the function assignment dialog (CDlgHotKeys) as a model: the dialog feeds it option
// clicks, modifier boxes, key-down messages, Clear and OK, and shows what it returns. Portable:
// the window supplies each key's name from the system's key-name service.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "keys/descriptors.h"

namespace scribo {

struct CapturedKey {
    uint16_t keyData = 0;  // high 16 bits of the key message's lParam
    uint16_t vk = 0;       // low 16 bits of wParam
    std::u16string name;   // at most 39 characters
};

// Which of the device-dependent options (12, 13, 14) the dialog shows.
struct HotKeyOptionVisibility {
    bool switchGroup = false;   // 12: hasRing
    bool switchGroup2 = false;  // 13: hasRing and ringCount = 2
    bool trackPadMode = false;  // 14: hasTrackPad
};
HotKeyOptionVisibility hotKeyOptionsShown(int32_t hasRing, int32_t ringCount, int32_t hasTrackPad);

class HotKeyCapture {
public:
    static constexpr std::size_t kMaxCapturedKeys = 20;

    // Option click: the selected OtherFunction number (0..14).
    void selectOption(int option) { option_ = option; }
    int option() const { return option_; }
    // The four modifier boxes are enabled exactly while option 7 is selected.
    bool modifiersEnabled() const { return option_ == kOtherKeyboardFunctions; }

    // A modifier box ticked or unticked (flag bit kModCtrl, kModAlt, kModShift or kModWin).
    void setModifier(uint16_t flag, bool ticked);
    uint16_t flags() const { return flags_; }

    // A key-down or system-key-down message, before the dialog processes it. Recorded only while
    // option 7 is selected and fewer than 20 keys are held. Returns true when the message must be
    // consumed (Escape or Enter under option 7, so they are recorded instead of closing).
    bool keyDown(uint16_t vk, uint32_t lParam, std::u16string_view keyName);

    // Clear button: keys, key text and label emptied; modifiers stay.
    void clear();

    // The text of the read-only edit: modifier text, key text, or both joined by "+".
    std::u16string editText() const;
    std::u16string modifierText() const { return scribo::modifierText(flags_); }
    const std::u16string& keyText() const { return keyText_; }
    const std::vector<CapturedKey>& keys() const { return keys_; }

    // OK: the lists ("%d" then ":%d") and the label; the caller uses them for option 7 only.
    HotKeyResult confirm() const;

private:
    int option_ = 0;
    uint16_t flags_ = 0;
    std::vector<CapturedKey> keys_;
    std::u16string keyText_;
};

}  // namespace scribo
