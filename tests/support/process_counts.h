// What another process holds: private bytes, kernel handles, GDI objects and USER objects, for
// long-run leak checks and the benchmark table.
//
// Windows answers every figure directly. Wine answers 0 for another process's memory, handle
// count and GUI objects, so then: private bytes from Linux (anonymous memory), handles from the
// system handle table, GDI objects from the process's GDI handle table (mapped at its PEB;
// entries with a type in use) and USER objects as the windows the process owns.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "linux_proc.h"

namespace testsupport {

struct ProcessCounts {
    size_t privateBytes = 0;
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    bool userIsWindowCount = false;  // USER objects counted as windows (Wine)
    bool privateFromLinux = false;   // private bytes as Linux counts them (Wine)
};

namespace detail {

// An entry of the GDI handle table as 64-bit processes have it.
struct GdiHandleEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "GDI handle table entry");
constexpr size_t kGdiTableEntries = 0x10000;
constexpr size_t kPebGdiTableOffset = 0xF8;  // 64-bit PEB

inline DWORD gdiTableCount(HANDLE process) {
    using QueryFn = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info{};
    if (query == nullptr ||
        query(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return 0;
    uint64_t table = 0;
    SIZE_T got = 0;
    if (!ReadProcessMemory(
            process,
            static_cast<const char*>(static_cast<void*>(info.PebBaseAddress)) + kPebGdiTableOffset,
            &table, sizeof table, &got) ||
        table == 0)
        return 0;
    std::vector<GdiHandleEntry> entries(4096);
    DWORD count = 0;
    for (size_t first = 0; first < kGdiTableEntries; first += entries.size()) {
        if (!ReadProcessMemory(
                process, reinterpret_cast<const void*>(table + first * sizeof(GdiHandleEntry)),
                entries.data(), entries.size() * sizeof(GdiHandleEntry), &got))
            break;
        for (size_t i = 0; i < got / sizeof(GdiHandleEntry); ++i)
            if (entries[i].type != 0) ++count;
    }
    return count;
}

using QuerySystemFn = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);

// Handles of `pid` in the system handle table (its short form: 16-bit process ids, which is
// what Wine has).
inline DWORD systemHandleCount(DWORD pid) {
    struct Entry {
        USHORT process;
        USHORT creatorBackTraceIndex;
        UCHAR objectType;
        UCHAR attributes;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    struct Table {
        ULONG count;
        Entry entries[1];
    };
    const auto query = reinterpret_cast<QuerySystemFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return 0;
    constexpr ULONG kSystemHandleInformation = 16;
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = query(kSystemHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), &needed)) ==
               static_cast<NTSTATUS>(0xC0000004L) &&
           buffer.size() < (64u << 20))
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
    if (status != 0) return 0;
    const auto* table = reinterpret_cast<const Table*>(buffer.data());
    DWORD count = 0;
    for (ULONG i = 0; i < table->count; ++i)
        if (table->entries[i].process == static_cast<USHORT>(pid)) ++count;
    return count;
}

struct WindowCount {
    DWORD pid;
    DWORD count;
};

inline BOOL CALLBACK countChild(HWND, LPARAM l) {
    ++reinterpret_cast<WindowCount*>(l)->count;
    return TRUE;
}

inline BOOL CALLBACK countTopLevel(HWND w, LPARAM l) {
    auto* c = reinterpret_cast<WindowCount*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == c->pid) {
        ++c->count;
        EnumChildWindows(w, countChild, l);
    }
    return TRUE;
}

}  // namespace detail

// `process` needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ; `program` names it for Linux.
inline ProcessCounts countsOf(HANDLE process, const std::string& program) {
    ProcessCounts c;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory))
        c.privateBytes = memory.PrivateUsage;
    if (c.privateBytes == 0) {
        c.privateBytes = linuxPrivateBytes(program);
        c.privateFromLinux = true;
    }
    if (!GetProcessHandleCount(process, &c.handles) || c.handles == 0)
        c.handles = detail::systemHandleCount(GetProcessId(process));
    c.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    if (c.gdiObjects == 0) c.gdiObjects = detail::gdiTableCount(process);
    c.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    if (c.userObjects == 0) {
        detail::WindowCount windows{GetProcessId(process), 0};
        EnumWindows(detail::countTopLevel, reinterpret_cast<LPARAM>(&windows));
        c.userObjects = windows.count;
        c.userIsWindowCount = true;
    }
    return c;
}

}  // namespace testsupport
