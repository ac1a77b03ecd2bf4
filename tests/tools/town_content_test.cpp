// The demo's templates, name sets, regions and town file: the shipped content passes the
// strict checks, and each kind of mistake fails with its file and line.
#include "tools/content_builder/town_content.h"

#include <gtest/gtest.h>

#include <cstring>

#include <cstdio>
#include <set>
#include <string>

#include "core/archive.h"
#include "core/archive_builder.h"
#include "server/area/regions.h"
#include "server/server_config.h"
#include "server/world/object_templates.h"
#include "server/world/world_data_files.h"
#include "tests/tools/content_builder/file_checksum.h"

namespace {

const std::string kContentDir = std::string(ZQ_SOURCE_DIR) + "/content";

TEST(TownContent, TheDemoContentPasses) {
    TownContent content;
    std::string error;
    ASSERT_TRUE(ReadTownContent(kContentDir, content, &error)) << error;
    EXPECT_GE(content.placements.size(), 15u);
    CTemplateTable table;
    table.LoadNamesText(content.names);
    table.LoadDefinesText(content.defines);
    table.LoadTemplatesText(content.templates);
    for (int n :
         {10, 11, 12, 13, 14, 500, 501, 502, 1000, 1001, 1002, 1003, 1004, 1005, 2998, 2999})
        EXPECT_EQ(table.Contains(n), 1) << n;
    // Spawned creatures carry their frequency, regions and corpse name.
    const ObjectTemplate* wolf = table.Find(501);
    ASSERT_NE(wolf, nullptr);
    EXPECT_GT(wolf->frequency, 0);
    EXPECT_GT(wolf->regions.GetCount(), 0);
    EXPECT_STREQ(wolf->corpseName.CText(), "wolf carcass");
    // The defines were substituted.
    int strengths = 0;
    for (const TemplateEntry& e : wolf->entries) {
        if (e.code != kKeyStrength) continue;
        ++strengths;
        EXPECT_EQ(e.value, "4d10+20");
    }
    EXPECT_EQ(strengths, 1);
    // The fighting animals: what they sound like when they strike, are struck and die, their
    // natural armour and combat skills, their carcass and the pelts it gives up.
    const ObjectTemplate* deer = table.Find(502);
    ASSERT_NE(deer, nullptr);
    EXPECT_STREQ(deer->corpseName.CText(), "deer carcass");
    for (const ObjectTemplate* t : {wolf, deer}) {
        std::set<int> codes;
        for (const TemplateEntry& e : t->entries)
            codes.insert(e.code);
        for (int code : {kKeySfxHit, kKeySfxWasHit, kKeySfxDie, kKeyNaturalWc, kKeyNaturalAc})
            EXPECT_TRUE(codes.count(code)) << code;
        int skills = 0, pelts = 0;
        for (const TemplateEntry& e : t->entries) {
            if (e.code == kKeySkill) ++skills;
            if (e.code == kKeyEq && e.value.rfind("4216 ", 0) == 0) ++pelts;
        }
        EXPECT_GE(skills, 2);
        EXPECT_EQ(pelts, 1);
    }
    // Creatures are numbered by what they are: people in the human ranges, animals 500-699.
    for (int n : table.TemplateNumbers()) {
        const ObjectTemplate* t = table.Find(n);
        if (t->kind == TemplateKind::Item || t->kind == TemplateKind::None) continue;
        const char* type = t->entries[0].value.c_str();
        const bool person = std::strstr(type, " 400") || std::strstr(type, " 401");
        const bool humanNumber = n < 200 || (n >= 1000 && n < 1200);
        EXPECT_EQ(person, humanNumber) << n;
        if (!person) {
            EXPECT_TRUE(n >= 500 && n < 700) << n;
        }
    }
}

TEST(TownContent, TheArchiveHoldsTheFilesUnderTheServersPaths) {
    ArchiveBuilder builder;
    std::string error;
    ASSERT_TRUE(AddTownContent(builder, kContentDir, "Demo", &error)) << error;
    std::vector<u8> bytes = builder.Build();
    DataArchive archive;
    ASSERT_TRUE(archive.OpenFile(fmemopen(bytes.data(), bytes.size(), "rb"), "town"));
    for (const char* path : {"../.rundir/bank/templatestable.dat", "../.rundir/bank/namestable.dat",
                             "../.rundir/bank/defines", "../.rundir/Demo/regions.txt"}) {
        EXPECT_NE(archive.FindMember(ArchiveMemberName(path).c_str()), nullptr) << path;
    }
}

TEST(TownContent, MistakesNameTheirFileAndLine) {
    const std::set<std::string> scripts = {"lamppost"};
    const std::string names = "<1>\n<male Bob>\n<@@@ END @@@>\n";
    struct Case {
        const char* what;
        std::string templates;
        std::string expected;
    };
    const Case cases[] = {
        {"unknown key", "<1>\n<type item 5>\n<colour 3>\n<@@@ END @@@>\n",
         "templatestable.dat:3: template 1: unknown key \"colour\""},
        {"type not first", "<1>\n<hue 3 0>\n<type item 5>\n<@@@ END @@@>\n",
         "templatestable.dat:2: template 1: the type line must come first"},
        {"no type line", "\n<1>\n<@@@ END @@@>\n",
         "templatestable.dat:2: template 1: has no type line"},
        {"unknown kind", "<1>\n<type dragon 5>\n<@@@ END @@@>\n",
         "templatestable.dat:2: template 1: unknown kind \"dragon\""},
        {"missing name set", "<1>\n<type normal 400>\n<name 9>\n<@@@ END @@@>\n",
         "templatestable.dat:3: template 1: no name set 9 in namestable.dat"},
        {"missing script", "<1>\n<type item 5>\n<script ghost>\n<@@@ END @@@>\n",
         "templatestable.dat:3: template 1: no script class \"ghost\" in scripts/"},
        {"no end", "<1>\n<type item 5>\n", "templatestable.dat:3: template 1: has no end entry"},
        {"twice", "<1>\n<type item 5>\n<@@@ END @@@>\n<1>\n<type item 5>\n<@@@ END @@@>\n",
         "templatestable.dat:4: template 1: defined twice"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(CheckTemplateTable(c.templates, names, scripts, &error)) << c.what;
        EXPECT_EQ(error, c.expected) << c.what;
    }
    std::string error;
    EXPECT_TRUE(CheckTemplateTable("<1>\n<type item 5>\n<script lamppost 50>\n<@@@ END @@@>\n",
                                   names, scripts, &error))
        << error;

    EXPECT_FALSE(CheckNameTable("<1>\n<male Bob>\n<ghost Boo>\n<@@@ END @@@>\n", &error));
    EXPECT_EQ(error,
              "namestable.dat:3: unknown name kind in \"ghost Boo\" (male, female or other)");

    EXPECT_FALSE(
        CheckRegions("version 64207\n1 0 0 5 5 0 0 0 city_a 0 0 0 0 0 NONE\n"
                     "1 0 0 5 5 0 0 0 city_b 0 0 0 0 0 NONE\n",
                     &error));
    EXPECT_EQ(error, "regions.txt:3: not a region, or one already given");
    EXPECT_FALSE(CheckRegions(
        "version 64207\n1 0 0 5 5 0 0 0 " + std::string(40, 'x') + " 0 0 0 0 0 NONE\n", &error));
    EXPECT_EQ(error.rfind("regions.txt:2: the region name", 0), 0u);

    std::vector<TownPlacement> placements;
    EXPECT_FALSE(ParseTownPlacements("a comment\n<put 1 2 3 4>\n", placements, &error));
    EXPECT_EQ(error, "town.txt:2: unknown entry \"put\"");
    EXPECT_FALSE(ParseTownPlacements("<place 1 2 x 4>\n", placements, &error));
    EXPECT_EQ(error, "town.txt:1: a placement is <place TEMPLATE X Y Z>");
    placements.clear();
    EXPECT_FALSE(ParseTownPlacements("<place 1 2 3 4 dance>\n", placements, &error));
    EXPECT_EQ(error, "town.txt:1: unknown role \"dance\" (loiter, leads or follows)");
    placements.clear();
    EXPECT_FALSE(ParseTownPlacements("<place 1 2 3 4 loiter>\n<place 1 2 3 4 follows>\n",
                                     placements, &error));
    EXPECT_EQ(error, "town.txt:2: a follower before any leader");
    placements.clear();
    EXPECT_FALSE(ParseTownPlacements("<place 1 2 3 4 leads 5>\n", placements, &error));
    EXPECT_EQ(error, "town.txt:1: text after the placement");
    placements.clear();
    ASSERT_TRUE(ParseTownPlacements(
        "<place 1 2 3 4 loiter>\n<place 1 2 3 4 leads>\n<place 1 2 3 4 follows>\n"
        "<place 1 2 3 4>\n",
        placements, &error))
        << error;
    ASSERT_EQ(placements.size(), 4u);
    EXPECT_EQ(placements[0].role, TownRole::kLoiter);
    EXPECT_EQ(placements[1].role, TownRole::kLeads);
    EXPECT_EQ(placements[2].role, TownRole::kFollows);
    EXPECT_EQ(placements[3].role, TownRole::kNone);
    placements.clear();
    ASSERT_TRUE(ParseTownPlacements("\n\n<place 7 2 3 -4>\n", placements, &error)) << error;
    ASSERT_EQ(placements.size(), 1u);
    EXPECT_EQ(placements[0].at.z, -4);
    EXPECT_FALSE(CheckTownPlacements(placements, "<1>\n<type item 5>\n<@@@ END @@@>\n", &error));
    EXPECT_EQ(error, "town.txt:3: no template 7 in templatestable.dat");
}

TEST(TownContent, TheServerReadsThemFromTheBuildsArchive) {
    ASSERT_TRUE(InitDataArchive(ZQ_RUN_DIR "/zqdemo.dat")) << DataArchiveError();
    std::string error;
    ASSERT_TRUE(ReadServerConfig(g_serverConfig, &error)) << error;
    g_templateTable.Load();
    g_regionManager.Load();
    EXPECT_EQ(g_templateTable.Contains(2998), 1);
    EXPECT_EQ(g_templateTable.Contains(1000), 1);
    EXPECT_NE(g_templateTable.FindNameSet(1), nullptr);
    EXPECT_NE(g_templateTable.FindDefine("guardstr"), nullptr);
    EXPECT_GE(g_regionManager.RegionCount(), 8);
    EXPECT_TRUE(g_regionManager.IsInCityRegion(Location(390, 575, 0)));
    g_templateTable.Unload();
    g_regionManager.Clear();
    ShutdownDataArchive();
}

TEST(TownContent, TheRegionsRoundTrip) {
    TownContent content;
    std::string error;
    ASSERT_TRUE(ReadTownContent(kContentDir, content, &error)) << error;
    RegionManager regions;
    regions.LoadText(content.regions);
    ASSERT_GT(regions.RegionCount(), 5);
    std::string written = "version 64207\n";
    for (const CRegion* r : regions.AllRegions())
        written += RegionManager::FormatRegionLine(kRegionFileVersion, *r);
    RegionManager again;
    again.LoadText(written);
    std::string rewritten = "version 64207\n";
    for (const CRegion* r : again.AllRegions())
        rewritten += RegionManager::FormatRegionLine(kRegionFileVersion, *r);
    EXPECT_EQ(written, rewritten);
    // The town is a city with its justice area, the inn a safe place to leave the game.
    EXPECT_TRUE(regions.IsInCityRegion(Location(390, 575, 0)));
    EXPECT_TRUE(regions.IsInJusticeRegion(Location(390, 575, 0)));
    EXPECT_TRUE(regions.IsSafeLogoutSpot(Location(374, 584, 0)));
    EXPECT_TRUE(regions.HasRegionWithPrefix(Location(390, 573, 0), "nospawn"));
}

// The town the build writes as the world's dynamic pair. Made under a fixed seed, it is the same
// on every build; a change to the town's content changes these sums on purpose.
TEST(TownContent, TheBuildsArchiveHoldsTheTown) {
    ASSERT_TRUE(InitDataArchive(ZQ_RUN_DIR "/zqdemo.dat")) << DataArchiveError();
    std::vector<u8> index, data;
    EXPECT_TRUE(ReadArchiveFile(WorldDataPath("ZQGoldDemo", "dynidx0.mul"), index));
    EXPECT_TRUE(ReadArchiveFile(WorldDataPath("ZQGoldDemo", "dynamic0.mul"), data));
    ShutdownDataArchive();
    EXPECT_EQ(index.size(), 128u * 128 * 12);  // one entry per cell of the 1024 x 1024 world
    EXPECT_EQ(Fnv1a(index), 0xa6acde4ddbc6bdb3ull) << std::hex << " 0x" << Fnv1a(index);
    EXPECT_EQ(Fnv1a(data), 0x5f3829edec7b4894ull) << std::hex << " 0x" << Fnv1a(data);
}

}  // namespace
