// Rectangles, container tables, panels with their random decorations, bars, and the art
// strips.
#include "client/gumps/framework/gump_drawing.h"

#include <gtest/gtest.h>

#include "client/gumps/framework/gump_art_strips.h"
#include "tests/client/gumps/framework/gump_fixture.h"

namespace {

class GumpDrawingTest : public GumpDesktopTest {};

TEST_F(GumpDrawingTest, RectangleArithmetic) {
    EXPECT_FALSE(CGumpDesktop::RectsOverlap({0, 0, 10, 10}, {10, 0, 20, 10}));
    EXPECT_TRUE(CGumpDesktop::RectsOverlap({0, 0, 10, 10}, {9, 9, 20, 20}));
    ClipRect a{0, 0, 0, 0};
    CGumpDesktop::UniteRects(a, {5, 5, 9, 9});
    EXPECT_EQ((std::array<int, 4>{a.left, a.top, a.right, a.bottom}),
              (std::array<int, 4>{5, 5, 9, 9}));
    ClipRect b{1, 1, 4, 4};
    CGumpDesktop::UniteRects(b, {3, 3, 9, 9});
    EXPECT_EQ((std::array<int, 4>{b.left, b.top, b.right, b.bottom}),
              (std::array<int, 4>{1, 1, 9, 9}));
    ClipRect out;
    IntersectRects({0, 5, 10, 20}, {3, 0, 30, 12}, out);
    EXPECT_EQ((std::array<int, 4>{out.left, out.top, out.right, out.bottom}),
              (std::array<int, 4>{3, 5, 10, 12}));
}

TEST_F(GumpDrawingTest, ContainerTables) {
    struct Case {
        int graphic, art;
    };
    for (const Case& c : {Case{3645, 68}, Case{2448, 65}, Case{2625, 81}, Case{2717, 77},
                          Case{0x10000 + 3702, 61}, Case{1, 9}, Case{16057, 76}}) {
        EXPECT_EQ(ContainerGumpArt(c.graphic), c.art) << c.graphic;
    }
    ClipRect r;
    ContainerItemArea(68, r);
    EXPECT_EQ((std::array<int, 4>{r.left, r.top, r.right, r.bottom}),
              (std::array<int, 4>{20, 10, 170, 100}));
    ContainerItemArea(12345, r);
    EXPECT_EQ((std::array<int, 4>{r.left, r.top, r.right, r.bottom}),
              (std::array<int, 4>{0, 0, 200, 200}));
}

// Nine pieces of 10 x 10 (colours 1 .. 9) and decoration pieces of a given length.
void PutPanel(FixtureGumpArt& art, int decorationLength) {
    for (int k = 0; k < 9; ++k)
        art.Solid(static_cast<u32>(3000 + k), 10, 10, static_cast<u16>(k + 1));
    for (int k = 11; k <= 18; ++k)
        art.Solid(static_cast<u32>(3000 + k), decorationLength, decorationLength,
                  static_cast<u16>(0x7C00 + k));
}

int CountColour(const Bitmap16& b, u16 colour) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += b.At(x, y) == colour;
    return n;
}

TEST_F(GumpDrawingTest, APanelHasCornersEdgesCentreAndDecorationsWhereTheyFit) {
    PutPanel(art, 20);
    Bitmap16 panel(300, 200);
    DrawGumpArtPanel(3000, panel, true);
    EXPECT_EQ(panel.At(0, 0), 1);
    EXPECT_EQ(panel.At(150, 0), 2);
    EXPECT_EQ(panel.At(299, 0), 3);
    EXPECT_EQ(panel.At(0, 100), 4);
    EXPECT_EQ(panel.At(150, 100), 5);
    EXPECT_EQ(panel.At(299, 100), 6);
    EXPECT_EQ(panel.At(0, 199), 7);
    EXPECT_EQ(panel.At(150, 199), 8);
    EXPECT_EQ(panel.At(299, 199), 9);
    EXPECT_EQ(CountColour(panel, 0), 0);

    for (u32 seed : {1u, 2u, 3u, 99u}) {
        host.seed = seed;
        Bitmap16 decorated(300, 200);
        DrawGumpArtPanel(3000, decorated, false);
        // Top and bottom (300 > 20 + 20 + 80) and the sides (200 > 120) all get both pieces.
        for (int k = 11; k <= 18; ++k)
            EXPECT_EQ(CountColour(decorated, static_cast<u16>(0x7C00 + k)), 400)
                << "piece " << k << " seed " << seed;
    }
}

TEST_F(GumpDrawingTest, ADecorationPairWithNoPlaceForItsSecondPieceIsNotPlaced) {
    // Edges of 181 are long enough (> 50 + 50 + 80), but a first piece at 65 leaves no place
    // for the second within 10 .. 120 that is 60 away: drawing again would never end.
    PutPanel(art, 50);
    host.scripted = {55, 55, 55, 55};
    Bitmap16 panel(181, 181);
    DrawGumpArtPanel(3000, panel, false);
    for (int k = 11; k <= 18; ++k)
        EXPECT_EQ(CountColour(panel, static_cast<u16>(0x7C00 + k)), 0);
    // A first piece at 20 leaves room: the pair is placed.
    host.scripted = {10};
    Bitmap16 placed(181, 181);
    DrawGumpArtPanel(3000, placed, false);
    // (The side pairs may cover parts of it.)
    EXPECT_GT(CountColour(placed, 0x7C00 + 11), 0);
    EXPECT_GT(CountColour(placed, 0x7C00 + 12), 0);
    Bitmap16 shortEdges(179, 179);  // not longer than the pieces plus 80
    DrawGumpArtPanel(3000, shortEdges, false);
    EXPECT_EQ(CountColour(shortEdges, 0x7C00 + 11), 0);
}

