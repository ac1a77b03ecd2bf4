#include "server/area/regions.h"

#include <gtest/gtest.h>

#include <string>

#include "../world/world_test_support.h"
#include "core/log_sink.h"
#include "server/area/region_area_services.h"
#include "server/world/item.h"
#include "server/world/object_manager.h"
#include "server/world/sector_grid.h"

namespace {

class RegionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(g_sectorGrid.Build(0, 0, 256, 256), 0);
        regions.Clear();
    }
    void TearDown() override { regions.Clear(); }
    // A current-version line.
    static std::string Line(int id, int x, int y, int w, int h, const std::string& name,
                            const std::string& description = "NONE", int zl = -128, int zh = 127) {
        return std::to_string(id) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
               std::to_string(w) + " " + std::to_string(h) + " " + std::to_string(zl) + " " +
               std::to_string(zh) + " 0 " + name + " 0 0 0 0 0 " + description + "\n";
    }
    RegionManager regions;
};

TEST_F(RegionsTest, NamesDescriptionsAndRefusals) {
    regions.LoadText("version 64207\n" + Line(1, 0, 0, 10, 10, "0") +
                     Line(2, 0, 0, 10, 10, "city_a", "The market") +
                     Line(2, 50, 50, 1, 1, "city_b") +            // same id: dropped
                     Line(3, 0, 0, -1, 5, "bad") +                // negative width
                     Line(4, 0, 0, 5, 5, "bad", "NONE", 10, 5) +  // z high below z low
                     "garbage line\n");
    EXPECT_EQ(regions.RegionCount(), 2);
    EXPECT_STREQ(regions.FindById(1)->name, "NONE");
    EXPECT_STREQ(regions.FindById(1)->description, "");
    EXPECT_STREQ(regions.FindById(2)->description, "The market");
    EXPECT_STREQ(regions.FindById(2)->name, "city_a");
}

