#pragma once
// A small fonts.mul for tests, written with the content builder's writer. Every glyph is 3
// wide and 5 high with 1 row below the baseline, grey (16, 16, 16) but for a red top-left
// pixel; the space is 2 wide and blank; 'W' is 6 wide; 'g' is 6 high with 2 rows below; 0xE9
// is 4 wide; character 200 has no glyph. Slots 0 and 4 hold it, the others are empty.
#include <algorithm>
#include <initializer_list>
#include <vector>

#include "tools/content_builder/font_files.h"

constexpr u16 kGlyphGrey = 0x4210;
constexpr u16 kGlyphRed = 0x7C00;

inline std::vector<FontGlyphRecord> FixtureGlyphs() {
    std::vector<FontGlyphRecord> glyphs;
    for (int c = 32; c < 256; ++c) {
        FontGlyphRecord g;
        g.width = c == ' ' ? 2 : c == 'W' ? 6 : c == 0xE9 ? 4 : c == 200 ? 0 : 3;
        g.height = c == 'g' ? 6 : c == 200 ? 0 : 5;
        g.descent = c == 'g' ? 2 : c == 200 ? 0 : 1;
        g.pixels.assign(static_cast<size_t>(g.width) * g.height, c == ' ' ? 0 : kGlyphGrey);
        if (c != ' ' && !g.pixels.empty()) g.pixels[0] = kGlyphRed;
        glyphs.push_back(g);
    }
    return glyphs;
}

// A fonts.mul with the fixture glyphs in the given slots and the others empty.
inline std::vector<u8> FixtureFontsMulIn(std::initializer_list<int> slots) {
    std::vector<u8> bytes;
    for (int slot = 0; slot < 25; ++slot) {
        if (std::find(slots.begin(), slots.end(), slot) != slots.end())
            AppendFont(bytes, FixtureGlyphs());
        else
            AppendEmptyFontSlot(bytes);
    }
    return bytes;
}

inline std::vector<u8> FixtureFontsMul() {
    return FixtureFontsMulIn({0, 4});
}
