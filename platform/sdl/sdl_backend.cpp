#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <thread>

#include "platform/instance_lock.h"
#include "platform/keys.h"
#include "platform/sdl/x_error_handlers.h"

namespace platform {
namespace {

struct KeyMap {
    SDL_Keycode sdl;
    u32 vk;
};

constexpr KeyMap kKeyMap[] = {
    {SDLK_BACKSPACE, kVkBack},
    {SDLK_TAB, kVkTab},
    {SDLK_RETURN, kVkReturn},
    {SDLK_KP_ENTER, kVkReturn},
    {SDLK_LSHIFT, kVkShift},
    {SDLK_RSHIFT, kVkShift},
    {SDLK_LCTRL, kVkControl},
    {SDLK_RCTRL, kVkControl},
    {SDLK_LALT, kVkMenu},
    {SDLK_RALT, kVkMenu},
    {SDLK_PAUSE, kVkPause},
    {SDLK_CAPSLOCK, kVkCapital},
    {SDLK_ESCAPE, kVkEscape},
    {SDLK_SPACE, kVkSpace},
    {SDLK_PAGEUP, kVkPrior},
    {SDLK_PAGEDOWN, kVkNext},
    {SDLK_END, kVkEnd},
    {SDLK_HOME, kVkHome},
    {SDLK_LEFT, kVkLeft},
    {SDLK_UP, kVkUp},
    {SDLK_RIGHT, kVkRight},
    {SDLK_DOWN, kVkDown},
    {SDLK_PRINTSCREEN, kVkSnapshot},
    {SDLK_INSERT, kVkInsert},
    {SDLK_DELETE, kVkDelete},
    {SDLK_LGUI, kVkLWin},
    {SDLK_RGUI, kVkRWin},
    {SDLK_APPLICATION, kVkApps},
    {SDLK_KP_0, kVkNumpad0},
    {SDLK_KP_1, kVkNumpad0 + 1},
    {SDLK_KP_2, kVkNumpad0 + 2},
    {SDLK_KP_3, kVkNumpad0 + 3},
    {SDLK_KP_4, kVkNumpad0 + 4},
    {SDLK_KP_5, kVkNumpad0 + 5},
    {SDLK_KP_6, kVkNumpad0 + 6},
    {SDLK_KP_7, kVkNumpad0 + 7},
    {SDLK_KP_8, kVkNumpad0 + 8},
    {SDLK_KP_9, kVkNumpad0 + 9},
    {SDLK_KP_MULTIPLY, kVkMultiply},
    {SDLK_KP_PLUS, kVkAdd},
    {SDLK_KP_MINUS, kVkSubtract},
    {SDLK_KP_PERIOD, kVkDecimal},
    {SDLK_KP_DIVIDE, kVkDivide},
    {SDLK_NUMLOCKCLEAR, kVkNumLock},
    {SDLK_SCROLLLOCK, kVkScroll},
    {SDLK_SEMICOLON, kVkOem1},
    {SDLK_EQUALS, kVkOemPlus},
    {SDLK_COMMA, kVkOemComma},
    {SDLK_MINUS, kVkOemMinus},
    {SDLK_PERIOD, kVkOemPeriod},
    {SDLK_SLASH, kVkOem2},
    {SDLK_BACKQUOTE, kVkOem3},
    {SDLK_LEFTBRACKET, kVkOem4},
    {SDLK_BACKSLASH, kVkOem5},
    {SDLK_RIGHTBRACKET, kVkOem6},
    {SDLK_QUOTE, kVkOem7},
};

u32 VirtualKeyOf(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return static_cast<u32>('A' + (k - SDLK_a));
    if (k >= SDLK_0 && k <= SDLK_9) return static_cast<u32>('0' + (k - SDLK_0));
    if (k >= SDLK_F1 && k <= SDLK_F12) return kVkF1 + static_cast<u32>(k - SDLK_F1);
    for (const KeyMap& m : kKeyMap) {
        if (m.sdl == k) return m.vk;
    }
    return 0;
}

// Decodes one UTF-8 sequence at s[i], advancing i; returns 0 for a malformed sequence.
u32 NextCodePoint(const char* s, size_t& i) {
    auto b = static_cast<u8>(s[i++]);
    if (b < 0x80) return b;
    int extra = (b >= 0xF0) ? 3 : (b >= 0xE0) ? 2 : (b >= 0xC0) ? 1 : -1;
    if (extra < 0) return 0;
    u32 cp = b & (0x3F >> extra);
    for (int n = 0; n < extra; ++n) {
        auto c = static_cast<u8>(s[i]);
        if ((c & 0xC0) != 0x80) return 0;
        ++i;
        cp = (cp << 6) | (c & 0x3F);
    }
    return cp;
}

// Drivers that draw nowhere a user can see.
bool IsScreenVideoDriver(const std::string& name) {
    return name != "offscreen" && name != "dummy" && name != "evdev";
}

// Whether the renderer draws through OpenGL on a rasteriser that runs on the processor
// (its threads would cost more than presenting through the window surface).
bool RendersOnSoftwareGl(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name) return false;
    std::string name = info.name;
    if (name.rfind("opengl", 0) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!getString) return false;
    constexpr unsigned kGlRenderer = 0x1F01;
    const unsigned char* text = getString(kGlRenderer);
    if (!text) return false;
    std::string renderer_name = reinterpret_cast<const char*>(text);
    for (const char* soft :
         {"llvmpipe", "softpipe", "swrast", "Software Rasterizer", "SwiftShader"}) {
        if (renderer_name.find(soft) != std::string::npos) return true;
    }
    return false;
}

// SDL shows a box from a process it forks, which waits for the user on its own. Left as
// it is, that process would inherit the game's quit handler (so Ctrl-C would not end it)
// and its instance locks, and would outlive the game. While a box is shown, a fork on the
// showing thread makes a child that dies with the game, ends on Ctrl-C, and drops its
// copies of the locks; its process id is published in a shared page so that a watcher can
// end the box once the process is ending.
thread_local bool g_showingBox = false;
std::atomic<pid_t>* g_boxChild = nullptr;  // in a page shared with the child
pid_t g_boxParent = 0;

void BoxChildAfterFork() {
    if (!g_showingBox) return;
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The game may have ended before the line above: then end at once.
    if (::getppid() != g_boxParent) ::_exit(1);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        std::signal(signal, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    CloseInstanceLocksInChild();
    if (g_boxChild) g_boxChild->store(::getpid());
}

void PrepareBoxFork() {
    if (g_showingBox && g_boxChild) g_boxChild->store(0);
}

class MessageBoxProcessGuard {
public:
    MessageBoxProcessGuard() {
        static std::once_flag once;
        std::call_once(once, [] {
            void* page = ::mmap(nullptr, sizeof(std::atomic<pid_t>), PROT_READ | PROT_WRITE,
                                MAP_SHARED | MAP_ANONYMOUS, -1, 0);
            if (page != MAP_FAILED) g_boxChild = new (page) std::atomic<pid_t>(0);
            ::pthread_atfork(&PrepareBoxFork, nullptr, &BoxChildAfterFork);
        });
        g_boxParent = ::getpid();
        if (g_boxChild) g_boxChild->store(0);
        g_showingBox = true;
        // Without a watcher (no thread to be had, say out of memory) the box still ends
        // with the process.
        try {
            watcher_ = std::thread([this] { Watch(); });
            // SDL forks the box process right after this. A thread still starting up may
            // hold a lock of the memory allocator (the sanitizers' allocator takes none
            // around a fork), and the box process, which allocates, would then wait on it
            // for ever and no box would appear. Once the watcher runs its loop it allocates
            // nothing more.
            while (!started_.load())
                std::this_thread::yield();
        } catch (...) {
        }
    }
    ~MessageBoxProcessGuard() {
        g_showingBox = false;
        done_.store(true);
        if (watcher_.joinable()) watcher_.join();
        if (g_boxChild) g_boxChild->store(0);
    }
    MessageBoxProcessGuard(const MessageBoxProcessGuard&) = delete;
    MessageBoxProcessGuard& operator=(const MessageBoxProcessGuard&) = delete;

private:
    // Once the process is ending, every box process that appears is ended (SDL may try a
    // second time when the first one dies).
    void Watch() {
        started_.store(true);
        while (!done_.load()) {
            if (MessageBoxCancelled() && g_boxChild) {
                pid_t child = g_boxChild->exchange(0);
                if (child > 0) ::kill(child, SIGKILL);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(kWatchPeriodMs));
        }
    }

    static constexpr int kWatchPeriodMs = 20;
    std::atomic<bool> done_{false};
    std::atomic<bool> started_{false};
    std::thread watcher_;
};

}  // namespace

SdlBackend::~SdlBackend() {
    CloseWindow();
}

bool SdlBackend::StartVideo() {
    if (videoStarted_) return true;
    // Said once: a display that cannot be opened stays so for this run.
    if (videoFailed_) return false;
    // The server owns SIGINT/SIGTERM; SDL must not install its own handlers.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Unless the user names a driver, only one that shows a window on a screen will do:
    // SDL would otherwise fall back to an off-screen driver and the game would run
    // unseen. Headless running is chosen before this back end is made.
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    if (chosen && *chosen) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "video: %s\n", SDL_GetError());
            videoFailed_ = true;
            return false;
        }
        videoStarted_ = true;
        return true;
    }
    std::string failures;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* name = SDL_GetVideoDriver(i);
        if (!name || !IsScreenVideoDriver(name)) continue;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, name);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            videoStarted_ = true;
            return true;
        }
        failures += std::string(failures.empty() ? "" : "; ") + name + ": " + SDL_GetError();
    }
    std::fprintf(stderr, "video: no display can be opened (%s)\n",
                 failures.empty() ? "no video driver" : failures.c_str());
    videoFailed_ = true;
    return false;
}

