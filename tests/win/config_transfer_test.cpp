// Export and import of the configuration file, with a scripted chooser and the real dialogs.
#include <windows.h>

#include <gtest/gtest.h>

#include <msxml2.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>

#include "config/block_access.h"
#include "config/transfer_rules.h"
#include "config/win/config_transfer.h"
#include "config_fixtures.h"
#include "dialog_failsafe.h"
#include "processes.h"
#include "store_doubles.h"
#include "win_test_files.h"

extern "C" const size_t kMsxmlSetPropertySlot;
extern "C" const size_t kMsxmlLoadSlot;

namespace scribo::win {

using namespace platform;
namespace {

class ScriptedChooser : public FileChooser {
public:
    std::optional<std::u16string> exportTarget, importSource;
    std::u16string suggested;
    std::optional<std::u16string> chooseExportTarget(HWND, const std::u16string& name) override {
        suggested = name;
        return exportTarget;
    }
    std::optional<std::u16string> chooseImportSource(HWND) override { return importSource; }
};

class Recorder : public scribo::UserFeedback {
public:
    void showMessage(std::u16string_view text) override { messages.emplace_back(text); }
    void traceSaveFailure() override {}
    std::vector<std::u16string> messages;
};

// A stand-in for the service's listen window inside the test process.
class ListenWindow {
public:
    ListenWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ORVA_HIDE_LISTEN_WINDOW";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"QXListen", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, wc.hInstance, nullptr);
        reloads = 0;
    }
    ~ListenWindow() { DestroyWindow(hwnd_); }
    static inline int reloads = 0;

private:
    static LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == 0x420 && w == 0 && l == 0) ++reloads;
        return DefWindowProcW(h, m, w, l);
    }
    HWND hwnd_;
};

const std::string kConfig = "<?xml version=\"1.0\"?><Scribo><PID_0374><I/>" +
                            scribo::testing::emptySettings() + "</PID_0374></Scribo>";

class TransferTest : public ::testing::Test {
protected:
    ConfigTransfer transfer(ConfigStore* store = nullptr) {
        TransferHooks hooks;
        hooks.chooser = &chooser_;
        hooks.feedback = &feedback_;
        hooks.localNow = [] {
            std::tm t{};
            t.tm_year = 2027 - 1900, t.tm_mon = 0, t.tm_mday = 5, t.tm_hour = 23;
            return t;
        };
        return ConfigTransfer(config_, nullptr, store, hooks);
    }

    TempFolder dir_;
    std::u16string config_ = dir_.file(u"xml\\scribo.xml");
    ScriptedChooser chooser_;
    Recorder feedback_;
};

TEST_F(TransferTest, ExportCopiesTheFileOnDiskToANewName) {
    CreateDirectoryW(wz(dir_.file(u"xml")), nullptr);
    writeText(config_, kConfig);
    chooser_.exportTarget = dir_.file(u"backup.scfg");
    EXPECT_EQ(transfer().exportConfig(), TransferResult::Done);
    EXPECT_EQ(chooser_.suggested, u"ScriboConfig_20270105");
    EXPECT_EQ(readText(*chooser_.exportTarget), kConfig);
    EXPECT_TRUE(feedback_.messages.empty());

    chooser_.exportTarget.reset();  // cancelled
    EXPECT_EQ(transfer().exportConfig(), TransferResult::Cancelled);
    EXPECT_TRUE(feedback_.messages.empty());
}

TEST_F(TransferTest, ExportBeforeAnyFileExistsShowsTheMessage) {
    chooser_.exportTarget = dir_.file(u"backup.scfg");
    EXPECT_EQ(transfer().exportConfig(), TransferResult::Failed);
    EXPECT_EQ(feedback_.messages, std::vector<std::u16string>{scribo::kExportFailedText});
    EXPECT_FALSE(fileExists(*chooser_.exportTarget));
}

