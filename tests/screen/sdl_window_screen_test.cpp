// The real SDL window on a virtual X server: size, title, presented pixels read back from
// the X server, and closing the window ending the client.
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "client/app/client_main.h"
#include "client/app/client_subsystem_trace.h"
#include "client/app/intro_movie_hook.h"
#include "core/process_link.h"
#include "e2e/process_runner.h"
#include "movie/intro_movie.h"
#include "platform/client_window.h"
#include "platform/keys.h"
#include "platform/png_file.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window_backend.h"

// X11 last: its macros (None, Status, ...) clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "screen/x_window_search.h"

namespace {

using platform::kClientHeight;
using platform::kClientWidth;
using platform::kFramePixels;

class XDisplay {
public:
    XDisplay() : display_(XOpenDisplay(nullptr)) {}
    ~XDisplay() {
        if (display_) XCloseDisplay(display_);
    }
    Display* get() const { return display_; }

private:
    Display* display_;
};

// Reads the window's client area from the X server as 16-bit pixels, each channel cut back
// to its top bits.
std::vector<u16> ReadWindow(Display* d, Window w, bool is565) {
    XSync(d, False);
    XImage* image = XGetImage(d, w, 0, 0, kClientWidth, kClientHeight, AllPlanes, ZPixmap);
    std::vector<u16> out;
    if (!image) return out;
    out.resize(kFramePixels);
    for (int y = 0; y < kClientHeight; ++y) {
        for (int x = 0; x < kClientWidth; ++x) {
            unsigned long p = XGetPixel(image, x, y);
            u32 r = (p & image->red_mask) >> 16;
            u32 g = (p & image->green_mask) >> 8;
            u32 b = p & image->blue_mask;
            out[static_cast<size_t>(y) * kClientWidth + x] =
                is565 ? static_cast<u16>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3))
                      : static_cast<u16>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
        }
    }
    XDestroyImage(image);
    return out;
}

std::vector<u16> Pattern(bool is565) {
    std::vector<u16> f(kFramePixels);
    for (u32 i = 0; i < kFramePixels; ++i) {
        u32 x = i % kClientWidth, y = i / kClientWidth;
        u32 v = (x * 37 + y * 1021 + (x ^ y) * 7) & 0xFFFF;
        f[i] = static_cast<u16>(is565 ? v : (v & 0x7FFF));
    }
    return f;
}

// Presents `frame` (ring-addressed at `ring`) until the window shows `expected` (the picture
// reaches the X server asynchronously; bounded) and answers how many pixels differ.
size_t WrongPixelsShown(platform::SdlBackend& backend, Display* d, Window w,
                        const std::vector<u16>& frame, u32 ring, bool is565,
                        const std::vector<u16>& expected) {
    std::vector<u16> shown;
    for (int attempt = 0; attempt < 50 && shown != expected; ++attempt) {
        backend.Present(frame.data(), ring,
                        is565 ? platform::PixelFormat::k565 : platform::PixelFormat::k555);
        platform::InputEvent e;
        while (backend.PollEvent(e)) {
        }
        shown = ReadWindow(d, w, is565);
        if (shown != expected) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (shown.size() != expected.size()) return expected.size();
    size_t wrong = 0;
    for (u32 p = 0; p < kFramePixels; ++p)
        wrong += shown[p] != expected[p];
    return wrong;
}

// Asks the top-level window of `pid` (0: any) whose title starts with `title` to close, the
// way a click on the title bar's close button does (waits up to `limitMs` for the window to
// appear).
bool CloseWindowByTitle(const std::string& title, long pid = 0, int limitMs = 5000) {
    XDisplay x;
    if (!x.get()) return false;
    Window target = screen::FindShownWindow(x.get(), title, pid, limitMs);
    if (!target) return false;
    screen::AskToClose(x.get(), target);
    return true;
}

TEST(SdlWindowScreen, WindowHasTheClientSizeAndTitleAndShowsFramesPixelExact) {
    XDisplay x;
    ASSERT_NE(x.get(), nullptr) << "no X display";
    platform::SdlBackend backend;
    ASSERT_TRUE(backend.OpenWindow("Varnok Online"));
    Window w = backend.NativeWindowId();
    ASSERT_NE(w, 0u);

    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(x.get(), w, &attributes));
    EXPECT_EQ(attributes.width, kClientWidth);
    EXPECT_EQ(attributes.height, kClientHeight);
    char* name = nullptr;
    // SDL sets the UTF-8 name; the classic name property carries it as well.
    XTextProperty text;
    ASSERT_TRUE(XGetWMName(x.get(), w, &text));
    name = reinterpret_cast<char*>(text.value);
    EXPECT_STREQ(name, "Varnok Online");
    XFree(text.value);
    // The window cannot be resized: its size hints pin it to the client area.
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(x.get(), w, &hints, &supplied));
    EXPECT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
    EXPECT_EQ(hints.min_width, kClientWidth);
    EXPECT_EQ(hints.max_width, kClientWidth);
    EXPECT_EQ(hints.min_height, kClientHeight);
    EXPECT_EQ(hints.max_height, kClientHeight);
    // Clipboard text goes out and comes back.
    backend.SetClipboardText("Varnok clipboard");
    EXPECT_EQ(backend.ClipboardText(), "Varnok clipboard");
    // Full screen and back to the fixed window.
    ASSERT_TRUE(backend.SetFullScreen(true));
    EXPECT_TRUE(backend.IsFullScreen());
    ASSERT_TRUE(backend.SetFullScreen(false));
    EXPECT_FALSE(backend.IsFullScreen());

    const u32 ring = 640 * 3 + 10;
    for (bool is565 : {false, true}) {
        auto frame = Pattern(is565);
        std::vector<u16> expected(kFramePixels);
        for (u32 p = 0; p < kFramePixels; ++p)
            expected[p] = frame[(p + ring) % kFramePixels];
        EXPECT_EQ(WrongPixelsShown(backend, x.get(), w, frame, ring, is565, expected), 0u)
            << (is565 ? "565" : "555");
    }
    backend.CloseWindow();
}

