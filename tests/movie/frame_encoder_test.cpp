// Round trips through the content builder's movie encoders and the player's decoders.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "movie/palette_frame.h"
#include "movie/transform_frame.h"
#include "tools/content_builder/palette_frame_encoder.h"
#include "tools/content_builder/transform_frame_encoder.h"

namespace {

using namespace movie;
using namespace movie_content;

std::vector<u8> Decompressed(const std::vector<u8>& stream, size_t size) {
    std::vector<u8> out(size + 16, 0xEE);
    size_t written = 0;
    EXPECT_EQ(DecompressLz(stream.data(), stream.size(), out.data(), out.size(), &written), size);
    out.resize(written);
    return out;
}

TEST(LzEncoder, RoundTripsEveryKindOfInput) {
    std::mt19937 random(7);
    std::vector<std::vector<u8>> inputs = {{}, {1}, {1, 2}, {5, 5, 5, 5, 5, 5, 5, 5, 5}};
    std::vector<u8> noise(5000);
    for (u8& b : noise)
        b = u8(random());
    inputs.push_back(noise);
    // Long runs (long matches), repeats at every distance range, few-colour pictures.
    std::vector<u8> mixed;
    for (int i = 0; i < 3000; ++i)
        mixed.push_back(u8(i / 700));
    for (int distance : {7, 900, 5000, 20000, 100000}) {
        std::vector<u8> piece(40);
        for (u8& b : piece)
            b = u8(random());
        mixed.insert(mixed.end(), piece.begin(), piece.end());
        mixed.insert(mixed.end(), size_t(distance), u8(random() % 3));
        mixed.insert(mixed.end(), piece.begin(), piece.begin() + 3 + distance % 5);
    }
    inputs.push_back(mixed);
    for (const auto& input : inputs) {
        const std::vector<u8> stream = EncodeLz(input.data(), input.size());
        EXPECT_EQ(Decompressed(stream, input.size()), input) << input.size();
    }
    EXPECT_LT(EncodeLz(mixed.data(), mixed.size()).size(), mixed.size() / 20);
}

// A 64 x 48 picture of a few colours: bands, a disc and noise in one corner.
std::vector<u8> TestPicture(int width, int height, int shift) {
    std::vector<u8> p(size_t(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int sx = x + shift;
            u8 v = u8(1 + (sx / 6) % 3);
            if ((sx - 30) * (sx - 30) + (y - 20) * (y - 20) < 100) v = 9;
            if (x < 12 && y < 12) v = u8((x * 7 + y * 13 + shift * 5) % 23 + 20);
            p[size_t(y * width + x)] = v;
        }
    return p;
}

TEST(PaletteEncoders, KeyAndDeltaFramesDecodeExactly) {
    const int width = 64, height = 48;
    std::vector<u8> palette;
    for (int i = 0; i < 50; ++i)
        palette.insert(palette.end(), {u8(i * 5), u8(255 - i), u8(i * i % 256)});
    PaletteFrameDecoder decoder;
    std::vector<u8> previous = TestPicture(width, height, 0);
    const std::vector<u8> key = EncodePaletteKeyFrame(width, height, palette, previous.data());
    ASSERT_TRUE(decoder.DecodePaletteKeyFrame(key.data(), key.size()));
    EXPECT_EQ(std::vector<u8>(decoder.Picture(), decoder.Picture() + width * height), previous);
    EXPECT_EQ(std::vector<u8>(decoder.Palette(), decoder.Palette() + palette.size()), palette);
    for (int frame = 1; frame <= 6; ++frame) {
        const std::vector<u8> next = TestPicture(width, height, frame * 2);
        const std::vector<u8> delta =
            EncodePaletteDeltaFrame(width, height, previous.data(), next.data());
        ASSERT_FALSE(delta.empty());
        ASSERT_TRUE(decoder.DecodePaletteDeltaFrame(delta.data(), delta.size()));
        ASSERT_EQ(std::vector<u8>(decoder.Picture(), decoder.Picture() + width * height), next)
            << frame;
        previous = next;
    }
}

TEST(PaletteEncoders, UseVectorsForMotionAndKeyFramesWhenIndicesRunOut) {
    const int width = 64, height = 48;
    const std::vector<u8> a = TestPicture(width, height, 0);
    const std::vector<u8> b = TestPicture(width, height, 2);
    const std::vector<u8> delta = EncodePaletteDeltaFrame(width, height, a.data(), b.data());
    // Mostly moved blocks: few codebook blocks.
    EXPECT_LT(delta[2] | delta[3] << 8, 16);
    // 320 x 240 of noise: 4800 distinct blocks need 13-bit indices.
    std::vector<u8> noise(320 * 240), other(320 * 240);
    std::mt19937 random(3);
    for (size_t i = 0; i < noise.size(); ++i) {
        noise[i] = u8(random());
        other[i] = u8(random());
    }
    EXPECT_TRUE(EncodePaletteDeltaFrame(320, 240, other.data(), noise.data()).empty());
}

// A colourful 64 x 48 picture: smooth waves, a horizon and a fine texture; RGB.
std::vector<u8> Scene(int width, int height, int shift) {
    std::vector<u8> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int sx = x + shift;
            const double sky = y < 20 ? 1.0 : 0.0;
            rgb.push_back(u8(60 + 100 * sky + 40 * std::sin(sx * 0.15)));
            const int texture = ((sx / 3 + y / 3) % 2) * 24 + (sx * 7 + y * 3) % 11;
            rgb.push_back(u8(100 + 50 * std::cos(sx * 0.1 + y * 0.05) + texture));
            rgb.push_back(u8(90 + 90 * sky + 2 * y));
        }
    return rgb;
}

double Psnr(const YuvImage& image, const SamplePicture& decoded, ColourRange range) {
    double error = 0;
    int count = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const size_t at = size_t(y * image.width + x);
            const double d[3] = {double(image.y[at] - SampleToByte(decoded.Y(x, y), range)),
                                 double(image.cb[at] - SampleToByte(decoded.Cb(x, y), range)),
                                 double(image.cr[at] - SampleToByte(decoded.Cr(x, y), range))};
            for (double e : d)
                error += e * e;
            count += 3;
        }
    return 10 * std::log10(255.0 * 255.0 / (error / count));
}

