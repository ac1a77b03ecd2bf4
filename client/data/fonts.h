#pragma once
// The 8-bit bitmap fonts of fonts.mul and the text drawing on them.
//
// fonts.mul, read in order: for each of the 25 slots one byte, 0 for an empty slot; any
// other value is followed by 224 glyph records for characters 32..255, each {u8 width,
// u8 height, u8 descent} and width x height 16-bit pixels row by row (5-5-5, 0 see-through).
// A font whose records run past the end of the file is dropped, and with it the slots after.
//
// Texts are 8-bit with character codes taken unsigned. Text is drawn into 16-bit pixel
// buffers through the keyed span routines, optionally hued (hue h is hue index h - 1);
// nothing is written outside the clip rectangle or the destination.
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "client/data/pixel_spans.h"
#include "platform/types.h"

struct FontGlyph {
    int width = 0;
    int height = 0;
    int descent = 0;  // rows below the baseline
    std::vector<u16> pixels;
};

struct CFont {
    static constexpr int kFirstChar = 32;
    static constexpr int kGlyphs = 224;
    // When set, a hue recolours only the grey pixels of the glyphs.
    u32 greyOnlyHue = 0;
    std::array<FontGlyph, kGlyphs> glyphs;

    // The glyph of a character, null below 32.
    const FontGlyph* Glyph(unsigned char c) const {
        return c < kFirstChar ? nullptr : &glyphs[c - kFirstChar];
    }
};

// Parses one font's 224 glyph records at `at`, advancing it; null when they do not fit.
std::unique_ptr<CFont> ParseFont(const u8* data, size_t size, size_t& at);

// Where a text is drawn: pixels, row width and height.
struct TextTarget {
    u16* pixels = nullptr;
    int width = 0;
    int height = 0;
};

class CFontTable {
public:
    static constexpr int kSlots = 25;

    // Reads fonts.mul from the path; when it does not open, "Missing Font!" is shown and
    // every slot stays empty. Answers whether the file was read.
    bool Load(const std::string& path);
    // Builds the table from the bytes of a fonts.mul; false when the bytes end inside a font
    // (the fonts before it stay).
    bool LoadBytes(const u8* data, size_t size);
    // A font patch: replaces the font of one slot from one font's glyph records (its grey-only
    // flag is 0). Slots outside 0-24 and records that do not fit are refused.
    bool ReplaceFont(int slot, const u8* data, size_t size);
    void Clear();

    bool HasFont(int font) const;
    bool HasGlyph(int font, unsigned char c) const;
    int GlyphWidth(int font, int c) const;
    int GlyphHeight(int font, int c) const;
    const CFont* Font(int font) const { return HasFont(font) ? fonts_[font].get() : nullptr; }

    // Sum of the widths of the first `count` characters (stopping at the text's end).
    int TextWidth(int font, int count, std::string_view text) const;
    // Leading characters consumed while each next width is below the width still left.
    int CharsInWidth(int font, std::string_view text, int width) const;
    // One line's width, height and baseline; characters 0-31 are skipped. False for a
    // missing font (outputs unchanged).
    bool MeasureText(int font, std::string_view text, int& width, int& height, int& baseline) const;
    // Index of the last character of the first line, or -1 when the whole text fits (also
    // when the first character alone overflows).
    int FindLineBreak(int font, std::string_view text, int width) const;
    // Metrics of the text wrapped as DrawWrappedText wraps it (no filtering).
    bool MeasureWrappedText(int font, const char* text, int width, int& widest, int& height,
                            int& firstBaseline, int indent) const;

    // One line with its baseline at y; the first glyph that cannot be drawn ends it. False
    // (and "Missing Font!") when the font is missing.
    bool DrawText(int x, int y, int font, int hue, const char* text, const TextTarget& target,
                  const ClipRect& clip);
    // The text wrapped to the width; answers the height used.
    int DrawWrappedText(int x, int y, int font, int hue, const char* text, int width,
                        const TextTarget& target, const ClipRect& clip, int indent, int lineStep);
    // One line cut with "..." at the rectangle's right edge.
    bool DrawTextEllipsis(int x, int y, int font, int hue, const char* text,
                          const TextTarget& target, const ClipRect& clip);
    // Where character `position` of the wrapped text lands. The space dropped at a break
    // is placed at the end of the line before it.
    void LocateChar(int font, int position, const char* text, int width, int& x, int& y) const;
    // The largest count whose position lies within the box.
    int CharsInBox(int font, const char* text, int width, int boxWidth, int boxHeight) const;

private:
    struct Line {
        size_t start;  // index of the line's first original character
        std::string text;
    };
    // The lines of a wrapped text; `indent` spaces lead every line after the first.
    std::vector<Line> WrapLines(int font, const std::string& text, int width, int indent) const;
    int DrawGlyph(int x, int y, const CFont& font, unsigned char c, int hue,
                  const TextTarget& target, const ClipRect& clip);
    void DrawLine(int x, int y, const CFont& font, int hue, std::string_view text,
                  const TextTarget& target, const ClipRect& clip, bool stopAtBlank);
    void ReportMissingFont(int font);

    std::array<std::unique_ptr<CFont>, kSlots> fonts_;
    // Fonts already reported missing with a box (the last entry stands for indices outside
    // the table); later draws only log.
    std::array<bool, kSlots + 1> missingShown_{};
};

// The client's one font table.
CFontTable& GetFontTable();
