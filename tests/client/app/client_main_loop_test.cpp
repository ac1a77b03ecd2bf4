#include "client/app/client_main_loop.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "client/app/client_app.h"
#include "client/app/full_screen_display.h"
#include "client/app/main_window.h"
#include "client/data/fonts.h"
#include "client/net/local_link.h"
#include "client_subsystem_trace.h"
#include "client_test_env.h"
#include "core/chunk_queue.h"
#include "core/loop_state.h"
#include "core/process_link.h"
#include "platform/client_window.h"
#include "platform/clock.h"
#include "platform/instance_lock.h"
#include "platform/keys.h"

namespace {

struct PaceCase {
    const char* what;
    u32 elapsed;
    bool frameSkipping;
    std::vector<u32> ticks;  // skip-draw flags of the ticks run
    u32 lastAfter;           // relative to the old `last`
};

TEST(PaceFrameTicks, OneIntervalCatchUpAndSkipping) {
    const PaceCase cases[] = {
        {"too early", 49, false, {}, 0},
        {"one interval", 50, false, {0}, 50},
        {"late but under two: advance by one interval", 99, false, {0}, 50},
        {"two intervals: one tick, backlog dropped", 120, false, {0}, 120},
        {"two intervals with skipping", 120, true, {1, 0}, 120},
        {"exactly two intervals with skipping", 100, true, {1, 0}, 100},
    };
    for (const PaceCase& c : cases) {
        // Start near the wrap of the millisecond counter: differences stay right.
        u32 last = 0xFFFFFFF0u;
        std::vector<u32> ticks;
        PaceFrameTicks(last + c.elapsed, last, 50, c.frameSkipping,
                       [&](u32 skip) { ticks.push_back(skip); });
        EXPECT_EQ(ticks, c.ticks) << c.what;
        EXPECT_EQ(last - 0xFFFFFFF0u, c.lastAfter) << c.what;
    }
}

TEST(PaceFrameTicks, CatchUpPassesRunOneTickEach) {
    u32 last = 1000;
    int ticks = 0;
    // A pass at 1070 (one late tick), then passes at 1100 and 1150 catch up on schedule.
    for (u32 now : {1070u, 1100u, 1120u, 1150u}) {
        PaceFrameTicks(now, last, 50, false, [&](u32) { ++ticks; });
    }
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(last, 1150u);
}

// Builds the client's object and window the way ClientMain does, on a manual clock.
class ClientLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = &CClientApp::CreateInstance();
        TheMainWindow().Create(ProcessArgs{}, *app_);
    }
    void TearDown() override {
        TheMainWindow().KillCursorTimer();
        ReleaseFullScreenDisplay();
        CClientApp::DestroyInstance();
    }
    ClientSubsystemTrace subsystems_;
    ClientTestEnv env_;
    platform::ManualClock clock_{100000};
    CClientApp* app_ = nullptr;
};

TEST_F(ClientLoopTest, FrameSkippingPathUpdatesWithoutDrawing) {
    app_->options.frameSkipping = true;
    ClientMainLoop loop(platform::NowMs());
    clock_.Advance(120);
    subsystems_.Start();
    ASSERT_TRUE(loop.RunPass());
    auto trace = subsystems_.Take();
    // The update-only tick ran; the normal tick right after it met the 76 ms gate.
    EXPECT_EQ(app_->realTicks, 1u);
    EXPECT_EQ(app_->framesDrawn, 0u);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "DrawWorldViewFrame"), 0);
    EXPECT_EQ(loop.Last(), platform::NowMs());

    app_->options.frameSkipping = false;
    clock_.Advance(120);
    ASSERT_TRUE(loop.RunPass());
    EXPECT_EQ(app_->realTicks, 2u);
    EXPECT_EQ(app_->framesDrawn, 1u);
    EXPECT_EQ(env_.Backend().PresentCount(), 1u);
}

TEST_F(ClientLoopTest, AnIdleLoopSleepsUntilTheNextFrameOrTheNextPacket) {
    if (ServerToClientQueue == nullptr) ServerToClientQueue = new ChunkQueue;
    ClientMainLoop loop(platform::NowMs());
    // Until the next frame is due, not a few milliseconds.
    EXPECT_EQ(loop.IdleWaitMs(platform::NowMs()), 50u);
    clock_.Advance(20);
    ASSERT_TRUE(loop.RunPass());
    EXPECT_EQ(loop.IdleWaitMs(platform::NowMs()), 30u);
    clock_.Advance(30);
    EXPECT_EQ(loop.IdleWaitMs(platform::NowMs()), 0u);
    ASSERT_TRUE(loop.RunPass());
    EXPECT_EQ(loop.IdleWaitMs(platform::NowMs()), 50u);
    // Bytes the server sends after the pass polled wake the wait that follows it.
    const u8 packet[] = {0x55};
    ASSERT_EQ(ServerToClientQueue->Put(packet, 1), 1);
    EXPECT_TRUE(ServerToClientQueue->WaitForPutAfter(loop.SeenPuts(), 50));
    u8 drain[16];
    ServerToClientQueue->Get(drain, sizeof drain);
    // The cursor timer wakes the wait without bytes.
    const u32 seen = ServerToClientQueue->PutCount();
    WakeClientLoop();
    EXPECT_TRUE(ServerToClientQueue->WaitForPutAfter(seen, 50));
    EXPECT_EQ(ServerToClientQueue->Get(drain, sizeof drain), 0);
}

