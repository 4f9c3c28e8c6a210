#include "keys/hotkey_capture.h"

#include <gtest/gtest.h>

#include "model_fixtures.h"

namespace scribo {
namespace {

TEST(HotKeyCapture, ModifierBoxesAndKeysMakeTheLabelAndLists) {
    HotKeyCapture c;
    EXPECT_FALSE(c.modifiersEnabled());
    c.selectOption(7);
    EXPECT_TRUE(c.modifiersEnabled());
    c.setModifier(kModCtrl, true);
    c.setModifier(kModShift, true);
    EXPECT_EQ(c.editText(), u"Ctrl+Shift");
    EXPECT_FALSE(c.keyDown(83, 0x001F0001, u"S"));
    EXPECT_EQ(c.editText(), u"Ctrl+Shift+S");
    const HotKeyResult r = c.confirm();
    EXPECT_EQ(r.option, 7);
    EXPECT_EQ(r.label, u"Ctrl+Shift+S");
    EXPECT_EQ(r.vkList, u"83");
    EXPECT_EQ(r.keyDataList, u"31");
    EXPECT_EQ(r.flags, 3);
}

TEST(HotKeyCapture, ModifierKeysPressedAreRecordedAsKeys) {
    HotKeyCapture c;
    c.selectOption(7);
    c.keyDown(17, 0x001D0001, u"Ctrl");
    c.keyDown(67, 0xC02E0001, u"C");  // key data unmasked: previous-state and transition bits
    const HotKeyResult r = c.confirm();
    EXPECT_EQ(r.label, u"Ctrl,C");
    EXPECT_EQ(r.vkList, u"17:67");
    EXPECT_EQ(r.keyDataList, u"29:49198");
    EXPECT_EQ(r.flags, 0);
}

TEST(HotKeyCapture, EscapeAndEnterAreConsumedOnlyWhileRecording) {
    HotKeyCapture c;
    EXPECT_FALSE(c.keyDown(13, 0x001C0001, u"Enter"));  // option 0: Enter presses OK
    EXPECT_TRUE(c.keys().empty());
    c.selectOption(7);
    EXPECT_TRUE(c.keyDown(13, 0x001C0001, u"Enter"));
    EXPECT_FALSE(c.keyDown(9, 0x000F0001, u"Tab"));  // recorded, and still moves the focus
    for (int i = 0; i < 30; ++i) c.keyDown(static_cast<uint16_t>(65 + i % 26), 0, u"K");
    EXPECT_EQ(c.keys().size(), 20u);
    EXPECT_TRUE(c.keyDown(27, 0x00010001, u"Esc"));  // not recorded, still consumed
    EXPECT_EQ(c.keys().size(), 20u);
    EXPECT_EQ(c.keys()[0].name, u"Enter");
    EXPECT_EQ(c.keys()[1].name, u"Tab");
}

TEST(HotKeyCapture, ClearKeepsModifiersAndAnotherOptionDropsTheKeys) {
    HotKeyCapture c;
    c.selectOption(7);
    c.setModifier(kModAlt, true);
    c.setModifier(kModWin, true);
    c.setModifier(kModWin, false);
    c.keyDown(65, 0, u"A");
    c.keyDown(66, 0, std::u16string(50, u'n'));
    EXPECT_EQ(c.keys()[1].name.size(), kKeyNameMax);
    c.clear();
    EXPECT_EQ(c.editText(), u"Alt");
    c.keyDown(66, 0x00300001, u"B");
    EXPECT_EQ(c.editText(), u"Alt+B");  // the first key after Clear has no separator

    c.selectOption(1);
    EXPECT_FALSE(c.modifiersEnabled());
    EXPECT_EQ(c.flags(), kModAlt);  // boxes keep their state while disabled
    testing::MemoryProfile profile;
    TIniFile lang(profile, u"x.ini");
    auto a = assignmentFromHotKeys(c.confirm(), lang);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->descriptor, u"2|1");
    EXPECT_EQ(a->label, u"UserSet.Index.01");
}

TEST(HotKeyCapture, DeviceDependentOptions) {
    struct Case {
        int32_t ring, rings, pad;
        bool o12, o13, o14;
    } cases[] = {
        {0, 0, 0, false, false, false}, {1, 1, 0, true, false, false}, {1, 2, 0, true, true, false},
        {0, 2, 1, false, false, true},  {1, 2, 1, true, true, true},
    };
    for (const auto& c : cases) {
        const auto v = hotKeyOptionsShown(c.ring, c.rings, c.pad);
        EXPECT_EQ(v.switchGroup, c.o12);
        EXPECT_EQ(v.switchGroup2, c.o13);
        EXPECT_EQ(v.trackPadMode, c.o14);
    }
}

}  // namespace
}  // namespace scribo
