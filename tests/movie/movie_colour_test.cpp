// Colour conversion: display layouts, the full-range and studio-range tables against the
// float formulas, and the palette's pixels.
#include <gtest/gtest.h>

#include <cmath>

#include "movie/movie_colour.h"

using namespace movie;

namespace {

struct Fields {
    int r, g, b;
};

Fields Unpack(u32 pixel, const DisplayFormat& f) {
    return {int(pixel >> f.redShift) & ((1 << f.redBits) - 1),
            int(pixel >> f.greenShift) & ((1 << f.greenBits) - 1),
            int(pixel >> f.blueShift) & ((1 << f.blueBits) - 1)};
}

int Clamp255(double v) {
    return int(std::clamp(v, 0.0, 255.0));
}

TEST(MovieColour, DisplayLayoutsFromTheirMasks) {
    struct Case {
        DisplayFormat f;
        int bits, redShift, greenBits;
    };
    const Case cases[] = {
        {DisplayFormat555(), 15, 10, 5},
        {DisplayFormat565(), 16, 11, 6},
        {DisplayFormat888(), 24, 16, 8},
        {DisplayFormatFromMasks(0xFF000000u, 0xFF0000, 0xFF00), 23, 24, 8},  // bit 31 not counted
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.f.bitsPerPixel, c.bits);
        EXPECT_EQ(c.f.redShift, c.redShift);
        EXPECT_EQ(c.f.greenBits, c.greenBits);
    }
}

TEST(MovieColour, FullRangeEdgeEntries) {
    const DisplayFormat f = DisplayFormat565();
    MovieColourTables t;
    BuildColourTables(t, f, 100, true);
    // Luminance 129 on 5-6-5: 16, 32, 16 in both halves.
    const Fields low = Unpack(t.luma[0], f), high = Unpack(t.luma[0] >> 16, f);
    EXPECT_EQ(low.r, 16);
    EXPECT_EQ(low.g, 32);
    EXPECT_EQ(low.b, 16);
    EXPECT_EQ(high.r, 16);
    EXPECT_EQ(high.g, 32);
    EXPECT_EQ(high.b, 16);
    // A colour difference of 1 rounds to nothing.
    EXPECT_EQ(t.cb[0], 0u);
    EXPECT_EQ(t.cr[0], 0u);
    // On 5-5-5 the spare bits are set in both halves.
    MovieColourTables t555;
    BuildColourTables(t555, DisplayFormat555(), 100, true);
    EXPECT_EQ(t555.luma[5] & 0x80008000u, 0x80008000u);
}

// Undoes the packing of one half of a table value: the fields from blue up, each borrow a
// negative field took from the one above given back, each field read as the value nearest
// to what the formula wants. `borrow` carries from the low half into the high half.
void UnpackHalf(u32 half, const DisplayFormat& f, const double want[3], int& borrow, int out[3]) {
    const int bits[3] = {f.blueBits, f.greenBits, f.redBits};
    const int shifts[3] = {f.blueShift, f.greenShift, f.redShift};
    for (int i = 0; i < 3; ++i) {  // blue, green, red
        const int c = 2 - i;       // index into want/out (red, green, blue)
        const int m = (1 << bits[i]) - 1;
        const int v = ((int(half >> shifts[i]) & m) + borrow) & m;
        const int below = v - (1 << bits[i]);
        const int x = std::abs(v - want[c]) <= std::abs(below - want[c]) ? v : below;
        out[c] = x;
        borrow = x - borrow < 0 ? 1 : 0;
    }
}

