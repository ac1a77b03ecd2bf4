#include "platform/progress_window.h"

#include <unistd.h>

#include <algorithm>

namespace platform {

namespace {
constexpr int kBarWidth = 20;
}

ProgressView::ProgressView(const char* caption, std::FILE* out, bool redrawInPlace)
    : out_(out), inPlace_(redrawInPlace) {
    state_.caption = caption ? caption : "";
}

ProgressView::~ProgressView() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (lineOpen_ && out_) {
        std::fputc('\n', out_);
        std::fflush(out_);
    }
}

std::unique_ptr<ProgressView> ProgressView::OnStderr(const char* caption) {
    return std::make_unique<ProgressView>(caption, stderr, isatty(STDERR_FILENO) == 1);
}

void ProgressView::Show(bool visible) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_.visible == visible) return;
    state_.visible = visible;
    if (visible) {
        DrawLocked();
    } else if (lineOpen_ && out_) {
        // The last state stays on the terminal as a record of how start-up ended.
        std::fputc('\n', out_);
        std::fflush(out_);
        lineOpen_ = false;
    }
}

void ProgressView::SetStatus(const char* text) {
    std::string status = text ? text : "";
    if (status.size() > kMaxStatus) status.resize(kMaxStatus);
    // A status line is one line: control characters would break the redraw.
    for (char& c : status) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_.status == status) return;
    state_.status = std::move(status);
    DrawLocked();
}

void ProgressView::SetProgress(int value) {
    std::lock_guard<std::mutex> lock(mutex_);
    bool bar = value != -1;
    int progress = bar ? std::clamp(value, 0, 100) : state_.progress;
    if (bar == state_.barVisible && progress == state_.progress) return;
    state_.barVisible = bar;
    state_.progress = progress;
    DrawLocked();
}

ProgressViewState ProgressView::State() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

std::string ProgressView::LineLocked() const {
    std::string line = state_.caption + " - Status: " + state_.status;
    if (state_.barVisible) {
        int filled = state_.progress * kBarWidth / 100;
        line += " [";
        line.append(static_cast<std::size_t>(filled), '#');
        line.append(static_cast<std::size_t>(kBarWidth - filled), '.');
        line += "] " + std::to_string(state_.progress) + "%";
    }
    return line;
}

void ProgressView::DrawLocked() {
    if (!state_.visible || !out_) return;
    // As plain lines, a window that shows nothing yet is not worth a line of its own.
    if (!inPlace_ && state_.status.empty() && !state_.barVisible) return;
    std::string line = LineLocked();
    if (inPlace_) {
        // Back to the start of the line and clear it, then draw without a newline.
        std::fprintf(out_, "\r\x1b[K%s", line.c_str());
        lineOpen_ = true;
    } else {
        // Plain lines: showing the window again does not repeat the line last written.
        if (line == lastLine_) return;
        std::fprintf(out_, "%s\n", line.c_str());
        lastLine_ = line;
    }
    std::fflush(out_);
    ++state_.linesWritten;
}

}  // namespace platform
