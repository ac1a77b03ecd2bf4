#include "client/world/cell_grid.h"

#include <gtest/gtest.h>

#include "tests/client/world/world_fixture.h"

namespace {

class CellGridTest : public WorldFixture {};

std::vector<CDisplayObject*> CellList(int x, int y) {
    std::vector<CDisplayObject*> out;
    for (CDisplayObject* o = CellHead(x, y); o; o = o->cellNext)
        out.push_back(o);
    return out;
}

// Recording hooks that give figures a fixed box reaching `below` pixels under the band start.
class TallFigureHooks : public WorldHooks {
public:
    bool FigureBox(const CClientContainer& f, ScreenRect& box) override {
        const int bandStart = f.rowKey * 22 + 20 - 4 * f.loc.z;
        box = {f.columnKey * 22 - 20, bandStart - 80, f.columnKey * 22 + 20, bandStart + below};
        return true;
    }
    int below = 0;
};

TEST_F(CellGridTest, KeysAndBoxOfAStaticWithoutArt) {
    CClientObject* o = CClientObject::AllocateStatic(5);
    o->loc.Set(100, 200, 10);
    o->PlaceInCell();
    EXPECT_EQ(o->columnKey, 6044);
    EXPECT_EQ(o->rowKey, 300);
    EXPECT_EQ(o->box.left, 132968);
    EXPECT_EQ(o->box.top, 6560);
    EXPECT_EQ(o->box.right, 133012);
    EXPECT_EQ(o->box.bottom, 6604);
    EXPECT_EQ(CellHead(100, 200), o);
    o->RemoveFromCell();
    o->Destroy();
}

TEST_F(CellGridTest, DepthKeysOrderACell) {
    SetStatic(40, 0x1);
    SetStatic(41, 0, 3);
    struct Case {
        const char* what;
        int depth;
    };
    CClientObject* low = CClientObject::AllocateStatic(40);   // flag 0x1, height 0
    CClientObject* tall = CClientObject::AllocateStatic(41);  // height 3
    CClientObject* flatA = CClientObject::AllocateStatic(5);
    CClientObject* flatB = CClientObject::AllocateStatic(5);
    LandTile* land = LandTile::Allocate(3, ClientLocation{4, 4, 10});
    for (CClientObject* o : {low, tall, flatA, flatB})
        o->loc.Set(4, 4, 10);
    tall->PlaceInCell();
    flatA->PlaceInCell();
    low->PlaceInCell();
    flatB->PlaceInCell();
    land->PlaceInCell();
    EXPECT_EQ(low->depthKey, 9);
    EXPECT_EQ(tall->depthKey, 11);
    EXPECT_EQ(land->depthKey, 8);
    // Land first; equal keys keep insertion order (the later drawn over the earlier).
    const std::vector<CDisplayObject*> want{land, low, flatA, flatB, tall};
    EXPECT_EQ(CellList(4, 4), want);
    land->Destroy();
    EXPECT_EQ(CellList(4, 4).size(), 4u);
    for (CClientObject* o : {low, tall, flatA, flatB}) {
        o->RemoveFromCell();
        o->Destroy();
    }
}

TEST(DiagonalOrderTest, HoldsTheViewsCellsInDrawingOrder) {
    const auto& order = DiagonalOrder();
    ASSERT_EQ(order.size(), 1857u);
    auto cell = [](int offset) { return std::make_pair(offset & 63, offset >> 6); };
    EXPECT_EQ(cell(order[0]), std::make_pair(1, 24));
    EXPECT_EQ(cell(order[1]), std::make_pair(2, 23));
    EXPECT_EQ(cell(order[2]), std::make_pair(3, 22));
    EXPECT_EQ(cell(order.back()), std::make_pair(63, 40));
    int lastSum = 0, lastColumn = -1;
    for (int offset : order) {
        const auto [c, r] = cell(offset);
        EXPECT_NE(std::make_pair(c, r), std::make_pair(0, 25));
        ASSERT_TRUE(c + r > lastSum || (c + r == lastSum && c > lastColumn));
        lastSum = c + r;
        lastColumn = c;
    }
}

TEST_F(CellGridTest, AMobileMidStepIsEnteredInTheCellOfItsDirection) {
    struct Case {
        int direction;
        int column, row;
    } cases[] = {{7, 11, 21}, {3, 10, 20}, {0, 10, 21}, {5, 11, 20}};
    for (const Case& c : cases) {
        CClientMobile m(0x100, 400, 0);
        m.loc.Set(10, 20, 0);
        m.direction = u8(c.direction);
        m.stepProgress = 2;
        m.PlaceInCell();
        EXPECT_EQ(m.CellColumn(), c.column & 63) << c.direction;
        EXPECT_EQ(m.CellRow(), c.row & 63) << c.direction;
        m.stepProgress = 0;
        m.PlaceInCell();
        EXPECT_EQ(m.CellColumn(), 10);
        EXPECT_EQ(m.CellRow(), 20);
        m.RemoveFromCell();
    }
}

TEST_F(CellGridTest, TallFiguresGetBandsOf44InTheCellsDiagonallyBelow) {
    TallFigureHooks tall;
    SetWorldHooks(&tall);
    struct Case {
        int body, below;
        std::vector<int> bands;
    } cases[] = {
        {200, 130, {44, 44, 42}},  // a creature
        {200, 100, {44, 44, 12}},
        {200, 0, {}},    // ends at its band start: no slice
        {400, 130, {}},  // humans are never cut into bands
    };
    for (const Case& c : cases) {
        tall.below = c.below;
        CClientMobile m(0x200, c.body, 0);
        m.loc.Set(30, 30, 0);
        m.PlaceInCell();
        std::vector<int> heights;
        std::vector<CSpriteSlice*> slices;
        for (CSpriteSlice* s = m.firstSlice; s; s = s->nextSlice)
            slices.insert(slices.begin(), s);
        for (size_t i = 0; i < slices.size(); ++i) {
            CSpriteSlice* s = slices[i];
            heights.push_back(s->bandBottom - s->bandTop);
            EXPECT_EQ(s->CellColumn(), (m.CellColumn() + int(i) + 1) & 63);
            EXPECT_EQ(s->CellRow(), (m.CellRow() + int(i) + 1) & 63);
            EXPECT_TRUE(s->inCell);
        }
        EXPECT_EQ(heights, c.bands) << c.body << " " << c.below;
        m.RemoveFromCell();
        EXPECT_EQ(m.firstSlice, nullptr);
    }
    SetWorldHooks(&hooks);
}

TEST_F(CellGridTest, SlicesHideWithTheirOwnerAndDeletingThemKeepsTheOwnersChain) {
    TallFigureHooks tall;
    tall.below = 130;
    SetWorldHooks(&tall);
    CClientMobile m(0x300, 200, 0);
    m.loc.Set(5, 5, 0);
    m.PlaceInCell();
    ASSERT_NE(m.firstSlice, nullptr);
    for (CSpriteSlice* s = m.firstSlice; s; s = s->nextSlice)
        EXPECT_FALSE(s->IsHidden());
    TheLevels().roofLevel = 0;  // the figure stands under the roof cut
    ASSERT_TRUE(m.IsHidden());
    for (CSpriteSlice* s = m.firstSlice; s; s = s->nextSlice)
        EXPECT_TRUE(s->IsHidden());
    TheLevels().roofLevel = 127;
    CSpriteSlice* first = m.firstSlice;
    CSpriteSlice* middle = first->nextSlice;
    delete middle;
    EXPECT_EQ(m.firstSlice, first);
    EXPECT_EQ(first->nextSlice->prevSlice, first);
    delete first;
    ASSERT_NE(m.firstSlice, nullptr);
    EXPECT_EQ(m.firstSlice->prevSlice, nullptr);
    EXPECT_EQ(m.firstSlice->nextSlice, nullptr);
    m.RemoveFromCell();
    SetWorldHooks(&hooks);
}

TEST_F(CellGridTest, RecentringSweepsWhatLeavesTheWindow) {
    struct Case {
        int fromX, fromY, toX, toY;
        int cells;
    } cases[] = {
        {-1, -1, 100, 100, 4096},    // the first recentring sweeps everything
        {100, 100, 101, 100, 64},    // one cell east: one column
        {100, 100, 101, 101, 128},   // south-east: one column and one row
        {100, 100, 100, 99, 64},     // north: one row
        {5119, 100, 0, 100, 64},     // over the east edge: one column, not all
        {0, 100, 5119, 100, 64},     // and back west
        {100, 4095, 100, 0, 64},     // over the south edge
        {100, 100, 300, 100, 4096},  // a jump
    };
    for (const Case& c : cases) {
        InitCellGrid();
        if (c.fromX >= 0) RecentreCellGrid(c.fromX, c.fromY);
        TheSweepCounts() = SweepCounts{};
        RecentreCellGrid(c.toX, c.toY);
        EXPECT_EQ(TheSweepCounts().cells, c.cells)
            << c.fromX << "," << c.fromY << " -> " << c.toX << "," << c.toY;
        EXPECT_EQ(TheCellGrid().cornerColumn, (c.toX - 32) & 63);
    }
}

TEST_F(CellGridTest, SweepsDestroyServerObjectsButKeepThePlayerAndStatics) {
    CClientPlayer* player = MakePlayer();
    player->PlaceInWorld(ClientLocation{10, 10, 0});
    CClientObject* item = TheClientWorld().UpdateObject(0x40000001, 10, 0, 1, 10, 10, 0, 0, 0, 0);
    CClientObject* statik = CClientObject::AllocateStatic(5);
    statik->PlaceInWorld(ClientLocation{10, 10, 0});
    ASSERT_NE(item, nullptr);
    const int views = hooks.wholeViewInvalidations;
    SweepCell(10, 10);
    EXPECT_EQ(TheClientWorld().FindBySerial(0x40000001), nullptr);
    EXPECT_TRUE(player->inCell);
    EXPECT_TRUE(statik->inCell);
    EXPECT_GT(hooks.wholeViewInvalidations, views);
}

TEST_F(CellGridTest, WalksSurviveADestroyThatTakesOtherObjectsOfTheCell) {
    TallFigureHooks tall;
    tall.below = 130;
    SetWorldHooks(&tall);
    MakePlayer();
    RecentreCellGrid(20, 20);
    // A creature whose second band lies in the same cell as an item: destroying the
    // creature while visiting the item's cell removes a slice the walk would visit next.
    CClientObject* m = TheClientWorld().UpdateObject(0x22, 200, 0, 0, 8, 8, 0, 0, 0, 0);
    ASSERT_NE(m, nullptr);
    CClientObject* item = TheClientWorld().UpdateObject(0x40000031, 10, 0, 1, 9, 9, 0, 0, 0, 0);
    ASSERT_NE(item, nullptr);
    int visited = 0;
    CClientObject* victim = m;
    ASSERT_EQ(CellHead(9, 9), item);
    ASSERT_NE(item->cellNext, nullptr);
    ASSERT_TRUE(item->cellNext->IsSpriteSlice());
    WalkCellsInDrawOrder([&](CDisplayObject& o) {
        ++visited;
        if (&o == item && victim) {
            victim->Destroy();  // its slices leave this and later cells
            victim = nullptr;
        }
    });
    EXPECT_EQ(victim, nullptr);
    EXPECT_GT(visited, 1);
    // A sweep of the cell holding the item and a slice, by itself destroying both.
    CClientObject* m2 = TheClientWorld().UpdateObject(0x23, 200, 0, 0, 8, 8, 0, 0, 0, 0);
    ASSERT_NE(m2, nullptr);
    SweepCell(9, 9);
    SweepCell(8, 8);
    EXPECT_EQ(TheClientWorld().FindBySerial(0x23), nullptr);
    SetWorldHooks(&hooks);
}

}  // namespace

