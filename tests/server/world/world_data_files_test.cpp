#include "server/world/world_data_files.h"

#include <gtest/gtest.h>

#include "core/loop_state.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_tables.h"
#include "server/world/resource_type.h"
#include "tools/content_builder/map_files.h"
#include "world_test_support.h"

namespace {

class WorldDataFilesTest : public WorldTest {
protected:
    // A reader over an in-memory set of files.
    DataFileReader Reader() {
        return [this](const std::string& path, std::vector<u8>& out) {
            auto it = files.find(path);
            if (it == files.end()) return false;
            out = it->second;
            return true;
        };
    }
    void ReleaseStatics() {
        for (int n = 0; n < g_sectorGrid.GetCellCount(); ++n) {
            while (CStaticObject* s = g_sectorGrid.GetCell(n)->statics)
                s->Release();
        }
    }
    // The tile data and a flat 64 x 64 map at z 3: the files a load cannot do without.
    void AddRequiredFiles() {
        TileSet tiles;
        files["../.rundir/tiledata.mul"] = WriteTileDataFile(tiles);
        TerrainGrid terrain(0, 0, 64, 64, kGrass, 3);
        files["../.rundir/Demo/map0.mul"] = WriteMapFile(terrain);
    }
    void TearDown() override {
        ReleaseStatics();
        WorldTest::TearDown();
    }
    std::map<std::string, std::vector<u8>> files;
};

TEST_F(WorldDataFilesTest, BlocksRunDownEachColumnOfCells) {
    ASSERT_EQ(g_sectorGrid.Build(0, 0, 16, 16), 0);
    TerrainGrid terrain(0, 0, 16, 16, 0, 0);
    // Mark each block by the tile number of its corner cell.
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            terrain.At(x, y).tile = static_cast<u16>(1000 + x * 100 + y);
    }
    terrain.At(13, 10).z = -7;
    const std::vector<u8> bytes = WriteMapFile(terrain);
    ASSERT_EQ(bytes.size(), 4u * 196);
    // Blocks in the order of their corners (0,0), (0,8), (8,0), (8,8).
    const int corners[4][2] = {{0, 0}, {0, 8}, {8, 0}, {8, 8}};
    for (int b = 0; b < 4; ++b) {
        const u8* first = bytes.data() + b * 196 + 4;
        EXPECT_EQ(first[0] | (first[1] << 8), 1000 + corners[b][0] * 100 + corners[b][1]) << b;
    }
    // (13, 10) is cell 5 of row 2 of block 1 * rows + 1 = 3.
    const u8* cell = bytes.data() + 3 * 196 + 4 + (2 * 8 + 5) * 3;
    EXPECT_EQ(cell[0] | (cell[1] << 8), 1000 + 1300 + 10);
    EXPECT_EQ(static_cast<s8>(cell[2]), -7);
    ASSERT_EQ(LoadTerrain(bytes), 0);
    EXPECT_EQ(g_sectorGrid.TerrainAt(13, 10)->tile, 2310);
    EXPECT_EQ(g_sectorGrid.TerrainAt(13, 10)->z, -7);
    EXPECT_EQ(g_sectorGrid.TerrainAt(0, 15)->tile, 1015);
}

