// The registry's player grid: players filed where they are, across cells, as they move.
#include <gtest/gtest.h>

#include <algorithm>

#include "server/world/player_registry.h"
#include "tests/server/player/player_walk_support.h"

namespace {

class PlayerGridTest : public WalkWorldTest {
protected:
    void SetUp() override {
        WalkWorldTest::SetUp();
        // Four cells of the player grid each way.
        ASSERT_EQ(g_sectorGrid.Build(0, 0, 256, 256), 0);
    }
    static std::vector<u32> Near(const Location& at, int radius) {
        std::vector<CPlayer*> found;
        GetPlayerRegistry().CollectInRange(found, at, radius);
        std::vector<u32> serials;
        for (CPlayer* p : found)
            serials.push_back(p->GetSerial());
        std::sort(serials.begin(), serials.end());
        return serials;
    }
};

TEST_F(PlayerGridTest, PlayersAreFoundWhereTheyAreAcrossCellsAndGoWithThem) {
    CPlayer* walker = NewPlayer(63, 100, 0, 2);  // the last column of the first cell
    CPlayer* still = NewPlayer(70, 100);
    EXPECT_EQ(Near(Location(64, 100, 0), 1), Serials({walker}));
    ASSERT_EQ(walker->WalkRequest(2, 0), 1);  // into the next cell
    EXPECT_EQ(walker->GetLocation(), Location(64, 100, 0));
    EXPECT_EQ(Near(Location(65, 100, 0), 1), Serials({walker}));
    EXPECT_EQ(Near(Location(62, 100, 0), 1), std::vector<u32>{});
    EXPECT_EQ(Near(Location(67, 100, 0), 3), Serials({walker, still}));

    // Moved by the mobiles' own step (an NPC-like move of a player) within one sector cell.
    ASSERT_EQ(still->MoveInDirection(6, -128), 1);
    EXPECT_EQ(Near(Location(69, 100, 0), 0), Serials({still}));

    // Out of the world: not found; back in: found again; destroyed: gone from the grid.
    walker->RemoveFromWorld();
    EXPECT_EQ(Near(Location(64, 100, 0), 0), std::vector<u32>{});
    walker->PlaceInWorld(Location(128, 128, 0));
    EXPECT_EQ(Near(Location(128, 128, 0), 0), Serials({walker}));
    players.erase(std::find(players.begin(), players.end(), walker));
    Destroy(walker);
    EXPECT_EQ(Near(Location(128, 128, 0), 0), std::vector<u32>{});
}

TEST_F(PlayerGridTest, TheGridFollowsTheSectorGridWhenItIsBuiltAnew) {
    CPlayer* p = NewPlayer(200, 200);
    EXPECT_EQ(Near(Location(200, 200, 0), 0), Serials({p}));
    ASSERT_EQ(g_sectorGrid.Build(0, 0, 512, 512), 0);
    EXPECT_EQ(Near(Location(200, 200, 0), 0), Serials({p})) << "filed again in the new grid";

    // With the world's corner off the 8-tile raster a step inside one sector cell can cross
    // into another cell of the player grid; the player is filed there all the same.
    ASSERT_EQ(g_sectorGrid.Build(4, 0, 256, 256), 0);
    CPlayer* walker = NewPlayer(63, 100, 0, 2);
    ASSERT_EQ(g_sectorGrid.CellIndexOf(Location(63, 100, 0)),
              g_sectorGrid.CellIndexOf(Location(64, 100, 0)));
    ASSERT_EQ(walker->MoveInDirection(2, -128), 1);
    EXPECT_EQ(Near(Location(64, 100, 0), 0), Serials({walker}));
    ASSERT_EQ(walker->WalkRequest(2, 0), 1);  // and back and forth by the player's own walk
    for (int i = 0; i < 3; ++i)               // a turn, then two steps west
        ASSERT_EQ(walker->WalkRequest(6, 0), 1);
    EXPECT_EQ(walker->GetLocation(), Location(63, 100, 0));
    EXPECT_EQ(Near(Location(63, 100, 0), 0), Serials({walker}));
}

}  // namespace
