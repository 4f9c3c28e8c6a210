// The function assignment dialog driven by real key and click messages through the panel's own
// message loop: recording under keyboard functions, Enter and Escape, Tab navigation, the key
// limit, Clear, OK and Cancel, and the device-dependent options.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fallback_texts.h"
#include "keys/win/hotkeys_dialog.h"
#include "platform/wide.h"
#include "resource.h"

using scribo::HotKeyResult;

namespace {

using Step = std::function<void(HWND)>;

// Runs the dialog and plays `steps` on it, one per timer tick: a tick comes only when the
// messages the previous step posted have been handled. A dialog still open well after the last
// step is cancelled, so a wrong behaviour fails the test instead of hanging it.
struct Player {
    std::vector<Step> steps;
    size_t next = 0;
    int idleTicks = 0;
};
thread_local Player* t_player = nullptr;

HWND findDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM out) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(h, cls, 16);
            if (IsWindowVisible(h) && std::wstring(cls) == L"#32770") {
                *reinterpret_cast<HWND*>(out) = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = findDialog();
    if (dialog == nullptr || t_player == nullptr) return;
    if (t_player->next < t_player->steps.size()) {
        t_player->steps[t_player->next++](dialog);
    } else if (++t_player->idleTicks > 20) {
        ADD_FAILURE() << "the dialog stayed open after the last step";
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

std::optional<HotKeyResult> play(std::vector<Step> steps, int32_t hasRing = 0,
                                 int32_t hasTrackPad = 0, int32_t ringCount = 0) {
    testsupport::FallbackTexts texts;
    scribo::TIniFile language(texts, u"none.ini");
    Player player{std::move(steps)};
    t_player = &player;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, tick);
    auto result = scribo::win::runHotKeys(GetModuleHandleW(nullptr), nullptr, language, hasRing,
                                          hasTrackPad, ringCount);
    KillTimer(nullptr, timer);
    t_player = nullptr;
    return result;
}

LPARAM keyLParam(UINT vk) {
    return 1 | static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16);
}

std::u16string systemKeyName(UINT vk) {
    wchar_t name[40] = {};
    const int n = GetKeyNameTextW(static_cast<LONG>(keyLParam(vk)), name, 40);
    return platform::toU16(std::wstring(name, n > 0 ? n : 0));
}

// A key press as the keyboard delivers it: to the control with the focus.
Step press(UINT vk, bool system = false) {
    return [vk, system](HWND dialog) {
        HWND target = GetFocus();
        if (target == nullptr || (target != dialog && !IsChild(dialog, target))) target = dialog;
        PostMessageW(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, keyLParam(vk));
        PostMessageW(target, system ? WM_SYSKEYUP : WM_KEYUP, vk, keyLParam(vk) | 0xC0000000);
    };
}
Step click(int id) {
    return [id](HWND dialog) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); };
}
Step expectEdit(std::u16string text) {
    return [text](HWND dialog) {
        wchar_t buf[512] = {};
        GetDlgItemTextW(dialog, IDC_HK_EDIT, buf, 512);
        EXPECT_EQ(platform::toU16(buf), text);
    };
}
const Step ok = click(IDOK);

TEST(CDlgHotKeys, BoxesAndAKeyMakeTheCombination) {
    const auto r = play({click(IDC_HK_OPTION_07), click(IDC_HK_CTRL), click(IDC_HK_SHIFT),
                         press('S'), expectEdit(u"Ctrl+Shift+" + systemKeyName('S')), ok});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->option, 7);
    EXPECT_EQ(r->label, u"Ctrl+Shift+S");
    EXPECT_EQ(r->vkList, u"83");
    EXPECT_EQ(r->keyDataList,
              platform::toU16(std::to_wstring(MapVirtualKeyW('S', MAPVK_VK_TO_VSC))));
    EXPECT_EQ(r->flags, scribo::kModCtrl | scribo::kModShift);
}

TEST(CDlgHotKeys, ModifierKeysPressedAreKeysOfTheirOwn) {
    // Ctrl pressed on the keyboard (no box ticked) is recorded like any key; Alt+F4 arrives as
    // system keys and is recorded rather than closing anything.
    const auto r = play({click(IDC_HK_OPTION_07), press(VK_CONTROL), press('C'),
                         press(VK_MENU, true), press(VK_F4, true), ok});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->vkList, u"17:67:18:115");
    EXPECT_EQ(r->label, systemKeyName(VK_CONTROL) + u"," + systemKeyName('C') + u"," +
                            systemKeyName(VK_MENU) + u"," + systemKeyName(VK_F4));
    EXPECT_EQ(r->flags, 0);
}

