#include "server/frame/server_main_loop.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>

#include "core/chunk_queue.h"
#include "core/log_sink.h"
#include "core/loop_state.h"
#include "core/process_link.h"
#include "platform/client_window.h"
#include "platform/clock.h"
#include "platform/display_loss.h"
#include "server/frame/progress_window.h"
#include "server/frame/server_services.h"
#include "server/frame/time_manager.h"
#include "server/net/local_connection.h"
#include "server/net/net_services.h"
#include "server/server_config.h"
#include "server/world/autosave.h"
#include "server/world/world_data_files.h"
#include "server/world/world_init.h"

std::atomic<int> g_pauseFlag{0};
TickLatencyStats g_tickLatencyStats;

namespace {

constexpr u32 kTickIntervalMs = 250;
constexpr u32 kHousekeepingIntervalMs = 600;
// The longest an idle pass sleeps, so a signal or the client's window closing is seen soon.
constexpr u32 kMaxIdleWaitMs = 20;
constexpr u32 kWindowCheckIntervalMs = 5000;
constexpr u32 kSlowTickMs = 10;
constexpr s32 kShortestRecordedInterval = 10;
constexpr u32 kLocalHost = 0x7F000001;  // 127.0.0.1
// How long shutdown waits for a client thread that is still ending.
constexpr u32 kClientEndWaitMs = 5000;

// A system entry of the server's log: no acting player, serial 0, no actor name.
void FrameLog(const char* source, const char* severity, const std::string& message) {
    GetLogSink().Log(0, 0, 0, "", source, severity, message.c_str());
}

// How far into its 5-minute interval the autosave clock starts (ZQ_AUTOSAVE_CLOCK_AHEAD_MS,
// at most one interval).
u32 AutosaveClockAhead() {
    const char* text = std::getenv("ZQ_AUTOSAVE_CLOCK_AHEAD_MS");
    if (!text || !*text) return 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (*end != '\0') return 0;
    return static_cast<u32>(std::min<unsigned long long>(value, kAutosaveIntervalMs));
}

// The save between ticks; a failure is logged (and so shown) and tried again later.
void SaveWorldBetweenTicks() {
    std::string error;
    if (SaveRunningWorld(platform::NowMs(), &error) != 0) FrameLog("save", "error", error);
}

// The client thread's end, shared with the thread, which may outlive the launcher.
struct ClientEnd {
    std::atomic<bool> ended{false};
};

}  // namespace

// --- tick statistics -------------------------------------------------------------------

void TickLatencyStats::RecordTickInterval(u32 previousTickStart) {
    lastInterval = static_cast<s32>(platform::NowMs() - previousTickStart);
    if (lastInterval < kShortestRecordedInterval) return;
    ring[ringIndex] = lastInterval;
    ringIndex = (ringIndex + 1) % kRingSize;
    s64 sum = 0;
    s32 peak = 0;
    for (s32 entry : ring) {
        sum += entry;
        if (entry > peak) peak = entry;
    }
    ringPeak = peak;
    ringMean = static_cast<s32>(sum >> 7);
}

void TickLatencyStats::AccumulateTickTiming() {
    if (lastInterval < kShortestRecordedInterval) return;
    u32 interval = static_cast<u32>(lastInterval);
    if (interval > static_cast<u32>(reportLargest)) reportLargest = lastInterval;
    // The sum wraps like the clock rather than overflowing.
    reportSum = static_cast<s32>(static_cast<u32>(reportSum) + interval);
    ++reportCount;
}

void TickLatencyStats::LogTickTiming() {
    if (reportCount == 0) return;
    u32 average = static_cast<u32>(reportSum) / static_cast<u32>(reportCount);
    FrameLog("timing", "timing",
             "Average: " + std::to_string(average) +
                 " Peak: " + std::to_string(static_cast<u32>(reportLargest)));
    reportSum = 0;
    reportCount = 0;
    reportLargest = 0;
}

void TickLatencyStats::ClearRing() {
    for (s32& entry : ring)
        entry = 0;
}

void RecordTickInterval(u32 previousTickStart) {
    g_tickLatencyStats.RecordTickInterval(previousTickStart);
}
void AccumulateTickTiming() {
    g_tickLatencyStats.AccumulateTickTiming();
}
void LogTickTiming() {
    g_tickLatencyStats.LogTickTiming();
}

