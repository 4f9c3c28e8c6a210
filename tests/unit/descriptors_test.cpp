#include "keys/descriptors.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "config/block_access.h"
#include "config/config_reader.h"
#include "keys/hotkey_capture.h"
#include "model_fixtures.h"

namespace scribo {
namespace {

using testing::MemoryProfile;
using testing::zeroBlock;

class DescriptorTest : public ::testing::Test {
protected:
    DescriptorTest() {
        profile.texts[u"Dialog_UserSet|UserSet.Index.00"] = u"None";
        profile.texts[u"Dialog_UserSet|UserSet.Index.03"] = u"Middle";
    }
    MemoryProfile profile;
    TIniFile lang{profile, u"English.ini"};
};

TEST_F(DescriptorTest, LabelsOfStoredDescriptors) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"0|C:\\Tools\\paint.exe", u"paint.exe"},
        {u"0|paint.exe", u"paint.exe"},
        {u"0|", u""},
        {u"0|C:\\Tools\\", u""},
        {u"2|3", u"Middle"},
        {u"2|x", u"None"},
        {u"2", u"None"},                 // missing field reads as empty
        {u"2|14", u"UserSet.Index.14"},  // no language text: the key
        {u"2|99999999999", u"UserSet.Index.2147483647"},
        {u"1|Ctrl+C|67|46|2", u"Ctrl+C"},
        {u"1", u""},
        {u"9|abc", u"9|abc"},
        {u"01|x", u"01|x"},  // the kind must be the digit exactly
        {u"", u""},
    };
    for (const auto& [descriptor, label] : cases) {
        SCOPED_TRACE(
            std::string(descriptor, descriptor + std::char_traits<char16_t>::length(descriptor)));
        EXPECT_EQ(describeFunction(descriptor, lang), label);
    }
}

TEST_F(DescriptorTest, ModifierTextAndCombinationLabels) {
    const std::pair<uint16_t, const char16_t*> mods[] = {
        {0, u""},
        {kModCtrl, u"Ctrl"},
        {kModShift, u"Shift"},
        {kModWin, u"Win"},
        {kModAlt | kModShift, u"Alt+Shift"},
        {kModCtrl | kModWin, u"Ctrl+Win"},
        {kModAlt | kModWin, u"Alt+Win"},
        {15, u"Ctrl+Alt+Shift+Win"},
    };
    for (const auto& [flags, text] : mods) EXPECT_EQ(modifierText(flags), text) << flags;
    EXPECT_EQ(keyCombinationLabel(u"Ctrl", u"A,B"), u"Ctrl+A,B");
    EXPECT_EQ(keyCombinationLabel(u"", u"A,B"), u"A,B");
    EXPECT_EQ(keyCombinationLabel(u"Ctrl+Win", u""), u"Ctrl+Win");

    auto modsOnly = makeKeyCombination(u"Ctrl+Win", u"", u"", kModCtrl | kModWin);
    ASSERT_TRUE(modsOnly);
    EXPECT_EQ(modsOnly->descriptor, u"1|Ctrl+Win|||10");
    EXPECT_EQ(modsOnly->label, u"Ctrl+Win");
    auto keys = makeKeyCombination(u"A,B", u"65:66", u"30:48", 0);
    EXPECT_EQ(keys->descriptor, u"1|A,B|65:66|30:48|0");

    auto other = makeOtherFunction(3, lang);
    EXPECT_EQ(other.descriptor, u"2|3");
    EXPECT_EQ(other.label, u"Middle");
}

