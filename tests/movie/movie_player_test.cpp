// The playback loop: pacing by the sound clock, frames behind, stop, pause and the state
// word, the asynchronous mode, elapsed time, refused frames, and sound on SDL's dummy
// audio driver.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "movie/movie_player.h"
#include "movie_test_files.h"
#include "platform/audio_output.h"
#include "platform/clock.h"

using namespace movie;
using movie_test::OpenMovie;
using movie_test::RecordingDecoder;
using movie_writer::MovieChunkWriter;

namespace {

// Header, then video and sound in the safe order, then the end chunk. Frame types cycle
// through `types`.
std::vector<u8> SafeOrderMovie(int frames, std::vector<int> types = {1}, bool sound = true,
                               size_t soundFrames = 50, int frameSide = 16) {
    static const char* const kTags[] = {"", "kVGT", "fVGT", "pQGT", "pIQT"};
    MovieChunkWriter w;
    if (sound) w.Chunk("SCHl", movie_test::PcmHeader());
    for (int i = 0; i < frames; ++i) {
        w.Chunk(kTags[types[size_t(i) % types.size()]],
                movie_test::FramePayload(frameSide, frameSide));
        if (sound) w.Chunk("SCDl", movie_test::PcmPayload(soundFrames));
    }
    w.End();
    return w.Bytes();
}

// Plays an opened movie through the loop and the release, as MoviePlayer does.
void Play(OpenMovie& m) {
    InitMovieVideo(*m.ctx);
    m.ctx->initialised = true;
    m.control.context = m.ctx.release();
    RunPlaybackLoop(m.control);
    ReleaseMovie(m.control);
}

TEST(MoviePlayer, FrameNWaitsForSoundClockNPlusFive) {
    platform::ManualClock clock;
    platform::ManualAudioOutput device(8192);
    OpenMovie m(SafeOrderMovie(30), MOVIE_SOUND);
    m.control.audio = &device;
    m.control.refillByCaller = true;
    ASSERT_TRUE(m.Open());
    std::vector<RecordingDecoder::Seen> seen;
    movie_test::InstallRecordingDecoders(*m.ctx, &seen);
    MovieSoundStream* stream = &m.ctx->stream;
    std::vector<u8> firstWritten;
    clock.onYield = [&] {
        device.Step(1000);
        SoundRefillPass(*stream);
        if (firstWritten.empty() && stream->slotsRead.load() == 1) firstWritten = device.Ring();
    };
    Play(m);
    ASSERT_EQ(seen.size(), 30u);
    for (const auto& s : seen) {
        if (s.frameCounter == 0) continue;
        EXPECT_GE(s.clock, s.frameCounter + kSoundClockLead) << "frame " << s.frameCounter;
        // Never shown far behind the sound either.
        EXPECT_LE(s.clock, s.frameCounter + kSoundClockLead + 1) << "frame " << s.frameCounter;
    }
    // The sound reached the device in order: the first chunk's samples at the start.
    ASSERT_FALSE(firstWritten.empty());
    EXPECT_EQ(firstWritten[0] | firstWritten[1] << 8, 100);
    EXPECT_EQ(m.control.state.load(), kMovieReleased);
    EXPECT_EQ(m.control.context, nullptr);
}

TEST(MoviePlayer, BehindTheSoundPaletteFramesAreDecodedUnseenAndTransformFramesDropped) {
    platform::ManualClock clock;
    platform::ManualAudioOutput device(8192);
    OpenMovie m(SafeOrderMovie(8, {1, 3, 2, 4}), MOVIE_SOUND);
    m.control.audio = &device;
    m.control.refillByCaller = true;
    std::vector<u16> screen(640 * 480, 0);
    int presented = 0;
    m.control.screen = screen.data();
    m.control.present = [&] { ++presented; };
    ASSERT_TRUE(m.Open());
    std::vector<RecordingDecoder::Seen> seen;
    movie_test::InstallRecordingDecoders(*m.ctx, &seen);
    MovieSoundStream* stream = &m.ctx->stream;
    clock.onYield = [&] {
        device.Step(1000);
        SoundRefillPass(*stream);
        // The sound runs far ahead of the picture.
        if (stream->created.load()) stream->clock.store(1000);
    };
    Play(m);
    // Frame 0 is shown; after it the picture lags: types 1 and 2 are decoded, 3 and 4 not.
    std::vector<int> types;
    for (const auto& s : seen)
        types.push_back(s.type);
    EXPECT_EQ(types, (std::vector<int>{1, 2, 1, 2}));
    EXPECT_EQ(presented, 1);
}

TEST(MoviePlayer, SilentMoviePlaysAsFastAsFramesDecode) {
    platform::ManualClock clock;
    OpenMovie m(SafeOrderMovie(25, {1, 2, 3, 4}, false));
    m.control.refillByCaller = true;
    ASSERT_TRUE(m.Open());
    std::vector<RecordingDecoder::Seen> seen;
    movie_test::InstallRecordingDecoders(*m.ctx, &seen);
    int yields = 0;
    clock.onYield = [&] { ++yields; };
    Play(m);
    EXPECT_EQ(seen.size(), 25u);
    EXPECT_EQ(m.control.frameCounter, 25);
    EXPECT_EQ(yields, 25);  // one per pass, no waiting for a clock
}

TEST(MoviePlayer, ChunksThatQueueNothingDoNotEndTheMovieEarly) {
    platform::ManualClock clock;
    MovieChunkWriter w;
    for (int i = 0; i < 20; ++i)
        w.Chunk("kVGT", movie_test::FramePayload());
    for (int i = 0; i < 40; ++i)
        w.Chunk("SCCl", std::vector<u8>(4, 0));
    w.Chunk("pIQT", movie_test::FramePayload());
    w.End();
    OpenMovie m(w.Bytes());
    m.control.refillByCaller = true;
    ASSERT_TRUE(m.Open());
    std::vector<RecordingDecoder::Seen> seen;
    movie_test::InstallRecordingDecoders(*m.ctx, &seen);
    Play(m);
    ASSERT_EQ(seen.size(), 21u);
    EXPECT_EQ(seen.back().type, kVariableLengthCodedFrame);
}

struct StopCase {
    const char* name;
    int stopAtFrame;
    bool byCallback;  // else by writing 4 into the state word
    size_t decoded;
    s32 frameCounter;
};

TEST(MoviePlayer, CallerStopsTheMovie) {
    const StopCase cases[] = {
        {"callback answers non-zero", 2, true, 3, 2},
        {"state word 4", 2, false, 3, 3},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.name);
        platform::ManualClock clock;
        OpenMovie m(SafeOrderMovie(10, {1}, false), MOVIE_FRAME_CALLBACK);
        m.control.refillByCaller = true;
        ASSERT_TRUE(m.Open());
        std::vector<RecordingDecoder::Seen> seen;
        movie_test::InstallRecordingDecoders(*m.ctx, &seen);
        int calls = 0;
        std::vector<s32> states;
        m.control.frameCallback = [&] {
            states.push_back(m.control.state.load());
            if (calls++ != c.stopAtFrame) return 0;
            if (c.byCallback) return 1;
            m.control.state.exchange(kMovieStopRequested);
            return 0;
        };
        Play(m);
        EXPECT_EQ(seen.size(), c.decoded);
        EXPECT_EQ(m.control.frameCounter, c.frameCounter);
        EXPECT_EQ(states.front(), kMoviePlaying);
        EXPECT_EQ(m.control.state.load(), kMovieReleased);
    }
}

