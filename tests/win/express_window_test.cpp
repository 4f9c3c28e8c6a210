// The express-key settings window in process, over a record in memory: the application list
// (add as a copy of "Others", the ten-program limit, remove, clicks on empty space), the key
// page's assignment and Default per entry, and a user-defined ring group through the Setting
// dialog driven by key messages.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "config/block_access.h"
#include "config/language.h"
#include "dialog_failsafe.h"
#include "fallback_texts.h"
#include "keys/win/express_key_window.h"
#include "platform/message_loop.h"
#include "platform/wide.h"
#include "process_counts.h"
#include "resource.h"

using namespace scribo;

namespace {

std::wstring selfPath() {
    wchar_t p[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, p, MAX_PATH * 2);
    return p;
}

class ExpressWindow : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc,
                                 ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        block_ = std::make_unique<SharedBlock>();
        std::memset(block_.get(), 0, sizeof(SharedBlock));
        DeviceRecord& r = rec();
        storeField(r.deviceId, u"PID_0374");
        r.connected = 1;
        r.hasExpressKeys = 1;
        r.hasRing = 1;
        r.ringCount = 1;
        r.keyCount = 8;
        for (int i = 0; i < 8; ++i) r.keyPresent[i] = 1;
        r.apps[0].inUse = 1;
        r.apps[0].keyFunc[0] = 2;
        storeField(r.apps[0].keyDescriptor[0], u"2|3");
        r.apps[0].ringFunc[0][0] = 2;
        storeField(r.apps[0].ringTextC[0][0], u"Zoom");

        // Programs to add: copies of this test program (any program file has an icon).
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + L"scribo-express-window";
        CreateDirectoryW(dir_.c_str(), nullptr);
        for (int i = 0; i < 11; ++i) CopyFileW(selfPath().c_str(), program(i).c_str(), FALSE);

