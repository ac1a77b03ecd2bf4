#include "client/app/client_main_loop.h"

#include "client/app/client_app.h"
#include "client/app/client_subsystem_services.h"
#include "client/app/main_window.h"
#include "client/gumps/framework/cursor_manager.h"
#include "core/chunk_queue.h"
#include "core/loop_state.h"
#include "platform/clock.h"

void PaceFrameTicks(u32 now, u32& last, u32 interval, bool frameSkipping,
                    const std::function<void(u32)>& tick) {
    u32 elapsed = platform::ElapsedMs(last, now);
    if (elapsed < interval) return;
    // Two intervals in unsigned arithmetic; an interval this large never occurs, but
    // must not wrap into a small value.
    u64 twice = 2ull * interval;
    if (elapsed < twice) {
        tick(0);
        last += interval;
        return;
    }
    if (frameSkipping) tick(1);
    tick(0);
    last = now;
}

bool ClientMainLoop::RunPass() {
    ClientMainWindow& window = TheMainWindow();
    // The process is ending (a signal): close the window as the user would, so the client
    // shuts down in order instead of being cut off.
    if (IsQuitting() && window.Exists() && !closeRequested_) {
        closeRequested_ = true;
        ClientMessage close;
        close.kind = ClientMessage::Kind::kClose;
        window.PostMessage(close);
    }
    ClientMessage message;
    bool got = window.TakeMessage(message);
    while (got && message.kind != ClientMessage::Kind::kQuit) {
        window.Dispatch(message);
        GetClientSubsystemServices().SoundUpdate();
        platform::SleepMs(0);
        got = window.TakeMessage(message);
    }
    if (got && message.kind == ClientMessage::Kind::kQuit) {
        exitCode_ = static_cast<int>(message.value);
        return false;
    }
    // Bytes the server puts from here on wake the idle wait after this pass.
    if (ServerToClientQueue != nullptr) seenPuts_ = ServerToClientQueue->PutCount();
    GetClientSubsystemServices().PollConnection();
    GetClientSubsystemServices().SoundUpdate();
    // Keep the pointer position fresh for the cursor timer between messages.
    window.RefreshPointer();
    CClientApp* app = CClientApp::Instance();
    if (app) {
        PaceFrameTicks(platform::NowMs(), last_, app->frameInterval, app->options.frameSkipping,
                       [app](u32 skip) { app->ClientTick(skip); });
    }
    // The cursor timer moved the pointer since the last frame: show that frame again with it.
    CursorShellRepresent();
    return true;
}

u32 ClientMainLoop::IdleWaitMs(u32 now) const {
    const CClientApp* app = CClientApp::Instance();
    const u32 interval = app ? app->frameInterval : kFallbackIntervalMs;
    const u32 elapsed = platform::ElapsedMs(last_, now);
    return elapsed >= interval ? 0 : interval - elapsed;
}

int RunClientMainLoop(ClientMainLoop& loop) {
    while (loop.RunPass()) {
        // Nothing in a pass waits: sleep until the next frame is due or the server sends
        // something, so an idle client does not spin. Input is taken at the next wake.
        const u32 wait = loop.IdleWaitMs(platform::NowMs());
        if (wait == 0 || platform::IsManualClockInstalled()) {
            platform::Yield();
        } else if (ServerToClientQueue != nullptr) {
            ServerToClientQueue->WaitForPutAfter(loop.SeenPuts(), wait);
        } else {
            platform::SleepMs(wait);
        }
    }
    return loop.ExitCode();
}
