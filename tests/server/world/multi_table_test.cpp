#include "server/world/multi_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/file_layer.h"
#include "core/log_sink.h"
#include "server/world/map_queries.h"
#include "server/world/mobile.h"
#include "server/world/sector_grid.h"
#include "server/world/world_data_files.h"
#include "tools/content_builder/map_files.h"
#include "tools/content_builder/multi_content.h"
#include "tools/content_builder/tile_set.h"
#include "world_test_support.h"

namespace {

using Scripts = std::vector<std::string>;

MultiComponentEntry Entry(int graphic, int x, int y, int z, int flags = 0, Scripts scripts = {}) {
    MultiComponentEntry e;
    e.graphic = static_cast<u16>(graphic);
    e.offset = Location(static_cast<s16>(x), static_cast<s16>(y), static_cast<s16>(z));
    e.flags = flags;
    e.scripts = std::move(scripts);
    return e;
}

std::vector<MultiComponentEntry> Load(const std::string& text, int type) {
    CMultiTable table;
    table.LoadText(text);
    const CMultiDef* def = table.Find(type);
    return def ? def->components : std::vector<MultiComponentEntry>{};
}

TEST(MultiTextTest, EachVersionReadsItsOwnLayout) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<MultiComponentEntry> expected;
    } cases[] = {
        {"version 3: two unused lines, one script, no flags",
         "3\n7\n0\n0\n2\n100 0 0 0 door_script\n101 1 -2 5 a b\n",
         {Entry(100, 0, 0, 0, 0, {"door_script"}), Entry(101, 1, -2, 5, 0, {"a"})}},
        {"version 3: four fields take no script",
         "3\n7\n0\n0\n1\n100 2 3 4\n",
         {Entry(100, 2, 3, 4)}},
        {"version 4: two unused lines, flags and every word a script",
         "4\n7\n9\n9\n2\n100 0 0 0 1\n101 1 1 0 0 a  b c\n",
         {Entry(100, 0, 0, 0, 1), Entry(101, 1, 1, 0, 0, {"a", "b", "c"})}},
        {"version 6: one unused line",
         "6\n7\n0\n2\n100 0 0 0 0\n102 -1 4 20 5 sign\n",
         {Entry(100, 0, 0, 0), Entry(102, -1, 4, 20, 5, {"sign"})}},
        {"version 2 loads nothing", "2\n7\n0\n0\n1\n100 0 0 0\n", {}},
        {"a line that does not scan keeps what it read",
         "6\n7\n0\n3\n100 5\nwall\n101 1 2 3 x\n",
         {Entry(100, 5, -1, -1), Entry(0, -1, -1, -1), Entry(101, 1, 2, 3)}},
        {"a count past the lines present stops at the end",
         "6\n7\n0\n1000000\n100 0 0 0 0\n",
         {Entry(100, 0, 0, 0)}},
        {"windows line ends", "6\r\n7\r\n0\r\n1\r\n100 0 0 0 0 s\r\n",
         {Entry(100, 0, 0, 0, 0, {"s"})}},
    };
    for (const Case& c : cases) EXPECT_EQ(Load(c.text, 7), c.expected) << c.what;
}

TEST(MultiTextTest, DuplicatesAndBrokenRecords) {
    CMultiTable table;
    table.LoadText("6\n7\n0\n1\n100 0 0 0 0\n7\n0\n2\n200 0 0 0 0\n201 0 0 0 0\n8\n0\n");
    // The first definition of a type wins; a record cut off before its count adds nothing.
    ASSERT_NE(table.Find(7), nullptr);
    EXPECT_EQ(table.Find(7)->components, std::vector{Entry(100, 0, 0, 0)});
    EXPECT_EQ(table.Find(8), nullptr);

    // A script word longer than a line: the line is read in pieces of 511 characters, the
    // rest becoming the next line (here the next record's type line, which reads as 0).
    const std::string longWord(700, 'w');
    table.LoadText("6\n7\n0\n1\n100 0 0 0 0 " + longWord + "\n");
    ASSERT_NE(table.Find(7), nullptr);
    ASSERT_EQ(table.Find(7)->components.size(), 1u);
    const Scripts& scripts = table.Find(7)->components[0].scripts;
    ASSERT_EQ(scripts.size(), 1u);
    EXPECT_EQ(scripts[0].size(), size_t{CMultiTable::kMaxLine} - 12);
}

TEST(MultiTextTest, ExtentsAndSize) {
    CMultiTable table;
    table.LoadText("6\n7\n0\n3\n100 0 0 0 0\n100 -2 5 3 0\n100 4 -1 -7 0\n8\n0\n0\n");
    Location min, max;
    ASSERT_TRUE(table.GetExtents(7, min, max));
    EXPECT_EQ(min, Location(-2, -1, -7));
    EXPECT_EQ(max, Location(4, 5, 3));
    ASSERT_TRUE(table.GetExtents(8, min, max));  // no components
    EXPECT_EQ(min, Location(-1, -1, -256));
    EXPECT_EQ(max, Location(-1, -1, -256));
    int dx, dy, dz, count;
    ASSERT_TRUE(table.GetSize(7, dx, dy, dz));
    EXPECT_EQ(std::vector({dx, dy, dz}), std::vector({6, 6, 10}));
    EXPECT_FALSE(table.GetSize(9, dx, dy, dz));
    EXPECT_FALSE(table.GetComponentCount(9, count));
    ASSERT_TRUE(table.GetComponentCount(7, count));
    EXPECT_EQ(count, 3);
}

