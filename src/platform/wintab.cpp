#include "platform/wintab.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/library_search.h"

namespace platform {

namespace {

using namespace wintab;

// Looked up in this order; every one must be present.
constexpr const char* kFunctions[] = {"WTOpenA",  "WTInfoA",        "WTGetA",     "WTSetA",
                                      "WTPacket", "WTClose",        "WTEnable",   "WTOverlap",
                                      "WTSave",   "WTConfig",       "WTRestore",  "WTExtSet",
                                      "WTExtGet", "WTQueueSizeSet", "WTDataPeek", "WTPacketsGet"};
enum FunctionIndex { kOpen = 0, kInfo = 1, kPacket = 4, kClose = 5, kFunctionCount = 16 };
static_assert(sizeof(kFunctions) / sizeof(kFunctions[0]) == kFunctionCount, "function table");

constexpr char kContextName[] = "ScriboPress";
constexpr LONG kOutputExtentX = 50000;
constexpr LONG kOutputExtentY = 30000;
// A packet buffer larger than any packet layout, in case a library writes more than asked for.
constexpr size_t kPacketBuffer = 256;

template <typename Fn>
Fn as(FARPROC p) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(p));
}

// Asks WTInfoA for one record into a buffer of the size the library says it writes, so a library
// with a larger record never writes past `out`. False when it has no answer or a shorter one.
template <typename T>
bool infoRecord(WTInfoAFn info, UINT category, UINT index, T& out) {
    const UINT size = info(category, index, nullptr);
    if (size < sizeof(T) || size > 65536) return false;
    std::vector<unsigned char> buffer(size);
    if (info(category, index, buffer.data()) < sizeof(T)) return false;
    std::memcpy(&out, buffer.data(), sizeof(T));
    return true;
}

}  // namespace

WintabLibrary::WintabLibrary(std::wstring library) : libraryName_(std::move(library)) {}

WintabLibrary::~WintabLibrary() { close(); }

bool WintabLibrary::load() {
    module_.reset(loadInstalledLibrary(libraryName_));
    if (!module_) {
        wchar_t line[64];
        std::swprintf(line, 64, L"LoadLibrary error: %i\n", static_cast<int>(GetLastError()));
        OutputDebugStringW(line);
        return false;
    }
    FARPROC found[kFunctionCount] = {};
    for (int i = 0; i < kFunctionCount; ++i) {
        found[i] = GetProcAddress(module_.get(), kFunctions[i]);
        if (found[i] == nullptr) {
            unload();
            return false;
        }
    }
    open_ = as<WTOpenAFn>(found[kOpen]);
    info_ = as<WTInfoAFn>(found[kInfo]);
    packet_ = as<WTPacketFn>(found[kPacket]);
    close_ = as<WTCloseFn>(found[kClose]);
    return true;
}

void WintabLibrary::unload() {
    const bool loaded = static_cast<bool>(module_);
    open_ = nullptr;
    info_ = nullptr;
    packet_ = nullptr;
    close_ = nullptr;
    module_.reset();
    if (loaded) OutputDebugStringW(L"UnloadWintab()\n");
}

bool WintabLibrary::openPressureContext(HWND window) {
    close();
    if (!load()) return false;

    LOGCONTEXTA lc{};
    if (!infoRecord(info_, WTI_DEFSYSCTX, 0, lc)) {
        unload();
        return false;
    }
    std::memset(lc.lcName, 0, sizeof lc.lcName);
    std::memcpy(lc.lcName, kContextName, sizeof kContextName);
    lc.lcOptions |= CXO_MESSAGES;
    lc.lcPktData = kPressurePacketData;
    lc.lcPktMode = 0;
    lc.lcMoveMask = kPressurePacketData;
    lc.lcBtnUpMask = lc.lcBtnDnMask;
    lc.lcOutOrgX = 0;
    lc.lcOutOrgY = 0;
    lc.lcOutExtX = kOutputExtentX;
    lc.lcOutExtY = kOutputExtentY;

    AXIS pressure{};
    maxPressure_ = infoRecord(info_, WTI_DEVICES, DVC_NPRESSURE, pressure) && pressure.axMax > 0
                       ? static_cast<uint32_t>(pressure.axMax)
                       : 0;
    context_ = open_(window, &lc, TRUE);
    if (context_ == nullptr) {
        maxPressure_ = 0;
        unload();
        return false;
    }
    packetMessage_ = lc.lcMsgBase + WT_PACKET_OFFSET;
    return true;
}

bool WintabLibrary::fetchPacket(UINT serial, PressurePacket& out) {
    if (context_ == nullptr || packet_ == nullptr) return false;
    alignas(8) unsigned char buffer[kPacketBuffer] = {};
    if (!packet_(context_, serial, buffer)) return false;
    std::memcpy(&out, buffer, sizeof out);
    return true;
}

void WintabLibrary::close() {
    if (context_ != nullptr && close_ != nullptr) close_(context_);
    context_ = nullptr;
    maxPressure_ = 0;
    packetMessage_ = 0;
    unload();
}

}  // namespace platform
