#include "tools/content_builder/font_and_gump_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/data/gump_art_fixture.h"
#include "client/data/unicode_fonts.h"
#include "client/render/bitmap16.h"
#include "client/render/span_blit.h"
#include "golden_frame.h"
#include "tools/content_builder/built_font_and_gump_files.h"
#include "tools/content_builder/file_checksum.h"
#include "tools/content_builder/font_files.h"

namespace {

using Files = FontAndGumpFiles;

const Files& BuiltFiles() {
    return BuiltFontAndGumpFiles();
}

// The files are the same on every build: their checksums are pinned. A change of the
// generators (or of the installed faces) shows here first.
TEST(FontAndGumpFiles, TheFilesAreDeterministicAndPinned) {
    const Files& files = BuiltFiles();
    struct Case {
        const char* name;
        u64 checksum;
    } cases[] = {
        {"fonts.mul", 0x682c7f9d01ee8fe8ull},    {"unifont.mul", 0x71ec3618d3ded0f0ull},
        {"unifont1.mul", 0xc119b0ec9a531eceull}, {"unifont2.mul", 0x806f3605dbf2560cull},
        {"gumpidx.mul", 0x8b0f44536859c4c5ull},  {"gumpart.mul", 0xdeed333ef131e1e2ull},
    };
    ASSERT_EQ(files.size(), std::size(cases));
    Files again;
    ASSERT_TRUE(BuildFontAndGumpFiles(again, nullptr));
    for (const Case& c : cases) {
        ASSERT_TRUE(files.count(c.name)) << c.name;
        EXPECT_EQ(files.at(c.name), again.at(c.name)) << c.name;
        EXPECT_EQ(Fnv1a(files.at(c.name)), c.checksum)
            << c.name << " 0x" << std::hex << Fnv1a(files.at(c.name));
    }
}

TEST(FontAndGumpFiles, WrittenIntoADirectory) {
    const std::string dir = ::testing::TempDir() + "/font_and_gump_files";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::string error;
    ASSERT_TRUE(WriteFontAndGumpFiles(dir, &error)) << error;
    for (const auto& [name, bytes] : BuiltFiles()) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        const std::vector<u8> read((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
        EXPECT_EQ(read, bytes) << name;
    }
    EXPECT_FALSE(WriteFontAndGumpFiles(dir + "/missing/deeper", &error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
}

// fonts.mul read back by the client: slots 0-9, greys in 0-3 and 7, colours elsewhere.
TEST(FontAndGumpFiles, FontsReadBackByTheClient) {
    CFontTable table;
    const std::vector<u8>& bytes = BuiltFiles().at("fonts.mul");
    ASSERT_TRUE(table.LoadBytes(bytes.data(), bytes.size()));
    for (int font = 0; font < CFontTable::kSlots; ++font) {
        SCOPED_TRACE(font);
        ASSERT_EQ(table.HasFont(font), font < kBuiltFonts);
        if (font >= kBuiltFonts) continue;
        const bool grey = font <= 3 || font == 7;
        EXPECT_EQ(table.Font(font)->greyOnlyHue, u32{font <= 3 || font == 7});
        bool anyColour = false;
        for (int c = 33; c < 127; ++c) {
            ASSERT_TRUE(table.HasGlyph(font, static_cast<unsigned char>(c))) << c;
            for (u16 p : table.Font(font)->Glyph(static_cast<unsigned char>(c))->pixels) {
                if (p != 0 && !IsGreyPixel(p)) anyColour = true;
                if (grey) {
                    ASSERT_TRUE(p == 0 || IsGreyPixel(p)) << c;
                }
            }
        }
        EXPECT_EQ(anyColour, !grey);
        EXPECT_TRUE(table.HasGlyph(font, 0xE9));   // é
        EXPECT_TRUE(table.HasGlyph(font, 0x80));   // the euro sign
        EXPECT_FALSE(table.HasGlyph(font, 0x81));  // unassigned
        EXPECT_GT(table.GlyphWidth(font, ' '), 0);
    }
}

TEST(FontAndGumpFiles, UnicodeFontsReadBackByTheClient) {
    const char* const names[] = {"unifont.mul", "unifont1.mul", "unifont2.mul"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const UnicodeFontFile file(BuiltFiles().at(name));
        UnicodeGlyph glyph;
        for (WChar unit : {u'A', u'g', u'\u00E9', u'\u0416', u'\u03A9'}) {
            ASSERT_TRUE(file.Find(unit, glyph)) << int{unit};
            EXPECT_GT(glyph.width, 0);
            EXPECT_GT(glyph.height, 0);
            EXPECT_GE(glyph.yOffset, 0);
            EXPECT_LE(glyph.yOffset + glyph.height, kUnicodeLineHeight);
        }
        for (WChar unit : {u' ', u'\n', u'\t', u'\u0085'})
            EXPECT_FALSE(file.Find(unit, glyph)) << int{unit};
    }
}

// A frame of every character of a font, on a dark ground: one golden per font.
TEST(FontAndGumpFiles, GoldenFontSheets) {
    CFontTable table;
    const std::vector<u8>& bytes = BuiltFiles().at("fonts.mul");
    ASSERT_TRUE(table.LoadBytes(bytes.data(), bytes.size()));
    for (int font = 0; font < kBuiltFonts; ++font) {
        int cell = 0, lineHeight = 0;
        for (int c = 32; c < 256; ++c) {
            cell = std::max(cell, table.GlyphWidth(font, c));
            lineHeight = std::max(lineHeight, table.GlyphHeight(font, c));
        }
        const int columns = 32, rows = 7;
        Bitmap16 sheet(columns * (cell + 2) + 4, (rows + 1) * (lineHeight + 2) + 4);
        FillBitmapRect(0, 0, sheet.Width() - 1, sheet.Height() - 1, 0x0C63, sheet);
        const TextTarget target{sheet.Pixels(), sheet.Width(), sheet.Height()};
        const ClipRect all{0, 0, sheet.Width(), sheet.Height()};
        int x0 = 0, h = 0, baseline = 0;
        for (int c = 32; c < 256; ++c) {
            const int i = c - 32, col = i % columns, row = i / columns;
            const char text[2] = {static_cast<char>(c), 0};
            table.MeasureText(font, text, x0, h, baseline);
            table.DrawText(
                2 + col * (cell + 2),
                2 + row * (lineHeight + 2) + lineHeight - 1 - table.Font(font)->glyphs[i].descent,
                font, 0, text, target, all);
        }
        // A sentence under the sheet, as text is drawn: one line, glyph after glyph.
        table.DrawText(2, 2 + rows * (lineHeight + 2) + lineHeight - 4, font, 0,
                       "The quick brown fox jumps over the lazy dog. 0123456789", target, all);
        EXPECT_TRUE(MatchesGolden("font_" + std::to_string(font), sheet.Pixels(), sheet.Width(),
                                  sheet.Height()));
    }
}

TEST(FontAndGumpFiles, GoldenUnicodeFonts) {
    const char* const names[] = {"unifont.mul", "unifont1.mul", "unifont2.mul"};
    Bitmap16 frame(360, 3 * 2 * kUnicodeLineHeight + 8);
    FillBitmapRect(0, 0, frame.Width() - 1, frame.Height() - 1, 0x0C63, frame);
    const TextTarget target{frame.Pixels(), frame.Width(), frame.Height()};
    for (int font = 0; font < 3; ++font) {
        SetUnicodeFontBytes(font, BuiltFiles().at(names[font]));
        SetUnicodeFont(font);
        const int y = 4 + font * 2 * kUnicodeLineHeight;
        UnicodeDrawText(target, u"The quick brown fox jumps over the lazy dog.", 4, y, 0x7FFF,
                        ClipRect{0, 0, frame.Width(), frame.Height()});
        UnicodeDrawText(target,
                        u"\u00C5ngstr\u00F6m \u0416\u0438\u0437\u043D\u044C "
                        u"\u03A9\u03BC\u03AD\u03B3\u03B1 \u00DF\u00F8 \u20AC 0123456789",
                        4, y + kUnicodeLineHeight, 0x7E00,
                        ClipRect{0, 0, frame.Width(), frame.Height()});
    }
    ResetUnicodeFonts();
    EXPECT_TRUE(MatchesGolden("unicode_fonts", frame.Pixels(), frame.Width(), frame.Height()));
}

// The fixture pictures read back through the client's gump art routines, the hue picker's
// pieces put together as its window would show them.
TEST(FontAndGumpFiles, GumpArtReadBackAndGoldenPanel) {
    GumpFilesSource source(BuiltFiles().at("gumpidx.mul"), BuiltFiles().at("gumpart.mul"));
    struct Case {
        u32 id;
        int width, height;
    } cases[] = {{kGumpHuePanel, 260, 175},      {kGumpOkButton, 46, 22},
                 {kGumpOkButtonPressed, 46, 22}, {kGumpOkButtonHover, 46, 22},
                 {kGumpThumb, 12, 16},           {kGumpThumbPressed, 12, 16}};
    for (const Case& c : cases) {
        int w = 0, h = 0;
        EXPECT_TRUE(GetGumpArtSize(c.id, w, h)) << c.id;
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(h, c.height);
    }
    int w = 0, h = 0;
    EXPECT_FALSE(GetGumpArtSize(2300, w, h));         // an id the index holds no art for
    EXPECT_EQ(GetGumpArtPixel(kGumpThumb, 0, 0), 0);  // a see-through corner

    Bitmap16 frame(300, 200);
    FillBitmapRect(0, 0, 299, 199, 0x001F, frame);
    u16* px = frame.Pixels();
    CopyGumpToBuf(SpanCopyKeyed, kGumpHuePanel, 10, 10, px, 300, 200);
    CopyGumpToBuf(SpanCopyKeyed, kGumpThumb, 10 + 38, 10 + 142, px, 300, 200);
    CopyGumpToBuf(SpanCopyKeyed, kGumpOkButton, 10 + 208, 10 + 138 - 20, px, 300, 200);
    CopyGumpToBuf(SpanCopyKeyed, kGumpOkButtonPressed, 10 + 150, 10 + 138 - 20, px, 300, 200);
    CopyGumpToBuf(SpanCopyKeyed, kGumpOkButtonHover, 10 + 208, 10 + 138 + 8, px, 300, 200);
    EXPECT_TRUE(MatchesGolden("gump_hue_panel", px, 300, 200));
}

}  // namespace
