#include "tools/content_builder/intro_movie_builder.h"

#include <algorithm>
#include <cstring>

#include "movie/movie_audio.h"
#include "movie/movie_frame_decoder.h"
#include "tools/content_builder/movie_writer.h"
#include "tools/content_builder/palette_frame_encoder.h"
#include "tools/content_builder/tile_set.h"
#include "tools/content_builder/transform_frame_encoder.h"

namespace intro_movie {
namespace {

constexpr int kCubeRed = 6, kCubeGreen = 7, kCubeBlue = 6;
constexpr int kTransformQuality = 75;
// Pan frames from this one on are coded in the studio range.
constexpr int kFirstStudioPanFrame = 31;
constexpr int kPanStep = 2;  // pixels per frame

struct Rgb {
    int r, g, b;
};

// sin of `degrees` times 1024, from an integer approximation (within 0.2 %).
int Sin1024(int degrees) {
    degrees %= 360;
    if (degrees < 0) degrees += 360;
    const int sign = degrees < 180 ? 1 : -1;
    const int x = degrees % 180;
    const int p = x * (180 - x);
    return sign * (4 * p * 1024) / (40500 - p);
}

int Cos1024(int degrees) {
    return Sin1024(degrees + 90);
}

constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

int Level(int value, int levels, int threshold) {
    value = std::clamp(value, 0, 255);
    return std::min(levels - 1, (value * (levels - 1) * 16 + threshold * 255) / (255 * 16));
}

// The cube index of a colour, dithered by its place.
u8 CubeIndex(const Rgb& c, int x, int y) {
    const int t = kBayer[y & 3][x & 3];
    return u8(Level(c.r, kCubeRed, t) * kCubeGreen * kCubeBlue +
              Level(c.g, kCubeGreen, t) * kCubeBlue + Level(c.b, kCubeBlue, t));
}

Rgb Mix(const Rgb& a, const Rgb& b, int percentB) {
    return {a.r + (b.r - a.r) * percentB / 100, a.g + (b.g - a.g) * percentB / 100,
            a.b + (b.b - a.b) * percentB / 100};
}

int SquaredDistance(int x0, int y0, int x1, int y1) {
    return (x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0);
}

constexpr int kEmblemX = kWidth / 2, kEmblemY = 96;
constexpr int kRingInner = 50, kRingOuter = 57;
constexpr int kTitleTop = 172;

// The still part of the title pictures: night sky, the emblem.
Rgb Backdrop(int x, int y) {
    Rgb c{8, 10, 28 + y / 6};
    const int d2 = SquaredDistance(x, y, kEmblemX, kEmblemY);
    if (d2 < kRingInner * kRingInner) {
        // A red field, lighter towards its top, with a silver diamond.
        c = Mix(Rgb{150, 30, 40}, Rgb{70, 10, 20},
                (y - (kEmblemY - kRingInner)) * 100 / (2 * kRingInner));
        const int diamond = std::abs(x - kEmblemX) + std::abs(y - kEmblemY) * 3 / 2;
        if (diamond < 30) c = Mix(Rgb{230, 230, 240}, Rgb{130, 130, 150}, diamond * 100 / 30);
    } else if (d2 < kRingOuter * kRingOuter) {
        const int shade = (kEmblemY + kRingOuter - y) * 100 / (2 * kRingOuter);
        c = Mix(Rgb{120, 90, 20}, Rgb{240, 200, 80}, shade);
    } else if (d2 < (kRingOuter + 4) * (kRingOuter + 4)) {
        c = Rgb{30, 24, 40};  // the emblem's shadow rim
    }
    return c;
}

Rgb GlyphColour(u16 pixel) {
    return {(pixel >> 10 & 31) * 255 / 31, (pixel >> 5 & 31) * 255 / 31, (pixel & 31) * 255 / 31};
}

// The title is drawn half as large again as the font.
constexpr int kTitleScaleNum = 3, kTitleScaleDen = 2;

int TitleWidth(const std::vector<FontGlyphRecord>& font) {
    int width = 0;
    for (const char* c = kTitle; *c; ++c) {
        const size_t g = size_t(u8(*c)) - 32;
        if (g < font.size()) width += font[g].width;
    }
    return width * kTitleScaleNum / kTitleScaleDen;
}

// Triangle wave of a 32-bit phase, -32767..32767.
int Triangle(u32 phase) {
    const int p = int(phase >> 16);
    return p < 32768 ? p * 2 - 32767 : 32767 - (p - 32768) * 2;
}

u32 PhaseStep(int hertz) {
    return u32((u64(hertz) << 32) / u64(kSampleRate));
}

}  // namespace

int PlannedFrameType(int index) {
    if (index == 0) return movie::kPaletteKeyFrame;
    if (index < kTitleFrames) return movie::kPaletteDeltaFrame;
    return (index - kTitleFrames) % kFramesPerSecond == 0 ? movie::kQualityCodedFrame
                                                          : movie::kVariableLengthCodedFrame;
}

std::vector<s16> IntroMusic(size_t frames) {
    // A minor, F, C, G: a second and a half each; an arpeggio of eighth notes over the
    // chord's root an octave down.
    static const int kChords[4][4] = {
        {220, 262, 330, 440}, {175, 220, 262, 349}, {262, 330, 392, 523}, {196, 247, 294, 392}};
    const int chordFrames = kSampleRate * 3 / 2;
    const int noteFrames = kSampleRate / 8;
    const int total = kFrames * kSoundFramesPerFrame;
    std::vector<s16> out(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const int t = int(i);
        const int chord = (t / chordFrames) % 4;
        const int note = t / noteFrames;
        const int inNote = t % noteFrames;
        const int inChord = t % chordFrames;
        const int pitch = kChords[chord][note % 4];
        // Quick attack, decay to a third.
        const int envelope =
            inNote < 200 ? inNote * 1024 / 200 : 1024 - (inNote - 200) * 680 / (noteFrames - 200);
        const int arp =
            Triangle(u32(u64(inNote) * PhaseStep(pitch))) * envelope / 1024 * 6000 / 32767;
        const int bassEnvelope = inChord < 400 ? inChord * 1024 / 400 : 1024;
        const int bass = Triangle(u32(u64(inChord) * PhaseStep(kChords[chord][0] / 2))) *
                         bassEnvelope / 1024 * 5000 / 32767;
        // Fade in over half a second and out over the last second.
        int master = 1024;
        if (t < kSampleRate / 2) master = t * 1024 / (kSampleRate / 2);
        if (t > total - kSampleRate) master = std::max(0, (total - t) * 1024 / kSampleRate);
        const bool leftNote = note % 2 == 0;
        const int left = (bass + arp * (leftNote ? 100 : 55) / 100) * master / 1024;
        const int right = (bass + arp * (leftNote ? 55 : 100) / 100) * master / 1024;
        out[2 * i] = s16(std::clamp(left, -32768, 32767));
        out[2 * i + 1] = s16(std::clamp(right, -32768, 32767));
    }
    return out;
}

std::vector<u8> IntroPalette() {
    std::vector<u8> palette;
    for (int r = 0; r < kCubeRed; ++r)
        for (int g = 0; g < kCubeGreen; ++g)
            for (int b = 0; b < kCubeBlue; ++b) {
                palette.push_back(u8(r * 255 / (kCubeRed - 1)));
                palette.push_back(u8(g * 255 / (kCubeGreen - 1)));
                palette.push_back(u8(b * 255 / (kCubeBlue - 1)));
            }
    return palette;
}

std::vector<u8> TitlePicture(int index, const std::vector<FontGlyphRecord>& font) {
    std::vector<Rgb> rgb(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            rgb[size_t(y) * kWidth + x] = Backdrop(x, y);
    // The light circling the ring, a sixteenth of a turn every frame.
    const int angle = index * 360 / 16 - 90;
    const int lightX = kEmblemX + (kRingInner + kRingOuter) / 2 * Cos1024(angle) / 1024;
    const int lightY = kEmblemY + (kRingInner + kRingOuter) / 2 * Sin1024(angle) / 1024;
    for (int y = lightY - 8; y <= lightY + 8; ++y) {
        for (int x = lightX - 8; x <= lightX + 8; ++x) {
            const int d2 = SquaredDistance(x, y, lightX, lightY);
            if (d2 > 64 || x < 0 || y < 0 || x >= kWidth || y >= kHeight) continue;
            Rgb& c = rgb[size_t(y) * kWidth + x];
            c = Mix(c, Rgb{255, 250, 220}, 100 - d2 * 100 / 64);
        }
    }
    // The title, uncovered from the left over the first second and a half.
    const int titleWidth = TitleWidth(font);
    const int left = (kWidth - titleWidth) / 2;
    const int uncovered = std::clamp((index - 2) * (titleWidth + 8) / 20, 0, titleWidth);
    int pen = 0;  // font pixels from the title's left
    for (const char* ch = kTitle; *ch; ++ch) {
        const size_t g = size_t(u8(*ch)) - 32;
        if (g >= font.size()) continue;
        const FontGlyphRecord& glyph = font[g];
        const int x0 = pen * kTitleScaleNum / kTitleScaleDen;
        const int x1 = (pen + glyph.width) * kTitleScaleNum / kTitleScaleDen;
        const int rows = glyph.height * kTitleScaleNum / kTitleScaleDen;
        for (int dy = 0; dy < rows; ++dy) {
            for (int dx = x0; dx < x1 && dx < uncovered; ++dx) {
                const int gx = dx * kTitleScaleDen / kTitleScaleNum - pen;
                const int gy = dy * kTitleScaleDen / kTitleScaleNum;
                if (gx < 0 || gx >= glyph.width || gy >= glyph.height) continue;
                const u16 pixel = glyph.pixels[size_t(gy) * glyph.width + gx];
                const int x = left + dx, y = kTitleTop + dy;
                if (pixel == 0 || x < 0 || x >= kWidth || y >= kHeight) continue;
                rgb[size_t(y) * kWidth + x] = GlyphColour(pixel);
            }
        }
        pen += glyph.width;
    }
    std::vector<u8> picture(rgb.size());
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            picture[size_t(y) * kWidth + x] = CubeIndex(rgb[size_t(y) * kWidth + x], x, y);
    return picture;
}

std::vector<u8> IslandArt(const TerrainGrid& terrain, int& width) {
    width = kWidth + kPanStep * (kPanFrames - 1);
    std::vector<u8> rgb(size_t(width) * kHeight * 3, 0);
    if (terrain.width <= 0 || terrain.height <= 0) return rgb;
    // Cells per pixel in 8.8 fixed point: the whole grid fits, centred.
    const int scale = std::max(terrain.width * 256 / width, terrain.height * 256 / kHeight) + 1;
    const int originX = terrain.x0 + (terrain.width - width * scale / 256) / 2;
    const int originY = terrain.y0 + (terrain.height - kHeight * scale / 256) / 2;
    auto cell = [&](int px, int py) {
        int cx = std::clamp(originX + px * scale / 256, terrain.x0, terrain.x0 + terrain.width - 1);
        int cy =
            std::clamp(originY + py * scale / 256, terrain.y0, terrain.y0 + terrain.height - 1);
        return terrain.At(cx, cy);
    };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < width; ++x) {
            const TerrainGrid::Cell here = cell(x, y);
            const u16 t = here.tile;
            Rgb c{100, 100, 100};
            bool land = true;
            if (t >= demo_tiles::kWater && t < demo_tiles::kWater + 4) {
                c = {30, 70, 140};
                land = false;
            } else if (t >= demo_tiles::kSand && t < demo_tiles::kSand + 4) {
                c = {210, 190, 130};
            } else if (t >= demo_tiles::kGrass && t < demo_tiles::kGrass + 4) {
                c = {70, 140, 50};
            } else if (t >= demo_tiles::kDirt && t < demo_tiles::kDirt + 4) {
                c = {130, 95, 60};
            } else if (t >= demo_tiles::kForest && t < demo_tiles::kForest + 4) {
                c = {35, 90, 35};
            } else if (t >= demo_tiles::kRock && t < demo_tiles::kRock + 4) {
                c = {125, 118, 110};
            } else if (t >= demo_tiles::kCobbles && t < demo_tiles::kCobbles + 4) {
                c = {150, 140, 125};
            }
            // Light from the north-west: slopes facing it are brighter.
            const int slope = land ? (here.z - cell(x - 1, y - 1).z) * 6 : 0;
            // A little grain so that the ground is not flat colour.
            const u32 hash = (u32(x) * 73856093u) ^ (u32(y) * 19349663u);
            const int grain = int((hash >> 7) % 17) - 8 + (land ? 2 * (here.z / 4) : 0);
            u8* out = &rgb[(size_t(y) * width + x) * 3];
            out[0] = u8(std::clamp(c.r + slope + grain, 0, 255));
            out[1] = u8(std::clamp(c.g + slope + grain, 0, 255));
            out[2] = u8(std::clamp(c.b + slope + grain, 0, 255));
        }
    }
    return rgb;
}

