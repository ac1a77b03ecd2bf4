#include "server/frame/server_main_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <chrono>
#include <thread>
#include <vector>

#include "../server_services_scope.h"
#include "core/log_sink.h"
#include "core/loop_state.h"
#include "core/process_link.h"
#include "platform/client_window.h"
#include "platform/clock.h"
#include "platform/display_loss.h"
#include "recording_protocol.h"
#include "server/frame/progress_window.h"
#include "server/frame/time_manager.h"
#include "server/server_config.h"
#include "server/world/autosave.h"

// The client entry of this test program: a fake client that the tests steer. With a
// window it opens one and ends when the test closes it; without, it ends at once.
namespace {
std::atomic<bool> g_clientMakesWindow{false};
std::atomic<int> g_clientStarts{0};
std::atomic<u32> g_addressSeenByClient{0};
// Holds the fake client after its window closed, as a client stuck in a system call would be.
std::atomic<bool> g_clientHangs{false};
std::atomic<bool> g_clientEnded{false};
// The fake client's display goes away while it makes its window.
std::atomic<bool> g_clientLosesDisplay{false};
std::atomic<u32> g_displayLostAt{0};
}  // namespace

int ClientMain(const ProcessArgs&) {
    g_clientStarts.fetch_add(1);
    g_addressSeenByClient.store(ClientServerAddress.load());
    if (g_clientLosesDisplay.load()) {
        // Lost once the server waits for the window (its wait steps the clock).
        const u32 start = platform::NowMs();
        while (platform::ElapsedMs(start, platform::NowMs()) < 50)
            std::this_thread::yield();
        platform::ReportDisplayLost("the connection to the X server :98 was lost");
        // Read after the report: the server's wait steps the clock without sleeping, so a
        // client thread held between a reading taken first and the report would let the
        // clock run on by any amount before the loss is even known.
        g_displayLostAt = platform::NowMs();
    }
    if (g_clientMakesWindow.load()) {
        platform::SetClientWindowAlive(true);
        while (platform::IsClientWindowAlive())
            std::this_thread::yield();
    }
    while (g_clientHangs.load())
        std::this_thread::yield();
    g_clientEnded = true;
    return 0;
}

namespace {

// Start near the wrap of the millisecond clock so every run crosses it.
constexpr u32 kStartMs = 0xFFFFF000u;

// What the rest of the process looked like when a protocol service was called.
struct ServiceCall {
    std::string name;
    bool windowVisible;
    std::string status;
    bool barVisible;
    u32 time;
};

class ServerLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_quitFlag.store(0);
        g_pauseFlag.store(0);
        g_spawnClient = 0;
        g_clientMakesWindow = false;
        g_clientStarts = 0;
        ClientServerAddress.store(0);
        platform::SetClientWindowAlive(false);
        g_tickLatencyStats = TickLatencyStats{};
        SetNetServices(&protocol);
        window = std::make_unique<ProgressWindow>(
            std::make_unique<platform::ProgressView>(kProgressWindowCaption, nullptr, false));
        // The window exists before the loop starts, so start-up steps no clock.
        while (g_progressWindowHandle.load() == nullptr)
            std::this_thread::yield();
    }

    void TearDown() override {
        window.reset();
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        g_quitFlag.store(0);
        g_spawnClient = 1;
        platform::SetClientWindowAlive(false);
    }

    // Runs the server main loop; every pass steps the clock by `stepMs` and then calls
    // `onPass`. A tick takes `tickCost(n)` ms (n counts ticks from 1).
    // With `timeManagerTick` the loop runs its own world tick, the time manager.
    int Run(u32 stepMs, std::function<void()> onPass,
            std::function<u32(std::size_t)> tickCost = nullptr, bool timeManagerTick = false) {
        clock.onYield = [this, stepMs, onPass] {
            clock.Advance(stepMs);
            if (onPass) onPass();
        };
        ServerLoopHooks hooks;
        if (!timeManagerTick)
            hooks.worldTick = [this, tickCost] {
                ticks.push_back(platform::NowMs());
                platform::ProgressView* view = g_progressWindowHandle.load();
                windowVisibleDuringTicks |= view->State().visible;
                if (tickCost) clock.Advance(tickCost(ticks.size()));
            };
        hooks.saveWorld = [this] {
            saves.push_back(platform::NowMs());
            // As the real save does: the interval starts again.
            StartAutosaveClock(platform::NowMs());
        };
        int result = ServerMainLoop(hooks);
        clock.onYield = nullptr;
        return result;
    }

    std::vector<u32> Intervals() const {
        std::vector<u32> out;
        for (std::size_t i = 1; i < ticks.size(); ++i) {
            out.push_back(platform::ElapsedMs(ticks[i - 1], ticks[i]));
        }
        return out;
    }

    std::vector<std::string> CallNames() const {
        std::vector<std::string> names;
        for (const ServiceCall& c : calls)
            names.push_back(c.name);
        return names;
    }

    platform::ManualClock clock{kStartMs};
    // The real services, with the protocol's replaced by a recording one.
    ServerServicesScope services;
    RecordingProtocol protocol{[this](const std::string& name) {
        platform::ProgressView* view = g_progressWindowHandle.load();
        platform::ProgressViewState s = view ? view->State() : platform::ProgressViewState{};
        calls.push_back({name, s.visible, s.status, s.barVisible, platform::NowMs()});
    }};
    std::unique_ptr<ProgressWindow> window;
    std::vector<u32> ticks;
    std::vector<u32> saves;  // when the loop saved the world between ticks
    LogCapture log;
    std::vector<ServiceCall> calls;
    bool windowVisibleDuringTicks = false;
};

