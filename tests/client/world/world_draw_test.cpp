// One dirty piece of the world view painted through the cell walk.
#include "client/world/world_draw.h"

#include <gtest/gtest.h>

#include <vector>

#include "client/data/back_buffer.h"
#include "client/render/land_draw.h"
#include "tests/client/world/installed_world_fixture.h"

namespace {

constexpr u16 kBackground = 0x1111;

class WorldDrawTest : public InstalledWorldFixture {
protected:
    std::vector<u16> screen = std::vector<u16>(kBackBufferWidth * kBackBufferHeight, kBackground);
    // Pixels of `screen` that differ from the background, inside and outside a rectangle.
    std::pair<int, int> Changed(const ScreenRect& r) const {
        int inside = 0, outside = 0;
        for (int y = 0; y < kBackBufferHeight; ++y)
            for (int x = 0; x < kBackBufferWidth; ++x)
                if (screen[y * kBackBufferWidth + x] != kBackground)
                    ++(x >= r.left && x < r.right && y >= r.top && y < r.bottom ? inside : outside);
        return {inside, outside};
    }
};

TEST_F(WorldDrawTest, UnderTheLevelCutThePieceStartsBlack) {
    TheLevels().cutOn = 1;
    const ScreenRect piece{630, 470, 700, 500};  // past the buffer's corner: cut to it
    DrawWorldRect(screen.data(), piece);
    EXPECT_EQ(Changed(piece), std::make_pair(10 * 10, 0));
    EXPECT_EQ(screen[479 * kBackBufferWidth + 639], 0);
}

// A land object meeting the piece is drawn clipped to it; one beside it is skipped.
TEST_F(WorldDrawTest, DrawsTheObjectsMeetingThePieceClippedToIt) {
    PlayerInStillWorld();
    RecentreCellGrid(10, 10);
    LandTile* tile = LandTile::Allocate(3, ClientLocation{10, 11, 0});
    tile->PlaceInCell();
    ViewScrollX = tile->box.left - 100;
    ViewScrollY = tile->box.top - 100;

    std::vector<u16> expected(screen.size(), kBackground);
    const ScreenRect piece{90, 90, 122, 160};
    ASSERT_TRUE(DrawLandTile(BlitTarget{expected.data(), kBackBufferWidth, kBackBufferHeight}, 3,
                             100, 100, ClipRect{90, 90, 122, 160}));

    DrawWorldRect(screen.data(), piece);
    // The player's figure stands in the same view; compare only the land's cells.
    for (int y = 0; y < kBackBufferHeight; ++y)
        for (int x = 0; x < kBackBufferWidth; ++x)
            if (expected[y * kBackBufferWidth + x] != kBackground) {
                ASSERT_EQ(screen[y * kBackBufferWidth + x], expected[y * kBackBufferWidth + x])
                    << x << "," << y;
            }
    EXPECT_EQ(Changed(piece).second, 0);

    std::fill(screen.begin(), screen.end(), kBackground);
    DrawWorldRect(screen.data(), ScreenRect{300, 300, 340, 340});
    EXPECT_EQ(Changed(ScreenRect{}).second, 0) << "nothing meets a piece far from the tile";
}

}  // namespace