        win::ExpressServices s;
        s.instance = GetModuleHandleW(nullptr);
        s.lang = &lang_;
        s.chooseApplication = [this](HWND) -> std::optional<std::u16string> {
            if (chosen_.empty()) return std::nullopt;
            std::u16string p = platform::toU16(chosen_.front());
            chosen_.pop_front();
            return p;
        };
        s.chooseHotKeys = [this](HWND, int32_t, int32_t, int32_t) { return hotKeys_; };
        dialogsBefore_ = platform::message_loop::registeredCount();
        services_ = s;
        window_ = std::make_unique<win::CDlgShortcutKey>(s);
        window_->setDevice(generations_.bindSlot(*block_, 0));
        ASSERT_NE(window_->createModeless(GetModuleHandleW(nullptr), IDD_SHORTCUT_KEY, nullptr),
                  nullptr);
    }
    void TearDown() override {
        window_.reset();
        for (int i = 0; i < 11; ++i) DeleteFileW(program(i).c_str());
        RemoveDirectoryW(dir_.c_str());
    }
    std::wstring program(int i) const { return dir_ + L"\\prog" + std::to_wstring(i) + L".exe"; }
    DeviceRecord& rec() { return block_->devices[0]; }
    HWND w() const { return window_->hwnd(); }
    HWND list() const { return GetDlgItem(w(), IDC_QS_APP_LIST); }
    void press(int id) {
        SendMessageW(w(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(w(), id)));
    }
    void add(int i) {
        chosen_.push_back(program(i));
        press(IDC_QS_ADD);
    }
    int itemCount() const { return static_cast<int>(SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0)); }
    int selectedItem() const {
        return static_cast<int>(
            SendMessageW(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    // A click on the list: item `index` selected first, or -1 for empty space (nothing selected).
    void click(int index) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED;
        SendMessageW(list(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&state));
        if (index >= 0) {
            state.state = LVIS_SELECTED;
            SendMessageW(list(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&state));
        }
        NMITEMACTIVATE n{};
        n.hdr.hwndFrom = list();
        n.hdr.idFrom = IDC_QS_APP_LIST;
        n.hdr.code = NM_CLICK;
        n.iItem = index;
        SendMessageW(w(), WM_NOTIFY, IDC_QS_APP_LIST, reinterpret_cast<LPARAM>(&n));
    }
    bool enabled(int id) const { return IsWindowEnabled(GetDlgItem(w(), id)) != FALSE; }
    // The window itself is never shown here: read the control's own visibility.
    bool shown(int id) const {
        return (GetWindowLongPtrW(GetDlgItem(w(), id), GWL_STYLE) & WS_VISIBLE) != 0;
    }
    HWND page(int tab) const {
        HWND p = GetWindow(GetDlgItem(w(), IDC_QS_TABS), GW_CHILD);
        for (HWND c = p; c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) p = c;  // first created last
        for (int i = 0; i < tab && p != nullptr; ++i) p = GetWindow(p, GW_HWNDPREV);
        return p;
    }
    static std::wstring textOf(HWND h) {
        wchar_t b[300] = {};
        GetWindowTextW(h, b, 300);
        return b;
    }
    static void choose(HWND page, int combo, int item) {
        HWND c = GetDlgItem(page, combo);
        SendMessageW(c, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(c));
    }

    testsupport::FallbackTexts profile_;
    TIniFile lang_{profile_, u"none.ini"};
    std::unique_ptr<SharedBlock> block_;
    DeviceGenerations generations_;
    std::wstring dir_;
    std::deque<std::wstring> chosen_;
    std::optional<HotKeyResult> hotKeys_ = HotKeyResult{3, u"", u"", u"", 0};  // "Middle"
    std::unique_ptr<win::CDlgShortcutKey> window_;
    size_t dialogsBefore_ = 0;
    win::ExpressServices services_;
};

// Opening and closing the window again and again: its pages leave the message loop with it
// (the loop would otherwise call into deleted pages) and nothing stays behind (each page once
// kept its dialog font).
TEST_F(ExpressWindow, ClosingLeavesNoPageOrObjectBehind) {
    EXPECT_GT(platform::message_loop::registeredCount(), dialogsBefore_ + 1);
    window_.reset();
    EXPECT_EQ(platform::message_loop::registeredCount(), dialogsBefore_);
    const auto gdi = [] {
        return testsupport::countsOf(GetCurrentProcess(), "win_tests.exe").gdiObjects;
    };
    const DWORD before = gdi();
    for (int i = 0; i < 10; ++i) {
        window_ = std::make_unique<win::CDlgShortcutKey>(services_);
        window_->setDevice(generations_.bindSlot(*block_, 0));
        ASSERT_NE(window_->createModeless(GetModuleHandleW(nullptr), IDD_SHORTCUT_KEY, nullptr),
                  nullptr);
        window_.reset();
    }
    EXPECT_EQ(platform::message_loop::registeredCount(), dialogsBefore_);
    EXPECT_LE(gdi(), before + 2);
}

TEST_F(ExpressWindow, AddedProgramStartsFromOthersAndRemovingZeroesItsEntry) {
    add(0);
    ASSERT_EQ(itemCount(), 2);
    EXPECT_EQ(selectedItem(), 1);
    EXPECT_TRUE(enabled(IDC_QS_REMOVE));
    const AppEntry& e = rec().apps[1];
    EXPECT_EQ(e.inUse, 1);
    EXPECT_EQ(readField(e.appName), u"prog0");
    EXPECT_EQ(readField(e.appPath), platform::toU16(program(0)));
    EXPECT_EQ(e.keyFunc[0], 2);
    EXPECT_EQ(readField(e.keyDescriptor[0]), u"2|3");
    EXPECT_EQ(readField(e.ringTextC[0][0]), u"Zoom");

    add(0);  // the same path again: nothing added
    EXPECT_EQ(itemCount(), 2);

    click(1);
    press(IDC_QS_REMOVE);
    EXPECT_EQ(itemCount(), 1);
    EXPECT_EQ(selectedItem(), 0);
    EXPECT_FALSE(enabled(IDC_QS_REMOVE));
    const AppEntry zero{};
    EXPECT_EQ(std::memcmp(&rec().apps[1], &zero, sizeof zero), 0);

    // Adding it again starts from what "Others" has now.
    rec().apps[0].keyFunc[0] = 1;
    storeField(rec().apps[0].keyDescriptor[0], u"0|C:\\paint.exe");
    add(0);
    EXPECT_EQ(rec().apps[1].keyFunc[0], 1);
    EXPECT_EQ(readField(rec().apps[1].keyDescriptor[0]), u"0|C:\\paint.exe");
}

TEST_F(ExpressWindow, TenProgramsFillTheListAndOthersCannotBeRemoved) {
    for (int i = 0; i < 10; ++i) add(i);
    EXPECT_EQ(itemCount(), 11);
    EXPECT_FALSE(enabled(IDC_QS_ADD));
    EXPECT_TRUE(shown(IDC_QS_FULL_NOTE));

    click(0);
    EXPECT_FALSE(enabled(IDC_QS_REMOVE));
    press(IDC_QS_REMOVE);
    EXPECT_EQ(itemCount(), 11);

    click(4);
    press(IDC_QS_REMOVE);
    EXPECT_EQ(itemCount(), 10);
    EXPECT_TRUE(enabled(IDC_QS_ADD));
    EXPECT_FALSE(shown(IDC_QS_FULL_NOTE));
}

// Ten entries in use but a program file gone: the program is not listed, and a new one is
// refused rather than listed with nowhere to keep its settings.
TEST_F(ExpressWindow, NoFreeEntryRefusesTheAddition) {
    window_->destroy();
    for (int i = 1; i <= 10; ++i) {
        rec().apps[i].inUse = 1;
        storeField(rec().apps[i].appName, u"p" + platform::toU16(std::to_wstring(i)));
        storeField(rec().apps[i].appPath,
                   platform::toU16(i == 10 ? dir_ + L"\\gone.exe" : program(i)));
    }
    ASSERT_NE(window_->createModeless(GetModuleHandleW(nullptr), IDD_SHORTCUT_KEY, nullptr),
              nullptr);
    EXPECT_EQ(itemCount(), 10);
    EXPECT_FALSE(enabled(IDC_QS_ADD));
    add(0);
    EXPECT_EQ(itemCount(), 10);
}

TEST_F(ExpressWindow, ClickOnEmptySpaceKeepsTheSelection) {
    add(0);
    add(1);
    click(1);
    EXPECT_TRUE(enabled(IDC_QS_REMOVE));
    click(-1);
    EXPECT_EQ(selectedItem(), 1);
    EXPECT_TRUE(enabled(IDC_QS_REMOVE));
    EXPECT_EQ(window_->appList()->selected(), 1);
}

TEST_F(ExpressWindow, KeyAssignmentAndDefaultChangeOnlyTheSelectedProgram) {
    add(0);  // selected: entry 1
    HWND keys = page(0);
    ASSERT_NE(GetDlgItem(keys, IDC_KEY_COMBO_FIRST), nullptr);
    choose(keys, IDC_KEY_COMBO_FIRST + 1, 2);
    EXPECT_EQ(rec().apps[1].keyFunc[1], 2);
    EXPECT_EQ(readField(rec().apps[1].keyDescriptor[1]), u"2|3");
    EXPECT_EQ(textOf(GetDlgItem(keys, 1315)), L"UserSet.Index.03");  // label of key 2
    EXPECT_EQ(rec().apps[0].keyFunc[1], 0);

    SendMessageW(keys, WM_COMMAND, MAKEWPARAM(IDC_PAGE_DEFAULT, BN_CLICKED), 0);
    EXPECT_EQ(rec().apps[1].keyFunc[0], 0);
    EXPECT_EQ(rec().apps[1].keyFunc[1], 0);
    EXPECT_EQ(readField(rec().apps[1].keyDescriptor[0]), u"");
    EXPECT_EQ(rec().apps[0].keyFunc[0], 2);  // "Others" keeps its settings
    EXPECT_EQ(readField(rec().apps[0].keyDescriptor[0]), u"2|3");

    click(0);  // back to "Others": its labels come back
    EXPECT_EQ(textOf(GetDlgItem(keys, 1313)), L"UserSet.Index.03");
    EXPECT_EQ(SendDlgItemMessageW(keys, IDC_KEY_COMBO_FIRST, CB_GETCURSEL, 0, 0), 2);
}

// The selection moved with the keyboard loads the pages as a click does.
TEST_F(ExpressWindow, TheKeyboardMovesTheSelectionAndThePagesFollow) {
    add(0);
    add(1);
    rec().apps[1].keyFunc[0] = 1;  // prog0 runs a program on key 1; prog1 copied "Others" (2)
    click(0);
    HWND keys = page(0);
    ASSERT_EQ(SendDlgItemMessageW(keys, IDC_KEY_COMBO_FIRST, CB_GETCURSEL, 0, 0), 2);
    const struct {
        UINT key;
        int item, selection;
    } steps[] = {{VK_HOME, 0, 2}, {VK_DOWN, 1, 1}, {VK_DOWN, 2, 2}, {VK_UP, 1, 1}, {VK_END, 2, 2}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.item);
        SendMessageW(list(), WM_KEYDOWN, step.key, 0);
        platform::message_loop::pumpPending();
        EXPECT_EQ(selectedItem(), step.item);
        EXPECT_EQ(SendDlgItemMessageW(keys, IDC_KEY_COMBO_FIRST, CB_GETCURSEL, 0, 0),
                  step.selection);
        EXPECT_EQ(enabled(IDC_QS_REMOVE), step.item > 0);
    }
}

