#pragma once
// The three optional 1-bit Unicode fonts (unifont.mul, unifont1.mul, unifont2.mul) and the
// routines that measure and draw 16-bit text with them in a single colour.
//
// A font file (little-endian): 65536 u32 offsets from the file's start, one per code unit, 0
// for none; at an offset: s8 x offset, s8 y offset, u8 width, u8 height, then height rows of
// (width + 7) / 8 bytes, pixels from the most significant bit on, a set bit drawn. A glyph
// whose header or rows run past the file's end is treated as absent.
//
// Metrics: a space advances by the space width and has no glyph; another unit with a glyph
// advances by x offset + width + 1; units without one advance by 0 and are not drawn. Every
// line is 18 pixels high, baseline 0.
#include <cstddef>
#include <string>
#include <vector>

#include "client/data/fonts.h"
#include "core/wide_text.h"
#include "platform/types.h"

constexpr int kUnicodeFonts = 3;
constexpr int kUnicodeLineHeight = 18;

struct UnicodeGlyph {
    int xOffset = 0;
    int yOffset = 0;
    int width = 0;
    int height = 0;
    const u8* rows = nullptr;  // height rows of (width + 7) / 8 bytes
    int RowBytes() const { return (width + 7) / 8; }
    bool Bit(int x, int y) const { return (rows[y * RowBytes() + x / 8] >> (7 - x % 8)) & 1; }
};

// The bytes of one font file, checked glyph by glyph.
class UnicodeFontFile {
public:
    UnicodeFontFile() = default;
    explicit UnicodeFontFile(std::vector<u8> bytes) : bytes_(std::move(bytes)) {}
    bool Empty() const { return bytes_.empty(); }
    // The glyph of a unit; false when it has none (or it does not fit the file).
    bool Find(WChar unit, UnicodeGlyph& glyph) const;

private:
    std::vector<u8> bytes_;
};

// The font files are read from the install directory on first use ("unifont.mul",
// "unifont1.mul", "unifont2.mul"); a missing file leaves its font without glyphs. Tests
// put bytes in place instead; ResetUnicodeFonts forgets them and the settings.
void SetUnicodeFontBytes(int font, std::vector<u8> bytes);
void ResetUnicodeFonts();

int GetUnicodeFont();
// Fonts outside 0-2 are refused (the current one stays).
void SetUnicodeFont(int font);
// A value outside 1-20 first shows "Unreasonable width of space character." and is stored all
// the same.
void UnicodeSetSpaceWidth(int width);
int UnicodeGetSpaceWidth();

bool UnicodeHasGlyph(WChar unit);
int UnicodeCharAdvance(WChar unit);
// Sum of the advances of the first count units (stopping at the text's end).
int UnicodeTextWidth(int count, const WChar* text);
void UnicodeMeasureText(const WChar* text, int& width, int& height, int& baseline);
// Index of the last unit of the first line, or -1 when the text fits. A newline (10) ends the
// line before it, except as the first unit.
int UnicodeFindLineBreak(const WChar* text, int width);
void UnicodeMeasureWrappedText(const WChar* text, int width, int& widest, int& height,
                               int& firstBaseline);
// Where unit `position` of the wrapped text lands (the dropped space or newline at a break
// sits at the end of the line before it).
void UnicodeLocateChar(int position, const WChar* text, int width, int& x, int& y);

// One line in the current font from (x, y): set bits inside the rectangle and the target take
// the colour unchanged.
void UnicodeDrawText(const TextTarget& target, const WChar* text, int x, int y, u16 colour,
                     const ClipRect& clip);
// The same; glyph characters number first..last (counting only units with a glyph, from 0)
// take the selection colour.
void UnicodeDrawTextSelected(const TextTarget& target, const WChar* text, int x, int y, u16 colour,
                             const ClipRect& clip, u16 selectionColour, int first, int last);
// The text wrapped to the width, one line every 18 pixels.
void UnicodeDrawWrappedText(const TextTarget& target, int width, const WChar* text, int x, int y,
                            u16 colour, const ClipRect& clip);
// The same with a selection; first and last count units of the whole text and are shifted
// line by line.
void UnicodeDrawWrappedTextSelected(const TextTarget& target, int width, const WChar* text, int x,
                                    int y, u16 colour, const ClipRect& clip, u16 selectionColour,
                                    int first, int last);