TEST_F(RegionsTest, BoxesIncludeTheirEnds) {
    regions.LoadText("version 64207\n" + Line(1, 20, 20, 0, 0, "inn_dot", "NONE", 0, 0) +
                     Line(2, 70, 70, 3, 2, "inn_box", "NONE", 0, 10));
    struct Case {
        Location at;
        bool safe;
    };
    const Case cases[] = {
        {{20, 20, 0}, true}, {{21, 20, 0}, false}, {{20, 20, 1}, false}, {{73, 72, 10}, true},
        {{70, 70, 0}, true}, {{74, 72, 0}, false}, {{-5, 3, 0}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(regions.IsSafeLogoutSpot(c.at), c.safe)
            << c.at.x << "," << c.at.y << "," << c.at.z;
}

TEST_F(RegionsTest, OlderFilesHaveNoVersionLine) {
    regions.LoadText(
        "1 0 0 10 10 -5 5 0 justice_x 1 2 3 Old hall\n"
        "2 0 0 10 10 -5 5 0 nospell_x 0 0 0 NONE\n");
    ASSERT_EQ(regions.RegionCount(), 2);  // the first line is a region too
    EXPECT_EQ(regions.GetVersion(), kRegionOldFileVersion);
    const CRegion* r = regions.FindById(1);
    EXPECT_EQ(r->first, 1);
    EXPECT_EQ(r->second, 2);
    EXPECT_EQ(r->place, 3);
    EXPECT_STREQ(r->description, "Old hall");
    EXPECT_TRUE(regions.IsInJusticeRegion(Location(5, 5, 0)));
    EXPECT_FALSE(regions.IsInCityRegion(Location(5, 5, 0)));
    EXPECT_FALSE(regions.AreSpellsAllowed(Location(5, 5, 0)));
    EXPECT_TRUE(regions.AreSpellsAllowed(Location(50, 5, 0)));
}

TEST_F(RegionsTest, Housing) {
    regions.LoadText("version 64207\n" + Line(1, 0, 0, 10, 10, "town_x") +
                     Line(2, 0, 0, 10, 10, "housing_yes_x") + Line(3, 20, 0, 10, 10, "town_y"));
    const Location both(5, 5, 0), townOnly(25, 5, 0), nowhere(50, 50, 0);
    EXPECT_TRUE(regions.IsHousingAllowed(both, 1));
    EXPECT_FALSE(regions.IsHousingAllowed(both, 0));
    EXPECT_FALSE(regions.IsHousingAllowed(townOnly, 1));
    EXPECT_TRUE(regions.IsHousingAllowed(nowhere, 1));
    EXPECT_FALSE(regions.IsHousingAllowed(nowhere, 0));
}

TEST_F(RegionsTest, LongNamesAreCutAndLogged) {
    LogCapture log;
    const std::string longName(60, 'n');
    regions.LoadText("version 64207\n" + Line(1, 0, 0, 5, 5, longName));
    ASSERT_EQ(regions.RegionCount(), 1);
    EXPECT_EQ(std::string(regions.FindById(1)->name), std::string(39, 'n'));
    EXPECT_EQ(log.FromSource("regions").size(), 1u);
}

TEST_F(RegionsTest, FindClosestAreaAndIsInArea) {
    regions.LoadText("version 64207\n" + Line(1, 100, 100, 10, 10, "Spawn_far", "far") +
                     Line(2, 10, 10, 10, 10, "spawn_near", "near") +
                     Line(3, 0, 0, 4, 4, "other", "other"));
    std::string description;
    Location centre;
    ASSERT_TRUE(regions.FindClosestArea(description, centre, "SPAWN", Location(0, 0, 0), 1));
    EXPECT_EQ(description, "near");
    EXPECT_EQ(centre.x, 15);
    EXPECT_EQ(centre.y, 15);
    EXPECT_EQ(centre.z, -1);  // -128 + (255 >> 1)
    EXPECT_TRUE(regions.IsInArea("spawn", Location(105, 105, 0), 1));
    EXPECT_FALSE(regions.IsInArea("spawn", Location(2, 2, 0), 1));
}

TEST_F(RegionsTest, FindClosestAreaIgnoresRegionsFarAway) {
    // The full table also holds regions off the sector grid.
    regions.LoadText("version 64207\n" + Line(1, 9000, 10, 2, 2, "spawn_far"));
    std::string description = "kept";
    Location centre(1, 2, 3);
    EXPECT_FALSE(regions.FindClosestArea(description, centre, "spawn", Location(0, 0, 0), 1));
    EXPECT_EQ(description, "kept");
    EXPECT_EQ(centre.x, 1);
    // The world table holds only regions with a corner on the grid.
    EXPECT_EQ(regions.WorldRegions().size(), 0u);
}

TEST_F(RegionsTest, TheSmallestDescribedRegionDescribesAPlace) {
    regions.LoadText("version 64207\n" + Line(1, 0, 0, 100, 100, "spawn_wide", "The wilds") +
                     Line(2, 10, 10, 20, 20, "city_small", "The market") +
                     Line(3, 12, 12, 2, 2, "inn_tiny") +  // the smallest, but no description
                     Line(4, 60, 60, 10, 10, "other", "The pond"));
    struct Case {
        Location at;
        const char* description;  // null: none
        Location other;
        int localized;
    };
    const Case cases[] = {
        {{13, 13, 0}, "The market", {25, 25, 0}, 2},  // the undescribed inn is passed over
        {{13, 13, 0}, "The market", {50, 50, 0}, 1},  // the other place is outside it
        {{50, 50, 0}, "The wilds", {65, 65, 0}, 2},
        {{150, 150, 0}, nullptr, {150, 150, 0}, 0},
    };
    for (const Case& c : cases) {
        std::string description = "kept";
        EXPECT_EQ(regions.GetSmallestDescription(description, c.at), c.description != nullptr);
        EXPECT_EQ(description, c.description ? c.description : "kept") << c.at.x;
        Location place;
        EXPECT_EQ(regions.GetLocalizedDescription(description, place, c.at, c.other), c.localized)
            << c.at.x;
    }
    Location place;
    std::string description;
    regions.GetLocalizedDescription(description, place, Location(13, 13, 0), Location());
    EXPECT_EQ(place.x, 20) << "the box centre";
    EXPECT_EQ(place.y, 20);
}

TEST_F(RegionsTest, TheNamedAreaIsTheFirstTownOrDungeonOverTheRectangle) {
    regions.LoadText("version 64207\n" + Line(1, 0, 0, 50, 50, "CITY_upper") +  // not "city_"
                     Line(2, 0, 0, 50, 50, "justice_hall") +
                     Line(3, 0, 0, 50, 50, "dungn_Deep_cave") +
                     Line(4, 100, 0, 20, 20, "city_far") + Line(5, 0, 0, 50, 50, "city_Port"));
    struct Case {
        int x1, y1, x2, y2;
        const char* name;
    };
    const Case cases[] = {
        {0, 0, 256, 256, "Deep_cave"},  // the first match in table order
        {50, 0, 100, 50, "Unknown?"},   // touching edges do not overlap
        {110, 10, 111, 11, "far"},
        {200, 200, 256, 256, "Unknown?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(regions.GetNamedAreaName(c.x1, c.y1, c.x2, c.y2, 0), c.name) << c.x1;
}

TEST_F(RegionsTest, FormatRoundTrip) {
    const std::string text = "version 64207\n" + Line(1, 3, 4, 5, 6, "city_a", "A market") +
                             Line(2, 7, 8, 9, 10, "inn_b");
    regions.LoadText(text);
    std::string written = "version 64207\n";
    for (const CRegion* r : regions.AllRegions())
        written += RegionManager::FormatRegionLine(kRegionFileVersion, *r);
    RegionManager again;
    again.LoadText(written);
    ASSERT_EQ(again.RegionCount(), 2);
    EXPECT_EQ(RegionManager::FormatRegionLine(kRegionFileVersion, *again.FindById(1)),
              RegionManager::FormatRegionLine(kRegionFileVersion, *regions.FindById(1)));
    EXPECT_STREQ(again.FindById(1)->description, "A market");
    EXPECT_STREQ(again.FindById(2)->description, "");
}

// The world asks the regions through the area's answers.
class HomeInRegionTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        SetAreaServices(&regions);
    }
    void TearDown() override {
        SetAreaServices(nullptr);
        g_regionManager.Clear();
        WorldTest::TearDown();
    }
    RegionAreaServices regions;
};

TEST_F(HomeInRegionTest, AnItemIsAtHomeOnlyInsideACityOrJusticeRegion) {
    g_regionManager.LoadText("version 64207\n1 0 0 10 10 -128 127 0 city_x 0 0 0 0 0 NONE\n");
    CItem* inTown = PlacedItem(5, 5, 0);
    inTown->SetHome(Location(5, 5, 0));
    CItem* outside = PlacedItem(20, 20, 0);
    outside->SetHome(Location(20, 20, 0));
    EXPECT_TRUE(inTown->IsAtHome());
    EXPECT_FALSE(outside->IsAtHome());
}

}  // namespace
