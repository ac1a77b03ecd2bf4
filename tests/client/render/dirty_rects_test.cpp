// The dirty-rectangle list and the ring: seam splits, the disjoint pieces, the 257th piece,
// scrolling, and the requests a running death fade drops.
#include "client/render/dirty_rects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "client/world/land_objects.h"
#include "client/world/world_view_frame.h"

// Beside ScreenRect, so that the comparisons below find them; internal to this file.
static bool operator==(const ScreenRect& a, const ScreenRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static std::ostream& operator<<(std::ostream& os, const ScreenRect& r) {
    return os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

std::vector<ScreenRect> Listed() {
    std::vector<ScreenRect> out;
    for (int i = 0; i < DirtyRectCount(); ++i)
        out.push_back(DirtyRectAt(i));
    return out;
}

class DirtyRectsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetDirtyRects(); }
    void TearDown() override {
        ResetDirtyRects();
        DeathFadeStep = 0;
    }
};

TEST_F(DirtyRectsTest, RectanglesAreSplitAtTheSeam) {
    struct Case {
        s32 ring;
        ScreenRect r;
        std::vector<ScreenRect> pieces;
    } cases[] = {
        {0, {400, 370, 500, 390}, {{400, 370, 500, 390}}},
        // Seam at 640 * 379 + 440: the seam row is cut inside the rectangle.
        {640 * 100 + 200,
         {400, 370, 500, 390},
         {{400, 370, 440, 380}, {440, 370, 500, 379}, {440, 379, 500, 390}, {400, 380, 440, 390}}},
        // The seam column at or right of the rectangle: cut below the seam row.
        {640 * 100 + 200, {100, 370, 440, 390}, {{100, 370, 440, 380}, {100, 380, 440, 390}}},
        // The seam column at or left of it: cut at the seam row.
        {640 * 100 + 200, {440, 370, 600, 390}, {{440, 370, 600, 379}, {440, 379, 600, 390}}},
        // Clamped to the screen first; wholly off the screen adds nothing.
        {0, {-10, -10, 5, 5}, {{0, 0, 5, 5}}},
        {0, {640, 0, 700, 10}, {}},
        {0, {0, -20, 10, 0}, {}},
    };
    for (const Case& c : cases) {
        ResetDirtyRects();
        SetRingOffset(c.ring);
        AddDirtyRect(c.r);
        EXPECT_EQ(Listed(), c.pieces) << c.r << " ring " << c.ring;
    }
}

TEST_F(DirtyRectsTest, PiecesStayDisjoint) {
    struct Case {
        const char* what;
        std::vector<ScreenRect> before;
        ScreenRect r;
        std::vector<ScreenRect> added;
    } cases[] = {
        {"inside one", {{0, 0, 100, 100}}, {10, 10, 20, 20}, {}},
        {"the union of two", {{0, 0, 50, 100}, {50, 0, 100, 100}}, {0, 0, 100, 100}, {}},
        {"over the left half, taller",
         {{50, 20, 150, 40}},
         {0, 0, 100, 60},
         {{0, 20, 50, 40}, {0, 0, 100, 20}, {0, 40, 100, 60}}},
        {"around one",
         {{10, 10, 20, 20}},
         {0, 0, 30, 30},
         {{0, 10, 10, 20}, {20, 10, 30, 20}, {0, 0, 30, 10}, {0, 20, 30, 30}}},
        {"empty", {}, {5, 5, 5, 9}, {}},
    };
    for (const Case& c : cases) {
        ResetDirtyRects();
        for (const ScreenRect& r : c.before)
            AddDirtyRect(r);
        AddDirtyRect(c.r);
        std::vector<ScreenRect> want = c.before;
        want.insert(want.end(), c.added.begin(), c.added.end());
        EXPECT_EQ(Listed(), want) << c.what;
        // No pixel is listed twice.
        std::vector<int> cover(kWorldViewPixels, 0);
        for (const ScreenRect& r : Listed())
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    ASSERT_EQ(++cover[y * 640 + x], 1) << c.what << " " << x << "," << y;
    }
}