TEST_F(WorldDataFilesTest, ATerrainCellIsFoundByTheLowBitsOfItsCoordinates) {
    // Inside a block the entry of tile (x, y) is (y & 7) * 8 + (x & 7), also when the world's
    // corner is not a multiple of 8.
    const int corners[][2] = {{0, 0}, {4, 3}, {8, 16}, {5, 0}, {0, 7}};
    for (const auto& corner : corners) {
        const int x0 = corner[0];
        const int y0 = corner[1];
        ASSERT_EQ(g_sectorGrid.Build(x0, y0, 16, 16), 0);
        TerrainGrid terrain(x0, y0, 16, 16, 0, 0);
        for (int y = y0; y < y0 + 16; ++y) {
            for (int x = x0; x < x0 + 16; ++x) {
                terrain.At(x, y).tile = static_cast<u16>(x * 100 + y);
                terrain.At(x, y).z = static_cast<s8>(x - y);
            }
        }
        const std::vector<u8> bytes = WriteMapFile(terrain);
        ASSERT_EQ(bytes.size(), 4u * 196);
        // Tile (x0 + 9, y0 + 2) lies in block 1 * rows + 0 = 2.
        const int x = x0 + 9;
        const int y = y0 + 2;
        const u8* cell = bytes.data() + 2 * 196 + 4 + ((y & 7) * 8 + (x & 7)) * 3;
        EXPECT_EQ(cell[0] | (cell[1] << 8), x * 100 + y) << x0 << "," << y0;
        ASSERT_EQ(LoadTerrain(bytes), 0);
        int wrong = 0;
        for (int ty = y0; ty < y0 + 16; ++ty) {
            for (int tx = x0; tx < x0 + 16; ++tx) {
                const TerrainEntry* entry = g_sectorGrid.TerrainAt(tx, ty);
                ASSERT_NE(entry, nullptr);
                if (entry->tile != tx * 100 + ty || entry->z != tx - ty) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << x0 << "," << y0;
        // The grid's own record: the entry a loader filled at (y & 7, x & 7) is the one read.
        g_sectorGrid.CellAt(x, y)->terrain[y & 7][x & 7].tile = 7;
        EXPECT_EQ(g_sectorGrid.TerrainAt(x, y)->tile, 7) << x0 << "," << y0;
    }
}

TEST_F(WorldDataFilesTest, StaticsRecordsOutsideTheDataAreSkipped) {
    ASSERT_EQ(g_sectorGrid.Build(0, 0, 16, 16), 0);
    TerrainGrid area(0, 0, 16, 16, 0, 0);
    std::vector<StaticEntry> statics = {
        {kWall, 3, 4, 5, 33}, {kTable, 9, 2, -3, 0}, {kWall, 40, 40, 0, 0}};
    std::vector<u8> index, data;
    WriteStaticsFiles(area, statics, index, data);
    EXPECT_EQ(index.size(), 4u * 12);
    EXPECT_EQ(data.size(), 2u * 7);  // the one off the area is left out
    EXPECT_EQ(LoadStatics(index, data), 2);
    const CStaticObject* wall = g_sectorGrid.CellAt(3, 4)->statics;
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(wall->GetType(), kWall);
    EXPECT_EQ(wall->GetHue(), 33);
    EXPECT_TRUE(wall->GetLocation() == Location(3, 4, 5));
    EXPECT_EQ(g_sectorGrid.CellAt(9, 2)->statics->GetLocation().z, -3);
    // Loading again replaces the statics rather than adding to them.
    EXPECT_EQ(LoadStatics(index, data), 2);
    EXPECT_EQ(g_sectorGrid.CellAt(3, 4)->statics->next, nullptr);
    // Damaged indexes: a record past the end of the data, a length that overflows, a short
    // index. Nothing is read outside the bytes.
    std::vector<u8> bad = index;
    bad[12 * 2 + 4] = 200;  // cell 2's length (the table is in cell 2: x 9 -> column 1, row 0)
    EXPECT_EQ(LoadStatics(bad, data), 1);
    bad = index;
    for (int i = 0; i < 4; ++i)
        bad[i] = 0xF0;  // cell 0's offset far beyond the data
    EXPECT_EQ(LoadStatics(bad, data), 1);
    bad.resize(13);
    EXPECT_EQ(LoadStatics(bad, data), 0);
}

TEST_F(WorldDataFilesTest, AStaticsRecordHoldsTheLowBitsOfItsCoordinates) {
    const int corners[][2] = {{0, 0}, {4, 3}, {5, 0}, {0, 7}};
    for (const auto& corner : corners) {
        const int x0 = corner[0];
        const int y0 = corner[1];
        ASSERT_EQ(g_sectorGrid.Build(x0, y0, 16, 16), 0);
        TerrainGrid area(x0, y0, 16, 16, 0, 0);
        const std::vector<StaticEntry> statics = {{kWall, x0 + 9, y0 + 2, 5, 0},
                                                  {kTable, x0 + 15, y0 + 15, -3, 0},
                                                  {kWall, x0, y0, 1, 0}};
        std::vector<u8> index, data;
        WriteStaticsFiles(area, statics, index, data);
        ASSERT_EQ(data.size(), 3u * 7);
        // The first record of the data is the corner's wall: its bytes are x0 & 7, y0 & 7.
        EXPECT_EQ(data[2], x0 & 7);
        EXPECT_EQ(data[3], y0 & 7);
        ASSERT_EQ(LoadStatics(index, data), 3);
        for (const StaticEntry& s : statics) {
            const CStaticObject* object = g_sectorGrid.CellAt(s.x, s.y)->statics;
            ASSERT_NE(object, nullptr);
            EXPECT_TRUE(object->GetLocation() == Location(s.x, s.y, s.z))
                << x0 << "," << y0 << ": " << object->GetLocation().x << ","
                << object->GetLocation().y;
        }
        ReleaseStatics();
    }
}

TEST_F(WorldDataFilesTest, MissingOrShortRequiredFilesAreClearErrors) {
    ASSERT_EQ(g_sectorGrid.Build(0, 0, 64, 64), 0);
    AddRequiredFiles();
    struct Case {
        const char* name;
        std::function<void()> damage;
        const char* mentions;
    } cases[] = {
        {"no map", [&] { files.erase("../.rundir/Demo/map0.mul"); }, "map0.mul"},
        {"short map", [&] { files["../.rundir/Demo/map0.mul"].resize(63 * 196); }, "map0.mul"},
        {"no tile data", [&] { files.erase("../.rundir/tiledata.mul"); }, "tiledata.mul"},
        {"short tile data", [&] { files["../.rundir/tiledata.mul"].resize(1000); }, "tiledata.mul"},
    };
    for (const Case& c : cases) {
        auto saved = files;
        c.damage();
        std::string error;
        EXPECT_EQ(LoadWorldDataFiles(Reader(), "Demo", nullptr, &error), 1) << c.name;
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.name << ": " << error;
        files = saved;
    }
    // Complete: loads, the optional files absent.
    std::string error;
    WorldDataResult result;
    ASSERT_EQ(LoadWorldDataFiles(Reader(), "Demo", &result, &error), 0) << error;
    EXPECT_EQ(result.gameHour, 12);
    EXPECT_EQ(g_sectorGrid.TerrainAt(63, 63)->z, 3);
    // A larger map than the world needs is read up to the world's size.
    files["../.rundir/Demo/map0.mul"].resize(80 * 196);
    EXPECT_EQ(LoadWorldDataFiles(Reader(), "Demo", &result, &error), 0);
}

// The economy's files are optional; present but short, they stop the start-up naming them.
TEST_F(WorldDataFilesTest, ShortEconomyFilesAreStartUpErrors) {
    ASSERT_EQ(g_sectorGrid.Build(0, 0, 64, 64), 0);
    AddRequiredFiles();
    CResourceTypeTable types;
    auto* gold = new CResourceType;
    gold->SetNumber(1);
    gold->SetInternalName("gold");
    types.Add(gold);
    files["../.rundir/restypes.mul"] = WriteResourceTypeTable(types);
    g_objectManager.GetResourcePrototype(3821)->AddResource(1, kResourceHeld, 1, 0, 1);
    files["../.rundir/itemres.mul"] = WriteItemResourceTable();
    ClearEconomy();
    std::string error;
    ASSERT_EQ(LoadWorldDataFiles(Reader(), "Demo", nullptr, &error), 0) << error;
    EXPECT_EQ(GetResourceTypes().FindNumber("gold"), 1);
    EXPECT_NE(g_objectManager.GetResourcePrototype(3821)->GetResources(), nullptr);
    for (const char* path : {"../.rundir/restypes.mul", "../.rundir/itemres.mul"}) {
        auto saved = files;
        files[path].pop_back();
        EXPECT_EQ(LoadWorldDataFiles(Reader(), "Demo", nullptr, &error), 1) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        files = saved;
    }
}

TEST_F(WorldDataFilesTest, SmallTextAndNumberFiles) {
    struct HourCase {
        std::vector<u8> bytes;
        int hour;
    } hours[] = {{{7, 0, 0, 0}, 7},
                 {{23, 0, 0, 0}, 23},
                 {{24, 0, 0, 0}, 12},
                 {{5, 0}, 12},
                 {{0, 0, 0, 1}, 12}};
    for (const HourCase& c : hours)
        EXPECT_EQ(ReadGameHour(&c.bytes), c.hour);
    EXPECT_EQ(ReadGameHour(nullptr), 12);

    struct ListCase {
        std::string text;
        std::vector<int> bits;
    } lists[] = {
        {"12,300\n", {12, 300}},
        {"12,300", {12}},  // a number at the very end is not applied
        {"0 5 99999 16383 16384\n", {5, 16383}},
        {"a1b2", {1}},
    };
    for (const ListCase& c : lists) {
        TypeScriptBitSet bits;
        LoadTypeScriptList(std::vector<u8>(c.text.begin(), c.text.end()), bits);
        std::vector<int> set;
        for (size_t i = 0; i < bits.size(); ++i) {
            if (bits[i]) set.push_back(static_cast<int>(i));
        }
        EXPECT_EQ(set, c.bits) << c.text;
    }

    struct OverlapCase {
        int a[4], b[4];
        int overlap;
    } overlaps[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, 1},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, 0},  // touching at an edge
        {{0, 0, 10, 10}, {0, 10, 10, 20}, 0},
        {{0, 0, 10, 10}, {2, 2, 3, 3}, 1},
    };
    for (const OverlapCase& c : overlaps) {
        EXPECT_EQ(RectanglesOverlap(c.a[0], c.a[1], c.a[2], c.a[3], c.b[0], c.b[1], c.b[2], c.b[3]),
                  c.overlap);
    }

    const std::string text =
        "Region Name: clipped\nRegion Rect: -10 -10 20 20\n"
        "Region Name: outside\nRegion Rect: 2000 2000 2100 2100\n"
        "Region Name: partial\nRegion Rect: 1000\n"
        "Region Name: empty\nRegion Rect: 30 30 30 40\n"
        "Region Name: ignored\nno rectangle here\n"
        "Region Name: never\nRegion Rect: 1 1 2 2\n";
    const std::vector<ResourceRegion> regions = LoadResourceRegions(text, 0, 0, 1024, 1024);
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].name, "clipped");
    EXPECT_EQ(regions[0].left, 0);
    EXPECT_EQ(regions[0].top, 0);
    EXPECT_EQ(regions[0].right, 20);
    EXPECT_EQ(regions[0].bottom, 20);
}

}  // namespace

