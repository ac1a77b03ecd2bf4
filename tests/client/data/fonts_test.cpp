#include "client/data/fonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "client/app/client_test_env.h"
#include "client/data/client_log.h"
#include "client/data/font_fixture.h"
#include "client/data/text_services.h"
#include "tests/client/data/pixel_format_scope.h"

namespace {

class FontsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<u8> bytes = FixtureFontsMul();
        ASSERT_TRUE(table_.LoadBytes(bytes.data(), bytes.size()));
        // Hue index i colour k = 0x100 * (i + 1) + k.
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < 32; ++k)
                hues_[i * 32 + k] = static_cast<u16>(0x100 * (i + 1) + k);
        SetBlitHueTable(hues_, 3, 32);
        pixels_.assign(kW * kH, 0);
    }
    void TearDown() override { SetBlitHueTable(nullptr, 0, 32); }

    static constexpr int kW = 40, kH = 20;
    TextTarget Target() { return TextTarget{pixels_.data(), kW, kH}; }
    u16 At(int x, int y) const { return pixels_[y * kW + x]; }
    // Columns of row y that hold a drawn pixel.
    std::string Row(int y) const {
        std::string row;
        for (int x = 0; x < kW; ++x)
            row += At(x, y) ? '#' : '.';
        return row;
    }

    CFontTable table_;
    u16 hues_[3 * 32];
    std::vector<u16> pixels_;
    const ClipRect all_{0, 0, kW, kH};
};

TEST_F(FontsTest, TheTableAndItsGlyphs) {
    EXPECT_TRUE(table_.HasFont(0));
    EXPECT_TRUE(table_.HasFont(4));
    for (int font : {-1, 1, 3, 5, 24, 25})
        EXPECT_FALSE(table_.HasFont(font)) << font;
    // Grey-only hues for fonts 0-3 and 7 of those present.
    EXPECT_EQ(table_.Font(0)->greyOnlyHue, 1u);
    EXPECT_EQ(table_.Font(4)->greyOnlyHue, 0u);
    struct Case {
        int font, c, width, height;
    } cases[] = {{0, 'a', 3, 5}, {0, 'W', 6, 5}, {0, 'g', 3, 6}, {0, 0xE9, 4, 5}, {0, 31, 0, 0},
                 {0, 256, 0, 0}, {0, 200, 0, 0}, {1, 'a', 0, 0}, {25, 'a', 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(table_.GlyphWidth(c.font, c.c), c.width) << c.font << " " << c.c;
        EXPECT_EQ(table_.GlyphHeight(c.font, c.c), c.height) << c.font << " " << c.c;
    }
    EXPECT_FALSE(table_.HasGlyph(0, 200));
    EXPECT_TRUE(table_.HasGlyph(0, 0xE9));
    EXPECT_EQ(table_.TextWidth(0, 3, "aW\xE9"), 3 + 6 + 4);
    EXPECT_EQ(table_.TextWidth(0, 10, "ab"), 6);      // stops at the end
    EXPECT_EQ(table_.CharsInWidth(0, "abcd", 7), 2);  // 3 < 7, 3 < 4, 3 >= 1
}

// A file that ends inside a font keeps the fonts read before it and drops the rest.
TEST_F(FontsTest, ATruncatedFileKeepsTheFontsBeforeIt) {
    const std::vector<u8> bytes = FixtureFontsMul();
    const size_t fontBytes = (bytes.size() - 25) / 2;  // two fonts, 25 slot bytes
    struct Case {
        size_t length;
        bool whole, font0, font4;
    } cases[] = {
        {bytes.size(), true, true, true},
        {0, true, false, false},
        {1 + fontBytes / 2, false, false, false},
        {1 + fontBytes + 3, true, true, false},  // ends between slots
        {1 + fontBytes + 3 + 1 + 5, false, true, false},
    };
    for (const Case& c : cases) {
        CFontTable table;
        EXPECT_EQ(table.LoadBytes(bytes.data(), c.length), c.whole) << c.length;
        EXPECT_EQ(table.HasFont(0), c.font0) << c.length;
        EXPECT_EQ(table.HasFont(4), c.font4) << c.length;
    }
}

TEST_F(FontsTest, AFontPatchReplacesOneSlot) {
    std::vector<u8> one;
    AppendFont(one, FixtureGlyphs());
    const std::vector<u8> record(one.begin() + 1, one.end());  // without the slot byte
    EXPECT_FALSE(table_.ReplaceFont(25, record.data(), record.size()));
    EXPECT_FALSE(table_.ReplaceFont(-1, record.data(), record.size()));
    EXPECT_FALSE(table_.ReplaceFont(2, record.data(), record.size() - 1));
    EXPECT_FALSE(table_.HasFont(2));
    ASSERT_TRUE(table_.ReplaceFont(0, record.data(), record.size()));
    EXPECT_EQ(table_.Font(0)->greyOnlyHue, 0u);  // a patched font hues every pixel
    EXPECT_TRUE(table_.ReplaceFont(2, record.data(), record.size()));
    EXPECT_TRUE(table_.HasFont(2));
}

TEST_F(FontsTest, MeasuringSkipsControlCharacters) {
    int w = -1, h = -1, b = -1;
    ASSERT_TRUE(table_.MeasureText(0, "a\x01g", w, h, b));
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 6);  // largest descent 2 + largest ascent 4
    EXPECT_EQ(b, 3);
    ASSERT_TRUE(table_.MeasureText(0, "\xE9", w, h, b));
    EXPECT_EQ(w, 4);
    w = h = b = 7;
    EXPECT_FALSE(table_.MeasureText(1, "a", w, h, b));
    EXPECT_EQ(w, 7);  // outputs untouched
}

