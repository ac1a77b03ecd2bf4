#pragma once
// The client's window, input and presentation, behind one small interface with two back
// ends: SDL2 (a real window) and headless (no display; tests inject events and read the
// presented frame). Every call is made on the client thread; only the headless back end's
// test controls may be called from other threads.
#include <memory>
#include <string>

#include "platform/types.h"

namespace platform {

// The fixed client area of the game window and its 16-bit frame.
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;
constexpr u32 kFramePixels = kClientWidth * kClientHeight;

enum class PixelFormat { k555, k565 };

enum class EventType {
    kNone,
    kKeyDown,    // key, keyData; systemKey when Alt is held (the window's system keys)
    kKeyUp,      // key, keyData
    kChar,       // character: one typed character (Unicode code point)
    kMouseDown,  // button, x, y in client coordinates
    kMouseUp,
    kMouseMove,
    kActivate,    // the window became the active window
    kDeactivate,  // it lost activation
    kClose,       // the user asked to close the window
};

enum class MouseButton { kLeft, kRight, kMiddle };

struct InputEvent {
    EventType type = EventType::kNone;
    u32 key = 0;      // virtual-key code (platform/keys.h)
    u32 keyData = 0;  // scan-code key data (platform/keys.h)
    bool systemKey = false;
    u32 character = 0;
    MouseButton button = MouseButton::kLeft;
    int x = 0;
    int y = 0;
};

enum class MessageIcon { kNone, kError, kInformation, kWarning };

class WindowBackend {
public:
    virtual ~WindowBackend() = default;

    // Colour depth of the desktop in bits per pixel.
    virtual int DesktopBitsPerPixel() = 0;

    // Opens the game window with a client area of kClientWidth x kClientHeight; false when
    // it cannot be made. The window starts windowed, shown and active.
    virtual bool OpenWindow(const std::string& title) = 0;
    virtual void CloseWindow() = 0;
    virtual bool IsWindowOpen() const = 0;

    virtual void SetTitle(const std::string& title) = 0;
    virtual std::string Title() const = 0;

    // Switches between windowed and full-screen display; false when the switch failed (the
    // display stays as it was).
    virtual bool SetFullScreen(bool on) = 0;
    virtual bool IsFullScreen() const = 0;

    // Takes the next pending event without waiting; false when there is none.
    virtual bool PollEvent(InputEvent& event) = 0;

    // Pointer position in client coordinates (may lie outside the client area).
    virtual void PointerPosition(int& x, int& y) = 0;
    // Whether the window has the keyboard focus.
    virtual bool HasFocus() const = 0;
    // Whether a key (virtual-key code) is held down now.
    virtual bool IsKeyDown(u32 virtualKey) const = 0;
    // The double-click time in milliseconds.
    virtual u32 DoubleClickTimeMs() const = 0;

    // Shows the 640x480 frame. Screen pixel p is buffer element (p + ringOffset) mod
    // kFramePixels; pixels are in the given format.
    virtual void Present(const u16* buffer, u32 ringOffset, PixelFormat format) = 0;

    // Shows or hides the system mouse cursor over the window.
    virtual void SetSystemCursorVisible(bool visible) = 0;

    virtual std::string ClipboardText() = 0;
    virtual void SetClipboardText(const std::string& text) = 0;

    // A modal message box with an OK button and no owner. It never outlives the process,
    // and it is taken down (and the call returns) once MessageBoxCancelled() answers true.
    virtual void ShowMessage(const std::string& text, const std::string& caption,
                             MessageIcon icon) = 0;
};

// The back end in use. Until one is installed, the first call picks one: the headless back
// end when the environment variable ZQ_HEADLESS is set to a non-empty value other than "0"
// or when there is no display at all (neither DISPLAY nor WAYLAND_DISPLAY; a line on stderr
// says so), else SDL2.
WindowBackend& Backend();
// Whether the environment asks for a run without display or sound device (ZQ_HEADLESS set
// to a non-empty value other than "0").
bool HeadlessRequested();
// Installs a back end (tests install a headless one); returns the one it replaces.
std::unique_ptr<WindowBackend> InstallBackend(std::unique_ptr<WindowBackend> backend);

// Whether the process is ending, as the program tells the back ends (none set: never). A
// message box waiting for the user is then taken down.
using MessageBoxCancelCheck = bool (*)();
void SetMessageBoxCancelCheck(MessageBoxCancelCheck check);
bool MessageBoxCancelled();

// Shows or hides the system cursor, calling the back end only when the wanted state
// differs from the cached one. The cache starts as shown.
void ShowSystemCursor(bool show);
bool IsSystemCursorShown();
// Forgets the cached state (shown again), for a newly opened window.
void ResetSystemCursorCache();

// Copies a ring-addressed 640x480 frame into a linear picture with rows of `dstPitch`
// pixels, undoing the ring: screen pixel p comes from src[(p + ringOffset) mod
// kFramePixels]. With `to565`, 5-5-5 pixels are widened to 5-6-5 while copying.
void CopyRingFrame(const u16* src, u32 ringOffset, u16* dst, u32 dstPitch, bool to565);

// A 5-5-5 pixel as a 5-6-5 pixel (green gains a low zero bit).
inline u16 Pixel555To565(u16 p) {
    return static_cast<u16>(((p & 0x7FE0) << 1) | (p & 0x1F));
}

}  // namespace platform
