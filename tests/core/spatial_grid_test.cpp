#include "core/spatial_grid.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// Stands in for a mobile: a named point that answers its Chebyshev distance.
struct Thing {
    std::string name;
    int x, y;
    int DistanceTo(int qx, int qy) const { return ChebyshevDistanceXY(x, y, qx, qy); }
};

using Grid = SpatialGrid<Thing>;

std::vector<std::string> Names(const std::vector<Thing*>& things) {
    std::vector<std::string> out;
    for (const Thing* t : things)
        out.push_back(t->name);
    return out;
}

TEST(SpatialGrid, CellsAndIndexes) {
    struct Case {
        int x0, y0, x1, y1, shift;
        int columns, rows;
    };
    const Case shapes[] = {
        {0, 0, 1023, 1023, 6, 17, 17},      // a spare column and row
        {0, 0, 6143, 4095, 6, 97, 65},      // the whole map
        {100, 200, 299, 399, 5, 8, 8},      // an origin away from 0
        {-64, -64, 63, 63, 6, 3, 3},        // negative corner
        {0, 0, 0, 0, 0, 1, 1},              // one tile
        {0, 0, 1023, 1023, -1, 0, 0},       // bad shift: no cells
        {0, 0, 1023, 1023, 40, 0, 0},       // bad shift
        {10, 0, 9, 100, 3, 0, 0},           // empty rectangle
        {0, 0, INT_MAX, INT_MAX, 0, 0, 0},  // far too many cells
    };
    for (const Case& c : shapes) {
        Grid grid(c.x0, c.y0, c.x1, c.y1, c.shift);
        EXPECT_EQ(grid.GetColumns(), c.columns) << c.x1 << "/" << c.shift;
        EXPECT_EQ(grid.GetRows(), c.rows) << c.x1 << "/" << c.shift;
    }

    Grid grid(0, 0, 1023, 1023, 6);
    struct Point {
        int x, y, index;
    };
    const Point points[] = {
        {0, 0, 0},         {63, 0, 0},        {64, 0, 1},       {0, 64, 17},
        {1023, 1023, 270}, {1087, 1087, 288}, {1088, 0, -1},    {0, 1088, -1},
        {-1, 0, -1},       {0, -1, -1},       {INT_MAX, 0, -1}, {INT_MIN, INT_MIN, -1},
    };
    for (const Point& p : points) {
        EXPECT_EQ(grid.CellIndex(p.x, p.y), p.index) << p.x << "," << p.y;
        EXPECT_EQ(grid.Contains(p.x, p.y), p.index >= 0) << p.x << "," << p.y;
    }
    Grid offset(100, 200, 299, 399, 5);
    EXPECT_EQ(offset.CellIndex(96, 192), 0);  // the cell holding (100, 200) starts before it
    EXPECT_EQ(offset.CellIndex(95, 200), -1);
    EXPECT_EQ(offset.CellIndex(INT_MIN, 200), -1);
}

TEST(SpatialGrid, InsertOutsideTheGridIsRefused) {
    Grid grid(0, 0, 1023, 1023, 6);
    Thing t{"t", 0, 0};
    struct Case {
        int x, y;
        bool accepted;
    };
    const Case cases[] = {
        {0, 0, true},        {1023, 1023, true},  {1087, 0, true}, {0, 1087, true},
        {1088, 5, false},    {5, 1088, false},    {-1, 5, false},  {5, -64, false},
        {INT_MAX, 0, false}, {0, INT_MIN, false},
    };
    int expected = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(grid.Insert(&t, c.x, c.y), c.accepted) << c.x << "," << c.y;
        expected += c.accepted;
        EXPECT_EQ(grid.Remove(&t, c.x, c.y), c.accepted) << c.x << "," << c.y;
        EXPECT_EQ(grid.GetCount(), 0);
    }
    Grid none(0, 0, 100, 100, -3);  // a grid without cells refuses everything
    EXPECT_FALSE(none.Insert(&t, 0, 0));
    EXPECT_EQ(none.CountInRadius(0, 0, 1000), 0);
    none.AddToCellsInRect(&t, 0, 0, 100, 100);
    EXPECT_EQ(none.GetCell(0), nullptr);
    EXPECT_EQ(grid.GetCell(-1), nullptr);
    EXPECT_EQ(grid.GetCell(289), nullptr);
}

