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
// Messages to a context's window beside WT_PACKET (offsets from the message base), and the packet
// status bit for lost packets.
inline constexpr UINT WT_CTXOPEN_OFFSET = 1;
inline constexpr UINT WT_CTXCLOSE_OFFSET = 2;
inline constexpr UINT WT_PROXIMITY_OFFSET = 5;
inline constexpr UINT TPS_QUEUE_ERR = 0x0002;
inline constexpr int kQueueSize = 64;        // the largest queue WTQueueSizeSet accepts
inline constexpr int kDefaultQueueSize = 8;  // what a context gets, as with a real driver

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
    UINT status;  // TPS_QUEUE_ERR on the first packet after packets were lost
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
    int capacity = kDefaultQueueSize;
    bool lostPackets = false;  // the queue was full since the last packet went in
    bool inProximity = false;  // WT_PROXIMITY "entering" sent, "leaving" not yet
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

// Puts a packet into the context's queue (lock held); when the queue is full the oldest packet
// is lost, counted and reported in the status of the new one. Returns its serial.
UINT enqueuePacket(Context& c, uint32_t pressure, uint32_t phase);

// Writes a queued packet in the layout of the context's packet-data mask; returns its size.
size_t packetSize(wintab::WTPKT mask);
size_t writePacket(const Context& c, const QueuedPacket& p, void* out);

}  // namespace wintabsim
