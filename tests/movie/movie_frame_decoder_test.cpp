// The decoders the player plugs in per frame type: palette frames through the palette's
// pixel values, transform frames through the colour tables, and the frames they refuse.
#include "movie/movie_frame_decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "movie/movie_colour.h"
#include "movie/transform_frame.h"
#include "tools/content_builder/palette_frame_encoder.h"
#include "tools/content_builder/transform_frame_encoder.h"

namespace {

using namespace movie;

// A frame buffer of pixel pairs for a width x height frame, filled with a marker.
struct Target {
    int width, height;
    std::vector<u8> pixels, reference;
    MovieColourTables colour;
    DisplayFormat format = DisplayFormat565();
    Target(int w, int h)
        : width(w), height(h), pixels(size_t(w) * h * 4, 0xEE), reference(pixels.size(), 0) {
        BuildColourTables(colour, format, 100, true);
    }
    MovieFrame Frame(int type) {
        MovieFrame f;
        f.type = type;
        f.width = width;
        f.height = height;
        f.target = pixels.data();
        f.reference = reference.data();
        f.pitch = width * 4;
        f.bytesPerPixel = 2;
        f.pixelDouble = true;
        f.colour = &colour;
        f.format = &format;
        return f;
    }
    u32 Pair(int x, int y) const {
        u32 v;
        std::memcpy(&v, &pixels[size_t(y) * width * 4 + size_t(x) * 4], 4);
        return v;
    }
};

std::vector<u8> Palette() {
    std::vector<u8> rgb;
    for (int i = 0; i < 4; ++i) {
        rgb.push_back(u8(i * 80));
        rgb.push_back(u8(255 - i * 60));
        rgb.push_back(u8(40 * i));
    }
    return rgb;
}

std::vector<u8> Picture(int width, int height) {
    std::vector<u8> p(size_t(width) * height);
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = u8((i / 3) % 4);
    return p;
}

TEST(MovieFrameDecoder, EveryFrameTypeHasADecoderAndNoOtherDoes) {
    for (int type : {1, 2, 3, 4})
        EXPECT_NE(MakeMovieFrameDecoder(type), nullptr) << type;
    for (int type : {0, 5, -1})
        EXPECT_EQ(MakeMovieFrameDecoder(type), nullptr) << type;
}

TEST(MovieFrameDecoder, PaletteFramesShowTheirPictureThroughThePalettePixels) {
    const std::vector<u8> picture = Picture(16, 8);
    const std::vector<u8> key =
        movie_content::EncodePaletteKeyFrame(16, 8, Palette(), picture.data());
    for (int brightness : {100, 50}) {
        SCOPED_TRACE(brightness);
        auto decoder = MakeMovieFrameDecoder(kPaletteKeyFrame, brightness);
        int w = 0, h = 0;
        ASSERT_TRUE(decoder->FrameSize(kPaletteKeyFrame, key.data(), key.size(), w, h));
        EXPECT_EQ(w, 16);
        EXPECT_EQ(h, 8);
        Target t(16, 8);
        MovieFrame frame = t.Frame(kPaletteKeyFrame);
        ASSERT_TRUE(decoder->Decode(key.data(), key.size(), frame));
        std::vector<u8> scaled = Palette();
        for (u8& c : scaled)
            c = u8(c * brightness / 100);
        scaled.resize(256 * 3, 0);
        MovieColourTables expected;
        BuildPalettePixels(expected, scaled.data(), t.format, true);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(t.Pair(x, y), expected.palettePixels[picture[size_t(y) * 16 + x]])
                    << x << "," << y;
        // A delta frame carries no size of its own.
        EXPECT_FALSE(decoder->FrameSize(kPaletteDeltaFrame, key.data(), key.size(), w, h));
    }
}

TEST(MovieFrameDecoder, FramesThatDoNotFitTheTargetAreRefusedUntouched) {
    const std::vector<u8> small = Picture(8, 4);
    const std::vector<u8> key = movie_content::EncodePaletteKeyFrame(8, 4, Palette(), small.data());
    const std::vector<u8> same =
        movie_content::EncodePaletteDeltaFrame(8, 4, small.data(), small.data());
    ASSERT_FALSE(same.empty());
    auto palette = MakeMovieFrameDecoder(kPaletteKeyFrame);
    Target keyTarget(8, 4);
    MovieFrame keyFrame = keyTarget.Frame(kPaletteKeyFrame);
    ASSERT_TRUE(palette->Decode(key.data(), key.size(), keyFrame));

    // The player's frame size has moved on (a transform frame of another size came between):
    // the 8 x 4 picture would be read as 16 x 16.
    Target larger(16, 16);
    MovieFrame delta = larger.Frame(kPaletteDeltaFrame);
    EXPECT_FALSE(palette->Decode(same.data(), same.size(), delta));
    EXPECT_EQ(larger.pixels, std::vector<u8>(larger.pixels.size(), 0xEE));

    // 32-bit display pixels are not built: every coding refuses them.
    movie_content::TransformFrameEncoder encoder;
    movie_content::YuvImage image;
    image.width = image.height = 16;
    image.y.assign(256, 100);
    image.cb.assign(256, 128);
    image.cr.assign(256, 128);
    const std::vector<u8> quality = encoder.EncodeQualityFrame(image, 80);
    struct Case {
        int type;
        const std::vector<u8>* payload;
    };
    for (const Case& c : {Case{kPaletteKeyFrame, &key}, Case{kQualityCodedFrame, &quality}}) {
        Target wide(16, 16);
        MovieFrame frame = wide.Frame(c.type);
        frame.bytesPerPixel = 4;
        EXPECT_FALSE(
            MakeMovieFrameDecoder(c.type)->Decode(c.payload->data(), c.payload->size(), frame))
            << c.type;
        EXPECT_EQ(wide.pixels, std::vector<u8>(wide.pixels.size(), 0xEE)) << c.type;
    }
}

TEST(MovieFrameDecoder, TransformFramesGoThroughThePlayersColourTables) {
    movie_content::TransformFrameEncoder encoder;
    movie_content::YuvImage image;
    image.width = 32;
    image.height = 16;
    image.y.assign(512, 0);
    image.cb.assign(512, 128);
    image.cr.assign(512, 128);
    for (int i = 0; i < 512; ++i)
        image.y[size_t(i)] = u8(i % 32 < 16 ? 40 : 200);
    for (bool vlc : {false, true}) {
        SCOPED_TRACE(vlc);
        const int type = vlc ? kVariableLengthCodedFrame : kQualityCodedFrame;
        const std::vector<u8> payload =
            vlc ? encoder.EncodeVlcFrame(image, 90, ColourRange::kFull, false)
                : encoder.EncodeQualityFrame(image, 90);
        auto decoder = MakeMovieFrameDecoder(type);
        int w = 0, h = 0;
        ASSERT_TRUE(decoder->FrameSize(type, payload.data(), payload.size(), w, h));
        EXPECT_EQ(w, 32);
        EXPECT_EQ(h, 16);
        Target t(32, 16);
        MovieFrame frame = t.Frame(type);
        ASSERT_TRUE(decoder->Decode(payload.data(), payload.size(), frame));
        // The same as a pixel target over the same tables.
        std::vector<u8> direct(t.pixels.size(), 0);
        PixelTarget target(ColourTableView(t.colour), 32, 16, true, direct.data(), nullptr, 128);
        ASSERT_TRUE(vlc ? DecodeVlcFrame(payload.data(), payload.size(), target)
                        : DecodeQualityFrame(payload.data(), payload.size(), target));
        EXPECT_EQ(t.pixels, direct);
        // Dark on the left, light on the right (5-6-5 green of the first pixel of a pair).
        EXPECT_LT(t.Pair(2, 8) >> 5 & 63, 20u);
        EXPECT_GT(t.Pair(20, 8) >> 5 & 63, 40u);
    }
}

}  // namespace
