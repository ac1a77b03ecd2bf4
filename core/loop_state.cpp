#include "core/loop_state.h"

std::atomic<int> g_quitFlag{0};

namespace {
std::atomic<u32> g_loopTime{0};
std::atomic<s32> g_worldPulse{0};
}  // namespace

u32 GetLoopTime() {
    return g_loopTime.load(std::memory_order_relaxed);
}
void SetLoopTime(u32 ms) {
    g_loopTime.store(ms, std::memory_order_relaxed);
}
s32 GetWorldPulse() {
    return g_worldPulse.load(std::memory_order_relaxed);
}
void SetWorldPulse(s32 pulse) {
    g_worldPulse.store(pulse, std::memory_order_relaxed);
}
