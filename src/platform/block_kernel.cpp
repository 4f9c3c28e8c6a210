#include "platform/block_kernel.h"

#include "config/service_protocol.h"
#include "platform/wide.h"

namespace platform {

bool Win32BlockKernel::openMapping() {
    mapping_.reset(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, wz(scribo::kBlockMappingName)));
    return static_cast<bool>(mapping_);
}

void* Win32BlockKernel::mapWholeView() {
    void* view = MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0);
    size_ = 0;
    if (view != nullptr) {
        MEMORY_BASIC_INFORMATION info{};
        if (VirtualQuery(view, &info, sizeof info) != 0) size_ = info.RegionSize;
    }
    return view;
}

std::size_t Win32BlockKernel::viewSize() { return size_; }

void Win32BlockKernel::closeMapping() { mapping_.reset(); }

bool Win32BlockKernel::openMutex() {
    mutex_.reset(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, wz(scribo::kBlockMutexName)));
    return static_cast<bool>(mutex_);
}

void Win32BlockKernel::unmapView(void* view) { UnmapViewOfFile(view); }

bool Win32BlockLock::lockBlock() {
    if (mutex_ == nullptr) return false;
    const DWORD r = WaitForSingleObject(mutex_, scribo::kBlockLockTimeoutMs);
    return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

void Win32BlockLock::unlockBlock() {
    if (mutex_ != nullptr) ReleaseMutex(mutex_);
}

}  // namespace platform
