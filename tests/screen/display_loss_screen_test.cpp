// The display going away under a running game: its X server killed, or its window destroyed
// by another X client. The game ends in order: the world saved whole, a non-zero exit code
// and one line naming the cause.
#include <gtest/gtest.h>
#include <signal.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "e2e/process_runner.h"

// X11 last: its macros clash with names in the headers above.
#include "screen/x_window_search.h"

namespace {

const std::string kRunning = "Status: Running";
const std::string kEnded = "zqdemo: the game ended because ";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An X server of the test's own, which the test may kill: its display name (":N") once it
// listens, empty when it did not start.
std::string StartXServer(e2e::ChildProcess& server) {
    for (int tries = 0; tries < 200 && server.Running(); ++tries) {
        // Reads what came within 50 ms (the text waited for never comes).
        server.WaitForStderr(std::string(1, '\0'), 50);
        // -displayfd 2 writes the display number alone on a line.
        const std::string& out = server.Stderr();
        size_t start = 0;
        while (start < out.size()) {
            const size_t end = out.find('\n', start);
            if (end == std::string::npos) break;
            const std::string line = out.substr(start, end - start);
            if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
                return ":" + line;
            start = end + 1;
        }
    }
    return std::string();
}

struct Loss {
    const char* what;
    bool killServer;  // otherwise another client destroys the game window
    const char* cause;
};

void PrintTo(const Loss& c, std::ostream* os) {
    *os << c.what;
}

class DisplayLossScreen : public ::testing::TestWithParam<Loss> {};

TEST_P(DisplayLossScreen, TheGameSavesAndEndsNamingTheCause) {
    const Loss& c = GetParam();
    e2e::TempDir dir;
    dir.CopyIn(e2e::RunDir() + "/zqdemo.dat", "zqdemo.dat");
    dir.LinkClientInstall();
    e2e::ChildProcess xserver(
        "/usr/bin/Xvfb", dir.Path(), {},
        {"-displayfd", "2", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
    const std::string display = StartXServer(xserver);
    ASSERT_FALSE(display.empty()) << xserver.Stderr();
    Display* x = XOpenDisplay(display.c_str());
    ASSERT_NE(x, nullptr) << display;

    e2e::ChildProcess game(e2e::RunDir() + "/zqdemo", dir.Path(), {"DISPLAY=" + display});
    ASSERT_TRUE(game.WaitForStderr(kRunning, 30000)) << game.Stderr();
    const Window window = screen::FindShownWindow(x, "Varnok Online", game.Pid(), 30000);
    ASSERT_NE(window, 0u) << game.Stderr();
    const std::string save = dir.Path() + "/zqdemo.sav";
    ASSERT_FALSE(std::filesystem::exists(save));

    if (c.killServer) {
        XCloseDisplay(x);
        x = nullptr;
        xserver.Signal(SIGKILL);
        xserver.WaitForExit(10000);
    } else {
        XDestroyWindow(x, window);
        XSync(x, False);
    }
    EXPECT_EQ(game.WaitForExit(20000), 1) << game.Stderr();
    const std::string said = game.Stderr();
    const size_t line = said.find(kEnded);
    ASSERT_NE(line, std::string::npos) << said;
    EXPECT_NE(said.find(c.cause, line), std::string::npos) << said;
    // The world was written back whole.
    const std::string bytes = ReadFile(save);
    EXPECT_GT(bytes.size(), 1000u);
    EXPECT_EQ(bytes.substr(0, 8), "ZQWORLD2");
    EXPECT_FALSE(std::filesystem::exists(save + ".tmp"));
    if (x) XCloseDisplay(x);
}

INSTANTIATE_TEST_SUITE_P(KilledServer, DisplayLossScreen,
                         ::testing::Values(Loss{"the X server killed", true,
                                                "the connection to the X server"}));
INSTANTIATE_TEST_SUITE_P(DestroyedWindow, DisplayLossScreen,
                         ::testing::Values(Loss{"the window destroyed", false,
                                                "another X client destroyed the game window"}));

}  // namespace