TEST(MovieColour, FullRangeTablesFollowTheFloatFormulas) {
    for (const DisplayFormat& f : {DisplayFormat565(), DisplayFormat555()}) {
        MovieColourTables t;
        BuildColourTables(t, f, 100, true);
        const double steps[3] = {double(1 << (8 - f.redBits)), double(1 << (8 - f.greenBits)),
                                 double(1 << (8 - f.blueBits))};
        for (int h = 0; h < 128; ++h) {
            const double l = double(s8(u8(2 * h + 1))) + 128, c = double(s8(u8(2 * h + 1)));
            const struct {
                const char* name;
                u32 value;
                double rgb[3];
            } entries[] = {
                {"luma", t.luma[size_t(h)], {l, l, l}},
                {"cb", t.cb[size_t(h)], {0, -0.344136 * c, 1.772 * c}},
                {"cr", t.cr[size_t(h)], {1.402 * c, -0.714136 * c, 0}},
            };
            for (const auto& e : entries) {
                double want[3];
                for (int i = 0; i < 3; ++i)
                    want[i] = e.rgb[i] / steps[i];
                int borrow = 0, single[3], partner[3];
                UnpackHalf(e.value & 0xFFFF, f, want, borrow, single);
                UnpackHalf(e.value >> 16, f, want, borrow, partner);
                for (int i = 0; i < 3; ++i) {
                    EXPECT_NEAR(single[i], want[i], 1.0) << e.name << " " << h << " " << i;
                    EXPECT_NEAR(partner[i], want[i], 1.0) << e.name << " " << h << " " << i;
                }
            }
        }
    }
}

TEST(MovieColour, OtherDepthsUseEightBitFields) {
    const DisplayFormat f = DisplayFormat888();
    MovieColourTables t;
    BuildColourTables(t, f, 100, false);
    EXPECT_EQ(t.luma[0], 0xFF000000u | 129u << 16 | 129u << 8 | 129u);
    for (int y = -60; y < 60; y += 7) {
        for (int cb = -60; cb < 60; cb += 9) {
            for (int cr = -60; cr < 60; cr += 11) {
                const double l = 2 * y + 1 + 128, db = 2 * cb + 1, dr = 2 * cr + 1;
                const double r = l + 1.402 * dr, g = l - 0.344 * db - 0.714 * dr,
                             b = l + 1.772 * db;
                if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) continue;
                const Fields got = Unpack(FullRangePixel(ColourTableView(t), y, cb, cr), f);
                EXPECT_NEAR(got.r, r, 1) << y << " " << cb << " " << cr;
                EXPECT_NEAR(got.g, g, 1) << y << " " << cb << " " << cr;
                EXPECT_NEAR(got.b, b, 1) << y << " " << cb << " " << cr;
            }
        }
    }
}

TEST(MovieColour, StudioRangeEdgeCases) {
    const DisplayFormat f = DisplayFormat565();
    MovieColourTables t;
    BuildColourTables(t, f, 100, false);
    EXPECT_EQ(StudioRangePixel(ColourTableView(t), 8, 64, 64), 0u);
    EXPECT_EQ(StudioRangePixel(ColourTableView(t), 117, 64, 64) & 0xFFFF, 0xFFFFu);
    // Brightness 50: nominal white (2k + 1 - 384 = 219) comes out at 127, and the clamp to
    // 255 applies after the scaling.
    const DisplayFormat wide = DisplayFormat888();
    MovieColourTables half;
    BuildColourTables(half, wide, 50, false);
    EXPECT_EQ((half.redClamp[301] >> 16) & 0xFF, 127u);
    EXPECT_EQ((half.redClamp[400] >> 16) & 0xFF, 242u);  // trunc(417 * 1.164) / 2
    EXPECT_EQ(half.blueClamp[511] & 0xFF, 255u);
    MovieColourTables full;
    BuildColourTables(full, wide, 100, false);
    EXPECT_EQ(full.blueClamp[511] & 0xFF, 255u);
    EXPECT_EQ(full.blueClamp[0], 0u);
}

