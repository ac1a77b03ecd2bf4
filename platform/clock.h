#pragma once
// The one clock of the process. Milliseconds since an arbitrary origin as a u32 that wraps
// about every 49.7 days: compare times only through their unsigned difference.
//
// Tests install a ManualClock and step it; while one is installed every reader of "now"
// on every thread sees its value, and Yield() returns at once after running its hook.
#include <atomic>
#include <functional>

#include "platform/types.h"

namespace platform {

// Current time in milliseconds from the active clock (real or manual).
u32 NowMs();

// Milliseconds from `from` to `to`, correct across the wrap.
inline u32 ElapsedMs(u32 from, u32 to) {
    return to - from;
}

// True when at least `interval` ms have passed from `from` to `now`.
inline bool HasElapsed(u32 from, u32 now, u32 interval) {
    return ElapsedMs(from, now) >= interval;
}

// Gives up the processor for at most about 1 ms, so polling loops do not burn a core.
// Under a manual clock it only runs the clock's yield hook.
void Yield();

// True while a ManualClock is installed: waits must then not block on real time.
bool IsManualClockInstalled();

// Sleeps for the given time on the real clock; under a manual clock it advances the
// manual clock instead and returns at once.
void SleepMs(u32 ms);

class ManualClock {
public:
    // Installs this clock as the process clock; only one may be installed at a time.
    explicit ManualClock(u32 startMs = 0);
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    u32 Now() const { return now_.load(std::memory_order_acquire); }
    void Set(u32 ms) { now_.store(ms, std::memory_order_release); }
    void Advance(u32 ms) { now_.fetch_add(ms, std::memory_order_acq_rel); }

    // Runs on every Yield() while installed (for example to step the clock a little
    // each pass of a loop under test). Set before starting threads that yield.
    std::function<void()> onYield;

private:
    std::atomic<u32> now_;
};

}  // namespace platform