TEST_F(FontsTest, DrawingOneLine) {
    // Baseline at row 5: glyph rows 2..6 (top = 5 + 1 - 5 + 1), the last below the baseline.
    ASSERT_TRUE(table_.DrawText(1, 5, 0, 0,
                                "ab\x01"
                                "c",
                                Target(), all_));
    EXPECT_EQ(Row(1), std::string(40, '.'));
    EXPECT_EQ(Row(2), ".######" + std::string(33, '.'));  // stops at the control character
    EXPECT_EQ(Row(6), ".######" + std::string(33, '.'));
    EXPECT_EQ(Row(7), std::string(40, '.'));
    EXPECT_EQ(At(1, 2), kGlyphRed);
    EXPECT_EQ(At(2, 2), kGlyphGrey);

    // A glyph that would cross the right edge ends the line; one cut at the top loses rows.
    pixels_.assign(kW * kH, 0);
    table_.DrawText(0, 5, 0, 0, "aaaa", Target(), ClipRect{0, 3, 8, kH});
    EXPECT_EQ(Row(4), "######" + std::string(34, '.'));
    EXPECT_EQ(Row(2), std::string(40, '.'));
    // Characters 128-255 with their own glyphs; a missing glyph ends the line.
    pixels_.assign(kW * kH, 0);
    table_.DrawText(0, 5, 0, 0,
                    "\xE9"
                    "a\xC8"
                    "a",
                    Target(), all_);
    EXPECT_EQ(Row(3), "#######" + std::string(33, '.'));
    // A clip or a position outside the destination writes nothing outside it.
    pixels_.assign(kW * kH, 0);
    table_.DrawText(38, 19, 0, 0, "a", Target(), ClipRect{-50, -50, 500, 500});
    table_.DrawText(-2, -1, 0, 0, "a", Target(), ClipRect{-50, -50, 500, 500});
    EXPECT_EQ(std::count(pixels_.begin(), pixels_.end(), 0), kW * kH);
}

