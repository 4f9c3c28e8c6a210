// WinTab32.dll stand-in: a development and test double of the tablet interface library. It is
// never shipped: a WinTab32.dll beside the panel would replace the tablet driver's. It lives in
// build/<preset>/standins/; demo and test layouts copy it next to the panel and run Wine with
// WINEDLLOVERRIDES="wintab32=n,b" (Wine prefers its built-in wintab32 otherwise).
//
// What it does:
//   WTInfoA   WTI_DEFSYSCTX / WTI_DEFCONTEXT index 0: a default ANSI logical context, message base
//             0x7FF0; WTI_DEVICES DVC_NPRESSURE: the pressure axis 0..SCRIBO_WINTAB_MAX (8191);
//             DVC_X / DVC_Y, DVC_NAME, WTI_INTERFACE IFC_WINTABID / IFC_SPECVERSION / IFC_NDEVICES.
//   WTOpenA   records the context (window, options, packet data) and counts it; with CXO_MESSAGES
//             a worker thread posts WT_PACKET (message base + 0; wParam = serial, lParam = context)
//             to the window, at SCRIBO_WINTAB_RATE packets/s, pressures from the script.
//             The window also gets WT_CTXOPEN on opening and WT_CTXCLOSE on closing, and
//             WT_PROXIMITY (entering) before the first packet after a pause, (leaving) when the
//             packets stop.
//   WTPacket  copies the queued packet with that serial and drops it and every older one; FALSE
//             when it is no longer queued or the handle is not open. The queue holds 8 packets
//             (WTQueueSizeSet: up to 64); a packet that comes to a full queue pushes out the
//             oldest, and the next packet's status carries TPS_QUEUE_ERR.
//   WTClose   stops the worker, forgets the context. The worker holds a reference to the library:
//             a context that is never closed keeps the library loaded and its packets coming.
//   Others    WTGetA/WTSetA/WTEnable/WTOverlap/WTPacketsGet/WTQueueSizeSet work on the context;
//             WTSave/WTConfig/WTRestore/WTExtSet/WTExtGet/WTDataPeek answer "not supported".
//
// Environment (read at WTOpenA; SCRIBO_WINTAB_MAX also at WTInfoA):
//   SCRIBO_WINTAB_RATE     packets per second, default 200
//   SCRIBO_WINTAB_MAX      maximum normal pressure, default 8191
//   SCRIBO_WINTAB_SCRIPT   "stroke" (default) | "fixed:<n>" | "off"
//   SCRIBO_WINTAB_STROKE   packets per stroke, default 200
//   SCRIBO_WINTAB_LOG      file to which opens, closes and commands are appended
// Run-time control from a test: the named memory block of wintab_sim_control.h (open contexts,
// opens, closes, packets posted; commands "stroke", "fixed:<n>", "off").
#include <cstring>

#include "sim_state.h"

using namespace wintab;
using namespace wintabsim;

namespace wintabsim {

SRWLOCK g_lock = SRWLOCK_INIT;
Context g_contexts[kMaxContexts];
HMODULE g_module = nullptr;

namespace {

LONG g_generation = 0;

class Exclusive {
public:
    Exclusive() { AcquireSRWLockExclusive(&g_lock); }
    ~Exclusive() { ReleaseSRWLockExclusive(&g_lock); }
    Exclusive(const Exclusive&) = delete;
    Exclusive& operator=(const Exclusive&) = delete;
};

LOGCONTEXTA defaultContext() {
    LOGCONTEXTA lc{};
    std::strncpy(lc.lcName, "Scribo stand-in system context", LCNAMELEN - 1);
    lc.lcOptions = CXO_SYSTEM;
    lc.lcMsgBase = WT_DEFBASE;
    lc.lcPktRate = 200;
    lc.lcPktData = PK_CONTEXT | PK_STATUS | PK_TIME | PK_SERIAL_NUMBER | PK_CURSOR | PK_BUTTONS |
                   PK_X | PK_Y | PK_NORMAL_PRESSURE;
    lc.lcMoveMask = lc.lcPktData;
    lc.lcBtnDnMask = lc.lcBtnUpMask = 0xFFFFFFFFu;
    lc.lcInExtX = lc.lcOutExtX = 50800;
    lc.lcInExtY = lc.lcOutExtY = 31750;
    lc.lcSensX = lc.lcSensY = lc.lcSensZ = 0x10000;
    lc.lcSysMode = FALSE;
    lc.lcSysExtX = 1920;
    lc.lcSysExtY = 1080;
    lc.lcSysSensX = lc.lcSysSensY = 0x10000;
    return lc;
}

UINT answer(const void* data, UINT size, void* out) {
    if (out != nullptr) std::memcpy(out, data, size);
    return size;
}

UINT answerText(const char* text, void* out) {
    return answer(text, static_cast<UINT>(std::strlen(text) + 1), out);
}

UINT answerAxis(LONG max, void* out) {
    const AXIS axis{0, max, 0, 0};
    return answer(&axis, sizeof axis, out);
}

}  // namespace

Context* findContext(HCTX h) {
    const uintptr_t v = reinterpret_cast<uintptr_t>(h);
    const uintptr_t slot = (v & 0xFF) - 1;
    if (v == 0 || slot >= kMaxContexts) return nullptr;
    Context& c = g_contexts[slot];
    return c.used && !c.closing && c.handle == h ? &c : nullptr;
}

}  // namespace wintabsim