// The device leaves and another takes its slot while the custom-function dialog is open: the
// choice is dropped, and from then on no control of the window writes into the record.
TEST_F(ExpressWindow, AStaleBindingRefusesEveryEdit) {
    std::vector<unsigned char> after;
    services_.chooseHotKeys = [&](HWND, int32_t, int32_t, int32_t) -> std::optional<HotKeyResult> {
        storeField(rec().deviceId, u"PID_0375");
        generations_.bump();
        const auto* bytes = reinterpret_cast<const unsigned char*>(&rec());
        after.assign(bytes, bytes + sizeof(DeviceRecord));
        HotKeyResult r;
        r.option = 3;
        return r;
    };
    window_ = std::make_unique<win::CDlgShortcutKey>(services_);
    window_->setDevice(generations_.bindSlot(*block_, 0));
    ASSERT_NE(window_->createModeless(GetModuleHandleW(nullptr), IDD_SHORTCUT_KEY, nullptr),
              nullptr);
    HWND keys = page(0);
    choose(keys, IDC_KEY_COMBO_FIRST + 1, 2);
    ASSERT_EQ(after.size(), sizeof(DeviceRecord));
    SendMessageW(GetDlgItem(w(), IDC_QS_DISABLE_KEYS), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(w(), IDC_QS_DISABLE_TIPS), BM_CLICK, 0, 0);
    add(0);
    choose(keys, IDC_KEY_COMBO_FIRST, 0);
    SendMessageW(keys, WM_COMMAND, MAKEWPARAM(IDC_PAGE_DEFAULT, BN_CLICKED), 0);
    HWND ring = page(1);
    choose(ring, IDC_RING_COMBO_FIRST, 1);
    SendMessageW(ring, WM_COMMAND, MAKEWPARAM(IDC_PAGE_DEFAULT, BN_CLICKED), 0);
    EXPECT_EQ(std::memcmp(after.data(), &rec(), sizeof(DeviceRecord)), 0);
    EXPECT_EQ(window_->record(), nullptr);
}

