#include "client/render/bitmap16.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

// Every placement of a 4 x 3 image around a 7 x 5 destination, with and without a rectangle:
// the pixels inside rectangle and destination come from the image, the rest stay.
TEST(Bitmap16, CopiesClipAtEveryEdge) {
    constexpr int SW = 4, SH = 3, DW = 7, DH = 5;
    std::vector<u16> src(SW * SH);
    for (int i = 0; i < SW * SH; ++i)
        src[i] = static_cast<u16>(i % 5 == 0 ? 0 : 100 + i);  // some see-through pixels
    const ClipRect clips[] = {
        {0, 0, DW, DH}, {1, 1, 5, 4}, {2, 0, 3, 5}, {-9, -9, 99, 99}, {4, 4, 1, 1}};
    for (bool keyed : {false, true})
        for (const ClipRect& clip : clips)
            for (int y = -SH - 1; y <= DH + 1; ++y)
                for (int x = -SW - 1; x <= DW + 1; ++x) {
                    std::vector<u16> dst(DW * DH, 7);
                    CopyBitmapToBufClipped(keyed ? SpanCopyKeyed : SpanCopy, src.data(), clip, SW,
                                           SH, x, y, dst.data(), DW, DH);
                    for (int dy = 0; dy < DH; ++dy)
                        for (int dx = 0; dx < DW; ++dx) {
                            const int sx = dx - x, sy = dy - y;
                            const bool inside = sx >= 0 && sx < SW && sy >= 0 && sy < SH &&
                                                dx >= clip.left && dx < clip.right &&
                                                dy >= clip.top && dy < clip.bottom;
                            u16 want = 7;
                            if (inside) {
                                const u16 s = src[sy * SW + sx];
                                want = keyed && s == 0 ? 7 : s;
                            }
                            ASSERT_EQ(dst[dy * DW + dx], want)
                                << (keyed ? "keyed " : "") << "at " << x << "," << y << " pixel "
                                << dx << "," << dy << " clip " << clip.left << "," << clip.top;
                        }
                }
    // The unclipped form is the same as a rectangle of the whole destination.
    std::vector<u16> a(DW * DH, 7), b(DW * DH, 7);
    CopyBitmapToBuf(SpanCopy, src.data(), SW, SH, 5, 3, a.data(), DW, DH);
    CopyBitmapToBufClipped(SpanCopy, src.data(), ClipRect{0, 0, DW, DH}, SW, SH, 5, 3, b.data(), DW,
                           DH);
    EXPECT_EQ(a, b);
}

TEST(Bitmap16, FillCoversExactlyTheRectangle) {
    struct Case {
        int x1, y1, x2, y2;
        int left, top, right, bottom;  // expected filled, inclusive; right < left for none
    } cases[] = {
        {2, 1, 5, 2, 2, 1, 5, 2},
        {3, 0, 6, 0, 3, 0, 6, 0},      // odd start and even end: both ends filled
        {-3, -2, 20, 20, 0, 0, 7, 4},  // cut to the bitmap
        {5, 1, 4, 1, 5, 1, 4, 1},      // empty
    };
    for (const Case& c : cases) {
        Bitmap16 bitmap(8, 5);
        FillBitmapRect(c.x1, c.y1, c.x2, c.y2, 0x1234, bitmap);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool in = x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
                ASSERT_EQ(bitmap.At(x, y), in ? 0x1234 : 0) << c.x1 << " pixel " << x << "," << y;
            }
    }
}

std::set<std::pair<int, int>> LinePixels(int x1, int y1, int x2, int y2, int w = 40, int h = 40) {
    Bitmap16 bitmap(w, h);
    DrawBitmapLine(x1, y1, x2, y2, 1, bitmap);
    std::set<std::pair<int, int>> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (bitmap.At(x, y)) pixels.insert({x, y});
    return pixels;
}

TEST(Bitmap16, LinesPlotOnePixelPerStepWithBothEnds) {
    struct Case {
        int x1, y1, x2, y2;
        size_t count;
    } cases[] = {
        {0, 0, 10, 3, 11}, {10, 3, 0, 0, 11}, {5, 2, 5, 9, 8},   {5, 9, 5, 2, 8},
        {9, 4, 1, 4, 9},   {3, 3, 3, 3, 1},   {2, 1, 5, 20, 20}, {20, 20, 0, 37, 21},
    };
    for (const Case& c : cases) {
        const auto pixels = LinePixels(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(pixels.size(), c.count) << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2;
        EXPECT_TRUE(pixels.count({c.x1, c.y1}));
        EXPECT_TRUE(pixels.count({c.x2, c.y2}));
    }
    // One pixel per column on a shallow line.
    std::set<int> columns;
    for (const auto& p : LinePixels(0, 0, 10, 3))
        columns.insert(p.first);
    EXPECT_EQ(columns.size(), 11u);
    // Pixels off the bitmap are skipped.
    EXPECT_EQ(LinePixels(-5, 2, 5, 2, 8, 8).size(), 6u);
}

TEST(Bitmap16, LightenAndRestoreWalkTheSameLine) {
    Bitmap16 bitmap(8, 8), saved(8, 8);
    FillBitmapRect(0, 0, 7, 7, 0x7FFF, bitmap);
    FillBitmapRect(0, 0, 7, 7, 0x0421, saved);
    LightenBitmapLine(0, 0, 7, 2, bitmap);
    EXPECT_EQ(bitmap.At(0, 0), ((0x7FFF & 0x7BDE) >> 1) + 0x3DEF);
    EXPECT_EQ(bitmap.At(7, 2), ((0x7FFF & 0x7BDE) >> 1) + 0x3DEF);
    EXPECT_EQ(bitmap.At(0, 1), 0x7FFF);
    RestoreBitmapLine(0, 0, 7, 2, bitmap, saved);
    EXPECT_EQ(bitmap.At(0, 0), 0x0421);
    EXPECT_EQ(bitmap.At(7, 2), 0x0421);
    EXPECT_EQ(bitmap.At(7, 7), 0x7FFF);
}

}  // namespace