TEST(CDlgHotKeys, EnterAndEscapeAreRecordedOnlyUnderKeyboardFunctions) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::optional<std::u16string> vkList;  // nullopt: the dialog was cancelled
        int option;
    };
    const Case cases[] = {
        {"recorded, dialog stays open",
         {click(IDC_HK_OPTION_07), press(VK_RETURN), press(VK_ESCAPE), ok},
         u"13:27",
         7},
        {"Enter presses OK", {click(IDC_HK_OPTION_03), press(VK_RETURN)}, u"", 3},
        {"Escape cancels", {press(VK_ESCAPE)}, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = play(c.steps);
        ASSERT_EQ(r.has_value(), c.vkList.has_value());
        if (!r) continue;
        EXPECT_EQ(r->option, c.option);
        EXPECT_EQ(r->vkList, *c.vkList);
    }
}

TEST(CDlgHotKeys, TabIsRecordedAndStillMovesTheFocus) {
    HWND before = nullptr;
    const auto r = play({click(IDC_HK_OPTION_07), [&](HWND) { before = GetFocus(); }, press(VK_TAB),
                         [&](HWND dialog) {
                             EXPECT_NE(GetFocus(), before);
                             EXPECT_TRUE(IsChild(dialog, GetFocus()));
                         },
                         ok});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->vkList, u"9");
}

TEST(CDlgHotKeys, AnotherOptionAfterRecordingDropsTheKeys) {
    const auto r = play(
        {click(IDC_HK_OPTION_07), click(IDC_HK_CTRL), press('A'), click(IDC_HK_OPTION_01), ok});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->option, 1);
    EXPECT_EQ(r->vkList, u"");
    EXPECT_EQ(r->label, u"");
    EXPECT_EQ(r->flags, 0);
}

TEST(CDlgHotKeys, TwentyKeysAtMostAndClearKeepsTheModifiers) {
    std::vector<Step> steps{click(IDC_HK_OPTION_07), click(IDC_HK_ALT)};
    for (int i = 0; i < 22; ++i) steps.push_back(press('A' + i));
    steps.push_back([](HWND dialog) {
        wchar_t buf[512] = {};
        GetDlgItemTextW(dialog, IDC_HK_EDIT, buf, 512);
        const std::wstring text = buf;
        EXPECT_EQ(text.rfind(L"Alt+A,B,", 0), 0u) << text;
        EXPECT_EQ(text.substr(text.size() - 2), L",T");  // the 20th key; U and V were dropped
    });
    steps.push_back(click(IDC_HK_CLEAR));
    steps.push_back(expectEdit(u"Alt"));
    steps.push_back(press('Z'));
    steps.push_back(ok);
    const auto r = play(steps);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->label, u"Alt+Z");
    EXPECT_EQ(r->vkList, u"90");
    EXPECT_EQ(r->flags, scribo::kModAlt);
}

TEST(CDlgHotKeys, ModifierBoxesFollowKeyboardFunctionsAndKeepTheirTicks) {
    const auto enabled = [](HWND d) {
        return IsWindowEnabled(GetDlgItem(d, IDC_HK_CTRL)) != FALSE;
    };
    const auto r = play({[&](HWND d) { EXPECT_FALSE(enabled(d)); }, press('Q'),  // not recorded
                         click(IDC_HK_OPTION_07), [&](HWND d) { EXPECT_TRUE(enabled(d)); },
                         click(IDC_HK_WIN), click(IDC_HK_OPTION_08),
                         [&](HWND d) {
                             EXPECT_FALSE(enabled(d));
                             EXPECT_EQ(IsDlgButtonChecked(d, IDC_HK_WIN), BST_CHECKED);
                         },
                         click(IDC_HK_OPTION_07), ok});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->label, u"Win");
    EXPECT_EQ(r->vkList, u"");
    EXPECT_EQ(r->flags, scribo::kModWin);
}

TEST(CDlgHotKeys, DeviceOptionsShownByRingAndTrackPad) {
    struct Case {
        int32_t hasRing, hasTrackPad, ringCount;
        bool group, group2, trackPad;
    };
    const Case cases[] = {{0, 0, 0, false, false, false},
                          {1, 0, 1, true, false, false},
                          {1, 1, 2, true, true, true},
                          {0, 1, 2, false, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hasRing << c.hasTrackPad << c.ringCount);
        const auto shown = [](HWND d, int id) {
            return IsWindowVisible(GetDlgItem(d, id)) != FALSE;
        };
        play({[&](HWND d) {
                  EXPECT_EQ(shown(d, IDC_HK_OPTION_12), c.group);
                  EXPECT_EQ(shown(d, IDC_HK_OPTION_13), c.group2);
                  EXPECT_EQ(shown(d, IDC_HK_OPTION_14), c.trackPad);
                  EXPECT_EQ(IsDlgButtonChecked(d, IDC_HK_OPTION_00), BST_CHECKED);
              },
              click(IDCANCEL)},
             c.hasRing, c.hasTrackPad, c.ringCount);
    }
}

}  // namespace
