// Saving, exporting and importing the configuration through the running panel, with the
// service stand-in loading what the panel saved.
#include <gtest/gtest.h>

#include <string>

#include "config/block_access.h"
#include "config/service_protocol.h"
#include "panel_driver.h"
#include "platform/block_kernel.h"
#include "processes.h"
#include "resource.h"

using namespace scribo;
using namespace testsupport;

namespace {

// A visible dialog of the panel's process other than the main window, or nullptr.
HWND dialogOf(DWORD pid, const wchar_t* title = nullptr) {
    struct Search {
        DWORD pid;
        const wchar_t* title;
        HWND found;
    } s{pid, title, nullptr};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            wchar_t cls[16] = {}, text[64] = {};
            GetClassNameW(h, cls, 16);
            GetWindowTextW(h, text, 64);
            if (owner != s->pid || !IsWindowVisible(h) || lstrcmpW(cls, L"#32770") != 0 ||
                lstrcmpW(text, L"QM53") == 0 || (s->title && lstrcmpW(text, s->title) != 0))
                return TRUE;
            s->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Waits for the panel's file dialog, types `name` and presses OK.
bool answerFileDialog(DWORD pid, const std::wstring& name) {
    HWND dlg = nullptr;
    if (!waitFor([&] { return (dlg = dialogOf(pid)) != nullptr; }, 20000)) return false;
    // The file name box: cmb13 in explorer-style dialogs, edt1 in older templates.
    HWND box = nullptr;
    if (!waitFor([&] {
            box = GetDlgItem(dlg, 0x47C);
            if (box == nullptr) box = GetDlgItem(dlg, 0x480);
            return box != nullptr && IsWindowVisible(box);
        }))
        return false;
    SetWindowTextW(box, name.c_str());
    // Posted: OK ends the dialog's modal loop inside the panel, which then goes on.
    PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    return true;
}

// Waits for a message box of the panel with caption "Scribo", returns its text and closes it.
std::wstring takeMessage(DWORD pid) {
    HWND box = nullptr;
    if (!waitFor([&] { return (box = dialogOf(pid, L"Scribo")) != nullptr; }, 20000)) return L"";
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
}

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(listenWindow(), nullptr) << "a stand-in is still running";
        ASSERT_TRUE(installDefaultConfig());
        original = readFile(configFile());
    }
    // Leave the default tree in place for whoever uses this Wine prefix next.
    void TearDown() override { writeFile(configFile(), original); }
    std::string original;
    TestFolder folder;
};

TEST_F(ConfigTest, OkSavesWhatTheServiceLoadsAndCancelSavesNothing) {
    {
        ServiceSim sim(folder, kDemoProfile);
        Panel panel;
        ASSERT_TRUE(panel.start());
        platform::SharedBlockLink link;
        ASSERT_EQ(link.attach(), AttachResult::Attached);
        link.block()->devices[0].mouseSpeed = 7;
        link.block()->devices[0].rotation = 2;

        sendToPanel(WM_PANEL_SHOW);
        ASSERT_TRUE(waitFor(panelShown));
        sendToPanel(WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(waitFor([] { return !panelShown(); }));
        EXPECT_EQ(readFile(configFile()), original);

        sendToPanel(WM_PANEL_SHOW);
        ASSERT_TRUE(waitFor(panelShown));
        sendToPanel(WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(waitFor([] { return !panelShown(); }));
        EXPECT_NE(readFile(configFile()), original);
    }
    // A service started afterwards loads the saved values.
    ServiceSim sim(folder, kDemoProfile, configFile(), L"service-after-save");
    platform::SharedBlockLink link;
    ASSERT_EQ(link.attach(), AttachResult::Attached);
    EXPECT_EQ(link.block()->devices[0].mouseSpeed, 7);
    EXPECT_EQ(link.block()->devices[0].rotation, 2);
}

TEST_F(ConfigTest, ImportReplacesTheFileAndAsksTheServiceToReload) {
    ServiceSim sim(folder, kDemoProfile, configFile());
    Panel panel;
    ASSERT_TRUE(panel.start());
    const std::wstring backup = folder.file(L"backup.scfg");
    const std::string saved = original + "<!-- backup -->\n";
    writeFile(backup, saved);

    // Posted: the handler runs the file dialog's modal loop.
    PostMessageW(panelWindow(), WM_PANEL_IMPORTEXPORT, kImportExportImport, 0);
    ASSERT_TRUE(answerFileDialog(panel.process().id(), backup));
    EXPECT_TRUE(sim.waitForLog("msg=0x420"));
    EXPECT_TRUE(waitFor(
        [] { return simCommand("get count " + std::to_string(WM_SERVICE_RELOADCONFIG)) == 1; }));
    EXPECT_EQ(readFile(configFile()), saved);
}

TEST_F(ConfigTest, ImportOfAFileThatIsNoConfigurationChangesNothing) {
    ServiceSim sim(folder, kDemoProfile, configFile());
    Panel panel;
    ASSERT_TRUE(panel.start());
    const std::wstring bad = folder.file(L"picture.scfg");
    writeFile(bad, "\x89PNG\r\n\x1a\n not a configuration");

    PostMessageW(panelWindow(), WM_PANEL_IMPORTEXPORT, kImportExportImport, 0);
    ASSERT_TRUE(answerFileDialog(panel.process().id(), bad));
    // The message box is the sign that the import has been decided; nothing was sent before it.
    EXPECT_EQ(takeMessage(panel.process().id()), L"Failed to import configuration!");
    EXPECT_EQ(readFile(configFile()), original);
    EXPECT_EQ(simCommand("get count " + std::to_string(WM_SERVICE_RELOADCONFIG)), 0);
}

TEST_F(ConfigTest, ExportCopiesTheFileAndFailsPlainlyWhenThereIsNone) {
    ServiceSim sim(folder, kDemoProfile);
    Panel panel;
    ASSERT_TRUE(panel.start());
    const std::wstring target = folder.file(L"exported.scfg");
    PostMessageW(panelWindow(), WM_COMMAND, IDC_EXPORT, 0);  // the Export button
    ASSERT_TRUE(answerFileDialog(panel.process().id(), target));
    EXPECT_TRUE(waitFor([&] { return readFile(target) == original; }));

    DeleteFileW(configFile().c_str());
    PostMessageW(panelWindow(), WM_PANEL_IMPORTEXPORT, kImportExportExport, 0);
    ASSERT_TRUE(answerFileDialog(panel.process().id(), folder.file(L"second.scfg")));
    EXPECT_EQ(takeMessage(panel.process().id()), L"Export configuration failed!");
}

}  // namespace