TEST_F(DescriptorTest, DescriptorsNeverOutgrowTheirField) {
    const std::u16string longPath = u"C:\\" + std::u16string(296, u'p') + u".exe";  // 303 units
    EXPECT_FALSE(makeRunProgram(longPath));
    const std::u16string fits = u"C:\\" + std::u16string(249, u'p');  // "0|" + 252 = 254
    ASSERT_TRUE(makeRunProgram(fits));

    // Twenty keys with 39-character names and the largest codes a capture can produce.
    std::u16string label = u"Ctrl+Alt+Shift+Win+", vks, data;
    for (int i = 0; i < kMaxKeys; ++i) {
        label += (i ? u"," : u"") + std::u16string(kKeyNameMax, static_cast<char16_t>(u'a' + i));
        vks += i ? u":65535" : u"65535";
        data += i ? u":65535" : u"65535";
    }
    auto a = makeKeyCombination(label, vks, data, 15);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->descriptor.size(), kDescriptorMaxText);
    const std::u16string tail = u"|" + vks + u"|" + data + u"|15";
    EXPECT_EQ(a->descriptor.substr(a->descriptor.size() - tail.size()), tail);  // lists whole
    EXPECT_EQ(u"1|" + a->label + tail, a->descriptor);
    EXPECT_EQ(label.substr(0, a->label.size()), a->label);
    EXPECT_EQ(describeFunction(a->descriptor, lang), a->label);

    // A cut never splits a surrogate pair.
    std::u16string emoji;
    for (int i = 0; i < 200; ++i) emoji += u"\U0001F58A";
    auto e = makeKeyCombination(emoji, u"65", u"30", 0);
    ASSERT_TRUE(e);
    EXPECT_LE(e->descriptor.size(), kDescriptorMaxText);
    EXPECT_EQ(e->label.size() % 2, 0u);
    EXPECT_FALSE(makeKeyCombination(u"x", std::u16string(300, u'1'), u"", 0));

    // The field itself is never overrun: the rules below refuse and keep what was stored.
    auto block = zeroBlock();
    DeviceRecord& rec = block->devices[0];
    storeField(rec.penButton1Descriptor, u"2|3");
    FunctionDialogs dialogs;
    dialogs.chooseProgram = [&] { return std::optional<std::u16string>(longPath); };
    auto out = assignPenButton(rec, 1, 4, u"Middle", dialogs, lang);
    EXPECT_TRUE(out.refused);
    EXPECT_EQ(out.label, u"Middle");
    EXPECT_EQ(readField(rec.penButton1Descriptor), u"2|3");
    EXPECT_EQ(rec.penButton1Index, 4);
    EXPECT_EQ(rec.penButton2Descriptor[0], u'\0');
}

TEST(RingKeystrokes, TextVirtualKeyScanAndFlags) {
    struct Case {
        bool ctrl, shift, alt;
        uint16_t vk;
        uint32_t lParam;
        const char16_t* name;
        const char16_t* text;
        uint16_t expectVk, scan, flags;
    } cases[] = {
        {false, true, false, 16, 0x002A0001, u"Shift", u"[Shift]", 0, 0x2A, 1},
        {true, false, true, 116, 0x003F0001, u"F5", u"[Ctrl + Alt + F5]", 116, 0x3F, 6},
        {false, false, false, 65, 0x001E0001, u"A", u"[A]", 65, 0x1E, 0},
        {true, true, false, 83, 0x001F0001, u"S", u"[Ctrl + Shift + S]", 83, 0x1F, 3},
        {false, true, true, 18, 0x20380001, u"Alt", u"[Shift + Alt]", 0, 0x38, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vk);
        const RingKeystroke k = ringKeystroke(c.ctrl, c.shift, c.alt, c.vk, c.lParam, c.name);
        EXPECT_EQ(k.text, c.text);
        EXPECT_EQ(k.vk, c.expectVk);
        EXPECT_EQ(k.scan, c.scan);
        EXPECT_EQ(k.flags, c.flags);
    }
    EXPECT_EQ(makeRingKeystroke(ringKeystroke(true, false, true, 116, 0x003F0001, u"F5")),
              u"1|[Ctrl + Alt + F5]|116|63|6");
    const RingKeystroke longName =
        ringKeystroke(false, false, false, 65, 0, std::u16string(60, u'n'));
    EXPECT_EQ(longName.text.size(), kRingKeyNameMax + 2);
    RingKeystroke huge;
    huge.text = std::u16string(400, u'x');
    EXPECT_EQ(makeRingKeystroke(huge).size(), kDescriptorMaxText);
}

