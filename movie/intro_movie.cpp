#include "movie/intro_movie.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "client/app/client_app.h"
#include "client/app/client_subsystem_services.h"
#include "client/app/intro_movie_hook.h"
#include "client/app/main_window.h"
#include "core/loop_state.h"
#include "movie/movie_player.h"
#include "platform/window_backend.h"

namespace movie {
namespace {

int g_callbackCalls = 0;

// The file in the install directory, else in the CD data directory; empty when neither.
std::string FindIntroFile(const CClientApp& app, const char* name) {
    std::error_code error;
    for (const std::string& path : {app.MakeHDPath(name), app.MakeCDPath(name)}) {
        if (std::filesystem::is_regular_file(path, error)) return path;
    }
    return {};
}

}  // namespace

int IntroMovieCallback() {
    ++g_callbackCalls;
    // The process is ending: the movie makes way, and the main loop closes the window.
    if (IsQuitting()) return 1;
    ClientMainWindow& window = TheMainWindow();
    platform::InputEvent e;
    if (!platform::Backend().PollEvent(e)) return 0;
    switch (e.type) {
        case platform::EventType::kKeyDown:
        case platform::EventType::kMouseDown:
            return 1;
        case platform::EventType::kClose: {
            // The window closes once the movie is over, as it would have without it.
            ClientMessage close;
            close.kind = ClientMessage::Kind::kClose;
            close.event = e;
            window.PostMessage(close);
            return 1;
        }
        default: {
            ClientMessage message;
            message.event = e;
            window.Dispatch(message);
            return 0;
        }
    }
}

void PlayIntroMovie() {
    CClientApp* app = CClientApp::Instance();
    ClientMainWindow& window = TheMainWindow();
    if (!app || !window.Exists()) return;
    const std::string path = FindIntroFile(*app, "music/intro.wve");
    if (path.empty()) {
        PlayIntroVideo();
        return;
    }
    const bool use565 = app->options.use565;
    std::vector<u16> screen(platform::kFramePixels, 0);
    MovieControl control;
    control.flags = MOVIE_SOUND | MOVIE_FRAME_CALLBACK | MOVIE_PIXEL_DOUBLE | MOVIE_SCANLINES |
                    MOVIE_CENTER_X | MOVIE_CENTER_Y;
    control.format = use565 ? DisplayFormat565() : DisplayFormat555();
    control.screen = screen.data();
    control.present = [&screen, use565] {
        platform::Backend().Present(
            screen.data(), 0, use565 ? platform::PixelFormat::k565 : platform::PixelFormat::k555);
    };
    control.frameCallback = &IntroMovieCallback;

    ClientSubsystemServices& subsystems = GetClientSubsystemServices();
    window.movieMode = true;
    subsystems.CursorSetDrawEnabled(0);
    g_callbackCalls = 0;
    const bool music = subsystems.IsMusicEnabled();
    subsystems.SetMusicEnabled(false);
    MoviePlayer(path, &control);
    subsystems.CursorSetDrawEnabled(1);
    window.movieMode = false;
    subsystems.SetMusicEnabled(music);
}

void PlayIntroVideo() {
    CClientApp* app = CClientApp::Instance();
    if (!app || !TheMainWindow().Exists()) return;
    ClientSubsystemServices& subsystems = GetClientSubsystemServices();
    const bool music = subsystems.IsMusicEnabled();
    subsystems.SetMusicEnabled(false);
    const std::string path = FindIntroFile(*app, "music/intro.avi");
    if (!path.empty()) {
        static bool said = false;
        if (!said) {
            said = true;
            std::fprintf(stderr, "movie: playing %s is not built yet\n", path.c_str());
        }
    }
    subsystems.SetMusicEnabled(music);
}

void InstallIntroMovie() {
    SetIntroMovieRoutine(&PlayIntroMovie);
}

}  // namespace movie