TEST_F(ServerLoopTest, TicksStartAtLeast250msAfterThePreviousStartAndDriftLater) {
    // Passes 7 ms apart: 250 is not a multiple of 7, so every tick comes at 252 ms and the
    // lateness adds up instead of being caught up.
    int result = Run(7, [this] {
        if (ticks.size() >= 20) RequestQuit();
    });
    EXPECT_EQ(result, 0);
    ASSERT_EQ(ticks.size(), 20u);
    for (u32 interval : Intervals())
        EXPECT_EQ(interval, 252u);
    EXPECT_EQ(platform::ElapsedMs(ticks.front(), ticks.back()), 19u * 252u);
    EXPECT_TRUE(log.Entries().empty());

    // All 20 intervals (the first counted from the end of start-up) went into the ring.
    const TickLatencyStats& stats = g_tickLatencyStats;
    EXPECT_EQ(stats.ringIndex, 20);
    EXPECT_EQ(stats.ring[0], 252);
    EXPECT_EQ(stats.ring[19], 252);
    EXPECT_EQ(stats.ring[20], 0);
    EXPECT_EQ(stats.ringPeak, 252);
    EXPECT_EQ(stats.ringMean, (20 * 252) >> 7);  // unwritten entries count as 0
    LogTickTiming();
    ASSERT_EQ(log.Entries().size(), 1u);
    EXPECT_EQ(log.Entries()[0].source, "timing");
    EXPECT_EQ(log.Entries()[0].severity, "timing");
    EXPECT_EQ(log.Entries()[0].message, "Average: 252 Peak: 252");
    EXPECT_EQ(log.Entries()[0].serial, 0u);
}

TEST_F(ServerLoopTest, ASlowTickIsLoggedOnceAndTheNextStartsFromItsStart) {
    // Tick 3 takes 40 ms, tick 5 exactly 10 ms (not more than 10: no entry).
    int result = Run(
        1,
        [this] {
            if (ticks.size() >= 8) RequestQuit();
        },
        [](std::size_t n) -> u32 { return n == 3   ? 40
                                          : n == 5 ? 10
                                                   : 0; });
    EXPECT_EQ(result, 0);
    ASSERT_EQ(log.Entries().size(), 1u);
    EXPECT_EQ(log.Entries()[0].source, "timing");
    EXPECT_EQ(log.Entries()[0].severity, "error");
    EXPECT_EQ(log.Entries()[0].message, kSlowTickMessage);
    std::vector<u32> intervals = Intervals();
    for (u32 interval : intervals)
        EXPECT_EQ(interval, 250u);
}

TEST_F(ServerLoopTest, TheWorldTickIsTheTimeManagerWhichReportsTickTiming) {
    g_timeManager.SetPulseNum(0);
    int result = Run(
        25,
        [] {
            if (g_timeManager.GetPulseNum() >= 1025) RequestQuit();
        },
        nullptr, true);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(g_timeManager.GetPulseNum(), 1025);
    // The report is logged at pulses 0 and 1024, each over the intervals since the last.
    std::vector<LogRecord> timing = log.FromSource("timing");
    ASSERT_EQ(timing.size(), 2u);
    for (const LogRecord& r : timing) {
        EXPECT_EQ(r.severity, "timing");
        EXPECT_EQ(r.message, "Average: 250 Peak: 250");
    }
    EXPECT_EQ(g_tickLatencyStats.reportCount, 0);  // the last pulse's interval was reported
}

