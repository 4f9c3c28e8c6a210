// CPU time of a Wine process as Linux counts it, for the benchmarks among the end-to-end tests
// (Wine does not report other processes' times through GetProcessTimes). The process is found
// through Z:\proc by its program name and this test run's Wine prefix.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "processes.h"

namespace testsupport {

// User + system milliseconds of the first process running `program` in our prefix; -1 if none.
inline double linuxCpuMs(const std::string& program) {
    char prefix[1024] = {};
    GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    WIN32_FIND_DATAW f;
    HANDLE h = FindFirstFileW(L"Z:\\proc\\*", &f);
    if (h == INVALID_HANDLE_VALUE) return -1;
    double found = -1;
    do {
        const std::wstring name = f.cFileName;
        if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        const std::wstring dir = L"Z:\\proc\\" + name + L"\\";
        const std::string cmd = readFile(dir + L"cmdline");
        if (cmd.find(program) == std::string::npos) continue;
        const std::string env = readFile(dir + L"environ");
        if (env.find(std::string("WINEPREFIX=") + prefix + '\0') == std::string::npos) continue;
        const std::string stat = readFile(dir + L"stat");
        std::istringstream in(stat.substr(stat.rfind(')') + 2));
        std::string field;
        double utime = 0, stime = 0;
        for (int i = 3; i <= 15 && in >> field; ++i) {
            if (i == 14) utime = std::atof(field.c_str());
            if (i == 15) stime = std::atof(field.c_str());
        }
        found = (utime + stime) * 10.0;  // clock ticks of 10 ms
        break;
    } while (FindNextFileW(h, &f));
    FindClose(h);
    return found;
}

}  // namespace testsupport
