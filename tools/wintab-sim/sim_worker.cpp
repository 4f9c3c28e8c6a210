// The stand-in's packet worker (one thread per context opened with CXO_MESSAGES), its settings,
// its log and its run-time control block.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "sim_state.h"

using namespace wintab;

namespace wintabsim {

namespace {

HANDLE g_controlMapping = nullptr;
ControlBlock* g_control = nullptr;

bool readEnv(const char* name, char* buf, DWORD size) {
    const DWORD n = GetEnvironmentVariableA(name, buf, size);
    return n > 0 && n < size;
}

uint32_t envNumber(const char* name, uint32_t fallback, uint32_t lo, uint32_t hi) {
    char buf[32];
    if (!readEnv(name, buf, sizeof buf)) return fallback;
    char* end = nullptr;
    const unsigned long v = std::strtoul(buf, &end, 10);
    if (end == buf || *end != '\0' || v < lo || v > hi) return fallback;
    return static_cast<uint32_t>(v);
}

LONGLONG now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// Takes a new command from the control block, if there is one (lock held).
void takeCommand(Context& c) {
    ControlBlock* ctl = control();
    if (ctl == nullptr || ctl->commandSeq == c.seenCommand) return;
    c.seenCommand = ctl->commandSeq;
    char text[kCommandSize];
    std::memcpy(text, const_cast<const char*>(ctl->command), kCommandSize);
    text[kCommandSize - 1] = '\0';
    bool ok;
    if (std::strncmp(text, "queue:", 6) == 0 && text[6] >= '0' && text[6] <= '9') {
        const unsigned long v = std::strtoul(text + 6, nullptr, 10);
        const uint32_t pressure =
            v < c.settings.maxPressure ? static_cast<uint32_t>(v) : c.settings.maxPressure;
        InterlockedExchange(&ctl->lastSerial, static_cast<LONG>(enqueuePacket(c, pressure, 0)));
        InterlockedExchange(&ctl->lastPressure, static_cast<LONG>(pressure));
        ok = true;
    } else {
        ok = parseScript(text, c.settings.script);
    }
    InterlockedExchange(&ctl->commandAck, c.seenCommand);
    logLine("command ctx=%p %s%s", static_cast<void*>(c.handle), text, ok ? "" : " (ignored)");
}

// Queues the next packet of the script and posts its message; false when the context closes.
// Before the first packet after a pause the window is told that the pen came into proximity,
// and when the packets stop, that it left.
bool tick(int slot) {
    HWND window;
    UINT message, serial;
    HCTX handle;
    uint32_t pressure;
    bool entering = false;
    {
        AcquireSRWLockExclusive(&g_lock);
        Context& c = g_contexts[slot];
        if (!c.used || c.closing) {
            ReleaseSRWLockExclusive(&g_lock);
            return false;
        }
        takeCommand(c);
        const auto next =
            nextPacket(c.settings.script, c.settings.maxPressure, c.settings.strokeLength);
        if (!c.enabled || !next) {
            const bool leaving = c.inProximity;
            c.inProximity = false;
            window = c.window;
            message = c.lc.lcMsgBase + WT_PROXIMITY_OFFSET;
            handle = c.handle;
            ReleaseSRWLockExclusive(&g_lock);
            if (leaving) PostMessageW(window, message, reinterpret_cast<WPARAM>(handle), 0);
            return true;
        }
        entering = !c.inProximity;
        c.inProximity = true;
        pressure = next->pressure;
        serial = enqueuePacket(c, pressure, next->phase);
        window = c.window;
        message = c.lc.lcMsgBase + WT_PACKET_OFFSET;
        handle = c.handle;
        ReleaseSRWLockExclusive(&g_lock);
    }
    if (entering)
        PostMessageW(window, message - WT_PACKET_OFFSET + WT_PROXIMITY_OFFSET,
                     reinterpret_cast<WPARAM>(handle), MAKELPARAM(1, 1));
    PostMessageW(window, message, serial, reinterpret_cast<LPARAM>(handle));
    if (ControlBlock* ctl = control()) {
        InterlockedIncrement(&ctl->packetsPosted);
        InterlockedExchange(&ctl->lastSerial, static_cast<LONG>(serial));
        InterlockedExchange(&ctl->lastPressure, static_cast<LONG>(pressure));
    }
    return true;
}

DWORD WINAPI workerMain(void* param) {
    const int slot = static_cast<int>(reinterpret_cast<intptr_t>(param));
    HANDLE stop;
    uint32_t rate;
    {
        AcquireSRWLockShared(&g_lock);
        stop = g_contexts[slot].stop;
        rate = g_contexts[slot].settings.rate;
        ReleaseSRWLockShared(&g_lock);
    }
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    logLine("worker %lu start rate=%u", GetCurrentThreadId(), rate);
    long ticks = 0;
    const LONGLONG period = freq.QuadPart / rate > 0 ? freq.QuadPart / rate : 1;
    LONGLONG due = now() + period;
    for (;;) {
        // Whole milliseconds, rounded up: a shorter wait would spin at fast rates.
        const LONGLONG wait = ((due - now()) * 1000 + freq.QuadPart - 1) / freq.QuadPart;
        const DWORD ms = wait <= 0 ? 0 : (wait > 10 ? 10 : static_cast<DWORD>(wait));
        if (WaitForSingleObject(stop, ms) != WAIT_TIMEOUT) break;
        const LONGLONG t = now();
        if (t < due) continue;
        // Catch up after a late wake-up, but never burst more than a tenth of a second.
        if (t - due > freq.QuadPart / 10) due = t;
        bool open = true;
        while (open && due <= t) {
            open = tick(slot);
            ++ticks;
            due += period;
        }
        if (!open) break;
    }
    logLine("worker %lu end packets=%ld", GetCurrentThreadId(), ticks);
    FreeLibraryAndExitThread(g_module, 0);
}

}  // namespace

Settings readSettings() {
    Settings s;
    s.rate = envNumber("SCRIBO_WINTAB_RATE", s.rate, 1, 5000);
    s.maxPressure = envNumber("SCRIBO_WINTAB_MAX", s.maxPressure, 1, 65535);
    s.strokeLength = envNumber("SCRIBO_WINTAB_STROKE", s.strokeLength, 2, 100000);
    char script[kCommandSize];
    if (readEnv("SCRIBO_WINTAB_SCRIPT", script, sizeof script)) parseScript(script, s.script);
    return s;
}

ControlBlock* control() {
    static SRWLOCK once = SRWLOCK_INIT;
    AcquireSRWLockExclusive(&once);
    if (g_control == nullptr && g_controlMapping == nullptr)
        g_control = openControl(GetCurrentProcessId(), g_controlMapping);
    ControlBlock* c = g_control;
    ReleaseSRWLockExclusive(&once);
    return c;
}

void releaseControl() {
    if (g_control != nullptr) UnmapViewOfFile(g_control);
    if (g_controlMapping != nullptr) CloseHandle(g_controlMapping);
    g_control = nullptr;
    g_controlMapping = nullptr;
}

void logLine(const char* format, ...) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"SCRIBO_WINTAB_LOG", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    char line[512];
    va_list args;
    va_start(args, format);
    int len = std::vsnprintf(line, sizeof line - 2, format, args);
    va_end(args);
    if (len < 0) return;
    if (len > static_cast<int>(sizeof line) - 3) len = static_cast<int>(sizeof line) - 3;
    line[len++] = '\r';
    line[len++] = '\n';
    HANDLE f = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, line, static_cast<DWORD>(len), &written, nullptr);
    CloseHandle(f);
}