// A combination whose descriptor would not fit its field is refused: a message tells the user
// (instead of the choice vanishing like a cancel), and the key keeps its function, the label
// shown being the one stored.
TEST_F(ExpressWindow, ARefusedChoiceIsToldAndTheKeyKeepsItsFunction) {
    HWND keys = page(0);
    ASSERT_NE(GetDlgItem(keys, IDC_KEY_COMBO_FIRST), nullptr);
    hotKeys_ = HotKeyResult{kOtherKeyboardFunctions, u"A", std::u16string(300, u'1'), u"30", 0};
    static std::wstring told;
    told.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND h, LPARAM out) -> BOOL {
                wchar_t cls[16] = {};
                GetClassNameW(h, cls, 16);
                if (!IsWindowVisible(h) || std::wstring(cls) != L"#32770" || !GetDlgItem(h, 0xFFFF))
                    return TRUE;
                *reinterpret_cast<HWND*>(out) = h;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&box));
        if (box == nullptr) return;
        KillTimer(nullptr, id);
        told = textOf(GetDlgItem(box, 0xFFFF));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    choose(keys, IDC_KEY_COMBO_FIRST, 2);  // "Others", key 1: "2|3" until now
    KillTimer(nullptr, timer);
    EXPECT_EQ(told, platform::toWide(refusedChoiceText(lang_)));
    EXPECT_EQ(readField(rec().apps[0].keyDescriptor[0]), u"2|3");
    EXPECT_EQ(textOf(GetDlgItem(keys, 1313)), platform::toWide(describeFunction(u"2|3", lang_)));

    told.clear();
    hotKeys_ = HotKeyResult{3, u"", u"", u"", 0};  // a choice that fits says nothing
    choose(keys, IDC_KEY_COMBO_FIRST + 1, 2);
    EXPECT_EQ(told, L"");
    EXPECT_EQ(readField(rec().apps[0].keyDescriptor[1]), u"2|3");
}

