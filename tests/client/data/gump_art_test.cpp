#include "client/data/gump_art.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "client/data/client_log.h"
#include "client/data/gump_art_fixture.h"
#include "client/data/pixel_format.h"
#include "tests/client/data/pixel_format_scope.h"
#include "tools/content_builder/gump_art_writer.h"

namespace {

// A 7 x 4 picture with runs of one and several pixels, see-through runs and colours that
// change in 565 mode.
constexpr int kW = 7, kH = 4;
const u16 kPicture[kH][kW] = {
    {0x7C00, 0x7C00, 0, 0, 0x03E0, 0x001F, 0x001F},
    {0, 0x1111, 0x2222, 0x2222, 0x2222, 0, 0},
    {0x7FFF, 0, 0x7FFF, 0, 0x7FFF, 0, 0x7FFF},
    {0x4210, 0x4210, 0x4210, 0x4210, 0x4210, 0x4210, 0x4210},
};
constexpr u32 kId = 40;

class GumpArtTest : public ::testing::Test {
protected:
    void SetUp() override { source_.Put(kId, EncodeGumpArt(&kPicture[0][0], kW, kH), kW, kH); }
    GumpRecordsSource source_;
};

// Every placement around a 9 x 6 destination, with rectangles that cut each side, through the
// keyed and the plain copy, in 555 and 565: each destination pixel is the picture's (converted
// in 565 mode where the picture is not 0), the destination's own, or for the plain copy 0.
TEST_F(GumpArtTest, ClippedCopiesAtEveryEdgeAndRunBoundary) {
    constexpr int DW = 9, DH = 6;
    const ClipRect clips[] = {
        {0, 0, DW, DH}, {1, 1, 8, 5}, {3, 2, 4, 3}, {-20, -20, 40, 40}, {5, 5, 5, 5}};
    for (bool is565 : {false, true}) {
        Scoped565 mode(is565);
        for (bool keyed : {true, false})
            for (const ClipRect& clip : clips)
                for (int y = -kH - 1; y <= DH + 1; ++y)
                    for (int x = -kW - 1; x <= DW + 1; ++x) {
                        std::vector<u16> dst(DW * DH, 0x5555);
                        CopyGumpToBufClipped(keyed ? SpanCopyKeyed : SpanCopy, kId, clip, x, y,
                                             dst.data(), DW, DH);
                        for (int dy = 0; dy < DH; ++dy)
                            for (int dx = 0; dx < DW; ++dx) {
                                const int sx = dx - x, sy = dy - y;
                                const bool inside = sx >= 0 && sx < kW && sy >= 0 && sy < kH &&
                                                    dx >= clip.left && dx < clip.right &&
                                                    dy >= clip.top && dy < clip.bottom;
                                u16 want = 0x5555;
                                if (inside) {
                                    const u16 s = kPicture[sy][sx];
                                    if (s != 0)
                                        want = is565 ? Convert555To565(s) : s;
                                    else if (!keyed)
                                        want = 0;
                                }
                                ASSERT_EQ(dst[dy * DW + dx], want)
                                    << (is565 ? "565 " : "555 ") << (keyed ? "keyed " : "plain ")
                                    << "at " << x << "," << y << " pixel " << dx << "," << dy
                                    << " clip " << clip.left << "," << clip.top << "," << clip.right
                                    << "," << clip.bottom;
                            }
                    }
    }
    // The unclipped form clips to the destination.
    std::vector<u16> a(81, 1), b(81, 1);
    CopyGumpToBuf(SpanCopyKeyed, kId, -2, 6, a.data(), 9, 9);
    CopyGumpToBufClipped(SpanCopyKeyed, kId, ClipRect{0, 0, 9, 9}, -2, 6, b.data(), 9, 9);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a[6 * 9 + 0], 1);       // art column 2 of row 0 is see-through
    EXPECT_EQ(a[6 * 9 + 2], 0x03E0);  // art column 4
}