// The window shows the renderer's headless frames pixel for pixel: the golden scenes of the
// world view, the figures and the front end, presented from a ring-addressed buffer in both
// pixel formats.
TEST(SdlWindowScreen, TheWindowShowsTheHeadlessFramesOfTheGoldenScenes) {
    XDisplay x;
    ASSERT_NE(x.get(), nullptr) << "no X display";
    platform::SdlBackend backend;
    ASSERT_TRUE(backend.OpenWindow("Varnok Online"));
    const Window w = backend.NativeWindowId();
    const u32 ring = 640 * 101 + 317;
    for (const char* scene :
         {"world_town_street", "world_hilly_land", "world_level_cut", "mobiles_player",
          "creation_appearance_female", "login_main_menu", "login_character_list"}) {
        std::vector<u16> golden;
        int width = 0, height = 0;
        ASSERT_TRUE(platform::ReadFramePng(
            std::string(ZQ_SOURCE_DIR) + "/tests/golden/" + scene + ".png", golden, width, height))
            << scene;
        ASSERT_EQ(width, kClientWidth) << scene;
        ASSERT_EQ(height, kClientHeight) << scene;
        for (bool is565 : {false, true}) {
            // The frame as the renderer leaves it in the ring buffer; 565 frames carry green's
            // lowest bit clear, as the light step converts them.
            std::vector<u16> expected(kFramePixels), buffer(kFramePixels);
            for (u32 p = 0; p < kFramePixels; ++p) {
                const u16 v = golden[p];
                expected[p] = is565 ? static_cast<u16>((v & 0x7FE0) << 1 | (v & 0x1F)) : v;
                buffer[(p + ring) % kFramePixels] = expected[p];
            }
            EXPECT_EQ(WrongPixelsShown(backend, x.get(), w, buffer, ring, is565, expected), 0u)
                << scene << (is565 ? " 565" : " 555");
        }
    }
    backend.CloseWindow();
}

