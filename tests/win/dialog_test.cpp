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
    bool handleCommands = false;

    bool preTranslateMessage(MSG& m) override { return preview ? preview(m) : false; }

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM, LRESULT& result) override {
        log_.messages.push_back(msg);
        if (msg == WM_INITDIALOG) {
            if (onInit) onInit(*this);
            result = TRUE;
            return true;
        }
        if (msg == WM_COMMAND) {
            if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) log_.commands.push_back(LOWORD(w));
            return handleCommands;
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
        {"Cancel button", [](TestDialog& d) { PostMessageW(d.hwnd(), WM_COMMAND, IDCANCEL, 0); }, IDCANCEL},
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
        if (c.code != 7) EXPECT_TRUE(ownerDisabledWhileRunning);
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

}  // namespace
