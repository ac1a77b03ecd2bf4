// The client's intro: the frame callback's answers to window events, and the intro played
// by the client at start-up around the cursor and music switches.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "client/app/client_app.h"
#include "client/app/client_main.h"
#include "client/app/client_subsystem_trace.h"
#include "client/app/client_test_env.h"
#include "client/app/intro_movie_hook.h"
#include "client/app/main_window.h"
#include "core/loop_state.h"
#include "core/process_link.h"
#include "movie/intro_movie.h"
#include "movie_test_files.h"
#include "platform/client_window.h"
#include "platform/clock.h"

namespace {

TEST(IntroMovie, CallbackStopsOnKeysButtonsAndClose) {
    ClientTestEnv env;
    struct Case {
        const char* name;
        platform::EventType type;
        int result;
        bool closePosted;
    };
    const Case cases[] = {
        {"no event", platform::EventType::kNone, 0, false},
        {"key down", platform::EventType::kKeyDown, 1, false},
        {"button down", platform::EventType::kMouseDown, 1, false},
        {"close", platform::EventType::kClose, 1, true},
        {"pointer moved", platform::EventType::kMouseMove, 0, false},
        {"key up", platform::EventType::kKeyUp, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.type != platform::EventType::kNone) {
            platform::InputEvent e;
            e.type = c.type;
            env.Backend().Inject(e);
        }
        EXPECT_EQ(movie::IntroMovieCallback(), c.result);
        ClientMessage message;
        const bool posted = TheMainWindow().TakeMessage(message);
        EXPECT_EQ(posted, c.closePosted);
        if (posted) {
            EXPECT_EQ(message.kind, ClientMessage::Kind::kClose);
        }
    }
}

TEST(IntroMovie, CallbackStopsWhenTheProcessIsEnding) {
    ClientTestEnv env;
    EXPECT_EQ(movie::IntroMovieCallback(), 0);
    RequestQuit();
    EXPECT_EQ(movie::IntroMovieCallback(), 1);
    g_quitFlag.store(0);
}

// A movie with sound and a frame header of every type over filler.
std::string IntroBytes() {
    movie_writer::MovieChunkWriter w;
    w.Chunk("SCHl", movie_test::PcmHeader(1));
    const char* const tags[] = {"kVGT", "fVGT", "pQGT", "pIQT"};
    for (int i = 0; i < 8; ++i) {
        w.Chunk(tags[i % 4], movie_test::FramePayload(320, 240));
        w.Chunk("SCDl", movie_test::PcmPayload(1470));
    }
    w.End();
    return std::string(w.Bytes().begin(), w.Bytes().end());
}

struct IntroRun {
    std::vector<std::string> trace;
    int code = -1;
};

// Runs the client with the intro in place; the user presses a key (or closes the window)
// at once, and closes the window later.
IntroRun RunClient(ClientTestEnv& env, bool showIntro, bool closeDuringMovie) {
    env.WriteFile("zq.cfg", std::string("ShowIntroAnim=") + (showIntro ? "on" : "off") + "\n");
    env.LinkClientInstall();
    std::filesystem::create_directories(env.Dir() + "/music");
    env.WriteFile("music/intro.wve", IntroBytes());
    // No sound device in tests: the movie is paced by the silent stream.
    setenv("ZQ_HEADLESS", "1", 1);
    movie::InstallIntroMovie();
    ClientSubsystemTrace trace;
    trace.Start();
    if (closeDuringMovie)
        env.Backend().InjectClose();
    else
        env.Backend().InjectKey(0x20, true);
    platform::ManualClock clock(1000);
    int passes = 0;
    clock.onYield = [&] {
        clock.Advance(5);
        if (++passes == 400 && !closeDuringMovie) env.Backend().InjectClose();
    };
    IntroRun run;
    run.code = RunClientWithInstalledServices(ProcessArgs{});
    run.trace = trace.Take();
    SetIntroMovieRoutine(nullptr);
    unsetenv("ZQ_HEADLESS");
    return run;
}

// The entry points from SoundInit to the next step of the start-up.
std::vector<std::string> AroundTheIntro(const std::vector<std::string>& trace) {
    auto from = std::find(trace.begin(), trace.end(), "SoundInit");
    auto to = std::find(from, trace.end(), "CreateWorldViewGumps");
    // The software cursor's 25 ms timer steps on a thread of its own whenever it is due; it
    // is no part of the order around the intro.
    std::vector<std::string> steps;
    std::copy_if(from, to, std::back_inserter(steps),
                 [](const std::string& s) { return s != "CursorTimerStep"; });
    return steps;
}

TEST(IntroMovie, PlaysAfterSoundInitWithCursorAndMusicSwitchedOffAndBack) {
    ClientTestEnv env;
    const IntroRun run = RunClient(env, true, false);
    EXPECT_EQ(run.code, 0);
    const std::vector<std::string> want = {
        "SoundInit",       "CursorSetDrawEnabled", "IsMusicEnabled",
        "SetMusicEnabled", "CursorSetDrawEnabled", "SetMusicEnabled"};
    EXPECT_EQ(AroundTheIntro(run.trace), want);
}

TEST(IntroMovie, OffInTheConfigurationNothingIsPlayed) {
    ClientTestEnv env;
    const IntroRun run = RunClient(env, false, false);
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(AroundTheIntro(run.trace), std::vector<std::string>{"SoundInit"});
}

TEST(IntroMovie, CloseDuringTheMovieStopsItAndClosesTheClient) {
    ClientTestEnv env;
    const IntroRun run = RunClient(env, true, true);
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(AroundTheIntro(run.trace).size(), 6u);
    EXPECT_FALSE(platform::IsClientWindowAlive());
}

}  // namespace
