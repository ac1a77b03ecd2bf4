#pragma once
// The start-up progress window of the server, drawn on the terminal: a caption, a status
// line and a progress bar written to stderr. On a terminal the line is redrawn in place;
// when stderr is a pipe or a file every change is written as a line of its own. The state
// last drawn is recorded so tests can read it.
//
// One thread owns a view (the progress-window thread); State() may be read from any thread.
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace platform {

struct ProgressViewState {
    std::string caption;
    bool visible = false;
    std::string status;
    bool barVisible = false;  // the bar starts hidden; a value of -1 hides it again
    int progress = 0;         // 0..100 while the bar is shown
    int linesWritten = 0;     // lines (plain) or redraws (in place) written so far
};

class ProgressView {
public:
    // Writes to `out`; `redrawInPlace` selects the terminal style.
    ProgressView(const char* caption, std::FILE* out, bool redrawInPlace);
    ~ProgressView();
    ProgressView(const ProgressView&) = delete;
    ProgressView& operator=(const ProgressView&) = delete;

    // A view on stderr, redrawn in place when stderr is a terminal.
    static std::unique_ptr<ProgressView> OnStderr(const char* caption);

    void Show(bool visible);
    void SetStatus(const char* text);  // null reads as an empty text
    void SetProgress(int value);       // -1 hides the bar; other values are clamped to 0..100

    ProgressViewState State() const;

    // The longest status text kept; longer texts are cut.
    static constexpr std::size_t kMaxStatus = 2047;

private:
    void DrawLocked();
    std::string LineLocked() const;

    mutable std::mutex mutex_;
    ProgressViewState state_;
    std::FILE* out_;
    bool inPlace_;
    bool lineOpen_ = false;  // in-place mode: a line is on screen without its newline
    std::string lastLine_;   // plain mode: the line written last
};

}  // namespace platform