TEST_F(GumpDrawingTest, BarsAndShadedBars) {
    art.Solid(900, 8, 6, 0x001F);
    art.Solid(901, 5, 6, 0x03E0);
    art.Solid(902, 8, 6, 0x7C00);
    Bitmap16 bar(30, 6);
    DrawGumpArtBar(900, bar);
    EXPECT_EQ(bar.At(0, 0), 0x001F);
    EXPECT_EQ(bar.At(15, 3), 0x03E0);
    EXPECT_EQ(bar.At(29, 5), 0x7C00);
    Bitmap16 narrow(10, 6);  // narrower than the two ends: they overlap
    DrawGumpArtBar(900, narrow);
    EXPECT_EQ(narrow.At(1, 0), 0x001F);
    EXPECT_EQ(narrow.At(2, 0), 0x7C00);
    Bitmap16 missing(30, 6);
    DrawGumpArtBar(905, missing);
    EXPECT_EQ(CountColour(missing, 0), 180);

    art.Solid(5109, 4, 3, 0x7FFF);
    art.Solid(5110, 4, 3, 0x7FFF);
    Bitmap16 shaded(40, 5);
    FillBitmapRect(0, 0, 39, 4, 0x7BDE, shaded);
    DrawShadedBar(2, 1, 30, 5109, shaded);
    EXPECT_EQ(shaded.At(3, 1), 0x7FFF);
    EXPECT_EQ(shaded.At(10, 2), 0x3DEF);
    EXPECT_EQ(shaded.At(10, 4), 0x7BDE);  // below the bar
}

TEST_F(GumpDrawingTest, ColumnsCycleTheirMiddlePiecesAndRowsTileToTheClip) {
    art.Solid(600, 20, 10, 1);
    art.Solid(601, 20, 7, 2);
    art.Solid(602, 20, 7, 3);
    art.Solid(603, 20, 10, 4);
    Bitmap16 column(20, 60);
    DrawGumpArtColumn(600, 2, column, 0, 0);
    std::vector<u16> rows;
    for (int y = 0; y < 60; ++y)
        rows.push_back(column.At(10, y));
    // Top 0-9; middles from row 9: 2 (9-15), 3 (16-22), 2 (23-29), 3 (30-36), 2 (37-43), the
    // last cut at the bottom piece's row + 1; the bottom piece one row above its place, from
    // row 49, leaving the last row empty.
    EXPECT_EQ(rows[5], 1);
    EXPECT_EQ(rows[9], 2);
    EXPECT_EQ(rows[16], 3);
    EXPECT_EQ(rows[23], 2);
    EXPECT_EQ(rows[44], 3);
    EXPECT_EQ(rows[49], 4);
    EXPECT_EQ(rows[58], 4);
    EXPECT_EQ(rows[59], 0);

    art.Solid(610, 20, 10, 1);
    art.Solid(611, 10, 5, 2);  // narrower middle: centred
    art.Solid(612, 20, 10, 4);
    Bitmap16 centred(20, 40);
    DrawGumpArtColumn(610, 1, centred, 0, 0);
    EXPECT_EQ(centred.At(5, 15), 2);
    EXPECT_EQ(centred.At(4, 15), 0);
    EXPECT_EQ(centred.At(0, 35), 4);  // the bottom is as wide as the top: at x = 0

    // A missing piece inside the cycle has no height: the strip ends there instead of never.
    art.Solid(650, 20, 10, 1);
    art.Solid(651, 20, 7, 2);
    art.Solid(654, 20, 10, 4);
    Bitmap16 gap(20, 60);
    DrawGumpArtColumn(650, 3, gap, 0, 0);
    EXPECT_EQ(gap.At(10, 12), 2);
    EXPECT_EQ(gap.At(10, 55), 4);

    Bitmap16 topOnly(20, 40);
    DrawGumpArtColumn(620, 1, topOnly, 0, 0);  // no pieces at all
    EXPECT_EQ(CountColour(topOnly, 0), 800);

    Bitmap16 row(50, 5);
    art.Solid(630, 12, 5, 7);
    DrawGumpArtRow(2, 0, 630, row, {0, 0, 40, 5});
    EXPECT_EQ(row.At(2, 0), 7);
    EXPECT_EQ(row.At(39, 0), 7);
    EXPECT_EQ(row.At(40, 0), 0);
    Bitmap16 none(50, 5);
    DrawGumpArtRow(45, 0, 630, none, {0, 0, 40, 5});
    DrawGumpArtRow(0, 0, 631, none, {0, 0, 40, 5});
    EXPECT_EQ(CountColour(none, 0), 250);
}

}  // namespace