int SdlBackend::DesktopBitsPerPixel() {
    SDL_DisplayMode mode;
    // Without a display the window cannot be made anyway; that failure is the one reported.
    if (!StartVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 16;
    return static_cast<int>(SDL_BITSPERPIXEL(mode.format));
}

bool SdlBackend::OpenWindow(const std::string& title) {
    if (window_) return true;
    if (!StartVideo()) return false;
    // Made hidden and shown once the renderer exists: making a renderer may replace the
    // window, and a window the user could already click must be the one that stays.
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               kClientWidth, kClientHeight, SDL_WINDOW_HIDDEN);
    if (!window_) {
        std::fprintf(stderr, "video: %s\n", SDL_GetError());
        return false;
    }
    // An accelerated renderer where the machine has one; else SDL's software renderer,
    // which draws into the window surface. The surface itself must then not be backed by
    // OpenGL either.
    // A renderer the user names (SDL_RENDER_DRIVER) is kept.
    const char* namedRenderer = std::getenv("SDL_RENDER_DRIVER");
    const bool userChoice = namedRenderer && *namedRenderer;
    renderer_ = SDL_CreateRenderer(window_, -1, userChoice ? 0 : SDL_RENDERER_ACCELERATED);
    if (renderer_ && !userChoice && RendersOnSoftwareGl(renderer_)) {
        SDL_DestroyRenderer(renderer_);
        renderer_ = nullptr;
    }
    if (!renderer_) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    }
    if (!renderer_) {
        std::fprintf(stderr, "video: %s\n", SDL_GetError());
        SDL_DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }
    // Full screen scales the 640x480 picture; mouse coordinates come back in its terms.
    SDL_RenderSetLogicalSize(renderer_, kClientWidth, kClientHeight);
    // From here on a lost X server or a window destroyed under the game ends it in order:
    // showing the window already waits on the X server, which may be gone by then.
    if (const unsigned long id = NativeWindowId()) InstallXErrorHandlers(id);
    SDL_ShowWindow(window_);
    SDL_StartTextInput();
    fullScreen_ = false;
    repaint_ = true;
    framesSent_ = 0;
    return true;
}

