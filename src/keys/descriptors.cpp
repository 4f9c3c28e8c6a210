#include "keys/descriptors.h"

#include <cstdio>

#include "config/block_access.h"
#include "config/config_reader.h"
#include "config/safe_math.h"

namespace scribo {

namespace {

std::u16string ascii(const char* s) {
    std::u16string out;
    while (*s) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*s++)));
    return out;
}

std::u16string decimal(long long v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%lld", v);
    return ascii(buf);
}

// Field `index` of a "|"-separated descriptor; empty when it is missing.
std::u16string_view field(std::u16string_view text, int index) {
    for (int i = 0; i < index; ++i) {
        const std::size_t bar = text.find(u'|');
        if (bar == std::u16string_view::npos) return {};
        text.remove_prefix(bar + 1);
    }
    return text.substr(0, text.find(u'|'));
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// At most `n` units of `text`, never ending between the two halves of a surrogate pair.
std::u16string_view cutText(std::u16string_view text, std::size_t n) {
    if (text.size() <= n) return text;
    if (n > 0 && isHighSurrogate(text[n - 1])) --n;
    return text.substr(0, n);
}

int normalisedSelection(int s) { return (s >= 0 && s <= 2) ? s : 0; }

// A text that becomes one field of what the panel writes, with each of `separators` replaced
// by a look-alike, so that whoever splits the whole finds every field in its place.
std::u16string withoutSeparators(std::u16string_view text, std::u16string_view separators) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (separators.find(c) == std::u16string_view::npos) continue;
        c = c == u'|' ? kFieldBarLookalike : kRingTextSemicolonLookalike;
    }
    return out;
}

}  // namespace

