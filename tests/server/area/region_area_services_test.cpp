// The area's answers to the world's region questions come from the loaded regions; the
// world's own interface, with no area installed, knows no region.
#include "server/area/region_area_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/area/regions.h"
#include "server/world/sector_grid.h"

namespace {

class RegionAreaServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(g_sectorGrid.Build(0, 0, 256, 256), 0);
        g_regionManager.LoadText(
            "version 64207\n"
            "1 0 0 20 20 -128 127 0 city_Port@town 0 0 0 0 0 NONE\n"
            "2 40 0 20 20 -128 127 0 justice_hall 0 0 0 0 0 NONE\n"
            "3 0 0 5 5 -128 127 0 inn_Rest 0 0 0 0 0 NONE\n"
            "4 0 0 20 20 -128 127 0 CITY_second 0 0 0 0 0 NONE\n");
    }
    void TearDown() override { g_regionManager.Clear(); }
};

TEST_F(RegionAreaServicesTest, TheRegionsAnswerAndTheWorldsOwnInterfaceKnowsNone) {
    RegionAreaServices regions;
    AreaServices none;
    struct Case {
        Location at;
        bool justice;
        bool safe;
    };
    const Case cases[] = {
        {{10, 10, 0}, true, false},  // a city counts as justice
        {{45, 5, 0}, true, false},   // a justice region
        {{2, 2, 0}, true, true},     // an inn inside the city
        {{100, 100, 0}, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(regions.IsInJusticeRegion(c.at), c.justice) << c.at.x << "," << c.at.y;
        EXPECT_EQ(regions.IsSafeLogoutSpot(c.at), c.safe) << c.at.x << "," << c.at.y;
        EXPECT_FALSE(none.IsInJusticeRegion(c.at));
        EXPECT_FALSE(none.IsSafeLogoutSpot(c.at));
    }
    std::vector<std::string> names;
    regions.CollectRegionNames(Location(3, 3, 0), "city_", names);
    EXPECT_EQ(names, std::vector<std::string>{"city_Port@town"}) << "letter case counts";
    names.clear();
    regions.CollectRegionNames(Location(3, 3, 0), "CITY_", names);
    EXPECT_EQ(names, std::vector<std::string>{"CITY_second"});
    names.clear();
    none.CollectRegionNames(Location(3, 3, 0), "city_", names);
    EXPECT_TRUE(names.empty());
}

TEST_F(RegionAreaServicesTest, TheWorldIsNamedAfterItsTownAndTheCellsTakeTheRegionsAmbience) {
    RegionAreaServices regions;
    AreaServices none;
    EXPECT_STREQ(regions.GetWorldAreaName(), "Port@town");
    EXPECT_EQ(none.GetWorldAreaName(), nullptr);
    // Values: music, day sound, night sound, place, light.
    g_regionManager.Clear();
    g_regionManager.LoadText(
        "version 64207\n"
        "1 0 0 63 63 -128 127 0 spawn_wide 12 30 31 0 0 NONE\n"
        "2 16 16 7 7 -128 127 0 city_small 14 0 0 0 5 NONE\n"
        "3 40 40 7 7 -128 127 0 inn_quiet 0 0 0 0 9 NONE\n");
    EXPECT_STREQ(regions.GetWorldAreaName(), "small");
    regions.ApplyRegionAmbience();
    struct Case {
        int x, y;
        u16 music, day, night, light;
    };
    const Case cases[] = {
        {2, 2, 12, 30, 31, 0},      // the wide region alone
        {17, 17, 14, 0, 0, 5},      // the smaller region with music wins its cells
        {41, 41, 12, 30, 31, 0},    // a region without music or sound is painted over
        {100, 100, 0xFFFF, 0xFFFF, 0xFFFF, 0},  // no region: as the grid was built
    };
    for (const Case& c : cases) {
        const SectorCell* cell = g_sectorGrid.CellAt(c.x, c.y);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->music, c.music) << c.x;
        EXPECT_EQ(cell->daySound, c.day) << c.x;
        EXPECT_EQ(cell->nightSound, c.night) << c.x;
        EXPECT_EQ(cell->light, c.light) << c.x;
    }
}

}  // namespace
