// Movie sound: header records, the three codings (against a reference IMA decoder written
// here from the IMA recommendation), the refill passes and the encoders' round trips.
#include <gtest/gtest.h>

#include <cmath>

#include "movie/movie_audio.h"
#include "movie/movie_player.h"
#include "movie_test_files.h"
#include "platform/audio_output.h"
#include "platform/random.h"
#include "tools/content_builder/movie_writer.h"

using namespace movie;
using movie_writer::MovieChunkWriter;

namespace {

s16 Sample(const std::vector<u8>& pcm, size_t index) {
    return s16(u16(pcm[2 * index] | pcm[2 * index + 1] << 8));
}

std::vector<u8> Decode(MovieSoundDecoder& decoder, const std::vector<u8>& payload) {
    const s64 size = decoder.DecodedSize(payload.data(), payload.size());
    EXPECT_GE(size, 0);
    std::vector<u8> out(size_t(std::max<s64>(size, 0)));
    EXPECT_TRUE(decoder.Decode(payload.data(), payload.size(), out.data()));
    return out;
}

struct HeaderCase {
    const char* name;
    std::vector<u8> records;  // after the four skipped bytes
    MovieSoundFormat expected;
};

MovieSoundFormat Format(s32 bits, s32 channels, s32 rate, s32 compression) {
    MovieSoundFormat f;
    f.sampleBits = bits;
    f.channels = channels;
    f.sampleRate = rate;
    f.compression = compression;
    return f;
}

TEST(MovieSoundHeader, RecordsAreSignedByTheirOwnWidth) {
    const HeaderCase cases[] = {
        {"0xAC44 in two bytes", {0xFD, 0x84, 2, 0xAC, 0x44, 0x8A}, Format(16, 1, -21436, 0)},
        {"0xAC44 in three bytes", {0xFD, 0x84, 3, 0, 0xAC, 0x44, 0x8A}, Format(16, 1, 44100, 0)},
        {"one byte 0x80", {0xFD, 0x82, 1, 0x80, 0x8A}, Format(16, -128, 22050, 0)},
        {"three bytes 0x800000", {0xFD, 0x84, 3, 0x80, 0, 0, 0x8A}, Format(16, 1, -8388608, 0)},
        {"four bytes unchanged",
         {0xFD, 0x81, 4, 0xFF, 0xFF, 0xFF, 0xFE, 0x8A},
         Format(-2, 1, 22050, 0)},
        {"all four fields",
         {0xFD, 0x81, 1, 8, 0x82, 1, 2, 0x83, 1, 7, 0x84, 2, 0x2B, 0x11, 0x8A},
         Format(8, 2, 11025, 7)},
        {"records before the mark are skipped",
         {0x84, 2, 0x1F, 0x40, 0x99, 0, 0xFD, 0x83, 1, 10, 0x8A},
         Format(16, 1, 22050, 10)},
        {"unknown tags are skipped",
         {0xFD, 0x85, 3, 1, 2, 3, 0x82, 1, 2, 0x8A},
         Format(16, 2, 22050, 0)},
        {"nothing after the end record counts", {0xFD, 0x8A, 0x82, 1, 2}, Format(16, 1, 22050, 0)},
        {"a record cut off by the payload's end",
         {0xFD, 0x82, 1, 2, 0x84, 2, 0x56},
         Format(16, 2, 22050, 0)},
        {"no mark at all", {0x82, 1, 2}, Format(16, 1, 22050, 0)},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<u8> payload = {1, 2, 3, 4};
        payload.insert(payload.end(), c.records.begin(), c.records.end());
        MovieSoundFormat f = Format(1, 1, 1, 1);
        ParseSoundHeader(payload.data(), payload.size(), f);
        EXPECT_EQ(f.sampleBits, c.expected.sampleBits);
        EXPECT_EQ(f.channels, c.expected.channels);
        EXPECT_EQ(f.sampleRate, c.expected.sampleRate);
        EXPECT_EQ(f.compression, c.expected.compression);
    }
}

TEST(MovieSoundHeader, WriterRoundTrips) {
    const MovieSoundFormat formats[] = {Format(16, 2, 22050, 10), Format(16, 1, 44100, 0),
                                        Format(8, 2, 11025, 7), Format(16, 1, -5, 0)};
    for (const MovieSoundFormat& f : formats) {
        const std::vector<u8> payload = movie_writer::SoundHeaderPayload(f);
        MovieSoundFormat got;
        ParseSoundHeader(payload.data(), payload.size(), got);
        EXPECT_EQ(got.sampleRate, f.sampleRate);
        EXPECT_EQ(got.channels, f.channels);
        EXPECT_EQ(got.compression, f.compression);
        EXPECT_EQ(got.sampleBits, f.sampleBits);
    }
}

TEST(MovieSoundCoding, PcmMonoIsCopiedToBothChannels) {
    const s16 mono[] = {1, -2, 300, -32768, 32767};
    MovieSoundDecoder d;
    d.format = Format(16, 1, 22050, kCompressionPcm);
    const std::vector<u8> out = Decode(d, movie_writer::EncodePcmSound(mono, 5, 1));
    ASSERT_EQ(out.size(), 20u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(Sample(out, 2 * i), mono[i]);
        EXPECT_EQ(Sample(out, 2 * i + 1), mono[i]);
    }
    const s16 stereo[] = {1, 2, 3, 4, -5, -6};
    d.format.channels = 2;
    const std::vector<u8> both = Decode(d, movie_writer::EncodePcmSound(stereo, 3, 2));
    ASSERT_EQ(both.size(), 12u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(Sample(both, i), stereo[i]);
    // A count beyond the payload decodes only the samples that are there.
    std::vector<u8> cut = movie_writer::EncodePcmSound(mono, 5, 1);
    cut[0] = 200;
    d.format.channels = 1;
    EXPECT_EQ(d.DecodedSize(cut.data(), cut.size()), 20);
}

TEST(MovieSoundCoding, BlockAdpcmFilterZeroShiftTwelveGivesTheCodes) {
    // Mono: 12 + 15k bytes give 28k frames, left equal to right.
    for (int blocks : {0, 1, 3}) {
        std::vector<u8> payload(12, 0);
        for (int b = 0; b < blocks; ++b) {
            payload.push_back(0x0C);  // filter 0, shift 12
            for (int i = 0; i < 14; ++i)
                payload.push_back(u8((i + b) * 0x11 + 0x07));
        }
        MovieSoundDecoder d;
        d.format = Format(16, 1, 22050, kCompressionBlockAdpcm);
        const std::vector<u8> out = Decode(d, payload);
        ASSERT_EQ(out.size(), size_t(blocks) * 28 * 4);
        for (int b = 0; b < blocks; ++b) {
            for (int i = 0; i < 28; ++i) {
                const u8 byte = payload[12 + 15 * size_t(b) + 1 + size_t(i) / 2];
                const int nibble = i % 2 == 0 ? byte >> 4 : byte & 0xF;
                const int code = nibble >= 8 ? nibble - 16 : nibble;
                const size_t frame = size_t(b) * 28 + size_t(i);
                EXPECT_EQ(Sample(out, 2 * frame), code);
                EXPECT_EQ(Sample(out, 2 * frame + 1), code);
            }
        }
    }
}

TEST(MovieSoundCoding, PayloadsShorterThanTheirHeaderDecodeToNothing) {
    const std::pair<s32, size_t> cases[] = {
        {kCompressionPcm, 0},        {kCompressionPcm, 3},         {kCompressionBlockAdpcm, 0},
        {kCompressionBlockAdpcm, 5}, {kCompressionBlockAdpcm, 11}, {kCompressionIma, 0}};
    for (const auto& [compression, size] : cases) {
        {
            MovieSoundDecoder d;
            d.format = Format(16, 2, 22050, compression);
            // Exactly the payload's bytes, so that reading past them is caught.
            std::vector<u8> payload(size, 0x55);
            EXPECT_EQ(d.DecodedSize(payload.data(), size), 0);
            u8 out[4] = {};
            EXPECT_TRUE(d.Decode(payload.data(), size, out));
        }
    }
}

TEST(MovieSoundCoding, BlockAdpcmFiltersPredictFromTheChunkHeader) {
    // Stereo, one block: left filter 1, right filter 2, both shift 12, all codes 0: the
    // samples follow the prediction from the header's last and previous samples.
    std::vector<u8> payload = {0, 0, 0, 0, 0x00, 0x10, 0, 0, 0x00, 0x10, 0x00, 0x08};
    payload.push_back(0x12);
    payload.push_back(0xCC);
    payload.resize(payload.size() + 28, 0);
    MovieSoundDecoder d;
    d.format = Format(16, 2, 22050, kCompressionBlockAdpcm);
    const std::vector<u8> out = Decode(d, payload);
    ASSERT_EQ(out.size(), 112u);
    s32 left = 4096, right = 4096, rightBefore = 2048;
    for (size_t i = 0; i < 28; ++i) {
        left = (left * 240 + 128) >> 8;
        const s32 r = (right * 460 - rightBefore * 208 + 128) >> 8;
        rightBefore = right;
        right = r;
        EXPECT_EQ(Sample(out, 2 * i), left) << i;
        EXPECT_EQ(Sample(out, 2 * i + 1), right) << i;
    }
}

// The IMA ADPCM recommendation's decoder, as it is written there.
class ReferenceIma {
public:
    s16 Decode(u8 delta) {
        static const int kIndexTable[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
        static const int kStepsizeTable[89] = {
            7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,
            23,    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,
            73,    80,    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,
            230,   253,   279,   307,   337,   371,   408,   449,   494,   544,   598,   658,
            724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
            2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,
            7132,  7845,  8630,  9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350,
            22385, 24623, 27086, 29794, 32767};
        const int step = kStepsizeTable[index_];
        const bool sign = delta & 8;
        const int magnitude = delta & 7;
        int vpdiff = step >> 3;
        if (magnitude & 4) vpdiff += step;
        if (magnitude & 2) vpdiff += step >> 1;
        if (magnitude & 1) vpdiff += step >> 2;
        valpred_ += sign ? -vpdiff : vpdiff;
        if (valpred_ > 32767) valpred_ = 32767;
        if (valpred_ < -32768) valpred_ = -32768;
        index_ += kIndexTable[delta];
        if (index_ < 0) index_ = 0;
        if (index_ > 88) index_ = 88;
        return s16(valpred_);
    }

private:
    int valpred_ = 0;
    int index_ = 0;
};

TEST(MovieSoundCoding, ImaContinuesAcrossChunksLikeTheReferenceDecoder) {
    platform::SeedRandom(21);
    // Three sound data chunks of random codes after a "SEAD" header, read by the player.
    std::vector<std::vector<u8>> chunks;
    MovieChunkWriter w;
    w.Chunk("SEAD", {});
    for (size_t n : {301u, 1u, 777u}) {
        std::vector<u8> codes(n);
        for (u8& b : codes)
            b = u8(platform::Rand());
        chunks.push_back(codes);
        w.Chunk("SCDl", codes);
    }
    w.End();
    movie_test::OpenMovie m(w.Bytes());
    m.StartReading(true);
    EXPECT_EQ(ReadMovieChunk(*m.ctx), kChunkSoundHeader);
    ReferenceIma left, right;
    for (size_t c = 0; c < chunks.size(); ++c) {
        ASSERT_EQ(ReadMovieChunk(*m.ctx), kChunkSound);
        const AudioSlot& slot = m.ctx->stream.slots[c];
        ASSERT_EQ(slot.size, chunks[c].size() * 4);
        for (size_t i = 0; i < chunks[c].size(); ++i) {
            const s16 l = s16(u16(slot.data[4 * i] | slot.data[4 * i + 1] << 8));
            const s16 r = s16(u16(slot.data[4 * i + 2] | slot.data[4 * i + 3] << 8));
            ASSERT_EQ(l, left.Decode(chunks[c][i] >> 4)) << "chunk " << c << " frame " << i;
            ASSERT_EQ(r, right.Decode(chunks[c][i] & 0xF)) << "chunk " << c << " frame " << i;
        }
    }
}

TEST(MovieSoundCoding, ImaStepsClampAtBothEnds) {
    // Code 7 drives the step index to 88 and the sample to the top; code 15 to the bottom.
    ImaChannelState s;
    for (int i = 0; i < 40; ++i)
        DecodeImaSample(s, 7);
    EXPECT_EQ(s.index, 88);
    EXPECT_EQ(s.sample, 32767);
    for (int i = 0; i < 40; ++i)
        DecodeImaSample(s, 15);
    EXPECT_EQ(s.sample, -32768);
    for (int i = 0; i < 100; ++i)
        DecodeImaSample(s, 0);
    EXPECT_EQ(s.index, 0);
}

// A tone of `frames` stereo frames.
std::vector<s16> Tone(size_t frames) {
    std::vector<s16> v(2 * frames);
    for (size_t i = 0; i < frames; ++i) {
        v[2 * i] = s16(9000 * std::sin(double(i) * 0.05));
        v[2 * i + 1] = s16(6000 * std::sin(double(i) * 0.013 + 1));
    }
    return v;
}

double SnrDb(const std::vector<s16>& want, const std::vector<u8>& got, size_t channels) {
    double signal = 0, noise = 0;
    for (size_t i = 0; i < want.size(); ++i) {
        const size_t frame = i / channels, channel = i % channels;
        const double d = double(Sample(got, 2 * frame + channel)) - want[i];
        signal += double(want[i]) * want[i];
        noise += d * d;
    }
    return 10 * std::log10(signal / std::max(noise, 1.0));
}

TEST(MovieSoundCoding, EncodersRoundTrip) {
    const std::vector<s16> tone = Tone(28 * 40);
    // Block ADPCM, stereo and mono, over two chunks carrying the state.
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        std::vector<s16> input;
        for (size_t i = 0; i < tone.size(); i += 2) {
            input.push_back(tone[i]);
            if (channels == 2) input.push_back(tone[i + 1]);
        }
        AdpcmChannelState state[2];
        const size_t half = 28 * 20;
        const auto first = movie_writer::EncodeBlockAdpcmSound(input.data(), half, channels, state);
        const auto second = movie_writer::EncodeBlockAdpcmSound(
            input.data() + half * size_t(channels), half, channels, state);
        AdpcmChannelState again[2];
        EXPECT_EQ(movie_writer::EncodeBlockAdpcmSound(input.data(), half, channels, again), first);
        EXPECT_EQ(first.size(), 12 + 20 * (channels == 2 ? 30u : 15u));
        MovieSoundDecoder d;
        d.format = Format(16, channels, 22050, kCompressionBlockAdpcm);
        std::vector<u8> out = Decode(d, first);
        const std::vector<u8> rest = Decode(d, second);
        out.insert(out.end(), rest.begin(), rest.end());
        // Mono output is on both channels; compare the left one.
        std::vector<s16> left;
        for (size_t i = 0; i < input.size(); i += size_t(channels))
            left.push_back(input[i]);
        EXPECT_GE(SnrDb(left, out, 1), 30.0);
    }
    // IMA: the encoder's state is the decoder's, so the player hears what it predicted.
    ImaChannelState encoder[2];
    const auto a = movie_writer::EncodeImaSound(tone.data(), 500, encoder);
    const auto b = movie_writer::EncodeImaSound(tone.data() + 1000, tone.size() / 2 - 500, encoder);
    MovieSoundDecoder d;
    d.format = SeadSoundFormat();
    std::vector<u8> out = Decode(d, a);
    const std::vector<u8> rest = Decode(d, b);
    out.insert(out.end(), rest.begin(), rest.end());
    EXPECT_EQ(d.ima[0].sample, encoder[0].sample);
    EXPECT_EQ(d.ima[1].index, encoder[1].index);
    EXPECT_GE(SnrDb(tone, out, 2), 25.0);
}

TEST(MovieSoundRefill, PassesOnTheManualDevice) {
    platform::ManualAudioOutput device(1000);
    MovieSoundStream stream;
    std::vector<u8> one(400, 0x11), two(400, 0x22);
    stream.Queue(one.data(), 400, 7, 0);
    stream.Queue(two.data(), 400, 9, 1);
    // Nothing happens before the stream is made.
    SoundRefillPass(stream);
    EXPECT_EQ(stream.queued.load(), 2);
    CreateSoundStream(stream, &device, true, 22050);
    struct Step {
        u32 move;
        s32 clock;
        u32 write;
        s32 queued;
    };
    const Step steps[] = {
        {0, 0, 0, 2},       // no free space
        {500, 7, 400, 1},   // the first slot: the clock takes its tag
        {0, 7, 400, 1},     // 100 free: the second slot waits
        {400, 9, 800, 0},   // the second slot
        {0, 10, 900, 0},    // empty queue: silence up to the play position, clock + 1
        {0, 11, 900, 0},    // and + 1 on every empty pass
        {300, 12, 200, 0},  // silence across the ring's end
    };
    for (const Step& s : steps) {
        device.Step(s.move);
        SoundRefillPass(stream);
        EXPECT_EQ(stream.clock.load(), s.clock);
        EXPECT_EQ(stream.writePosition, s.write);
        EXPECT_EQ(stream.queued.load(), s.queued);
    }
    const std::vector<u8> ring = device.Ring();
    EXPECT_EQ(ring[199], 0);  // silence written over the first slot at the end
    EXPECT_EQ(ring[200], 0x11);
    EXPECT_EQ(ring[400], 0x22);
    EXPECT_EQ(ring[799], 0x22);
    EXPECT_EQ(ring[850], 0);
}

TEST(MovieSoundRefill, WithoutADeviceThePositionMoves882BytesAPass) {
    MovieSoundStream stream;
    CreateSoundStream(stream, nullptr, false, 22050);
    EXPECT_TRUE(stream.silent);
    EXPECT_EQ(stream.bufferSize, 32768u);
    std::vector<u8> chunk(2000, 1);
    stream.Queue(chunk.data(), 2000, 4, 0);
    // 882, then 1764: still too little for 2000 bytes; the clock stands.
    SoundRefillPass(stream);
    SoundRefillPass(stream);
    EXPECT_EQ(stream.clock.load(), 0);
    SoundRefillPass(stream);  // 2646 free
    EXPECT_EQ(stream.clock.load(), 4);
    EXPECT_EQ(stream.writePosition, 2000u);
    SoundRefillPass(stream);  // empty: catches up with the position
    EXPECT_EQ(stream.clock.load(), 5);
    EXPECT_EQ(stream.writePosition, 4u * 882u);
    for (int i = 0; i < 40; ++i)
        SoundRefillPass(stream);
    EXPECT_EQ(stream.clock.load(), 45);
    EXPECT_EQ(stream.writePosition, (44u * 882u) % 32768u);
}

TEST(MovieSoundRefill, ThreadStartsAndStops) {
    MovieSoundStream stream;
    SoundRefillThread thread;
    ASSERT_TRUE(thread.Start(stream));
    thread.Stop();
    thread.Stop();
    EXPECT_EQ(stream.clock.load(), 0);  // no stream made: the passes did nothing
}

}  // namespace

namespace movie {
namespace {

// Without a sound card the intro plays silent and the terminal gets one line of the game's
// own: none of the sound library's error lines, and no second line for a second stream.
TEST(MovieSoundDevice, NoAudioDeviceIsOneLineOfOurOwn) {
    struct SavedEnv {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<SavedEnv> saved;
    for (const char* name : {"ZQ_HEADLESS", "SDL_AUDIODRIVER", "AUDIODEV"}) {
        const char* v = std::getenv(name);
        saved.push_back({name, v ? v : "", v != nullptr});
    }
    unsetenv("ZQ_HEADLESS");
    // A card number no machine has: the sound library fails and would say so on stderr.
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("AUDIODEV", "hw:77", 1);
    testing::internal::CaptureStderr();
    MovieSoundStream first, second;
    CreateSoundStream(first, nullptr, true, 22050);
    CreateSoundStream(second, nullptr, true, 22050);
    const std::string said = testing::internal::GetCapturedStderr();
    for (const SavedEnv& e : saved) {
        if (e.set)
            setenv(e.name, e.value.c_str(), 1);
        else
            unsetenv(e.name);
    }
    EXPECT_EQ(said, "Sound is off: no audio device.\n");
    EXPECT_TRUE(first.silent);
    EXPECT_TRUE(second.silent);
}

}  // namespace
}  // namespace movie