TEST_F(ClientLoopTest, MessagesAreDrainedBeforeTheConnectionIsPolled) {
    ClientMainLoop loop(platform::NowMs());
    for (int i = 0; i < 3; ++i) {
        platform::InputEvent move;
        move.type = platform::EventType::kMouseMove;
        move.x = i;
        env_.Backend().Inject(move);
    }
    subsystems_.Start();
    ASSERT_TRUE(loop.RunPass());
    auto trace = subsystems_.Take();
    EXPECT_EQ(env_.Backend().PendingEvents(), 0u);
    std::vector<std::string> expected = {"SoundUpdate", "SoundUpdate", "SoundUpdate",
                                         "PollConnection", "SoundUpdate"};
    EXPECT_EQ(trace, expected);
}

TEST_F(ClientLoopTest, CloseEndsTheLoopWithCodeZeroAndTheWindowGone) {
    ClientMainLoop loop(platform::NowMs());
    EXPECT_TRUE(platform::IsClientWindowAlive());
    ASSERT_TRUE(loop.RunPass());  // nothing to do: the loop goes on
    env_.Backend().InjectClose();
    platform::InputEvent late;
    late.type = platform::EventType::kMouseMove;
    env_.Backend().Inject(late);
    subsystems_.Start();
    EXPECT_FALSE(loop.RunPass());
    auto trace = subsystems_.Take();
    EXPECT_EQ(loop.ExitCode(), 0);
    EXPECT_TRUE(app_->quitting.load());
    EXPECT_FALSE(platform::IsClientWindowAlive());
    EXPECT_FALSE(env_.Backend().IsWindowOpen());
    EXPECT_NE(std::find(trace.begin(), trace.end(), "SaveDesktop"), trace.end());
    // The connection is not polled once the quit message is taken.
    EXPECT_EQ(std::find(trace.begin(), trace.end(), "PollConnection"), trace.end());
}

TEST_F(ClientLoopTest, AProcessQuitClosesTheWindowInOrder) {
    ClientMainLoop loop(platform::NowMs());
    ASSERT_TRUE(loop.RunPass());
    RequestQuit();
    subsystems_.Start();
    EXPECT_FALSE(loop.RunPass());
    auto trace = subsystems_.Take();
    g_quitFlag.store(0);  // the flag is process-wide: put it back for the next test
    EXPECT_EQ(loop.ExitCode(), 0);
    EXPECT_FALSE(platform::IsClientWindowAlive());
    EXPECT_NE(std::find(trace.begin(), trace.end(), "SaveDesktop"), trace.end());
}

TEST_F(ClientLoopTest, ExitCommandClosesTheWindow) {
    ClientMainLoop loop(platform::NowMs());
    ClientMessage command;
    command.kind = ClientMessage::Kind::kCommand;
    command.value = kCmdExit;
    TheMainWindow().PostMessage(command);
    EXPECT_FALSE(loop.RunPass());
    EXPECT_FALSE(platform::IsClientWindowAlive());
}

TEST_F(ClientLoopTest, FullScreenCommandSwitchesAndSwitchesBack) {
    TheMainWindow().SendCommand(kCmdToggleFullScreen);
    EXPECT_TRUE(env_.Backend().IsFullScreen());
    EXPECT_TRUE(TheFullScreenDisplay().active);
    TheMainWindow().SendCommand(kCmdToggleFullScreen2);
    EXPECT_FALSE(env_.Backend().IsFullScreen());
    EXPECT_FALSE(TheFullScreenDisplay().active);
    // A switch is not a destruction: the client keeps running.
    EXPECT_FALSE(app_->quitting.load());
}

void Press(platform::HeadlessBackend& b, u32 vk, bool down, bool repeat = false) {
    b.InjectKey(vk, down, repeat);
    ClientMessage m;
    while (TheMainWindow().TakeMessage(m))
        TheMainWindow().Dispatch(m);
}

