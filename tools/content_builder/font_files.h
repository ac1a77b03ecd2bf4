#pragma once
// The client's font files, rendered at build time from the DejaVu faces with FreeType:
// fonts.mul (slots 0-9; 0-3 and 7 in greys so that a hue recolours them, the others in
// colours of their own) and the three 1-bit Unicode fonts unifont.mul, unifont1.mul and
// unifont2.mul. The output depends only on the installed faces and FreeType.
#include <string>
#include <vector>

#include "platform/types.h"

constexpr int kBuiltFonts = 10;

// One glyph of an 8-bit font: width x height 5-5-5 pixels (0 see-through), `descent` rows
// below the baseline.
struct FontGlyphRecord {
    int width = 0;
    int height = 0;
    int descent = 0;
    std::vector<u16> pixels;
};

// fonts.mul is written slot by slot: an empty slot, or a font of the 224 glyphs of
// characters 32..255 (missing ones written as 0 x 0).
void AppendEmptyFontSlot(std::vector<u8>& out);
void AppendFont(std::vector<u8>& out, const std::vector<FontGlyphRecord>& glyphs);

// A Unicode font file: the 65536 offsets, then the glyphs added.
class UnicodeFontWriter {
public:
    UnicodeFontWriter();
    // `rows` holds height rows of (width + 7) / 8 bytes, most significant bit first.
    void Add(u16 unit, int xOffset, int yOffset, int width, int height, const u8* rows);
    const std::vector<u8>& Bytes() const { return bytes_; }

private:
    std::vector<u8> bytes_;
};

// The directory of the DejaVu faces.
std::string DejaVuDirectory();

// The whole fonts.mul. False with a message when a face cannot be read.
bool BuildFontsMul(std::vector<u8>& out, std::string* error);
// The 224 glyphs of fonts.mul's slot (0 .. kBuiltFonts - 1), characters 32..255.
bool BuildFontGlyphs(int slot, std::vector<FontGlyphRecord>& glyphs, std::string* error);
// Unicode font 0, 1 or 2.
bool BuildUnicodeFont(int font, std::vector<u8>& out, std::string* error);
