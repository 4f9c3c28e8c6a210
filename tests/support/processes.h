// Starting and stopping the project's programs from Windows tests.
#pragma once

#include <windows.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

namespace testsupport {

inline std::wstring binDir() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring p(path);
    return p.substr(0, p.find_last_of(L"\\/"));
}

// Polls `done` every 20 ms until it is true or `ms` have passed.
inline bool waitFor(const std::function<bool()>& done, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() { kill(); }

    bool start(const std::wstring& commandLine) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring cmd = commandLine;
        if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            binDir().c_str(), &si, &pi_))
            return false;
        return true;
    }
    DWORD id() const { return pi_.dwProcessId; }
    bool running() const {
        return pi_.hProcess != nullptr && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
    }
    // Exit code, or -1 when the process has not ended within `ms`.
    long wait(int ms) {
        if (pi_.hProcess == nullptr) return -1;
        if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return static_cast<long>(code);
    }
    void kill() {
        if (pi_.hProcess == nullptr) return;
        if (running()) {
            TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 5000);
        }
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
        pi_ = {};
    }

private:
    PROCESS_INFORMATION pi_{};
};

inline HWND listenWindow() { return FindWindowW(L"ORVA_HIDE_LISTEN_WINDOW", L"QXListen"); }
inline HWND panelWindow() { return FindWindowW(L"#32770", L"QM53"); }

// Hands a command to the running service stand-in; returns its result (-1000 = no stand-in).
inline LRESULT simCommand(const std::string& line) {
    HWND w = listenWindow();
    if (w == nullptr) return -1000;
    COPYDATASTRUCT cds{0x53494D43, static_cast<DWORD>(line.size() + 1),
                       const_cast<char*>(line.c_str())};
    return SendMessageW(w, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
}

inline std::string readFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void writeFile(const std::wstring& path, const std::string& data) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << data;
}

// The service stand-in with its own profile and log, ended (with its objects) on destruction.
class ServiceSim {
public:
    // `config` is the configuration file the stand-in loads; by default one that does not exist.
    explicit ServiceSim(const std::string& profile = "", const std::wstring& name = L"sim",
                        const std::wstring& config = L"") {
        log_ = binDir() + L"\\" + name + L".log";
        DeleteFileW(log_.c_str());
        std::wstring cmd = L"\"" + binDir() + L"\\ScriboService.exe\" --log \"" + log_ + L"\"";
        if (!profile.empty()) {
            const std::wstring file = binDir() + L"\\" + name + L".profile";
            writeFile(file, profile);
            cmd += L" --profile \"" + file + L"\"";
        }
        cmd += L" --config \"" + (config.empty() ? binDir() + L"\\" + name + L"-missing.xml" : config) + L"\"";
        process_.start(cmd);
        started_ = waitFor([] { return listenWindow() != nullptr; }, 10000);
    }
    ~ServiceSim() { stop(); }
    void stop() {
        if (listenWindow() != nullptr) simCommand("quit");
        if (process_.wait(5000) < 0) process_.kill();
    }
    bool started() const { return started_; }
    std::string log() const { return readFile(log_); }
    Process& process() { return process_; }

private:
    Process process_;
    std::wstring log_;
    bool started_ = false;
};

}  // namespace testsupport
