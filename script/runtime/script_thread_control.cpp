#include "script/runtime/script_thread_control.h"

namespace {
KillCurrentThreadHook g_killHook = nullptr;
}

KillCurrentThreadHook SetKillCurrentThreadHook(KillCurrentThreadHook hook) {
    KillCurrentThreadHook previous = g_killHook;
    g_killHook = hook;
    return previous;
}

void KillCurrentThread() {
    if (g_killHook) g_killHook();
}
