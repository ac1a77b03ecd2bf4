#pragma once
// The movie player: plays one chunked movie file, pictures paced by the sound clock, into
// the client's 640x480 screen buffer or into the caller's memory frame buffers. The caller
// fills a control block and calls MoviePlayer; in the asynchronous mode it steers the
// playback through the state word.
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "movie/movie_audio.h"
#include "movie/movie_chunk.h"
#include "movie/movie_colour.h"
#include "movie/movie_frame_decoder.h"
#include "movie/movie_source.h"
#include "movie/movie_video.h"
#include "platform/audio_output.h"
#include "platform/types.h"

namespace movie {

// State word values.
constexpr s32 kMovieReady = 0;
constexpr s32 kMovieStarting = 1;
constexpr s32 kMoviePlaying = 2;
constexpr s32 kMoviePaused = 3;
constexpr s32 kMovieStopRequested = 4;
constexpr s32 kMovieFinished = 5;
constexpr s32 kMovieReleased = 6;

constexpr u32 kVideoRingBytes = 700000;
constexpr u32 kAudioRingBytes = 300000;
constexpr s32 kPreloadAudioSlots = 21;
constexpr s32 kPreloadVideoSlots = 20;
constexpr s32 kReadLimitSlots = 22;
// A frame is shown once the sound clock has reached its number plus this lead.
constexpr s32 kSoundClockLead = 5;
constexpr int kMaxClockWaits = 102;

struct MovieContext;

struct MovieControl {
    u32 flags = 0;
    MovieContext* context = nullptr;

    // Display format of the screen or of the memory buffers (none given: 5-6-5).
    DisplayFormat format;

    // Memory mode: the caller's two frame buffers and the size of each.
    u8* targetBuffer = nullptr;
    u8* referenceBuffer = nullptr;
    size_t memoryBufferBytes = 0;

    // Sound output lent by the caller (with MOVIE_SOUND); none: the player opens a device,
    // or plays silently paced.
    platform::AudioOutput* audio = nullptr;

    s32 frameHeight = 0, frameWidth = 0;
    s32 xOffset = 0, yOffset = 0;
    s32 destWidth = 0, destHeight = 0;
    s32 brightness = 100;
    s32 audioPresent = 0;
    s32 audioCountsFrames = 0;
    s32 elapsedMs = 0;
    s32 frameCounter = 0;
    s32 framesBehind = 0;
    std::atomic<s32> state{kMovieReady};

    // The screen the frames are shown on (640x480) and how to show it.
    u16* screen = nullptr;
    std::function<void()> present;

    // MOVIE_OWN_FILE: the caller's open source, neither opened nor closed by the player.
    MovieSource* file = nullptr;

    std::thread thread;  // MOVIE_ASYNC
    std::function<int()> frameCallback;

    // The caller runs the refill passes itself (SoundRefillPass on the context's stream)
    // instead of the player's refill thread.
    bool refillByCaller = false;

    ~MovieControl() {
        if (thread.joinable()) thread.join();
    }
};

struct VideoSlot {
    const u8* data = nullptr;
    u32 size = 0;
    s32 videoCount = 0;
    int type = 0;  // 0: empty
};

struct MovieContext {
    MovieControl* control = nullptr;
    int primaryWidth = kScreenWidth;
    int primaryHeight = kScreenHeight;

    ChunkRing video{kVideoRingBytes};
    ChunkRing audio{kAudioRingBytes};
    std::array<RingRegion, kQueueSlots> audioRegions{};  // where each audio slot's bytes are
    std::array<RingRegion, kQueueSlots> videoRegions{};

    MovieSoundDecoder sound;
    MovieSoundStream stream;
    SoundRefillThread refill;

    std::array<VideoSlot, kQueueSlots> videoSlots{};
    s32 videoSlotsRead = 0;
    s32 videoSlotsWritten = 0;
    s32 queuedVideo = 0;
    s32 videoChunks = 0;
    s32 audioChunks = 0;

    bool endOfFile = false;
    int lastSecondRead = kChunkIgnored;
    int lastFirstRead = 0;

    std::unique_ptr<MovieSource> ownFile;
    MovieSource* file = nullptr;
    std::vector<u8> payload;  // sound and ignored payloads pass through here

    // Video.
    bool videoInitialised = false;
    MovieColourTables colour;
    std::array<std::unique_ptr<MovieFrameDecoder>, kFrameCodings> decoders;
    s32 framesRefused = 0;
    std::vector<u8> surfaceA, surfaceB;
    u8* target = nullptr;
    u8* reference = nullptr;
    int surfaceWidth = 0, surfaceHeight = 0;  // frame pixels of the first frame
    bool surfacesMade = false;

    u32 startTick = 0, endTick = 0;
    bool initialised = false;
};

// Plays the movie at `path` (or the control block's own source). Returns the control block
// in the asynchronous mode once playback has started, and null otherwise: after the movie
// has ended, and on every failure.
MovieControl* MoviePlayer(const std::string& path, MovieControl* control);

// The parts, for the asynchronous thread and for tests.
bool OpenMovieStream(MovieContext& ctx, const std::string& path);
void InitMovieSound(MovieContext& ctx);
void InitMovieVideo(MovieContext& ctx);
int ReadMovieChunk(MovieContext& ctx);
void ReadAheadStep(MovieContext& ctx);
void RunPlaybackLoop(MovieControl& control);
void ReleaseMovie(MovieControl& control);

// Decodes one queued frame into the target buffer; false when it was refused.
bool DecodeFrame(MovieContext& ctx, const VideoSlot& slot);
void PresentFrame(MovieContext& ctx);
void SwapFrameSurfaces(MovieContext& ctx);

// Makes a context for `control` without opening anything (tests feed it a source).
std::unique_ptr<MovieContext> NewMovieContext(MovieControl& control);

}  // namespace movie
