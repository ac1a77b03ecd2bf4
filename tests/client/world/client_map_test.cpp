#include "client/world/client_map.h"

#include <gtest/gtest.h>

#include "client/data/data_file_cache.h"
#include "tests/client/app/client_test_env.h"
#include "tests/client/world/installed_world_fixture.h"

namespace {

TEST(ClientDistanceTest, WrapsOnTheSurfaceOnly) {
    struct Case {
        int x1, y1, x2, y2, distance;
    } cases[] = {
        {5119, 10, 0, 10, 1},      {5119, 10, 5120, 10, 9999}, {5200, 10, 5300, 40, 100},
        {10, 4095, 10, 0, 1},      {0, 0, 2560, 0, 2560},      {0, 0, 2561, 3, 2559},
        {6000, 10, 5121, 10, 879},
    };
    for (const Case& c : cases) {
        const ClientLocation a{s16(c.x1), s16(c.y1), 0}, b{s16(c.x2), s16(c.y2), 0};
        EXPECT_EQ(ClientDistance(a, b), c.distance) << c.x1 << "," << c.y1 << " " << c.x2;
    }
}

TEST(StaticsEntryHueTest, HuesPastTheTableGetNoRecolour) {
    struct Case {
        u16 in, out;
    } cases[] = {{0, 0}, {1, 1}, {3000, 3000}, {3001, 0}, {0xFFFF, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(StaticsEntryHue(c.in), c.out) << c.in;
}

class ClientMapTest : public InstalledWorldFixture {
protected:
    void SetUp() override {
        InstalledWorldFixture::SetUp();
        TheClientTileData().LoadTileData(env_->InstallDir() + "tiledata.mul");
    }
    // The map file's own answer for a cell, read without the map window.
    static int RawTile(int x, int y) {
        const u8* b = TheDataCache().GetIndexEntry(kFileMap, (x >> 3) * 512 + (y >> 3));
        const u8* c = b + 4 + (y & 7) * 24 + (x & 7) * 3;
        return c[0] | (c[1] << 8);
    }
    static int LandCount() {
        int n = 0;
        for (CDisplayObject* head : TheCellGrid().heads) {
            for (CDisplayObject* o = head; o; o = o->cellNext)
                n += o->IsLand() ? 1 : 0;
        }
        return n;
    }
    static CDisplayObject* LandAt(int x, int y) {
        for (CDisplayObject* o = CellHead(x, y); o; o = o->cellNext) {
            if (o->IsLand() && o->loc.x == x && o->loc.y == y) return o;
        }
        return nullptr;
    }
    // The centre of the first statics block with several statics (the town).
    static ClientLocation Town() {
        for (int c = 0; c < 768; ++c) {
            for (int r = 0; r < 512; ++r) {
                s32 length = 0;
                TheDataCache().GetRecord(kFileStaticsIndex, kFileStatics, c * 512 + r, &length,
                                         nullptr);
                if (length >= 7 * 8) return ClientLocation{s16(c * 8 + 4), s16(r * 8 + 4), 0};
            }
        }
        return ClientLocation{512, 512, 0};
    }
};

TEST_F(ClientMapTest, TerrainQueriesAndOffMapAnswers) {
    CClientMap& map = TheClientMap();
    EXPECT_EQ(map.GetLandTile(512, 512), RawTile(512, 512));
    struct Case {
        int x, y;
    } off[] = {{6144, 0}, {-1, 5}, {5, -1}, {5, 4096}};
    for (const Case& c : off) {
        EXPECT_EQ(map.GetLandTile(c.x, c.y), 0x8001);
        const s8* corners = map.GetCornerHeights(c.x, c.y);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(corners[i], 0) << c.x << "," << c.y;
    }
    // The last column: its east corners lie past the world's edge.
    const s8* edge = map.GetCornerHeights(6143, 10);
    EXPECT_EQ(edge[1], 0);
    EXPECT_EQ(edge[2], 0);
    const s8* c = map.GetCornerHeights(512, 512);
    EXPECT_EQ(c[0], map.GetCellZ(512, 512));
    EXPECT_EQ(c[2], map.GetCellZ(513, 513));
    EXPECT_EQ(map.GetCellZ(-1, 5), map.GetCellZ(6143, 5));
}

TEST_F(ClientMapTest, RefreshViewFillsLandAndStaticsOfTheWindow) {
    const ClientLocation town = Town();
    MakePlayer()->PlaceInWorld(town);
    CClientMap& map = TheClientMap();
    map.Recenter(town.x, town.y, 0, 0);
    EXPECT_EQ(LandCount(), 37 * 37);
    EXPECT_EQ(map.windowBx, (town.x - 18) >> 3);
    CDisplayObject* land = LandAt(town.x + 8, town.y - 12);
    ASSERT_NE(land, nullptr);
    const int tile = land->IsTexturedLand() ? static_cast<TexturedLandTile*>(land)->landGraphic
                                            : static_cast<LandTile*>(land)->landGraphic;
    EXPECT_EQ(tile, RawTile(town.x + 8, town.y - 12) & 0x7FFF);
    auto countStatics = [] {
        int n = 0;
        for (CClientObject* o = TheClientWorld().allHead; o; o = o->allNext) {
            n += o->IsServerObject() ? 0 : 1;
        }
        return n;
    };
    auto expectedStatics = [&] {
        int n = 0;
        for (int c = map.windowBx; c < map.windowBx + 6; ++c) {
            for (int r = map.windowBy; r < map.windowBy + 6; ++r) {
                s32 length = 0;
                TheDataCache().GetRecord(kFileStaticsIndex, kFileStatics, c * 512 + r, &length,
                                         nullptr);
                n += length / 7;
            }
        }
        return n;
    };
    EXPECT_GT(expectedStatics(), 0);
    EXPECT_EQ(countStatics(), expectedStatics());
    // Steps east until the window moves a block: statics of the block left behind go, each
    // block is loaded once, and the land stays one object per cell of the window.
    for (int i = 0; i < 8; ++i)
        map.Move(1, 0, 0);
    EXPECT_EQ(map.windowBx, (town.x + 8 - 18) >> 3);
    EXPECT_EQ(countStatics(), expectedStatics());
    EXPECT_NE(LandAt(town.x + 8 + 18, town.y), nullptr);
    for (int y = map.centreY - 18; y <= map.centreY + 18; ++y) {
        for (int x = map.centreX - 18; x <= map.centreX + 18; ++x) {
            ASSERT_NE(LandAt(x, y), nullptr) << x << "," << y;
        }
    }
}

TEST_F(ClientMapTest, TheWindowReachesPastTheWestEdgeWithWrappedTiles) {
    MakePlayer()->PlaceInWorld(ClientLocation{10, 10, 0});
    TheClientMap().Recenter(10, 10, 0, 0);
    CDisplayObject* land = LandAt(-8, 10);
    ASSERT_NE(land, nullptr);
    const int tile = land->IsTexturedLand() ? static_cast<TexturedLandTile*>(land)->landGraphic
                                            : static_cast<LandTile*>(land)->landGraphic;
    EXPECT_EQ(tile, RawTile(5112, 10) & 0x7FFF);
    EXPECT_EQ(land->loc.x, -8);
    // An item sent at x 5110 near the west edge is stored at -10; in the dungeon no wrap.
    CClientObject* item = TheClientWorld().UpdateObject(0x40000001, 10, 0, 1, 5118, 10, 0, 0, 0, 0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->loc.x, -2);
    // Far from the player it leaves the view at once.
    EXPECT_EQ(TheClientWorld().UpdateObject(0x40000002, 10, 0, 1, 5110, 10, 0, 0, 0, 0), nullptr);
}

TEST_F(ClientMapTest, MovingOverTheEastEdgeShiftsEveryObject) {
    CClientMap& map = TheClientMap();
    map.playerOutOfWorld = true;  // no refresh: only the shift is watched
    map.centreX = 5119;
    map.centreY = 100;
    RecentreCellGrid(5119, 100);
    CClientObject* o = CClientObject::AllocateStatic(5);
    o->PlaceInWorld(ClientLocation{5119, 100, 0});
    const int column = o->CellColumn();
    map.Move(1, 0, 0);
    EXPECT_EQ(map.centreX, 0);
    EXPECT_EQ(o->loc.x, -1);
    EXPECT_EQ(o->CellColumn(), column);
    map.centreX = 5200;
    map.Move(-1, 0, 0);
    EXPECT_EQ(map.centreX, 5199);
    EXPECT_EQ(o->loc.x, -1);
}

TEST_F(ClientMapTest, TheLevelCutFollowsTheCentreUnderTheLand) {
    CClientMap& map = TheClientMap();
    const ClientLocation town = Town();
    MakePlayer()->PlaceInWorld(town);
    map.Recenter(town.x, town.y, 0, 0);
    const int h = LandAt(town.x, town.y)->loc.z;
    map.Recenter(town.x, town.y, h - 20, 0);
    EXPECT_EQ(TheLevels().cutOn, 1);
    EXPECT_EQ(TheLevels().cutLevel, h - 4);
    EXPECT_EQ(std::count(hooks.calls.begin(), hooks.calls.end(), "ClearScreenBuffer"), 1);
    map.Recenter(town.x, town.y, h, 0);
    EXPECT_EQ(TheLevels().cutOn, 0);
}

TEST_F(ClientMapTest, LineOfSightOneCellApartAlwaysHolds) {
    SetStatic(50, 0x40, 20);
    CClientObject* wall = CClientObject::AllocateStatic(50);
    wall->PlaceInWorld(ClientLocation{11, 10, 0});
    CClientMap& map = TheClientMap();
    EXPECT_TRUE(map.LineOfSight(ClientLocation{10, 10, 5}, ClientLocation{11, 10, 5}, 0x40));
    EXPECT_FALSE(map.LineOfSight(ClientLocation{10, 10, 5}, ClientLocation{12, 10, 5}, 0x40));
    EXPECT_TRUE(map.LineOfSight(ClientLocation{10, 10, 25}, ClientLocation{12, 10, 25}, 0x40));
}

}  // namespace
