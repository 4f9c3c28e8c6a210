#include "mapping/win/monitor_worker.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace scribo::win {

using Clock = std::chrono::steady_clock;

struct MonitorWorker::Shared {
    std::unique_ptr<scribo::MonitorPort> port;
    HWND notify = nullptr;
    UINT message = 0;
    std::mutex mutex;
    std::condition_variable wake;      // new commands, or the end
    std::condition_variable finished;  // the thread has ended
    scribo::MonitorCommandQueue queue;
    std::optional<scribo::MonitorReadings> readings;
    bool stop = false;   // abandoned: nothing more is done
    bool alone = false;  // nobody listens: end once the queue is empty
    bool done = false;

    // Waits `ms` unless abandoned meanwhile; false when abandoned.
    bool pause(int ms) {
        std::unique_lock<std::mutex> lock(mutex);
        return !wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop; });
    }
};

MonitorWorker::MonitorWorker(std::unique_ptr<scribo::MonitorPort> port, HWND notify, UINT message)
    : shared_(std::make_shared<Shared>()) {
    shared_->port = std::move(port);
    shared_->notify = notify;
    shared_->message = message;
    std::thread(run, shared_).detach();
}

MonitorWorker::~MonitorWorker() {
    if (!alone_) abandon();
}

void MonitorWorker::post(const scribo::MonitorCommand& cmd) {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        if (shared_->stop || shared_->alone) return;
        shared_->queue.push(cmd);
    }
    shared_->wake.notify_all();
}

std::optional<scribo::MonitorReadings> MonitorWorker::takeReadings() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    std::optional<scribo::MonitorReadings> r = shared_->readings;
    shared_->readings.reset();
    return r;
}

void MonitorWorker::finishAlone() {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->alone = true;
    }
    alone_ = true;
    shared_->wake.notify_all();
}

bool MonitorWorker::abandon() {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->stop = true;
    shared_->queue.clear();
    shared_->wake.notify_all();
    return shared_->finished.wait_for(lock, std::chrono::milliseconds(kMostWaitMs),
                                      [this] { return shared_->done; });
}

void MonitorWorker::run(std::shared_ptr<Shared> s) {
    Clock::time_point nextAllowed = Clock::now();
    std::unique_lock<std::mutex> lock(s->mutex);
    for (;;) {
        s->wake.wait(lock, [&] { return s->stop || s->alone || !s->queue.empty(); });
        if (s->stop || (s->alone && s->queue.empty())) break;
        // The monitor's pause after the previous command; a slider moving meanwhile replaces
        // the command that waits here, so the latest position is what gets sent.
        if (scribo::talksToMonitor(*s->queue.front()) &&
            s->wake.wait_until(lock, nextAllowed, [&] { return s->stop; }))
            break;
        const scribo::MonitorCommand cmd = *s->queue.pop();
        lock.unlock();
        scribo::MonitorReadings found;
        const int after = scribo::runMonitorCommand(
            cmd, *s->port, [&](int ms) { return s->pause(ms); }, &found);
        lock.lock();
        if (cmd.op == scribo::MonitorOp::Read) s->readings = found;
        // Told only while someone listens: after abandon or finishAlone the window may be gone.
        if (cmd.notifyToken != 0 && !s->stop && !s->alone)
            PostMessageW(s->notify, s->message, cmd.notifyToken, 0);
        if (scribo::talksToMonitor(cmd))
            nextAllowed = Clock::now() + std::chrono::milliseconds(after);
    }
    // The physical monitors go with the thread that used them.
    lock.unlock();
    s->port.reset();
    lock.lock();
    s->done = true;
    s->finished.notify_all();
}

}  // namespace scribo::win
