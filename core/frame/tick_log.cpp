#include "core/frame/tick_log.h"

#include <utility>

namespace {
TickLogObserver g_observer;
}  // namespace

void TickLog(const char* source, const char* severity, const std::string& message) {
    // The server's log sink discards entries in this build; only an observer sees them.
    if (g_observer) g_observer(source, severity, message);
}

void SetTickLogObserver(TickLogObserver observer) {
    g_observer = std::move(observer);
}
