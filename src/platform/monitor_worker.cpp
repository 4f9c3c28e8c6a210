#include "platform/monitor_worker.h"

#include <chrono>

namespace platform {

using Clock = std::chrono::steady_clock;

MonitorWorker::MonitorWorker(std::unique_ptr<scribo::MonitorPort> port, HWND notify, UINT message)
    : port_(std::move(port)), notify_(notify), message_(message), thread_([this] { run(); }) {}

MonitorWorker::~MonitorWorker() { abandon(); }

void MonitorWorker::post(const scribo::MonitorCommand& cmd) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_) return;
        queue_.push(cmd);
    }
    wake_.notify_all();
}

void MonitorWorker::abandon() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    port_.reset();
}

bool MonitorWorker::pause(int ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    return !wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_; });
}

void MonitorWorker::run() {
    Clock::time_point nextAllowed = Clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_) return;
        // The monitor's pause after the previous command; a slider moving meanwhile replaces
        // the command that waits here, so the latest position is what gets sent.
        if (scribo::talksToMonitor(*queue_.front()) &&
            wake_.wait_until(lock, nextAllowed, [this] { return stop_; }))
            return;
        const scribo::MonitorCommand cmd = *queue_.pop();
        lock.unlock();
        const int after = scribo::runMonitorCommand(cmd, *port_, [this](int ms) { return pause(ms); });
        if (cmd.notifyToken != 0) PostMessageW(notify_, message_, cmd.notifyToken, 0);
        lock.lock();
        if (scribo::talksToMonitor(cmd)) nextAllowed = Clock::now() + std::chrono::milliseconds(after);
    }
}

}  // namespace platform
