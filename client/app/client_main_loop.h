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

private:
    u32 last_;
    int exitCode_ = 0;
    bool closeRequested_ = false;
};

// Runs passes until the quit message; yields the processor in idle passes.
int RunClientMainLoop(ClientMainLoop& loop);
