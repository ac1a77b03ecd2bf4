// Message boxes of the real game on a virtual X server: a box never outlives the game nor
// keeps its instance lock, and a game asked to end during a fatal box ends the box too and
// exits with the box's failure code.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "e2e/process_runner.h"
#include "platform/instance_lock.h"

// X11 last: its macros clash with names in the headers above.
#include "screen/x_window_search.h"

namespace {

// Waits (bounded) until `done` answers true.
template <typename Done>
bool WaitUntil(Done done, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

TEST(MessageBoxScreen, EndingTheGameDuringAFatalBoxEndsTheBoxAndFreesTheLock) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X display";
    struct Case {
        int signal;
        int exitCode;  // -1: killed
    };
    // Ctrl-C and a polite request end with the box's code; a kill ends the game at once.
    for (Case c : {Case{SIGINT, 1}, Case{SIGTERM, 1}, Case{SIGKILL, -1}}) {
        e2e::TempDir dir;
        dir.CopyIn(e2e::RunDir() + "/zqdemo.dat", "zqdemo.dat");
        // A running patcher: the game takes its instance lock, then shows a fatal box.
        platform::InstanceLock patcher;
        ASSERT_TRUE(patcher.Acquire(dir.Path(), "ZqPatchApp"));
        e2e::ChildProcess game(e2e::RunDir() + "/zqdemo", dir.Path(),
                               {"ZQ_CONFIG_DIR=" + dir.Path() + "/config"});
        ASSERT_TRUE(game.Started());
        ASSERT_TRUE(game.WaitForStderr("An instance of ZQ Patch is already running.", 20000))
            << game.Stderr();
        ASSERT_NE(screen::FindShownWindow(display, "ERROR", 0, 10000), 0u) << "no box shown";
        EXPECT_TRUE(platform::IsInstanceLockHeld(dir.Path(), "ZqClientApp"));

        game.Signal(c.signal);
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(game.WaitForExit(15000), c.exitCode) << c.signal << "\n" << game.Stderr();
        EXPECT_FALSE(game.Running());
        if (c.exitCode >= 0) {
            // At once, not after the server's wait for an ending client.
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
        }
        // Nothing is left behind: no box on the screen and the next start is not refused.
        EXPECT_TRUE(
            WaitUntil([&] { return screen::FindShownWindow(display, "ERROR", 0, 0) == 0; }, 5000))
            << c.signal;
        EXPECT_TRUE(WaitUntil(
            [&] { return !platform::IsInstanceLockHeld(dir.Path(), "ZqClientApp"); }, 5000))
            << c.signal;
    }
    XCloseDisplay(display);
}

}  // namespace
