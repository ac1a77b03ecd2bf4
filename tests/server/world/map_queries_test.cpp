#include "server/world/map_queries.h"

#include <gtest/gtest.h>

#include "platform/random.h"
#include "server/world/world_data_files.h"
#include "tools/content_builder/map_files.h"
#include "world_test_support.h"

namespace {

// A small world written with the content builder's writers and read back by the loaders.
class MapQueryTest : public WorldTest {
protected:
    static constexpr int kSize = 32;

    void SetUp() override {
        WorldTest::SetUp();
        ASSERT_EQ(g_sectorGrid.Build(0, 0, kSize, kSize), 0);
        terrain = TerrainGrid(0, 0, kSize, kSize, kGrass, 0);
    }
    void TearDown() override {
        ReleaseStatics();
        WorldTest::TearDown();
    }
    void ReleaseStatics() {
        for (int n = 0; n < g_sectorGrid.GetCellCount(); ++n) {
            while (CStaticObject* s = g_sectorGrid.GetCell(n)->statics)
                s->Release();
        }
    }
    // Writes the terrain and statics and loads them into the grid.
    void Load() {
        ASSERT_EQ(LoadTerrain(WriteMapFile(terrain)), 0);
        std::vector<u8> index, data;
        WriteStaticsFiles(terrain, statics, index, data);
        ReleaseStatics();
        LoadStatics(index, data);
    }
    void Corners(int x, int y, int nw, int ne, int se, int sw) {
        terrain.At(x, y).z = static_cast<s8>(nw);
        terrain.At(x + 1, y).z = static_cast<s8>(ne);
        terrain.At(x + 1, y + 1).z = static_cast<s8>(se);
        terrain.At(x, y + 1).z = static_cast<s8>(sw);
    }
    void Static(int graphic, int x, int y, int z) {
        statics.push_back({static_cast<u16>(graphic), x, y, static_cast<s8>(z), 0});
    }

