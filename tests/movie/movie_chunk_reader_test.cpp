// Reading chunks: every tag, the end, refused and unknown chunks, the preload, the read-ahead
// step's limits and rules, and where chunks land in the ring buffers.
#include <gtest/gtest.h>

#include "movie/movie_player.h"
#include "movie_test_files.h"

using namespace movie;
using movie_test::OpenMovie;
using movie_writer::MovieChunkWriter;

namespace {

struct TagCase {
    const char* tag;
    int result;  // with sound present
    ChunkKind kind;
    int frameType;
};

TEST(MovieChunkReader, EveryTagSpellingGivesItsResult) {
    const TagCase cases[] = {
        {"SCHl", kChunkSoundHeader, ChunkKind::kSoundHeader, 0},
        {"lHCS", kChunkSoundHeader, ChunkKind::kSoundHeader, 0},
        {"1SNh", kChunkSoundHeader, ChunkKind::kSoundHeader, 0},
        {"SEAD", kChunkSoundHeader, ChunkKind::kSead, 0},
        {"SCDl", kChunkSound, ChunkKind::kSoundData, 0},
        {"1SNd", kChunkSound, ChunkKind::kSoundData, 0},
        {"SNDC", kChunkSound, ChunkKind::kSoundData, 0},
        {"CDNS", kChunkSound, ChunkKind::kSoundData, 0},
        {"SCCl", kChunkIgnored, ChunkKind::kIgnored, 0},
        {"lCCS", kChunkIgnored, ChunkKind::kIgnored, 0},
        {"SCLl", kChunkIgnored, ChunkKind::kIgnored, 0},
        {"lLCS", kChunkIgnored, ChunkKind::kIgnored, 0},
        {"SCEl", kChunkEnd, ChunkKind::kEnd, 0},
        {"1SNe", kChunkEnd, ChunkKind::kEnd, 0},
        {"SEND", kChunkEnd, ChunkKind::kEnd, 0},
        {"kVGT", kChunkVideo, ChunkKind::kVideo, 1},
        {"TGVk", kChunkVideo, ChunkKind::kVideo, 1},
        {"fVGT", kChunkVideo, ChunkKind::kVideo, 2},
        {"TGVf", kChunkVideo, ChunkKind::kVideo, 2},
        {"pQGT", kChunkVideo, ChunkKind::kVideo, 3},
        {"MQMf", kChunkVideo, ChunkKind::kVideo, 3},
        {"pIQT", kChunkVideo, ChunkKind::kVideo, 4},
        {"QM2f", kChunkVideo, ChunkKind::kVideo, 4},
        {"SCHL", kChunkSkipped, ChunkKind::kUnknown, 0},
        {"XXXX", kChunkSkipped, ChunkKind::kUnknown, 0},
    };
    for (const TagCase& c : cases) {
        SCOPED_TRACE(c.tag);
        const ChunkTag tag = ClassifyChunkTag(reinterpret_cast<const u8*>(c.tag));
        EXPECT_EQ(tag.kind, c.kind);
        EXPECT_EQ(tag.frameType, c.frameType);
        MovieChunkWriter w;
        const bool sound = tag.kind == ChunkKind::kSoundData;
        w.Chunk(c.tag, sound                                 ? movie_test::PcmPayload(10)
                       : tag.kind == ChunkKind::kSoundHeader ? movie_test::PcmHeader()
                                                             : std::vector<u8>(12, 0));
        w.Chunk("SCEl", {});
        OpenMovie m(w.Bytes());
        m.StartReading(true);
        EXPECT_EQ(ReadMovieChunk(*m.ctx), c.result);
        if (tag.kind == ChunkKind::kVideo) {
            EXPECT_EQ(m.ctx->videoSlots[0].type, c.frameType);
            EXPECT_EQ(m.ctx->queuedVideo, 1);
        }
        if (sound) {
            EXPECT_EQ(m.ctx->stream.queued.load(), 1);
        }
        // Handled chunks leave the reader at the next chunk; an unknown tag inside its own
        // payload (twelve zero bytes: a header whose size is too small, which ends it).
        EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkEnd);
    }
}