TEST(MoviePlayer, PauseHoldsThePictureUntilResumed) {
    platform::ManualClock clock;
    OpenMovie m(SafeOrderMovie(4, {1}, false), MOVIE_FRAME_CALLBACK);
    m.control.refillByCaller = true;
    ASSERT_TRUE(m.Open());
    std::vector<RecordingDecoder::Seen> seen;
    movie_test::InstallRecordingDecoders(*m.ctx, &seen);
    int calls = 0;
    m.control.frameCallback = [&] {
        if (calls++ == 1) m.control.state.exchange(kMoviePaused);
        return 0;
    };
    int pausedYields = 0;
    size_t decodedWhilePaused = 0;
    clock.onYield = [&] {
        if (m.control.state.load() != kMoviePaused) return;
        decodedWhilePaused = std::max(decodedWhilePaused, seen.size());
        if (++pausedYields == 5) m.control.state.exchange(kMoviePlaying);
    };
    const u32 start = clock.Now();
    Play(m);
    EXPECT_EQ(pausedYields, 5);
    EXPECT_EQ(decodedWhilePaused, 2u);
    EXPECT_EQ(seen.size(), 4u);
    // Each paused wait is 20 ms, and the elapsed time counts them.
    EXPECT_EQ(clock.Now() - start, 5u * 20u);
    EXPECT_EQ(m.control.elapsedMs, 100);
}