namespace {

void PutU32At(std::vector<u8>& v, size_t at, u32 value) {
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<u8>(value >> (8 * i));
}

TEST(ArtDimensions, ComputedFromTheArtFilesWithEveryRecordChecked) {
    std::vector<u8> index(static_cast<size_t>(kTileCount + 8) * 12, 0);
    for (int i = 0; i < 8; ++i)
        PutU32At(index, (kTileCount + i) * 12, 0xFFFFFFFFu);
    std::vector<u8> art(16, 0);
    art[4] = 44;                                 // width 44
    art[6] = 60;                                 // height 60
    PutU32At(index, (kTileCount + 5) * 12, 0);   // graphic 5: art at 0
    PutU32At(index, (kTileCount + 6) * 12, 12);  // graphic 6: runs past the end of art.mul
    PutU32At(index, (kTileCount + 7) * 12, 8);   // graphic 7: the last 8 bytes exactly
    art[12] = 3;
    art[14] = 4;
    const std::vector<u8> table = ComputeArtDimensions(index, art);
    ASSERT_EQ(table.size(), static_cast<size_t>(kArtDimFileSize));
    EXPECT_EQ(table[5 * 4], 44);
    EXPECT_EQ(table[5 * 4 + 2], 60);
    EXPECT_EQ(table[6 * 4], 0);
    EXPECT_EQ(table[7 * 4], 3);
    EXPECT_EQ(table[7 * 4 + 2], 4);
    // Graphics whose index records lie beyond a short index are 0 x 0; no files: all 0.
    EXPECT_EQ(table[100 * 4], 0);
    const std::vector<u8> empty = ComputeArtDimensions({}, {});
    EXPECT_EQ(empty, std::vector<u8>(static_cast<size_t>(kArtDimFileSize), 0));
}

TEST_F(WorldDataFilesTest, WithoutArtSizesTheComputedTableIsWrittenBack) {
    ASSERT_EQ(g_sectorGrid.Build(0, 0, 64, 64), 0);
    files["../.rundir/tiledata.mul"] = WriteTileDataFile(TileSet());
    files["../.rundir/Demo/map0.mul"] = WriteMapFile(TerrainGrid(0, 0, 64, 64, kGrass, 0));
    std::vector<std::string> written;
    std::string error;
    ASSERT_EQ(LoadWorldDataFiles(Reader(), "Demo", nullptr, &error,
                                 [&](const std::string& path, const std::vector<u8>& bytes) {
                                     written.push_back(path);
                                     EXPECT_EQ(bytes.size(), static_cast<size_t>(kArtDimFileSize));
                                     return true;
                                 }),
              0);
    EXPECT_EQ(written, (std::vector<std::string>{"../.rundir/artdim.dat"}));
}

}  // namespace
