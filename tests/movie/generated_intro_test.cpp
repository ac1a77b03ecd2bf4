// The generated intro movie: its chunk layout and sound, the same bytes on every build, and
// played by the real player (every frame decoder) on the manual sound device: frame n at
// sound clock n + 5, pictures that match what was encoded, golden checksums at fixed frames.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "movie/movie_audio.h"
#include "movie/movie_chunk.h"
#include "movie/movie_player.h"
#include "platform/audio_output.h"
#include "platform/clock.h"
#include "tests/tools/content_builder/file_checksum.h"
#include "tools/content_builder/font_files.h"
#include "tools/content_builder/intro_movie_builder.h"
#include "tools/content_builder/terrain.h"

namespace {

using namespace movie;

u32 Le32(const u8* p) {
    return u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24;
}

struct Chunk {
    std::string tag;
    std::vector<u8> payload;
};

std::vector<Chunk> SplitChunks(const std::vector<u8>& file) {
    std::vector<Chunk> chunks;
    size_t at = 0;
    while (at + 8 <= file.size()) {
        const u32 size = Le32(&file[at + 4]);
        if (size < 8 || at + size > file.size()) break;
        chunks.push_back(
            Chunk{std::string(reinterpret_cast<const char*>(&file[at]), 4),
                  std::vector<u8>(file.begin() + long(at + 8), file.begin() + long(at + size))});
        at += size;
    }
    EXPECT_EQ(at, file.size()) << "the chunks do not cover the file";
    return chunks;
}

constexpr size_t kPitch = size_t(intro_movie::kWidth) * 4;  // pixel pairs
constexpr size_t kFrameBytes = kPitch * intro_movie::kHeight;

struct Played {
    s32 frameCounter;
    s32 clock;
    u64 checksum;
};

class GeneratedIntro : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        terrain_ = new TerrainGrid(BuildDemoWorld(0, 0, 256, 256).terrain);
        font_ = new std::vector<FontGlyphRecord>;
        std::string error;
        ASSERT_TRUE(BuildFontGlyphs(intro_movie::kTitleFont, *font_, &error)) << error;
        file_ = new std::vector<u8>(intro_movie::BuildIntroMovie(*terrain_, *font_));
        played_ = new std::vector<Played>;
        kept_ = new std::map<int, std::vector<u8>>;
        Play();
    }
    static void TearDownTestSuite() {
        delete terrain_;
        delete font_;
        delete file_;
        delete played_;
        delete kept_;
    }

    // Plays the movie in memory as the client would show it (5-6-5 pixel pairs) on the
    // manual sound device, stepped a little on every pass of the playback loop.
    static void Play() {
        platform::ManualClock clock;
        platform::ManualAudioOutput device(32768);
        MemoryMovieSource source(file_->data(), file_->size());
        std::vector<u8> a(kFrameBytes), b(kFrameBytes);
        MovieControl control;
        control.flags = MOVIE_OWN_FILE | MOVIE_SOUND | MOVIE_FRAME_CALLBACK | MOVIE_MEMORY_TARGET |
                        MOVIE_PIXEL_DOUBLE;
        control.format = DisplayFormat565();
        control.file = &source;
        control.audio = &device;
        control.refillByCaller = true;
        control.targetBuffer = a.data();
        control.referenceBuffer = b.data();
        control.memoryBufferBytes = kFrameBytes;
        control.frameCallback = [&] {
            const std::vector<u8> frame(control.targetBuffer, control.targetBuffer + kFrameBytes);
            played_->push_back(
                Played{control.frameCounter, control.context->stream.clock.load(), Fnv1a(frame)});
            if (control.frameCounter == intro_movie::kTitleFrames - 1 ||
                control.frameCounter == intro_movie::kTitleFrames + 20 ||
                control.frameCounter == intro_movie::kFrames - 1)
                (*kept_)[control.frameCounter] = frame;
            refused_ = control.context->framesRefused;
            return 0;
        };
        clock.onYield = [&] {
            device.Step(1000);
            if (control.context) SoundRefillPass(control.context->stream);
        };
        EXPECT_EQ(MoviePlayer("", &control), nullptr);
        EXPECT_EQ(control.state.load(), kMovieReleased);
    }

    static TerrainGrid* terrain_;
    static std::vector<FontGlyphRecord>* font_;
    static std::vector<u8>* file_;
    static std::vector<Played>* played_;
    static std::map<int, std::vector<u8>>* kept_;
    static s32 refused_;
};
TerrainGrid* GeneratedIntro::terrain_ = nullptr;
std::vector<FontGlyphRecord>* GeneratedIntro::font_ = nullptr;
std::vector<u8>* GeneratedIntro::file_ = nullptr;
std::vector<Played>* GeneratedIntro::played_ = nullptr;
std::map<int, std::vector<u8>>* GeneratedIntro::kept_ = nullptr;
s32 GeneratedIntro::refused_ = -1;

