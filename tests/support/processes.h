// Starting and stopping the project's programs from Windows tests, each test in a folder of its
// own under the temporary directory.
//
// The test programs are built into the test layout (build/windows/testlayout): the shipped files,
// the service stand-in and the stand-in DLLs side by side, so layoutDir() is where Scribo.exe and
// ScriboService.exe start from. Nothing a test writes goes there: logs, profiles and files of a
// test go to its TestFolder.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "config/service_protocol.h"
#include "platform/handles.h"
#include "platform/wide.h"

namespace testsupport {

// The folder of the running test program: the test layout.
inline std::wstring layoutDir() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring p(path);
    return p.substr(0, p.find_last_of(L"\\/"));
}

// Polls `done` every 20 ms until it is true or `ms` have passed; true when it became true.
inline bool waitFor(const std::function<bool()>& done, int ms = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

// A send to a window of another process (or thread) that cannot hang the run: a window that
// has not answered within `ms` fails the test, naming the message, and the answer is 0.
inline LRESULT sendOrFail(HWND window, UINT msg, WPARAM w = 0, LPARAM l = 0, UINT ms = 10000) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, msg, w, l, SMTO_NORMAL, ms, &result))
        ADD_FAILURE() << "message " << msg << " (0x" << std::hex << msg << std::dec
                      << ") not answered within " << ms << " ms (error " << GetLastError() << ")";
    return static_cast<LRESULT>(result);
}
inline LRESULT sendItemOrFail(HWND dialog, int id, UINT msg, WPARAM w = 0, LPARAM l = 0) {
    return sendOrFail(GetDlgItem(dialog, id), msg, w, l);
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

inline void removeTree(const std::wstring& dir) {
    WIN32_FIND_DATAW f;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &f);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = f.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = dir + L"\\" + name;
            if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(h, &f));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

// The running test's own folder, %TEMP%\scribo-e2e\<Suite.Test>: emptied when the test starts;
// removed when the test passed, kept for inspection when it failed.
class TestFolder {
public:
    TestFolder() {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        std::wstring name = L"no-test";
        if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
            const std::string n = std::string(info->test_suite_name()) + "." + info->name();
            name.assign(n.begin(), n.end());
            for (wchar_t& c : name)
                if (c == L'/' || c == L'\\' || c == L':') c = L'_';
        }
        const std::wstring root = std::wstring(base) + L"scribo-e2e";
        CreateDirectoryW(root.c_str(), nullptr);
        path_ = root + L"\\" + name;
        removeTree(path_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TestFolder() {
        if (!::testing::Test::HasFailure()) removeTree(path_);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// A child process started from the test layout; ended (forcibly if need be) on destruction.
class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() { kill(); }

    // `commandLine` names a program of the layout ("Scribo.exe ...") or a full path.
    bool start(const std::wstring& commandLine) {
        kill();
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::wstring cmd = commandLine;
        if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            layoutDir().c_str(), &si, &pi))
            return false;
        process_.reset(pi.hProcess);
        platform::UniqueHandle thread(pi.hThread);
        id_ = pi.dwProcessId;
        return true;
    }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }
    bool started() const { return static_cast<bool>(process_); }
    bool running() const {
        return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
    }
    // Exit code, or -1 when the process has not ended within `ms`.
    long wait(int ms) {
        if (!process_) return -1;
        if (WaitForSingleObject(process_.get(), static_cast<DWORD>(ms)) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<long>(code);
    }
    void kill() {
        if (!process_) return;
        if (running()) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), 5000);
        }
        process_.reset();
    }

private:
    platform::UniqueHandle process_;
    DWORD id_ = 0;
};

inline HWND listenWindow() {
    return FindWindowW(platform::wz(scribo::kListenWindowClass),
                       platform::wz(scribo::kListenWindowTitle));
}
inline HWND panelWindow() {
    return FindWindowW(platform::wz(scribo::kMainWindowClass),
                       platform::wz(scribo::kMainWindowTitle));
}

// The stand-in's command id of WM_COPYDATA ('SIMC'), as tools/service-sim/sim_commands.h has it.
inline constexpr ULONG_PTR kSimCommandId = 0x53494D43;
// What simCommand answers when no stand-in runs, and what the stand-in answers to an unknown
// command or "get" of an unknown value.
inline constexpr LRESULT kNoStandIn = -1000;
inline constexpr LRESULT kUnknownCommand = -100;

// Hands a command to the running service stand-in; returns its result. Sent, so the command
// has been carried out (and any notification to the panel handled) when this returns.
inline LRESULT simCommand(const std::string& line) {
    HWND w = listenWindow();
    if (w == nullptr) return kNoStandIn;
    COPYDATASTRUCT cds{kSimCommandId, static_cast<DWORD>(line.size() + 1),
                       const_cast<char*>(line.c_str())};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(w, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 30000,
                             &result))
        return kNoStandIn;
    return static_cast<LRESULT>(result);
}

// The service stand-in with its own profile, log and configuration file in the test's folder.
// Ending it is part of the test: the destructor asks it to quit and fails the test when it does
// not end with code 0 (unless the test ended it itself with kill()).
class ServiceSim {
public:
    // `config` is the configuration file the stand-in loads; by default a file of the test
    // folder that does not exist. `name` tells apart several stand-ins of one test.
    ServiceSim(const TestFolder& folder, const std::string& profile = "",
               const std::wstring& config = L"", const std::wstring& name = L"service") {
        log_ = folder.file(name + L".log");
        DeleteFileW(log_.c_str());
        std::wstring cmd = L"\"" + layoutDir() + L"\\" +
                           platform::toWide(scribo::kServiceExecutable) + L"\" --log \"" + log_ +
                           L"\"";
        if (!profile.empty()) {
            const std::wstring file = folder.file(name + L".profile");
            writeFile(file, profile);
            cmd += L" --profile \"" + file + L"\"";
        }
        cmd += L" --config \"" + (config.empty() ? folder.file(name + L"-missing.xml") : config) +
               L"\"";
        started_ = process_.start(cmd) && waitFor([] { return listenWindow() != nullptr; }, 20000);
    }
    ~ServiceSim() {
        const long code = stop();
        // The stand-in checks what the panel sends against the parameters a service accepts.
        const std::string text = log();
        for (size_t at = text.find("violation"); at != std::string::npos;
             at = text.find("violation", at + 1))
            ADD_FAILURE() << "the panel sent the service "
                          << text.substr(at, text.find('\n', at) - at);
        if (!killed_ && code != 0)
            ADD_FAILURE() << "the service stand-in ended with " << code << " (-1: did not end)";
    }
    ServiceSim(const ServiceSim&) = delete;
    ServiceSim& operator=(const ServiceSim&) = delete;

    // Asks the stand-in to quit; its exit code (0 expected), -1 when it had to be killed.
    long stop() {
        if (!process_.started()) return stopped_;
        if (process_.running()) simCommand("quit");
        stopped_ = process_.wait(10000);
        process_.kill();  // closes the handle; ends the process only when it did not end
        return stopped_;
    }
    // Ends the stand-in abruptly (it cannot release what it holds), for tests of that case.
    void kill() {
        killed_ = true;
        process_.kill();
    }
    bool started() const { return started_; }
    std::string log() const { return readFile(log_); }
    // Waits until the log holds `text`.
    bool waitForLog(const std::string& text, int ms = 10000) const {
        return waitFor([&] { return log().find(text) != std::string::npos; }, ms);
    }
    Process& process() { return process_; }

private:
    Process process_;
    std::wstring log_;
    bool started_ = false, killed_ = false;
    long stopped_ = -1;
};

}  // namespace testsupport
