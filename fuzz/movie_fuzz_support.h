#pragma once
// What the movie frame fuzz targets share: the frame size, pictures to encode their seeds from,
// and colour tables for decoding into display pixels.
#include <cmath>
#include <cstdlib>
#include <vector>

#include "movie/transform_frame.h"
#include "platform/types.h"
#include "tools/content_builder/transform_frame_encoder.h"

namespace movie_fuzz {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

inline void Check(bool ok) {
    if (!ok) std::abort();
}

// A palette picture: diagonal stripes over a checkerboard, moved right by `shift`.
inline std::vector<u8> PalettePicture(int shift) {
    std::vector<u8> p(size_t(kWidth * kHeight));
    for (size_t i = 0; i < p.size(); ++i) {
        const int x = int(i) % kWidth + shift, y = int(i) / kWidth;
        p[i] = ((x + y) / 5) % 4 == 0 ? u8(30 + x % 7) : u8(((x / 8) ^ (y / 8)) & 1);
    }
    return p;
}

// A YCbCr picture for the transform frames, moved right by `shift`.
inline movie_content::YuvImage Scene(int shift, movie::ColourRange range) {
    std::vector<u8> rgb;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int sx = x + shift;
            rgb.push_back(u8(60 + (y < 20 ? 100 : 0) + 40 * std::sin(sx * 0.15)));
            rgb.push_back(u8(100 + 50 * std::cos(sx * 0.1 + y * 0.05) + (sx * 7 + y * 3) % 11));
            rgb.push_back(u8(90 + (y < 20 ? 90 : 0) + 2 * y));
        }
    return movie_content::YuvFromRgb(rgb.data(), kWidth, kHeight, range);
}

// Tables of the right sizes with arbitrary contents.
struct Tables {
    u32 luma[128], cb[128], cr[128], red[512], green[512], blue[512];
    s32 crToRed[256], cbToBlue[256], cbToGreen[256], crToGreen[256];
    Tables() {
        for (u32 i = 0; i < 128; ++i) {
            luma[i] = i * 0x00210021u;
            cb[i] = i * 0x00010001u;
            cr[i] = i * 0x08000800u;
        }
        for (u32 i = 0; i < 512; ++i) {
            red[i] = (i / 16) * 0x08000800u;
            green[i] = (i / 8) * 0x00200020u;
            blue[i] = (i / 16) * 0x00010001u;
        }
        for (int i = 0; i < 256; ++i) {
            const int v = static_cast<s8>(static_cast<u8>(i));
            crToRed[i] = v * 137 / 100;
            cbToBlue[i] = v * 173 / 100;
            cbToGreen[i] = v * 34 / 100;
            crToGreen[i] = -v * 70 / 100;
        }
    }
    movie::ColourTables View() const {
        return {luma, cb, cr, red, green, blue, crToRed, cbToBlue, cbToGreen, crToGreen};
    }
};

// Decodes a transform frame into display pixel pairs and into samples, on buffers of exactly
// the frame's size, with a reference picture for copies.
template <typename Decode>
void DecodeEverywhere(const u8* data, size_t size, Decode decode) {
    static const Tables tables;
    const size_t pitch = size_t(kWidth) * 4;
    std::vector<u8> target(pitch * kHeight, 0), reference(pitch * kHeight, 0x5A);
    movie::PixelTarget pixels(tables.View(), kWidth, kHeight, true, target.data(), reference.data(),
                              pitch);
    decode(data, size, pixels);
    std::vector<u8> singles(size_t(kWidth) * 2 * kHeight, 0);
    movie::PixelTarget single(tables.View(), kWidth, kHeight, false, singles.data(),
                              reference.data(), size_t(kWidth) * 2);
    decode(data, size, single);
    movie::SamplePicture previous(kWidth, kHeight), samples(kWidth, kHeight);
    samples.SetReference(&previous);
    const bool decoded = decode(data, size, samples);
    movie::TransformFrameHeader header;
    if (decoded) {
        Check(movie::ReadTransformFrameHeader(data, size, header));
        Check(header.width % 16 == 0 && header.width <= kWidth && header.height <= kHeight);
    }
}

}  // namespace movie_fuzz
