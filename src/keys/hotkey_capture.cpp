#include "keys/hotkey_capture.h"

#include <algorithm>
#include <string>

namespace scribo {

namespace {

std::u16string decimal(unsigned v) {
    std::u16string s;
    do {
        s.insert(s.begin(), static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
    } while (v != 0);
    return s;
}

}  // namespace

HotKeyOptionVisibility hotKeyOptionsShown(int32_t hasRing, int32_t ringCount, int32_t hasTrackPad) {
    return {hasRing != 0, hasRing != 0 && ringCount == 2, hasTrackPad != 0};
}

void HotKeyCapture::setModifier(uint16_t flag, bool ticked) {
    if (ticked)
        flags_ |= flag;
    else
        flags_ &= static_cast<uint16_t>(~flag);
}

bool HotKeyCapture::keyDown(uint16_t vk, uint32_t lParam, std::u16string_view keyName) {
    if (option_ != kOtherKeyboardFunctions) return false;
    if (keys_.size() < kMaxCapturedKeys) {
        CapturedKey k;
        k.keyData = static_cast<uint16_t>(lParam >> 16);
        k.vk = vk;
        // Names are cut by code unit like the system's 40-unit buffer; never inside a pair.
        std::size_t n = std::min(keyName.size(), kKeyNameMax);
        if (n < keyName.size() && n > 0 && keyName[n - 1] >= 0xD800 && keyName[n - 1] <= 0xDBFF)
            --n;
        k.name = std::u16string(keyName.substr(0, n));
        if (!keys_.empty()) keyText_ += u',';
        keyText_ += k.name;
        keys_.push_back(std::move(k));
    }
    return vk == 27 || vk == 13;
}

void HotKeyCapture::clear() {
    keys_.clear();
    keyText_.clear();
}

std::u16string HotKeyCapture::editText() const {
    return keyCombinationLabel(modifierText(), keyText_);
}

HotKeyResult HotKeyCapture::confirm() const {
    HotKeyResult r;
    r.option = option_;
    r.flags = flags_;
    r.label = editText();
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (i) {
            r.vkList += u':';
            r.keyDataList += u':';
        }
        r.vkList += decimal(keys_[i].vk);
        r.keyDataList += decimal(keys_[i].keyData);
    }
    return r;
}

}  // namespace scribo
