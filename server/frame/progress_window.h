#pragma once
// The start-up progress window: created first thing by the process entry, it lives on a
// thread of its own that owns the view (platform/progress_window.h). The main thread never
// touches the view: it sends the window thread messages and waits until each is handled,
// and it reads the window handle, which the window thread writes once the view exists.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/progress_window.h"

// The window's caption.
inline constexpr const char* kProgressWindowCaption = "Varnok Online Demo";

// Null until the window thread has made the view; cleared when the window is destroyed.
extern std::atomic<platform::ProgressView*> g_progressWindowHandle;

class ProgressWindow {
public:
    // Starts the window thread. With `view` null the thread makes a view on stderr;
    // tests pass a view of their own (the window then owns it).
    explicit ProgressWindow(std::unique_ptr<platform::ProgressView> view = nullptr);
    // Destroys the view and waits until the window thread has ended.
    virtual ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    enum class Command { kSetProgress, kSetStatus, kShow, kQuit };
    // Hands one message to the window thread and waits until it was handled.
    void Send(Command command, int value, const char* text);

private:
    struct Message {
        Command command;
        int value;
        const char* text;
        bool done = false;
    };
    void ThreadMain(std::unique_ptr<platform::ProgressView> view);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Message*> queue_;
    std::thread thread_;
};

// Sets the status text (cut at 2047 characters). 0 and nothing happens while the window
// does not exist yet; 1 once the text is shown.
int SetStartupStatus(const char* text);
// Sets the progress value (0..100); -1 hides the bar, a later value shows it again.
// 0 while the window does not exist yet.
int SetStartupProgress(int value);
// Shows or hides the window. 0 while the window does not exist yet.
int ShowStartupWindow(bool visible);