TEST(MultiTextTest, TheWriterRoundTripsTheDemoTable) {
    std::map<int, CMultiDef> defs = DemoMultiDefinitions();
    CMultiDef scripted;
    scripted.components = {Entry(100, 0, 0, 0, 1, {"one", "two"}), Entry(101, -300, 300, -5)};
    ComputeMultiExtents(scripted);
    defs[4000] = scripted;
    CMultiTable table;
    table.LoadText(FormatMultiText(defs));
    EXPECT_EQ(table.All(), defs);
    EXPECT_EQ(FormatMultiText(table.All()), FormatMultiText(defs));
}

TEST(MultiTextTest, AMissingFileLeavesNoTypesAndSaysSo) {
    ASSERT_FALSE(std::filesystem::exists(DataFilePath(kMultiTextFileId)->path));
    CMultiTable table;
    table.LoadText("6\n7\n0\n1\n100 0 0 0 0\n");
    LogCapture log;
    table.LoadMultiText();
    EXPECT_TRUE(table.All().empty());
    ASSERT_EQ(log.Entries().size(), 1u);
    EXPECT_NE(log.Entries()[0].message.find("multi.txt"), std::string::npos)
        << log.Entries()[0].message;
}

u32 Le32(const std::vector<u8>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<u32>(b[at + 3]) << 24);
}

TEST(MultiFilesTest, IndexHasEmptiesAroundTheDefinedTypes) {
    CMultiTable table;
    table.LoadText("6\n9\n0\n1\n300 -1 2 -3 7\n5\n0\n2\n100 0 0 0 0\n101 1 0 0 1\n");
    std::vector<u8> index, data;
    table.BuildMultiFiles(index, data);
    ASSERT_EQ(index.size(), 49152u);
    // Type 5 first (ascending), then type 9.
    const std::vector<u8> expectedData = {100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                          101, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0,
                                          0x2C, 1, 0xFF, 0xFF, 2, 0, 0xFD, 0xFF, 7, 0, 0, 0};
    EXPECT_EQ(data, expectedData);
    for (int t = 0; t < CMultiTable::kIndexEntries; ++t) {
        const u32 offset = Le32(index, t * 12), length = Le32(index, t * 12 + 4),
                  extra = Le32(index, t * 12 + 8);
        if (t == 5) {
            EXPECT_EQ(std::vector({offset, length, extra}), std::vector<u32>({0, 24, 0}));
        } else if (t == 9) {
            EXPECT_EQ(std::vector({offset, length, extra}), std::vector<u32>({24, 12, 0}));
        } else {
            ASSERT_EQ(std::vector({offset, length, extra}),
                      std::vector<u32>({0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}))
                << "type " << t;
        }
    }
}

class MultiPlacementTest : public WorldTest {
protected:
    static constexpr int kSize = 32;
    void SetUp() override {
        WorldTest::SetUp();
        ASSERT_EQ(g_sectorGrid.Build(0, 0, kSize, kSize), 0);
        terrain = TerrainGrid(0, 0, kSize, kSize, kGrass, 0);
        terrain.At(10, 10).tile = kRock;  // impassable ground: no surface for a part
        ASSERT_EQ(LoadTerrain(WriteMapFile(terrain)), 0);
    }
    TerrainGrid terrain;
};

TEST_F(MultiPlacementTest, TheFirstFailingComponentDecides) {
    CMultiTable table;
    // Type 1: the blocked spot first, then one off the map; type 2 the other way round.
    table.LoadText("6\n1\n0\n2\n100 0 0 0 0\n100 -20 0 0 0\n2\n0\n2\n100 -20 0 0 0\n"
                   "100 0 0 0 0\n3\n0\n2\n100 0 0 0 0\n100 1 1 0 0\n");
    struct Case {
        int type, x, y, expected;
    } cases[] = {
        {1, 10, 10, kMultiBlocked},     {2, 10, 10, kMultiOffMap},
        {3, 12, 12, kMultiFits},        {3, 9, 9, kMultiBlocked},  // its second part on rock
        {3, 31, 31, kMultiOffMap},      {4, 12, 12, kMultiNoDefinition},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(table.CanExistAt(c.type, Location(static_cast<s16>(c.x),
                                                     static_cast<s16>(c.y), 0), 0),
                  c.expected)
            << "type " << c.type << " at " << c.x << "," << c.y;
    }
}

}  // namespace

namespace {

TEST_F(MultiPlacementTest, MobilesInTheAreaOfTheParts) {
    CMultiTable table;
    table.LoadText("6\n1\n0\n2\n100 0 0 0 0\n100 3 0 0 0\n");
    CMobile* mobile = new CMobile;
    mobile->PlaceInWorld(Location(13, 12, 0));
    PlacedItem(20, 20, 0);  // an item is no mobile
    struct Case {
        int type, x, y;
        bool expected;
    } cases[] = {
        {1, 10, 12, true},  // the second part stands on it
        {1, 13, 12, true},  // the master does
        {1, 12, 12, false}, {1, 20, 20, false}, {1, 17, 20, false},
        {2, 13, 12, false},  // no definition
    };
    for (const Case& c : cases) {
        EXPECT_EQ(table.AreMobilesInArea(c.type, Location(static_cast<s16>(c.x),
                                                          static_cast<s16>(c.y), 0)),
                  c.expected)
            << "type " << c.type << " at " << c.x << "," << c.y;
    }
}

}  // namespace