bool startWorker(int slot) {
    Context& c = g_contexts[slot];
    HMODULE self = nullptr;  // the worker holds the library until it ends
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&workerMain), &self))
        return false;
    c.stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (c.stop != nullptr)
        c.thread = CreateThread(nullptr, 0, workerMain, reinterpret_cast<void*>(intptr_t{slot}), 0,
                                nullptr);
    if (c.thread == nullptr) {
        if (c.stop != nullptr) CloseHandle(c.stop);
        c.stop = nullptr;
        FreeLibrary(self);
        return false;
    }
    return true;
}

void stopWorker(HANDLE thread, HANDLE stop) {
    if (stop != nullptr) SetEvent(stop);
    if (thread != nullptr) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    if (stop != nullptr) CloseHandle(stop);
}

UINT enqueuePacket(Context& c, uint32_t pressure, uint32_t phase) {
    const int capacity = c.capacity < 1 ? 1 : (c.capacity > kQueueSize ? kQueueSize : c.capacity);
    while (c.queued >= capacity) {
        std::memmove(c.queue, c.queue + 1, sizeof(QueuedPacket) * (c.queued - 1));
        --c.queued;
        c.lostPackets = true;
        if (ControlBlock* ctl = control()) InterlockedIncrement(&ctl->packetsLost);
    }
    QueuedPacket& p = c.queue[c.queued++];
    p = QueuedPacket{};
    p.serial = c.nextSerial++;
    p.status = c.lostPackets ? TPS_QUEUE_ERR : 0;
    c.lostPackets = false;
    p.time = GetTickCount();
    const uint32_t n = c.settings.strokeLength < 2 ? 2 : c.settings.strokeLength;
    p.data.buttons = pressure > 0 ? 1 : 0;
    p.data.x = c.lc.lcOutOrgX + static_cast<LONG>(int64_t{c.lc.lcOutExtX} * phase / n);
    p.data.y = c.lc.lcOutOrgY + c.lc.lcOutExtY / 2;
    p.data.normalPressure = pressure;
    return p.serial;
}

size_t packetSize(WTPKT mask) {
    Context c;
    c.lc.lcPktData = mask;
    const size_t n = writePacket(c, QueuedPacket{}, nullptr);
    return (mask & PK_CONTEXT) ? (n + 7) / 8 * 8 : n;  // a packet record holding a handle
}

size_t writePacket(const Context& c, const QueuedPacket& p, void* out) {
    const WTPKT mask = c.lc.lcPktData;
    unsigned char* o = static_cast<unsigned char*>(out);
    size_t at = 0;
    auto put = [&](const void* v, size_t n) {
        if (o != nullptr) std::memcpy(o + at, v, n);
        at += n;
    };
    if (mask & PK_CONTEXT) put(&c.handle, sizeof c.handle);
    const uint32_t fields[] = {p.status,
                               p.time,
                               0,  // changed
                               p.serial,
                               1,  // cursor: the pen
                               p.data.buttons,
                               static_cast<uint32_t>(p.data.x),
                               static_cast<uint32_t>(p.data.y),
                               0,  // z
                               p.data.normalPressure,
                               0};  // tangent pressure
    WTPKT bit = PK_STATUS;
    for (uint32_t v : fields) {
        if (mask & bit) put(&v, 4);
        bit <<= 1;
    }
    const int32_t angles[3] = {0, 900, 0};
    if (mask & PK_ORIENTATION) put(angles, sizeof angles);
    if (mask & PK_ROTATION) put(angles, sizeof angles);
    return at;
}

}  // namespace wintabsim
