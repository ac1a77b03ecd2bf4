// The whole process with its built-in client, headless: closing the client's window ends
// the server too, with exit code 0.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "client/app/client_app.h"
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

TEST(ClientWindow, ADisplayThatCannotBeOpenedEndsTheGameWithExitOne) {
    e2e::TempDir dir;
    dir.CopyIn(e2e::RunDir() + "/zqdemo.dat", "zqdemo.dat");
    dir.LinkClientInstall();
    // The window back end was not told to run headless, and the display named does not
    // exist: the game must not run on unseen.
    e2e::ChildProcess game(e2e::RunDir() + "/zqdemo", dir.Path(),
                           {"ZQ_HEADLESS=0", "DISPLAY=:65000",
                            "WAYLAND_DISPLAY=", "ZQ_CONFIG_DIR=" + dir.Path() + "/config"});
    ASSERT_TRUE(game.Started());
    EXPECT_EQ(game.WaitForExit(15000), 1) << game.Stderr();
    // No box can show there: the message reaches the terminal.
    EXPECT_NE(game.Stderr().find("Failed to create window."), std::string::npos) << game.Stderr();
}

TEST(ClientWindow, SettingsFilesThatCannotBeReadNeverEndTheGame) {
    // Every settings file of the client replaced by a folder in one run and by a link to an
    // endless device in another: the game runs on defaults and says which files it skipped.
    const char* const files[] = {"zq.cfg", "login.cfg", "obscene.lst", "ignore.lst",
                                 "chardata.mul"};
    e2e::TempDir folders, devices;
    for (const char* file : files) {
        std::filesystem::create_directory(folders.Path() + "/" + file);
        std::filesystem::create_symlink("/dev/zero", devices.Path() + "/" + file);
    }
    std::vector<std::unique_ptr<e2e::ChildProcess>> games;
    for (const e2e::TempDir* dir : {&folders, &devices}) {
        dir->CopyIn(e2e::RunDir() + "/zqdemo.dat", "zqdemo.dat");
        dir->LinkClientInstall();
        games.push_back(std::make_unique<e2e::ChildProcess>(
            e2e::RunDir() + "/zqdemo", dir->Path(),
            std::vector<std::string>{"ZQ_HEADLESS=1", "ZQ_HEADLESS_CLOSE_AFTER_MS=300",
                                     "ZQ_CONFIG_DIR=" + dir->Path() + "/config"}));
        ASSERT_TRUE(games.back()->Started());
    }
    for (auto& game : games) {
        // The server looks for the closed window every 5 s.
        EXPECT_EQ(game->WaitForExit(20000), 0) << game->Stderr();
        for (const char* file : files) {
            EXPECT_NE(game->Stderr().find(std::string("/") + file + " ("), std::string::npos)
                << file << "\n"
                << game->Stderr();
        }
    }
}

TEST(ClientWindow, ASecondCopyOfTheSameUserFromAnotherDirectoryEndsWithExitZero) {
    e2e::TempDir first, second, config;
    for (const e2e::TempDir* dir : {&first, &second}) {
        dir->CopyIn(e2e::RunDir() + "/zqdemo.dat", "zqdemo.dat");
        dir->LinkClientInstall();
    }
    // Two run directories, one user (one settings directory).
    const std::vector<std::string> env = {"ZQ_HEADLESS=1", "ZQ_CONFIG_DIR=" + config.Path()};
    e2e::ChildProcess running(e2e::RunDir() + "/zqdemo", first.Path(), env);
    ASSERT_TRUE(running.Started());
    bool held = false;
    for (int i = 0; i < 2000 && !held && running.Running(); ++i) {
        held = platform::IsInstanceLockHeld(config.Path(), kWindowLockName);
        if (!held) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(held) << running.Stderr();
    e2e::ChildProcess another(e2e::RunDir() + "/zqdemo", second.Path(), env);
    ASSERT_TRUE(another.Started());
    EXPECT_EQ(another.WaitForExit(20000), 0) << another.Stderr();
    EXPECT_NE(another.Stderr().find("Another copy of ZQ is already running!"), std::string::npos)
        << another.Stderr();
    // The first copy plays on until it is told to end.
    EXPECT_TRUE(running.Running());
    running.Signal(SIGINT);
    EXPECT_EQ(running.WaitForExit(15000), 0) << running.Stderr();
}

}  // namespace