// --- signals, housekeeping -------------------------------------------------------------

void QuitSignalHandler(int) {
    RequestQuit();
}

void PeriodicHousekeeping() {}

// --- the client thread -----------------------------------------------------------------

int ClientThreadStart(void*) {
    ClientMain(SavedProcessArgs());
    return 0;
}

namespace {
std::shared_ptr<ClientEnd> g_clientEnd;
bool g_clientLeftRunning = false;
}

int StartClientThread(ClientLauncher& launcher) {
    if (g_spawnClient == 0) return 0;
    auto end = std::make_shared<ClientEnd>();
    try {
        launcher.thread = std::thread([end] {
            ClientThreadStart(nullptr);
            end->ended.store(true, std::memory_order_release);
        });
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "zqdemo: cannot start the client thread: %s\n", e.what());
        launcher.startFailed = true;
        return -1;
    }
    g_clientEnd = end;
    return 1;
}

int WatchClientWindow(ClientLauncher& launcher) {
    if (g_spawnClient == 0) return 1;
    if (launcher.windowGone) return 0;
    if (!launcher.windowSeen) {
        // Wait for the client's window. A client that could not start, or that ended
        // without ever making its window, will not make one: the client is gone.
        while (!platform::IsClientWindowAlive()) {
            bool ended = launcher.startFailed ||
                         (g_clientEnd && g_clientEnd->ended.load(std::memory_order_acquire));
            // A display lost while the window was being made: the loop names the cause.
            if (ended || IsQuitting() || platform::DisplayLostCause()) {
                if (ended) std::fprintf(stderr, "zqdemo: the client ended without a window\n");
                launcher.windowGone = true;
                return 0;
            }
            platform::SleepMs(5);
        }
        launcher.windowSeen = true;
        launcher.lastCheck = platform::NowMs();
        return 1;
    }
    u32 now = platform::NowMs();
    if (!platform::HasElapsed(launcher.lastCheck, now, kWindowCheckIntervalMs)) return 1;
    launcher.lastCheck = now;
    if (platform::IsClientWindowAlive()) return 1;
    launcher.windowGone = true;
    return 0;
}

namespace {

// The client thread is not waited for while the server runs; at the very end the process
// gives a client that is ending a moment to finish before the process tears down.
void FinishClientThread(ClientLauncher& launcher) {
    if (!launcher.thread.joinable()) return;
    // A client thread held in Xlib's handler of a lost connection never ends: the process
    // ends without it.
    if (platform::DisplayLostCause()) {
        g_clientLeftRunning = true;
        launcher.thread.detach();
        g_clientEnd.reset();
        return;
    }
    u32 start = platform::NowMs();
    while (g_clientEnd && !g_clientEnd->ended.load(std::memory_order_acquire) &&
           !platform::HasElapsed(start, platform::NowMs(), kClientEndWaitMs)) {
        platform::SleepMs(5);
    }
    if (g_clientEnd && g_clientEnd->ended.load(std::memory_order_acquire)) {
        launcher.thread.join();
    } else {
        g_clientLeftRunning = true;
        launcher.thread.detach();
    }
    g_clientEnd.reset();
}

}  // namespace

// --- the loop --------------------------------------------------------------------------

int ServerMainLoop() {
    InstallServerServices();
    return ServerMainLoop(ServerLoopHooks{});
}

bool ClientThreadLeftRunning() {
    return g_clientLeftRunning;
}

