#pragma once
// The SDL2 back end: a real window with a 640x480 client area, keyboard and mouse, the
// frame presented through a streaming texture (an accelerated renderer, or SDL's software
// renderer into the window surface where only a software rasteriser exists), full screen,
// clipboard and message boxes.
// SDL's video subsystem is started on first use; all calls come from the client thread.
#include <array>
#include <deque>
#include <string>
#include <vector>

#include "platform/window_backend.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace platform {

class SdlBackend : public WindowBackend {
public:
    SdlBackend() = default;
    ~SdlBackend() override;

    int DesktopBitsPerPixel() override;

    bool OpenWindow(const std::string& title) override;
    void CloseWindow() override;
    bool IsWindowOpen() const override { return window_ != nullptr; }

    void SetTitle(const std::string& title) override;
    std::string Title() const override;

    bool SetFullScreen(bool on) override;
    bool IsFullScreen() const override { return fullScreen_; }

    bool PollEvent(InputEvent& event) override;
    void PointerPosition(int& x, int& y) override;
    bool HasFocus() const override;
    bool IsKeyDown(u32 virtualKey) const override;
    u32 DoubleClickTimeMs() const override;

    // A picture the same as the one shown last is not sent again (an idle client presents
    // the same frame ten times a second, and converting and sending it was most of its
    // processor use) unless the window must be painted afresh: exposed, resized, shown,
    // switched to or from full screen.
    void Present(const u16* buffer, u32 ringOffset, PixelFormat format) override;
    // The pictures that reached the window since it was opened.
    u32 FramesSent() const { return framesSent_; }
    void SetSystemCursorVisible(bool visible) override;

    std::string ClipboardText() override;
    void SetClipboardText(const std::string& text) override;

    void ShowMessage(const std::string& text, const std::string& caption,
                     MessageIcon icon) override;

    // The native X11 window id of the game window (0 when none or not on X11); used by
    // the screen tests to read back what reached the display.
    unsigned long NativeWindowId() const;
    // The SDL renderer that presents the frames ("software" where the machine has no
    // accelerated one); empty without a window.
    std::string RendererName() const;

private:
    bool StartVideo();
    bool Translate(const SDL_Event& e, InputEvent& out);

    bool videoStarted_ = false;
    bool videoFailed_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    PixelFormat textureFormat_ = PixelFormat::k555;
    // Whether the ring-addressed frame is the picture shown last.
    bool SameAsShown(const u16* buffer, u32 ringOffset) const;

    // The picture shown last (640 x 480, row by row).
    std::vector<u16> shown_;
    bool repaint_ = true;  // the window needs a picture even if it has not changed
    u32 framesSent_ = 0;
    bool fullScreen_ = false;
    std::deque<InputEvent> pending_;
    // The keys as of the last key event handed out, as the game asks about them while it
    // handles its events one by one: SDL's own state runs ahead to the newest event it has
    // taken from the system, so a Ctrl released just after a key would read as never held.
    u16 keyMods_ = 0;  // SDL_Keymod bits
    std::array<bool, 256> keysDown_{};
};

}  // namespace platform