TEST_F(GeneratedIntro, HeaderThenPictureAndSoundInTurnThenTheEnd) {
    const std::vector<Chunk> chunks = SplitChunks(*file_);
    ASSERT_EQ(chunks.size(), 1u + 2u * intro_movie::kFrames + 1u);
    ASSERT_EQ(chunks.front().tag, "SCHl");
    MovieSoundFormat format;
    ParseSoundHeader(chunks.front().payload.data(), chunks.front().payload.size(), format);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.sampleRate, 22050);
    EXPECT_EQ(format.compression, kCompressionIma);
    EXPECT_EQ(chunks.back().tag, "SCEl");

    MovieSoundDecoder sound;
    sound.format = format;
    std::map<int, int> types;
    int loudest = 0;
    for (int i = 0; i < intro_movie::kFrames; ++i) {
        SCOPED_TRACE(i);
        const Chunk& video = chunks[size_t(1 + 2 * i)];
        const Chunk& audio = chunks[size_t(2 + 2 * i)];
        u8 tag[4];
        std::memcpy(tag, video.tag.data(), 4);
        const ChunkTag kind = ClassifyChunkTag(tag);
        ASSERT_EQ(kind.kind, ChunkKind::kVideo);
        ++types[kind.frameType];
        const int planned = intro_movie::PlannedFrameType(i);
        // A delta frame may fall back to a key frame; every other type is as planned.
        if (planned == kPaletteDeltaFrame)
            EXPECT_TRUE(kind.frameType == kPaletteDeltaFrame || kind.frameType == kPaletteKeyFrame);
        else
            EXPECT_EQ(kind.frameType, planned);
        ASSERT_EQ(audio.tag, "SCDl");
        // One picture's time of sound per chunk: 1470 stereo frames of 16 bits.
        ASSERT_EQ(sound.DecodedSize(audio.payload.data(), audio.payload.size()),
                  s64(intro_movie::kSoundFramesPerFrame) * 4);
        std::vector<u8> pcm(size_t(intro_movie::kSoundFramesPerFrame) * 4);
        ASSERT_TRUE(sound.Decode(audio.payload.data(), audio.payload.size(), pcm.data()));
        for (size_t s = 0; s + 1 < pcm.size(); s += 2)
            loudest = std::max(loudest, std::abs(int(s16(u16(pcm[s] | pcm[s + 1] << 8)))));
    }
    EXPECT_EQ(types[kPaletteKeyFrame], 1) << "the title changes little: deltas carry it";
    EXPECT_EQ(types[kPaletteDeltaFrame], intro_movie::kTitleFrames - 1);
    EXPECT_EQ(types[kQualityCodedFrame], 3);
    EXPECT_EQ(types[kVariableLengthCodedFrame], intro_movie::kPanFrames - 3);
    EXPECT_GT(loudest, 4000) << "the music is heard";
}

TEST_F(GeneratedIntro, TheSameBytesOnEveryBuild) {
    EXPECT_EQ(Fnv1a(*file_), 0xe3f1d7e26ff26b14ull);
    EXPECT_TRUE(intro_movie::BuildIntroMovie(*terrain_, *font_) == *file_);
}