TEST(MovieChunkReader, SeadSetsStereoImaAt22050) {
    MovieChunkWriter w;
    w.Chunk("SEAD", std::vector<u8>(20, 0xFF));
    OpenMovie m(w.Bytes());
    m.StartReading(true);
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkSoundHeader);
    const MovieSoundFormat& f = m.ctx->sound.format;
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.sampleRate, 22050);
    EXPECT_EQ(f.compression, kCompressionIma);
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkEnd);
    EXPECT_TRUE(m.ctx->endOfFile);
}

TEST(MovieChunkReader, UnknownTagLeavesTheReadPositionInsideItsPayload) {
    // The unknown chunk's payload is itself a whole video chunk: it is read next.
    MovieChunkWriter inner;
    inner.Chunk("kVGT", movie_test::FramePayload());
    MovieChunkWriter w;
    w.Chunk("ABCD", inner.Bytes());
    OpenMovie m(w.Bytes());
    m.StartReading(false);
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkSkipped);
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkVideo);
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkEnd);
}

TEST(MovieChunkReader, SoundWithoutAudioIsNotReadAndLeavesThePositionInsideIt) {
    MovieChunkWriter inner;
    inner.Chunk("SCEl", {});
    std::vector<u8> payload = inner.Bytes();
    MovieChunkWriter w;
    w.Chunk("SCDl", payload);
    w.Chunk("kVGT", movie_test::FramePayload());
    OpenMovie m(w.Bytes());
    m.StartReading(false);
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkSkipped);
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkEnd);  // the end chunk inside the payload
}

struct EndCase {
    const char* name;
    std::vector<u8> bytes;
};

TEST(MovieChunkReader, EndOfFileShortHeadersAndTooSmallSizesEndTheMovie) {
    const EndCase cases[] = {
        {"empty file", {}},
        {"half a header", {'k', 'V', 'G', 'T', 20}},
        {"size 0", {'k', 'V', 'G', 'T', 0, 0, 0, 0}},
        {"size 7", {'X', 'Y', 'Z', 'W', 7, 0, 0, 0}},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenMovie m(c.bytes);
        m.StartReading(true);
        EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkEnd);
        EXPECT_TRUE(m.ctx->endOfFile);
    }
    // A truncated payload ends the movie too.
    MovieChunkWriter w;
    w.Chunk("kVGT", movie_test::FramePayload(16, 16, 100));
    std::vector<u8> cut = w.Bytes();
    cut.resize(cut.size() - 10);
    OpenMovie m(cut);
    m.StartReading(false);
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkEnd);
    EXPECT_EQ(m.ctx->queuedVideo, 0);
}

struct OversizeCase {
    const char* name;
    const char* tag;
    std::vector<u8> payload;
    MovieSoundFormat format;
};

TEST(MovieChunkReader, ChunksBeyondTheLimitsAreSkippedByTheirSize) {
    MovieSoundFormat ima = SeadSoundFormat();
    MovieSoundFormat pcm;
    const OversizeCase cases[] = {
        {"video of 700,000 bytes", "kVGT", std::vector<u8>(700000, 0), pcm},
        {"sound payload above 32,768", "SCDl", std::vector<u8>(32769, 0), ima},
        {"header payload above 32,768", "SCHl", std::vector<u8>(32769, 0), pcm},
        // 4,200 IMA bytes decode to 16,800: more than half the 32 KB stream.
        {"decoded sound too large for the stream", "SCDl", std::vector<u8>(4200, 0), ima},
    };
    for (const OversizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        MovieChunkWriter w;
        w.Chunk(c.tag, c.payload);
        w.Chunk("kVGT", movie_test::FramePayload());
        OpenMovie m(w.Bytes());
        m.StartReading(true);
        m.ctx->sound.format = c.format;
        EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkSkipped);
        EXPECT_EQ(m.ctx->stream.queued.load(), 0);
        EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkVideo);
    }
    // The largest video chunk below the limit is taken.
    MovieChunkWriter w;
    w.Chunk("kVGT", std::vector<u8>(699999, 0));
    OpenMovie m(w.Bytes());
    m.StartReading(false);
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkVideo);
}

