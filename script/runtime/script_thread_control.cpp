#include "script/runtime/script_thread_control.h"

namespace {
KillCurrentThreadHook g_killHook = nullptr;
StopCurrentThreadHook g_stopHook = nullptr;
}  // namespace

KillCurrentThreadHook SetKillCurrentThreadHook(KillCurrentThreadHook hook) {
    KillCurrentThreadHook previous = g_killHook;
    g_killHook = hook;
    return previous;
}

StopCurrentThreadHook SetStopCurrentThreadHook(StopCurrentThreadHook hook) {
    StopCurrentThreadHook previous = g_stopHook;
    g_stopHook = hook;
    return previous;
}

void KillCurrentThread() {
    if (g_killHook) g_killHook();
}

bool StopCurrentThread(const std::string& reason) {
    return g_stopHook && g_stopHook(reason);
}