TEST_F(GeneratedIntro, EveryFrameIsShownAtSoundClockItsNumberPlusFive) {
    ASSERT_EQ(played_->size(), size_t(intro_movie::kFrames));
    EXPECT_EQ(refused_, 0);
    for (const Played& p : *played_) {
        if (p.frameCounter == 0) continue;
        EXPECT_GE(p.clock, p.frameCounter + kSoundClockLead) << "frame " << p.frameCounter;
        EXPECT_LE(p.clock, p.frameCounter + kSoundClockLead + 1) << "frame " << p.frameCounter;
    }
}

TEST_F(GeneratedIntro, FramesAtFixedIndicesMatchTheirGoldenChecksums) {
    ASSERT_EQ(played_->size(), size_t(intro_movie::kFrames));
    const std::map<int, u64> golden = {
        {0, 0xbd637d1fd4daeacdull},  {12, 0x1fef94e0ee6c06a5ull}, {44, 0x044e42d9630e87c5ull},
        {45, 0x726b5574fc45d3c1ull}, {52, 0x7ff6853b0bc26832ull}, {60, 0x564aea3eead730c9ull},
        {80, 0x6eb507f786cce583ull}, {89, 0x2d51121cddce5bf9ull},
    };
    for (const auto& [index, sum] : golden)
        EXPECT_EQ((*played_)[size_t(index)].checksum, sum) << "frame " << index;
}

TEST_F(GeneratedIntro, TitleFramesShowTheirPicturesExactly) {
    const int index = intro_movie::kTitleFrames - 1;
    ASSERT_TRUE(kept_->count(index));
    const std::vector<u8>& shown = kept_->at(index);
    std::vector<u8> palette = intro_movie::IntroPalette();
    palette.resize(256 * 3, 0);
    MovieColourTables tables;
    BuildPalettePixels(tables, palette.data(), DisplayFormat565(), true);
    const std::vector<u8> picture = intro_movie::TitlePicture(index, *font_);
    int wrong = 0;
    for (size_t i = 0; i < picture.size(); ++i) {
        u32 pair;
        std::memcpy(&pair, &shown[4 * i], 4);
        if (pair != tables.palettePixels[picture[i]]) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
}

// Peak signal-to-noise ratio of the shown 5-6-5 pixels (first of each pair) against the art.
double PanPsnr(const std::vector<u8>& shown, const std::vector<u8>& art, int artWidth, int x0) {
    double error = 0;
    for (int y = 0; y < intro_movie::kHeight; ++y) {
        for (int x = 0; x < intro_movie::kWidth; ++x) {
            u16 pixel;
            std::memcpy(&pixel, &shown[size_t(y) * kPitch + size_t(x) * 4], 2);
            const int rgb[3] = {(pixel >> 11) * 255 / 31, (pixel >> 5 & 63) * 255 / 63,
                                (pixel & 31) * 255 / 31};
            const u8* want = &art[(size_t(y) * artWidth + size_t(x0 + x)) * 3];
            for (int c = 0; c < 3; ++c)
                error += double(rgb[c] - want[c]) * double(rgb[c] - want[c]);
        }
    }
    const double mse = error / (3.0 * intro_movie::kWidth * intro_movie::kHeight);
    return 10.0 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
}

TEST_F(GeneratedIntro, PanFramesShowTheIslandArtClosely) {
    int artWidth = 0;
    const std::vector<u8> art = intro_movie::IslandArt(*terrain_, artWidth);
    // Full range (a type 4 frame among copies) and studio range (the last frame).
    for (int index : {intro_movie::kTitleFrames + 20, intro_movie::kFrames - 1}) {
        ASSERT_TRUE(kept_->count(index));
        const int pan = index - intro_movie::kTitleFrames;
        EXPECT_GE(PanPsnr(kept_->at(index), art, artWidth, 2 * pan), 26.0) << "frame " << index;
    }
}

}  // namespace
