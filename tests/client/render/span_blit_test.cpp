#include "client/render/span_blit.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// --- Span routines ----------------------------------------------------------------------------

// Three hues in records of 44 words (32 colours, then fields the spans do not read): hue i
// colour k = 0x100 * (i + 1) + k.
class HueTableFixture : public ::testing::Test {
protected:
    void SetUp() override {
        table_.assign(3 * 44, 0xEEEE);
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < 32; ++k)
                table_[static_cast<size_t>(i) * 44 + k] = static_cast<u16>(0x100 * (i + 1) + k);
        SetBlitHueTable(table_.data(), 3, 44);
    }
    void TearDown() override { SetBlitHueTable(nullptr, 0, 32); }
    // The hue index the spans are given.
    static constexpr int kHue = 1;
    std::vector<u16> table_;
};

TEST_F(HueTableFixture, EachSpanOnOnePixel) {
    const u16 white = 0x7FFF, black = 0, red = 0x7C00, grey = 0x4210 /* 16,16,16 */, d = 0x1234;
    struct Case {
        const char* name;
        SpanFn span;
        u16 s, d, expected;
    } cases[] = {
        {"copy", SpanCopy, red, d, red},
        {"copy of 0", SpanCopy, black, d, 0},
        {"keyed copy of 0", SpanCopyKeyed, black, d, d},
        {"blend over", SpanBlendOver, white, black, 0x5AD7},
        {"blend under", SpanBlendUnder, white, black, 0x1CE7},
        {"keyed blend over of 0", SpanBlendOverKeyed, black, d, d},
        {"keyed blend over", SpanBlendOverKeyed, white, black, 0x5AD7},
        {"half blend", SpanHalfBlendKeyed, white, black, 0x3DEF},
        {"shade", SpanShadeKeyed, red, white, 0x3DEF},
        {"shade of 0", SpanShadeKeyed, black, white, white},
        {"hue by red level", SpanHue, red, d, 0x200 + 31},
        {"hue of 0", SpanHue, black, d, 0x200},
        {"keyed hue of 0", SpanHueKeyed, black, d, d},
        {"grey hue of grey", SpanHueGrey, grey, d, 0x200 + 16},
        {"grey hue of red", SpanHueGrey, red, d, red},
        {"keyed grey hue", SpanHueGreyKeyed, grey, d, 0x200 + 16},
        {"hue blend over", SpanHueBlendOver, grey, black, 0},  // filled below
        {"grey hue blend of red", SpanHueGreyBlendOver, red, d, red},
        {"keyed hue blend of 0", SpanHueBlendOverKeyed, black, d, d},
        {"keyed grey hue blend of 0", SpanHueGreyBlendOverKeyed, black, d, d},
    };
    for (Case c : cases) {
        if (std::string(c.name) == "hue blend over") {
            // The hue colour 0x210 blended over black.
            u16 expected = black;
            const u16 hued = 0x200 + 16;
            SpanBlendOver(&expected, &hued, 1, kHue);
            c.expected = expected;
        }
        u16 dst = c.d;
        c.span(&dst, &c.s, 1, kHue);
        EXPECT_EQ(dst, c.expected) << c.name;
    }
}

TEST_F(HueTableFixture, AHueOutsideTheTableLeavesThePixels) {
    const u16 src[3] = {0x4210, 0, 0x7C00};
    for (int hue : {-1, 3, 1000}) {
        u16 dst[3] = {9, 9, 9};
        SpanHue(dst, src, 3, hue);
        EXPECT_EQ(std::vector<u16>(dst, dst + 3), (std::vector<u16>{0x4210, 0, 0x7C00})) << hue;
        u16 keyed[3] = {9, 9, 9};
        SpanHueGreyKeyed(keyed, src, 3, hue);
        EXPECT_EQ(std::vector<u16>(keyed, keyed + 3), (std::vector<u16>{0x4210, 9, 0x7C00}));
    }
    u16 dst = 9;
    SpanHueGreyKeyed(&dst, src, 1, 2);
    EXPECT_EQ(dst, 0x300 + 16);
}

