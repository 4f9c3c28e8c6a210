// One worker thread that sends a monitor its commands, in order and with the pauses the monitor
// needs, so the window that asks for them keeps answering. A slider's moves made while the
// monitor is busy collapse into the latest one. Commands that carry a token are reported to the
// window with `message` (wParam = token) when they are done; a Read leaves its values for
// takeReadings.
//
// A monitor can stop answering (one that went to sleep holds a command for seconds or for good),
// so nobody ever waits for the thread longer than kMostWaitMs. The thread shares its state with
// this object and owns the port (and with it the physical monitors): when this object is gone
// first, the thread carries on alone and releases the port when it ends.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "mapping/monitor_commands.h"

namespace scribo::win {

class MonitorWorker {
public:
    static constexpr int kMostWaitMs = 500;

    MonitorWorker(std::unique_ptr<scribo::MonitorPort> port, HWND notify, UINT message);
    ~MonitorWorker();  // abandon(), unless let go with finishAlone()
    MonitorWorker(const MonitorWorker&) = delete;
    MonitorWorker& operator=(const MonitorWorker&) = delete;

    void post(const scribo::MonitorCommand& cmd);
    // The values of the last Read done, once.
    std::optional<scribo::MonitorReadings> takeReadings();
    // The window is told nothing more; the commands posted so far are still carried out, then
    // the thread ends on its own and releases the port.
    void finishAlone();
    // Drops the pending commands, cuts the running one short at its next pause and waits up to
    // kMostWaitMs for the thread to end (true when it did). A command the monitor does not
    // return from is left to the thread, which ends once it returns.
    bool abandon();

private:
    struct Shared;
    static void run(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> shared_;
    bool alone_ = false;
};

}  // namespace scribo::win