namespace {

class VisibilityTest : public WorldFixture {};

TEST_F(VisibilityTest, TheLevelCutAndRoofLevelHideByHeight) {
    CClientPlayer* p = MakePlayer();
    p->PlaceInWorld(ClientLocation{3, 3, 0});
    SetStatic(90, 0x10000000);  // a roof piece
    LandTile* high = LandTile::Allocate(3, ClientLocation{5, 5, 30});
    high->PlaceInCell();
    CClientObject* onHigh = CClientObject::AllocateStatic(5);
    onHigh->PlaceInWorld(ClientLocation{5, 5, 31});
    CClientObject* low = CClientObject::AllocateStatic(5);
    low->PlaceInWorld(ClientLocation{6, 6, 0});
    CClientObject* roof = CClientObject::AllocateStatic(90);
    roof->PlaceInWorld(ClientLocation{6, 7, 0});
    struct Case {
        int cutOn, cutLevel, roofLevel;
        bool highHidden, onHighHidden, lowHidden, roofHidden;
    } cases[] = {
        {0, 0, 127, false, false, false, false},
        {1, 16, 127, true, true, false, false},  // land above the cut and what stands on it
        {1, 40, 127, false, false, false, false},
        {0, 0, 20, false, true, false, true},  // a roof level hides every roof piece
    };
    for (const Case& c : cases) {
        TheLevels() = LevelRecord{c.cutOn, c.cutLevel, c.roofLevel, c.roofLevel};
        EXPECT_EQ(high->IsHidden(), c.highHidden) << c.cutLevel << " " << c.roofLevel;
        EXPECT_EQ(onHigh->IsHidden(), c.onHighHidden) << c.cutLevel << " " << c.roofLevel;
        EXPECT_EQ(low->IsHidden(), c.lowHidden) << c.cutLevel << " " << c.roofLevel;
        EXPECT_EQ(roof->IsHidden(), c.roofHidden) << c.cutLevel << " " << c.roofLevel;
        EXPECT_FALSE(p->IsHidden());
    }
    high->Destroy();
}

}  // namespace
