#include "server/frame/progress_window.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

platform::ProgressView* WaitForHandle() {
    platform::ProgressView* handle;
    while ((handle = g_progressWindowHandle.load()) == nullptr)
        std::this_thread::yield();
    return handle;
}

TEST(ProgressWindow, CallsBeforeTheWindowExistsDoNothing) {
    ASSERT_EQ(g_progressWindowHandle.load(), nullptr);
    EXPECT_EQ(SetStartupStatus("Initializing..."), 0);
    EXPECT_EQ(SetStartupProgress(10), 0);
    EXPECT_EQ(ShowStartupWindow(false), 0);
}

TEST(ProgressWindow, WindowThreadAppliesMessagesInOrder) {
    {
        ProgressWindow window(
            std::make_unique<platform::ProgressView>(kProgressWindowCaption, nullptr, false));
        platform::ProgressView* view = WaitForHandle();
        EXPECT_TRUE(view->State().visible);  // shown as soon as it exists
        EXPECT_EQ(view->State().caption, "Varnok Online Demo");

        EXPECT_EQ(SetStartupStatus("Initializing..."), 1);
        EXPECT_EQ(SetStartupProgress(-1), 1);
        EXPECT_FALSE(view->State().barVisible);
        EXPECT_EQ(SetStartupProgress(40), 1);
        EXPECT_TRUE(view->State().barVisible);
        EXPECT_EQ(view->State().progress, 40);
        EXPECT_EQ(SetStartupProgress(-1), 1);  // hides the bar, keeps the value
        EXPECT_FALSE(view->State().barVisible);
        EXPECT_EQ(SetStartupProgress(60), 1);  // a later value shows it again
        EXPECT_TRUE(view->State().barVisible);

        // Sends are synchronous: the status is in place when the call returns, and the
        // caller's text may be reused at once.
        char text[] = "Loading map";
        EXPECT_EQ(SetStartupStatus(text), 1);
        text[0] = 'X';
        EXPECT_EQ(view->State().status, "Loading map");

        EXPECT_EQ(ShowStartupWindow(false), 1);
        EXPECT_FALSE(view->State().visible);
    }
    // Destroying the window ends its thread and clears the handle.
    EXPECT_EQ(g_progressWindowHandle.load(), nullptr);
    EXPECT_EQ(SetStartupStatus("late"), 0);
}

}  // namespace
