#include "movie/movie_player.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/clock.h"

namespace movie {
namespace {

u32 ReadLe32(const u8* p) {
    return u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24;
}

// The regions of the slots from `read` up to `written` (the ones still queued).
template <size_t N>
std::vector<RingRegion> LiveRegions(const std::array<RingRegion, N>& regions, s32 read,
                                    s32 written) {
    std::vector<RingRegion> live;
    for (s32 i = read; i < written; ++i)
        live.push_back(regions[size_t(i) % N]);
    return live;
}

bool SkipPayload(MovieContext& ctx, u32 payloadSize) {
    return ctx.file->Skip(s64(payloadSize));
}

// Reads a payload whole; false at a short or failed read (the end of the movie).
bool ReadPayload(MovieContext& ctx, u8* out, u32 size) {
    if (size == 0) return true;
    const s64 n = ctx.file->Read(out, size);
    if (n == s64(size)) return true;
    ctx.endOfFile = true;
    return false;
}

int ReadSoundData(MovieContext& ctx, u32 payloadSize) {
    MovieControl& control = *ctx.control;
    // Chunks too big for the format are passed over by their size.
    if (payloadSize > kMaxSoundPayload) return SkipPayload(ctx, payloadSize), kChunkSkipped;
    ctx.payload.resize(payloadSize);
    if (!ReadPayload(ctx, ctx.payload.data(), payloadSize)) return kChunkEnd;
    const s64 decoded = ctx.sound.DecodedSize(ctx.payload.data(), payloadSize);
    // An unknown coding: the chunk is dropped; the clock runs on without it.
    if (decoded < 0) return kChunkSound;
    // Decoded sound that might never fit the stream's free space is passed over: a device
    // moves its play position in periods, so the free space need not reach the whole
    // stream, and a chunk waiting for more would hold the movie forever.
    const u32 streamBytes =
        ctx.stream.created.load() ? ctx.stream.bufferSize : ctx.stream.desiredSize;
    if (decoded > s64(streamBytes / 2)) return kChunkSkipped;
    const auto live =
        LiveRegions(ctx.audioRegions, ctx.stream.slotsRead.load(), ctx.stream.slotsWritten.load());
    const s64 at = ctx.audio.Place(u32(decoded), live);
    if (at < 0) return kChunkSkipped;
    u8* out = ctx.audio.At(u32(at));
    if (!ctx.sound.Decode(ctx.payload.data(), payloadSize, out)) return kChunkSound;
    ctx.audio.Commit(u32(at), u32(decoded));
    // Interleave rule: sound after sound means the sound chunks carry the frame count.
    if (ctx.lastSecondRead == kChunkSound) control.audioCountsFrames = 1;
    if (control.audioCountsFrames) ++ctx.videoChunks;
    const s32 index = ctx.stream.slotsWritten.load();
    ctx.audioRegions[size_t(index) % kQueueSlots] = RingRegion{u32(at), u32(decoded)};
    ctx.stream.Queue(out, u32(decoded), ctx.videoChunks, ctx.audioChunks);
    ++ctx.audioChunks;
    return kChunkSound;
}

int ReadVideo(MovieContext& ctx, u32 payloadSize, int type) {
    if (payloadSize >= kVideoRingBytes) return SkipPayload(ctx, payloadSize), kChunkSkipped;
    const auto live = LiveRegions(ctx.videoRegions, ctx.videoSlotsRead, ctx.videoSlotsWritten);
    const s64 at = ctx.video.Place(payloadSize, live);
    if (at < 0) return SkipPayload(ctx, payloadSize), kChunkSkipped;
    u8* out = ctx.video.At(u32(at));
    if (!ReadPayload(ctx, out, payloadSize)) return kChunkEnd;
    ctx.video.Commit(u32(at), payloadSize);
    const size_t index = size_t(ctx.videoSlotsWritten) % kQueueSlots;
    ctx.videoRegions[index] = RingRegion{u32(at), payloadSize};
    ctx.videoSlots[index] = VideoSlot{out, payloadSize, ctx.videoChunks, type};
    ++ctx.videoSlotsWritten;
    ++ctx.queuedVideo;
    ++ctx.videoChunks;
    return kChunkVideo;
}

int BytesPerPixel(const DisplayFormat& format) {
    return format.bitsPerPixel <= 16 ? 2 : 4;
}

// Makes the frame buffers for the first frame's size; false when that size cannot be shown.
bool MakeSurfaces(MovieContext& ctx, int width, int height) {
    MovieControl& control = *ctx.control;
    if (width <= 0 || height <= 0) return false;
    const bool pixelDouble = (control.flags & MOVIE_PIXEL_DOUBLE) != 0;
    const size_t pitch =
        size_t(width) * (pixelDouble ? 2 : 1) * size_t(BytesPerPixel(control.format));
    const size_t bytes = pitch * size_t(height);
    if (control.flags & MOVIE_MEMORY_TARGET) {
        if (!control.targetBuffer || !control.referenceBuffer || bytes > control.memoryBufferBytes)
            return false;
        ctx.target = control.targetBuffer;
        ctx.reference = control.referenceBuffer;
    } else {
        // The frame must fit the screen in the line mode it is shown in.
        const int lines = LineModeOf(control.flags) == LineMode::kSingle ? height : 2 * height;
        if (width * (pixelDouble ? 2 : 1) > kScreenWidth || lines > kScreenHeight) return false;
        ctx.surfaceA.assign(bytes, 0);
        ctx.surfaceB.assign(bytes, 0);
        ctx.target = ctx.surfaceA.data();
        ctx.reference = ctx.surfaceB.data();
    }
    ctx.surfaceWidth = width;
    ctx.surfaceHeight = height;
    ctx.surfacesMade = true;
    return true;
}

}  // namespace

void InitMovieSound(MovieContext& ctx) {
    MovieControl& control = *ctx.control;
    if ((control.flags & MOVIE_SOUND) && control.audio)
        ctx.stream.desiredSize = control.audio->RingBytes();
    else
        ctx.stream.desiredSize = kDefaultStreamBytes;
}

void InitMovieVideo(MovieContext& ctx) {
    MovieControl& control = *ctx.control;
    if (control.audioCountsFrames) return;
    if (control.format.bitsPerPixel == 0) control.format = DisplayFormat565();
    if (!(control.flags & MOVIE_BRIGHTNESS)) control.brightness = 100;
    BuildColourTables(ctx.colour, control.format, control.brightness,
                      (control.flags & MOVIE_PIXEL_DOUBLE) != 0);
    ctx.videoInitialised = true;
}

std::unique_ptr<MovieContext> NewMovieContext(MovieControl& control) {
    auto ctx = std::make_unique<MovieContext>();
    ctx->control = &control;
    control.frameCounter = 0;
    return ctx;
}

int ReadMovieChunk(MovieContext& ctx) {
    MovieControl& control = *ctx.control;
    u8 header[kChunkHeaderBytes];
    const s64 n = ctx.file->Read(header, sizeof header);
    if (n < 0) return kChunkSkipped;
    if (n < s64(sizeof header)) {
        ctx.endOfFile = true;
        return kChunkEnd;
    }
    const u32 size = ReadLe32(header + 4);
    // A size that does not even cover the header: nothing after it can be trusted.
    if (size < kChunkHeaderBytes) {
        ctx.endOfFile = true;
        return kChunkEnd;
    }
    const u32 payloadSize = size - kChunkHeaderBytes;
    const ChunkTag tag = ClassifyChunkTag(header);
    switch (tag.kind) {
        case ChunkKind::kSoundHeader:
            if (payloadSize > kMaxSoundPayload) return SkipPayload(ctx, payloadSize), kChunkSkipped;
            ctx.payload.resize(payloadSize);
            if (!ReadPayload(ctx, ctx.payload.data(), payloadSize)) return kChunkEnd;
            ParseSoundHeader(ctx.payload.data(), payloadSize, ctx.sound.format);
            return kChunkSoundHeader;
        case ChunkKind::kSead:
            if (!SkipPayload(ctx, payloadSize)) return kChunkSkipped;
            ctx.sound.format = SeadSoundFormat();
            return kChunkSoundHeader;
        case ChunkKind::kSoundData:
            if (!control.audioPresent) return kChunkSkipped;
            return ReadSoundData(ctx, payloadSize);
        case ChunkKind::kIgnored:
            if (!SkipPayload(ctx, payloadSize)) return kChunkSkipped;
            return kChunkIgnored;
        case ChunkKind::kEnd:
            return kChunkEnd;
        case ChunkKind::kVideo:
            return ReadVideo(ctx, payloadSize, tag.frameType);
        case ChunkKind::kUnknown:
            break;
    }
    return kChunkSkipped;
}

void ReadAheadStep(MovieContext& ctx) {
    MovieControl& control = *ctx.control;
    if (ctx.lastSecondRead == kChunkEnd || ctx.stream.queued.load() >= kReadLimitSlots ||
        ctx.queuedVideo >= kReadLimitSlots)
        return;
    const int first = ReadMovieChunk(ctx);
    ctx.lastFirstRead = first;
    switch (first) {
        case kChunkVideo:
            if (control.audioPresent) {
                ctx.lastSecondRead = ReadMovieChunk(ctx);
                // Two pictures in a row: the sound cannot keep up, so it goes.
                if (ctx.lastSecondRead == kChunkVideo) control.audioPresent = 0;
            }
            break;
        case kChunkSound:
            if (!(control.audioCountsFrames && ctx.stream.queued.load() >= kReadLimitSlots))
                ctx.lastSecondRead = ReadMovieChunk(ctx);
            break;
        case kChunkEnd:
            ctx.lastSecondRead = kChunkEnd;
            break;
        default:
            break;
    }
}

bool OpenMovieStream(MovieContext& ctx, const std::string& path) {
    MovieControl& control = *ctx.control;
    ctx.endOfFile = false;
    if (control.flags & MOVIE_OWN_FILE) {
        ctx.file = control.file;
    } else {
        ctx.ownFile = OpenMovieFile(path);
        ctx.file = ctx.ownFile.get();
    }
    if (!ctx.file) return false;
    u8 first[4];
    const s64 n = ctx.file->Read(first, 4);
    if (n > 0) ctx.file->Skip(-n);
    control.audioPresent = (n == 4 && StartsWithSoundHeader(first)) ? 1 : 0;
    control.audioCountsFrames = 0;
    ctx.lastSecondRead = kChunkIgnored;
    if (control.audioPresent) {
        while (ctx.stream.queued.load() < kPreloadAudioSlots) {
            if (ReadMovieChunk(ctx) == kChunkEnd) break;
            if (ReadMovieChunk(ctx) == kChunkEnd) break;
        }
    } else {
        while (ctx.queuedVideo < kPreloadVideoSlots) {
            if (ReadMovieChunk(ctx) == kChunkEnd) break;
        }
    }
    if (ctx.videoChunks == 0) control.audioCountsFrames = 1;
    return true;
}

bool DecodeFrame(MovieContext& ctx, const VideoSlot& slot) {
    MovieControl& control = *ctx.control;
    auto& decoder = ctx.decoders[size_t(CodingOfFrameType(slot.type))];
    if (!decoder) decoder = MakeMovieFrameDecoder(slot.type, control.brightness);
    if (!decoder) {
        ++ctx.framesRefused;
        return false;
    }
    int width = control.frameWidth;
    int height = control.frameHeight;
    if (decoder->FrameSize(slot.type, slot.data, slot.size, width, height)) {
        control.frameWidth = width;
        control.frameHeight = height;
    }
    if (!ctx.surfacesMade && !MakeSurfaces(ctx, width, height)) {
        ++ctx.framesRefused;
        return false;
    }
    // The buffers keep the first frame's size: a larger frame would write past them.
    if (width <= 0 || height <= 0 || width > ctx.surfaceWidth || height > ctx.surfaceHeight) {
        ++ctx.framesRefused;
        return false;
    }
    const bool pixelDouble = (control.flags & MOVIE_PIXEL_DOUBLE) != 0;
    MovieFrame frame;
    frame.type = slot.type;
    frame.width = width;
    frame.height = height;
    frame.target = ctx.target;
    frame.reference = ctx.reference;
    frame.bytesPerPixel = BytesPerPixel(control.format);
    frame.pixelDouble = pixelDouble;
    frame.pitch = width * (pixelDouble ? 2 : 1) * frame.bytesPerPixel;
    frame.colour = &ctx.colour;
    frame.format = &control.format;
    if (!decoder->Decode(slot.data, slot.size, frame)) {
        ++ctx.framesRefused;
        return false;
    }
    return true;
}

void PresentFrame(MovieContext& ctx) {
    MovieControl& control = *ctx.control;
    if ((control.flags & MOVIE_MEMORY_TARGET) || !ctx.surfacesMade || !control.screen) return;
    if (BytesPerPixel(control.format) != 2) return;
    PlacementInput in;
    in.flags = control.flags;
    in.frameWidth = control.frameWidth;
    in.frameHeight = control.frameHeight;
    in.xOffset = control.xOffset;
    in.yOffset = control.yOffset;
    in.destWidthField = control.destWidth;
    in.destHeightField = control.destHeight;
    in.primaryWidth = ctx.primaryWidth;
    in.primaryHeight = ctx.primaryHeight;
    const FramePlacement place = PlaceFrame(in);
    const int pitchPixels = control.frameWidth * ((control.flags & MOVIE_PIXEL_DOUBLE) ? 2 : 1);
    ShowFrameOnScreen(reinterpret_cast<const u16*>(ctx.target), pitchPixels, place,
                      LineModeOf(control.flags), control.screen);
    if (control.present) control.present();
}

void SwapFrameSurfaces(MovieContext& ctx) {
    std::swap(ctx.target, ctx.reference);
    MovieControl& control = *ctx.control;
    if (control.flags & MOVIE_MEMORY_TARGET)
        std::swap(control.targetBuffer, control.referenceBuffer);
}

void RunPlaybackLoop(MovieControl& control) {
    MovieContext& ctx = *control.context;
    if ((control.flags & MOVIE_ASYNC) && (control.flags & MOVIE_PRIORITY)) {
        static std::atomic<bool> said{false};
        if (!said.exchange(true))
            std::fprintf(stderr,
                         "movie: playback thread priorities are not built yet; the "
                         "thread runs at normal priority\n");
    }
    if (!control.refillByCaller && !ctx.refill.Start(ctx.stream)) {
        control.state.exchange(kMovieFinished);
        return;
    }
    control.framesBehind = 0;
    ctx.startTick = platform::NowMs();
    control.state.exchange(kMovieStarting);
    for (;;) {
        s32 previous = control.state.exchange(kMoviePlaying);
        const size_t slotIndex = size_t(ctx.videoSlotsRead) % kQueueSlots;
        if (previous == kMoviePaused) {
            control.state.exchange(kMoviePaused);
            s32 taken;
            do {
                platform::Yield();
                platform::SleepMs(20);
                taken = control.state.exchange(kMoviePaused);
            } while (taken == kMoviePaused);
            control.state.exchange(taken);
            previous = taken;
        }
        if (previous == kMovieStopRequested) break;
        if (previous != kMoviePlaying) continue;
        platform::Yield();
        ReadAheadStep(ctx);
        if (!ctx.stream.created.load() && control.audioPresent) {
            // Without MOVIE_SOUND the movie is paced by the silent stream and heard nowhere.
            const bool sound = (control.flags & MOVIE_SOUND) != 0;
            CreateSoundStream(ctx.stream, sound ? control.audio : nullptr, sound,
                              ctx.sound.format.sampleRate);
            ctx.stream.clock.store(0);
        }
        VideoSlot& slot = ctx.videoSlots[slotIndex];
        if (slot.type != 0) {
            bool stop = false;
            if (control.framesBehind > 1) {
                // Behind the sound: palette frames still build the picture, unseen;
                // transform frames are dropped.
                if (slot.type == kPaletteKeyFrame || slot.type == kPaletteDeltaFrame)
                    DecodeFrame(ctx, slot);
            } else if (DecodeFrame(ctx, slot)) {
                PresentFrame(ctx);
            }
            if ((control.flags & MOVIE_FRAME_CALLBACK) && control.frameCallback)
                stop = control.frameCallback() != 0;
            if (stop) break;
            slot = VideoSlot{};
            ++ctx.videoSlotsRead;
            --ctx.queuedVideo;
            SwapFrameSurfaces(ctx);
        }
        ++control.frameCounter;
        // Both queues empty ends the movie only once reading has ended: a stretch of chunks
        // that queue nothing must not cut off the frames after it.
        if (ctx.queuedVideo == 0 && (!control.audioPresent || ctx.stream.queued.load() == 0) &&
            ctx.lastSecondRead == kChunkEnd)
            break;
        if (!control.audioPresent) continue;
        for (int waits = 0; waits < kMaxClockWaits; ++waits) {
            if (control.frameCounter - (ctx.stream.clock.load() - kSoundClockLead) < 1) break;
            platform::Yield();
            platform::SleepMs(3);
        }
        control.framesBehind =
            std::max(0, (ctx.stream.clock.load() - kSoundClockLead) - control.frameCounter);
    }
    ctx.endTick = platform::NowMs();
    ctx.refill.Stop();
    control.state.exchange(kMovieFinished);
}

void ReleaseMovie(MovieControl& control) {
    MovieContext* ctx = control.context;
    if (!ctx) return;
    if (ctx->initialised) control.elapsedMs = s32(ctx->endTick - ctx->startTick);
    ctx->refill.Stop();
    control.state.exchange(kMovieReleased);
    control.context = nullptr;
    delete ctx;
}

MovieControl* MoviePlayer(const std::string& path, MovieControl* control) {
    if (!control) return nullptr;
    std::unique_ptr<MovieContext> ctx;
    try {
        ctx = NewMovieContext(*control);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    // The stream's size bounds the sound chunks read ahead while opening.
    InitMovieSound(*ctx);
    if (!OpenMovieStream(*ctx, path)) return nullptr;
    control->context = ctx.release();
    InitMovieVideo(*control->context);
    control->state.exchange(kMovieReady);
    control->context->initialised = true;
    if (control->flags & MOVIE_ASYNC) {
        try {
            control->thread = std::thread([control] {
                RunPlaybackLoop(*control);
                ReleaseMovie(*control);
            });
        } catch (...) {
            ReleaseMovie(*control);
            return nullptr;
        }
        // Wait until the loop has taken over the state word.
        for (;;) {
            s32 taken = control->state.load();
            if (taken == kMovieFinished || taken == kMovieReleased) return control;
            if (control->state.compare_exchange_strong(taken, kMovieStarting) &&
                taken == kMoviePlaying)
                break;
            platform::SleepMs(20);
        }
        control->state.exchange(kMoviePlaying);
        return control;
    }
    RunPlaybackLoop(*control);
    ReleaseMovie(*control);
    return nullptr;
}

}  // namespace movie
