// Movie frames decoded per second at 320 x 240, pixel-doubled into 32-bit pixel pairs, per
// frame type: palette key and delta frames (decoded and written through the palette pixel
// table), quality-coded (type 3) and variable-length-coded (type 4) transform frames.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "movie/palette_frame.h"
#include "movie/transform_frame.h"
#include "tools/content_builder/palette_frame_encoder.h"
#include "tools/content_builder/transform_frame_encoder.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// A title-like palette picture: a ringed emblem, stripes and letters of noise, moved by shift.
std::vector<u8> PalettePicture(int shift) {
    std::vector<u8> p(size_t(kWidth * kHeight));
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int dx = x - 160 - shift, dy = y - 120;
            const int ring = int(std::sqrt(double(dx * dx + dy * dy))) / 8;
            u8 v = u8(16 + ring % 12);
            if (y > 190 && y < 214 && ((x + shift) / 3 * 7 + y / 3 * 5) % 9 < 4) v = 200;
            p[size_t(y * kWidth + x)] = v;
        }
    return p;
}

// Island art: sea, shore, hills and texture, panned by shift.
movie_content::YuvImage Island(int shift) {
    std::vector<u8> rgb;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int sx = x + shift;
            const double land = 140 + 40 * std::sin(sx * 0.03) + 20 * std::cos(sx * 0.11);
            const int grain = (sx * 13 + y * 7) % 17;
            if (y < land - 60) {
                rgb.insert(rgb.end(), {u8(90 + y / 4), u8(140 + y / 5), u8(220)});
            } else if (y < land) {
                rgb.insert(rgb.end(), {u8(60 + grain), u8(120 + grain * 2), u8(50)});
            } else {
                rgb.insert(rgb.end(), {u8(20), u8(60 + grain), u8(140 + grain)});
            }
        }
    return movie_content::YuvFromRgb(rgb.data(), kWidth, kHeight, movie::ColourRange::kFull);
}

struct Tables {
    u32 luma[128], cb[128], cr[128], clamp[512], palette[256];
    s32 chroma[256];
    Tables() {
        for (u32 i = 0; i < 128; ++i)
            luma[i] = cb[i] = cr[i] = i * 0x00210021u;
        for (u32 i = 0; i < 512; ++i)
            clamp[i] = (i / 16) * 0x08410841u;
        for (u32 i = 0; i < 256; ++i)
            palette[i] = i * 0x00010001u;
        for (int i = 0; i < 256; ++i)
            chroma[i] = static_cast<s8>(static_cast<u8>(i));
    }
    movie::ColourTables View() const {
        movie::ColourTables t;
        t.luma = luma;
        t.cb = cb;
        t.cr = cr;
        t.redClamp = t.greenClamp = t.blueClamp = clamp;
        t.crToRed = t.cbToBlue = t.cbToGreen = t.crToGreen = chroma;
        return t;
    }
};

// Frames per second, and the size of the frame decoded.
void Report(benchmark::State& state, size_t bytes) {
    state.counters["frames/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["bytes"] = double(bytes);
}

std::vector<u8> g_target(size_t(kWidth) * kHeight * 4), g_reference(g_target.size());

void PaletteKeyFrames(benchmark::State& state) {
    static const Tables tables;
    const std::vector<u8> picture = PalettePicture(0);
    std::vector<u8> palette(3 * 256, 128);
    const std::vector<u8> key =
        movie_content::EncodePaletteKeyFrame(kWidth, kHeight, palette, picture.data());
    movie::PaletteFrameDecoder decoder;
    for (auto _ : state) {
        decoder.DecodePaletteKeyFrame(key.data(), key.size());
        movie::WritePalettePicture(decoder.Picture(), kWidth, kHeight, tables.palette, true,
                                   g_target.data());
        benchmark::DoNotOptimize(g_target.data());
    }
    Report(state, key.size());
}

void PaletteDeltaFrames(benchmark::State& state) {
    static const Tables tables;
    std::vector<u8> palette(3 * 256, 128);
    const std::vector<u8> a = PalettePicture(0), b = PalettePicture(3);
    const std::vector<u8> key =
        movie_content::EncodePaletteKeyFrame(kWidth, kHeight, palette, a.data());
    // Alternating a -> b and b -> a keeps every delta exact.
    const std::vector<u8> there =
        movie_content::EncodePaletteDeltaFrame(kWidth, kHeight, a.data(), b.data());
    const std::vector<u8> back =
        movie_content::EncodePaletteDeltaFrame(kWidth, kHeight, b.data(), a.data());
    movie::PaletteFrameDecoder decoder;
    decoder.DecodePaletteKeyFrame(key.data(), key.size());
    bool forth = true;
    for (auto _ : state) {
        const std::vector<u8>& delta = forth ? there : back;
        forth = !forth;
        decoder.DecodePaletteDeltaFrame(delta.data(), delta.size());
        movie::WritePalettePicture(decoder.Picture(), kWidth, kHeight, tables.palette, true,
                                   g_target.data());
        benchmark::DoNotOptimize(g_target.data());
    }
    Report(state, there.size());
}

enum class Coding { kQuality, kVlcPan, kVlcWhole };

void TransformFrames(benchmark::State& state, Coding coding) {
    static const Tables tables;
    movie_content::TransformFrameEncoder encoder;
    std::vector<u8> frame;
    const bool vlc = coding != Coding::kQuality;
    if (coding == Coding::kVlcPan) {
        // The second frame of a pan: copies and coded macroblocks.
        encoder.EncodeVlcFrame(Island(0), 90, movie::ColourRange::kFull, true);
        frame = encoder.EncodeVlcFrame(Island(2), 90, movie::ColourRange::kFull, true);
    } else if (coding == Coding::kVlcWhole) {
        // Every macroblock coded.
        frame = encoder.EncodeVlcFrame(Island(0), 90, movie::ColourRange::kFull, false);
    } else {
        frame = encoder.EncodeQualityFrame(Island(0), 90);
    }
    movie::PixelTarget target(tables.View(), kWidth, kHeight, true, g_target.data(),
                              g_reference.data(), size_t(kWidth) * 4);
    for (auto _ : state) {
        if (vlc) {
            movie::DecodeVlcFrame(frame.data(), frame.size(), target);
        } else {
            movie::DecodeQualityFrame(frame.data(), frame.size(), target);
        }
        benchmark::DoNotOptimize(g_target.data());
    }
    Report(state, frame.size());
}

void QualityCodedFrames(benchmark::State& state) {
    TransformFrames(state, Coding::kQuality);
}

void VariableLengthCodedPanFrames(benchmark::State& state) {
    TransformFrames(state, Coding::kVlcPan);
}

void VariableLengthCodedWholeFrames(benchmark::State& state) {
    TransformFrames(state, Coding::kVlcWhole);
}

}  // namespace

BENCHMARK(PaletteKeyFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(PaletteDeltaFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(QualityCodedFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(VariableLengthCodedPanFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(VariableLengthCodedWholeFrames)->Unit(benchmark::kMicrosecond);