TEST(MoviePlayer, ElapsedTimeIsTheLoopsDuration) {
    platform::ManualClock clock(5000);
    std::vector<u8> file = SafeOrderMovie(3, {1}, false);
    MemoryMovieSource source(file.data(), file.size());
    MovieControl control;
    control.flags = MOVIE_OWN_FILE | MOVIE_FRAME_CALLBACK | MOVIE_MEMORY_TARGET;
    control.file = &source;
    control.refillByCaller = true;
    control.frameCallback = [&] {
        clock.Advance(40);
        return 0;
    };
    EXPECT_EQ(MoviePlayer("", &control), nullptr);
    EXPECT_EQ(control.elapsedMs, 120);
    EXPECT_EQ(control.frameCounter, 3);
    EXPECT_EQ(control.state.load(), kMovieReleased);
}

TEST(MoviePlayer, FramesTheDecodersRefuseAreNotShownAndTheMovieStillEnds) {
    platform::ManualClock clock;
    platform::HeadlessAudioOutput device(32768, kSilentStepBytes);
    // 12 x 12 is off every coding's block grid.
    std::vector<u8> file = SafeOrderMovie(12, {1, 2, 3, 4}, true, 50, 12);
    MemoryMovieSource source(file.data(), file.size());
    MovieControl control;
    control.flags = MOVIE_OWN_FILE | MOVIE_SOUND | MOVIE_FRAME_CALLBACK;
    control.file = &source;
    control.audio = &device;
    control.refillByCaller = true;
    std::vector<u16> screen(640 * 480, 0);
    control.screen = screen.data();
    int presented = 0, callbacks = 0;
    s32 refused = 0;
    control.present = [&] { ++presented; };
    control.frameCallback = [&] {
        ++callbacks;
        refused = control.context->framesRefused;
        return 0;
    };
    clock.onYield = [&] {
        if (control.context) SoundRefillPass(control.context->stream);
    };
    EXPECT_EQ(MoviePlayer("", &control), nullptr);
    EXPECT_EQ(callbacks, 12);
    EXPECT_EQ(refused, 12);
    EXPECT_EQ(presented, 0);
    EXPECT_EQ(control.state.load(), kMovieReleased);
}

TEST(MoviePlayer, AsynchronousModeReturnsOncePlaying) {
    std::vector<u8> file = SafeOrderMovie(3, {1}, false);
    MemoryMovieSource source(file.data(), file.size());
    MovieControl control;
    control.flags = MOVIE_OWN_FILE | MOVIE_ASYNC | MOVIE_FRAME_CALLBACK;
    control.file = &source;
    std::atomic<bool> go{false};
    std::atomic<int> calls{0};
    control.frameCallback = [&] {
        // The first frame holds the playback thread until the caller has its answer.
        while (!go.load())
            std::this_thread::yield();
        ++calls;
        return 0;
    };
    EXPECT_EQ(MoviePlayer("", &control), &control);
    EXPECT_EQ(calls.load(), 0);
    go.store(true);
    while (control.state.load() != kMovieReleased)
        std::this_thread::yield();
    control.thread.join();
    EXPECT_EQ(calls.load(), 3);
    EXPECT_EQ(control.context, nullptr);
}

TEST(MoviePlayer, MissingFileIsAFailure) {
    MovieControl control;
    EXPECT_EQ(MoviePlayer("/nonexistent/intro.wve", &control), nullptr);
    EXPECT_EQ(control.context, nullptr);
    EXPECT_EQ(control.state.load(), kMovieReady);
}

TEST(MoviePlayer, SoundPlaysThroughSdlsDummyDriver) {
    const char* headless = std::getenv("ZQ_HEADLESS");
    const std::string saved = headless ? headless : "";
    unsetenv("ZQ_HEADLESS");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::vector<u8> file = SafeOrderMovie(4, {1}, true, 400);
    MemoryMovieSource source(file.data(), file.size());
    MovieControl control;
    control.flags = MOVIE_OWN_FILE | MOVIE_SOUND | MOVIE_FRAME_CALLBACK;
    control.file = &source;
    bool silent = true;
    control.frameCallback = [&] {
        silent = control.context->stream.silent;
        return 0;
    };
    EXPECT_EQ(MoviePlayer("", &control), nullptr);
    if (headless) setenv("ZQ_HEADLESS", saved.c_str(), 1);
    unsetenv("SDL_AUDIODRIVER");
    EXPECT_FALSE(silent);
    EXPECT_EQ(control.frameCounter >= 4, true);
    EXPECT_EQ(control.state.load(), kMovieReleased);
}

}  // namespace