TEST_F(FontsTest, HuedText) {
    // Font 0 hues only grey pixels, font 4 every pixel; hue 2 is hue index 1.
    table_.DrawText(0, 5, 0, 2, "a", Target(), all_);
    EXPECT_EQ(At(0, 2), kGlyphRed);
    EXPECT_EQ(At(1, 2), 0x200 + 16);
    table_.DrawText(10, 5, 4, 2, "a", Target(), all_);
    EXPECT_EQ(At(10, 2), 0x200 + 31);
    EXPECT_EQ(At(11, 2), 0x200 + 16);
    // 565 mode converts what was written.
    Scoped565 mode(true);
    table_.DrawText(20, 5, 0, 0, "a", Target(), all_);
    EXPECT_EQ(At(20, 2), Convert555To565(kGlyphRed));
    EXPECT_EQ(At(21, 2), Convert555To565(kGlyphGrey));
}

TEST_F(FontsTest, LineBreaks) {
    // Letters 3 wide, the space 2, 'W' 6.
    struct Case {
        const char* text;
        int width, expected;
    } cases[] = {
        {"abc def", 14, 2},    // "abc d" fits in 14; 'e' overflows: break after "abc"
        {"abc def", 100, -1},  // fits
        {"abcd", 7, 1},        // no space: the character before the overflowing one
        {"Wabc", 5, -1},       // the first character alone overflows: not broken
        {" a bcdef", 8, 1},    // the space at 2 is a candidate (that at 0 is not)
        {"a bcdef", 8, 2},     // the space at 1 is no candidate: the character before 'c'
    };
    for (const Case& c : cases)
        EXPECT_EQ(table_.FindLineBreak(0, c.text, c.width), c.expected) << c.text << " " << c.width;
}

TEST_F(FontsTest, WrappedText) {
    // "abc" on the first line; the space dropped; "def" on the second, 5 rows lower.
    EXPECT_EQ(table_.DrawWrappedText(0, 0, 0, 0, "abc def", 14, Target(), all_, 0, 0), 10);
    EXPECT_EQ(Row(1), "#########" + std::string(31, '.'));
    EXPECT_EQ(Row(6), "#########" + std::string(31, '.'));
    EXPECT_EQ(At(0, 5), kGlyphRed);
    // An indent puts its spaces before the second line; a line step spaces the lines.
    pixels_.assign(kW * kH, 0);
    EXPECT_EQ(table_.DrawWrappedText(0, 0, 0, 0, "abc def", 14, Target(), all_, 2, 7), 14);
    EXPECT_EQ(Row(8), "....#########" + std::string(27, '.'));
    int widest = 0, height = 0, baseline = 0;
    ASSERT_TRUE(table_.MeasureWrappedText(0, "abc def", 14, widest, height, baseline, 0));
    EXPECT_EQ(widest, 9);
    EXPECT_EQ(height, 10);
    EXPECT_EQ(baseline, 3);
    EXPECT_FALSE(table_.MeasureWrappedText(0, nullptr, 14, widest, height, baseline, 0));
    // An indent wider than what each line takes cannot make the wrapping run on for ever.
    const int used = table_.DrawWrappedText(0, 0, 0, 0, "abcdefgh", 4, Target(), all_, 3, 0);
    EXPECT_GT(used, 0);
    EXPECT_LE(used, 10 * 6);  // at most one line per character and the rest, 6 high at most
}

TEST_F(FontsTest, EllipsisCutsAtTheRightEdge) {
    // 24 wide in a rectangle ending at 15: "ab" (6) and "..." (9).
    table_.DrawTextEllipsis(0, 5, 0, 0, "abcdefgh", Target(), ClipRect{0, 0, 15, kH});
    EXPECT_EQ(Row(3), "###############" + std::string(25, '.'));
    EXPECT_EQ(At(6, 2), kGlyphRed);  // the first '.'
    // A text that fits is drawn as it is; a glyph that cannot be drawn does not end it.
    pixels_.assign(kW * kH, 0);
    table_.DrawTextEllipsis(0, 5, 0, 0,
                            "a\x01"
                            "b",
                            Target(), all_);
    EXPECT_EQ(Row(3), "######" + std::string(34, '.'));
}

