// Run-time control of the WinTab32.dll stand-in, shared by the stand-in and the tests that drive
// it: a small named memory block per process, "Local\ScriboWintabSim-<process id>".
//
// The stand-in creates (or opens) the block when it is first called. A test that creates the block
// before loading the stand-in keeps the counters across unloads and reloads of the library, so it
// can see a context that was never closed.
//
// Counters (written by the stand-in): open contexts now, opens and closes so far, packets posted,
// the serial and pressure of the last packet, packets fetched with WTPacket and packets lost
// because the queue was full.
// Commands (written by a test): put the text in `command`, then increment `commandSeq`; each
// context's worker takes it on its next tick (at least every 10 ms) and sets `commandAck` to the
// sequence number it took. The words are the ones of SCRIBO_WINTAB_SCRIPT:
//   "stroke"       repeated pen strokes, pressure 0 -> max -> 0
//   "fixed:<n>"    packets with pressure n at the packet rate
//   "off"          no packets
//   "queue:<n>"    one packet of pressure n put into the queue without a message (its serial goes
//                  to lastSerial), for a test that sends the packet message itself; the script
//                  stays as it was
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace wintabsim {

inline constexpr uint32_t kControlMagic = 0x57544253;  // "SBTW"
inline constexpr size_t kCommandSize = 32;

struct ControlBlock {
    uint32_t magic;
    volatile LONG openContexts;
    volatile LONG opens;
    volatile LONG closes;
    volatile LONG packetsPosted;
    volatile LONG lastSerial;
    volatile LONG lastPressure;
    volatile LONG commandSeq;
    volatile LONG commandAck;
    char command[kCommandSize];
    volatile LONG packetsFetched;
    volatile LONG packetsLost;
};

inline std::wstring controlName(DWORD processId) {
    return L"Local\\ScriboWintabSim-" + std::to_wstring(processId);
}

// Creates or opens the block of a process; the caller owns the mapping handle and the view.
inline ControlBlock* openControl(DWORD processId, HANDLE& mapping) {
    mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 sizeof(ControlBlock), controlName(processId).c_str());
    if (mapping == nullptr) return nullptr;
    const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    auto* block = static_cast<ControlBlock*>(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ControlBlock)));
    if (block == nullptr) {
        CloseHandle(mapping);
        mapping = nullptr;
        return nullptr;
    }
    if (created)
        InterlockedExchange(reinterpret_cast<volatile LONG*>(&block->magic), kControlMagic);
    return block;
}

// Sends a command; returns its sequence number (compare with commandAck).
inline LONG sendCommand(ControlBlock& block, const char* text) {
    size_t i = 0;
    for (; text != nullptr && text[i] != '\0' && i + 1 < kCommandSize; ++i)
        block.command[i] = text[i];
    block.command[i] = '\0';
    return InterlockedIncrement(&block.commandSeq);
}

}  // namespace wintabsim
