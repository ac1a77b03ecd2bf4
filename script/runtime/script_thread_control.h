#pragma once
// How values and builtins stop the running script thread on a script run-time error. The
// interpreter installs the hook that kills its current thread; without one nothing happens.
using KillCurrentThreadHook = void (*)();

// Installs the hook (null removes it); returns the previous one.
KillCurrentThreadHook SetKillCurrentThreadHook(KillCurrentThreadHook hook);
// Stops the current script thread at its next step; nothing when no thread runs.
void KillCurrentThread();
