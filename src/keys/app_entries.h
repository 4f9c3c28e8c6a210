// The express-key settings window as a model: which tab pages a device gets, and the list of
// applications with their own settings (adding a program as a copy of "Others", removing it,
// finding an entry by name). Works on the real DeviceRecord; the window supplies the shell's
// icons and display names and shows what the model says. Portable.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/language.h"
#include "config/shared_block.h"

namespace scribo {

// ---- tab set ------------------------------------------------------------------------------------

enum class KeyPage { None, Keys10, Keys16, Keys20 };
enum class TabPage { Keys, Ring1, Ring2, Lights };
enum class ExpressWindow { ShortcutKey, Remote };  // CDlgShortcutKey / CDlgRX20

KeyPage keyPageFor(int32_t keyCount, int32_t deviceKind, ExpressWindow window);

struct ExpressTab {
    TabPage page;
    std::u16string text;
    bool trackPadForm = false;  // second ring page of a device with a trackpad
};

// Tabs in display order, texts from Dialog_QuickSet.
std::vector<ExpressTab> expressTabs(const DeviceRecord& rec, ExpressWindow window,
                                    const TIniFile& lang);

// ---- application entries ------------------------------------------------------------------------

// Entry 0..10 whose appName equals `name` exactly; 0 for the empty name or no match.
int entryIndexForName(const DeviceRecord& rec, std::u16string_view name);

// A shell display name cut before its first "." unless that "." is the first character.
std::u16string appNameFromDisplayName(std::u16string_view displayName);

// The application list: item 0 is "Others" (entry 0), then one item per listed program.
class AppList {
public:
    static constexpr std::size_t kMaxItems = kAppEntryCount;  // "Others" + 10 programs

    explicit AppList(DeviceRecord& rec) : rec_(rec) {}

    // Opening: entries 1..10 in use are copied; each is listed only when `listIcon` (the window
    // fetching and appending the program's icon) succeeds for its appPath.
    void open(std::u16string othersText,
              const std::function<bool(std::u16string_view appPath)>& listIcon);

    // A click on item `item`, or -1 for empty space (which keeps the previous selection and
    // returns nullopt). Otherwise returns the application name the pages load: "" for "Others".
    std::optional<std::u16string> click(int item);

    enum class AddResult {
        Added,
        Duplicate,    // an owned copy already has this path
        ListFull,     // 11 items listed
        NoFreeEntry,  // every entry 1..10 is in use (a listed program's file vanished)
        PathTooLong,  // the path does not fit appPath
    };
    // A program chosen in the selection dialog with the shell's display name. On Added the new
    // item is selected; the pages load selectedName().
    AddResult add(std::u16string_view path, std::u16string_view displayName);

    // "-": removes item `item` (> 0), zero-fills its entry, selects "Others". False when nothing
    // was removed.
    bool remove(int item);

    const std::vector<std::u16string>& items() const { return items_; }
    int selected() const { return selected_; }
    std::u16string selectedName() const;
    // The application entry (0..10) of the selected item: the one the pages load and edit.
    int selectedEntry() const;
    bool plusEnabled() const { return items_.size() <= kMaxItems - 1; }
    // Whether an entry 1..10 is still free for a new program (all can be in use while fewer
    // programs are listed, when a listed program's file has gone).
    bool hasFreeEntry() const;
    bool minusEnabled() const { return minusEnabled_; }
    std::size_t ownedCopies() const { return copies_.size(); }

private:
    DeviceRecord& rec_;
    std::vector<std::unique_ptr<AppEntry>> copies_;
    std::vector<std::u16string> items_;
    std::vector<int> entries_;  // the entry of each item; "Others" is entry 0
    int selected_ = 0;
    bool minusEnabled_ = false;
};

}  // namespace scribo
