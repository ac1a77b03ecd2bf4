#include "platform/clock.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace platform {
namespace {

std::atomic<ManualClock*> g_manual{nullptr};

u32 RealNowMs() {
    using namespace std::chrono;
    static const steady_clock::time_point origin = steady_clock::now();
    return static_cast<u32>(duration_cast<milliseconds>(steady_clock::now() - origin).count());
}

}  // namespace

u32 NowMs() {
    if (ManualClock* manual = g_manual.load(std::memory_order_acquire)) return manual->Now();
    return RealNowMs();
}

bool IsManualClockInstalled() {
    return g_manual.load(std::memory_order_acquire) != nullptr;
}

void Yield() {
    if (ManualClock* manual = g_manual.load(std::memory_order_acquire)) {
        if (manual->onYield) manual->onYield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void SleepMs(u32 ms) {
    if (ManualClock* manual = g_manual.load(std::memory_order_acquire)) {
        manual->Advance(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

ManualClock::ManualClock(u32 startMs) : now_(startMs) {
    ManualClock* expected = nullptr;
    if (!g_manual.compare_exchange_strong(expected, this)) {
        std::fprintf(stderr, "ManualClock: a manual clock is already installed\n");
        std::abort();
    }
}

ManualClock::~ManualClock() {
    g_manual.store(nullptr, std::memory_order_release);
}

}  // namespace platform