// --- Static art ---------------------------------------------------------------------------------

// A record from rows of runs {first column, pixels}; columns between runs are not painted.
struct ArtRun {
    int x;
    std::vector<u16> pixels;
};
std::vector<u16> MakeArt(int width, const std::vector<std::vector<ArtRun>>& rows) {
    const int height = static_cast<int>(rows.size());
    std::vector<u16> words = {0, 0, static_cast<u16>(width), static_cast<u16>(height)};
    std::vector<u16> body;
    for (const auto& row : rows) {
        words.push_back(static_cast<u16>(body.size()));
        int at = 0;
        for (const ArtRun& run : row) {
            body.push_back(static_cast<u16>(run.x - at));
            body.push_back(static_cast<u16>(run.pixels.size()));
            body.insert(body.end(), run.pixels.begin(), run.pixels.end());
            at = run.x + static_cast<int>(run.pixels.size());
        }
        body.push_back(0);
        body.push_back(0);
    }
    words.insert(words.end(), body.begin(), body.end());
    return words;
}

// 6 x 4 with gaps, runs of one pixel and runs that end at the right edge.
const std::vector<std::vector<ArtRun>> kRows = {
    {{0, {1, 2, 3, 4, 5, 6}}},
    {{1, {7, 8}}, {4, {9, 10}}},
    {{0, {11}}, {2, {12}}, {5, {13}}},
    {{3, {14, 15, 16}}},
};

// What the image paints at image column c, row r (0 for not painted).
u16 Expected(int c, int r) {
    if (r < 0 || r >= static_cast<int>(kRows.size())) return 0;
    for (const ArtRun& run : kRows[r])
        if (c >= run.x && c < run.x + static_cast<int>(run.pixels.size()))
            return run.pixels[c - run.x];
    return 0;
}

TEST(StaticArt, ClippedAtEveryEdgeAndRunBoundary) {
    const std::vector<u16> art = MakeArt(6, kRows);
    const ArtRecord record{art.data(), art.size()};
    constexpr int W = 10, H = 8;
    const ClipRect clips[] = {{0, 0, W, H}, {2, 1, 7, 6},     {3, 2, 4, 3},
                              {0, 0, 0, 0}, {-5, -5, 50, 50}, {5, 5, 2, 2}};
    for (const ClipRect& clip : clips)
        for (int y = -5; y <= H + 1; ++y)
            for (int x = -7; x <= W + 1; ++x) {
                std::vector<u16> target(W * H, 0xFFFF);
                DrawArtClipped(BlitTarget{target.data(), W, H}, SpanCopy, record, clip, x, y);
                for (int ty = 0; ty < H; ++ty)
                    for (int tx = 0; tx < W; ++tx) {
                        const bool inClip = tx >= clip.left && tx < clip.right && ty >= clip.top &&
                                            ty < clip.bottom;
                        const u16 painted = Expected(tx - x, ty - y);
                        const u16 want = inClip && painted != 0 ? painted : 0xFFFF;
                        ASSERT_EQ(target[ty * W + tx], want)
                            << "clip " << clip.left << "," << clip.top << "," << clip.right << ","
                            << clip.bottom << " at " << x << "," << y << " pixel " << tx << ","
                            << ty;
                    }
            }
}