TEST(SpatialGrid, MoveAndRemove) {
    Grid grid(0, 0, 1023, 1023, 6);
    Thing a{"a", 10, 10};
    Thing b{"b", 12, 10};
    grid.Insert(&a, a.x, a.y);
    grid.Insert(&b, b.x, b.y);
    grid.Insert(&a, a.x, a.y);  // twice: stored twice
    EXPECT_EQ(grid.GetCount(), 3);
    EXPECT_EQ(grid.CountInRadius(10, 10, 5), 3);

    // Coordinates of another cell leave the entry in place.
    EXPECT_FALSE(grid.Remove(&a, 100, 10));
    EXPECT_EQ(grid.GetCount(), 3);
    EXPECT_TRUE(grid.Remove(&a, 10, 10));  // the first copy only
    EXPECT_EQ(grid.GetCount(), 2);
    std::vector<Thing*> found;
    grid.CollectInRadius(found, 10, 10, 5);
    EXPECT_EQ(Names(found), (std::vector<std::string>{"b", "a"}));

    // A move: removed at the old place, inserted at the new one.
    EXPECT_TRUE(grid.Remove(&a, a.x, a.y));
    a.x = 500;
    a.y = 700;
    EXPECT_TRUE(grid.Insert(&a, a.x, a.y));
    EXPECT_EQ(grid.CountInRadius(10, 10, 5), 1);
    EXPECT_EQ(grid.CountInRadius(500, 700, 0), 1);
    EXPECT_TRUE(grid.Remove(&b, b.x, b.y));
    EXPECT_FALSE(grid.Remove(&b, b.x, b.y));
    EXPECT_EQ(grid.GetCount(), 1);
}

TEST(SpatialGrid, RadiusQueriesAtEdges) {
    Grid grid(0, 0, 1023, 1023, 6);
    Thing things[] = {
        {"corner", 0, 0},      {"edge", 0, 500},     {"near", 5, 505},      {"far", 40, 500},
        {"crossing", 64, 500}, {"last", 1023, 1023}, {"spare", 1030, 1023},
    };
    for (Thing& t : things)
        ASSERT_TRUE(grid.Insert(&t, t.x, t.y)) << t.name;
    struct Case {
        const char* name;
        int x, y, radius;
        std::vector<std::string> found;  // in row-major cell order, then insertion order
    };
    const Case cases[] = {
        {"exactly at radius", 0, 500, 5, {"edge", "near"}},
        {"one short", 0, 500, 4, {"edge"}},
        {"across a cell border", 40, 500, 24, {"far", "crossing"}},
        {"rows before columns", 30, 500, 40, {"edge", "near", "far", "crossing"}},
        {"centre left of the grid", -5, 500, 10, {"edge", "near"}},
        {"centre far left of the grid", -100, 500, 10, {}},
        {"centre below the corner", 0, -3, 3, {"corner"}},
        {"centre past the far corner", 1040, 1040, 17, {"last", "spare"}},
        {"centre wholly outside", 5000, 5000, 10, {}},
        {"negative radius", 0, 0, -1, {}},
    };
    for (const Case& c : cases) {
        std::vector<Thing*> found;
        grid.CollectInRadius(found, c.x, c.y, c.radius);
        EXPECT_EQ(Names(found), c.found) << c.name;
        EXPECT_EQ(grid.CountInRadius(c.x, c.y, c.radius), static_cast<int>(c.found.size()))
            << c.name;
    }
    std::vector<Thing*> found;
    grid.CollectInRadiusExcept(found, 0, 500, 5, &things[1]);
    EXPECT_EQ(Names(found), (std::vector<std::string>{"near"}));
    found.clear();
    grid.CollectInRadius(found, INT_MAX, INT_MIN, INT_MAX);  // no overflow at the extremes
    EXPECT_EQ(found.size(), 0u);
}

