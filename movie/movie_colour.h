#pragma once
// Colour conversion of movie frames: the display's pixel layout, the tables that turn
// luminance and colour-difference samples into pixels (a full-range and a studio-range
// conversion), and the palette's pixel values. Every table value is 32 bits: on 15- and
// 16-bit displays the low half is a single pixel and the whole value a dithered pair.
#include <array>

#include "platform/types.h"

namespace movie {

struct DisplayFormat {
    int redBits = 0, greenBits = 0, blueBits = 0;
    int redShift = 0, greenShift = 0, blueShift = 0;
    u32 maskUnion = 0;
    int bitsPerPixel = 0;
};

// The layout of a display with these colour masks.
DisplayFormat DisplayFormatFromMasks(u32 red, u32 green, u32 blue);
DisplayFormat DisplayFormat555();
DisplayFormat DisplayFormat565();
DisplayFormat DisplayFormat888();

struct MovieColourTables {
    std::array<u32, 128> luma{};
    std::array<u32, 128> cb{};
    std::array<u32, 128> cr{};
    std::array<u32, 512> redClamp{};
    std::array<u32, 512> greenClamp{};
    std::array<u32, 512> blueClamp{};
    std::array<s32, 256> crToRed{};
    std::array<s32, 256> cbToBlue{};
    std::array<s32, 256> cbToGreen{};
    std::array<s32, 256> crToGreen{};
    std::array<u32, 256> palettePixels{};
};

// One full-range table value for the signed components (15- and 16-bit displays).
u32 PackColourPair(int red, int green, int blue, const DisplayFormat& format);

// All full-range and studio-range tables for the display, brightness in percent.
void BuildColourTables(MovieColourTables& tables, const DisplayFormat& format, int brightness,
                       bool pixelDouble);

// The palette's pixel values from 256 red, green, blue byte triples.
void BuildPalettePixels(MovieColourTables& tables, const u8* palette, const DisplayFormat& format,
                        bool pixelDouble);

// Views of the conversion's tables (they stay the owner's): what the frame decoders read, so
// that tests and benchmarks can hand them tables of their own.
struct ColourTables {
    // Full range: 128 entries each, indexed by a sample's low 7 bits.
    const u32* luma = nullptr;
    const u32* cb = nullptr;
    const u32* cr = nullptr;
    // Studio range: clamping tables of 512 entries and chroma tables of 256 entries indexed
    // by a sample's low 8 bits.
    const u32* redClamp = nullptr;
    const u32* greenClamp = nullptr;
    const u32* blueClamp = nullptr;
    const s32* crToRed = nullptr;
    const s32* cbToBlue = nullptr;
    const s32* cbToGreen = nullptr;
    const s32* crToGreen = nullptr;
};

ColourTables ColourTableView(const MovieColourTables& tables);

// Full-range conversion of half-scale level-shifted samples (a pixel pair).
inline u32 FullRangePixel(const ColourTables& t, s32 y, s32 cb, s32 cr) {
    return t.luma[y & 0x7F] + t.cb[cb & 0x7F] + t.cr[cr & 0x7F];
}

// Studio-range conversion of half-scale unsigned samples (a pixel pair); indices outside
// the clamp tables are held at their ends.
u32 StudioRangePixel(const ColourTables& t, s32 y, s32 cb, s32 cr);

}  // namespace movie