// The mirrored image and the shadows, every placement against every clip: pixel (tx, ty)
// shows the image pixel the variant maps there, or the background.
TEST(StaticArt, MirroredAndShadowBlitsMapEveryPixel) {
    const std::vector<u16> art = MakeArt(6, kRows);
    const ArtRecord record{art.data(), art.size()};
    constexpr int W = 12, H = 8, kWidth = 6, kHalf = 2;  // the image is 6 x 4
    constexpr u16 kBackground = 0x7FFF, kShaded = ((kBackground & 0x7BDE) >> 1) | 1;
    struct Variant {
        const char* name;
        std::function<void(const BlitTarget&, const ClipRect&, int, int)> draw;
        // The image pixel shown at target (tx, ty) for the image at (x, y); 0 for none.
        std::function<u16(int tx, int ty, int x, int y)> source;
        bool shade;
    } variants[] = {
        {"mirrored",
         [&](const BlitTarget& t, const ClipRect& c, int x, int y) {
             DrawArtClippedMirrored(t, SpanCopyReversed, record, c, x, y);
         },
         [](int tx, int ty, int x, int y) { return Expected(x + kWidth - 1 - tx, ty - y); }, false},
        {"shadow",
         [&](const BlitTarget& t, const ClipRect& c, int x, int y) {
             DrawArtShadowClipped(t, record, c, x, y);
         },
         [](int tx, int ty, int x, int y) {
             const int i = ty - (y + 4 - kHalf);
             return i < 0 || i >= kHalf ? u16{0} : Expected(tx - x - (kHalf - i), 2 * i);
         },
         true},
        {"mirrored shadow",
         [&](const BlitTarget& t, const ClipRect& c, int x, int y) {
             DrawArtShadowClippedMirrored(t, record, c, x, y);
         },
         [](int tx, int ty, int x, int y) {
             const int i = ty - (y + 4 - kHalf);
             return i < 0 || i >= kHalf ? u16{0}
                                        : Expected(x + (kHalf - i) + kWidth - 1 - tx, 2 * i);
         },
         true},
    };
    const ClipRect clips[] = {{0, 0, W, H}, {2, 1, 7, 6}, {3, 2, 4, 3}, {-5, -5, 50, 50}};
    for (const Variant& v : variants)
        for (const ClipRect& clip : clips)
            for (int y = -5; y <= H + 1; ++y)
                for (int x = -9; x <= W + 1; ++x) {
                    std::vector<u16> target(W * H, kBackground);
                    v.draw(BlitTarget{target.data(), W, H}, clip, x, y);
                    for (int ty = 0; ty < H; ++ty)
                        for (int tx = 0; tx < W; ++tx) {
                            const bool inClip = tx >= clip.left && tx < clip.right &&
                                                ty >= clip.top && ty < clip.bottom;
                            const u16 painted = v.source(tx, ty, x, y);
                            const u16 want = !inClip || painted == 0 ? kBackground
                                             : v.shade               ? kShaded
                                                                     : painted;
                            ASSERT_EQ(target[ty * W + tx], want)
                                << v.name << " at " << x << "," << y << " pixel " << tx << ","
                                << ty;
                        }
                }
}

// The reversed routines read their source backwards from the pointer they get.
TEST_F(HueTableFixture, ReversedSpansReadBackwards) {
    const u16 grey = 9 << 10 | 9 << 5 | 9, red = 9 << 10;
    const u16 src[3] = {red, grey, 0};
    struct Case {
        SpanFn span;
        std::vector<u16> want;  // for the source read from src[2] down
    } cases[] = {
        {SpanCopyReversed, {0, grey, red}},
        {SpanShadeKeyedReversed,
         {0x1111, ((0x1111 & 0x7BDE) >> 1) | 1, ((0x1111 & 0x7BDE) >> 1) | 1}},
    };
    for (const Case& c : cases) {
        std::vector<u16> dst(3, 0x1111);
        c.span(dst.data(), src + 2, 3, kHue);
        EXPECT_EQ(dst, c.want);
    }
    std::vector<u16> dst(3, 0x1111), forward(3, 0x1111);
    const u16 backwards[3] = {0, grey, red};
    SpanHueReversed(dst.data(), src + 2, 3, 2);
    SpanHue(forward.data(), backwards, 3, 2);
    EXPECT_EQ(dst, forward);
    EXPECT_EQ(dst[2], 0x300 + 9) << "red 9 through hue index 2";
    SpanHueGreyReversed(dst.data(), src + 2, 3, 2);
    SpanHueGrey(forward.data(), backwards, 3, 2);
    EXPECT_EQ(dst, forward);
}

