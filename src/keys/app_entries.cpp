#include "keys/app_entries.h"

#include <cstring>

#include "config/block_access.h"
#include "config/service_protocol.h"

namespace scribo {

KeyPage keyPageFor(int32_t keyCount, int32_t deviceKind, ExpressWindow window) {
    if (window == ExpressWindow::Remote) return KeyPage::Keys10;
    const bool penDisplay = deviceKind == kDeviceKindPenDisplay;
    if (keyCount == 16 && (deviceKind == kDeviceKindTablet || penDisplay)) return KeyPage::Keys16;
    if (keyCount == 20 && penDisplay) return KeyPage::Keys20;
    if (penDisplay && keyCount >= 16) return KeyPage::None;
    return KeyPage::Keys10;
}

std::vector<ExpressTab> expressTabs(const DeviceRecord& rec, ExpressWindow window,
                                    const TIniFile& lang) {
    const std::u16string_view section = u"Dialog_QuickSet";
    const bool full = window == ExpressWindow::ShortcutKey;
    std::vector<ExpressTab> tabs;
    if (keyPageFor(rec.keyCount, rec.deviceKind, window) != KeyPage::None)
        tabs.push_back({TabPage::Keys, lang.readText(section, u"QuickSet.Keys", u"Keys")});
    if (rec.hasRing != 0) {
        const std::u16string ring = lang.readText(section, u"QuickSet.Ring", u"Ring");
        tabs.push_back({TabPage::Ring1, ring});
        if (full && rec.ringCount == 2) {
            const bool pad = rec.hasTrackPad != 0;
            tabs.push_back({TabPage::Ring2, pad ? u"TrackPad" : ring + u"2", pad});
        }
    }
    if (full && rec.hasLights != 0)
        tabs.push_back({TabPage::Lights, lang.readText(section, u"QuickSet.Control", u"Control")});
    return tabs;
}

int entryIndexForName(const DeviceRecord& rec, std::u16string_view name) {
    if (name.empty()) return 0;
    for (int i = 0; i < kAppEntryCount; ++i)
        if (readField(rec.apps[i].appName) == name) return i;
    return 0;
}

std::u16string appNameFromDisplayName(std::u16string_view displayName) {
    const std::size_t dot = displayName.find(u'.');
    if (dot != std::u16string_view::npos && dot != 0) displayName = displayName.substr(0, dot);
    return std::u16string(displayName);
}

void AppList::open(std::u16string othersText,
                   const std::function<bool(std::u16string_view)>& listIcon) {
    copies_.clear();
    items_.assign(1, std::move(othersText));
    entries_.assign(1, 0);
    selected_ = 0;
    minusEnabled_ = false;
    for (int i = 1; i < kAppEntryCount; ++i) {
        const AppEntry& e = rec_.apps[i];
        if (e.inUse == 0) continue;
        copies_.push_back(std::make_unique<AppEntry>(e));
        if (listIcon && listIcon(readField(e.appPath))) {
            items_.push_back(readField(e.appName));
            entries_.push_back(i);
        }
    }
}

std::optional<std::u16string> AppList::click(int item) {
    if (item < 0 || item >= static_cast<int>(items_.size())) return std::nullopt;
    selected_ = item;
    minusEnabled_ = item > 0;
    return selectedName();
}

std::u16string AppList::selectedName() const {
    // "Others" is entry 0 whatever its list text says, so a program that happens to be named
    // like that text is never loaded in its place.
    return selected_ > 0 ? items_[selected_] : std::u16string();
}

int AppList::selectedEntry() const {
    return selected_ >= 0 && selected_ < static_cast<int>(entries_.size()) ? entries_[selected_]
                                                                           : 0;
}

bool AppList::hasFreeEntry() const {
    for (int i = 1; i < kAppEntryCount; ++i)
        if (rec_.apps[i].inUse == 0) return true;
    return false;
}

AppList::AddResult AppList::add(std::u16string_view path, std::u16string_view displayName) {
    if (!plusEnabled()) return AddResult::ListFull;
    for (const auto& c : copies_)
        if (readField(c->appPath) == path) return AddResult::Duplicate;
    if (path.size() >= static_cast<std::size_t>(kAppTextUnits)) return AddResult::PathTooLong;
    int freeEntry = -1;
    for (int i = 1; i < kAppEntryCount && freeEntry < 0; ++i)
        if (rec_.apps[i].inUse == 0) freeEntry = i;
    // Listing a program without an entry of its own would send its page edits to "Others".
    if (freeEntry < 0) return AddResult::NoFreeEntry;

    auto entry = std::make_unique<AppEntry>(rec_.apps[0]);
    entry->inUse = 1;
    storeField(entry->appPath, path);
    std::u16string name = appNameFromDisplayName(displayName);
    if (name.size() >= static_cast<std::size_t>(kAppTextUnits)) name.resize(kAppTextUnits - 1);
    storeField(entry->appName, name);

    std::memcpy(&rec_.apps[freeEntry], entry.get(), sizeof(AppEntry));
    copies_.push_back(std::move(entry));
    items_.push_back(name);
    entries_.push_back(freeEntry);
    selected_ = static_cast<int>(items_.size()) - 1;
    minusEnabled_ = true;
    return AddResult::Added;
}

bool AppList::remove(int item) {
    if (item <= 0 || item >= static_cast<int>(items_.size())) return false;
    // The item's own entry: two programs may well carry the same display name.
    const int entry = entries_[item];
    const std::u16string path = readField(rec_.apps[entry].appPath);
    for (auto it = copies_.begin(); it != copies_.end(); ++it) {
        if (readField((*it)->appPath) == path) {
            copies_.erase(it);
            break;
        }
    }
    items_.erase(items_.begin() + item);
    entries_.erase(entries_.begin() + item);
    std::memset(&rec_.apps[entry], 0, sizeof(AppEntry));
    selected_ = 0;
    minusEnabled_ = false;
    return true;
}

}  // namespace scribo
