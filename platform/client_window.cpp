#include "platform/client_window.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<bool> g_alive{false};
}

bool IsClientWindowAlive() {
    return g_alive.load(std::memory_order_acquire);
}
void SetClientWindowAlive(bool alive) {
    g_alive.store(alive, std::memory_order_release);
}

}  // namespace platform