// The Setting dialog records Shift alone as vk 0 with the Shift flag, and a plain key with its
// virtual key and scan code; the group gets the name typed.
TEST_F(ExpressWindow, UserRingGroupTakesTheKeystrokesOfTheSettingDialog) {
    HWND ring = page(1);
    ASSERT_NE(GetDlgItem(ring, IDC_RING_COMBO_FIRST), nullptr);
    testsupport::DialogFailSafe failSafe;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND d = FindWindowW(L"#32770", L"Setting");
        if (d == nullptr) return;
        KillTimer(nullptr, id);
        SetDlgItemTextW(d, IDC_SETTING_NAME, L"Brush");
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        PostMessageW(GetDlgItem(d, IDC_SETTING_KL), WM_KEYDOWN, VK_SHIFT, 0x002A0001);
        PostMessageW(d, WM_APP, 0, 0);  // marks the end of the KL keys
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id2, DWORD) {
            KillTimer(nullptr, id2);
            HWND d2 = FindWindowW(L"#32770", L"Setting");
            BYTE k[256] = {};
            GetKeyboardState(k);
            k[VK_SHIFT] = 0;
            SetKeyboardState(k);
            PostMessageW(GetDlgItem(d2, IDC_SETTING_KR), WM_KEYDOWN, VK_RETURN, 0x001C0001);
            PostMessageW(d2, WM_COMMAND, IDOK, 0);
        });
    });
    choose(ring, IDC_RING_COMBO_FIRST, 2);
    const AppEntry& e = rec().apps[0];
    EXPECT_EQ(e.ringFunc[0][0], 2);
    EXPECT_EQ(readField(e.ringTextC[0][0]), u"Brush");
    EXPECT_EQ(readField(e.ringTextA[0][0]), u"1|[Shift]|0|42|1");
    const std::u16string right = readField(e.ringTextB[0][0]);
    EXPECT_NE(right.find(u"|13|28|0"), std::u16string::npos) << platform::toWide(right).c_str();
    EXPECT_EQ(textOf(GetDlgItem(ring, IDC_RING_LABEL_FIRST)), L"Brush");
}

}  // namespace

namespace {

// Timing figures, run on demand (--gtest_also_run_disabled_tests): opening with ten programs
// listed until painted, beside a plain dialog of the same program as the floor, and switching
// the selected program (every page reloaded).
class PlainDialog : public platform::Dialog {
protected:
    bool handleMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        if (msg != WM_INITDIALOG) return false;
        result = TRUE;
        return true;
    }
};

// Mean time of `f`; `after` (not timed) runs after each call.
double millisecondsOf(const std::function<void()>& f, int runs,
                      const std::function<void()>& after = {}) {
    LARGE_INTEGER freq, a, b;
    QueryPerformanceFrequency(&freq);
    double total = 0;
    for (int i = 0; i < runs; ++i) {
        QueryPerformanceCounter(&a);
        f();
        QueryPerformanceCounter(&b);
        total += static_cast<double>(b.QuadPart - a.QuadPart);
        if (after) after();
    }
    return 1000.0 * total / static_cast<double>(freq.QuadPart) / runs;
}

TEST_F(ExpressWindow, DISABLED_TimingFigures) {
    for (int i = 0; i < 10; ++i) add(i);
    window_->destroy();
    constexpr int kRuns = 10;
    PlainDialog plain;
    const double floor = millisecondsOf(
        [&] {
            HWND h = plain.createModeless(GetModuleHandleW(nullptr), IDD_RING_SETTING, nullptr);
            ShowWindow(h, SW_SHOW);
            RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        },
        kRuns, [&] { plain.destroy(); });
    const double open = millisecondsOf(
        [this] {
            HWND h = window_->createModeless(GetModuleHandleW(nullptr), IDD_SHORTCUT_KEY, nullptr);
            ShowWindow(h, SW_SHOW);
            RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        },
        kRuns, [this] { window_->destroy(); });
    window_->createModeless(GetModuleHandleW(nullptr), IDD_SHORTCUT_KEY, nullptr);
    ShowWindow(w(), SW_SHOW);
    int next = 0;
    const double change = millisecondsOf(
        [&] {
            click(next = (next + 1) % 11);
            RedrawWindow(w(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        },
        50);
    window_->destroy();
    AppEntry saved[kAppEntryCount];
    std::memcpy(saved, rec().apps, sizeof saved);
    for (int i = 1; i < kAppEntryCount; ++i) rec().apps[i].inUse = 0;
    const double empty = millisecondsOf(
        [this] {
            HWND h = window_->createModeless(GetModuleHandleW(nullptr), IDD_SHORTCUT_KEY, nullptr);
            ShowWindow(h, SW_SHOW);
            RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        },
        kRuns, [this] { window_->destroy(); });
    std::memcpy(rec().apps, saved, sizeof saved);
    printf("plain dialog shown and painted: %.2f ms\n", floor);
    printf("express-key window without programs, shown and painted: %.2f ms\n", empty);
    printf("express-key window with ten programs, shown and painted: %.2f ms\n", open);
    printf("switching the selected program (pages reloaded, painted): %.2f ms\n", change);
}

}  // namespace