void SdlBackend::CloseWindow() {
    void* xDisplay = nullptr;
    if (window_) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11)
            xDisplay = info.info.x11.display;
    }
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    // A window another client destroyed first fails to be destroyed here: that error must
    // reach the game's handler, which ends the game in order, before the video subsystem
    // goes and Xlib's own handler (which ends the process at once) is back.
    SyncXDisplay(xDisplay);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    fullScreen_ = false;
    std::vector<u16>().swap(shown_);
    pending_.clear();
    keyMods_ = 0;
    keysDown_.fill(false);
    if (videoStarted_) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoStarted_ = false;
    }
}

void SdlBackend::SetTitle(const std::string& title) {
    if (window_) SDL_SetWindowTitle(window_, title.c_str());
}

std::string SdlBackend::Title() const {
    return window_ ? SDL_GetWindowTitle(window_) : "";
}

bool SdlBackend::SetFullScreen(bool on) {
    if (!window_) return false;
    if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        return false;
    }
    fullScreen_ = on;
    repaint_ = true;
    if (!on) SDL_SetWindowSize(window_, kClientWidth, kClientHeight);
    return true;
}

bool SdlBackend::Translate(const SDL_Event& e, InputEvent& out) {
    out = InputEvent{};
    switch (e.type) {
        case SDL_QUIT:
            out.type = EventType::kClose;
            return true;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    out.type = EventType::kClose;
                    return true;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    out.type = EventType::kActivate;
                    return true;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    out.type = EventType::kDeactivate;
                    return true;
                case SDL_WINDOWEVENT_SHOWN:
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_RESIZED:
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                case SDL_WINDOWEVENT_RESTORED:
                    // What the window shows may be gone: the next picture goes out whole.
                    repaint_ = true;
                    return false;
                default:
                    return false;
            }
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET:
            repaint_ = true;
            return false;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            u32 vk = VirtualKeyOf(e.key.keysym.sym);
            bool down = e.type == SDL_KEYDOWN;
            keyMods_ = e.key.keysym.mod;
            if (vk < keysDown_.size()) keysDown_[vk] = down;
            if (vk == 0) return false;
            bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
            out.type = down ? EventType::kKeyDown : EventType::kKeyUp;
            out.key = vk;
            out.keyData = MakeKeyData(vk, down && e.key.repeat != 0, !down, alt);
            out.systemKey = alt || vk == kVkMenu || vk == kVkF1 + 9;
            // Keys that type a control character produce no text event; make one.
            if (down) {
                u32 ch = vk == kVkReturn   ? 13
                         : vk == kVkBack   ? 8
                         : vk == kVkEscape ? 27
                         : vk == kVkTab    ? 9
                                           : 0;
                if (ch) {
                    InputEvent c;
                    c.type = EventType::kChar;
                    c.character = ch;
                    pending_.push_back(c);
                }
            }
            return true;
        }
        case SDL_TEXTINPUT: {
            const char* text = e.text.text;
            size_t i = 0;
            while (text[i]) {
                u32 cp = NextCodePoint(text, i);
                if (cp == 0) continue;
                InputEvent c;
                c.type = EventType::kChar;
                c.character = cp;
                pending_.push_back(c);
            }
            return false;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT &&
                e.button.button != SDL_BUTTON_MIDDLE) {
                return false;
            }
            out.type = e.type == SDL_MOUSEBUTTONDOWN ? EventType::kMouseDown : EventType::kMouseUp;
            out.button = e.button.button == SDL_BUTTON_LEFT    ? MouseButton::kLeft
                         : e.button.button == SDL_BUTTON_RIGHT ? MouseButton::kRight
                                                               : MouseButton::kMiddle;
            out.x = e.button.x;
            out.y = e.button.y;
            return true;
        case SDL_MOUSEMOTION:
            out.type = EventType::kMouseMove;
            out.x = e.motion.x;
            out.y = e.motion.y;
            return true;
        default:
            return false;
    }
}