TEST_F(ServerLoopTest, PauseFlagSkipsTheTick) {
    g_pauseFlag.store(1);
    Run(5, [] {
        if (platform::ElapsedMs(kStartMs, platform::NowMs()) >= 2000) RequestQuit();
    });
    EXPECT_TRUE(ticks.empty());
}

class SignalTest : public ServerLoopTest, public ::testing::WithParamInterface<int> {};

TEST_P(SignalTest, WithoutClientOnlyASignalEndsTheServerAfterItsShutdownSteps) {
    g_spawnClient = 0;
    protocol.RecordSocketPolls(true);
    const int signal = GetParam();
    int passes = 0;
    int result = Run(10, [&] {
        ++passes;
        if (platform::ElapsedMs(kStartMs, platform::NowMs()) >= 3000 && !IsQuitting()) {
            std::raise(signal);
        }
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(IsQuitting());
    EXPECT_EQ(g_clientStarts.load(), 0);  // no client thread
    EXPECT_EQ(ClientServerAddress.load(), 0x7F000001u);
    EXPECT_EQ(ticks.size(), 11u);  // 250, 500, ... 2750 ms
    EXPECT_FALSE(windowVisibleDuringTicks);
    EXPECT_EQ(protocol.LocalUserSock(), nullptr);

    // Start-up, one poll per pass, shutdown; in that order.
    std::vector<std::string> names = CallNames();
    ASSERT_GE(names.size(), 5u);
    EXPECT_EQ(names[0], "NoteServerPhase startup");
    EXPECT_EQ(names[1], "CreateLocalUserSock");
    EXPECT_EQ(names[2], "LoadTextFiles");
    EXPECT_EQ(names.back(), "DestroyAllSockets");
    int polls = 0;
    for (std::size_t i = 3; i + 1 < names.size(); ++i) {
        EXPECT_EQ(names[i], "OnReadable");  // nothing pending: never a flush
        ++polls;
    }
    EXPECT_GE(polls, passes - 2);

    // The window said "Initializing..." without a bar during start-up, and was shown again
    // with "Exiting..." before the sockets went.
    EXPECT_EQ(calls[1].status, "Initializing...");
    EXPECT_FALSE(calls[1].barVisible);
    EXPECT_TRUE(calls.back().windowVisible);
    EXPECT_EQ(calls.back().status, "Exiting...");
    // While it runs, the status says so and how to end it (no client: only the signal).
    EXPECT_FALSE(calls[3].windowVisible);
    EXPECT_EQ(calls[3].status, kRunningWithoutClientStatus);
    EXPECT_FALSE(calls[3].barVisible);
}

INSTANTIATE_TEST_SUITE_P(SigintAndSigterm, SignalTest, ::testing::Values(SIGINT, SIGTERM));

TEST_F(ServerLoopTest, TheClosedClientWindowIsNoticedAtTheNext5000msCheck) {
    g_spawnClient = 1;
    g_clientMakesWindow = true;
    bool seen = false;
    u32 seenAt = 0, closedAt = 0;
    std::string statusWhileRunning;
    int result = Run(1, [&] {
        u32 now = platform::NowMs();
        if (!seen && platform::IsClientWindowAlive()) {
            seen = true;
            seenAt = now - 1;  // the pass that first saw the window, before this step
        }
        if (seen && closedAt == 0 && platform::ElapsedMs(seenAt, now) >= 7000) {
            closedAt = now;
            statusWhileRunning = g_progressWindowHandle.load()->State().status;
            platform::SetClientWindowAlive(false);
        }
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(IsQuitting());
    EXPECT_EQ(g_clientStarts.load(), 1);
    EXPECT_EQ(g_addressSeenByClient.load(), 0x7F000001u);  // set before the client starts
    ASSERT_TRUE(seen);
    // Checks at 5000 and 10000 ms after the window was first seen: the window closed at
    // 7000 is noticed at 10000, and the server shuts down then.
    ASSERT_EQ(calls.back().name, "DestroyAllSockets");
    EXPECT_EQ(platform::ElapsedMs(seenAt, calls.back().time), 10000u);
    EXPECT_LE(platform::ElapsedMs(closedAt, calls.back().time), 5000u);
    EXPECT_EQ(calls.back().status, "Exiting...");
    // While the game ran the status said how to end it.
    EXPECT_EQ(statusWhileRunning, kRunningStatus);
    // Ticks went on while the window lived (timed from the end of start-up, which the wait
    // for the first window may move by a few ms).
    EXPECT_NEAR(static_cast<double>(ticks.size()), 10000.0 / 250.0, 1.0);
}

TEST_F(ServerLoopTest, AClientThatEndsWithoutAWindowEndsTheServer) {
    g_spawnClient = 1;
    g_clientMakesWindow = false;
    int result = Run(1, nullptr);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(IsQuitting());
    EXPECT_EQ(g_clientStarts.load(), 1);
    EXPECT_EQ(CallNames().back(), "DestroyAllSockets");
}

// A client that does not end within its grace time after the window closed is left running,
// and the process is told so (it must then end without tearing down what that client uses).
TEST_F(ServerLoopTest, AClientThatDoesNotEndInTimeIsLeftRunningAndSaidSo) {
    g_spawnClient = 1;
    g_clientMakesWindow = true;
    g_clientHangs = true;
    g_clientEnded = false;
    int result = Run(1, [&] {
        if (platform::IsClientWindowAlive() &&
            platform::ElapsedMs(kStartMs, platform::NowMs()) >= 2000)
            platform::SetClientWindowAlive(false);
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(ClientThreadLeftRunning());
    EXPECT_FALSE(g_clientEnded.load());
    // Released, the detached client ends on its own.
    g_clientHangs = false;
    for (int i = 0; i < 100000 && !g_clientEnded.load(); ++i)
        std::this_thread::yield();
    EXPECT_TRUE(g_clientEnded.load());
    // A client that ends in time is joined.
    g_clientEnded = false;
    Run(1, [&] {
        if (platform::IsClientWindowAlive() &&
            platform::ElapsedMs(kStartMs, platform::NowMs()) >= 2000)
            platform::SetClientWindowAlive(false);
    });
    EXPECT_FALSE(ClientThreadLeftRunning());
}

// The world is saved every 5 minutes of running, right after a tick, never during one.
TEST_F(ServerLoopTest, TheWorldIsSavedRightAfterATickEveryFiveMinutes) {
    int result = Run(50, [] {
        if (platform::ElapsedMs(kStartMs, platform::NowMs()) >= 11 * 60 * 1000) RequestQuit();
    });
    EXPECT_EQ(result, 0);
    ASSERT_EQ(saves.size(), 2u);
    const u32 first = platform::ElapsedMs(kStartMs, saves[0]);
    EXPECT_GE(first, kAutosaveIntervalMs);
    EXPECT_LT(first, kAutosaveIntervalMs + 250 + 50);
    const u32 between = platform::ElapsedMs(saves[0], saves[1]);
    EXPECT_GE(between, kAutosaveIntervalMs);
    EXPECT_LT(between, kAutosaveIntervalMs + 250 + 50);
    // Each save follows a tick in the same pass.
    for (u32 at : saves)
        EXPECT_NE(std::find(ticks.begin(), ticks.end(), at), ticks.end()) << at;
}

// A display lost under the running game (the X server gone, the window destroyed by another
// client) ends the loop in order: the shutdown steps run, one line names the cause and the
// answer is not 0.
TEST_F(ServerLoopTest, ALostDisplayEndsTheGameInOrderNamingTheCause) {
    g_spawnClient = 0;
    u32 lostAt = 0;
    testing::internal::CaptureStderr();
    int result = Run(10, [&] {
        if (lostAt == 0 && platform::ElapsedMs(kStartMs, platform::NowMs()) >= 1000) {
            lostAt = platform::NowMs();
            platform::ReportDisplayLost("the connection to the X server :99 was lost");
        }
    });
    const std::string said = testing::internal::GetCapturedStderr();
    platform::ClearDisplayLoss();
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(IsQuitting());
    ASSERT_EQ(CallNames().back(), "DestroyAllSockets");
    EXPECT_EQ(calls.back().status, "Exiting...");
    EXPECT_LE(platform::ElapsedMs(lostAt, calls.back().time), 10u);
    EXPECT_NE(said.find("zqdemo: the game ended because the connection to the X server :99 "
                        "was lost\n"),
              std::string::npos)
        << said;
}

// The display lost before the client's window was ever shown: the wait for the window ends,
// and the game ends naming the cause instead of waiting for a window that never comes.
TEST_F(ServerLoopTest, ADisplayLostWhileTheWindowIsMadeEndsTheGame) {
    g_spawnClient = 1;
    g_displayLostAt = 0;
    g_clientLosesDisplay = true;
    g_clientHangs = true;
    testing::internal::CaptureStderr();
    const int result = Run(1, nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    // The loop may end before the client thread, held after its report, wrote the time down
    // (the game leaves that thread running): wait for it, bounded.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (g_displayLostAt.load() == 0 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::yield();
    g_clientLosesDisplay = false;
    g_clientHangs = false;
    platform::ClearDisplayLoss();
    ASSERT_NE(g_displayLostAt.load(), 0u) << "the client never reported the loss";
    EXPECT_EQ(result, 1);
    // Noticed within a few turns of the wait (5 ms of the stepped clock each): the wait spins
    // without sleeping, so the turns a report takes to become visible to the server thread run
    // the clock on. The shutdown after it steps no clock.
    EXPECT_LE(platform::ElapsedMs(g_displayLostAt.load(), platform::NowMs()), 50u);
    EXPECT_TRUE(ClientThreadLeftRunning());
    EXPECT_NE(said.find("the game ended because the connection to the X server :98 was lost"),
              std::string::npos)
        << said;
    EXPECT_EQ(said.find("without a window"), std::string::npos) << said;
}

// The statistics of tick intervals, recorded directly.
TEST(TickLatencyStats, RingMeanPeakAndReport) {
    platform::ManualClock clock(1000);
    LogCapture log;
    TickLatencyStats stats;
    auto tick = [&](u32 interval) {
        u32 previous = clock.Now();
        clock.Advance(interval);
        stats.RecordTickInterval(previous);
        stats.AccumulateTickTiming();
    };

    stats.LogTickTiming();  // nothing recorded: nothing logged, nothing changed
    EXPECT_TRUE(log.Entries().empty());

    struct Case {
        u32 interval;
        s32 ringIndex, mean, peak, count;
    };
    const Case cases[] = {
        {256, 1, 256 >> 7, 256, 1},  // one entry among 127 zeros
        {9, 1, 256 >> 7, 256, 1},    // below 10 ms: not recorded
        {300, 2, 556 >> 7, 300, 2},  // a new peak
        {250, 3, 806 >> 7, 300, 3},
    };
    for (const Case& c : cases) {
        tick(c.interval);
        EXPECT_EQ(stats.lastInterval, static_cast<s32>(c.interval));
        EXPECT_EQ(stats.ringIndex, c.ringIndex) << c.interval;
        EXPECT_EQ(stats.ringMean, c.mean) << c.interval;
        EXPECT_EQ(stats.ringPeak, c.peak) << c.interval;
        EXPECT_EQ(stats.reportCount, c.count) << c.interval;
    }

    stats.LogTickTiming();
    ASSERT_EQ(log.Entries().size(), 1u);
    EXPECT_EQ(log.Entries()[0].source, "timing");
    EXPECT_EQ(log.Entries()[0].severity, "timing");
    EXPECT_EQ(log.Entries()[0].message, "Average: 268 Peak: 300");  // (256 + 300 + 250) / 3
    EXPECT_EQ(stats.reportCount, 0);
    EXPECT_EQ(stats.reportSum, 0);
    EXPECT_EQ(stats.reportLargest, 0);
    stats.LogTickTiming();
    EXPECT_EQ(log.Entries().size(), 1u);

    // A clock that went backwards gives a negative interval: not recorded.
    u32 ahead = clock.Now() + 100;
    stats.RecordTickInterval(ahead);
    stats.AccumulateTickTiming();
    EXPECT_EQ(stats.ringIndex, 3);
    EXPECT_EQ(stats.reportCount, 0);

    // After 128 entries the ring wraps and the mean is over real entries only.
    for (int i = 0; i < 128; ++i)
        tick(260);
    EXPECT_EQ(stats.ringIndex, 3);
    EXPECT_EQ(stats.ringMean, 260);
    EXPECT_EQ(stats.ringPeak, 260);
    stats.ClearRing();
    EXPECT_EQ(stats.ring[5], 0);
}

}  // namespace