// The span gets the part of a run inside the clip, starting at the right source pixel.
TEST(StaticArt, ARunStraddlingTheLeftEdge) {
    const std::vector<u16> art = MakeArt(6, {{{1, {21, 22, 23, 24, 25}}}});
    std::vector<u16> target(20, 0);
    DrawArtClipped(BlitTarget{target.data(), 20, 1}, SpanCopy, ArtRecord{art.data(), art.size()},
                   ClipRect{10, 0, 20, 1}, 7, 0);
    // ArtRun starts at 7 + 1 = 8; columns 10.. show source pixels 2..4 of the run.
    EXPECT_EQ(target[9], 0);
    EXPECT_EQ(target[10], 23);
    EXPECT_EQ(target[12], 25);
    EXPECT_EQ(target[13], 0);
}

// An image inside the clip is drawn whole by both blitters (the last row too).
TEST(StaticArt, AnImageInsideTheClipIsDrawnWhole) {
    std::vector<std::vector<ArtRun>> rows;
    for (int r = 0; r < 10; ++r)
        rows.push_back({{0, {static_cast<u16>(r + 1)}}});
    const std::vector<u16> art = MakeArt(1, rows);
    for (bool clipped : {false, true}) {
        std::vector<u16> target(4 * 20, 0);
        const BlitTarget into{target.data(), 4, 20};
        if (clipped)
            DrawArtClipped(into, SpanCopy, ArtRecord{art.data(), art.size()}, ClipRect{0, 0, 4, 20},
                           1, 2);
        else
            DrawArt(into, SpanCopy, ArtRecord{art.data(), art.size()}, 1, 2);
        for (int r = 0; r < 10; ++r)
            EXPECT_EQ(target[(2 + r) * 4 + 1], r + 1) << r << (clipped ? " clipped" : "");
        EXPECT_EQ(target[12 * 4 + 1], 0);
    }
}

// Records that lie about their sizes: nothing outside the record is read, runs stop at the
// width, and nothing outside the target is written (the sanitizer watches the rest).
TEST(StaticArt, MalformedRecordsStayInsideTheirBytes) {
    std::vector<u16> target(8 * 4, 0);
    const BlitTarget into{target.data(), 8, 4};
    const ClipRect all{0, 0, 8, 4};
    std::vector<u16> art = MakeArt(3, {{{0, {1, 2, 3}}}, {{0, {4, 5, 6}}}});

    // A record too short for its row table draws nothing.
    DrawArtClipped(into, SpanCopy, ArtRecord{art.data(), 5}, all, 0, 0);
    EXPECT_EQ(target[0], 0);
    // A row offset past the end, a run longer than what is left, a run past the width.
    std::vector<u16> bad = art;
    bad[4] = 500;
    DrawArtClipped(into, SpanCopy, ArtRecord{bad.data(), bad.size()}, all, 0, 0);
    EXPECT_EQ(target[0], 0);
    EXPECT_EQ(target[8], 4);
    std::fill(target.begin(), target.end(), 0);
    bad = art;
    bad[7] = 300;  // row 0's run count
    DrawArtClipped(into, SpanCopy, ArtRecord{bad.data(), bad.size()}, all, 0, 0);
    EXPECT_EQ(target[0], 0);
    bad = MakeArt(2, {{{0, {1, 2, 3, 4}}}});
    std::fill(target.begin(), target.end(), 0);
    DrawArt(into, SpanCopy, ArtRecord{bad.data(), bad.size()}, 0, 0);
    EXPECT_EQ(target[1], 2);
    EXPECT_EQ(target[2], 0);
    // A clip larger than the target is cut to it.
    DrawArtClipped(into, SpanCopy, ArtRecord{art.data(), art.size()},
                   ClipRect{-100, -100, 100, 100}, 6, 3);
    EXPECT_EQ(target[3 * 8 + 7], 2);
}

}  // namespace