SamplePicture Decode(const std::vector<u8>& frame, bool vlc, const SamplePicture* reference,
                     int width, int height) {
    SamplePicture picture(width, height);
    picture.SetReference(reference);
    EXPECT_TRUE(vlc ? DecodeVlcFrame(frame.data(), frame.size(), picture)
                    : DecodeQualityFrame(frame.data(), frame.size(), picture));
    return picture;
}

TEST(TransformEncoders, QualityCodedFramesReach30DbAtQuality90) {
    const int width = 64, height = 48;
    const YuvImage image =
        YuvFromRgb(Scene(width, height, 0).data(), width, height, ColourRange::kFull);
    TransformFrameEncoder encoder;
    const std::vector<u8> frame = encoder.EncodeQualityFrame(image, 90);
    const SamplePicture decoded = Decode(frame, false, nullptr, width, height);
    EXPECT_GE(Psnr(image, decoded, ColourRange::kFull), 30.0);
    // A flat picture is sent as flat records.
    YuvImage grey = image;
    std::fill(grey.y.begin(), grey.y.end(), 100);
    std::fill(grey.cb.begin(), grey.cb.end(), 128);
    std::fill(grey.cr.begin(), grey.cr.end(), 128);
    EXPECT_EQ(encoder.EncodeQualityFrame(grey, 90).size(), 8u + 12 * 7);
}

TEST(TransformEncoders, VariableLengthCodedFramesReach30DbAtQuality90InBothRanges) {
    const int width = 64, height = 48;
    for (ColourRange range : {ColourRange::kFull, ColourRange::kStudio}) {
        TransformFrameEncoder encoder;
        std::unique_ptr<SamplePicture> previous;
        for (int shift = 0; shift < 8; shift += 2) {
            const YuvImage image =
                YuvFromRgb(Scene(width, height, shift).data(), width, height, range);
            const std::vector<u8> frame = encoder.EncodeVlcFrame(image, 90, range, true);
            const SamplePicture decoded = Decode(frame, true, previous.get(), width, height);
            EXPECT_GE(Psnr(image, decoded, range), 30.0) << shift;
            // The encoder's own picture is the player's.
            for (int y = 0; y < height; y += 7)
                for (int x = 0; x < width; x += 5)
                    ASSERT_EQ(decoded.Y(x, y), encoder.Reconstruction()->Y(x, y));
            previous = std::make_unique<SamplePicture>(decoded);
        }
    }
}

TEST(TransformEncoders, APanIsSentAsCopies) {
    const int width = 64, height = 48;
    TransformFrameEncoder encoder;
    const YuvImage first =
        YuvFromRgb(Scene(width, height, 0).data(), width, height, ColourRange::kFull);
    const size_t intra = encoder.EncodeVlcFrame(first, 90, ColourRange::kFull, true).size();
    const YuvImage same = first;
    const size_t copied = encoder.EncodeVlcFrame(same, 90, ColourRange::kFull, true).size();
    EXPECT_LT(copied, intra / 8);
}

TEST(MovieEncoders, AreDeterministic) {
    const int width = 64, height = 48;
    const std::vector<u8> a = TestPicture(width, height, 0), b = TestPicture(width, height, 4);
    EXPECT_EQ(EncodePaletteDeltaFrame(width, height, a.data(), b.data()),
              EncodePaletteDeltaFrame(width, height, a.data(), b.data()));
    const YuvImage image =
        YuvFromRgb(Scene(width, height, 0).data(), width, height, ColourRange::kFull);
    TransformFrameEncoder one, two;
    EXPECT_EQ(one.EncodeVlcFrame(image, 80, ColourRange::kFull, true),
              two.EncodeVlcFrame(image, 80, ColourRange::kFull, true));
    EXPECT_EQ(one.EncodeQualityFrame(image, 80), two.EncodeQualityFrame(image, 80));
}

}  // namespace