// An unchanged picture is not sent to the window again, but every change is: one pixel, the
// ring's offset, the pixel format, and a picture the window must repaint after it went full
// screen and back.
TEST(SdlWindowScreen, OnlyChangedPicturesAreSentAndEveryChangeIsShown) {
    XDisplay x;
    ASSERT_NE(x.get(), nullptr) << "no X display";
    platform::SdlBackend backend;
    ASSERT_TRUE(backend.OpenWindow("Varnok Online"));
    const Window w = backend.NativeWindowId();
    std::vector<u16> frame = Pattern(false);
    std::vector<u16> expected = frame;
    ASSERT_EQ(WrongPixelsShown(backend, x.get(), w, frame, 0, false, expected), 0u);
    // The window's own events (shown, exposed) ask for the picture again: let them settle.
    u32 sent = backend.FramesSent();
    for (int attempt = 0; attempt < 50; ++attempt) {
        platform::InputEvent e;
        while (backend.PollEvent(e)) {
        }
        sent = backend.FramesSent();
        backend.Present(frame.data(), 0, platform::PixelFormat::k555);
        if (backend.FramesSent() == sent) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // With no event in between, the same picture never goes out again.
    for (int i = 0; i < 20; ++i)
        backend.Present(frame.data(), 0, platform::PixelFormat::k555);
    EXPECT_EQ(backend.FramesSent(), sent) << "an unchanged picture was sent again";

    struct Step {
        const char* name;
        std::function<void()> change;
        u32 ring;
        bool is565;
    };
    const Step steps[] = {
        {"one pixel", [&] { frame[640 * 479 + 639] ^= 0x0421; }, 0, false},
        {"the ring's offset", [] {}, 640 * 7 + 3, false},
        {"the pixel format", [] {}, 640 * 7 + 3, true},
        {"full screen and back",
         [&] {
             ASSERT_TRUE(backend.SetFullScreen(true));
             ASSERT_TRUE(backend.SetFullScreen(false));
         },
         640 * 7 + 3, true},
    };
    for (const Step& step : steps) {
        step.change();
        sent = backend.FramesSent();
        for (u32 p = 0; p < kFramePixels; ++p)
            expected[p] = frame[(p + step.ring) % kFramePixels];
        EXPECT_EQ(WrongPixelsShown(backend, x.get(), w, frame, step.ring, step.is565, expected), 0u)
            << step.name;
        EXPECT_GT(backend.FramesSent(), sent) << step.name;
    }
    backend.CloseWindow();
}

TEST(SdlWindowScreen, PresentsWithoutASoftwareOpenGlRasteriser) {
    // A virtual X server has no graphics hardware: OpenGL there runs on the processor with a
    // pool of threads, so frames go through SDL's software renderer instead.
    platform::SdlBackend backend;
    ASSERT_TRUE(backend.OpenWindow("Varnok Online"));
    EXPECT_EQ(backend.RendererName(), "software");
    std::vector<u16> frame(kFramePixels, 0x7C00);
    backend.Present(frame.data(), 0, platform::PixelFormat::k555);
    backend.CloseWindow();
}

TEST(SdlWindowScreen, AWindowOpensRightAfterTheLastOneClosed) {
    // Each close drops every connection to the X server, and the next open connects at once,
    // as consecutive tests (or a game restarting its window) do. A server that resets when
    // its last client leaves drops the connections made meanwhile.
    for (int round = 0; round < 20; ++round) {
        platform::SdlBackend backend;
        ASSERT_TRUE(backend.OpenWindow("Varnok Online")) << "round " << round;
        backend.CloseWindow();
    }
}

TEST(SdlWindowScreen, SdlEventsBecomeKeyMessagesAndCharacters) {
    platform::SdlBackend backend;
    ASSERT_TRUE(backend.OpenWindow("Varnok Online"));
    platform::InputEvent e;
    while (backend.PollEvent(e)) {
    }
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_TAB;
    key.key.keysym.scancode = SDL_SCANCODE_TAB;
    key.key.repeat = 1;
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    std::strcpy(text.text.text, "a\xC3\xA9");
    ASSERT_EQ(SDL_PushEvent(&text), 1);
    SDL_Event up{};
    up.type = SDL_KEYUP;
    up.key.keysym.sym = SDLK_UP;
    ASSERT_EQ(SDL_PushEvent(&up), 1);

    std::vector<platform::InputEvent> got;
    while (backend.PollEvent(e)) {
        if (e.type != platform::EventType::kMouseMove && e.type != platform::EventType::kActivate &&
            e.type != platform::EventType::kDeactivate) {
            got.push_back(e);
        }
    }
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got[0].type, platform::EventType::kKeyDown);
    EXPECT_EQ(got[0].key, platform::kVkTab);
    EXPECT_NE(got[0].keyData & platform::kKeyDataWasDown, 0u);
    EXPECT_EQ(platform::KeyNameFromKeyData(got[0].keyData), "Tab");
    EXPECT_EQ(got[1].type, platform::EventType::kChar);
    EXPECT_EQ(got[1].character, 9u);
    EXPECT_EQ(got[2].character, u32{'a'});
    EXPECT_EQ(got[3].character, 0xE9u);
    EXPECT_EQ(got[4].type, platform::EventType::kKeyUp);
    EXPECT_EQ(got[4].key, platform::kVkUp);
    EXPECT_NE(got[4].keyData & platform::kKeyDataExtended, 0u);
    EXPECT_NE(got[4].keyData & platform::kKeyDataReleased, 0u);
    backend.CloseWindow();
}