bool SdlBackend::PollEvent(InputEvent& event) {
    for (;;) {
        if (!pending_.empty()) {
            event = pending_.front();
            pending_.pop_front();
            return true;
        }
        if (!videoStarted_) return false;
        SDL_Event e;
        if (!SDL_PollEvent(&e)) return false;
        InputEvent out;
        if (Translate(e, out)) {
            // A translated event goes before the characters it produced.
            pending_.push_front(out);
        }
    }
}

void SdlBackend::PointerPosition(int& x, int& y) {
    int wx = 0, wy = 0;
    SDL_GetMouseState(&wx, &wy);
    if (renderer_ && fullScreen_) {
        float lx = 0, ly = 0;
        SDL_RenderWindowToLogical(renderer_, wx, wy, &lx, &ly);
        x = static_cast<int>(lx);
        y = static_cast<int>(ly);
        return;
    }
    x = wx;
    y = wy;
}

bool SdlBackend::HasFocus() const {
    return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool SdlBackend::IsKeyDown(u32 vk) const {
    if (!videoStarted_) return false;
    if (vk == kVkControl) return (keyMods_ & KMOD_CTRL) != 0;
    if (vk == kVkShift) return (keyMods_ & KMOD_SHIFT) != 0;
    if (vk == kVkMenu) return (keyMods_ & KMOD_ALT) != 0;
    return vk < keysDown_.size() && keysDown_[vk];
}

u32 SdlBackend::DoubleClickTimeMs() const {
    const char* hint = SDL_GetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME);
    if (hint) {
        int v = std::atoi(hint);
        if (v > 0) return static_cast<u32>(v);
    }
    return 500;
}

