#include "server/frame/progress_window.h"

#include <string>

std::atomic<platform::ProgressView*> g_progressWindowHandle{nullptr};

namespace {
// The window that owns the handle; messages for the handle go to its thread.
std::atomic<ProgressWindow*> g_progressWindow{nullptr};

// The status text shared by every caller on the main thread (the send is synchronous, so
// it is not reused before the window has taken the text).
std::mutex g_statusMutex;
std::string g_statusText;

int SendToWindow(ProgressWindow::Command command, int value, const char* text) {
    if (g_progressWindowHandle.load(std::memory_order_acquire) == nullptr) return 0;
    ProgressWindow* window = g_progressWindow.load(std::memory_order_acquire);
    if (window == nullptr) return 0;
    window->Send(command, value, text);
    return 1;
}
}  // namespace

ProgressWindow::ProgressWindow(std::unique_ptr<platform::ProgressView> view) {
    g_progressWindow.store(this, std::memory_order_release);
    thread_ = std::thread(&ProgressWindow::ThreadMain, this, std::move(view));
}

ProgressWindow::~ProgressWindow() {
    Send(Command::kQuit, 0, nullptr);
    thread_.join();
    ProgressWindow* self = this;
    g_progressWindow.compare_exchange_strong(self, nullptr);
}

void ProgressWindow::Send(Command command, int value, const char* text) {
    Message message{command, value, text};
    std::unique_lock<std::mutex> lock(mutex_);
    queue_.push_back(&message);
    wake_.notify_all();
    wake_.wait(lock, [&] { return message.done; });
}

void ProgressWindow::ThreadMain(std::unique_ptr<platform::ProgressView> view) {
    if (!view) view = platform::ProgressView::OnStderr(kProgressWindowCaption);
    // The window appears as soon as it exists, with an empty status and no bar.
    view->Show(true);
    g_progressWindowHandle.store(view.get(), std::memory_order_release);

    bool running = true;
    while (running) {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return !queue_.empty(); });
        Message* message = queue_.front();
        queue_.pop_front();
        switch (message->command) {
            case Command::kSetProgress:
                view->SetProgress(message->value);
                break;
            case Command::kSetStatus:
                view->SetStatus(message->text);
                break;
            case Command::kShow:
                view->Show(message->value != 0);
                break;
            case Command::kQuit:
                g_progressWindowHandle.store(nullptr, std::memory_order_release);
                running = false;
                break;
        }
        message->done = true;
        wake_.notify_all();
    }
    view.reset();
}

int SetStartupStatus(const char* text) {
    std::lock_guard<std::mutex> lock(g_statusMutex);
    g_statusText = text ? text : "";
    if (g_statusText.size() > platform::ProgressView::kMaxStatus) {
        g_statusText.resize(platform::ProgressView::kMaxStatus);
    }
    return SendToWindow(ProgressWindow::Command::kSetStatus, 0, g_statusText.c_str());
}

int SetStartupProgress(int value) {
    return SendToWindow(ProgressWindow::Command::kSetProgress, value, nullptr);
}

int ShowStartupWindow(bool visible) {
    return SendToWindow(ProgressWindow::Command::kShow, visible ? 1 : 0, nullptr);
}
