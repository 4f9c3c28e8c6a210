#include "keys/win/express_key_window.h"

#include <shellapi.h>

#include "config/service_protocol.h"
#include "keys/win/key_page.h"
#include "keys/win/lights_page.h"
#include "keys/win/program_select_dialog.h"
#include "keys/win/ring_page.h"
#include "platform/dpi.h"
#include "platform/message_loop.h"
#include "platform/wide.h"
#include "resource.h"

namespace scribo::win {
namespace {

constexpr int kIconSize = 32;  // at 96 dots per inch
const wchar_t kProgramFilter[] = L"Describe Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0\0";

// The program file's large icon and display name, in one shell call.
bool shellIconAndName(std::u16string_view path, HICON& icon, std::u16string& name) {
    SHFILEINFOW info{};
    const std::wstring p = platform::toWide(path);
    if (SHGetFileInfoW(p.c_str(), 0, &info, sizeof info,
                       SHGFI_ICON | SHGFI_LARGEICON | SHGFI_DISPLAYNAME) == 0 ||
        info.hIcon == nullptr)
        return false;
    icon = info.hIcon;
    name = platform::toU16(info.szDisplayName);
    return true;
}

}  // namespace

ExpressKeyWindow::ExpressKeyWindow(ExpressWindow kind, ExpressServices services)
    : kind_(kind), svc_(std::move(services)) {}

ExpressKeyWindow::~ExpressKeyWindow() { destroy(); }

void ExpressKeyWindow::setTexts() {
    const TIniFile& lang = *svc_.lang;
    const std::u16string caption =
        kind_ == ExpressWindow::Remote
            ? lang.readText(u"Dialog_QuickSet", u"QuickSet.RX20", u"RX20")
            : lang.readText(u"Dialog_QuickSet", u"QuickSet.Caption", u"QuickSet.Caption");
    SetWindowTextW(hwnd(), platform::toWide(caption).c_str());
    setText(IDC_QS_DISABLE_KEYS, lang.readText(u"Dialog_QuickSet", u"QuickSet.DisableQuickKey",
                                               u"QuickSet.DisableQuickKey"));
    setText(IDC_QS_DISABLE_TIPS,
            lang.readText(u"Dialog_QuickSet", u"QuickSet.DisableInfo", u"DisableInfo"));
    setText(IDOK, lang.readText(u"Dialog_Main", u"Main.OK", u"OK"));
    setText(IDCANCEL, lang.readText(u"Dialog_Main", u"Main.Cancel", u"Cannel"));
    setText(IDC_QS_FULL_NOTE, lang.readText(u"Dialog_QuickSet", u"QuickSet.ListFull",
                                            u"All ten program slots are in use."));
    if (kind_ == ExpressWindow::Remote) {
        setText(IDC_QS_EXPORT,
                lang.readText(u"Dialog_Main", u"Main.ExportConfig", u"ExportConfig"));
        setText(IDC_QS_IMPORT,
                lang.readText(u"Dialog_Main", u"Main.ImportConfig", u"ImportConfig"));
    }
}

void ExpressKeyWindow::onInit() {
    dialogs_.chooseProgram = [this]() { return browseForProgram(hwnd(), kProgramFilter); };
    dialogs_.chooseHotKeys = [this](int32_t ring, int32_t pad,
                                    int32_t rings) -> std::optional<HotKeyResult> {
        if (!svc_.chooseHotKeys) return std::nullopt;
        return svc_.chooseHotKeys(hwnd(), ring, pad, rings);
    };
    setTexts();
    createPages();
    fillAppList();
    if (const DeviceRecord* rec = record()) {
        CheckDlgButton(hwnd(), IDC_QS_DISABLE_KEYS,
                       rec->expressKeysDisabled != 0 ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(hwnd(), IDC_QS_DISABLE_TIPS,
                       rec->expressKeyTipsOff != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
}

void ExpressKeyWindow::createPages() {
    pages_.clear();
    keyPage_ = nullptr;
    ringPages_.clear();
    HWND tab = item(IDC_QS_TABS);
    SendMessageW(tab, TCM_DELETEALLITEMS, 0, 0);
    const DeviceRecord* rec = record();
    if (rec == nullptr) return;
    RECT area{};
    GetClientRect(tab, &area);

    const PageContext ctx{svc_.instance, &binding_, svc_.lang, svc_.pictures, &dialogs_};
    for (const ExpressTab& t : expressTabs(*rec, kind_, *svc_.lang)) {
        std::unique_ptr<ExpressPage> page;
        bool created = false;
        switch (t.page) {
            case TabPage::Keys: {
                std::unique_ptr<KeyPageWindow> keys;
                switch (keyPageFor(rec->keyCount, rec->deviceKind, kind_)) {
                    case KeyPage::Keys16:
                        keys = std::make_unique<CDlgTabPageKey_16>(ctx);
                        break;
                    case KeyPage::Keys20:
                        keys = std::make_unique<CDlgTabPageKey_20>(ctx);
                        break;
                    default:
                        keys = std::make_unique<CDlgTabPageKey>(ctx);
                        break;
                }
                created = keys->create(tab, area);
                keyPage_ = keys.get();
                page = std::move(keys);
                break;
            }
            case TabPage::Ring1:
            case TabPage::Ring2: {
                auto ring = std::make_unique<CDlgTabPageWheel>(
                    ctx, t.page == TabPage::Ring1 ? 0 : 1, t.trackPadForm);
                created = ring->create(tab, area);
                ringPages_.push_back(ring.get());
                page = std::move(ring);
                break;
            }
            case TabPage::Lights: {
                auto lights = std::make_unique<CDlgTabPageControl>(ctx);
                created = lights->create(tab, area);
                page = std::move(lights);
                break;
            }
        }
        if (!created) continue;
        const std::wstring text = platform::toWide(t.text);
        TCITEMW ti{};
        ti.mask = TCIF_TEXT;
        ti.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(tab, TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&ti));
        pages_.push_back(std::move(page));
    }
    // Pages sit in the tab control's display area, below the tab row; the row's height follows
    // the font and the dots per inch, so it is measured once the tabs are in.
    TabCtrl_AdjustRect(tab, FALSE, &area);
    for (const auto& page : pages_)
        SetWindowPos(page->hwnd(), nullptr, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The first tab's page shows: the key page when the device has one.
    SendMessageW(tab, TCM_SETCURSEL, 0, 0);
    onTabChange();
}

ExpressPage* ExpressKeyWindow::pageOfTab(int tab) const {
    return tab >= 0 && tab < static_cast<int>(pages_.size())
               ? pages_[static_cast<size_t>(tab)].get()
               : nullptr;
}

void ExpressKeyWindow::onTabChange() {
    const int sel = static_cast<int>(SendMessageW(item(IDC_QS_TABS), TCM_GETCURSEL, 0, 0));
    for (int i = 0; i < static_cast<int>(pages_.size()); ++i)
        ShowWindow(pages_[static_cast<size_t>(i)]->hwnd(), i == sel ? SW_SHOW : SW_HIDE);
}

int ExpressKeyWindow::appendIcon(HICON icon) {
    return images_ ? ImageList_AddIcon(images_.get(), icon) : -1;
}

void ExpressKeyWindow::insertItem(int index, const std::u16string& text, int image) {
    const std::wstring t = platform::toWide(text);
    LVITEMW it{};
    it.mask = LVIF_TEXT | LVIF_IMAGE;
    it.iItem = index;
    it.pszText = const_cast<wchar_t*>(t.c_str());
    it.iImage = image;
    SendMessageW(item(IDC_QS_APP_LIST), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

void ExpressKeyWindow::selectItem(int index) {
    HWND list = item(IDC_QS_APP_LIST);
    selecting_ = true;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    selecting_ = false;
}

void ExpressKeyWindow::fillAppList() {
    HWND list = item(IDC_QS_APP_LIST);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    // A fresh image list at every opening: the same programs get the same icons, and reopening
    // the window does not grow it.
    const int iconSize = platform::scalePx(kIconSize, hwnd());
    images_.reset(ImageList_Create(iconSize, iconSize, ILC_COLOR32 | ILC_MASK, 4, 4));
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.get()));
    list_.reset();
    DeviceRecord* rec = record();
    if (rec == nullptr) return;

    int othersImage = -1;
    if (HICON others = static_cast<HICON>(LoadImageW(svc_.instance, MAKEINTRESOURCEW(IDI_OTHERS),
                                                     IMAGE_ICON, iconSize, iconSize, 0))) {
        othersImage = appendIcon(others);
        DestroyIcon(others);
    }
    std::vector<int> images;
    list_ = std::make_unique<AppList>(*rec);
    list_->open(svc_.lang->readText(u"Dialog_UserSet", u"UserSet.Other", u"Others"),
                [&](std::u16string_view path) {
                    HICON icon = nullptr;
                    std::u16string name;
                    if (!shellIconAndName(path, icon, name)) return false;
                    images.push_back(appendIcon(icon));
                    DestroyIcon(icon);
                    return true;
                });
    const auto& items = list_->items();
    for (size_t i = 0; i < items.size(); ++i)
        insertItem(static_cast<int>(i), items[i], i == 0 ? othersImage : images[i - 1]);
    selectItem(0);
    enable(IDC_QS_REMOVE, false);
    updateAddButton();
}

void ExpressKeyWindow::updateAddButton() {
    const bool canAdd = list_ && list_->plusEnabled() && list_->hasFreeEntry();
    enable(IDC_QS_ADD, canAdd);
    // Says why "+" is off instead of listing a program whose edits would have nowhere to go.
    show(IDC_QS_FULL_NOTE, list_ && !canAdd);
}

void ExpressKeyWindow::reloadPages(int entry) {
    if (keyPage_ != nullptr) keyPage_->loadForEntry(entry);
    for (CDlgTabPageWheel* ring : ringPages_) ring->loadForEntry(entry);
}

void ExpressKeyWindow::loadSelectedEntry() {
    reloadPages(list_->selectedEntry());
    enable(IDC_QS_REMOVE, list_->minusEnabled());
}

void ExpressKeyWindow::onListClick() {
    if (!list_) return;
    const int sel = static_cast<int>(SendMessageW(item(IDC_QS_APP_LIST), LVM_GETNEXTITEM,
                                                  static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (!list_->click(sel)) {
        // A click on empty space: the previous application stays selected.
        selectItem(list_->selected());
        return;
    }
    loadSelectedEntry();
}

void ExpressKeyWindow::onItemSelected(int index) {
    // The selection moved by keyboard (arrows, Home, End, type-ahead) or by a click: the pages
    // follow it. Moves the window makes itself have already loaded what they select.
    if (!list_ || selecting_ || index == list_->selected()) return;
    if (list_->click(index)) loadSelectedEntry();
}

void ExpressKeyWindow::onAdd() {
    if (!list_) return;
    std::optional<std::u16string> path;
    if (svc_.chooseApplication) {
        path = svc_.chooseApplication(hwnd());
    } else {
        CDlgSelectProgram select(*svc_.lang);
        if (select.runModal(svc_.instance, IDD_SELECT_PROGRAM, hwnd()) == IDOK)
            path = select.selectedPath();
    }
    // The device may have left or been replaced while the selection dialog was open.
    if (!path || path->empty() || record() == nullptr) return;
    HICON icon = nullptr;
    std::u16string displayName;
    if (!shellIconAndName(*path, icon, displayName)) return;
    if (list_->add(*path, displayName) == AppList::AddResult::Added) {
        const int index = static_cast<int>(list_->items().size()) - 1;
        insertItem(index, list_->items().back(), appendIcon(icon));
        selectItem(index);
        enable(IDC_QS_REMOVE, true);
        reloadPages(list_->selectedEntry());
    }
    DestroyIcon(icon);
    updateAddButton();
}

void ExpressKeyWindow::onRemove() {
    if (!list_ || record() == nullptr) return;
    const int sel = static_cast<int>(SendMessageW(item(IDC_QS_APP_LIST), LVM_GETNEXTITEM,
                                                  static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (!list_->remove(sel)) return;
    SendMessageW(item(IDC_QS_APP_LIST), LVM_DELETEITEM, static_cast<WPARAM>(sel), 0);
    selectItem(0);
    enable(IDC_QS_REMOVE, false);
    updateAddButton();
    reloadPages(0);
}

bool ExpressKeyWindow::handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            onInit();
            result = TRUE;
            return true;
        case WM_NOTIFY: {
            const auto& hdr = *reinterpret_cast<const NMHDR*>(l);
            if (hdr.idFrom == IDC_QS_APP_LIST &&
                (hdr.code == NM_CLICK || hdr.code == NM_DBLCLK || hdr.code == NM_RCLICK ||
                 hdr.code == NM_RDBLCLK)) {
                onListClick();
                return true;
            }
            if (hdr.idFrom == IDC_QS_APP_LIST && hdr.code == LVN_ITEMCHANGED) {
                const auto& change = *reinterpret_cast<const NMLISTVIEW*>(l);
                if ((change.uChanged & LVIF_STATE) != 0 &&
                    (change.uNewState & LVIS_SELECTED) != 0 &&
                    (change.uOldState & LVIS_SELECTED) == 0)
                    onItemSelected(change.iItem);
                return true;
            }
            if (hdr.idFrom == IDC_QS_TABS && hdr.code == TCN_SELCHANGE) {
                onTabChange();
                return true;
            }
            return false;
        }
        case WM_COMMAND: {
            const int id = LOWORD(w);
            if (HIWORD(w) != BN_CLICKED) return false;
            switch (id) {
                case IDC_QS_ADD:
                    onAdd();
                    return true;
                case IDC_QS_REMOVE:
                    onRemove();
                    return true;
                case IDC_QS_DISABLE_KEYS:
                    if (DeviceRecord* rec = record())
                        rec->expressKeysDisabled =
                            IsDlgButtonChecked(hwnd(), id) == BST_CHECKED ? 1 : 0;
                    return true;
                case IDC_QS_DISABLE_TIPS:
                    if (DeviceRecord* rec = record())
                        rec->expressKeyTipsOff =
                            IsDlgButtonChecked(hwnd(), id) == BST_CHECKED ? 1 : 0;
                    return true;
                default:
                    return onButton(id);
            }
        }
        case WM_NCDESTROY:
            // The page windows have gone with this one by now, each through its own end; the
            // objects go last. Destroying them here at WM_DESTROY would destroy child windows
            // whose parent is half-way gone, and Wine then never ends them properly: each page
            // kept its dialog font and its place in the message loop.
            pages_.clear();
            keyPage_ = nullptr;
            ringPages_.clear();
            list_.reset();
            return false;
        default:
            return false;
    }
}

INT_PTR CDlgShortcutKey::open(HWND owner, DeviceBinding binding) {
    setDevice(std::move(binding));
    return runModal(svc_.instance, IDD_SHORTCUT_KEY, owner);
}

void CDlgShortcutKey::close(INT_PTR code) {
    if (hwnd() == nullptr) return;
    platform::message_loop::endModalsOwnedBy(hwnd(), code);
    endDialog(code);
}

HWND CDlgRX20::create(HWND owner, DeviceBinding binding) {
    owner_ = owner;
    setDevice(std::move(binding));
    HWND h = createModeless(svc_.instance, IDD_REMOTE, owner);
    if (h != nullptr) {
        HICON icon = LoadIconW(svc_.instance, MAKEINTRESOURCEW(IDI_REMOTE));
        SendMessageW(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    return h;
}

bool CDlgRX20::onButton(int id) {
    switch (id) {
        case IDOK:
            if (owner_ != nullptr) SendMessageW(owner_, WM_PANEL_SAVEALL, 0, 0);
            ShowWindow(hwnd(), SW_HIDE);
            return true;
        case IDCANCEL:
            ShowWindow(hwnd(), SW_HIDE);
            return true;
        case IDC_QS_EXPORT:
            if (owner_ != nullptr)
                SendMessageW(owner_, WM_PANEL_IMPORTEXPORT, kImportExportExport, 0);
            return true;
        case IDC_QS_IMPORT:
            if (owner_ != nullptr)
                SendMessageW(owner_, WM_PANEL_IMPORTEXPORT, kImportExportImport, 0);
            return true;
        default:
            return false;
    }
}

}  // namespace scribo::win
