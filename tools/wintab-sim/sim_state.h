// Internal state of the WinTab32.dll stand-in: the table of open contexts, their packet queues and
// the settings read from the environment. One lock guards the table.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/wintab_types.h"
#include "sim_script.h"
#include "wintab_sim_control.h"

namespace wintabsim {

inline constexpr int kMaxContexts = 16;
inline constexpr int kQueueSize = 64;

// Read from the environment at WTOpenA (the maximum also at WTInfoA).
struct Settings {
    uint32_t rate = 200;          // SCRIBO_WINTAB_RATE, packets per second, 1..5000
    uint32_t maxPressure = 8191;  // SCRIBO_WINTAB_MAX, 1..65535
    uint32_t strokeLength = 200;  // SCRIBO_WINTAB_STROKE, packets per stroke, 2..100000
    Script script;                // SCRIBO_WINTAB_SCRIPT
};
Settings readSettings();

struct QueuedPacket {
    UINT serial;
    DWORD time;
    wintab::PressurePacket data;
};

struct Context {
    bool used = false;
    bool closing = false;
    bool enabled = false;
    wintab::HCTX handle = nullptr;
    HWND window = nullptr;
    wintab::LOGCONTEXTA lc{};
    Settings settings;
    QueuedPacket queue[kQueueSize]{};  // oldest first
    int queued = 0;
    UINT nextSerial = 1;
    LONG seenCommand = 0;
    HANDLE thread = nullptr;
    HANDLE stop = nullptr;
};

extern SRWLOCK g_lock;
extern Context g_contexts[kMaxContexts];
extern HMODULE g_module;

// The context of a handle (lock held), or nullptr for a handle that names no open context.
Context* findContext(wintab::HCTX h);
// The run-time control block of this process (created on first use), or nullptr.
ControlBlock* control();
void releaseControl();
// Appends one line to the file SCRIBO_WINTAB_LOG names, if it is set.
void logLine(const char* format, ...);

// Starts the packet worker of a context opened with CXO_MESSAGES (lock held).
bool startWorker(int slot);
// Stops it and waits for it to end (lock not held).
void stopWorker(HANDLE thread, HANDLE stop);

// Writes a queued packet in the layout of the context's packet-data mask; returns its size.
size_t packetSize(wintab::WTPKT mask);
size_t writePacket(const Context& c, const QueuedPacket& p, void* out);

}  // namespace wintabsim