void SdlBackend::Present(const u16* buffer, u32 ringOffset, PixelFormat format) {
    if (!renderer_ || !buffer) return;
    if (texture_ && textureFormat_ != format) {
        SDL_DestroyTexture(texture_);
        texture_ = nullptr;
    }
    if (!texture_) {
        Uint32 f = format == PixelFormat::k565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB555;
        texture_ = SDL_CreateTexture(renderer_, f, SDL_TEXTUREACCESS_STREAMING, kClientWidth,
                                     kClientHeight);
        if (!texture_) return;
        textureFormat_ = format;
        repaint_ = true;
    }
    if (!repaint_ && SameAsShown(buffer, ringOffset)) return;
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return;
    shown_.resize(kFramePixels);
    CopyRingFrame(buffer, ringOffset, shown_.data(), kClientWidth, false);
    for (int y = 0; y < kClientHeight; ++y) {
        std::memcpy(static_cast<u8*>(pixels) + static_cast<size_t>(y) * static_cast<u32>(pitch),
                    shown_.data() + static_cast<size_t>(y) * kClientWidth,
                    kClientWidth * sizeof(u16));
    }
    SDL_UnlockTexture(texture_);
    // Windowed, the picture covers the whole window; full screen leaves bars to clear.
    if (fullScreen_) SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    repaint_ = false;
    ++framesSent_;
}

bool SdlBackend::SameAsShown(const u16* buffer, u32 ringOffset) const {
    if (shown_.size() != kFramePixels) return false;
    // The ring-addressed frame is the buffer from the offset on, then its start.
    const u32 o = ringOffset % kFramePixels;
    return std::memcmp(shown_.data(), buffer + o, (kFramePixels - o) * sizeof(u16)) == 0 &&
           std::memcmp(shown_.data() + (kFramePixels - o), buffer, o * sizeof(u16)) == 0;
}

void SdlBackend::SetSystemCursorVisible(bool visible) {
    if (videoStarted_) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

std::string SdlBackend::ClipboardText() {
    if (!videoStarted_ || !SDL_HasClipboardText()) return {};
    char* text = SDL_GetClipboardText();
    std::string out = text ? text : "";
    SDL_free(text);
    return out;
}

void SdlBackend::SetClipboardText(const std::string& text) {
    if (videoStarted_) SDL_SetClipboardText(text.c_str());
}

void SdlBackend::ShowMessage(const std::string& text, const std::string& caption,
                             MessageIcon icon) {
    Uint32 flags = icon == MessageIcon::kError     ? SDL_MESSAGEBOX_ERROR
                   : icon == MessageIcon::kWarning ? SDL_MESSAGEBOX_WARNING
                                                   : SDL_MESSAGEBOX_INFORMATION;
    // Always logged as well: with no display the box cannot appear.
    if (caption.empty()) {
        std::fprintf(stderr, "%s\n", text.c_str());
    } else {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
    // The process is ending already: nobody would read the box.
    if (MessageBoxCancelled()) return;
    MessageBoxProcessGuard guard;
    SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), nullptr);
}

std::string SdlBackend::RendererName() const {
    SDL_RendererInfo info;
    if (!renderer_ || SDL_GetRendererInfo(renderer_, &info) != 0 || !info.name) return {};
    return info.name;
}

unsigned long SdlBackend::NativeWindowId() const {
    if (!window_) return 0;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
    return static_cast<unsigned long>(info.info.x11.window);
}

}  // namespace platform