// The game takes its events one at a time while the system has more waiting: a key's
// modifiers are those held at that key's event, even when Ctrl was let go right after.
TEST(SdlWindowScreen, KeyStateIsThatOfTheEventBeingHandled) {
    XDisplay x;
    ASSERT_NE(x.get(), nullptr) << "no X display";
    platform::SdlBackend backend;
    ASSERT_TRUE(backend.OpenWindow("Varnok Online"));
    Window w = screen::FindShownWindow(x.get(), "Varnok Online", getpid(), 5000);
    ASSERT_NE(w, 0u);
    XSetInputFocus(x.get(), w, RevertToParent, CurrentTime);
    XSync(x.get(), False);
    platform::InputEvent e;
    while (backend.PollEvent(e)) {
    }
    auto key = [&](KeySym sym, bool down) {
        XTestFakeKeyEvent(x.get(), XKeysymToKeycode(x.get(), sym), down, CurrentTime);
    };
    key(XK_Control_L, true);
    key(XK_Next, true);
    key(XK_Next, false);
    key(XK_Control_L, false);
    key(XK_Next, true);
    key(XK_Next, false);
    XSync(x.get(), False);
    std::vector<bool> ctrlAtPageDown;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (ctrlAtPageDown.size() < 2 && std::chrono::steady_clock::now() < limit) {
        if (!backend.PollEvent(e)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        if (e.type == platform::EventType::kKeyDown && e.key == platform::kVkNext) {
            ctrlAtPageDown.push_back(backend.IsKeyDown(platform::kVkControl));
            EXPECT_TRUE(backend.IsKeyDown(platform::kVkNext));
        }
    }
    EXPECT_EQ(ctrlAtPageDown, (std::vector<bool>{true, false}));
    backend.CloseWindow();
}

TEST(SdlWindowScreen, ClosingTheWindowEndsTheClient) {
    std::string dir = ::testing::TempDir() + "zq_screen_run_" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    e2e::LinkClientInstall(dir);
    setenv("ZQ_RUN_DIR", dir.c_str(), 1);
    setenv("ZQ_CONFIG_DIR", (dir + "/config").c_str(), 1);
    auto* sdl = new platform::SdlBackend;
    auto old = platform::InstallBackend(std::unique_ptr<platform::WindowBackend>(sdl));

    // A second thread plays the window manager: once the window exists it asks it to close
    // the way a click on the title bar's close button does.
    std::atomic<bool> sent{false};
    std::thread closer([&] {
        for (int i = 0; i < 500 && !platform::IsClientWindowAlive(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        sent = CloseWindowByTitle("Varnok Online", getpid());
    });
    int code = ClientMain(ProcessArgs{});
    closer.join();
    EXPECT_TRUE(sent.load());
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(platform::IsClientWindowAlive());
    platform::InstallBackend(std::move(old));
    unsetenv("ZQ_RUN_DIR");
    unsetenv("ZQ_CONFIG_DIR");
    std::filesystem::remove_all(dir);
}

// Whether the screen shows a movie on scan lines: rows of one parity lit, the others black.
bool ShowsScanLinePicture(const std::vector<u16>& pixels) {
    int lit[2] = {0, 0};
    for (int y = 0; y < kClientHeight; ++y) {
        int count = 0;
        for (int x = 0; x < kClientWidth; ++x)
            if (pixels[static_cast<size_t>(y) * kClientWidth + x] != 0) ++count;
        if (count > 20) ++lit[y % 2];
    }
    return (lit[0] >= 200 && lit[1] == 0) || (lit[1] >= 200 && lit[0] == 0);
}

// A left-button press inside the window, as the X server delivers a click.
void ClickIn(Display* d, Window w, int x, int y) {
    XEvent ev{};
    ev.xbutton.type = ButtonPress;
    ev.xbutton.display = d;
    ev.xbutton.window = w;
    ev.xbutton.root = DefaultRootWindow(d);
    ev.xbutton.time = CurrentTime;
    ev.xbutton.x = x;
    ev.xbutton.y = y;
    ev.xbutton.same_screen = True;
    ev.xbutton.button = Button1;
    XSendEvent(d, w, True, ButtonPressMask, &ev);
    ev.xbutton.type = ButtonRelease;
    ev.xbutton.state = Button1Mask;
    XSendEvent(d, w, True, ButtonReleaseMask, &ev);
    XSync(d, False);
}

// The entry points from SoundInit up to the next step of the start-up, without the cursor
// timer's steps (the window's timer events reach the window during the intro as well).
std::vector<std::string> AroundTheIntro(const std::vector<std::string>& trace) {
    auto from = std::find(trace.begin(), trace.end(), "SoundInit");
    auto to = std::find(from, trace.end(), "CreateWorldViewGumps");
    std::vector<std::string> out;
    std::copy_if(from, to, std::back_inserter(out),
                 [](const std::string& name) { return name != "CursorTimerStep"; });
    return out;
}

// The generated intro in the real window: it plays (pixel pairs between black scan lines),
// a click stops it and the client goes on with its start-up. The main menu that follows
// the intro in the full game is not built yet: the next start-up step stands for it.
TEST(SdlWindowScreen, TheIntroPlaysAndAClickGoesOnWithTheStartUp) {
    const std::string intro = std::string(ZQ_RUN_DIR) + "/music/intro.wve";
    ASSERT_TRUE(std::filesystem::exists(intro)) << "the content builder writes " << intro;
    std::string dir = ::testing::TempDir() + "zq_screen_intro_" + std::to_string(getpid());
    std::filesystem::create_directories(dir + "/music");
    {
        std::ofstream cfg(dir + "/zq.cfg");
        cfg << "ShowIntroAnim=on\n";
    }
    e2e::LinkClientInstall(dir);
    std::filesystem::create_symlink(intro, dir + "/music/intro.wve");
    setenv("ZQ_RUN_DIR", dir.c_str(), 1);
    setenv("ZQ_CONFIG_DIR", (dir + "/config").c_str(), 1);
    // The music is played, into SDL's dummy sound device.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto* sdl = new platform::SdlBackend;
    auto old = platform::InstallBackend(std::unique_ptr<platform::WindowBackend>(sdl));
    movie::InstallIntroMovie();
    ClientSubsystemTrace trace;
    trace.Start();

    std::atomic<bool> introSeen{false}, stillInIntroAtClick{false}, wentOn{false};
    double clickToNextStep = -1;
    std::thread user([&] {
        XDisplay x;
        Window w = x.get() ? screen::FindShownWindow(x.get(), "Varnok Online", getpid(), 5000) : 0;
        if (!w) return;
        for (int i = 0; i < 400 && !introSeen; ++i) {
            introSeen = ShowsScanLinePicture(ReadWindow(x.get(), w, true));
            if (!introSeen) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (introSeen) {
            stillInIntroAtClick = !trace.Has("CreateWorldViewGumps");
            const auto clicked = std::chrono::steady_clock::now();
            // A synthetic click can land before the window takes pointer input on a loaded
            // machine: click again every half second until the start-up goes on.
            for (int i = 0; i < 1000 && !trace.Has("CreateWorldViewGumps"); ++i) {
                if (i % 100 == 0) ClickIn(x.get(), w, kClientWidth / 2, kClientHeight / 2);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            wentOn = trace.Has("CreateWorldViewGumps");
            clickToNextStep =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - clicked).count();
        }
        screen::AskToClose(x.get(), w);
    });
    const int code = RunClientWithInstalledServices(ProcessArgs{});
    user.join();
    const std::vector<std::string> calls = trace.Take();
    SetIntroMovieRoutine(nullptr);
    platform::InstallBackend(std::move(old));
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("ZQ_RUN_DIR");
    unsetenv("ZQ_CONFIG_DIR");
    std::filesystem::remove_all(dir);

    EXPECT_EQ(code, 0);
    ASSERT_TRUE(introSeen) << "the intro never showed in the window";
    EXPECT_TRUE(stillInIntroAtClick);
    EXPECT_TRUE(wentOn) << "the click did not end the intro";
    // Well before the 6 seconds the intro lasts by itself.
    EXPECT_LT(clickToNextStep, 3.0);
    const std::vector<std::string> around = {
        "SoundInit",       "CursorSetDrawEnabled", "IsMusicEnabled",
        "SetMusicEnabled", "CursorSetDrawEnabled", "SetMusicEnabled"};
    EXPECT_EQ(AroundTheIntro(calls), around);
}

}  // namespace

namespace {

TEST(SdlWindowScreen, ClosingTheGameWindowEndsTheWholeProcess) {
    e2e::TempDir dir;
    dir.CopyIn(e2e::RunDir() + "/zqdemo.dat", "zqdemo.dat");
    dir.LinkClientInstall();
    e2e::ChildProcess game(e2e::RunDir() + "/zqdemo", dir.Path(),
                           {"ZQ_CONFIG_DIR=" + dir.Path() + "/config"});
    ASSERT_TRUE(game.Started());
    // The whole game loads its world before the window opens: slow on a busy machine.
    ASSERT_TRUE(CloseWindowByTitle("Varnok Online", game.Pid(), 60000)) << game.Stderr();
    // The server looks for the window every 5 s.
    EXPECT_EQ(game.WaitForExit(15000), 0) << game.Stderr();
}

}  // namespace
