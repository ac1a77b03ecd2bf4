// Movie pictures on the screen: placement, the three line modes, pixel pairs through the
// player, and frames whose size the buffers cannot take.
#include <gtest/gtest.h>

#include "movie/movie_player.h"
#include "movie/movie_video.h"
#include "movie_test_files.h"

using namespace movie;
using movie_test::OpenMovie;

namespace {

constexpr u16 kUntouched = 0xABCD;

TEST(MovieVideo, Placement) {
    struct Case {
        const char* name;
        u32 flags;
        int width, height, xOffset, yOffset, destWidth;
        FramePlacement want;
    };
    const u32 client = MOVIE_PIXEL_DOUBLE | MOVIE_SCANLINES;
    const Case cases[] = {
        {"the intro: 320x240 centred",
         client | MOVIE_CENTER_X | MOVIE_CENTER_Y,
         320,
         240,
         0,
         0,
         0,
         {640, 240, 0, 0, 640, 480}},
        {"a smaller frame centred",
         client | MOVIE_CENTER_X | MOVIE_CENTER_Y,
         160,
         120,
         0,
         0,
         0,
         {320, 120, 160, 120, 320, 240}},
        {"offsets and a destination width",
         client | MOVIE_OFFSET_X | MOVIE_OFFSET_Y | MOVIE_DEST_WIDTH,
         320,
         240,
         12,
         34,
         300,
         {640, 240, 12, 34, 600, 480}},
        {"centre then offset",
         MOVIE_CENTER_X | MOVIE_OFFSET_X,
         100,
         50,
         -5,
         9,
         0,
         {100, 50, 265, 0, 100, 50}},
        {"line doubling", MOVIE_LINE_DOUBLE, 100, 50, 0, 0, 0, {100, 50, 0, 0, 100, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlacementInput in;
        in.flags = c.flags;
        in.frameWidth = c.width;
        in.frameHeight = c.height;
        in.xOffset = c.xOffset;
        in.yOffset = c.yOffset;
        in.destWidthField = c.destWidth;
        const FramePlacement p = PlaceFrame(in);
        EXPECT_EQ(p.sourceWidth, c.want.sourceWidth);
        EXPECT_EQ(p.sourceHeight, c.want.sourceHeight);
        EXPECT_EQ(p.x, c.want.x);
        EXPECT_EQ(p.y, c.want.y);
        EXPECT_EQ(p.destWidth, c.want.destWidth);
        EXPECT_EQ(p.destHeight, c.want.destHeight);
    }
}

// A 4x3 surface whose pixel (x, y) is 0x100 * (y + 1) + x.
std::vector<u16> Surface() {
    std::vector<u16> s(12);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            s[size_t(y * 4 + x)] = u16(0x100 * (y + 1) + x);
    return s;
}

TEST(MovieVideo, LineModes) {
    struct Case {
        const char* name;
        u32 flags;
        // Screen row (from y = 10) -> surface row, or -1 for untouched.
        std::vector<int> rows;
    };
    const Case cases[] = {
        {"scan lines: h one-line copies two lines apart",
         MOVIE_SCANLINES,
         {0, -1, 1, -1, 2, -1, -1}},
        {"doubled lines", MOVIE_LINE_DOUBLE, {0, 0, 1, 1, 2, 2, -1}},
        {"scan lines win over doubled lines",
         MOVIE_SCANLINES | MOVIE_LINE_DOUBLE,
         {0, -1, 1, -1, 2, -1, -1}},
        {"single lines", 0, {0, 1, 2, -1, -1, -1, -1}},
    };
    const std::vector<u16> surface = Surface();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<u16> screen(640 * 480, kUntouched);
        PlacementInput in;
        in.flags = c.flags | MOVIE_OFFSET_X | MOVIE_OFFSET_Y;
        in.frameWidth = 4;
        in.frameHeight = 3;
        in.xOffset = 20;
        in.yOffset = 10;
        ShowFrameOnScreen(surface.data(), 4, PlaceFrame(in), LineModeOf(c.flags), screen.data());
        for (size_t i = 0; i < c.rows.size(); ++i) {
            const u16* row = &screen[(10 + i) * 640];
            EXPECT_EQ(row[19], kUntouched);
            EXPECT_EQ(row[24], kUntouched);
            for (int x = 0; x < 4; ++x) {
                const u16 want = c.rows[i] < 0 ? kUntouched : u16(0x100 * (c.rows[i] + 1) + x);
                EXPECT_EQ(row[20 + x], want) << "row " << i << " x " << x;
            }
        }
    }
}

TEST(MovieVideo, StretchAndClipping) {
    const std::vector<u16> surface = Surface();
    std::vector<u16> screen(640 * 480, kUntouched);
    FramePlacement p;
    p.sourceWidth = 4;
    p.sourceHeight = 3;
    p.destWidth = 8;
    p.destHeight = 3;
    p.x = 636;  // half off the right edge
    p.y = 478;  // one line off the bottom
    ShowFrameOnScreen(surface.data(), 4, p, LineMode::kSingle, screen.data());
    EXPECT_EQ(screen[478 * 640 + 636], 0x100);
    EXPECT_EQ(screen[478 * 640 + 637], 0x100);
    EXPECT_EQ(screen[478 * 640 + 638], 0x101);
    EXPECT_EQ(screen[479 * 640 + 639], 0x201);
    p.x = -6;
    p.y = -2;
    ShowFrameOnScreen(surface.data(), 4, p, LineMode::kScanLines, screen.data());
    EXPECT_EQ(screen[0 * 640 + 0], 0x203);
    EXPECT_EQ(screen[0 * 640 + 1], 0x203);
}

TEST(MovieVideo, PixelPairsOnScanLinesThroughThePlayer) {
    movie_writer::MovieChunkWriter w;
    w.Chunk("pQGT", movie_test::FramePayload(16, 8));
    w.End();
    OpenMovie m(w.Bytes(), MOVIE_PIXEL_DOUBLE | MOVIE_SCANLINES | MOVIE_CENTER_X | MOVIE_CENTER_Y);
    m.control.refillByCaller = true;
    std::vector<u16> screen(640 * 480, kUntouched);
    int presented = 0;
    m.control.screen = screen.data();
    m.control.present = [&] { ++presented; };
    ASSERT_TRUE(m.Open());
    std::vector<movie_test::RecordingDecoder::Seen> seen;
    movie_test::InstallRecordingDecoders(*m.ctx, &seen);
    InitMovieVideo(*m.ctx);
    m.ctx->initialised = true;
    m.control.context = m.ctx.release();
    RunPlaybackLoop(m.control);
    ReleaseMovie(m.control);
    EXPECT_EQ(presented, 1);
    // 32 x 16 on screen at (304, 232): frame lines on even screen lines only.
    for (int y = 230; y < 250; ++y) {
        for (int x = 302; x < 338; ++x) {
            const bool inside = x >= 304 && x < 336 && y >= 232 && y < 248 && (y - 232) % 2 == 0;
            EXPECT_EQ(screen[size_t(y) * 640 + size_t(x)],
                      inside ? movie_test::RecordingDecoder::kFill[3] : kUntouched)
                << x << "," << y;
        }
    }
}

struct SizeCase {
    const char* name;
    u32 flags;
    int firstW, firstH, secondW, secondH;
    bool firstTaken, secondTaken;
};

TEST(MovieVideo, FramesTheBuffersCannotTakeAreRefused) {
    const u32 client = MOVIE_PIXEL_DOUBLE | MOVIE_SCANLINES;
    const SizeCase cases[] = {
        {"same size", client, 320, 240, 320, 240, true, true},
        {"smaller second frame", client, 320, 240, 100, 100, true, true},
        {"wider second frame", client, 160, 120, 161, 120, true, false},
        {"taller second frame", client, 160, 120, 160, 121, true, false},
        {"too wide for the screen as pairs", client, 321, 240, 10, 10, false, true},
        {"too tall for the screen on scan lines", client, 320, 241, 10, 10, false, true},
        {"640 single pixels on single lines", 0, 640, 480, 640, 480, true, true},
        {"empty frame", 0, 0, 10, 10, 10, false, true},
        {"negative size", 0, -5, 10, 10, 10, false, true},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenMovie m({}, c.flags);
        std::vector<movie_test::RecordingDecoder::Seen> seen;
        movie_test::InstallRecordingDecoders(*m.ctx, &seen);
        InitMovieVideo(*m.ctx);
        const auto first = movie_test::FramePayload(c.firstW, c.firstH);
        const auto second = movie_test::FramePayload(c.secondW, c.secondH);
        EXPECT_EQ(DecodeFrame(*m.ctx, VideoSlot{first.data(), u32(first.size()), 0, 3}),
                  c.firstTaken);
        EXPECT_EQ(DecodeFrame(*m.ctx, VideoSlot{second.data(), u32(second.size()), 1, 3}),
                  c.secondTaken);
    }
}

TEST(MovieVideo, MemoryTargetBuffersAreCheckedAndSwapped) {
    std::vector<u8> a(16 * 8 * 2), b(16 * 8 * 2);
    OpenMovie m({}, MOVIE_MEMORY_TARGET);
    m.control.targetBuffer = a.data();
    m.control.referenceBuffer = b.data();
    m.control.memoryBufferBytes = a.size();
    std::vector<movie_test::RecordingDecoder::Seen> seen;
    movie_test::InstallRecordingDecoders(*m.ctx, &seen);
    InitMovieVideo(*m.ctx);
    const auto fits = movie_test::FramePayload(16, 8);
    ASSERT_TRUE(DecodeFrame(*m.ctx, VideoSlot{fits.data(), u32(fits.size()), 0, 4}));
    EXPECT_EQ(a[0] | a[1] << 8, movie_test::RecordingDecoder::kFill[4]);
    SwapFrameSurfaces(*m.ctx);
    EXPECT_EQ(m.control.targetBuffer, b.data());
    ASSERT_TRUE(DecodeFrame(*m.ctx, VideoSlot{fits.data(), u32(fits.size()), 1, 3}));
    EXPECT_EQ(b[0] | b[1] << 8, movie_test::RecordingDecoder::kFill[3]);
    // Buffers too small for the first frame: nothing is decoded.
    OpenMovie small({}, MOVIE_MEMORY_TARGET);
    small.control.targetBuffer = a.data();
    small.control.referenceBuffer = b.data();
    small.control.memoryBufferBytes = a.size();
    movie_test::InstallRecordingDecoders(*small.ctx, &seen);
    InitMovieVideo(*small.ctx);
    const auto big = movie_test::FramePayload(16, 9);
    EXPECT_FALSE(DecodeFrame(*small.ctx, VideoSlot{big.data(), u32(big.size()), 0, 3}));
}

}  // namespace