TEST_F(DirtyRectsTest, The257thPieceMarksTheWholeView) {
    for (int i = 0; i < kMaxDirtyRects; ++i)
        AddDirtyRect({(i % 64) * 10, (i / 64) * 10, (i % 64) * 10 + 5, (i / 64) * 10 + 5});
    ASSERT_EQ(DirtyRectCount(), kMaxDirtyRects);
    EXPECT_FALSE(FullRedrawPending);
    AddDirtyRect({0, 200, 5, 205});
    EXPECT_EQ(Listed(), (std::vector<ScreenRect>{{0, 0, 640, 480}}));
    EXPECT_TRUE(FullRedrawPending);
    AddDirtyRect({0, 300, 5, 305});
    ScrollWorldView(-22, -11);
    EXPECT_EQ(Listed(), (std::vector<ScreenRect>{{0, 0, 640, 480}})) << "ignored until refreshed";
    EXPECT_EQ(RingOffset, 0);
    RefreshDirtyRects();  // no screen buffer: nothing drawn, the list emptied
    EXPECT_EQ(DirtyRectCount(), 0);
    EXPECT_FALSE(FullRedrawPending);
}

TEST_F(DirtyRectsTest, ScrollingMovesTheRingAndAddsTheExposedStrips) {
    struct Case {
        int dx, dy;
        std::vector<ScreenRect> strips;
    } cases[] = {
        {-22, -11, {{618, 0, 640, 480}, {0, 469, 618, 480}}},
        {-22, 11, {{618, 0, 640, 480}, {0, 0, 618, 11}}},
        {-22, 0, {{618, 0, 640, 480}}},
        {22, -11, {{0, 0, 22, 480}, {22, 469, 640, 480}}},
        {22, 11, {{0, 0, 22, 480}, {22, 0, 640, 11}}},
        {22, 0, {{0, 0, 22, 480}}},
        {0, -11, {{0, 469, 640, 480}}},
        {0, 11, {{0, 0, 640, 11}}},
        {0, 0, {}},
    };
    for (const Case& c : cases) {
        ResetDirtyRects();
        SetRingOffset(1000);
        ScrollWorldView(c.dx, c.dy);
        // The strips may be split at the new seam; compare their union pixel by pixel.
        std::vector<int> want(kWorldViewPixels, 0), got(kWorldViewPixels, 0);
        for (const ScreenRect& r : c.strips)
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    want[y * 640 + x] = 1;
        for (const ScreenRect& r : Listed())
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    ++got[y * 640 + x];
        EXPECT_EQ(got, want) << c.dx << "," << c.dy;
        EXPECT_EQ(RingOffset, (1000 - (c.dy * 640 + c.dx) + kWorldViewPixels) % kWorldViewPixels)
            << c.dx << "," << c.dy;
        EXPECT_EQ(RingColumn, RingOffset % 640);
        EXPECT_EQ(RingRow, RingOffset / 640);
    }
    // What was listed moves with the picture (a piece moved off the screen is left empty);
    // the right strip crosses the new seam at row 468.
    ResetDirtyRects();
    AddDirtyRect({100, 100, 200, 200});
    AddDirtyRect({0, 0, 10, 10});
    ScrollWorldView(-22, -11);
    EXPECT_EQ(Listed(), (std::vector<ScreenRect>{{78, 89, 178, 189},
                                                 {0, 0, -12, -1},
                                                 {618, 0, 640, 468},
                                                 {618, 468, 640, 480},
                                                 {0, 469, 618, 480}}));
    EXPECT_EQ(RingOffset, 11 * 640 + 22);
}