    TerrainGrid terrain;
    std::vector<StaticEntry> statics;
    CWorldMap& map = g_worldMap;
};

TEST_F(MapQueryTest, ElevationFromTheFourCorners) {
    Corners(4, 4, 0, 10, 20, 10);
    Corners(8, 8, 0, 0, 9, 1);
    Corners(12, 12, 5, 5, 5, 5);
    Corners(16, 16, 0, 10, 0, 10);    // a tie takes the a-c diagonal
    Corners(20, 20, -3, -10, 0, 10);  // halves are floored
    terrain.At(31, 31).z = 7;
    Load();
    struct Case {
        int x, y, elevation, lowest;
    } cases[] = {
        {4, 4, 10, 0},     {8, 8, 0, 0},   {12, 12, 5, 5}, {16, 16, 0, 0},
        {20, 20, -2, -10}, {31, 31, 7, 7},  // (x+1, y+1) off the grid: its own corner
        {-1, 5, 0, 0},     {40, 5, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(map.GetElevation(c.x, c.y), c.elevation) << c.x << "," << c.y;
        EXPECT_EQ(map.GetLowestCornerZ(c.x, c.y), c.lowest) << c.x << "," << c.y;
    }
    // The terrain surface of the 0/10/20/10 tile: z 0, height 10.
    std::vector<MapSurface> surfaces;
    map.CollectSurfaces(surfaces, Location(4, 4, 0), 0, nullptr, 0);
    ASSERT_EQ(surfaces.size(), 1u);
    EXPECT_EQ(surfaces[0].z, 0);
    EXPECT_EQ(surfaces[0].height, 10);
    EXPECT_EQ(surfaces[0].flags, 0x640u);
    // Towards a direction: diagonals take a corner, straight directions the edge's middle.
    struct Towards {
        int direction, z;
    } towards[] = {{0, 5}, {1, 10}, {2, 15}, {3, 20}, {4, 15}, {5, 10}, {6, 5}, {7, 0}};
    for (const Towards& t : towards) {
        EXPECT_EQ(map.GetTerrainZTowards(Location(4, 4, 0), t.direction), t.z) << t.direction;
    }
    const int* corners = map.GetCornerHeights(4, 4);
    EXPECT_EQ(corners[0], 0);
    EXPECT_EQ(corners[2], 20);
    EXPECT_EQ(map.GetTerrainTileAt(4, 4), kGrass);
    EXPECT_EQ(map.GetTerrainTileAt(-4, 4), 0);
}

TEST_F(MapQueryTest, CanExistAtAnswersBlockedOrTheSurfacesThere) {
    Static(kLowWall, 5, 5, 9);  // its bottom at 9: in the way of something 10 tall at z 0
    Static(kLowWall, 6, 6, 10);
    Static(kTable, 7, 7, 0);
    Load();
    struct Case {
        int x, y, z, height;
        int answer;
    } cases[] = {
        {5, 5, 0, 10, 0}, {6, 6, 0, 10, 7},  // on the ground (top 0 == z): 1 + 4 + 2
        {6, 6, 5, 10, 0}, {7, 7, 6, 10, 7},  // on the table top
        {7, 7, 0, 10, 0},                    // inside the table
        {8, 8, 3, 10, 5},                    // above the ground: a surface, but not standing on it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(map.CanExistAt(Location(c.x, c.y, c.z), c.height, 0, nullptr, 0), c.answer)
            << c.x << "," << c.y << " z" << c.z;
    }
    // Water is a surface for swimmers only; walkers find nothing to stand on.
    terrain.At(10, 10).tile = kWater;
    Load();
    EXPECT_EQ(map.CanExistAt(Location(10, 10, 0), 10, 3, nullptr, 0), 7);
    EXPECT_EQ(map.CanExistAt(Location(10, 10, 0), 10, 0, nullptr, 0), 1);
    EXPECT_EQ(map.FindGoodZ(Location(10, 10, 0), -128, 128, 10, 0, nullptr, 0), kNoZ);
}

TEST_F(MapQueryTest, FindGoodZPicksTheNearestStandingPlaceThatFits) {
    Static(kTable, 3, 3, 0);        // stand on top at 6
    Static(kWall, 4, 4, 5);         // a gap of 5 under it
    Static(kBridgePart, 5, 5, 10);  // a bridge whose top counts at 12
    Static(kLowWall, 6, 6, 30);     // a ceiling at 30
    Load();
    struct Case {
        int x, y, z, low, high, height, type;
        int expected;
    } cases[] = {
        {3, 3, 0, -128, 128, 10, 1, 6},     {3, 3, 20, -128, 128, 10, 1, 6},
        {4, 4, 0, -128, 128, 10, 1, kNoZ},   // the only gap (under the wall) is too short
        {4, 4, 0, -128, 128, 5, 1, 0},       // ... for something of height 10, not 5
        {5, 5, 11, -128, 128, 6, 1, 12},     // the bridge
        {5, 5, 0, -128, 128, 6, 1, 0},       // the ground below the bridge
        {6, 6, 10, -128, 128, 10, 2, 10},    // flying: stays at its z under the ceiling
        {6, 6, 25, -128, 128, 10, 2, 20},    // flying too high: just under the ceiling
        {6, 6, 10, -128, 128, 10, 1, 0},     // walking: the ground
        {40, 4, 0, -128, 128, 10, 1, kNoZ},  // off the grid
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            map.FindGoodZ(Location(c.x, c.y, c.z), c.low, c.high, c.height, c.type, nullptr, 0),
            c.expected)
            << c.x << "," << c.y << " z" << c.z << " type " << c.type;
    }
    int z = 0;
    Location drop(3, 3, 50);
    EXPECT_TRUE(map.DropCheck(drop, z, 1));
    EXPECT_EQ(z, 6);
    Location off(-3, 3, 0);
    EXPECT_FALSE(map.DropCheck(off, z, 1));
    // The floor under a flyer: the highest top at or below its z.
    EXPECT_EQ(map.GetFloorZ(Location(3, 3, 10)), 6);
    EXPECT_EQ(map.GetFloorZ(Location(5, 5, 20)), 12);
    EXPECT_EQ(map.GetFloorZ(Location(8, 8, 20)), 0);
}

TEST_F(MapQueryTest, SpotsNearAPlace) {
    for (int x = 9; x <= 11; ++x) {
        for (int y = 9; y <= 11; ++y)
            Static(kWall, x, y, 0);
    }
    Static(kWall, 20, 20, 0);
    Load();
    platform::SeedRandom(5);
    Location at(15, 15, 0);
    EXPECT_TRUE(map.FindGoodSpotNear(at, 0, 3, 10, 1, nullptr));
    EXPECT_TRUE(at == Location(15, 15, 0));  // the start itself when it fits
    Location walled(10, 10, 0);
    EXPECT_FALSE(map.FindGoodSpotNear(walled, 0, 1, 10, 1, nullptr));          // walls all round
    EXPECT_EQ(std::max(std::abs(walled.x - 10), std::abs(walled.y - 10)), 1);  // the last tried
    Location low(10, 10, 0);
    ASSERT_TRUE(map.FindGoodSpotNearWithElev(low, -128, 5, 0, 3, 10, 1, nullptr));
    EXPECT_EQ(std::max(std::abs(low.x - 10), std::abs(low.y - 10)), 2);
    EXPECT_EQ(low.z, 0);
    Location nowhere(20, 20, 0);
    EXPECT_FALSE(map.FindGoodSpotNearWithElev(nowhere, -128, 5, 0, 0, 10, 1, nullptr));
    Location off(-10, 5, 0);
    EXPECT_FALSE(map.FindGoodSpotNear(off, 0, 2, 10, 1, nullptr));
    // A random spot in a rectangle stays inside it and fits.
    for (int i = 0; i < 20; ++i) {
        Location spot;
        ASSERT_EQ(map.FindRandomSpotInRect(spot, Location(2, 2, 0), Location(12, 12, 0), 64, 10, 1,
                                           nullptr, nullptr),
                  1);
        EXPECT_TRUE(spot.x >= 2 && spot.x <= 12 && spot.y >= 2 && spot.y <= 12);
        EXPECT_EQ(spot.z, 0);
        EXPECT_FALSE(spot.x >= 9 && spot.x <= 11 && spot.y >= 9 && spot.y <= 11);
    }
    Location spot;
    EXPECT_EQ(map.FindRandomSpotInRect(spot, Location(2, 2, 0), Location(40, 2, 0), 64, 10, 1,
                                       nullptr, nullptr),
              0);
}

TEST_F(MapQueryTest, LineOfSight) {
    Static(kWall, 10, 5, 0);          // a wall across the middle of row 5
    Static(kWindow, 10, 8, 0);        // a window: sight passes, missiles do not
    Corners(10, 12, 40, 40, 40, 40);  // a hill in row 12
    terrain.At(10, 14).tile = kRock;  // rock blocks sight whatever its height
    Static(kWall, 3, 24, 0);          // in the path of one of the two rays only
    Static(kPlainItem, 11, 18, 0);    // nothing that blocks
    Load();
    CItem* door = PlacedItem(10, 20, 0, kDoorGraphic);
    struct Case {
        const char* name;
        Location from, to;
        SightBlockers blockers;
        int clear;
    } cases[] = {
        {"open ground", Location(5, 3, 0), Location(15, 3, 0), kSightWalls, 1},
        {"wall", Location(5, 5, 5), Location(15, 5, 5), kSightWalls, 0},
        {"over the wall", Location(5, 5, 30), Location(15, 5, 30), kSightWalls, 1},
        {"window, sight", Location(5, 8, 5), Location(15, 8, 5), kSightWalls, 1},
        {"window, missiles", Location(5, 8, 5), Location(15, 8, 5), kSightImpassable, 0},
        {"terrain only", Location(5, 5, 5), Location(15, 5, 5), kSightTerrainOnly, 1},
        {"over the hill", Location(5, 12, 50), Location(15, 12, 50), kSightWalls, 1},
        {"into the hill", Location(5, 12, 5), Location(10, 12, 5), kSightWalls, 0},
        {"rock", Location(5, 14, 5), Location(15, 14, 5), kSightTerrainOnly, 0},
        {"one ray passes", Location(2, 24, 5), Location(8, 27, 5), kSightWalls, 1},
        {"closed door", Location(5, 20, 5), Location(15, 20, 5), kSightWalls, 0},
        {"same tile 15 apart", Location(10, 5, 1), Location(10, 5, 16), kSightWalls, 1},
        {"same tile 16 apart", Location(10, 5, 1), Location(10, 5, 17), kSightWalls, 0},
        {"neighbours 16 apart", Location(9, 5, 1), Location(10, 5, 17), kSightWalls, 0},
        {"neighbours, clear", Location(4, 4, 1), Location(5, 4, 17), kSightWalls, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(map.HasLineOfSight(c.from, c.to, c.blockers), c.clear) << c.name;
    }
    // With the other ray's tile blocked too, nothing passes.
    Static(kWall, 3, 25, 0);
    Load();
    EXPECT_FALSE(map.HasLineOfSight(Location(2, 24, 5), Location(8, 27, 5), kSightWalls));
    // The door opens (it shows its next graphic) and sight passes.
    door->SetStatus(kStatusShowsNextGraphic);
    EXPECT_TRUE(map.HasLineOfSight(Location(5, 20, 5), Location(15, 20, 5), kSightWalls));
    EXPECT_EQ(map.FindDoorAt(Location(10, 20, 0), -5, 5), door);
    EXPECT_EQ(map.FindDoorAt(Location(10, 20, 0), 1, 5), nullptr);
    EXPECT_EQ(map.FindDoorAt(Location(-1, 20, 0), -5, 5), nullptr);
    // Between objects, each raised by half its height.
    CItem* a = PlacedItem(5, 5, 0, kWall);
    CItem* b = PlacedItem(15, 5, 0, kWall);
    EXPECT_FALSE(ItemCanSee(*a, *b, kSightWalls));
    EXPECT_EQ(CWorldMap::Distance3D(Location(0, 0, 0), Location(3, 1, 44)), 4);
    EXPECT_EQ(CWorldMap::Distance3D(Location(0, 0, 0), Location(3, 1, 21)), 3);
}

TEST_F(MapQueryTest, ReStandingAnObjectAndTheStandRange) {
    Static(kTable, 3, 3, 0);
    Load();
    CItem* item = PlacedItem(3, 3, 9);
    int z = 0;
    EXPECT_TRUE(map.SettleObjectZ(item, z, item->GetHeight()));
    EXPECT_EQ(z, 6);
    EXPECT_TRUE(item->GetLocation() == Location(3, 3, 9));  // put back where it was
    EXPECT_FALSE(map.IsSettling());
    int low = 0, high = 0;
    map.GetStandRange(low, high, Location(3, 3, 9), 0, 1, nullptr, StandTerrain::kElevation);
    EXPECT_EQ(low, 6);  // the table's top is below: low rises to it
    EXPECT_EQ(high, 9);
}

TEST_F(MapQueryTest, CollectingObjectsAtATile) {
    Load();
    CItem* a = PlacedItem(4, 4, 0);
    CItem* b = PlacedItem(4, 4, 10);
    PlacedItem(5, 4, 0);
    std::vector<CItem*> out;
    EXPECT_EQ(map.CollectObjectsAt(4, 4, 0, 5, out, nullptr), 1);
    EXPECT_EQ(out, (std::vector<CItem*>{a}));
    out.clear();
    EXPECT_EQ(map.CollectObjectsAt(4, 4, -128, 128, out, [&](CItem* i) { return i == b ? 1 : 0; }),
              1);
    EXPECT_EQ(out, (std::vector<CItem*>{b}));
    EXPECT_EQ(map.CollectObjectsAt(99, 4, -128, 128, out, nullptr), 0);
    EXPECT_FALSE(map.IsInvalidTerrainAt(Location(4, 4, 0)));
}

}  // namespace
