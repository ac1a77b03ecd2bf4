#include "server/world/sector_grid.h"

#include <gtest/gtest.h>

#include "world_test_support.h"

namespace {

class SectorGridTest : public WorldTest {};

TEST_F(SectorGridTest, CellIndexesRunColumnByColumnAndOffMapIsMinusOne) {
    CSectorGrid grid;
    ASSERT_EQ(grid.Build(100, 200, 32, 16), 0);  // 4 columns, 2 rows
    struct Case {
        int x, y, cell;
    } cases[] = {
        {100, 200, 0}, {107, 207, 0},  {100, 208, 1},  {108, 200, 2},  {131, 215, 7},
        {99, 200, -1}, {100, 199, -1}, {132, 200, -1}, {100, 216, -1}, {-32768, 200, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(grid.CellIndexAt(c.x, c.y), c.cell) << c.x << "," << c.y;
        EXPECT_EQ(grid.Contains(c.x, c.y), c.cell >= 0 ? 1 : 0);
    }
    int x = 0, y = 0;
    grid.CellCorner(5, x, y);
    EXPECT_EQ(x, 116);
    EXPECT_EQ(y, 208);
    EXPECT_EQ(grid.GetCell(8), nullptr);
    EXPECT_EQ(grid.GetCell(-1), nullptr);
    EXPECT_EQ(grid.TerrainAt(99, 200), nullptr);
    // Sizes that give no cells are refused.
    EXPECT_EQ(grid.Build(0, 0, 7, 64), -1);
    EXPECT_EQ(grid.Build(0, 0, 64, -8), -1);
    EXPECT_TRUE(CSectorGrid::IsInWorld(6143, 4095));
    EXPECT_FALSE(CSectorGrid::IsInWorld(6144, 0));
    EXPECT_FALSE(CSectorGrid::IsInWorld(0, -1));
}

TEST_F(SectorGridTest, CellsInRangeCoverTheSquareAndRespectTheCapacity) {
    struct Case {
        Location at;
        int radius;
        int capacity;
        std::vector<int> cells;
    } cases[] = {
        // Radius 2 around x = 1 starts at column -1, which is skipped.
        {Location(1, 1, 0), 2, 256, {0}},
        {Location(7, 7, 0), 1, 256, {0, 8, 1, 9}},  // rows outer, columns inner: j + k * rows
        {Location(63, 63, 0), 3, 256, {63}},
        {Location(-20, 4, 0), 3, 256, {}},
        {Location(7, 7, 0), 1, 3, {0, 8}},  // the -1 takes the last place
        {Location(7, 7, 0), 1, 1, {}},
    };
    for (const Case& c : cases) {
        std::vector<int> out(static_cast<size_t>(c.capacity) + 1, 99);
        const int n = g_sectorGrid.CellsInRange(c.at, c.radius, out.data(), c.capacity);
        std::vector<int> got(out.begin(), out.begin() + n);
        EXPECT_EQ(got, c.cells) << c.at.x << "," << c.at.y << " r" << c.radius;
        EXPECT_EQ(out[n], -1);
    }
    // A large radius lists the first 255 in loop order.
    std::vector<int> out(256);
    EXPECT_EQ(g_sectorGrid.CellsInRange(Location(32, 32, 0), 100, out.data(), 256), 64);
    CSectorGrid big;
    ASSERT_EQ(big.Build(0, 0, 256, 256), 0);
    EXPECT_EQ(big.CellsInRange(Location(128, 128, 0), 200, out.data(), 256), 255);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 32);  // next column of the first row
    EXPECT_EQ(out[255], -1);
}

TEST_F(SectorGridTest, ObjectsAtATileByHeight) {
    CItem* low = PlacedItem(5, 5, 0);
    CItem* mid = PlacedItem(5, 5, 10);
    CItem* high = PlacedItem(5, 5, 20);
    PlacedItem(6, 5, 10);
    struct Case {
        int mode;  // 0 any, 1 at or above, 2 at or below
        int z;
        std::vector<CItem*> found;  // chain order: newest first
    } cases[] = {
        {0, 99, {high, mid, low}},
        {1, 10, {high, mid}},
        {2, 10, {mid, low}},
        {1, 21, {}},
    };
    for (const Case& c : cases) {
        std::vector<CItem*> out;
        const Location at(5, 5, c.z);
        if (c.mode == 0) g_sectorGrid.CollectObjectsAt(out, at);
        if (c.mode == 1) g_sectorGrid.CollectObjectsAtOrAbove(out, at);
        if (c.mode == 2) g_sectorGrid.CollectObjectsAtOrBelow(out, at);
        EXPECT_EQ(out, c.found) << c.mode << " " << c.z;
    }
    std::vector<CItem*> out;
    g_sectorGrid.CollectObjectsAt(out, Location(-1, 5, 0));
    EXPECT_TRUE(out.empty());
}

// Range listeners: a mover passes the objects whose scripts listen for movement near them.
class RangeListenerTest : public WorldTest {
protected:
    CMobile* PlacedMobile(int x, int y) {
        CMobile* m = new CMobile;
        m->PlaceInWorld(Location(x, y, 0));
        return m;
    }
    CItem* Listener(int x, int y, std::vector<std::pair<int, int>> handlers) {
        CItem* item = NewItem();
        triggers.scripted.insert(item->GetSerial());
        triggers.handlers[item->GetSerial()] = std::move(handlers);
        item->PlaceInWorld(Location(x, y, 0));
        return item;
    }
};

TEST_F(RangeListenerTest, ListenersHearTheMoverAndCanRefuseIt) {
    CMobile* mover = PlacedMobile(20, 20);
    CItem* a = Listener(22, 20, {{kTriggerEnterRange, 5}, {kTriggerLeaveRange, 6}});
    CItem* b = Listener(23, 21, {{kTriggerEnterRange, 3}});
    Listener(40, 40, {{kTriggerEnterRange, 1}});  // too far from the cells around the mover
    const Location from(20, 20, 0), to(21, 20, 0);
    EXPECT_EQ(FireRangeTriggers(mover, from, to), 1);
    ASSERT_EQ(triggers.calls.size(), 3u);
    // Newest nodes first in a cell: b's, then a's (enter pushed before leave).
    EXPECT_EQ(triggers.calls[0].serial, b->GetSerial());
    EXPECT_EQ(triggers.calls[1].serial, a->GetSerial());
    EXPECT_EQ(triggers.calls[1].trigger, kTriggerLeaveRange);
    EXPECT_EQ(triggers.calls[1].args.value, 6);
    EXPECT_EQ(triggers.calls[2].trigger, kTriggerEnterRange);
    EXPECT_EQ(triggers.calls[2].args.serial, mover->GetSerial());
    EXPECT_TRUE(triggers.calls[2].args.a == from);
    EXPECT_TRUE(triggers.calls[2].args.b == to);

    // The first veto refuses the move and skips the rest.
    triggers.calls.clear();
    triggers.answers[{b->GetSerial(), kTriggerEnterRange}] = 0;
    EXPECT_EQ(FireRangeTriggers(mover, from, to), 0);
    EXPECT_EQ(triggers.calls.size(), 1u);
}

TEST_F(RangeListenerTest, DeletionsDuringTheTriggersAreSurvived) {
    CMobile* mover = PlacedMobile(20, 20);
    CItem* first = Listener(22, 20, {{kTriggerEnterRange, 5}});
    CItem* second = Listener(22, 21, {{kTriggerEnterRange, 5}});
    const u32 firstSerial = first->GetSerial();
    // The second listener's trigger (it runs first) deletes the first listener.
    triggers.onTrigger = [&](CItem* object, int trigger) {
        if (object == second && trigger == kTriggerEnterRange) {
            if (CItem* victim = g_objectManager.FindBySerial(firstSerial)) victim->DeleteSelf();
        }
    };
    EXPECT_EQ(FireRangeTriggers(mover, Location(20, 20, 0), Location(21, 20, 0)), 1);
    EXPECT_EQ(triggers.TriggersFor(firstSerial), (std::vector<int>{kTriggerDestroyed}));

    // A listener that deletes the mover ends the walk with 0.
    const u32 moverSerial = mover->GetSerial();
    triggers.calls.clear();
    triggers.onTrigger = [&](CItem* object, int trigger) {
        if (object == second && trigger == kTriggerEnterRange) {
            if (CItem* victim = g_objectManager.FindBySerial(moverSerial)) victim->DeleteSelf();
        }
    };
    CItem* third = Listener(21, 22, {{kTriggerEnterRange, 5}});
    (void)third;
    EXPECT_EQ(FireRangeTriggers(mover, Location(20, 20, 0), Location(21, 20, 0)), 0);
    EXPECT_EQ(g_objectManager.FindBySerial(moverSerial), nullptr);
}

TEST_F(RangeListenerTest, ListenerNodesFollowPlacementAndRemoval) {
    CMobile* mover = PlacedMobile(20, 20);
    CItem* a = Listener(22, 20, {{kTriggerEnterRange, 5}, {kTriggerEnterRange, 2}});
    auto count = [&](int x, int y) {
        int n = 0;
        for (RangeListener* node = g_sectorGrid.CellAt(x, y)->listeners; node; node = node->next) {
            n += node->object == a;
        }
        return n;
    };
    EXPECT_EQ(count(22, 20), 2);
    a->MoveTo(Location(50, 50, 0));
    EXPECT_EQ(count(22, 20), 0);
    EXPECT_EQ(count(50, 50), 2);
    EXPECT_EQ(FireRangeTriggers(mover, Location(20, 20, 0), Location(21, 20, 0)), 1);
    EXPECT_TRUE(triggers.calls.empty());
    // An object without scripts that is no mobile adds no nodes.
    CItem* plain = PlacedItem(20, 21, 0);
    for (RangeListener* node = g_sectorGrid.CellAt(20, 21)->listeners; node; node = node->next) {
        EXPECT_NE(node->object, plain);
    }
}

TEST_F(SectorGridTest, AStackOnADestroyedTableFallsTogether) {
    // A table at z 0 (height 6) with three items stacked on it.
    CItem* table = PlacedItem(12, 12, 0, kTable);
    CItem* a = PlacedItem(12, 12, 6);
    CItem* b = PlacedItem(12, 12, 7);
    CItem* c = PlacedItem(12, 12, 8);
    std::vector<u32> onTop;
    table->GetObjectsOnTop(onTop);
    EXPECT_EQ(onTop, (std::vector<u32>{a->GetSerial(), b->GetSerial(), c->GetSerial()}));
    table->DeleteSelf();
    g_sectorGrid.SettleObjects(onTop);
    EXPECT_EQ(a->GetLocation().z, 0);
    EXPECT_EQ(b->GetLocation().z, 1);
    EXPECT_EQ(c->GetLocation().z, 2);
}

}  // namespace