TEST_F(DirtyRectsTest, TheRingStaysInsideTheBuffer) {
    struct Case {
        s32 start;
        int dx, dy;
        s32 ring;
    } cases[] = {
        {0, 0, -480, kWorldViewPixels},  // exactly a screen: kept, addresses like 0
        {0, -640, -480, 640},
        {0, 22, 11, kWorldViewPixels - 11 * 640 - 22},
        {kWorldViewPixels - 10, -20, 0, 10},
        {5, 0, -960, 5},  // two screens down
        {5, 100000, 100000,
         ((5 - 100000 * 641) % kWorldViewPixels + kWorldViewPixels) % kWorldViewPixels},
    };
    for (const Case& c : cases) {
        ResetDirtyRects();
        SetRingOffset(c.start);
        MoveRing(c.dx, c.dy);
        EXPECT_EQ(RingOffset, c.ring) << c.start << " by " << c.dx << "," << c.dy;
        EXPECT_GE(RingOffset, 0);
        EXPECT_LE(RingOffset, kWorldViewPixels);
    }
}

// Under the level cut a piece is painted black before anything else, which shows where a
// refresh writes: exactly the buffer pixels of the rectangle through the ring, whatever seam
// it crosses.
TEST_F(DirtyRectsTest, ARefreshWritesTheRectangleThroughTheRing) {
    std::vector<u16> screen(kWorldViewPixels);
    SetWorldViewScreen(screen.data());
    TheLevels().cutOn = 1;
    const s32 rings[] = {0, 1000, 640 * 100 + 200, 640 * 479 + 639, kWorldViewPixels};
    const ScreenRect rects[] = {{400, 370, 500, 390},
                                {0, 0, 640, 480},
                                {630, 0, 640, 480},
                                {-5, 470, 9, 500},
                                {100, 100, 101, 101}};
    for (s32 ring : rings)
        for (const ScreenRect& r : rects) {
            ResetDirtyRects();
            SetRingOffset(ring);
            std::fill(screen.begin(), screen.end(), u16{0x7FFF});
            AddDirtyRect(r);
            RefreshDirtyRects();
            for (s32 p = 0; p < kWorldViewPixels; ++p) {
                const int x = p % 640, y = p / 640;
                const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                ASSERT_EQ(screen[(p + ring) % kWorldViewPixels], inside ? 0 : 0x7FFF)
                    << "ring " << ring << " rect " << r << " pixel " << x << "," << y;
            }
        }
    TheLevels() = LevelRecord{};
    SetWorldViewScreen(nullptr);
}

// The running client's world hooks (none installed) hand the world model's requests to the
// renderer.
TEST_F(DirtyRectsTest, TheRunningClientsWorldHooksReachTheRenderer) {
    WorldHooks* old = SetWorldHooks(nullptr);
    std::vector<u16> screen(kWorldViewPixels, 0x7FFF);
    SetWorldViewScreen(screen.data());
    TheWorldHooks().InvalidateRect({10, 20, 30, 40});
    EXPECT_EQ(Listed(), (std::vector<ScreenRect>{{10, 20, 30, 40}}));
    TheWorldHooks().ScrollWorldView(5, 0);
    EXPECT_EQ(RingOffset, kWorldViewPixels - 5);
    TheWorldHooks().ClearScreenBuffer();
    EXPECT_EQ(std::count(screen.begin(), screen.end(), 0), kWorldViewPixels);
    TheWorldHooks().InvalidateWorldView();
    EXPECT_TRUE(FullRedrawPending);
    SetWorldViewScreen(nullptr);
    SetWorldHooks(old);
}

TEST_F(DirtyRectsTest, AFadeDropsEveryRequest) {
    AddDirtyRect({1, 1, 2, 2});
    DeathFadeStep = 3;
    AddDirtyRect({10, 10, 20, 20});
    InvalidateWorldView();
    EXPECT_EQ(Listed(), (std::vector<ScreenRect>{{1, 1, 2, 2}}));
    EXPECT_FALSE(FullRedrawPending);
    DeathFadeStep = 0;
    SetRingOffset(500);
    InvalidateWorldView();
    EXPECT_EQ(Listed(), (std::vector<ScreenRect>{{0, 0, 640, 480}}));
    EXPECT_EQ(RingOffset, 0);
    EXPECT_TRUE(FullRedrawPending);
}

}  // namespace
