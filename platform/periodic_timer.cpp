#include "platform/periodic_timer.h"

#include <chrono>
#include <system_error>

namespace platform {

bool PeriodicTimer::Start(u32 periodMs, std::function<void()> callback) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (running_ || thread_.joinable()) return false;
    callback_ = std::move(callback);
    stop_ = false;
    try {
        thread_ = std::thread([this, periodMs] { Run(periodMs); });
    } catch (const std::system_error&) {
        return false;
    }
    running_ = true;
    return true;
}

void PeriodicTimer::Run(u32 periodMs) {
    timerThread_.store(std::this_thread::get_id());
    auto period = std::chrono::milliseconds(periodMs);
    auto next = std::chrono::steady_clock::now() + period;
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
        if (wake_.wait_until(lock, next, [this] { return stop_; })) break;
        next += period;
        const u32 wakesBefore = wakes_.load();
        dozeAsked_ = false;
        // The callback runs with the mutex held: Stop() cannot return while it runs.
        callback_();
        if (dozeAsked_ && !stop_) {
            // Asleep without a deadline until a Wake() or Stop() (at once if one came during
            // the tick); then a tick at once.
            lock.unlock();
            wakes_.wait(wakesBefore);
            lock.lock();
            next = std::chrono::steady_clock::now();
            continue;
        }
        auto now = std::chrono::steady_clock::now();
        if (next < now) next = now + period;  // fell behind: do not fire a burst
    }
}

void PeriodicTimer::Stop() {
    if (std::this_thread::get_id() == timerThread_.load()) {
        // Called from the callback, which runs with the mutex held: mark the timer stopped;
        // the loop ends after the callback returns and a later Stop() joins the thread.
        stop_ = true;
        running_ = false;
        return;
    }
    std::thread worker;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        running_ = false;
        worker = std::move(thread_);
    }
    Wake();
    wake_.notify_all();
    if (worker.joinable()) worker.join();
}

void PeriodicTimer::Doze() {
    dozeAsked_ = true;
}

void PeriodicTimer::Wake() {
    wakes_.fetch_add(1);
    wakes_.notify_all();
}

bool PeriodicTimer::Running() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return running_;
}

}  // namespace platform