TEST(RingDefaults, SplitAtSemicolons) {
    struct Case {
        const char16_t* text;
        RingGroupTexts parts;
    } cases[] = {
        {u"Zoom;1|[Ctrl + -]|189|12|2;1|[Ctrl + +]|187|13|2",
         {u"Zoom", u"1|[Ctrl + -]|189|12|2", u"1|[Ctrl + +]|187|13|2"}},
        {u"Name", {u"Name", u"", u""}},
        {u"", {u"", u"", u""}},
        {u"a;b", {u"a", u"b", u""}},
        {u";;", {u"", u"", u""}},
        {u"a;b;1|[;]|186|39|0", {u"a", u"b", u"1|[;]|186|39|0"}},
        // The ";" key in the left keystroke is no boundary.
        {u"Semi;1|[;]|186|39|0;1|[Shift + ;]|186|39|1",
         {u"Semi", u"1|[;]|186|39|0", u"1|[Shift + ;]|186|39|1"}},
    };
    for (const auto& c : cases) {
        const RingGroupTexts t = splitRingDefault(c.text);
        EXPECT_EQ(t.name, c.parts.name);
        EXPECT_EQ(t.left, c.parts.left);
        EXPECT_EQ(t.right, c.parts.right);
    }
}

std::size_t fieldCount(std::u16string_view descriptor) {
    return static_cast<std::size_t>(std::count(descriptor.begin(), descriptor.end(), u'|')) + 1;
}

// On keyboards whose key is named "|" (VK_OEM_5 here), and for a ring group named with a ";":
// every field of what the panel writes stays in its place, and the label stored is the one shown.
TEST_F(DescriptorTest, ASeparatorTypedByTheUserNeverMovesAField) {
    HotKeyCapture capture;
    capture.selectOption(kOtherKeyboardFunctions);
    capture.setModifier(kModCtrl, true);
    capture.keyDown(220, 0x002B0001, u"|");
    capture.keyDown(65, 0x001E0001, u"A");
    const auto combo = assignmentFromHotKeys(capture.confirm(), lang);
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->descriptor, u"1|Ctrl+\u00A6,A|220:65|43:30|2");
    EXPECT_EQ(fieldCount(combo->descriptor), 5u);
    EXPECT_EQ(combo->label, u"Ctrl+\u00A6,A");
    EXPECT_EQ(describeFunction(combo->descriptor, lang), combo->label);

    const RingKeystroke bar = ringKeystroke(false, true, false, 220, 0x002B0001, u"|");
    EXPECT_EQ(bar.text, u"[Shift + \u00A6]");
    EXPECT_EQ(makeRingKeystroke(bar), u"1|[Shift + \u00A6]|220|43|1");
    RingKeystroke typed = bar;
    typed.text = u"[|]";  // however the text was made
    EXPECT_EQ(fieldCount(makeRingKeystroke(typed)), 5u);

    auto block = zeroBlock();
    AppEntry& entry = block->devices[0].apps[1];
    const RingSettingDialog dialog = [&] {
        return std::optional<RingGroupSetting>(RingGroupSetting{
            u"Pan;Zoom", bar, ringKeystroke(false, false, false, 186, 0x00270001, u";")});
    };
    EXPECT_EQ(assignRingGroup(entry, 0, 2, 2, u"", dialog).label, u"Pan\u037EZoom");
    EXPECT_EQ(readField(entry.ringTextC[0][2]), u"Pan\u037EZoom");
    // The configuration file keeps the group as "name;left;right": it reads back whole.
    std::u16string name, left, right;
    splitRingText(readField(entry.ringTextC[0][2]) + u";" + readField(entry.ringTextA[0][2]) +
                      u";" + readField(entry.ringTextB[0][2]),
                  name, left, right);
    EXPECT_EQ(name, u"Pan\u037EZoom");
    EXPECT_EQ(left, u"1|[Shift + \u00A6]|220|43|1");
    EXPECT_EQ(right, u"1|[;]|186|39|0");
}