TEST_F(GumpArtTest, EdgeCases) {
    // Left of the destination: only the right part, from column -x of the art.
    std::vector<u16> dst(10, 0);
    CopyGumpToBuf(SpanCopy, kId, -4, 0, dst.data(), 10, 1);
    EXPECT_EQ(dst[0], 0x03E0);
    EXPECT_EQ(dst[2], 0x001F);
    EXPECT_EQ(dst[3], 0);
    // A rectangle touching the art only at its right or bottom edge draws nothing.
    std::vector<u16> touch(20 * 20, 9);
    CopyGumpToBufClipped(SpanCopy, kId, ClipRect{7, 0, 20, 20}, 0, 0, touch.data(), 20, 20);
    CopyGumpToBufClipped(SpanCopy, kId, ClipRect{0, 4, 20, 20}, 0, 0, touch.data(), 20, 20);
    EXPECT_EQ(std::count(touch.begin(), touch.end(), 9), 400);

    // Pixels: the first run at x 0; at a run boundary the run that starts there.
    EXPECT_EQ(GetGumpArtPixel(kId, 0, 0), 0x7C00);
    EXPECT_EQ(GetGumpArtPixel(kId, 2, 0), 0);
    EXPECT_EQ(GetGumpArtPixel(kId, 4, 0), 0x03E0);
    EXPECT_EQ(GetGumpArtPixel(kId, 5, 0), 0x001F);
    EXPECT_EQ(GetGumpArtPixel(kId, 6, 3), 0x4210);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {7, 0}, {0, 4}})
        EXPECT_EQ(GetGumpArtPixel(kId, x, y), 0) << x << "," << y;
    {
        Scoped565 mode(true);
        EXPECT_EQ(GetGumpArtPixel(kId, 0, 0), 0xF800);
        EXPECT_EQ(GetGumpArtPixel(kId, 4, 0), 0x07C0);
    }
    // A missing id: 0 x 0, pixel 0, nothing drawn.
    int w = 5, h = 5;
    EXPECT_FALSE(GetGumpArtSize(999, w, h));
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(GetGumpArtPixel(999, 0, 0), 0);
    EXPECT_TRUE(GetGumpArtSize(kId, w, h));
    EXPECT_EQ(w, kW);
    EXPECT_EQ(h, kH);
}

// Art wider than any fixed line: every row decodes whole.
TEST_F(GumpArtTest, WideArtDecodesWhole) {
    constexpr int kWide = 1500;
    std::vector<u16> picture(kWide * 2);
    for (int i = 0; i < kWide * 2; ++i)
        picture[i] = static_cast<u16>(1 + i / 7 % 3000);
    source_.Put(7, EncodeGumpArt(picture.data(), kWide, 2), kWide, 2);
    std::vector<u16> dst(kWide * 2, 0);
    CopyGumpToBuf(SpanCopyKeyed, 7, 0, 0, dst.data(), kWide, 2);
    EXPECT_EQ(dst, picture);
    EXPECT_EQ(GetGumpArtPixel(7, kWide - 1, 1), picture.back());
}

// Records that lie about their sizes read only their own bytes: a row table longer than the
// record makes the art missing; a row whose offset or runs leave the record is see-through
// where they stop; runs past the width are cut.
TEST_F(GumpArtTest, MalformedRecordsStayInsideTheirBytes) {
    const std::vector<u8> good = EncodeGumpArt(&kPicture[0][0], kW, kH);
    struct Case {
        const char* name;
        std::vector<u8> bytes;
        int width, height;
        bool exists;
        u16 pixel00, pixel01;  // row 0 col 0, row 1 col 1 drawn onto 0x5555
    };
    std::vector<u8> rowPastEnd = good;
    rowPastEnd[0] = 0xFF;                                              // row 0 starts far outside
    std::vector<u8> cutRuns(good.begin(), good.begin() + 4 * kH + 4);  // only row 0's first run
    std::vector<u8> wideRun = good;
    wideRun[4 * kH + 2] = 0xFF;  // row 0's first run: 255 pixels
    const Case cases[] = {
        {"intact", good, kW, kH, true, 0x7C00, 0x1111},
        {"table longer than the record", std::vector<u8>(good.begin(), good.begin() + 12), kW, kH,
         false, 0x5555, 0x5555},
        {"empty record", {}, kW, kH, false, 0x5555, 0x5555},
        {"zero width", good, 0, kH, false, 0x5555, 0x5555},
        {"row offset past the end", rowPastEnd, kW, kH, true, 0x5555, 0x1111},
        {"runs cut short", cutRuns, kW, kH, true, 0x7C00, 0x5555},
        {"run past the width", wideRun, kW, kH, true, 0x7C00, 0x1111},
    };
    for (const Case& c : cases) {
        source_.Put(8, c.bytes, c.width, c.height);
        int w = 0, h = 0;
        EXPECT_EQ(GetGumpArtSize(8, w, h), c.exists) << c.name;
        std::vector<u16> dst(kW * kH, 0x5555);
        CopyGumpToBuf(SpanCopyKeyed, 8, 0, 0, dst.data(), kW, kH);
        EXPECT_EQ(dst[0], c.pixel00) << c.name;
        EXPECT_EQ(dst[kW + 1], c.pixel01) << c.name;
    }
    // The run past the width fills row 0 with its colour to the edge and no further.
    source_.Put(8, wideRun, kW, kH);
    EXPECT_EQ(GetGumpArtPixel(8, kW - 1, 0), 0x7C00);
}

// Until the data cache is wired in, every gump art is missing, and the log says so once.
TEST(GumpArtServices, TheEmptySourceSaysSoOnce) {
    LogCapture capture(GetClientLogSink());
    int w = 0, h = 0;
    EXPECT_FALSE(GetGumpArtSize(1, w, h));
    EXPECT_FALSE(GetGumpArtSize(2, w, h));
    // Once per process: an earlier test may have been the first to ask.
    EXPECT_LE(capture.FromSource("gumpart").size(), 1u);
}

}  // namespace