TEST(MovieChunkReader, UnknownCompressionAndBadFiltersDropTheChunk) {
    MovieSoundFormat unknown;
    unknown.compression = 5;
    MovieSoundFormat adpcm;
    adpcm.compression = kCompressionBlockAdpcm;
    std::vector<u8> badFilter(12 + 15, 0);
    badFilter[12] = 0x4C;  // filter 4
    const std::pair<MovieSoundFormat, std::vector<u8>> cases[] = {
        {unknown, movie_test::PcmPayload(20)},
        {adpcm, badFilter},
    };
    for (const auto& [format, payload] : cases) {
        MovieChunkWriter w;
        w.Chunk("SCDl", payload);
        OpenMovie m(w.Bytes());
        m.StartReading(true);
        m.ctx->sound.format = format;
        EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkSound);
        EXPECT_EQ(m.ctx->stream.queued.load(), 0);
        EXPECT_EQ(m.ctx->audioChunks, 0);
    }
}

// A file: sound header, then `pairs` pairs (video then sound, the safe order, or sound then
// video), then the end chunk.
std::vector<u8> PairedMovie(int pairs, bool videoFirst, bool header = true) {
    MovieChunkWriter w;
    if (header) w.Chunk("SCHl", movie_test::PcmHeader());
    for (int i = 0; i < pairs; ++i) {
        if (!videoFirst) w.Chunk("SCDl", movie_test::PcmPayload(50));
        w.Chunk("kVGT", movie_test::FramePayload());
        if (videoFirst) w.Chunk("SCDl", movie_test::PcmPayload(50));
    }
    w.End();
    return w.Bytes();
}

TEST(MovieChunkReader, PreloadFillsTwentyOneSoundOrTwentyVideoSlots) {
    {
        OpenMovie m(PairedMovie(40, true));
        ASSERT_TRUE(m.Open());
        EXPECT_EQ(m.control.audioPresent, 1);
        EXPECT_EQ(m.ctx->stream.queued.load(), 21);
        EXPECT_EQ(m.control.audioCountsFrames, 0);
    }
    {
        OpenMovie m(PairedMovie(40, true, false));
        ASSERT_TRUE(m.Open());
        EXPECT_EQ(m.control.audioPresent, 0);
        EXPECT_EQ(m.ctx->queuedVideo, 20);
        EXPECT_EQ(m.ctx->stream.queued.load(), 0);
    }
    {
        // A sound-only movie: the sound counts the frames.
        MovieChunkWriter w;
        w.Chunk("SCHl", movie_test::PcmHeader());
        for (int i = 0; i < 5; ++i)
            w.Chunk("SCDl", movie_test::PcmPayload(50));
        w.End();
        OpenMovie m(w.Bytes());
        ASSERT_TRUE(m.Open());
        EXPECT_EQ(m.ctx->stream.queued.load(), 5);
        EXPECT_EQ(m.control.audioCountsFrames, 1);
    }
}

TEST(MovieChunkReader, ReadAheadStopsAtTwentyTwoQueuedSlots) {
    struct Case {
        s32 audio, video;
        bool reads;
    };
    const Case cases[] = {{21, 21, true}, {22, 0, false}, {0, 22, false}, {23, 5, false}};
    for (const Case& c : cases) {
        OpenMovie m(PairedMovie(3, true));
        m.StartReading(true);
        m.ctx->stream.queued.store(c.audio);
        m.ctx->queuedVideo = c.video;
        m.ctx->lastFirstRead = 99;
        ReadAheadStep(*m.ctx);
        EXPECT_EQ(m.ctx->lastFirstRead, c.reads ? kChunkSoundHeader : 99)
            << c.audio << " " << c.video;
    }
}

TEST(MovieChunkReader, TwoVideoChunksInOneStepSwitchTheSoundOff) {
    MovieChunkWriter w;
    w.Chunk("kVGT", movie_test::FramePayload());
    w.Chunk("kVGT", movie_test::FramePayload());
    w.Chunk("SCDl", movie_test::PcmPayload(10));
    w.End();
    OpenMovie m(w.Bytes());
    m.StartReading(true);
    ReadAheadStep(*m.ctx);
    EXPECT_EQ(m.control.audioPresent, 0);
    EXPECT_EQ(m.ctx->queuedVideo, 2);
    // Sound read afterwards is no longer decoded.
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkSkipped);
}