TEST_F(TransferTest, ImportOfAnythingButAConfigurationChangesNothing) {
    CreateDirectoryW(wz(dir_.file(u"xml")), nullptr);
    writeText(config_, kConfig);
    ListenWindow listen;
    const std::pair<const char*, std::string> cases[] = {
        {"empty file", ""},
        {"picture", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"XML without devices", "<?xml version=\"1.0\"?><Scribo><Other/></Scribo>"},
        {"broken XML", "<Scribo><PID_0374><I/><S/></Scribo>"},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        feedback_.messages.clear();
        chooser_.importSource = dir_.file(u"candidate.scfg");
        writeText(*chooser_.importSource, bytes);
        EXPECT_EQ(transfer().importConfig(), TransferResult::Refused);
        EXPECT_EQ(feedback_.messages, std::vector<std::u16string>{scribo::kImportFailedText});
        EXPECT_EQ(readText(config_), kConfig);
        EXPECT_FALSE(fileExists(config_ + u".import"));
    }
    chooser_.importSource = dir_.file(u"vanished.scfg");
    EXPECT_EQ(transfer().importConfig(), TransferResult::Failed);
    EXPECT_EQ(readText(config_), kConfig);
    EXPECT_EQ(ListenWindow::reloads, 0);
}

TEST_F(TransferTest, ImportReplacesTheFileTellsTheServiceAndTheNextSaveKeepsTheImportedTree) {
    // A first save keeps the loaded tree in memory.
    CreateDirectoryW(wz(dir_.file(u"xml")), nullptr);
    writeText(config_, kConfig);
    auto block = std::make_unique<scribo::SharedBlock>();
    scribo::storeField(block->devices[0].deviceId, u"PID_0374");
    block->devices[0].monitorIndex = 3;
    Recorder saveFeedback;
    testsupport::FallbackTexts keys;
    ConfigStore store(config_, scribo::TIniFile(keys, u"x.ini"), saveFeedback);
    store.saveAllDevices(*block, {u"PID_0374"});

    ListenWindow listen;
    const std::string imported = "<?xml version=\"1.0\"?><Scribo><PID_0374><I/>" +
                                 scribo::testing::emptySettings() +
                                 "<Imported/></PID_0374></Scribo>";
    chooser_.importSource = dir_.file(u"backup.scfg");
    writeText(*chooser_.importSource, imported);
    ConfigTransfer t = transfer(&store);
    t.onImportExportMessage(7);  // neither export nor import
    EXPECT_EQ(ListenWindow::reloads, 0);
    t.onImportExportMessage(2);
    EXPECT_EQ(readText(config_), imported);
    EXPECT_EQ(ListenWindow::reloads, 1);
    EXPECT_TRUE(feedback_.messages.empty());

    store.saveAllDevices(*block, {u"PID_0374"});
    const std::string saved = readText(config_);
    EXPECT_NE(saved.find("Imported"), std::string::npos) << saved;
    EXPECT_NE(saved.find("SelectID=\"3\""), std::string::npos);
    EXPECT_TRUE(saveFeedback.messages.empty());
}

TEST_F(TransferTest, ImportOnAFreshProfileCreatesTheFolder) {
    chooser_.importSource = dir_.file(u"backup.scfg");
    writeText(*chooser_.importSource, kConfig);
    EXPECT_EQ(transfer().importConfig(), TransferResult::Done);  // no listen window: not told
    EXPECT_EQ(readText(config_), kConfig);
}

