// The world view drawn from the generated island: incremental redraws through the ring equal a
// full redraw of the same state, and golden frames pin the town, the hills, the level cut and
// the death fade in both pixel formats.
#include <gtest/gtest.h>

#include <vector>

#include "client/world/world_view_frame.h"
#include "golden_frame.h"
#include "tests/client/world/world_view_scene.h"

namespace {

class WorldViewRenderTest : public WorldViewScene {
protected:
    // A street of the town with four items: a doubled stack, a translucent one, a hued one and
    // one whose greys alone take the hue.
    void BuildTownStreet() {
        // In front of the first house's door.
        const Location door = Places().houseDoor;
        const Location town{s16(door.x + 2), s16(door.y + 3), door.z};
        CentreOn(town.x, town.y, town.z);
        const std::vector<int> g = SmallStaticGraphics(4);
        ASSERT_EQ(g.size(), 4u);
        AddStaticFlags(g[0], kClientTileStackable);
        AddStaticFlags(g[1], 0x8);
        AddStaticFlags(g[3], kClientTilePartialHue);
        PlaceItem(0x40000001, g[0], town.x + 1, town.y, town.z, 0, 5);    // doubled
        PlaceItem(0x40000002, g[1], town.x, town.y + 1, town.z);          // translucent
        PlaceItem(0x40000003, g[2], town.x + 1, town.y + 1, town.z, 38);  // hued
        PlaceItem(0x40000004, g[3], town.x - 1, town.y + 2, town.z, 90);  // greys hued
    }
    std::vector<u16> Frame() {
        RefreshDirtyRects();
        return Unrolled();
    }
};

TEST_F(WorldViewRenderTest, ScrolledAndMovedRedrawsEqualAFullRedraw) {
    BuildTownStreet();
    const Location town = Places().townSquare;
    RefreshDirtyRects();
    ASSERT_EQ(std::count(screen.begin(), screen.end(), kUnpainted), 0) << "land covers the view";
    CClientItem* mover = PlaceItem(0x40000010, SmallStaticGraphics(1)[0], town.x, town.y, town.z);
    // A frame: scrolls of the picture (the player's steps), then the item moves, then the
    // refresh.
    struct Frame {
        std::vector<std::pair<int, int>> scrolls;
        int itemDx = 0, itemDy = 0;
    };
    std::vector<Frame> frames = {
        {{{-44, 0}}, 1, 0},     {{{-22, -22}}, 0, 1},   {{{22, 11}}, 0, 0},   {{{0, 0}}, -2, -1},
        {{{3, -7}}, 0, 0},      {{{-300, -200}}, 1, 1}, {{{300, 200}}, 0, 0}, {{{640, 0}}, 0, 0},
        {{{-640, 0}}, 0, 0},    {{{0, -480}}, 0, 0},    {{{0, 480}}, 0, 0},   {{{700, 500}}, 0, 0},
        {{{-700, -500}}, 3, 0}, {{{22, 0}}, 0, 0},      {{{1, 1}}, -1, 0},    {{{-1, -481}}, 0, 0},
        {{{0, 481}}, 0, -1},    {{{-5, 3}}, 0, 0},      {{{-22, 11}}, -1, 0}, {{{44, 22}}, 0, 0},
    };
    // Then a seeded series of frames of one to three small scrolls each, held near the town.
    u32 seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<u32>(n));
    };
    int awayX = 0, awayY = 0;
    for (int i = 0; i < 40; ++i) {
        Frame f;
        for (int k = next(3); k >= 0; --k) {
            int dx = next(61) - 30, dy = next(61) - 30;
            if ((awayX + dx > 120 && dx > 0) || (awayX + dx < -120 && dx < 0)) dx = -dx;
            if ((awayY + dy > 90 && dy > 0) || (awayY + dy < -90 && dy < 0)) dy = -dy;
            awayX += dx;
            awayY += dy;
            f.scrolls.push_back({dx, dy});
        }
        if (next(3) == 0) {
            f.itemDx = next(3) - 1;
            f.itemDy = next(3) - 1;
        }
        frames.push_back(f);
    }
    int frame = 0, compared = 0;
    for (const Frame& f : frames) {
        for (const auto& [dx, dy] : f.scrolls) {
            // The player's step: the picture moves, the view's corner the other way.
            ViewScrollX -= dx;
            ViewScrollY -= dy;
            ScrollWorldView(dx, dy);
        }
        if (f.itemDx != 0 || f.itemDy != 0) {
            mover->RemoveFromCell();
            mover->loc.x = s16(mover->loc.x + f.itemDx);
            mover->loc.y = s16(mover->loc.y + f.itemDy);
            mover->PlaceInCell();
        }
        RefreshDirtyRects();
        const std::vector<u16> full = FullRedraw();
        // A view scrolled past the land window keeps old pixels where nothing lies; compare the
        // states whose every pixel is drawn.
        ++frame;
        if (std::count(full.begin(), full.end(), kUnpainted) != 0) continue;
        ++compared;
        const std::vector<u16> shown = Unrolled();
        size_t differing = 0;
        for (size_t i = 0; i < full.size(); ++i)
            differing += full[i] != shown[i];
        EXPECT_EQ(differing, 0u) << "after frame " << frame << ", ring " << RingOffset;
    }
    EXPECT_GE(compared, 50);
}

TEST_F(WorldViewRenderTest, TownStreetGolden) {
    BuildTownStreet();
    const std::vector<u16> frame = Frame();
    EXPECT_TRUE(MatchesGolden("world_town_street", frame.data(), 640, 480));
}

TEST_F(WorldViewRenderTest, HillyLandGolden) {
    // The steepest ground of the island.
    CentreOn(558, 930, 5);
    const std::vector<u16> frame = Frame();
    EXPECT_TRUE(MatchesGolden("world_hilly_land", frame.data(), 640, 480));
}

TEST_F(WorldViewRenderTest, LevelCutGolden) {
    // Seventeen below the steep shore's ground: the ground above the player's head is cut away.
    CentreOn(558, 930, 5);
    int ground = 0;
    for (CDisplayObject* o = CellHead(558, 930); o; o = o->cellNext)
        if (o->IsLand()) ground = o->loc.z;
    CentreOn(558, 930, ground - 17);
    ASSERT_TRUE(TheLevels().cutOn);
    ASSERT_EQ(TheLevels().cutLevel, ground - 1);
    ASSERT_TRUE(TheLevels().cutOn);
    const std::vector<u16> frame = Frame();
    EXPECT_TRUE(MatchesGolden("world_level_cut", frame.data(), 640, 480));
}

TEST_F(WorldViewRenderTest, DeathFadeGoldens) {
    for (bool use565 : {false, true}) {
        SetPixelFormat565(use565);
        BuildTownStreet();
        RefreshDirtyRects();
        int done = 0;
        for (int steps : {1, 16, 31}) {
            for (; done < steps; ++done)
                DarkenScreenOneStep(screen.data(), kWorldViewPixels, use565);
            const std::vector<u16> frame = Unrolled();
            const std::string name =
                "world_fade_" + std::to_string(steps) + (use565 ? "_565" : "_555");
            if (use565)
                EXPECT_TRUE(MatchesGolden565(name, frame.data(), 640, 480));
            else
                EXPECT_TRUE(MatchesGolden(name, frame.data(), 640, 480));
        }
        ResetWorld();
        ResetDirtyRects();
    }
}

}  // namespace
