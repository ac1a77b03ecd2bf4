#pragma once
// A periodic callback on a thread of its own (the software cursor's 25 ms timer), which can
// sleep while it has nothing to do.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/types.h"

namespace platform {

class PeriodicTimer {
public:
    PeriodicTimer() = default;
    ~PeriodicTimer() { Stop(); }
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    // Starts calling `callback` every `periodMs` ms of real time; false when already
    // running or the thread cannot be started.
    bool Start(u32 periodMs, std::function<void()> callback);
    // Stops the timer. When it returns no callback is running and none will run again.
    // Called from inside the callback it only marks the timer stopped.
    void Stop();
    // Not to be called from inside the callback.
    bool Running() const;
    // Called from inside the callback when its tick found nothing to do: after this tick the
    // timer sleeps, without waking each period, until Wake() or Stop(). A Wake() that came
    // while the tick ran keeps it awake.
    void Doze();
    // Ends a Doze(): the callback runs at once, then every period again. Never blocks, so it
    // may be called from any thread with any lock held.
    void Wake();

private:
    void Run(u32 periodMs);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::function<void()> callback_;
    std::thread thread_;
    std::atomic<std::thread::id> timerThread_{};
    bool running_ = false;
    bool stop_ = false;
    bool dozeAsked_ = false;  // timer thread only
    std::atomic<u32> wakes_{0};
};

}  // namespace platform