// What each MSXML document of this process had set when it loaded a file. Wine's parser takes
// ProhibitDTD and ignores it, and cannot report it back, so the document's methods are watched
// instead: the two entries of the class's method table are pointed here while a test runs.
class ParserSettingsSpy {
public:
    struct AtLoad {
        bool prohibitDtd = false;  // the last ProhibitDTD set on the document
        VARIANT_BOOL resolveExternals = VARIANT_TRUE, validateOnParse = VARIANT_TRUE;
    };
    ParserSettingsSpy() {
        const CLSID dom30 = {
            0xF5078F32, 0xC551, 0x11D3, {0x89, 0xB9, 0x00, 0x00, 0xF8, 0x1F, 0xE2, 0x21}};
        const IID doc2 = {
            0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IXMLDOMDocument2* doc = nullptr;
        if (FAILED(CoCreateInstance(dom30, nullptr, CLSCTX_INPROC_SERVER, doc2,
                                    reinterpret_cast<void**>(&doc))))
            return;
        table_ = *reinterpret_cast<void***>(doc);
        doc->Release();
        patch(kMsxmlSetPropertySlot, reinterpret_cast<void*>(&setProperty), s_setProperty);
        patch(kMsxmlLoadSlot, reinterpret_cast<void*>(&load), s_load);
        s_prohibit.clear();
        s_loads.clear();
    }
    ~ParserSettingsSpy() {
        if (table_ == nullptr) return;
        void* ignored = nullptr;
        patch(kMsxmlSetPropertySlot, s_setProperty, ignored);
        patch(kMsxmlLoadSlot, s_load, ignored);
        CoUninitialize();
    }
    bool installed() const { return table_ != nullptr; }
    static const std::vector<AtLoad>& loads() { return s_loads; }

private:
    using SetPropertyFn = HRESULT(STDMETHODCALLTYPE*)(IXMLDOMDocument2*, BSTR, VARIANT);
    using LoadFn = HRESULT(STDMETHODCALLTYPE*)(IXMLDOMDocument2*, VARIANT, VARIANT_BOOL*);

    void patch(size_t slot, void* with, void*& previous) {
        DWORD old = 0;
        VirtualProtect(&table_[slot], sizeof(void*), PAGE_READWRITE, &old);
        previous = table_[slot];
        table_[slot] = with;
        VirtualProtect(&table_[slot], sizeof(void*), old, &old);
    }
    static HRESULT STDMETHODCALLTYPE setProperty(IXMLDOMDocument2* self, BSTR name, VARIANT value) {
        if (name != nullptr && lstrcmpiW(name, L"ProhibitDTD") == 0)
            s_prohibit[self] = value.vt == VT_BOOL && value.boolVal == VARIANT_TRUE;
        return reinterpret_cast<SetPropertyFn>(s_setProperty)(self, name, value);
    }
    static HRESULT STDMETHODCALLTYPE load(IXMLDOMDocument2* self, VARIANT source,
                                          VARIANT_BOOL* ok) {
        AtLoad now;
        now.prohibitDtd = s_prohibit.count(self) != 0 && s_prohibit[self];
        self->get_resolveExternals(&now.resolveExternals);
        self->get_validateOnParse(&now.validateOnParse);
        s_loads.push_back(now);
        return reinterpret_cast<LoadFn>(s_load)(self, source, ok);
    }

    void** table_ = nullptr;
    static inline void* s_setProperty = nullptr;
    static inline void* s_load = nullptr;
    static inline std::map<IXMLDOMDocument2*, bool> s_prohibit;
    static inline std::vector<AtLoad> s_loads;
};

void expectHardened(const ParserSettingsSpy::AtLoad& at) {
    EXPECT_TRUE(at.prohibitDtd) << "ProhibitDTD not set";
    EXPECT_EQ(at.resolveExternals, VARIANT_FALSE);
    EXPECT_EQ(at.validateOnParse, VARIANT_FALSE);
}

std::string withDeclaration(const std::string& declaration, const std::string& deviceText) {
    return "<?xml version=\"1.0\"?>" + declaration + "<Scribo><PID_0374><I>" + deviceText + "</I>" +
           scribo::testing::emptySettings() + "</PID_0374></Scribo>";
}

// Files that declare a document type: entity expansion ("billion laughs"), an external entity,
// even a harmless internal one. Importing one changes nothing and says so at once; a
// configuration file that became one is not loaded (the save says it cannot).
TEST_F(TransferTest, AFileWithADocumentTypeIsRefusedAtOnce) {
    ParserSettingsSpy spy;
    ASSERT_TRUE(spy.installed());
    std::string laughs = "<!DOCTYPE Scribo [<!ENTITY l0 \"ha\">";
    for (int i = 1; i <= 9; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "\">";
    }
    laughs += "]>";
    writeText(dir_.file(u"secret.txt"), "a secret");
    const std::u16string secret = dir_.file(u"secret.txt");
    const std::string secretUrl = "file:///" + std::string(secret.begin(), secret.end());
    const std::pair<const char*, std::string> cases[] = {
        {"billion laughs", withDeclaration(laughs, "&l9;")},
        {"external entity",
         withDeclaration("<!DOCTYPE Scribo [<!ENTITY s SYSTEM \"" + secretUrl + "\">]>", "&s;")},
        {"internal entity", withDeclaration("<!DOCTYPE Scribo [<!ENTITY x \"y\">]>", "&x;")},
    };
    CreateDirectoryW(wz(dir_.file(u"xml")), nullptr);
    writeText(config_, kConfig);
    ListenWindow listen;
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        feedback_.messages.clear();
        chooser_.importSource = dir_.file(u"candidate.scfg");
        writeText(*chooser_.importSource, bytes);
        const std::size_t before = ParserSettingsSpy::loads().size();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(transfer().importConfig(), TransferResult::Refused);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
        EXPECT_LT(ms, 1000);
        EXPECT_EQ(feedback_.messages, std::vector<std::u16string>{scribo::kImportFailedText});
        EXPECT_EQ(readText(config_), kConfig);
        EXPECT_FALSE(fileExists(config_ + u".import"));
        ASSERT_EQ(ParserSettingsSpy::loads().size(), before + 1);
        expectHardened(ParserSettingsSpy::loads().back());
    }
    EXPECT_EQ(ListenWindow::reloads, 0);

