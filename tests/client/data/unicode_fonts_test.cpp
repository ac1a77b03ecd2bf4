#include "client/data/unicode_fonts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/app/client_test_env.h"
#include "tools/content_builder/font_files.h"

namespace {

// 'A': 3 x 2 at offset (0, 2), bits 101 / 010, advance 4. 'B': 9 x 1 at (1, 0), all set,
// advance 11. 'C': 2 x 0, advance 3, nothing drawn. 'T': its offset points at the file's last
// two bytes, so it has no glyph.
std::vector<u8> FixtureFont() {
    UnicodeFontWriter writer;
    const u8 a[] = {0xA0, 0x40};
    const u8 b[] = {0xFF, 0x80};
    writer.Add(u'A', 0, 2, 3, 2, a);
    writer.Add(u'B', 1, 0, 9, 1, b);
    writer.Add(u'C', 0, 0, 2, 0, nullptr);
    std::vector<u8> bytes = writer.Bytes();
    const u32 last = static_cast<u32>(bytes.size() - 2);
    for (int i = 0; i < 4; ++i)
        bytes[4 * u'T' + i] = static_cast<u8>(last >> (8 * i));
    return bytes;
}

class UnicodeFontsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetUnicodeFonts();
        SetUnicodeFontBytes(0, FixtureFont());
        pixels_.assign(kW * kH, 0);
    }
    void TearDown() override { ResetUnicodeFonts(); }
    static constexpr int kW = 40, kH = 40;
    TextTarget Target() { return TextTarget{pixels_.data(), kW, kH}; }
    u16 At(int x, int y) const { return pixels_[y * kW + x]; }
    size_t Drawn() const { return pixels_.size() - std::count(pixels_.begin(), pixels_.end(), 0); }
    std::vector<u16> pixels_;
    const ClipRect all_{0, 0, kW, kH};
};