class AssignmentRules : public DescriptorTest {
protected:
    std::unique_ptr<SharedBlock> block = zeroBlock();
    DeviceRecord& rec = block->devices[0];
    AppEntry& entry = rec.apps[2];
    std::optional<std::u16string> program;
    std::optional<HotKeyResult> hotKeys;
    int hotKeyCalls = 0;
    FunctionDialogs dialogs{[this] { return program; },
                            [this](int32_t ring, int32_t pad, int32_t rings) {
                                ++hotKeyCalls;
                                EXPECT_EQ(ring, rec.hasRing);
                                EXPECT_EQ(pad, rec.hasTrackPad);
                                EXPECT_EQ(rings, rec.ringCount);
                                return hotKeys;
                            }};
};

TEST_F(AssignmentRules, PenButtons) {
    rec.hasRing = 1;
    rec.ringCount = 2;
    storeField(rec.penButton2Descriptor, u"0|C:\\old.exe");
    // A plain pen function clears the label and keeps the descriptor.
    EXPECT_EQ(assignPenButton(rec, 2, 1, u"old.exe", dialogs, lang).label, u"");
    EXPECT_EQ(readField(rec.penButton2Descriptor), u"0|C:\\old.exe");
    EXPECT_EQ(rec.penButton2Index, 1);
    // Program dialog cancelled, or confirmed empty: unchanged, index 4.
    for (auto p : {std::optional<std::u16string>(), std::optional<std::u16string>(u"")}) {
        program = p;
        EXPECT_EQ(assignPenButton(rec, 2, 4, u"keep", dialogs, lang).label, u"keep");
        EXPECT_EQ(readField(rec.penButton2Descriptor), u"0|C:\\old.exe");
        EXPECT_EQ(rec.penButton2Index, 4);
    }
    program = u"D:\\bin\\new.exe";
    EXPECT_EQ(assignPenButton(rec, 2, 4, u"", dialogs, lang).label, u"new.exe");
    EXPECT_EQ(readField(rec.penButton2Descriptor), u"0|D:\\bin\\new.exe");
    // Custom function: cancelled keeps; option 7 gives a combination; others a number.
    EXPECT_EQ(assignPenButton(rec, 1, 5, u"prev", dialogs, lang).label, u"prev");
    EXPECT_EQ(rec.penButton1Index, 5);
    hotKeys = HotKeyResult{7, u"Ctrl+C", u"67", u"46", kModCtrl};
    EXPECT_EQ(assignPenButton(rec, 1, 5, u"", dialogs, lang).label, u"Ctrl+C");
    EXPECT_EQ(readField(rec.penButton1Descriptor), u"1|Ctrl+C|67|46|2");
    hotKeys = HotKeyResult{3, u"ignored", u"1", u"2", 3};
    EXPECT_EQ(assignPenButton(rec, 1, 5, u"", dialogs, lang).label, u"Middle");
    EXPECT_EQ(readField(rec.penButton1Descriptor), u"2|3");
    EXPECT_EQ(hotKeyCalls, 3);
}

TEST_F(AssignmentRules, ExpressKeys) {
    storeField(entry.keyDescriptor[4], u"2|3");
    // Program dialog cancelled: run-program selection with an empty descriptor.
    EXPECT_EQ(assignExpressKey(rec, entry, 4, 1, u"Middle", dialogs, lang).label, u"");
    EXPECT_EQ(entry.keyFunc[4], 1);
    EXPECT_EQ(readField(entry.keyDescriptor[4]), u"");
    program = u"C:\\x\\y.exe";
    EXPECT_EQ(assignExpressKey(rec, entry, 4, 1, u"", dialogs, lang).label, u"y.exe");
    EXPECT_EQ(readField(entry.keyDescriptor[4]), u"0|C:\\x\\y.exe");
    // Custom function cancelled: unchanged descriptor, selection 2 stored.
    EXPECT_EQ(assignExpressKey(rec, entry, 4, 2, u"y.exe", dialogs, lang).label, u"y.exe");
    EXPECT_EQ(readField(entry.keyDescriptor[4]), u"0|C:\\x\\y.exe");
    EXPECT_EQ(entry.keyFunc[4], 2);
    hotKeys = HotKeyResult{0, u"", u"", u"", 0};
    EXPECT_EQ(assignExpressKey(rec, entry, 4, 2, u"", dialogs, lang).label, u"None");
    EXPECT_EQ(readField(entry.keyDescriptor[4]), u"2|0");
    // The default function clears the descriptor.
    EXPECT_EQ(assignExpressKey(rec, entry, 4, 0, u"None", dialogs, lang).label, u"");
    EXPECT_EQ(readField(entry.keyDescriptor[4]), u"");
    EXPECT_EQ(entry.keyFunc[4], 0);
    // No selection, or a key outside the table.
    entry.keyFunc[4] = 2;
    assignExpressKey(rec, entry, 4, -1, u"", dialogs, lang);
    EXPECT_EQ(entry.keyFunc[4], 0);
    assignExpressKey(rec, entry, kMaxKeys, 1, u"", dialogs, lang);
    assignExpressKey(rec, entry, -1, 1, u"", dialogs, lang);
}