extern "C" {

UINT WINAPI WTInfoA(UINT category, UINT index, void* out) {
    control();
    switch (category) {
        case 0:  // the size of the largest answer, nothing copied
            return sizeof(LOGCONTEXTA);
        case WTI_INTERFACE:
            if (index == IFC_WINTABID) return answerText("Scribo Wintab stand-in", out);
            if (index == IFC_SPECVERSION) {
                const WORD version = 0x0104;
                return answer(&version, sizeof version, out);
            }
            if (index == IFC_NDEVICES) {
                const UINT one = 1;
                return answer(&one, sizeof one, out);
            }
            return 0;
        case WTI_DEFCONTEXT:
        case WTI_DEFSYSCTX: {
            if (index != 0) return 0;
            const LOGCONTEXTA lc = defaultContext();
            return answer(&lc, sizeof lc, out);
        }
        case WTI_DEVICES:
            if (index == DVC_NAME) return answerText("Scribo stand-in tablet", out);
            if (index == DVC_X) return answerAxis(50800 - 1, out);
            if (index == DVC_Y) return answerAxis(31750 - 1, out);
            if (index == DVC_NPRESSURE)
                return answerAxis(static_cast<LONG>(readSettings().maxPressure), out);
            return 0;
        default:
            return 0;
    }
}

HCTX WINAPI WTOpenA(HWND window, LOGCONTEXTA* lc, BOOL enable) {
    if (lc == nullptr || (window != nullptr && !IsWindow(window))) return nullptr;
    const Settings settings = readSettings();
    HCTX handle = nullptr;
    {
        Exclusive lock;
        int slot = 0;
        while (slot < kMaxContexts && g_contexts[slot].used) ++slot;
        if (slot == kMaxContexts) return nullptr;
        Context& c = g_contexts[slot];
        c = Context{};
        c.used = true;
        const uintptr_t gen =
            static_cast<uintptr_t>(InterlockedIncrement(&g_generation)) & 0xFFFFFF;
        c.handle = handle = reinterpret_cast<HCTX>((gen << 8) | static_cast<uintptr_t>(slot + 1));
        c.window = window;
        c.lc = *lc;
        c.lc.lcName[LCNAMELEN - 1] = '\0';
        c.enabled = enable != FALSE;
        c.settings = settings;
        if (ControlBlock* ctl = control()) c.seenCommand = ctl->commandSeq;
        if ((c.lc.lcOptions & CXO_MESSAGES) != 0 && window != nullptr && !startWorker(slot)) {
            c = Context{};
            return nullptr;
        }
    }
    if (ControlBlock* ctl = control()) {
        InterlockedIncrement(&ctl->openContexts);
        InterlockedIncrement(&ctl->opens);
    }
    // A driver tells the owner of a context opened for messages that it is open, and later closed.
    if ((lc->lcOptions & CXO_MESSAGES) != 0 && window != nullptr)
        PostMessageW(window, lc->lcMsgBase + WT_CTXOPEN_OFFSET, reinterpret_cast<WPARAM>(handle),
                     0);
    logLine("open ctx=%p hwnd=%p name=%s options=0x%X pktData=0x%X msgBase=0x%X rate=%u max=%u",
            static_cast<void*>(handle), static_cast<void*>(window), lc->lcName, lc->lcOptions,
            lc->lcPktData, lc->lcMsgBase, settings.rate, settings.maxPressure);
    return handle;
}

BOOL WINAPI WTClose(HCTX h) {
    HANDLE thread = nullptr, stop = nullptr;
    {
        Exclusive lock;
        Context* c = findContext(h);
        if (c == nullptr) {
            logLine("close ctx=%p: not open", static_cast<void*>(h));
            return FALSE;
        }
        c->closing = true;
        thread = c->thread;
        stop = c->stop;
        if ((c->lc.lcOptions & CXO_MESSAGES) != 0 && c->window != nullptr)
            PostMessageW(c->window, c->lc.lcMsgBase + WT_CTXCLOSE_OFFSET,
                         reinterpret_cast<WPARAM>(h), 0);
    }
    stopWorker(thread, stop);
    {
        Exclusive lock;
        const uintptr_t slot = (reinterpret_cast<uintptr_t>(h) & 0xFF) - 1;
        g_contexts[slot] = Context{};
    }
    if (ControlBlock* ctl = control()) {
        InterlockedDecrement(&ctl->openContexts);
        InterlockedIncrement(&ctl->closes);
    }
    logLine("close ctx=%p", static_cast<void*>(h));
    return TRUE;
}

BOOL WINAPI WTPacket(HCTX h, UINT serial, void* out) {
    Exclusive lock;
    Context* c = findContext(h);
    if (c == nullptr) return FALSE;
    for (int i = 0; i < c->queued; ++i) {
        if (c->queue[i].serial != serial) continue;
        if (out != nullptr) writePacket(*c, c->queue[i], out);
        std::memmove(c->queue, c->queue + i + 1, sizeof(QueuedPacket) * (c->queued - i - 1));
        c->queued -= i + 1;
        if (ControlBlock* ctl = control()) InterlockedIncrement(&ctl->packetsFetched);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WTPacketsGet(HCTX h, int max, void* out) {
    Exclusive lock;
    Context* c = findContext(h);
    if (c == nullptr || max <= 0) return 0;
    const int n = max < c->queued ? max : c->queued;
    const size_t size = packetSize(c->lc.lcPktData);
    for (int i = 0; i < n && out != nullptr; ++i)
        writePacket(*c, c->queue[i], static_cast<char*>(out) + size * i);
    std::memmove(c->queue, c->queue + n, sizeof(QueuedPacket) * (c->queued - n));
    c->queued -= n;
    return n;
}

BOOL WINAPI WTGetA(HCTX h, LOGCONTEXTA* lc) {
    Exclusive lock;
    Context* c = findContext(h);
    if (c == nullptr || lc == nullptr) return FALSE;
    *lc = c->lc;
    return TRUE;
}

BOOL WINAPI WTSetA(HCTX h, LOGCONTEXTA* lc) {
    Exclusive lock;
    Context* c = findContext(h);
    if (c == nullptr || lc == nullptr) return FALSE;
    const UINT options = c->lc.lcOptions;  // the worker was started for these options
    c->lc = *lc;
    c->lc.lcOptions = options;
    c->lc.lcName[LCNAMELEN - 1] = '\0';
    return TRUE;
}

BOOL WINAPI WTEnable(HCTX h, BOOL enable) {
    Exclusive lock;
    Context* c = findContext(h);
    if (c == nullptr) return FALSE;
    c->enabled = enable != FALSE;
    return TRUE;
}

BOOL WINAPI WTOverlap(HCTX h, BOOL) {
    Exclusive lock;
    return findContext(h) != nullptr;
}

// A new size empties the queue, as with a real driver.
BOOL WINAPI WTQueueSizeSet(HCTX h, int size) {
    Exclusive lock;
    Context* c = findContext(h);
    if (c == nullptr || size <= 0 || size > kQueueSize) return FALSE;
    c->capacity = size;
    c->queued = 0;
    return TRUE;
}

BOOL WINAPI WTSave(HCTX, void*) { return FALSE; }
BOOL WINAPI WTConfig(HCTX, HWND) { return FALSE; }
HCTX WINAPI WTRestore(HWND, void*, BOOL) { return nullptr; }
BOOL WINAPI WTExtSet(HCTX, UINT, void*) { return FALSE; }
BOOL WINAPI WTExtGet(HCTX, UINT, void*) { return FALSE; }

int WINAPI WTDataPeek(HCTX, UINT, UINT, int, void*, int* count) {
    if (count != nullptr) *count = 0;
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    if (reason == DLL_PROCESS_DETACH) releaseControl();
    return TRUE;
}

}  // extern "C"
