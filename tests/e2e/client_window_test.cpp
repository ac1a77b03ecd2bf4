// The whole process with its built-in client, headless: closing the client's window ends
// the server too, with exit code 0.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "e2e/process_runner.h"
#include "platform/instance_lock.h"

namespace {

TEST(ClientWindow, ClosingTheWindowEndsTheWholeProcessWithExitZero) {
    e2e::TempDir dir;
    dir.CopyIn(e2e::RunDir() + "/zqdemo.dat", "zqdemo.dat");
    dir.LinkClientInstall();
    // The headless window is closed 300 ms after it opens, as a user closing it would.
    e2e::ChildProcess game(e2e::RunDir() + "/zqdemo", dir.Path(),
                           {"ZQ_HEADLESS=1", "ZQ_HEADLESS_CLOSE_AFTER_MS=300",
                            "ZQ_CONFIG_DIR=" + dir.Path() + "/config"});
    ASSERT_TRUE(game.Started());
    auto start = std::chrono::steady_clock::now();
    // The server looks for the window every 5 s.
    EXPECT_EQ(game.WaitForExit(15000), 0) << game.Stderr();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 12.0);
    EXPECT_NE(game.Stderr().find("Exiting..."), std::string::npos) << game.Stderr();
}

TEST(ClientWindow, ASecondCopyInTheSameDirectoryIsRefused) {
    e2e::TempDir dir;
    dir.CopyIn(e2e::RunDir() + "/zqdemo.dat", "zqdemo.dat");
    dir.LinkClientInstall();
    const std::vector<std::string> env = {"ZQ_HEADLESS=1",
                                          "ZQ_CONFIG_DIR=" + dir.Path() + "/config"};
    e2e::ChildProcess first(e2e::RunDir() + "/zqdemo", dir.Path(), env);
    ASSERT_TRUE(first.Started());
    // Wait until the first client holds its instance lock (bounded).
    bool held = false;
    for (int i = 0; i < 2000 && !held && first.Running(); ++i) {
        held = platform::IsInstanceLockHeld(dir.Path(), "ZqClientApp");
        if (!held) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(held) << first.Stderr();
    e2e::ChildProcess second(e2e::RunDir() + "/zqdemo", dir.Path(), env);
    ASSERT_TRUE(second.Started());
    int code = second.WaitForExit(20000);
    EXPECT_EQ(code, 1) << second.Stderr();
    EXPECT_NE(second.Stderr().find("Another instance of ZQ is already running."), std::string::npos)
        << second.Stderr();
    first.Signal(SIGINT);
    EXPECT_EQ(first.WaitForExit(15000), 0) << first.Stderr();
}

}  // namespace
