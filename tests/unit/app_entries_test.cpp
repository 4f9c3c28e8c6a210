#include "keys/app_entries.h"

#include <gtest/gtest.h>

#include "config/block_access.h"
#include "model_fixtures.h"

namespace scribo {
namespace {

using testing::MemoryProfile;
using testing::zeroBlock;

TEST(ExpressTabs, KeyPageFromKeyCountAndKind) {
    struct Case {
        int32_t keys, kind;
        ExpressWindow window;
        KeyPage page;
    } cases[] = {
        {16, 0, ExpressWindow::ShortcutKey, KeyPage::Keys16},
        {16, 1, ExpressWindow::ShortcutKey, KeyPage::Keys16},
        {20, 1, ExpressWindow::ShortcutKey, KeyPage::Keys20},
        {20, 0, ExpressWindow::ShortcutKey, KeyPage::Keys10},
        {18, 1, ExpressWindow::ShortcutKey, KeyPage::None},
        {10, 1, ExpressWindow::ShortcutKey, KeyPage::Keys10},
        {16, 2, ExpressWindow::ShortcutKey, KeyPage::Keys10},
        {20, 1, ExpressWindow::Remote, KeyPage::Keys10},
    };
    for (const auto& c : cases) EXPECT_EQ(keyPageFor(c.keys, c.kind, c.window), c.page) << c.keys;
}

TEST(ExpressTabs, TabsInOrderWithTheirTexts) {
    MemoryProfile profile;
    profile.texts[u"Dialog_QuickSet|QuickSet.Ring"] = u"Anneau";
    TIniFile lang(profile, u"x.ini");
    auto block = zeroBlock();
    DeviceRecord& rec = block->devices[0];
    rec.keyCount = 8;
    rec.hasRing = 1;
    rec.ringCount = 1;
    rec.hasLights = 1;
    auto tabs = expressTabs(rec, ExpressWindow::ShortcutKey, lang);
    ASSERT_EQ(tabs.size(), 3u);
    EXPECT_EQ(tabs[0].text, u"Keys");
    EXPECT_EQ(tabs[1].text, u"Anneau");
    EXPECT_EQ(tabs[2].page, TabPage::Lights);
    EXPECT_EQ(tabs[2].text, u"Control");

    rec.ringCount = 2;
    tabs = expressTabs(rec, ExpressWindow::ShortcutKey, lang);
    ASSERT_EQ(tabs.size(), 4u);
    EXPECT_EQ(tabs[2].text, u"Anneau2");
    EXPECT_FALSE(tabs[2].trackPadForm);
    rec.hasTrackPad = 1;
    tabs = expressTabs(rec, ExpressWindow::ShortcutKey, lang);
    EXPECT_EQ(tabs[2].text, u"TrackPad");
    EXPECT_TRUE(tabs[2].trackPadForm);

    tabs = expressTabs(rec, ExpressWindow::Remote, lang);  // keys and first ring only
    ASSERT_EQ(tabs.size(), 2u);
    EXPECT_EQ(tabs[1].page, TabPage::Ring1);

    rec.deviceKind = 1;
    rec.keyCount = 18;
    rec.hasRing = 0;
    rec.hasLights = 0;
    EXPECT_TRUE(expressTabs(rec, ExpressWindow::ShortcutKey, lang).empty());
}

class AppListTest : public ::testing::Test {
protected:
    void SetUp() override {
        rec.apps[0].keyFunc[0] = 2;
        storeField(rec.apps[0].keyDescriptor[0], u"2|9");
        inUse(3, u"C:\\apps\\paint.exe", u"paint");
        inUse(5, u"C:\\gone\\old.exe", u"old");  // its file gives no icon
    }
    void inUse(int i, const char16_t* path, const char16_t* name) {
        rec.apps[i].inUse = 1;
        storeField(rec.apps[i].appPath, path);
        storeField(rec.apps[i].appName, name);
    }
    void open() {
        list.open(u"Others", [](std::u16string_view path) { return path != u"C:\\gone\\old.exe"; });
    }
    std::unique_ptr<SharedBlock> block = zeroBlock();
    DeviceRecord& rec = block->devices[1];
    AppList list{rec};
};

TEST_F(AppListTest, OpeningListsOnlyProgramsWithAnIcon) {
    open();
    EXPECT_EQ(list.items(), (std::vector<std::u16string>{u"Others", u"paint"}));
    EXPECT_EQ(list.ownedCopies(), 2u);
    EXPECT_TRUE(list.plusEnabled());
    EXPECT_FALSE(list.minusEnabled());
}

TEST_F(AppListTest, AddingCopiesOthersIntoTheFirstFreeEntry) {
    open();
    EXPECT_EQ(list.add(u"C:\\Windows\\notepad.exe", u"notepad.exe"), AppList::AddResult::Added);
    EXPECT_EQ(list.selectedName(), u"notepad");
    EXPECT_TRUE(list.minusEnabled());
    const AppEntry& e = rec.apps[1];
    EXPECT_EQ(e.inUse, 1);
    EXPECT_EQ(readField(e.appName), u"notepad");
    EXPECT_EQ(readField(e.appPath), u"C:\\Windows\\notepad.exe");
    EXPECT_EQ(e.keyFunc[0], 2);  // the settings "Others" has at that moment
    EXPECT_EQ(readField(e.keyDescriptor[0]), u"2|9");
    EXPECT_EQ(entryIndexForName(rec, u"notepad"), 1);

    EXPECT_EQ(list.add(u"C:\\Windows\\notepad.exe", u"x"), AppList::AddResult::Duplicate);
    EXPECT_EQ(list.add(u"C:\\gone\\old.exe", u"old"), AppList::AddResult::Duplicate);
    EXPECT_EQ(list.add(u"c:\\windows\\notepad.exe", u".profile"), AppList::AddResult::Added);
    EXPECT_EQ(readField(rec.apps[2].appName), u".profile");  // leading dot kept whole
    EXPECT_EQ(list.add(u"C:\\" + std::u16string(300, u'p'), u"p"), AppList::AddResult::PathTooLong);
}

// Two programs in different folders may carry the same display name: each item edits and
// removes its own entry.
TEST_F(AppListTest, ProgramsWithTheSameNameKeepTheirOwnEntries) {
    open();
    ASSERT_EQ(list.add(u"C:\\a\\tool.exe", u"tool.exe"), AppList::AddResult::Added);
    EXPECT_EQ(list.selectedEntry(), 1);
    ASSERT_EQ(list.add(u"D:\\b\\tool.exe", u"tool.exe"), AppList::AddResult::Added);
    EXPECT_EQ(list.selectedEntry(), 2);
    ASSERT_EQ(list.items().size(), 4u);  // Others, paint, tool, tool
    list.click(2);
    EXPECT_EQ(list.selectedEntry(), 1);
    list.click(1);
    EXPECT_EQ(list.selectedEntry(), 3);  // paint's entry, listed from the record
    list.click(0);
    EXPECT_EQ(list.selectedEntry(), 0);

    rec.apps[1].keyFunc[0] = 1;   // an edit of the first tool
    ASSERT_TRUE(list.remove(3));  // the second tool
    EXPECT_EQ(rec.apps[2].inUse, 0);
    EXPECT_EQ(rec.apps[1].inUse, 1);
    EXPECT_EQ(rec.apps[1].keyFunc[0], 1);
    EXPECT_EQ(readField(rec.apps[1].appPath), u"C:\\a\\tool.exe");
    // Its path is free to be added again; the first tool's is not.
    EXPECT_EQ(list.add(u"C:\\a\\tool.exe", u"tool.exe"), AppList::AddResult::Duplicate);
    EXPECT_EQ(list.add(u"D:\\b\\tool.exe", u"tool.exe"), AppList::AddResult::Added);
    EXPECT_EQ(list.selectedEntry(), 2);
}

TEST_F(AppListTest, AProgramIsNeverListedWithoutAnEntryOfItsOwn) {
    open();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(list.add(u"C:\\p" + std::u16string(1, char16_t(u'0' + i)), u"p.exe"),
                  AppList::AddResult::Added);
    // All ten entries are in use but only nine programs are listed (one file vanished).
    EXPECT_EQ(list.items().size(), 10u);
    EXPECT_TRUE(list.plusEnabled());
    EXPECT_FALSE(list.hasFreeEntry());
    EXPECT_EQ(list.add(u"C:\\q", u"q"), AppList::AddResult::NoFreeEntry);
    EXPECT_EQ(list.items().size(), 10u);

    rec.apps[5].inUse = 0;  // the vanished program's entry freed
    EXPECT_TRUE(list.hasFreeEntry());
    EXPECT_EQ(list.add(u"C:\\q", u"q"), AppList::AddResult::Added);
    EXPECT_EQ(entryIndexForName(rec, u"q"), 5);
}

TEST_F(AppListTest, RemovingZeroesTheEntryAndOthersStays) {
    open();
    ASSERT_EQ(list.add(u"C:\\Windows\\notepad.exe", u"notepad.exe"), AppList::AddResult::Added);
    rec.apps[1].keyFunc[3] = 1;  // edited after adding

    EXPECT_FALSE(list.remove(0));  // "Others" can never be removed
    EXPECT_EQ(list.click(0), std::u16string());
    EXPECT_FALSE(list.minusEnabled());
    EXPECT_EQ(list.click(2), u"notepad");
    EXPECT_TRUE(list.minusEnabled());
    EXPECT_EQ(list.click(-1), std::nullopt);  // empty space: selection and "-" unchanged
    EXPECT_EQ(list.selected(), 2);
    EXPECT_TRUE(list.minusEnabled());

    ASSERT_TRUE(list.remove(2));
    EXPECT_EQ(list.selected(), 0);
    EXPECT_EQ(list.items().size(), 2u);
    const AppEntry zero{};
    EXPECT_EQ(std::memcmp(&rec.apps[1], &zero, sizeof(AppEntry)), 0);
    EXPECT_EQ(entryIndexForName(rec, u"notepad"), 0);

    // Added again, it starts from the "Others" settings, not the removed ones.
    ASSERT_EQ(list.add(u"C:\\Windows\\notepad.exe", u"notepad.exe"), AppList::AddResult::Added);
    EXPECT_EQ(rec.apps[1].keyFunc[3], 0);
}

TEST_F(AppListTest, PlusIsDisabledWithTenProgramsListed) {
    rec.apps[5].inUse = 0;
    open();
    for (int i = 0; i < 9; ++i)
        ASSERT_EQ(list.add(u"C:\\p" + std::u16string(1, char16_t(u'0' + i)), u"p"),
                  AppList::AddResult::Added);
    EXPECT_EQ(list.items().size(), 11u);
    EXPECT_FALSE(list.plusEnabled());
    EXPECT_EQ(list.add(u"C:\\z", u"z"), AppList::AddResult::ListFull);
    ASSERT_TRUE(list.remove(4));
    EXPECT_TRUE(list.plusEnabled());
}

TEST(EntryByName, ExactMatchOrOthers) {
    auto block = zeroBlock();
    DeviceRecord& rec = block->devices[0];
    storeField(rec.apps[4].appName, u"Photo");
    for (auto& c : rec.apps[7].appName) c = u'u';  // unterminated: compared within its array
    EXPECT_EQ(entryIndexForName(rec, u"Photo"), 4);
    EXPECT_EQ(entryIndexForName(rec, u"photo"), 0);
    EXPECT_EQ(entryIndexForName(rec, u""), 0);
    EXPECT_EQ(entryIndexForName(rec, std::u16string(kAppTextUnits, u'u')), 7);
    EXPECT_EQ(appNameFromDisplayName(u"my.app.exe"), u"my");
    EXPECT_EQ(appNameFromDisplayName(u"noext"), u"noext");
}

}  // namespace
}  // namespace scribo