namespace {

TEST_F(SectorGridTest, TheSmallestRegionWithMusicOrSoundWinsACell) {
    const std::vector<AmbienceRegion> regions = {
        {0, 0, 64, 64, 5, 0, 0, 1},     // large, with music
        {8, 8, 8, 8, 7, 0, 0, 2},       // small, with music: wins its cells
        {0, 0, 16, 16, 0, 0, 33, 3},    // no music, no day sound: applied first
        {40, 40, 16, 16, 0, 9, 10, 4},  // middle-sized, with a day sound
    };
    g_sectorGrid.ApplyRegionAmbience(regions);
    auto cell = [](int x, int y) { return *g_sectorGrid.CellAt(x, y); };
    EXPECT_EQ(cell(9, 9).music, 7);
    EXPECT_EQ(cell(9, 9).light, 2);
    EXPECT_EQ(cell(0, 0).music, 5);  // the silent region came first and was painted over
    EXPECT_EQ(cell(0, 0).nightSound, 0);
    EXPECT_EQ(cell(45, 45).music, 0xFFFF);  // music 0 is stored as none
    EXPECT_EQ(cell(45, 45).daySound, 9);
    EXPECT_EQ(cell(30, 30).light, 1);
    // Both ends are included: x 8 + 8 reaches the cell of x 16.
    EXPECT_EQ(cell(16, 16).music, 7);
    // A region partly off the grid changes only the cells inside.
    g_sectorGrid.ApplyRegionAmbience({{-100, -100, 110, 110, 11, 0, 0, 0}});
    EXPECT_EQ(cell(0, 0).music, 11);
    EXPECT_EQ(cell(8, 8).music, 11);
    EXPECT_EQ(cell(24, 24).music, 5);
}

}  // namespace
