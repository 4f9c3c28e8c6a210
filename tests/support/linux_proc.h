// A Wine process as Linux sees it, for benchmarks and long-run checks: Wine does not report other
// processes' times or memory through GetProcessTimes and GetProcessMemoryInfo. The process is
// found through Z:\proc by its program name and this run's Wine prefix.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "processes.h"

namespace testsupport {

// "Z:\proc\<pid>\" of the first process running `program` in our prefix; empty if none.
inline std::wstring linuxProcDir(const std::string& program) {
    char prefix[1024] = {};
    GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    WIN32_FIND_DATAW f;
    HANDLE h = FindFirstFileW(L"Z:\\proc\\*", &f);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::wstring found;
    do {
        const std::wstring name = f.cFileName;
        if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        const std::wstring dir = L"Z:\\proc\\" + name + L"\\";
        if (readFile(dir + L"cmdline").find(program) == std::string::npos) continue;
        if (readFile(dir + L"environ").find(std::string("WINEPREFIX=") + prefix + '\0') ==
            std::string::npos)
            continue;
        found = dir;
        break;
    } while (FindNextFileW(h, &f));
    FindClose(h);
    return found;
}

// User + system milliseconds of `program`; -1 if it does not run.
inline double linuxCpuMs(const std::string& program) {
    const std::wstring dir = linuxProcDir(program);
    if (dir.empty()) return -1;
    const std::string stat = readFile(dir + L"stat");
    std::istringstream in(stat.substr(stat.rfind(')') + 2));
    std::string field;
    double utime = 0, stime = 0;
    for (int i = 3; i <= 15 && in >> field; ++i) {
        if (i == 14) utime = std::atof(field.c_str());
        if (i == 15) stime = std::atof(field.c_str());
    }
    return (utime + stime) * 10.0;  // clock ticks of 10 ms
}

// The process's own anonymous memory (what Windows calls private bytes, as near as Linux counts
// it: resident anonymous pages plus swapped ones); 0 if it does not run.
inline size_t linuxPrivateBytes(const std::string& program) {
    const std::wstring dir = linuxProcDir(program);
    if (dir.empty()) return 0;
    const std::string status = readFile(dir + L"status");
    size_t kb = 0;
    for (const char* key : {"RssAnon:", "VmSwap:"}) {
        const auto at = status.find(key);
        if (at != std::string::npos)
            kb += std::strtoul(status.c_str() + at + std::strlen(key), nullptr, 10);
    }
    return kb * 1024;
}

}  // namespace testsupport
