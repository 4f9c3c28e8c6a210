// The dialog base and the panel's message loop: lifetime (no handler on a half-destroyed object),
// modal runs inside the loop, keyboard navigation of modeless dialogs and key preview.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/dialog.h"
#include "platform/message_loop.h"

namespace {

constexpr int IDD_TEST = 900;
constexpr int IDC_FIRST = 901;
constexpr int IDD_BUTTONS = 903;
constexpr int IDC_DEFAULTS = 904;
constexpr int IDC_APPLY = 905;

struct Log {
    std::vector<UINT> messages;
    std::vector<int> commands;
    bool saw(UINT m) const {
        for (UINT x : messages)
            if (x == m) return true;
        return false;
    }
};

class TestDialog : public platform::Dialog {
public:
    explicit TestDialog(Log& log) : log_(log) {}
    std::function<bool(MSG&)> preview;
    std::function<void(TestDialog&)> onInit;
    std::function<void(TestDialog&)> onCommandFirst;  // command IDC_FIRST
    bool handleCommands = false;

    bool preTranslateMessage(MSG& m) override {
        return preview ? preview(m) : platform::Dialog::preTranslateMessage(m);
    }
    void protect(int id) { requireAltForMnemonic(id); }
    std::function<void(TestDialog&)> onApp;  // a posted WM_APP

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM, LRESULT& result) override {
        log_.messages.push_back(msg);
        if (msg == WM_INITDIALOG) {
            if (onInit) onInit(*this);
            result = TRUE;
            return true;
        }
        if (msg == WM_COMMAND) {
            if (HIWORD(w) == BN_CLICKED) log_.commands.push_back(LOWORD(w));
            if (LOWORD(w) == IDC_FIRST && HIWORD(w) == BN_CLICKED && onCommandFirst)
                onCommandFirst(*this);
            return handleCommands;
        }
        if (msg == WM_APP && onApp) {
            onApp(*this);
            return true;
        }
        return false;
    }

private:
    Log& log_;
};

HINSTANCE self() { return GetModuleHandleW(nullptr); }

