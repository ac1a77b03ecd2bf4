#pragma once
// The server's main loop on the process's first thread: start-up (links, local connection,
// world, client thread), then until the quit flag is set: watch the client window, poll the
// local connection and run the world tick every 250 ms; then shutdown. Also the statistics
// of the intervals between tick starts, and the launch and watch of the client thread.
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "platform/types.h"

// While non-zero the main loop skips the world tick (nothing sets it yet).
extern std::atomic<int> g_pauseFlag;

// The intervals between the starts of consecutive world ticks.
struct TickLatencyStats {
    static constexpr int kRingSize = 128;

    s32 ring[kRingSize] = {};  // intervals in ms; entries not yet written are 0
    s32 ringIndex = 0;         // where the next interval goes
    s32 ringMean = 0;          // mean over all 128 entries
    s32 ringPeak = 0;          // largest entry
    s32 lastInterval = 0;
    // What LogTickTiming reports and then empties.
    s32 reportSum = 0;
    s32 reportCount = 0;
    s32 reportLargest = 0;

    // Called as a tick begins with the start time of the previous tick.
    void RecordTickInterval(u32 previousTickStart);
    void AccumulateTickTiming();
    // Logs "Average: <mean> Peak: <largest>" (source "timing", severity "timing") and
    // empties the report; does nothing while the report is empty.
    void LogTickTiming();
    void ClearRing();
};

extern TickLatencyStats g_tickLatencyStats;

// The same operations on the process's statistics.
void RecordTickInterval(u32 previousTickStart);
void AccumulateTickTiming();
void LogTickTiming();  // called by the world tick every 1024th pulse

// The text of the entry written when a world tick took too long.
inline constexpr const char* kSlowTickMessage = "CTimeManager::Update() took > 10 seconds.";

// The status left on the progress window once start-up is done: the game runs, and how to
// end it (with the built-in client, and without it).
inline constexpr const char* kRunningStatus =
    "Running. To quit, close the game window or press Ctrl-C.";
inline constexpr const char* kRunningWithoutClientStatus =
    "Running without the game client. To quit, press Ctrl-C.";

// Sets the quit flag; installed for SIGTERM and SIGINT.
void QuitSignalHandler(int signal);

// The client thread's launch and watch; one object on the main thread's stack for the
// whole loop.
struct ClientLauncher {
    std::thread thread;
    bool windowSeen = false;
    bool windowGone = false;
    u32 lastCheck = 0;
    bool startFailed = false;  // the thread could not be created
};

// When `spawnclient` is 0 starts nothing and answers 0. Otherwise starts the client
// thread (which runs ClientThreadStart) and answers 1, or -1 when it cannot be created.
int StartClientThread(ClientLauncher& launcher);
// The body of the client thread: runs the client entry with the saved process arguments;
// answers 0 when it returns.
int ClientThreadStart(void* parameter);
// 1 while the client lives, 0 once it is gone. The first call waits until the client's
// window exists; later calls look again every 5000 ms.
int WatchClientWindow(ClientLauncher& launcher);

// Called once before the loop and then every 600 ms; nothing to do yet.
void PeriodicHousekeeping();

// What the loop calls that tests may replace.
struct ServerLoopHooks {
    std::function<void()> worldTick;  // null: CTimeManager::Update
    // The save between two ticks when one is due (server/world/autosave.h); null: the world
    // is written to its save.
    std::function<void()> saveWorld;
};

// Start-up, loop and shutdown. The world is saved every 5 minutes and after a player logs
// out, right after a tick, so the save has the whole interval until the next one; the
// environment variable ZQ_AUTOSAVE_CLOCK_AHEAD_MS starts that 5-minute clock the given time
// into its interval (tests use it instead of waiting). A display lost under the game
// (platform/display_loss.h) ends the loop like a quit request, and the answer is then 1
// after one line naming the cause.
// Answers 0, or 1 when the world cannot be built from its data files, when the final save
// failed or when the display was lost (the reason is already printed). The first form installs the
// server's services (InstallServerServices) and runs the loop with its own world tick; the second
// runs with the services already in force, which tests install.
int ServerMainLoop();
int ServerMainLoop(const ServerLoopHooks& hooks);
// Whether the last loop ended with the client thread still running (it did not end within
// its grace time, or it is held by a lost display). The process must then end without
// running the destructors of what that thread may still use.
bool ClientThreadLeftRunning();