TEST_F(ClientLoopTest, KeyRouting) {
    auto& b = env_.Backend();
    // Hold Tab for combat (the default): a press asks for war, a release for peace (the
    // hooks report no pending request and peace, so only the press asks).
    subsystems_.Start();
    Press(b, platform::kVkTab, true);
    Press(b, platform::kVkTab, false);
    auto trace = subsystems_.Take();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "SetWarMode"), 1);
    // Tab still goes on to the macros and the speech line.
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "SpeechLineOnKeyDown"), 1);

    // With the option off, an auto-repeated Tab toggles nothing.
    app_->options.holdTabForCombat = false;
    subsystems_.Start();
    Press(b, platform::kVkTab, true);
    Press(b, platform::kVkTab, true, true);
    trace = subsystems_.Take();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "SetWarMode"), 1);

    // Modifier states are read at the key press.
    Press(b, platform::kVkControl, true);
    Press(b, 'A', true);
    EXPECT_TRUE(TheMainWindow().ctrlDown);
    EXPECT_FALSE(TheMainWindow().shiftDown);
    Press(b, platform::kVkControl, false);
    Press(b, 'A', true);
    EXPECT_FALSE(TheMainWindow().ctrlDown);
}

TEST_F(ClientLoopTest, SystemCursorHiddenOnlyOverTheFocusedClientArea) {
    auto& b = env_.Backend();
    auto moveTo = [&](int x, int y) {
        platform::InputEvent move;
        move.type = platform::EventType::kMouseMove;
        move.x = x;
        move.y = y;
        b.Inject(move);
        ClientMessage m;
        ASSERT_TRUE(TheMainWindow().TakeMessage(m));
        TheMainWindow().Dispatch(m);
    };
    moveTo(100, 100);
    EXPECT_FALSE(b.SystemCursorVisible());
    moveTo(640, 100);
    EXPECT_TRUE(b.SystemCursorVisible());
    moveTo(639, 479);
    EXPECT_FALSE(b.SystemCursorVisible());
    b.SetFocus(false);
    moveTo(10, 10);
    EXPECT_TRUE(b.SystemCursorVisible());
    // In full screen the cursor is hidden wherever the pointer is.
    b.SetFocus(true);
    TheMainWindow().SendCommand(kCmdToggleFullScreen);
    moveTo(-5, 900);
    EXPECT_FALSE(b.SystemCursorVisible());
}

TEST_F(ClientLoopTest, TitleNamesTheAccount) {
    EXPECT_EQ(env_.Backend().Title(), "Varnok Online");
    SetClientWindowTitle("acct Smith");
    EXPECT_EQ(env_.Backend().Title(), "Varnok Online - acct Smith");
}

TEST(ClientMain, RunsHeadlessUntilTheWindowIsClosed) {
    ClientTestEnv env;
    env.LinkClientInstall();
    env.WriteFile("zq.cfg", "AcctID=ann\nAcctLastName=Lee\nMouse=fast\n");
    platform::ManualClock clock(1000);
    int passes = 0;
    // Each idle pass steps the clock; after a few frames the user closes the window.
    clock.onYield = [&] {
        clock.Advance(10);
        if (++passes == 40) env.Backend().InjectClose();
    };
    int code = ClientMain(ProcessArgs{});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(passes, 40);
    EXPECT_GE(env.Backend().PresentCount(), 4u);
    EXPECT_EQ(env.Backend().Title(), "Varnok Online - ann Lee");
    // fonts.mul of the install was read at start.
    EXPECT_TRUE(GetFontTable().HasFont(9));
    EXPECT_FALSE(platform::IsClientWindowAlive());
    EXPECT_FALSE(TheMainWindow().CursorTimerRunning());
    EXPECT_EQ(CClientApp::Instance(), nullptr);
}

TEST(ClientMainDeathTest, ASecondCopyIsRefusedWithExitCode1) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ClientTestEnv env;
    platform::InstanceLock other;
    ASSERT_TRUE(other.Acquire(env.Dir(), "ZqClientApp"));
    EXPECT_EXIT(ClientMain(ProcessArgs{}), ::testing::ExitedWithCode(1),
                "ERROR: Another instance of ZQ is already running.");
}

TEST(ClientMainDeathTest, RunningPatcherAndLowColourDepthAreRefused) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    {
        ClientTestEnv env;
        platform::InstanceLock patcher;
        ASSERT_TRUE(patcher.Acquire(env.Dir(), "ZqPatchApp"));
        EXPECT_EXIT(ClientMain(ProcessArgs{}), ::testing::ExitedWithCode(1),
                    "An instance of ZQ Patch is already running.");
    }
    ClientTestEnv env;
    env.Backend().SetDesktopBits(8);
    EXPECT_EXIT(ClientMain(ProcessArgs{}), ::testing::ExitedWithCode(1),
                "Error: Color Mode: ERROR: Varnok Online requires");
}

TEST(ClientMainDeathTest, AWindowThatCannotBeMadeIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ClientTestEnv env;
    env.LinkClientInstall();
    env.Backend().FailNextOpen();
    EXPECT_EXIT(ClientMain(ProcessArgs{}), ::testing::ExitedWithCode(1),
                "Error: Failed to create window.");
}

}  // namespace