TEST(MovieChunkReader, InterleaveRule) {
    // Header, video, sound, video, sound ...: the playing phase reads (sound, video) pairs
    // and neither rule fires; the clock tags follow the video count.
    {
        OpenMovie m(PairedMovie(30, true));
        ASSERT_TRUE(m.Open());
        for (int i = 0; i < 5; ++i) {
            m.ctx->stream.queued.store(0);
            m.ctx->queuedVideo = 0;
            ReadAheadStep(*m.ctx);
        }
        EXPECT_EQ(m.control.audioPresent, 1);
        EXPECT_EQ(m.control.audioCountsFrames, 0);
        EXPECT_EQ(m.ctx->stream.slots[3].clockTag, 4);
    }
    // Header, sound, video, sound, video ...: after the preload the steps read (video,
    // sound) pairs, and from the second one the sound counts the frames.
    {
        OpenMovie m(PairedMovie(30, false));
        ASSERT_TRUE(m.Open());
        m.ctx->stream.queued.store(0);
        ReadAheadStep(*m.ctx);
        EXPECT_EQ(m.control.audioCountsFrames, 0);
        ReadAheadStep(*m.ctx);
        EXPECT_EQ(m.control.audioCountsFrames, 1);
    }
    // (video, sound) pairs after the preload: the second step turns the rule on.
    {
        MovieChunkWriter w;
        w.Chunk("SCHl", movie_test::PcmHeader());
        for (int i = 0; i < 4; ++i) {
            w.Chunk("kVGT", movie_test::FramePayload());
            w.Chunk("SCDl", movie_test::PcmPayload(10));
        }
        w.End();
        OpenMovie m(w.Bytes());
        m.StartReading(true);
        ReadMovieChunk(*m.ctx);  // header
        ReadAheadStep(*m.ctx);   // video, sound
        EXPECT_EQ(m.control.audioCountsFrames, 0);
        ReadAheadStep(*m.ctx);  // video, sound: the previous second read was sound
        EXPECT_EQ(m.control.audioCountsFrames, 1);
        // Each decoded sound chunk now also counts as a frame.
        EXPECT_EQ(m.ctx->videoChunks, 3);
        EXPECT_EQ(m.ctx->stream.slots[1].clockTag, 3);
    }
}

TEST(MovieChunkReader, AChunkThatWouldReachTheRingsEndGoesToItsStart) {
    struct Case {
        u32 write, size;
        s64 offset;
    };
    const Case cases[] = {
        {0, 100, 0}, {500, 400, 500}, {500, 499, 500}, {500, 500, 0}, {999, 1, 0}, {10, 1000, -1},
    };
    for (const Case& c : cases) {
        ChunkRing ring(1000);
        ring.Commit(c.write, 0);
        EXPECT_EQ(ring.Place(c.size, {}), c.offset) << c.write << " + " << c.size;
    }
    // A place still queued is never written over.
    ChunkRing ring(1000);
    ring.Commit(600, 0);
    const RingRegion live[] = {{0, 100}};
    EXPECT_EQ(ring.Place(500, live), -1);
    EXPECT_EQ(ring.Place(300, live), 600);
}

TEST(MovieChunkReader, VideoChunksAreStoredWholeInTheRing) {
    MovieChunkWriter w;
    w.Chunk("kVGT", std::vector<u8>(400000, 1));
    w.Chunk("kVGT", std::vector<u8>(350000, 2));
    w.End();
    OpenMovie m(w.Bytes());
    m.StartReading(false);
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkVideo);
    // The second would overwrite the first, still queued: refused by its size.
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkSkipped);
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkEnd);
    // Once the first is consumed, the same chunk goes to the ring's start.
    OpenMovie again(w.Bytes());
    again.StartReading(false);
    ReadMovieChunk(*again.ctx);
    again.ctx->videoSlotsRead = 1;
    again.ctx->queuedVideo = 0;
    EXPECT_EQ(ReadMovieChunk(*again.ctx), kChunkVideo);
    EXPECT_EQ(again.ctx->videoSlots[1].data, again.ctx->video.At(0));
    EXPECT_EQ(again.ctx->videoSlots[1].data[0], 2);
}

}  // namespace
