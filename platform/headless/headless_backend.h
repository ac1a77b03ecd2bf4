#pragma once
// The back end without a display: a window that exists only as state, events that tests
// inject, the last presented frame kept in memory (and dumpable to PNG), message boxes
// written to the log (standard error) and kept for inspection.
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/window_backend.h"

namespace platform {

class HeadlessBackend : public WindowBackend {
public:
    // With the environment variable ZQ_HEADLESS_CLOSE_AFTER_MS set to n, a window that has
    // been open n ms (by platform::NowMs) gets a close request: the simplest scripted
    // session, for running the whole process headless.
    HeadlessBackend();

    int DesktopBitsPerPixel() override { return desktopBits_; }

    bool OpenWindow(const std::string& title) override;
    void CloseWindow() override;
    bool IsWindowOpen() const override { return open_; }

    void SetTitle(const std::string& title) override { title_ = title; }
    std::string Title() const override { return title_; }

    bool SetFullScreen(bool on) override;
    bool IsFullScreen() const override { return fullScreen_; }

    bool PollEvent(InputEvent& event) override;
    void PointerPosition(int& x, int& y) override;
    bool HasFocus() const override { return focus_; }
    bool IsKeyDown(u32 virtualKey) const override;
    u32 DoubleClickTimeMs() const override { return 500; }

    void Present(const u16* buffer, u32 ringOffset, PixelFormat format) override;
    void SetSystemCursorVisible(bool visible) override {
        cursorVisible_ = visible;
        ++cursorCalls_;
    }

    std::string ClipboardText() override { return clipboard_; }
    void SetClipboardText(const std::string& text) override { clipboard_ = text; }

    void ShowMessage(const std::string& text, const std::string& caption,
                     MessageIcon icon) override;

    // --- Test controls (any thread) ---------------------------------------------------
    // Queues an event; key presses and releases also update the held-key state when they
    // are taken, and mouse events move the pointer.
    void Inject(const InputEvent& event);
    // Convenience builders for key presses (with key data) and typed characters.
    void InjectKey(u32 virtualKey, bool down, bool repeat = false);
    void InjectChar(u32 character);
    void InjectClose();
    size_t PendingEvents() const;

    void SetPointer(int x, int y);
    void SetFocus(bool focus) { focus_ = focus; }
    void SetDesktopBits(int bits) { desktopBits_ = bits; }
    // Asks for a close request once the window has been open `ms` ms (0: never).
    void SetCloseAfterMs(u32 ms) { closeAfterMs_ = ms; }
    // Makes the next OpenWindow fail.
    void FailNextOpen() { failOpen_ = true; }

    // The last presented frame, linear (ring undone), in the format it was presented in.
    const std::vector<u16>& Frame() const { return frame_; }
    PixelFormat FrameFormat() const { return frameFormat_; }
    u32 PresentCount() const { return presentCount_; }
    // Writes the last frame as an 8-bit RGB PNG; false on failure or when nothing was
    // presented.
    bool DumpFramePng(const std::string& path) const;

    bool SystemCursorVisible() const { return cursorVisible_; }
    int SystemCursorCalls() const { return cursorCalls_; }

    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };
    std::vector<Message> Messages() const;

private:
    mutable std::mutex mutex_;  // guards the event queue and the message log
    std::deque<InputEvent> events_;
    std::vector<Message> messages_;

    int desktopBits_ = 16;
    bool open_ = false;
    bool failOpen_ = false;
    bool fullScreen_ = false;
    bool focus_ = true;
    std::string title_;
    int pointerX_ = -1;
    int pointerY_ = -1;
    std::set<u32> held_;
    std::vector<u16> frame_;
    PixelFormat frameFormat_ = PixelFormat::k555;
    u32 presentCount_ = 0;
    bool cursorVisible_ = true;
    int cursorCalls_ = 0;
    std::string clipboard_;
    u32 closeAfterMs_ = 0;
    u32 openedAt_ = 0;
    bool closeSent_ = false;
};

}  // namespace platform