int ServerMainLoop(const ServerLoopHooks& hooks) {
    g_clientLeftRunning = false;
    // Start-up.
    SetLoopTime(platform::NowMs());
    std::signal(SIGTERM, QuitSignalHandler);
    std::signal(SIGINT, QuitSignalHandler);
    NetServices& net = GetNetServices();
    net.NoteServerPhase("startup");
    while (g_progressWindowHandle.load(std::memory_order_acquire) == nullptr)
        platform::Yield();

    ClientLauncher launcher;
    ClientServerAddress.store(kLocalHost, std::memory_order_release);
    // The two links live until the process ends (made once per process).
    if (ClientToServerQueue == nullptr) ClientToServerQueue = new ChunkQueue;
    if (ServerToClientQueue == nullptr) ServerToClientQueue = new ChunkQueue;
    SetStartupStatus("Initializing...");
    SetStartupProgress(-1);
    net.CreateLocalUserSock();
    if (CreateWorld(g_serverConfig.width, g_serverConfig.height, SetStartupProgress) != 0) {
        net.DestroyAllSockets();
        return 1;
    }
    // Asked to end while the world loaded: nothing more starts (the partial world is not
    // saved).
    if (IsQuitting()) {
        SetStartupStatus("Exiting...");
        const int saved = SaveWorldAtShutdown();
        net.DestroyAllSockets();
        return saved;
    }
    net.LoadTextFiles();
    // The game clock goes on from the hour the world was saved at.
    g_timeManager.SetHour(GetLoadedWorldData().gameHour);
    g_tickLatencyStats.ClearRing();
    PeriodicHousekeeping();
    u32 housekeepingTime = platform::NowMs();
    u32 tickTime = housekeepingTime;
    StartClientThread(launcher);
    // The last status stays on the terminal while the game runs: say that it runs and how
    // to end it, rather than leave "Initializing..." standing.
    SetStartupProgress(-1);
    SetStartupStatus(g_spawnClient != 0 ? kRunningStatus : kRunningWithoutClientStatus);
    ShowStartupWindow(false);

    // The world tick reports the tick intervals every 1024th pulse.
    g_timeManager.SetTickTimingReport(&LogTickTiming);
    std::function<void()> worldTick = hooks.worldTick;
    if (!worldTick) worldTick = [] { g_timeManager.Update(); };
    std::function<void()> saveWorld = hooks.saveWorld;
    if (!saveWorld) saveWorld = &SaveWorldBetweenTicks;
    StartAutosaveClock(platform::NowMs(), AutosaveClockAhead());

    // The loop.
    while (!IsQuitting()) {
        if (platform::DisplayLostCause()) {
            RequestQuit();
            break;
        }
        if (!WatchClientWindow(launcher)) {
            RequestQuit();
            break;
        }
        u32 loopTime = platform::NowMs();
        SetLoopTime(loopTime);
        if (platform::HasElapsed(housekeepingTime, loopTime, kHousekeepingIntervalMs)) {
            housekeepingTime = loopTime;
            PeriodicHousekeeping();
        }
        const u32 seenPuts = ClientToServerQueue->PutCount();
        if (CUserSock* local = net.LocalUserSock()) {
            local->OnReadable();
            if (local->HasPendingOutput()) local->FlushSendQueue();
        }
        if (g_pauseFlag.load(std::memory_order_relaxed) == 0) {
            u32 now = platform::NowMs();
            // Ticks are timed from the start of the previous tick, not from when it was
            // due: a late tick never makes the next one come early.
            if (platform::HasElapsed(tickTime, now, kTickIntervalMs)) {
                RecordTickInterval(tickTime);
                AccumulateTickTiming();
                tickTime = now;
                worldTick();
                if (platform::ElapsedMs(now, platform::NowMs()) > kSlowTickMs) {
                    FrameLog("timing", "error", kSlowTickMessage);
                }
                // Right after a tick: the save has the whole interval until the next one.
                if (IsWorldSaveDue(platform::NowMs())) saveWorld();
            }
        }
        // Sleep until the client sends something or the next tick is due, so an idle
        // server does not burn a core.
        const u32 sinceTick = platform::ElapsedMs(tickTime, platform::NowMs());
        const u32 untilTick = sinceTick >= kTickIntervalMs ? 0 : kTickIntervalMs - sinceTick;
        const u32 wait = std::min(untilTick, kMaxIdleWaitMs);
        if (wait == 0) {
            platform::Yield();
        } else {
            ClientToServerQueue->WaitForPutAfter(seenPuts, wait);
        }
    }

    // Shutdown: the world is written back before anything of it goes.
    ShowStartupWindow(true);
    SetStartupStatus("Exiting...");
    const int saved = SaveWorldAtShutdown();
    net.DestroyAllSockets();
    FinishClientThread(launcher);
    if (const char* cause = platform::DisplayLostCause()) {
        std::fprintf(stderr, "zqdemo: the game ended because %s\n", cause);
        std::fflush(stderr);
        return 1;
    }
    return saved;
}
