#include "config/block_access.h"

#include <algorithm>
#include <cstdio>

namespace scribo {

std::u16string readField(const char16_t* field, std::size_t width) {
    std::size_t n = 0;
    while (n < width && field[n] != u'\0') ++n;
    return std::u16string(field, n);
}

bool storeField(char16_t* field, std::size_t width, std::u16string_view text) {
    if (width == 0 || text.size() >= width) return false;
    std::copy(text.begin(), text.end(), field);
    std::fill(field + text.size(), field + width, u'\0');
    return true;
}

static char16_t foldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

std::u16string deviceIdFromProductId(unsigned productId) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "PID_%04X", productId & 0xFFFFu);
    return std::u16string(buf, buf + std::char_traits<char>::length(buf));
}

int boundedKeyCount(const DeviceRecord& rec) { return std::clamp(rec.keyCount, 0, kMaxKeys); }

int boundedMonitorCount(const SharedBlock& block) {
    return std::clamp(block.monitorCount, 0, kMaxMonitorCount);
}

bool isValidRotation(int rotation) { return rotation >= 0 && rotation < kRotationCount; }
bool isValidMonitorIndex(int index) { return index >= 0 && index < kMonitorRectCount; }
bool isValidTrackPadId(int id) { return id >= 1 && id <= 3; }

DeviceRecord* recordAt(SharedBlock& block, int slot) {
    return (slot >= 0 && slot < kSlotCount) ? &block.devices[slot] : nullptr;
}

AppEntry* entryAt(DeviceRecord& rec, int entry) {
    return (entry >= 0 && entry < kAppEntryCount) ? &rec.apps[entry] : nullptr;
}

static int findSlot(const SharedBlock& block, std::u16string_view id) {
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (equalsIgnoringCase(readField(block.devices[slot].deviceId), id)) return slot;
    return -1;
}

DeviceRecord* lookupRecord(SharedBlock& block, std::u16string_view id) {
    const int slot = findSlot(block, id);
    return slot < 0 ? nullptr : &block.devices[slot];
}

int lookupSlot(const SharedBlock& block, std::u16string_view id) {
    return std::max(findSlot(block, id), 0);
}

bool writeLocked(BlockLock& lock, const std::function<void()>& write) {
    const bool held = lock.lockBlock();
    write();
    if (held) lock.unlockBlock();
    return held;
}

void writeToConnectedSlots(SharedBlock& block, BlockLock& lock,
                           const std::function<void(DeviceRecord&)>& write) {
    for (DeviceRecord& rec : block.devices)
        if (rec.connected != 0) writeLocked(lock, [&] { write(rec); });
}

AttachResult BlockAttachment::attach() {
    detach();
    if (kernel_.openMapping()) {
        void* view = kernel_.mapWholeView();
        if (view == nullptr) {
            kernel_.closeMapping();
            return AttachResult::NotReady;
        }
        view_ = view;
        // A mapping smaller than the layout would let every later read run off its end.
        if (kernel_.viewSize() >= kSharedBlockSize) block_ = static_cast<SharedBlock*>(view);
    }
    if (!kernel_.openMutex()) return AttachResult::NotReady;
    return block_ != nullptr ? AttachResult::Attached : AttachResult::MissingBlock;
}

void BlockAttachment::detach() {
    if (view_ != nullptr) kernel_.unmapView(view_);
    view_ = nullptr;
    block_ = nullptr;
}

}  // namespace scribo