TEST_F(FontsTest, LocatingCharactersOfAWrappedText) {
    struct Case {
        int position, x, y;
    } cases[] = {{0, 0, 0}, {2, 6, 0}, {3, 9, 0},  // the dropped space: end of the first line
                 {4, 0, 5}, {6, 6, 5}, {7, 9, 5}, {100, 9, 5}};
    for (const Case& c : cases) {
        int x = -1, y = -1;
        table_.LocateChar(0, c.position, "abc def", 14, x, y);
        EXPECT_EQ(x, c.x) << c.position;
        EXPECT_EQ(y, c.y) << c.position;
    }
    int x = -1, y = -1;
    table_.LocateChar(1, 2, "abc", 14, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(table_.CharsInBox(0, "abc def", 14, 6, 0), 2);
    EXPECT_EQ(table_.CharsInBox(0, "abc def", 14, 6, 5), 6);
    EXPECT_EQ(table_.CharsInBox(0, "abc def", 14, 100, 100), 7);
}

// "Missing Font!" is shown once per font; later draws with it are logged.
TEST_F(FontsTest, AMissingFontShowsOnceThenLogs) {
    ClientTestEnv env;
    LogCapture log(GetClientLogSink());
    EXPECT_FALSE(table_.DrawText(0, 5, 1, 0, "a", Target(), all_));
    EXPECT_EQ(table_.DrawWrappedText(0, 0, 1, 0, "a", 10, Target(), all_, 0, 0), 0);
    EXPECT_FALSE(table_.DrawTextEllipsis(0, 5, 1, 0, "a", Target(), all_));
    EXPECT_FALSE(table_.DrawText(0, 5, 30, 0, "a", Target(), all_));
    ASSERT_EQ(env.Backend().Messages().size(), 2u);  // font 1, then the out-of-range index
    EXPECT_EQ(env.Backend().Messages()[0].text, "Missing Font!");
    EXPECT_EQ(env.Backend().Messages()[0].caption, "Error");
    EXPECT_EQ(log.FromSource("fonts").size(), 2u);
}

TEST(FontsFile, AMissingFileShowsTheMessage) {
    ClientTestEnv env;
    CFontTable table;
    EXPECT_FALSE(table.Load(env.Dir() + "/fonts.mul"));
    ASSERT_EQ(env.Backend().Messages().size(), 1u);
    EXPECT_EQ(env.Backend().Messages()[0].text, "Missing Font!");
    const std::vector<u8> bytes = FixtureFontsMul();
    env.WriteFile("fonts.mul", std::string(bytes.begin(), bytes.end()));
    EXPECT_TRUE(table.Load(env.Dir() + "/fonts.mul"));
    EXPECT_TRUE(table.HasFont(4));
}

// A recording filter: "abc" becomes "xyz".
class RecordingTextServices : public TextServices {
public:
    RecordingTextServices() : previous_(SetTextServices(this)) {}
    ~RecordingTextServices() override { SetTextServices(previous_); }
    bool ObscenityFilterOn() override { return filterOn; }
    bool InputControlDrawing() override { return inputDrawing; }
    void FilterProfanity(std::string& text) override {
        filtered.push_back(text);
        for (size_t at = text.find("abc"); at != std::string::npos; at = text.find("abc"))
            text.replace(at, 3, "xyz");
    }
    bool filterOn = true;
    bool inputDrawing = false;
    std::vector<std::string> filtered;

private:
    TextServices* previous_;
};

TEST_F(FontsTest, TheProfanityFilterRunsOnlyWhenAsked) {
    RecordingTextServices services;
    table_.DrawText(0, 5, 0, 0, "abc", Target(), all_);
    EXPECT_EQ(services.filtered, std::vector<std::string>{"abc"});
    services.inputDrawing = true;
    table_.DrawText(0, 5, 0, 0, "abc", Target(), all_);
    services.inputDrawing = false;
    services.filterOn = false;
    table_.DrawText(0, 5, 0, 0, "abc", Target(), all_);
    int w, h, b;
    table_.MeasureWrappedText(0, "abc", 99, w, h, b, 0);  // measuring never filters
    EXPECT_EQ(services.filtered.size(), 1u);
}

}  // namespace
