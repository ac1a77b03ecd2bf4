#pragma once
// Small movies for the player's tests, written with the content builder's writers.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "movie/movie_player.h"
#include "movie/transform_frame.h"
#include "tools/content_builder/movie_writer.h"

namespace movie_test {

// A sound header for 16-bit PCM (mono unless told).
inline std::vector<u8> PcmHeader(int channels = 1, int rate = 22050) {
    movie::MovieSoundFormat f;
    f.channels = channels;
    f.sampleRate = rate;
    f.compression = movie::kCompressionPcm;
    return movie_writer::SoundHeaderPayload(f);
}

// A mono PCM sound payload of `frames` samples, each sample equal to `value`.
inline std::vector<u8> PcmPayload(size_t frames, s16 value = 100) {
    std::vector<s16> samples(frames, value);
    return movie_writer::EncodePcmSound(samples.data(), frames, 1);
}

// A video payload: a transform-style header (width, height, quality) and filler.
inline std::vector<u8> FramePayload(int width = 16, int height = 16, size_t bytes = 16) {
    std::vector<u8> p(std::max<size_t>(bytes, 8), 0);
    p[0] = u8(width);
    p[1] = u8(width >> 8);
    p[2] = u8(height);
    p[3] = u8(height >> 8);
    p[4] = 90;
    return p;
}

// A control block, a context and a memory source over `bytes`, opened as the player does.
struct OpenMovie {
    std::vector<u8> bytes;
    movie::MovieControl control;
    std::unique_ptr<movie::MemoryMovieSource> source;
    std::unique_ptr<movie::MovieContext> ctx;

    explicit OpenMovie(std::vector<u8> file, u32 flags = 0) : bytes(std::move(file)) {
        control.flags = flags | movie::MOVIE_OWN_FILE;
        source = std::make_unique<movie::MemoryMovieSource>(bytes.data(), bytes.size());
        control.file = source.get();
        ctx = movie::NewMovieContext(control);
    }
    bool Open() {
        movie::InitMovieSound(*ctx);
        return movie::OpenMovieStream(*ctx, "");
    }
    // Without the preload: chunks are read one by one.
    void StartReading(bool audioPresent) {
        ctx->file = source.get();
        control.audioPresent = audioPresent ? 1 : 0;
    }
};

// A decoder that accepts every frame of its types and records what it saw.
class RecordingDecoder : public movie::MovieFrameDecoder {
public:
    struct Seen {
        int type;
        s32 frameCounter;
        s32 clock;
    };
    RecordingDecoder(movie::MovieControl* control, std::vector<Seen>* seen)
        : control_(control), seen_(seen) {}
    bool FrameSize(int type, const u8* payload, size_t size, int& width, int& height) override {
        if (type == movie::kPaletteDeltaFrame) return false;
        movie::TransformFrameHeader header;
        if (!movie::ReadTransformFrameHeader(payload, size, header)) return false;
        width = header.width;
        height = header.height;
        return true;
    }
    bool Decode(const u8*, size_t, movie::MovieFrame& frame) override {
        const s32 clock = control_->context ? control_->context->stream.clock.load() : 0;
        seen_->push_back(Seen{frame.type, control_->frameCounter, clock});
        // Fill the frame with its type so presentation can be seen.
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.pitch / 2; ++x)
                std::memcpy(frame.target + y * frame.pitch + 2 * x, &kFill[frame.type], 2);
        return true;
    }
    static constexpr u16 kFill[5] = {0, 0x1111, 0x2222, 0x3333, 0x4444};

private:
    movie::MovieControl* control_;
    std::vector<Seen>* seen_;
};

inline void InstallRecordingDecoders(movie::MovieContext& ctx,
                                     std::vector<RecordingDecoder::Seen>* seen) {
    for (auto& d : ctx.decoders)
        d = std::make_unique<RecordingDecoder>(ctx.control, seen);
}

}  // namespace movie_test
