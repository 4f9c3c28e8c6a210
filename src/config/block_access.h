// Access to the shared block: record look-up, safe text fields, bounded indices, the block lock
// and the attach algorithm. Portable: the kernel objects are reached through BlockKernel.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "config/shared_block.h"

namespace scribo {

// ---- texts in fixed arrays -------------------------------------------------------------------

// Reads a NUL-terminated text from a fixed array; never reads past `width` units, so a text the
// other process left unterminated is cut at the array's end.
std::u16string readField(const char16_t* field, std::size_t width);

template <std::size_t N>
std::u16string readField(const char16_t (&field)[N]) {
    return readField(field, N);
}

// Stores `text` with its NUL when it fits (at most width - 1 units) and returns true; otherwise
// leaves the field untouched and returns false. Units after the NUL are cleared so no stale tail
// of a longer earlier text survives in the block or in a saved file.
bool storeField(char16_t* field, std::size_t width, std::u16string_view text);

template <std::size_t N>
bool storeField(char16_t (&field)[N], std::u16string_view text) {
    return storeField(field, N, text);
}

// Case-insensitive comparison of ASCII letters, as device ids are compared.
bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b);

// "PID_%04X" of a USB product id.
std::u16string deviceIdFromProductId(unsigned productId);

// ---- bounded reads of indices the service maintains --------------------------------------------

int boundedKeyCount(const DeviceRecord& rec);       // 0..20
int boundedMonitorCount(const SharedBlock& block);  // 0..9
bool isValidRotation(int rotation);                 // 0..3
bool isValidMonitorIndex(int index);                // 0..9
bool isValidTrackPadId(int id);                     // 1..3

// ---- slots and records --------------------------------------------------------------------------

DeviceRecord* recordAt(SharedBlock& block, int slot);  // nullptr outside 0..4
AppEntry* entryAt(DeviceRecord& rec, int entry);       // nullptr outside 0..10

// First slot 0..4 whose deviceId equals `id` ignoring case; `connected` is not consulted.
DeviceRecord* lookupRecord(SharedBlock& block, std::u16string_view id);
// As lookupRecord, but slot 0 when nothing matches.
int lookupSlot(const SharedBlock& block, std::u16string_view id);

// ---- the block lock ----------------------------------------------------------------------------

class BlockLock {
public:
    virtual ~BlockLock() = default;
    // Waits at most 3,000 ms. True when the mutex is held (an abandoned mutex counts as held).
    virtual bool lockBlock() = 0;
    virtual void unlockBlock() = 0;
};

inline constexpr unsigned kBlockLockTimeoutMs = 3000;

// Runs `write` as one grouped write under the block lock. When the wait times out the write is
// still made and nothing is released: a service that holds the mutex for seconds is hung, and
// dropping the edit would leave the window showing a value the block (and the next save) lacks.
// Returns whether the lock was held.
bool writeLocked(BlockLock& lock, const std::function<void()>& write);

// Applies `write` to every slot whose `connected` is non-zero, in slot order, each slot under
// its own lock (system-wide settings such as precision mode).
void writeToConnectedSlots(SharedBlock& block, BlockLock& lock,
                           const std::function<void(DeviceRecord&)>& write);

// ---- attaching ---------------------------------------------------------------------------------

// The kernel calls attach needs; the Windows layer implements it, tests fake it.
class BlockKernel {
public:
    virtual ~BlockKernel() = default;
    virtual bool openMapping() = 0;      // open "Local\QXSCRIBOMAPDATA"
    virtual void* mapWholeView() = 0;    // nullptr on failure
    virtual std::size_t viewSize() = 0;  // bytes of the mapped view
    virtual void closeMapping() = 0;
    virtual bool openMutex() = 0;  // open "Local\QXSCRIBOMAPDATAMUTEX"
    virtual void unmapView(void* view) = 0;
};

enum class AttachResult {
    Attached,      // view and mutex are usable
    NotReady,      // the mutex could not be opened, or the view could not be mapped
    MissingBlock,  // mutex opened but there is no (large enough) block
};

class BlockAttachment {
public:
    explicit BlockAttachment(BlockKernel& kernel) : kernel_(kernel) {}
    ~BlockAttachment() { detach(); }
    BlockAttachment(const BlockAttachment&) = delete;
    BlockAttachment& operator=(const BlockAttachment&) = delete;

    AttachResult attach();
    void detach();
    SharedBlock* block() const { return block_; }

private:
    BlockKernel& kernel_;
    void* view_ = nullptr;
    SharedBlock* block_ = nullptr;
};

}  // namespace scribo
