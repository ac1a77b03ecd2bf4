#include "platform/display_loss.h"

#include <atomic>
#include <cstring>

namespace platform {
namespace {

constexpr int kCauseSize = 256;
char g_cause[kCauseSize];
std::atomic<bool> g_claimed{false};
std::atomic<bool> g_noted{false};

}  // namespace

void ReportDisplayLost(const char* cause) {
    if (g_claimed.exchange(true)) return;
    std::strncpy(g_cause, cause ? cause : "the display was lost", kCauseSize - 1);
    g_cause[kCauseSize - 1] = '\0';
    g_noted.store(true, std::memory_order_release);
}

const char* DisplayLostCause() {
    return g_noted.load(std::memory_order_acquire) ? g_cause : nullptr;
}

void ClearDisplayLoss() {
    g_noted.store(false, std::memory_order_release);
    g_claimed.store(false);
}

}  // namespace platform
