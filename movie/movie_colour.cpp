#include "movie/movie_colour.h"

#include <algorithm>
#include <bit>

namespace movie {
namespace {

// Luminance of full-range entry h: (2h + 1) read as a signed byte, plus 128.
int LumaOf(int h) {
    return int(s8(u8(2 * h + 1))) + 128;
}

int DifferenceOf(int h) {
    return int(s8(u8(2 * h + 1)));
}

// Nearest integer to x / 65536.
int Round16(s64 x) {
    return int((x + 32768) >> 16);
}

struct Component {
    int t;  // truncated: the right pixel of a pair
    int u;  // rounded: the left (or single) pixel
};

Component Quantise(int x, int bits) {
    const int step = 1 << (8 - bits);
    const int half = 1 << (7 - bits);
    const int top = (1 << bits) - 1;
    Component c;
    c.t = x / step;
    if (x >= 0)
        c.u = std::min((x + half) / step, top);
    else
        c.u = std::max((x - half) / step, 1 - (1 << bits));
    return c;
}

u32 Field(int value, int bits, int shift) {
    return (u32(value) & ((1u << bits) - 1)) << shift;
}

// Studio-range value of clamp entry k, scaled by the brightness.
int StudioValue(int k, int brightness) {
    const long double scaled = (long double)(2 * k + 1 - 384) * (long double)1.164f;
    const long long luma = (long long)scaled;
    return int(std::clamp<long long>(luma * brightness / 100, 0, 255));
}

u32 ClampEntry(int v, int bits, int shift, bool pixelDouble) {
    if (bits <= 0) return 0;
    u32 entry = u32(v >> (8 - bits)) << shift;
    if (pixelDouble) {
        const int lifted = std::min(255, v + (1 << (7 - bits)));
        entry |= u32(lifted >> (8 - bits)) << (shift + 16);
    }
    return entry;
}

s32 Chroma(int i, float factor) {
    const long double r = 0.859106529209622L;
    return s32((long double)i * (long double)factor * r);
}

}  // namespace

DisplayFormat DisplayFormatFromMasks(u32 red, u32 green, u32 blue) {
    DisplayFormat f;
    auto fill = [](u32 mask, int& bits, int& shift) {
        bits = std::popcount(mask & 0x7FFFFFFFu);
        shift = mask == 0 ? 0 : std::countr_zero(mask);
    };
    fill(red, f.redBits, f.redShift);
    fill(green, f.greenBits, f.greenShift);
    fill(blue, f.blueBits, f.blueShift);
    f.maskUnion = red | green | blue;
    f.bitsPerPixel = f.redBits + f.greenBits + f.blueBits;
    return f;
}

DisplayFormat DisplayFormat555() {
    return DisplayFormatFromMasks(0x7C00, 0x03E0, 0x001F);
}

DisplayFormat DisplayFormat565() {
    return DisplayFormatFromMasks(0xF800, 0x07E0, 0x001F);
}

DisplayFormat DisplayFormat888() {
    return DisplayFormatFromMasks(0xFF0000, 0x00FF00, 0x0000FF);
}

u32 PackColourPair(int red, int green, int blue, const DisplayFormat& f) {
    Component r = Quantise(red, f.redBits);
    Component g = Quantise(green, f.greenBits);
    Component b = Quantise(blue, f.blueBits);
    // A negative field borrows from the one above it when entries are added; pay it here.
    if (b.u < 0) g.u -= 1;
    if (g.u < 0) r.u -= 1;
    if (r.u < 0) b.t -= 1;
    if (b.t < 0) g.t -= 1;
    if (g.t < 0) r.t -= 1;
    u32 value = Field(r.t, f.redBits, f.redShift + 16) |
                Field(g.t, f.greenBits, f.greenShift + 16) |
                Field(b.t, f.blueBits, f.blueShift + 16) | Field(r.u, f.redBits, f.redShift) |
                Field(g.u, f.greenBits, f.greenShift) | Field(b.u, f.blueBits, f.blueShift);
    if (f.redBits + f.greenBits + f.blueBits != 16) value |= 0x80008000u;
    return value;
}

void BuildColourTables(MovieColourTables& t, const DisplayFormat& f, int brightness,
                       bool pixelDouble) {
    const bool packed = f.bitsPerPixel == 15 || f.bitsPerPixel == 16;
    for (int h = 0; h < 128; ++h) {
        const int l = LumaOf(h);
        const int c = DifferenceOf(h);
        const int cbGreen = Round16(s64(c) * -22550);
        const int cbBlue = Round16(s64(c) * 116129);
        const int crRed = Round16(s64(c) * 91881);
        const int crGreen = Round16(s64(c) * -46799);
        if (packed) {
            t.luma[size_t(h)] = PackColourPair(l, l, l, f);
            t.cb[size_t(h)] = PackColourPair(0, cbGreen, cbBlue, f);
            t.cr[size_t(h)] = PackColourPair(crRed, crGreen, 0, f);
            continue;
        }
        t.luma[size_t(h)] = 0xFF000000u | u32(l) << 16 | u32(l) << 8 | u32(l);
        {
            const int g = cbBlue < 0 ? cbGreen - 1 : cbGreen;
            const int r = g < 0 ? -1 : 0;
            const u32 hi = r < 0 ? 0xFFu : 0;
            t.cb[size_t(h)] =
                hi << 24 | (u32(r) & 0xFF) << 16 | (u32(g) & 0xFF) << 8 | (u32(cbBlue) & 0xFF);
        }
        {
            const int r = crGreen < 0 ? crRed - 1 : crRed;
            const u32 hi = r < 0 ? 0xFFu : 0;
            t.cr[size_t(h)] = hi << 24 | (u32(r) & 0xFF) << 16 | (u32(crGreen) & 0xFF) << 8;
        }
    }
    for (int j = 0; j < 1024; ++j) {
        const int k = j / 2;
        const int v = StudioValue(k, brightness);
        t.redClamp[size_t(k)] = ClampEntry(v, f.redBits, f.redShift, pixelDouble);
        t.greenClamp[size_t(k)] = ClampEntry(v, f.greenBits, f.greenShift, pixelDouble);
        t.blueClamp[size_t(k)] = ClampEntry(v, f.blueBits, f.blueShift, pixelDouble);
    }
    for (int i = -128; i < 128; ++i) {
        const size_t at = size_t(i & 0xFF);
        t.crToRed[at] = Chroma(i, 1.596f);
        t.cbToBlue[at] = Chroma(i, 2.018f);
        t.cbToGreen[at] = Chroma(i, 0.391f);
        t.crToGreen[at] = Chroma(i, -0.813f);
    }
}

void BuildPalettePixels(MovieColourTables& t, const u8* palette, const DisplayFormat& f,
                        bool pixelDouble) {
    for (size_t i = 0; i < 256; ++i) {
        const u8* p = palette + 3 * i;
        u32 v = (u32(p[0] >> (8 - f.redBits)) << f.redShift) |
                (u32(p[1] >> (8 - f.greenBits)) << f.greenShift) |
                (u32(p[2] >> (8 - f.blueBits)) << f.blueShift);
        if (pixelDouble) v |= v << 16;
        t.palettePixels[i] = v;
    }
}

ColourTables ColourTableView(const MovieColourTables& t) {
    ColourTables v;
    v.luma = t.luma.data();
    v.cb = t.cb.data();
    v.cr = t.cr.data();
    v.redClamp = t.redClamp.data();
    v.greenClamp = t.greenClamp.data();
    v.blueClamp = t.blueClamp.data();
    v.crToRed = t.crToRed.data();
    v.cbToBlue = t.cbToBlue.data();
    v.cbToGreen = t.cbToGreen.data();
    v.crToGreen = t.crToGreen.data();
    return v;
}

u32 StudioRangePixel(const ColourTables& t, s32 y, s32 cb, s32 cr) {
    // 64-bit sums: a corrupt stream's samples may lie far outside the tables.
    const auto at = [](s64 index) { return size_t(std::clamp<s64>(index, 0, 511)); };
    const s64 red = 96 + s64(t.crToRed[cr & 0xFF]) + y;
    const s64 blue = 73 + s64(t.cbToBlue[cb & 0xFF]) + y;
    const s64 green = 250 + s64(t.crToGreen[cr & 0xFF]) - s64(t.cbToGreen[cb & 0xFF]) + y;
    return t.redClamp[at(red)] + t.greenClamp[at(green)] + t.blueClamp[at(blue)];
}

}  // namespace movie