TEST_F(AssignmentRules, RingGroupsAndTheirDefaults) {
    std::optional<RingGroupSetting> setting;
    RingSettingDialog dialog = [&] { return setting; };
    storeField(entry.ringTextC[1][3], u"Old");
    storeField(entry.ringTextA[1][3], u"1|[A]|65|30|0");
    // Cancelled: selection 2 stored, the previous strings stay.
    EXPECT_EQ(assignRingGroup(entry, 1, 3, 2, u"Old", dialog).label, u"Old");
    EXPECT_EQ(entry.ringFunc[1][3], 2);
    EXPECT_EQ(readField(entry.ringTextA[1][3]), u"1|[A]|65|30|0");
    setting = RingGroupSetting{u"Brush", ringKeystroke(false, false, false, 219, 0x1A0001, u"["),
                               ringKeystroke(false, false, false, 221, 0x1B0001, u"]")};
    EXPECT_EQ(assignRingGroup(entry, 1, 3, 2, u"", dialog).label, u"Brush");
    EXPECT_EQ(readField(entry.ringTextC[1][3]), u"Brush");
    EXPECT_EQ(readField(entry.ringTextA[1][3]), u"1|[[]|219|26|0");
    EXPECT_EQ(readField(entry.ringTextB[1][3]), u"1|[]]|221|27|0");
    // A predefined behaviour clears all three strings.
    EXPECT_EQ(assignRingGroup(entry, 1, 3, 1, u"Brush", dialog).label, u"");
    EXPECT_EQ(entry.ringFunc[1][3], 1);
    EXPECT_EQ(readField(entry.ringTextC[1][3]) + readField(entry.ringTextA[1][3]) +
                  readField(entry.ringTextB[1][3]),
              u"");
    EXPECT_EQ(assignRingGroup(entry, 2, 0, 2, u"x", dialog).label, u"x");  // no ring 2

    rec.ringFuncDefault[0][0] = 2;
    storeField(rec.ringTextDefault[0][0], u"Zoom;1|[Ctrl + -]|189|12|2;1|[Ctrl + +]|187|13|2");
    rec.ringFuncDefault[0][1] = 1;
    for (auto& c : rec.ringTextDefault[0][4]) c = u'z';  // unterminated, no ";"
    storeField(entry.ringTextC[0][1], u"stale");
    const auto names = restoreRingDefaults(rec, entry, 0);
    EXPECT_EQ(names[0], u"Zoom");
    EXPECT_EQ(entry.ringFunc[0][0], 2);
    EXPECT_EQ(readField(entry.ringTextB[0][0]), u"1|[Ctrl + +]|187|13|2");
    EXPECT_EQ(entry.ringFunc[0][1], 1);
    EXPECT_EQ(readField(entry.ringTextC[0][1]), u"");
    EXPECT_EQ(names[4].size(), kDescriptorMaxText);
    EXPECT_EQ(readField(entry.ringTextC[0][4]), names[4]);
}

}  // namespace
}  // namespace scribo
