// One worker thread that sends a monitor its commands, in order and with the pauses the monitor
// needs, so the window that asks for them keeps answering. A slider's moves made while the
// monitor is busy collapse into the latest one. Commands that carry a token are reported to the
// window with `message` (wParam = token) when they are done.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "mapping/monitor_commands.h"

namespace platform {

class MonitorWorker {
public:
    MonitorWorker(std::unique_ptr<scribo::MonitorPort> port, HWND notify, UINT message);
    ~MonitorWorker();  // abandons what is pending
    MonitorWorker(const MonitorWorker&) = delete;
    MonitorWorker& operator=(const MonitorWorker&) = delete;

    void post(const scribo::MonitorCommand& cmd);
    // Drops the pending commands, cuts the running one short at its next pause and waits for
    // the thread; the port (and the monitors it owns) is released then.
    void abandon();

private:
    void run();
    bool pause(int ms);

    std::unique_ptr<scribo::MonitorPort> port_;
    HWND notify_;
    UINT message_;
    std::mutex mutex_;
    std::condition_variable wake_;
    scribo::MonitorCommandQueue queue_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace platform
