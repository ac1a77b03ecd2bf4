#pragma once
// Process-wide values of the server main loop that the rest of the server reads: the quit
// flag (set by a signal or when the client window is gone; once set, senders, readers and
// destructors cut their work short) and the loop time, the server's "now" in milliseconds.
#include <atomic>

#include "platform/types.h"

// The quit flag only ever goes from 0 to 1. A signal handler may set it.
extern std::atomic<int> g_quitFlag;

inline bool IsQuitting() {
    return g_quitFlag.load(std::memory_order_acquire) != 0;
}
inline void RequestQuit() {
    g_quitFlag.store(1, std::memory_order_release);
}

// The time taken at the top of every pass of the main loop.
u32 GetLoopTime();
void SetLoopTime(u32 ms);

// The world's pulse number (one per 250 ms world tick, 30 bits, wrapping), published by the
// world tick so that the world model can measure time in pulses.
s32 GetWorldPulse();
void SetWorldPulse(s32 pulse);