TEST(SpatialGrid, PartitionAroundAMove) {
    Grid grid(0, 0, 1023, 1023, 6);
    Thing things[] = {
        {"both", 105, 100},    {"before", 90, 100}, {"after", 122, 100},
        {"neither", 140, 140}, {"mover", 100, 100},
    };
    for (Thing& t : things)
        grid.Insert(&t, t.x, t.y);
    struct Case {
        const char* name;
        int x1, y1, x2, y2, radius;
        std::vector<std::string> both, firstOnly, secondOnly;
    };
    const Case cases[] = {
        {"step east", 100, 100, 112, 100, 10, {"both"}, {"before", "mover"}, {"after"}},
        {"no move", 100, 100, 100, 100, 10, {"both", "before", "mover"}, {}, {}},
        {"long jump", 100, 100, 140, 135, 5, {}, {"both", "mover"}, {"neither"}},
    };
    for (const Case& c : cases) {
        std::vector<Thing*> both, firstOnly, secondOnly;
        grid.PartitionAroundExcept(both, firstOnly, secondOnly, c.x1, c.y1, c.x2, c.y2, c.radius,
                                   nullptr);
        EXPECT_EQ(Names(both), c.both) << c.name;
        EXPECT_EQ(Names(firstOnly), c.firstOnly) << c.name;
        EXPECT_EQ(Names(secondOnly), c.secondOnly) << c.name;
    }
    std::vector<Thing*> both, firstOnly, secondOnly;
    grid.PartitionAroundExcept(both, firstOnly, secondOnly, 100, 100, 112, 100, 10, &things[4]);
    EXPECT_EQ(Names(firstOnly), (std::vector<std::string>{"before"}));
    both.clear();
    firstOnly.clear();
    secondOnly.clear();
    grid.PartitionAround(both, firstOnly, secondOnly, 100, 100, 100, 100, 10);
    EXPECT_EQ(both.size(), 3u);
    EXPECT_TRUE(firstOnly.empty());
    EXPECT_TRUE(secondOnly.empty());
}

TEST(SpatialGrid, RectangleCoversItsCellsClamped) {
    using RegionGrid = SpatialGrid<Thing, std::vector<Thing*>>;
    RegionGrid grid(0, 0, 6143, 4095, 6);
    ASSERT_EQ(grid.GetColumns(), 97);
    Thing region{"r", 0, 0};
    struct Case {
        const char* name;
        int x1, y1, x2, y2;
        std::vector<int> cells;
    };
    const Case cases[] = {
        {"inside", 60, 60, 130, 70, {0, 1, 2, 97, 98, 99}},
        {"one tile", 64, 64, 64, 64, {98}},
        {"over the low corner", -500, -500, 10, 10, {0}},
        {"over the high corner", 6200, 4150, 9000, 9000, {64 * 97 + 96}},
        {"wholly outside", 7000, 7000, 8000, 8000, {}},
        {"reversed", 130, 70, 60, 60, {}},
    };
    for (const Case& c : cases) {
        RegionGrid g(0, 0, 6143, 4095, 6);
        g.AddToCellsInRect(&region, c.x1, c.y1, c.x2, c.y2);
        std::vector<int> cells;
        for (int i = 0; i < g.GetColumns() * g.GetRows(); ++i) {
            if (!g.GetCell(i)->empty()) cells.push_back(i);
        }
        EXPECT_EQ(cells, c.cells) << c.name;
    }
    // A vector-celled grid takes single entries too.
    EXPECT_TRUE(grid.Insert(&region, 6143, 4095));
    EXPECT_TRUE(grid.Remove(&region, 6143, 4095));
}

}  // namespace