    // The configuration file itself, read by the first save.
    const std::string hostile = cases[2].second;
    writeText(config_, hostile);
    auto block = std::make_unique<scribo::SharedBlock>();
    scribo::storeField(block->devices[0].deviceId, u"PID_0374");
    testsupport::KeyAsText keys;
    testsupport::Recorder saveFeedback;
    ConfigStore store(config_, scribo::TIniFile(keys, u"x.ini"), saveFeedback);
    const std::size_t before = ParserSettingsSpy::loads().size();
    EXPECT_EQ(store.saveDeviceConfig(*block, u"PID_0374"), scribo::SaveOutcome::LoadFailed);
    EXPECT_EQ(saveFeedback.messages.size(), 1u);
    EXPECT_EQ(readText(config_), hostile);
    ASSERT_EQ(ParserSettingsSpy::loads().size(), before + 1);
    expectHardened(ParserSettingsSpy::loads().back());
}

// The shipped dialogs, driven as a user would: type a name and press OK.
std::optional<std::u16string> answerDialog(
    const std::function<std::optional<std::u16string>()>& open, const std::u16string& name) {
    std::atomic<bool> done{false};
    testsupport::DialogFailSafe failSafe(30000);
    std::thread user([&] {
        HWND box = nullptr;
        // The dialog of this process with its file name box shown (cmb13 in explorer-style
        // dialogs, edt1 in older templates), or the chooser has already returned.
        const bool found = testsupport::waitFor(
            [&] {
                if (done) return true;
                HWND dlg = nullptr;
                EnumWindows(
                    [](HWND h, LPARAM out) -> BOOL {
                        DWORD pid = 0;
                        GetWindowThreadProcessId(h, &pid);
                        wchar_t cls[16] = {};
                        GetClassNameW(h, cls, 16);
                        if (pid != GetCurrentProcessId() || !IsWindowVisible(h) ||
                            lstrcmpW(cls, L"#32770") != 0)
                            return TRUE;
                        *reinterpret_cast<HWND*>(out) = h;
                        return FALSE;
                    },
                    reinterpret_cast<LPARAM>(&dlg));
                if (dlg == nullptr) return false;
                box = GetDlgItem(dlg, 0x47C);
                if (box == nullptr) box = GetDlgItem(dlg, 0x480);
                if (box == nullptr || !IsWindowVisible(box)) return false;
                SetWindowTextW(box, wz(name));
                PostMessageW(dlg, WM_COMMAND, IDOK, 0);
                return true;
            },
            20000);
        (void)found;
    });
    auto result = open();
    done = true;
    user.join();
    return result;
}

TEST_F(TransferTest, CommonDialogsTakeANewExportNameAndAnExistingImportFile) {
    CommonFileDialogs dialogs;
    const std::u16string fresh = dir_.file(u"fresh-name.scfg");
    auto chosen =
        answerDialog([&] { return dialogs.chooseExportTarget(nullptr, u"Scribo"); }, fresh);
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(scribo::equalsIgnoringCase(*chosen, fresh))
        << std::string(chosen->begin(), chosen->end());

    writeText(fresh, kConfig);
    chosen = answerDialog([&] { return dialogs.chooseImportSource(nullptr); }, fresh);
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(scribo::equalsIgnoringCase(*chosen, fresh));
}

}  // namespace
}  // namespace scribo::win