void postKey(HWND target, WPARAM vk) {
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

TEST(DialogBase, DestroyLetsTheDerivedHandlerSeeTheEndAndDeletionRunsNoHandler) {
    Log log;
    {
        TestDialog d(log);
        ASSERT_NE(d.createModeless(self(), IDD_TEST, nullptr), nullptr);
        d.destroy();
        EXPECT_TRUE(log.saw(WM_DESTROY));
        EXPECT_TRUE(log.saw(WM_NCDESTROY));
        EXPECT_EQ(d.hwnd(), nullptr);
    }
    // Deleted with its window still there: the window goes, and no handler runs on the object
    // being destroyed (it would be a call through a half-destroyed object).
    log.messages.clear();
    auto d = std::make_unique<TestDialog>(log);
    HWND h = d->createModeless(self(), IDD_TEST, nullptr);
    ASSERT_NE(h, nullptr);
    const size_t before = log.messages.size();
    d.reset();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(log.messages.size(), before);
}

TEST(DialogBase, ModalRunsInTheLoopAndEndsWithItsCode) {
    Log log;
    TestDialog owner(log);
    HWND ownerWindow = owner.createModeless(self(), IDD_TEST, nullptr);
    ASSERT_NE(ownerWindow, nullptr);

    const struct {
        const char* name;
        std::function<void(TestDialog&)> init;
        INT_PTR code;
    } cases[] = {
        {"endDialog", [](TestDialog& d) { d.endDialog(7); }, 7},
        {"Cancel button", [](TestDialog& d) { PostMessageW(d.hwnd(), WM_COMMAND, IDCANCEL, 0); },
         IDCANCEL},
        {"OK button", [](TestDialog& d) { PostMessageW(d.hwnd(), WM_COMMAND, IDOK, 0); }, IDOK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Log modalLog;
        TestDialog modal(modalLog);
        bool ownerDisabledWhileRunning = false;
        modal.onInit = [&](TestDialog& d) {
            PostMessageW(d.hwnd(), WM_NULL, 0, 0);
            c.init(d);
        };
        modal.preview = [&](MSG&) {
            ownerDisabledWhileRunning = ownerDisabledWhileRunning || !IsWindowEnabled(ownerWindow);
            return false;
        };
        EXPECT_EQ(modal.runModal(self(), IDD_TEST, ownerWindow), c.code);
        EXPECT_TRUE(modalLog.saw(WM_DESTROY));
        EXPECT_EQ(modal.hwnd(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(ownerWindow));
        if (c.code != 7) {
            EXPECT_TRUE(ownerDisabledWhileRunning);
        }
    }
    EXPECT_EQ(TestDialog(log).runModal(self(), 12345, nullptr), -1);  // no such template
}

TEST(MessageLoop, ModelessDialogsNavigateByKeyboardAndPreviewComesFirst) {
    Log log;
    TestDialog modeless(log);
    modeless.handleCommands = true;
    ASSERT_NE(modeless.createModeless(self(), IDD_TEST, nullptr), nullptr);
    HWND edit = GetDlgItem(modeless.hwnd(), IDC_FIRST);

    // The dialog manager turns Escape in a control into the dialog's Cancel command.
    postKey(edit, VK_ESCAPE);
    platform::message_loop::pumpPending();
    EXPECT_EQ(log.commands, std::vector<int>{IDCANCEL});

    // A dialog that previews keys sees Escape first and keeps it from the dialog manager.
    std::vector<WPARAM> previewed;
    modeless.preview = [&](MSG& m) {
        if (m.message != WM_KEYDOWN) return false;
        previewed.push_back(m.wParam);
        return m.wParam == VK_ESCAPE;
    };
    log.commands.clear();
    postKey(edit, VK_ESCAPE);
    postKey(edit, VK_RETURN);
    platform::message_loop::pumpPending();
    EXPECT_EQ(previewed, (std::vector<WPARAM>{VK_ESCAPE, VK_RETURN}));
    EXPECT_EQ(log.commands, std::vector<int>{IDOK});  // Enter still reaches the dialog manager

    // While a modal dialog runs, the modeless one keeps its navigation.
    modeless.preview = nullptr;
    log.commands.clear();
    Log modalLog;
    TestDialog modal(modalLog);
    modal.onInit = [&](TestDialog& d) {
        postKey(edit, VK_ESCAPE);
        PostMessageW(d.hwnd(), WM_COMMAND, IDCANCEL, 0);
    };
    EXPECT_EQ(modal.runModal(self(), IDD_TEST, nullptr), IDCANCEL);
    EXPECT_EQ(log.commands, std::vector<int>{IDCANCEL});
}

// A window closed while a dialog it opened is still running (its device left, say) is not
// freed under that dialog: the dialog ends, the handler that opened it carries on with a whole
// object, and only then is the window deleted.
TEST(DialogBase, ARetiredDialogOutlivesTheDialogItOpened) {
    struct Marked : TestDialog {
        Marked(Log& log, bool& gone) : TestDialog(log), gone_(gone) {}
        ~Marked() override { gone_ = true; }
        bool& gone_;
    };
    Log log, nestedLog;
    bool gone = false, wholeAfterNested = false;
    INT_PTR nestedCode = 0;
    auto outer = std::make_unique<Marked>(log, gone);
    outer->onCommandFirst = [&](TestDialog& opener) {
        TestDialog nested(nestedLog);
        nested.onInit = [](TestDialog& d) { PostMessageW(d.hwnd(), WM_APP, 0, 0); };
        nested.onApp = [&](TestDialog&) { platform::retireDialog(std::move(outer)); };
        nestedCode = nested.runModal(self(), IDD_TEST, opener.hwnd());
        wholeAfterNested = !gone;
        opener.handleCommands = true;  // the object is used after the nested run
    };
    HWND h = outer->createModeless(self(), IDD_TEST, nullptr);
    ASSERT_NE(h, nullptr);
    SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDC_FIRST, BN_CLICKED), 0);
    EXPECT_EQ(nestedCode, -1);
    EXPECT_TRUE(wholeAfterNested);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(outer, nullptr);
}

// "Restore &Defaults" answers Alt+D only; a bare D typed while another button has the focus does
// nothing, other buttons keep their bare mnemonics, and an edit still takes the letter.
TEST(DialogBase, AProtectedButtonIgnoresItsBareMnemonic) {
    Log log;
    TestDialog d(log);
    d.onInit = [](TestDialog& t) { t.protect(IDC_DEFAULTS); };
    ASSERT_NE(d.createModeless(self(), IDD_BUTTONS, nullptr), nullptr);
    ShowWindow(d.hwnd(), SW_SHOW);
    const struct {
        const char* name;
        int focus;
        UINT message;
        wchar_t letter;
        std::vector<int> commands;
    } cases[] = {
        {"bare d on a button", IDC_APPLY, WM_CHAR, L'd', {}},
        {"bare D on a button", IDOK, WM_CHAR, L'D', {}},
        {"bare a on a button", IDC_DEFAULTS, WM_CHAR, L'a', {IDC_APPLY}},
        {"Alt+D on a button", IDC_APPLY, WM_SYSCHAR, L'd', {IDC_DEFAULTS}},
        {"d in the edit", IDC_FIRST, WM_CHAR, L'd', {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.commands.clear();
        HWND focus = GetDlgItem(d.hwnd(), c.focus);
        SetFocus(focus);
        PostMessageW(focus, c.message, c.letter, c.message == WM_SYSCHAR ? (1 << 29) : 0);
        platform::message_loop::pumpPending();
        EXPECT_EQ(log.commands, c.commands);
    }
    wchar_t typed[8] = {};
    GetDlgItemTextW(d.hwnd(), IDC_FIRST, typed, 8);
    EXPECT_STREQ(typed, L"d");
}

}  // namespace