TEST_F(UnicodeFontsTest, GlyphsAndAdvances) {
    struct Case {
        WChar unit;
        bool glyph;
        int advance;
    } cases[] = {{u' ', true, 8},  {u'A', true, 4},  {u'B', true, 11}, {u'C', true, 3},
                 {u'Z', false, 0}, {u'T', false, 0}, {u'\n', false, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(UnicodeHasGlyph(c.unit), c.glyph) << int{c.unit};
        EXPECT_EQ(UnicodeCharAdvance(c.unit), c.advance) << int{c.unit};
    }
    // Fonts 1 and 2 have no file here: no glyphs, the space still advances.
    SetUnicodeFontBytes(1, std::vector<u8>(100, 0));  // shorter than the offset table
    SetUnicodeFont(1);
    EXPECT_FALSE(UnicodeHasGlyph(u'A'));
    EXPECT_EQ(UnicodeCharAdvance(u' '), 8);
    SetUnicodeFont(3);
    EXPECT_EQ(GetUnicodeFont(), 1);
}

TEST_F(UnicodeFontsTest, OnlySpacesMeasureAndDrawNothing) {
    int w = 0, h = 0, b = -1;
    UnicodeMeasureText(u"   ", w, h, b);
    EXPECT_EQ(w, 24);
    EXPECT_EQ(h, 18);
    EXPECT_EQ(b, 0);
    UnicodeDrawText(Target(), u"   ", 0, 0, 0x7FFF, all_);
    EXPECT_EQ(Drawn(), 0u);
    EXPECT_EQ(UnicodeTextWidth(2, u"AB"), 15);
    EXPECT_EQ(UnicodeTextWidth(9, u"A"), 4);
}

TEST_F(UnicodeFontsTest, DrawingBitsAndClipping) {
    UnicodeDrawText(Target(), u"A BZC", 2, 3, 0x1234, all_);
    // 'A' at (2, 5): 101 then 010.
    EXPECT_EQ(At(2, 5), 0x1234);
    EXPECT_EQ(At(3, 5), 0);
    EXPECT_EQ(At(4, 5), 0x1234);
    EXPECT_EQ(At(3, 6), 0x1234);
    // 'B' after 4 + 8: at x 2 + 12 + 1, row 3, nine pixels.
    EXPECT_EQ(At(14, 3), 0);
    EXPECT_EQ(At(15, 3), 0x1234);
    EXPECT_EQ(At(23, 3), 0x1234);
    EXPECT_EQ(At(24, 3), 0);
    EXPECT_EQ(Drawn(), 3u + 9u);
    // A rectangle cuts single pixels; so does the target's edge.
    pixels_.assign(kW * kH, 0);
    UnicodeDrawText(Target(), u"B", 0, 0, 1, ClipRect{3, 0, 6, 1});
    EXPECT_EQ(Drawn(), 3u);
    UnicodeDrawText(Target(), u"B", 35, 39, 1, ClipRect{-100, -100, 100, 100});
    UnicodeDrawText(Target(), u"A", -1, -3, 1, ClipRect{-100, -100, 100, 100});
    EXPECT_EQ(Drawn(), 3u + 4u + 1u);
}

TEST_F(UnicodeFontsTest, SelectionCountsGlyphCharacters) {
    // "A Z A": the space and Z are not counted, so the second A is number 1.
    UnicodeDrawTextSelected(Target(), u"A ZA", 0, 0, 1, all_, 2, 1, 1);
    EXPECT_EQ(At(0, 2), 1);
    EXPECT_EQ(At(12, 2), 2);
}

TEST_F(UnicodeFontsTest, LineBreaksAndWrapping) {
    struct Case {
        const WChar* text;
        int width, expected;
    } cases[] = {
        {u"AA\nAA", 100, 1},  // a newline ends the line at once
        {u"\nAA", 100, -1},   // but not as the first unit
        {u"AA AA", 10, 1},    // the space is the candidate when the second word overflows
        {u"AAA", 10, 1},      // no space: the unit before the overflow
        {u"AA AA", 100, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UnicodeFindLineBreak(c.text, c.width), c.expected);

    // The newline starts a line 18 pixels lower and is not drawn.
    UnicodeDrawWrappedText(Target(), 100, u"A\nA", 0, 0, 5, all_);
    EXPECT_EQ(At(0, 2), 5);
    EXPECT_EQ(At(0, 20), 5);
    EXPECT_EQ(Drawn(), 6u);
    int widest = 0, height = 0, baseline = -1;
    UnicodeMeasureWrappedText(u"AA AA", 10, widest, height, baseline);
    EXPECT_EQ(widest, 8);
    EXPECT_EQ(height, 36);
    EXPECT_EQ(baseline, 0);
    struct Where {
        int position, x, y;
    } where[] = {{0, 0, 0}, {1, 4, 0}, {2, 8, 0}, {3, 0, 18}, {4, 4, 18}, {9, 8, 18}};
    for (const Where& w : where) {
        int x = -1, y = -1;
        UnicodeLocateChar(w.position, u"AA AA", 10, x, y);
        EXPECT_EQ(x, w.x) << w.position;
        EXPECT_EQ(y, w.y) << w.position;
    }
    // A selection over the whole text counts units and moves with each line.
    pixels_.assign(kW * kH, 0);
    UnicodeDrawWrappedTextSelected(Target(), 10, u"AA AA", 0, 0, 1, all_, 2, 3, 3);
    EXPECT_EQ(At(0, 2), 1);
    EXPECT_EQ(At(0, 20), 2);  // unit 3 is the first A of the second line
    EXPECT_EQ(At(4, 20), 1);
}

TEST_F(UnicodeFontsTest, AWrappedLineHoldsAtMost199Units) {
    struct Case {
        char16_t unit;
        size_t count;
        int lines;
    } cases[] = {
        {u'C', 199, 1}, {u'C', 200, 2}, {u'C', 398, 2}, {u'C', 399, 3},
        // Units without a glyph take no room: only the unit count breaks them.
        {u'Z', 450, 3},
    };
    for (const Case& c : cases) {
        const std::u16string text(c.count, c.unit);
        int widest = 0, height = 0, baseline = 0;
        UnicodeMeasureWrappedText(text.c_str(), 100000, widest, height, baseline);
        EXPECT_EQ(height, c.lines * kUnicodeLineHeight) << c.count;
    }
}

TEST_F(UnicodeFontsTest, AnUnreasonableSpaceWidthIsShownAndKept) {
    ClientTestEnv env;
    UnicodeSetSpaceWidth(20);
    EXPECT_TRUE(env.Backend().Messages().empty());
    UnicodeSetSpaceWidth(21);
    ASSERT_EQ(env.Backend().Messages().size(), 1u);
    EXPECT_EQ(env.Backend().Messages()[0].text, "Unreasonable width of space character.");
    EXPECT_EQ(env.Backend().Messages()[0].caption, "UnicodeSetSpaceWidth()");
    EXPECT_EQ(UnicodeGetSpaceWidth(), 21);
    EXPECT_EQ(UnicodeCharAdvance(u' '), 21);
}

}  // namespace