TEST(MovieColour, StudioRangeTablesFollowTheFloatFormulas) {
    const DisplayFormat f = DisplayFormat888();
    for (int brightness : {100, 50, 130}) {
        MovieColourTables t;
        BuildColourTables(t, f, brightness, false);
        // Two truncations: the product, then the brightness scaling of it.
        const double tolerance = brightness == 100 ? 1.0 : 1.0 + brightness / 100.0;
        for (int k = 0; k < 512; ++k) {
            const double v = std::clamp(1.164 * (2 * k + 1 - 384) * brightness / 100, 0.0, 255.0);
            EXPECT_NEAR(double((t.redClamp[size_t(k)] >> 16) & 0xFF), v, tolerance) << k;
            EXPECT_NEAR(double((t.greenClamp[size_t(k)] >> 8) & 0xFF), v, tolerance) << k;
            EXPECT_NEAR(double(t.blueClamp[size_t(k)] & 0xFF), v, tolerance) << k;
        }
    }
    MovieColourTables t;
    BuildColourTables(t, f, 100, false);
    // The factors are single-precision constants (1.596f is a little below 1.596, so 97
    // gives 132, not 133).
    const double r = 1 / 1.164;
    EXPECT_EQ(t.crToRed[97], 132);
    for (int i = -128; i < 128; ++i) {
        const size_t at = size_t(i & 0xFF);
        EXPECT_NEAR(t.crToRed[at], i * double(1.596f) * r, 1.0) << i;
        EXPECT_NEAR(t.cbToBlue[at], i * double(2.018f) * r, 1.0) << i;
        EXPECT_NEAR(t.cbToGreen[at], i * double(0.391f) * r, 1.0) << i;
        EXPECT_NEAR(t.crToGreen[at], i * double(-0.813f) * r, 1.0) << i;
    }
}

TEST(MovieColour, StudioRangePixelsFollowTheFloatFormulas) {
    const DisplayFormat f = DisplayFormat888();
    MovieColourTables t;
    BuildColourTables(t, f, 100, false);
    for (int y = 8; y <= 117; y += 3) {
        for (int cb = 8; cb <= 120; cb += 8) {
            for (int cr = 8; cr <= 120; cr += 8) {
                const double Y = 2 * y, Cb = 2 * cb, Cr = 2 * cr;
                const int r = Clamp255(1.164 * (Y - 16) + 1.596 * (Cr - 128));
                const int g = Clamp255(1.164 * (Y - 16) - 0.813 * (Cr - 128) - 0.391 * (Cb - 128));
                const int b = Clamp255(1.164 * (Y - 16) + 2.018 * (Cb - 128));
                const Fields got = Unpack(StudioRangePixel(ColourTableView(t), y, cb, cr), f);
                // Each chroma table truncates toward zero and the clamp tables take half-
                // scale indices: red and blue lose up to one index step, green two.
                EXPECT_NEAR(got.r, r, 4) << y << " " << cb << " " << cr;
                EXPECT_NEAR(got.g, g, 7) << y << " " << cb << " " << cr;
                EXPECT_NEAR(got.b, b, 4) << y << " " << cb << " " << cr;
            }
        }
    }
    // Samples far outside the nominal range stay inside the tables.
    EXPECT_EQ(StudioRangePixel(ColourTableView(t), 1000, 127, 127),
              StudioRangePixel(ColourTableView(t), 2000, 127, 127));
    EXPECT_EQ(StudioRangePixel(ColourTableView(t), -1000, 0, 0), 0u);
}

TEST(MovieColour, PalettePixels) {
    u8 palette[256 * 3] = {};
    palette[3] = 255;
    palette[4] = 128;
    palette[5] = 7;
    MovieColourTables t;
    BuildPalettePixels(t, palette, DisplayFormat565(), false);
    EXPECT_EQ(t.palettePixels[1], u32(31 << 11 | 32 << 5 | 0));
    EXPECT_EQ(t.palettePixels[0], 0u);
    BuildPalettePixels(t, palette, DisplayFormat555(), true);
    const u32 single = u32(31 << 10 | 16 << 5 | 0);
    EXPECT_EQ(t.palettePixels[1], single | single << 16);
}

}  // namespace
