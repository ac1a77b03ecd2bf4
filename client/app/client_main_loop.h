#pragma once
// The client thread's main loop: drain the message queue, poll the connection, update the
// sound and run the paced frame tick.
#include <functional>

#include "platform/types.h"

// The pacing rule of the frame tick. `last` is the time the previous interval began:
// - less than one interval since it: nothing;
// - one to two intervals: one normal tick, and `last` advances by exactly one interval
//   (a late frame is caught up by the next passes);
// - two intervals or more: with frameSkipping an update-only tick first, then a normal
//   tick, and `last` jumps to `now` (the backlog is dropped).
// `tick` is called with the skip-draw flag.
void PaceFrameTicks(u32 now, u32& last, u32 interval, bool frameSkipping,
                    const std::function<void(u32 skipDraw)>& tick);

class ClientMainLoop {
public:
    explicit ClientMainLoop(u32 startTime) : last_(startTime) {}

    // One pass of the loop; false when the quit message was taken (the loop ends).
    bool RunPass();
    // The quit message's code.
    int ExitCode() const { return exitCode_; }
    u32 Last() const { return last_; }
    // How long an idle loop may sleep after a pass at `now`: until the next frame is due
    // (0 when it is due already).
    u32 IdleWaitMs(u32 now) const;
    // The server-to-client put count seen before the pass polled the connection: a later
    // put holds bytes the pass has not read.
    u32 SeenPuts() const { return seenPuts_; }

    // The pacing interval when there is no client object.
    static constexpr u32 kFallbackIntervalMs = 50;

private:
    u32 last_;
    u32 seenPuts_ = 0;
    int exitCode_ = 0;
    bool closeRequested_ = false;
};

// Runs passes until the quit message; between passes it sleeps until the next frame is due
// or the server sends something.
int RunClientMainLoop(ClientMainLoop& loop);