std::vector<u8> BuildIntroMovie(const TerrainGrid& terrain,
                                const std::vector<FontGlyphRecord>& font) {
    movie_writer::MovieChunkWriter writer;
    movie::MovieSoundFormat format;
    format.channels = 2;
    format.sampleRate = kSampleRate;
    format.compression = movie::kCompressionIma;
    writer.Chunk("SCHl", movie_writer::SoundHeaderPayload(format));

    const std::vector<s16> music = IntroMusic(size_t(kFrames) * kSoundFramesPerFrame);
    movie::ImaChannelState ima[2] = {};
    const std::vector<u8> palette = IntroPalette();
    std::vector<u8> previous;
    int artWidth = 0;
    const std::vector<u8> art = IslandArt(terrain, artWidth);
    movie_content::TransformFrameEncoder transform;
    std::vector<u8> crop(size_t(kWidth) * kHeight * 3);

    for (int i = 0; i < kFrames; ++i) {
        const int type = PlannedFrameType(i);
        if (i < kTitleFrames) {
            std::vector<u8> picture = TitlePicture(i, font);
            std::vector<u8> delta;
            if (type == movie::kPaletteDeltaFrame)
                delta = movie_content::EncodePaletteDeltaFrame(kWidth, kHeight, previous.data(),
                                                               picture.data());
            if (delta.empty())
                writer.Chunk("kVGT", movie_content::EncodePaletteKeyFrame(kWidth, kHeight, palette,
                                                                          picture.data()));
            else
                writer.Chunk("fVGT", delta);
            previous = std::move(picture);
        } else {
            const int pan = i - kTitleFrames;
            for (int y = 0; y < kHeight; ++y)
                std::memcpy(&crop[size_t(y) * kWidth * 3],
                            &art[(size_t(y) * artWidth + size_t(pan * kPanStep)) * 3],
                            size_t(kWidth) * 3);
            const movie::ColourRange range = pan >= kFirstStudioPanFrame
                                                 ? movie::ColourRange::kStudio
                                                 : movie::ColourRange::kFull;
            const movie_content::YuvImage image =
                movie_content::YuvFromRgb(crop.data(), kWidth, kHeight, range);
            if (type == movie::kQualityCodedFrame) {
                writer.Chunk("pQGT", transform.EncodeQualityFrame(image, kTransformQuality));
            } else {
                // The picture before is in the other range: nothing of it can be copied.
                if (pan == kFirstStudioPanFrame) transform.ForgetReference();
                writer.Chunk("pIQT",
                             transform.EncodeVlcFrame(image, kTransformQuality, range, true));
            }
        }
        writer.Chunk("SCDl",
                     movie_writer::EncodeImaSound(&music[size_t(i) * kSoundFramesPerFrame * 2],
                                                  size_t(kSoundFramesPerFrame), ima));
    }
    writer.End();
    return writer.Bytes();
}

bool BuildIntroMovieFile(const TerrainGrid& terrain, std::vector<u8>& out, std::string* error) {
    std::vector<FontGlyphRecord> font;
    if (!BuildFontGlyphs(kTitleFont, font, error)) return false;
    out = BuildIntroMovie(terrain, font);
    return true;
}

}  // namespace intro_movie
