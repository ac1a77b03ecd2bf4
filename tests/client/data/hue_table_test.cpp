#include "client/data/hue_table.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/client/app/client_test_env.h"
#include "tests/client/data/data_files_fixture.h"
#include "tools/content_builder/map_files.h"

namespace {

std::string Lines(int count, const char* line = "(200,100,50)\n") {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += line;
    return out;
}

TEST(HueTable, AMissingFileIsCreatedBlankAndZeroColoursBecomeOne) {
    ClientTestEnv env;
    HueTable table;
    LoadHues(table, env.InstallDir());
    EXPECT_EQ(std::filesystem::file_size(env.Dir() + "/hues.mul"), 375u * 708);
    EXPECT_STREQ(table.Hue(1)->name, "Blank Color");
    EXPECT_EQ(table.Hue(1)->colours[0], 1);
    EXPECT_EQ(table.Hue(3000)->colours[31], 1);
    EXPECT_EQ(table.Hue(0), nullptr);
    EXPECT_EQ(table.Hue(3001), nullptr);
}

TEST(HueTable, FileHuesKeepTheirColoursAndTopBitColoursBecomeOne) {
    ClientTestEnv env;
    std::vector<HueRecord> hues(3000);
    hues[4].colours[3] = 0x7C00;
    hues[4].tableEnd = 0x7C00;       // non-zero end: its zeros become 1 on reading
    hues[5].colours[0] = 0x8123;     // top bit set
    hues[2999].colours[0] = 0x1234;  // the last record of the last block
    WriteBytes(env.Dir() + "/hues.mul", WriteHuesFile(hues, 3000));
    HueTable table;
    LoadHues(table, env.InstallDir());
    EXPECT_EQ(table.Hue(5)->colours[3], 0x7C00);
    EXPECT_EQ(table.Hue(5)->colours[0], 1);
    EXPECT_EQ(table.Hue(6)->colours[0], 1);
    EXPECT_EQ(table.Hue(3000)->colours[0], 0x1234);
}

TEST(HueTable, ColourListsFillTheirOwnRangeOnly) {
    ClientTestEnv env;
    HueTable table;
    // Skin: a leading separator opens an empty group; 2 hues, separator, 1 hue.
    const std::string skin = "(0,0,0)\n(248,0,0)\n(0,248,0)\n(0,0,0)\n(0,0,248)\n";
    EXPECT_EQ(ReadColourList(table, ColourLists()[0], skin, &table.skinGroups), 3);
    EXPECT_EQ(table.skinGroups.starts, (std::vector<int>{0, 0, 2}));
    EXPECT_STREQ(table.Hue(1001)->name, "SkinHue #1001");
    EXPECT_EQ(table.Hue(1001)->end, 0x7C00);
    EXPECT_EQ(table.Hue(1001)->start, 1);
    EXPECT_EQ(table.Hue(1003)->end, 0x001F);
    EXPECT_EQ(table.skinColours, (std::vector<u16>{0x7C00, 0x03E0, 0x001F}));

    // 150 hair lines: only 99 fit before the pink list's first hue 1200.
    const u16 pinkBefore = table.Hue(1200)->colours[5];
    EXPECT_EQ(ReadColourList(table, ColourLists()[1], Lines(150), &table.hairGroups), 99);
    EXPECT_STREQ(table.Hue(1199)->name, "HairHue #1199");
    EXPECT_EQ(table.Hue(1200)->colours[5], pinkBefore);
    // The last list runs to the end of the table.
    EXPECT_EQ(ReadColourList(table, ColourLists().back(), Lines(700), nullptr), 601);
    EXPECT_STREQ(table.Hue(2400)->name, "Metals #0");
    EXPECT_STREQ(table.Hue(3000)->name, "Metals #600");
}

TEST(HueTable, RampsRunFromStartTowardsEnd) {
    HueTable table;
    SetHueRamp(table, 7, 1, 0x7FFF, "ramp");
    const HueEntry& e = *table.Hue(7);
    EXPECT_EQ(e.colours[0], 1);  // the start colour itself
    // Colour 31 is one step short of the end.
    EXPECT_EQ(e.colours[31], PackRgb555(240, 240, 240));
    EXPECT_STREQ(e.name, "ramp");
}

TEST(HueTable, NearestHueAndHighlightOptions) {
    ClientTestEnv env;
    HueTable table;
    for (int h : {10, 20, 30}) {
        table.MutableHue(h)->start = 1;
    }
    table.MutableHue(10)->end = PackRgb555(40, 40, 40);
    table.MutableHue(20)->end = PackRgb555(0, 0, 0);  // black end, start 1: qualifies
    table.MutableHue(30)->end = PackRgb555(248, 0, 0);
    EXPECT_EQ(FindNearestHue(table, 0x000000), 20);
    EXPECT_EQ(FindNearestHue(table, 0xF00000), 30);
    HueTable empty;
    EXPECT_EQ(FindNearestHue(empty, 0x123456), 0);
}

}  // namespace
