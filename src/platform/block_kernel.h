// The shared block's kernel objects on Windows: attach (mapping, view, mutex) and the lock.
#pragma once

#include "config/block_access.h"
#include "platform/handles.h"

namespace platform {

class Win32BlockKernel : public scribo::BlockKernel {
public:
    bool openMapping() override;
    void* mapWholeView() override;
    std::size_t viewSize() override;
    void closeMapping() override;
    bool openMutex() override;
    void unmapView(void* view) override;

    HANDLE mutex() const { return mutex_.get(); }

private:
    UniqueHandle mapping_;
    UniqueHandle mutex_;
    std::size_t size_ = 0;
};

// Waits at most 3,000 ms; an abandoned mutex (the service ended while holding it) counts as held.
class Win32BlockLock : public scribo::BlockLock {
public:
    explicit Win32BlockLock(HANDLE mutex) : mutex_(mutex) {}
    bool lockBlock() override;
    void unlockBlock() override;

private:
    HANDLE mutex_;
};

// Attachment, kernel objects and lock in one owner, as the main window holds them.
class SharedBlockLink {
public:
    SharedBlockLink() : attachment_(kernel_), lock_(nullptr) {}
    scribo::AttachResult attach() {
        const auto r = attachment_.attach();
        lock_ = Win32BlockLock(kernel_.mutex());
        return r;
    }
    void detach() { attachment_.detach(); }
    scribo::SharedBlock* block() const { return attachment_.block(); }
    scribo::BlockLock& lock() { return lock_; }

private:
    Win32BlockKernel kernel_;
    scribo::BlockAttachment attachment_;
    Win32BlockLock lock_;
};

}  // namespace platform
