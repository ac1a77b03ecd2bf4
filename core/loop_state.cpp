#include "core/loop_state.h"

std::atomic<int> g_quitFlag{0};

namespace {
std::atomic<u32> g_loopTime{0};
}

u32 GetLoopTime() {
    return g_loopTime.load(std::memory_order_relaxed);
}
void SetLoopTime(u32 ms) {
    g_loopTime.store(ms, std::memory_order_relaxed);
}