std::u16string fileNamePart(std::u16string_view path) {
    const std::size_t slash = path.rfind(u'\\');
    return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

std::u16string otherFunctionText(int n, const TIniFile& lang) {
    char key[40];
    std::snprintf(key, sizeof key, "UserSet.Index.%02d", n);
    return lang.readText(u"Dialog_UserSet", ascii(key));
}

std::u16string describeFunction(std::u16string_view descriptor, const TIniFile& lang) {
    const std::u16string_view kind = field(descriptor, 0);
    const std::u16string_view first = field(descriptor, 1);
    if (kind == u"0") return fileNamePart(first);
    if (kind == u"1") return std::u16string(first);
    if (kind == u"2") return otherFunctionText(leadingInt(first), lang);
    return std::u16string(descriptor);
}

std::u16string modifierText(uint16_t flags) {
    std::u16string m;
    if (flags & kModCtrl) m += u"Ctrl";
    if (flags & kModAlt) m += m.empty() ? u"Alt" : u"+Alt";
    if (flags & kModShift) m += m.empty() ? u"Shift" : u"+Shift";
    if (flags & kModWin) m += m.empty() ? u"Win" : u"+Win";
    return m;
}

std::u16string keyCombinationLabel(std::u16string_view m, std::u16string_view k) {
    if (k.empty()) return std::u16string(m);
    if (m.empty()) return std::u16string(k);
    std::u16string label(m);
    label += u'+';
    label += k;
    return label;
}

std::optional<Assignment> makeRunProgram(std::u16string_view path) {
    std::u16string d = u"0|";
    d += path;
    if (d.size() > kDescriptorMaxText) return std::nullopt;
    return Assignment{d, fileNamePart(path)};
}

std::optional<Assignment> makeKeyCombination(std::u16string_view label, std::u16string_view vkList,
                                             std::u16string_view keyDataList, uint16_t flags) {
    std::u16string tail = u"|";
    tail += vkList;
    tail += u'|';
    tail += keyDataList;
    tail += u'|';
    tail += decimal(flags);
    const std::size_t fixed = 2 + tail.size();  // "1|" + tail
    if (fixed > kDescriptorMaxText) return std::nullopt;
    const std::u16string shown(cutText(withoutSeparators(label, u"|"), kDescriptorMaxText - fixed));
    return Assignment{u"1|" + shown + tail, shown};
}

Assignment makeOtherFunction(int n, const TIniFile& lang) {
    return {u"2|" + decimal(n), otherFunctionText(n, lang)};
}

std::optional<Assignment> assignmentFromHotKeys(const HotKeyResult& r, const TIniFile& lang) {
    if (r.option == kOtherKeyboardFunctions)
        return makeKeyCombination(r.label, r.vkList, r.keyDataList, r.flags);
    return makeOtherFunction(r.option, lang);
}

RingKeystroke ringKeystroke(bool ctrlDown, bool shiftDown, bool altDown, uint16_t vk,
                            uint32_t lParam, std::u16string_view keyName) {
    RingKeystroke k;
    std::u16string mods;
    if (ctrlDown) {
        mods = u"Ctrl";
        k.flags |= kModCtrl;
    }
    if (shiftDown) {
        mods += mods.empty() ? u"Shift" : u" + Shift";
        k.flags |= kModShift;
    }
    if (altDown) {
        mods += mods.empty() ? u"Alt" : u" + Alt";
        k.flags |= kModAlt;
    }
    const std::u16string name(cutText(withoutSeparators(keyName, u"|"), kRingKeyNameMax));
    k.scan = static_cast<uint16_t>((lParam >> 16) & 0xFFu);
    k.vk = vk;
    if (mods.empty()) {
        k.text = u"[" + name + u"]";
    } else if (vk == 16 || vk == 17 || vk == 18) {  // the modifier key itself
        k.vk = 0;
        k.text = u"[" + mods + u"]";
    } else {
        k.text = u"[" + mods + u" + " + name + u"]";
    }
    return k;
}

std::u16string makeRingKeystroke(const RingKeystroke& k) {
    const std::u16string tail =
        u"|" + decimal(k.vk) + u"|" + decimal(k.scan) + u"|" + decimal(k.flags);
    const std::u16string text = withoutSeparators(k.text, u"|");
    return u"1|" + std::u16string(cutText(text, kDescriptorMaxText - 2 - tail.size())) + tail;
}

RingGroupTexts splitRingDefault(std::u16string_view text) {
    // The same rule as the configuration file's ring texts: a ";" inside the left keystroke's
    // bracketed text ("[;]") is no boundary.
    RingGroupTexts t;
    splitRingText(text, t.name, t.left, t.right);
    return t;
}

// ---- assignment rules ---------------------------------------------------------------------------

std::u16string refusedChoiceText(const TIniFile& lang) {
    return lang.readText(u"Dialog_QuickSet", u"QuickSet.FunctionTooLong",
                         u"This program path or key combination is too long to be stored.");
}

AssignOutcome assignPenButton(DeviceRecord& rec, int button, int k, std::u16string_view label,
                              const FunctionDialogs& dialogs, const TIniFile& lang) {
    if (button != 1 && button != 2) return {std::u16string(label)};
    char16_t* field = button == 1 ? rec.penButton1Descriptor : rec.penButton2Descriptor;
    AssignOutcome out{std::u16string(label)};
    std::u16string descriptor = readField(field, kDescriptorUnits);
    std::optional<Assignment> chosen;
    if (k == 4) {
        if (auto path = dialogs.chooseProgram ? dialogs.chooseProgram() : std::nullopt;
            path && !path->empty()) {
            chosen = makeRunProgram(*path);
            out.refused = !chosen;
        }
    } else if (k == 5) {
        if (auto r = dialogs.chooseHotKeys
                         ? dialogs.chooseHotKeys(rec.hasRing, rec.hasTrackPad, rec.ringCount)
                         : std::nullopt) {
            chosen = assignmentFromHotKeys(*r, lang);
            out.refused = !chosen;
        }
    } else {
        out.label.clear();
    }
    if (chosen) {
        descriptor = chosen->descriptor;
        out.label = chosen->label;
    }
    storeField(field, kDescriptorUnits, descriptor);
    if (button == 1)
        rec.penButton1Index = k;
    else
        rec.penButton2Index = k;
    return out;
}

AssignOutcome assignExpressKey(const DeviceRecord& rec, AppEntry& entry, int key, int s,
                               std::u16string_view label, const FunctionDialogs& dialogs,
                               const TIniFile& lang) {
    if (key < 0 || key >= kMaxKeys) return {std::u16string(label)};
    char16_t* field = entry.keyDescriptor[key];
    AssignOutcome out;
    if (s == 1) {
        if (auto path = dialogs.chooseProgram ? dialogs.chooseProgram() : std::nullopt;
            path && !path->empty()) {
            if (auto a = makeRunProgram(*path)) {
                storeField(field, kDescriptorUnits, a->descriptor);
                out.label = a->label;
            } else {
                out.refused = true;
                storeField(field, kDescriptorUnits, u"");
            }
        } else {
            storeField(field, kDescriptorUnits, u"");
        }
    } else if (s == 2) {
        out.label = std::u16string(label);
        if (auto r = dialogs.chooseHotKeys
                         ? dialogs.chooseHotKeys(rec.hasRing, rec.hasTrackPad, rec.ringCount)
                         : std::nullopt) {
            if (auto a = assignmentFromHotKeys(*r, lang)) {
                storeField(field, kDescriptorUnits, a->descriptor);
                out.label = a->label;
            } else {
                out.refused = true;
            }
        }
    } else {
        storeField(field, kDescriptorUnits, u"");
    }
    entry.keyFunc[key] = normalisedSelection(s);
    return out;
}

FunctionDialogs askExpressKeyDialogFirst(const FunctionDialogs& dialogs, int s, int32_t hasRing,
                                         int32_t hasTrackPad, int32_t ringCount) {
    std::optional<std::u16string> program;
    std::optional<HotKeyResult> hotKeys;
    if (s == 1 && dialogs.chooseProgram) program = dialogs.chooseProgram();
    if (s == 2 && dialogs.chooseHotKeys)
        hotKeys = dialogs.chooseHotKeys(hasRing, hasTrackPad, ringCount);
    return {[program] { return program; },
            [hotKeys](int32_t, int32_t, int32_t) { return hotKeys; }};
}

AssignOutcome assignRingGroup(AppEntry& entry, int ring, int group, int s,
                              std::u16string_view label, const RingSettingDialog& dialog) {
    if (ring < 0 || ring >= kRings || group < 0 || group >= kRingFunctions)
        return {std::u16string(label)};
    entry.ringFunc[ring][group] = normalisedSelection(s);
    char16_t* name = entry.ringTextC[ring][group];
    char16_t* left = entry.ringTextA[ring][group];
    char16_t* right = entry.ringTextB[ring][group];
    if (s != 2) {
        storeField(name, kDescriptorUnits, u"");
        storeField(left, kDescriptorUnits, u"");
        storeField(right, kDescriptorUnits, u"");
        return {};
    }
    const auto setting = dialog ? dialog() : std::nullopt;
    if (!setting) return {std::u16string(label)};
    // The name leads the ring text "name;left;right" of the configuration file.
    const std::u16string shown(cutText(withoutSeparators(setting->name, u";"), kDescriptorMaxText));
    storeField(name, kDescriptorUnits, shown);
    storeField(left, kDescriptorUnits, makeRingKeystroke(setting->left));
    storeField(right, kDescriptorUnits, makeRingKeystroke(setting->right));
    return {shown};
}

std::array<std::u16string, kRingFunctions> restoreRingDefaults(const DeviceRecord& rec,
                                                               AppEntry& entry, int ring) {
    std::array<std::u16string, kRingFunctions> names;
    if (ring < 0 || ring >= kRings) return names;
    for (int g = 0; g < kRingFunctions; ++g) {
        entry.ringFunc[ring][g] = rec.ringFuncDefault[ring][g];
        RingGroupTexts t =
            splitRingDefault(readField(rec.ringTextDefault[ring][g], kDescriptorUnits));
        // Each part is shorter than the 256-unit default it came from, except when the default
        // was unterminated and holds no ";" at all: cut the name then.
        t.name = std::u16string(cutText(t.name, kDescriptorMaxText));
        storeField(entry.ringTextC[ring][g], kDescriptorUnits, t.name);
        storeField(entry.ringTextA[ring][g], kDescriptorUnits, t.left);
        storeField(entry.ringTextB[ring][g], kDescriptorUnits, t.right);
        names[g] = t.name;
    }
    return names;
}

}  // namespace scribo
