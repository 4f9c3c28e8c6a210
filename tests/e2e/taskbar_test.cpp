// Whether the main window would get a taskbar button: the shell gives one to each window it sees
// shown that is unowned and not a tool window, or that asks for one (WS_EX_APPWINDOW). Wine's
// desktop shows no taskbar buttons, so the window's own state is read at each step instead.
#include <gtest/gtest.h>

#include "config/service_protocol.h"
#include "panel_driver.h"
#include "processes.h"

using namespace scribo;
using namespace testsupport;

namespace {

bool qualifiesForTaskbarButton(HWND w) {
    if (!IsWindowVisible(w)) return false;
    const LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
    if ((ex & WS_EX_APPWINDOW) != 0) return true;
    return (ex & WS_EX_TOOLWINDOW) == 0 && GetWindow(w, GW_OWNER) == nullptr;
}

class TaskbarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(listenWindow(), nullptr) << "a stand-in is still running";
        ASSERT_TRUE(installDefaultConfig());
    }
    TestFolder folder;
};

// Collapsed into the notification area the panel has no button, from its very first show on
// and also when a device arrival shows it before the user ever did; shown, it has one.
TEST_F(TaskbarTest, OnlyTheShownPanelHasATaskbarButton) {
    ServiceSim sim(folder, kDemoProfile);
    Panel panel;
    ASSERT_TRUE(panel.start());
    HWND w = panelWindow();
    const struct {
        const char* step;
        void (*act)();
        bool (*state)();
        bool button;
    } steps[] = {
        {"started", [] {}, panelCollapsed, false},
        {"a device arrives before the first show",
         [] { EXPECT_EQ(simCommand("arrive 0x0375"), 1); }, panelCollapsed, false},
        {"shown", [] { sendToPanel(WM_PANEL_SHOW); }, panelShown, true},
        {"hidden", [] { sendToPanel(WM_COMMAND, IDCANCEL); }, [] { return !panelVisible(); },
         false},
        {"shown again", [] { sendToPanel(WM_PANEL_SHOW); }, panelShown, true},
        {"hidden again", [] { sendToPanel(WM_COMMAND, IDCANCEL); }, [] { return !panelVisible(); },
         false},
        {"a device arrival shows it", [] { EXPECT_EQ(simCommand("arrive 0x0375"), 1); }, panelShown,
         true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.act();
        ASSERT_TRUE(waitFor(s.state));
        sendToPanel(WM_NULL);
        EXPECT_EQ(qualifiesForTaskbarButton(w), s.button);
    }
}

}  // namespace
