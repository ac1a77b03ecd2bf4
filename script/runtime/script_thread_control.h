#pragma once
// How values and builtins stop the running script thread on a script run-time error. The
// interpreter installs the hooks that stop its current thread; without them nothing happens.
#include <string>

using KillCurrentThreadHook = void (*)();
// Stops the current thread with a log line giving the reason, the class, the handler and the
// statement; answers false when no thread runs (nothing is logged then).
using StopCurrentThreadHook = bool (*)(const std::string& reason);

// Installs the hook (null removes it); returns the previous one.
KillCurrentThreadHook SetKillCurrentThreadHook(KillCurrentThreadHook hook);
StopCurrentThreadHook SetStopCurrentThreadHook(StopCurrentThreadHook hook);
// Stops the current script thread at its next step; nothing when no thread runs.
void KillCurrentThread();
// The same with a log line (once per thread: a thread already stopped logs nothing more);
// false when no thread runs.
bool StopCurrentThread(const std::string& reason);
