#include "client/app/client_main_loop.h"

#include "client/app/client_app.h"
#include "client/app/client_subsystem_services.h"
#include "client/app/main_window.h"
#include "core/chunk_queue.h"
#include "core/loop_state.h"
#include "platform/clock.h"

namespace {
// The longest an idle pass of the client sleeps: input and server bytes wait at most this.
constexpr u32 kIdleWaitMs = 5;
}  // namespace

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
    GetClientSubsystemServices().PollConnection();
    GetClientSubsystemServices().SoundUpdate();
    // Keep the pointer position fresh for the cursor timer between messages.
    window.RefreshPointer();
    CClientApp* app = CClientApp::Instance();
    if (app) {
        PaceFrameTicks(platform::NowMs(), last_, app->frameInterval, app->options.frameSkipping,
                       [app](u32 skip) { app->ClientTick(skip); });
    }
    return true;
}

int RunClientMainLoop(ClientMainLoop& loop) {
    while (loop.RunPass()) {
        // Nothing in the pass waits: sleep a few milliseconds, or until the server sends
        // something, so an idle client does not spin. Input waits at most that long.
        if (ServerToClientQueue != nullptr) {
            ServerToClientQueue->WaitForPutAfter(ServerToClientQueue->PutCount(), kIdleWaitMs);
        } else {
            platform::Yield();
        }
    }
    return loop.ExitCode();
}
